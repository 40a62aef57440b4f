// The debug log header, the host's event log, events and dialogs, and focus handling.

#include <cstdio>

#include "device/base_device.h"
#include "driver_object/call_trace.h"
#include "platform/module_info.h"

namespace pirell {

void TBaseDevice::BeginDebugLog() {
  const auto version = platform::ModuleFileVersion();
  char version_text[32];
  std::snprintf(version_text, sizeof version_text, "%d.%d.%d", version[0], version[1], version[3]);
  WriteDebugLog(std::string(40, ' '), "", true);
  WriteDebugLog("============Begin debug log=============", "", true);
  WriteDebugLog("driver ver.", version_text);
  WriteDebugLog("device ID", FDeviceID);
  WriteDebugLog("----------------Settings----------------", "", true);
  for (int i = 0; i < SettingsCount(); ++i) {
    const TSettingStruct& row = *GetSettingItem(i);
    WriteDebugLog(row.ID, ValueToText(row.Value));
  }
  WriteDebugLog("----------------------------------------", "", true);
}

bool TBaseDevice::WriteLog(const std::string& name, const std::string& text,
                           std::int32_t event_type) {
  WriteDebugLog(name, text);
  if (!EventLogEnabled() || !EquipmentManager().Assigned()) return false;
  return EquipmentManager().WriteLog(FDeviceID, name, text, event_type);
}

bool TBaseDevice::DataEvent(const std::string& event, const std::string& data,
                            const Variant& ext_data) {
  const bool result = EquipmentManager().DataEvent(FDeviceID, event, data, ext_data);
  std::string value = "Event=" + event + "; Data: " + data;
  if (!ext_data.IsEmpty()) value += "; ExtData: " + ArrayToText(ext_data);
  WriteDebugLog("<-DataEvent", value);
  return result;
}

bool TBaseDevice::DataEvent(const std::string& event, const std::string& data) {
  return DataEvent(event, data, Variant());
}

bool TBaseDevice::ErrorEvent(const std::string& error_name, const std::string& description,
                             const Variant& ext_data) {
  return EquipmentManager().ErrorEvent(FDeviceID, error_name, description, ext_data);
}

bool TBaseDevice::TaskState(std::int32_t percent, const std::string& description) {
  const bool result = EquipmentManager().TaskState(FDeviceID, percent, description);
  WriteLog("TaskState",
           "Percent=" + std::to_string(percent) + "; Description=" + description +
               "; Result=" + (result ? "True" : "False"),
           1);
  return result;
}

std::int32_t TBaseDevice::ShowMessageDlg(const std::string& msg_text, std::int32_t msg_type,
                                         std::int32_t msg_buttons, std::int32_t msg_timeout) {
  return EquipmentManager().MessageDlg(FDeviceID, msg_text, msg_type, msg_buttons, msg_timeout);
}

std::string TBaseDevice::InputDataDlg(const std::string& caption, const std::string& default_data,
                                      const std::string& description, const std::string& mask,
                                      bool password, std::int32_t time_out) {
  return EquipmentManager().InputDataDlg(FDeviceID, caption, default_data, description, mask,
                                         password, time_out);
}

void TBaseDevice::StoreFocus() {
  platform::WindowFocus& focus = platform::Focus();
  const platform::WindowHandle window = focus.ForegroundWindow();
  FWindows.push_back(window);
  if (window != 0) focus.EnableInput(window, false);
}

void TBaseDevice::RestoreFocus() {
  if (FWindows.empty()) return;
  platform::WindowFocus& focus = platform::Focus();
  const platform::WindowHandle window = FWindows.back();
  if (window != 0) {
    focus.EnableInput(window, true);
    if (window != focus.ForegroundWindow()) {
      focus.SetForegroundWindow(window);
      focus.SendSetFocus(window);
    }
  }
  FWindows.pop_back();
}

}  // namespace pirell
