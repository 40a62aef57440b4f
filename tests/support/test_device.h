#pragma once

#include <string>
#include <vector>

#include "device/base_device.h"

namespace pirell::testing {

// A device whose hooks report what ran and answer as the test sets them.
class TTestDevice : public TBaseDevice {
 public:
  // Read while the object initialises, so they are given at construction.
  struct Options {
    bool settings_dialog = false;  // IsSettingsDlgExist
    bool serial_rows = false;      // declare the optional serial line rows
  };
  TTestDevice() = default;
  explicit TTestDevice(Options options) : options_(options) {}

  ResultCode enable_code = rc::Ok;
  std::string enable_description;
  ResultCode disable_code = rc::Ok;
  ResultCode init_code = rc::Ok;
  std::string init_description;
  bool settings_accepted = true;  // the answer of ShowSettings

  // Hooks in the order they ran.
  std::vector<std::string> events;

  using TBaseDevice::EquipmentManager;

  void OnSetDeviceInfo() override;
  void CreateSettings() override;
  void OnSettingsChanged() override { events.push_back("OnSettingsChanged"); }
  ResultCode OnEnable(std::string& description) override;
  ResultCode OnDisable(std::string& description) override;
  bool ShowSettings() override;
  void CreateObjects() override { events.push_back("CreateObjects"); }
  void DestroyObjects() override { events.push_back("DestroyObjects"); }
  ResultCode OnInit(std::string& description) override;
  void OnClosing() override { events.push_back("OnClosing"); }
  void OnClosed() override { events.push_back("OnClosed"); }
  void WndProc(TMessage& message) override;

  std::vector<TMessage> messages;

 private:
  Options options_;
};

}  // namespace pirell::testing
