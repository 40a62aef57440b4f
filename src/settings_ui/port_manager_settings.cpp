#include "settings_ui/port_manager_settings.h"

#include <cstdint>
#include <exception>
#include <optional>
#include <string>

#include "device/base_device.h"
#include "driver_object/number_text.h"

namespace pirell {
namespace {

using port_chooser::TPortType;

std::string SettingText(const TBaseDevice& device, std::string_view id) {
  try {
    return device.GetSettingValueStr(id);
  } catch (const std::exception&) {
    return {};
  }
}

// "LPT3" gives 3: the number is read from the three characters after "LPT"; a name without
// one gives 1.
int ParallelPortNumber(const std::string& port_name) {
  const std::string digits = port_name.size() > 3 ? port_name.substr(3, 3) : std::string();
  const std::optional<std::int64_t> number = ParseInteger(digits);
  return number ? static_cast<int>(*number) : 1;
}

}  // namespace

TfrmPortManagerSettings::TfrmPortManagerSettings(TfrmCommonSettings& AOwner,
                                                 TBaseDevice& ADeviceManager,
                                                 platform::PortDiscovery& discovery,
                                                 platform::PortOpener& port_opener)
    : TfrmBaseSettings(AOwner, ADeviceManager),
      cbbUSBPrinters(discovery, port_opener),
      cbbLPTPorts(discovery, port_opener) {
  Caption = "Интерфейс";
  ClientWidth = 330;
  ClientHeight = 110;
  cbbPortType.Caption = "Тип порта:";
  cbbPortType.Items = {"USB порт", "LPT порт"};
  pgcSettings.Tabs = {"Порт:", "Порт:"};
  tsUSB.Caption = "Порт:";
  tsLPT.Caption = "Порт:";
  // The USB printers' dots come from their listing; the parallel ports' from a probe.
  cbbUSBPrinters.SetCheckPortsOnCreate(false);
  cbbUSBPrinters.SetPortType(TPortType::ptUSB);
  cbbLPTPorts.SetCheckPortsOnCreate(true);
  cbbLPTPorts.SetPortType(TPortType::ptLPT);
  cbbPortTypeChange();
}

void TfrmPortManagerSettings::OnCreateFrm() {
  TfrmBaseSettings::OnCreateFrm();
}

void TfrmPortManagerSettings::cbbPortTypeChange() {
  const int index = cbbPortType.ItemIndex;
  pgcSettings.TabIndex = index == kUsbItem || index == kLptItem ? index : -1;
  tsUSB.Visible = pgcSettings.TabIndex == kUsbItem;
  tsLPT.Visible = pgcSettings.TabIndex == kLptItem;
  UpdateChoosersShowing();
}

void TfrmPortManagerSettings::SetShowing(bool value) {
  FShowing = value;
  UpdateChoosersShowing();
}

void TfrmPortManagerSettings::UpdateChoosersShowing() {
  cbbUSBPrinters.SetShowing(FShowing && tsUSB.Visible);
  cbbLPTPorts.SetShowing(FShowing && tsLPT.Visible);
}

void TfrmPortManagerSettings::OnReadSettings() {
  TfrmBaseSettings::OnReadSettings();
  const std::string name = SettingText(FDeviceManager, "PortName");
  const std::int32_t type = SettingInt("PortType");
  cbbPortType.SetItemIndex(type >= 0 && type < cbbPortType.Count() ? type : kUsbItem);
  cbbPortTypeChange();
  if (cbbPortType.ItemIndex == kUsbItem) {
    cbbUSBPrinters.SetPortInterface(name);
  } else {
    cbbLPTPorts.SetPortNumber(ParallelPortNumber(name));
  }
}

void TfrmPortManagerSettings::OnSaveSettings() {
  TfrmBaseSettings::OnSaveSettings();
  const int index = cbbPortType.ItemIndex;
  FDeviceManager.SetSettingValue("PortType", Variant::Integer(index));
  if (index == kUsbItem) {
    FDeviceManager.SetSettingValue("PortName", Variant(cbbUSBPrinters.PortInterface()));
  } else if (index == kLptItem) {
    FDeviceManager.SetSettingValue("PortName",
                                   Variant("LPT" + std::to_string(cbbLPTPorts.PortNumber())));
  }
}

}  // namespace pirell
