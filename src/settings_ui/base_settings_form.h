#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "driver_object/result_codes.h"
#include "settings_ui/control_models.h"
#include "settings_ui/settings_ui_services.h"

namespace pirell {

class TBaseDevice;
class TfrmBaseSettings;
class TfrmCommonSettings;
class TPendingSnapshotGuard;
class TEnabledStateGuard;

// Makes one page of the settings window for a window and a device (a "page class").
using TPageClass = std::function<std::unique_ptr<TfrmBaseSettings>(TfrmCommonSettings& AOwner,
                                                                   TBaseDevice& ADeviceManager)>;
using TPageClasses = std::vector<TPageClass>;

// The base of every page of the settings window. A page edits part of the device's settings
// table: the window calls OnReadSettings to fill the page's controls and OnSaveSettings to write
// them back. The page's Caption becomes its tab's caption; its ClientWidth and ClientHeight are
// the room it needs inside the tab.
//
// A derived page overrides the contract's operations and calls the base version first. The two
// OnSaveSettings overloads share a name, so a page that overrides one of them writes
// `using TfrmBaseSettings::OnSaveSettings;` to keep the other visible.
class TfrmBaseSettings : public TFormModel {
 public:
  TfrmBaseSettings(TfrmCommonSettings& AOwner, TBaseDevice& ADeviceManager);
  virtual ~TfrmBaseSettings();
  TfrmBaseSettings(const TfrmBaseSettings&) = delete;
  TfrmBaseSettings& operator=(const TfrmBaseSettings&) = delete;

  // Makes a page of class TPage and runs its OnCreateFrm, which a constructor cannot do.
  template <class TPage, class... Args>
  static std::unique_ptr<TPage> Create(TfrmCommonSettings& AOwner, TBaseDevice& ADeviceManager,
                                       Args&&... args) {
    auto page = std::make_unique<TPage>(AOwner, ADeviceManager, std::forward<Args>(args)...);
    static_cast<TfrmBaseSettings&>(*page).OnCreateFrm();
    return page;
  }

  // The page contract.
  // Before the page saves; the page vetoes the save by setting `AllowColse` to false.
  virtual void OnSaveSettings(bool& AllowColse);
  // Writes the page's controls into the settings table.
  virtual void OnSaveSettings();
  // Fills the page's controls from the settings table.
  virtual void OnReadSettings();
  // Once, when the page has been made and knows its device.
  virtual void OnCreateFrm();
  // A notification one page sent to all pages.
  virtual void OnNotify(const std::string& Msg, const std::string& Data);

  // Runs the device with the values on this page without committing them: takes a snapshot of
  // the settings (all of them, or those of `IDs`), writes the page into the table and enables
  // the device, with the hourglass cursor on. Always follow with DisableDevice, also when this
  // raises.
  ResultCode EnableDevice(std::string& ResultDescription);
  ResultCode EnableDevice();
  ResultCode EnableDevice(const std::vector<std::string>& IDs);
  // Disables the device, gives the table its snapshot back and ends the hourglass cursor.
  void DisableDevice();
  // Sends a notification to every page of the hosting window (this one included).
  void NotifyOwner(const std::string& Msg, const std::string& Data);

  TBaseDevice& DeviceManager() const { return FDeviceManager; }
  // The hosting window once it has added the page, else null.
  TfrmCommonSettings* OwnerFrm() const { return FOwnerFrm; }
  void SetOwnerFrm(TfrmCommonSettings* owner_frm) { FOwnerFrm = owner_frm; }
  // The user interface services of the owning window.
  TSettingsUiServices& Services() const;

 protected:
  // A setting as an integer; a value the host stored that is not a number reads as the row's
  // default (or 0), so that the page still opens.
  std::int32_t SettingInt(std::string_view id) const;

  TBaseDevice& FDeviceManager;
  TfrmCommonSettings* FOwnerFrm = nullptr;

 private:
  ResultCode EnableWithSnapshot(const std::function<void()>& store_settings,
                                std::string& ResultDescription);

  TfrmCommonSettings& FOwner;
  std::unique_ptr<TWaitCursor> FWaitCursor;
  std::unique_ptr<TPendingSnapshotGuard> FPendingSnapshot;
  std::unique_ptr<TEnabledStateGuard> FEnabledState;
};

// The page class of TPage: makes the page with TfrmBaseSettings::Create.
template <class TPage>
TPageClass PageClassOf() {
  return [](TfrmCommonSettings& owner, TBaseDevice& device) -> std::unique_ptr<TfrmBaseSettings> {
    return TfrmBaseSettings::Create<TPage>(owner, device);
  };
}

}  // namespace pirell
