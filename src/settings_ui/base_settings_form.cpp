#include "settings_ui/base_settings_form.h"

#include <exception>

#include "device/base_device.h"
#include "settings_ui/common_settings_form.h"
#include "settings_ui/enabled_state_guard.h"
#include "settings_ui/pending_snapshot.h"

namespace pirell {

TfrmBaseSettings::TfrmBaseSettings(TfrmCommonSettings& AOwner, TBaseDevice& ADeviceManager)
    : FDeviceManager(ADeviceManager), FOwner(AOwner) {}

TfrmBaseSettings::~TfrmBaseSettings() = default;

void TfrmBaseSettings::OnSaveSettings(bool& AllowColse) {
  AllowColse = true;
}
void TfrmBaseSettings::OnSaveSettings() {}
void TfrmBaseSettings::OnReadSettings() {}
void TfrmBaseSettings::OnCreateFrm() {}
void TfrmBaseSettings::OnNotify(const std::string&, const std::string&) {}

std::int32_t TfrmBaseSettings::SettingInt(std::string_view id) const {
  try {
    return FDeviceManager.GetSettingValueInt(id);
  } catch (const std::exception&) {
    try {
      return FDeviceManager.GetSettingValue(id, true).ToInt();
    } catch (const std::exception&) {
      return 0;
    }
  }
}

TSettingsUiServices& TfrmBaseSettings::Services() const {
  return FOwner.Services();
}

ResultCode TfrmBaseSettings::EnableWithSnapshot(const std::function<void()>& store_settings,
                                                std::string& ResultDescription) {
  FWaitCursor = std::make_unique<TWaitCursor>(Services());
  FPendingSnapshot = std::make_unique<TPendingSnapshotGuard>(FDeviceManager);
  FEnabledState = std::make_unique<TEnabledStateGuard>(FDeviceManager);
  store_settings();
  OnSaveSettings();
  return FDeviceManager.Enable(ResultDescription);
}

ResultCode TfrmBaseSettings::EnableDevice(std::string& ResultDescription) {
  return EnableWithSnapshot([this] { FDeviceManager.StoreSettings(); }, ResultDescription);
}

ResultCode TfrmBaseSettings::EnableDevice() {
  std::string description;
  return EnableDevice(description);
}

ResultCode TfrmBaseSettings::EnableDevice(const std::vector<std::string>& IDs) {
  std::string description;
  return EnableWithSnapshot([this, &IDs] { FDeviceManager.StoreSettings(IDs); }, description);
}

void TfrmBaseSettings::DisableDevice() {
  // The snapshot goes back even when switching off fails.
  auto restore = [this] {
    FDeviceManager.RestoreSettings();
    if (FPendingSnapshot) FPendingSnapshot->Reinstate();
    FPendingSnapshot.reset();
    if (FEnabledState) FEnabledState->Restore();
    FEnabledState.reset();
    FWaitCursor.reset();
  };
  try {
    FDeviceManager.Disable();
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

void TfrmBaseSettings::NotifyOwner(const std::string& Msg, const std::string& Data) {
  if (FOwnerFrm) FOwnerFrm->NotifyPages(Msg, Data);
}

}  // namespace pirell
