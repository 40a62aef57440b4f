#include "support/test_device.h"

namespace pirell::testing {

void TTestDevice::OnSetDeviceInfo() {
  TBaseDevice::OnSetDeviceInfo();
  events.push_back("OnSetDeviceInfo");
  FDeviceInfo.IsSettingsDlgExist = options_.settings_dialog;
  FDeviceInfo.ModelID = "TestModel";
}

void TTestDevice::CreateSettings() {
  TBaseDevice::CreateSettings();
  events.push_back("CreateSettings");
  if (options_.serial_rows) {
    AddSerialPortSettings();
    AddLineControlSettings();
  }
}

ResultCode TTestDevice::OnEnable(std::string& description) {
  events.push_back("OnEnable");
  description = enable_description;
  return enable_code;
}

ResultCode TTestDevice::OnDisable(std::string&) {
  events.push_back("OnDisable");
  return disable_code;
}

bool TTestDevice::ShowSettings() {
  events.push_back("ShowSettings");
  return settings_accepted;
}

ResultCode TTestDevice::OnInit(std::string& description) {
  events.push_back("OnInit");
  description = init_description;
  return init_code;
}

void TTestDevice::WndProc(TMessage& message) {
  messages.push_back(message);
  message.Result = 42;
}

}  // namespace pirell::testing
