#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "device/equipment_manager.h"
#include "driver_object/base_object.h"
#include "driver_object/device_info.h"
#include "platform/device_window.h"

namespace pirell {

// Lifecycle state of a device; reported to the host, never a reason to refuse a call.
enum TDeviceState : std::uint8_t { dsCreated, dsInited, dsEnabled, dsUnknown };

// One entry of the settings snapshot.
struct TShortSettingStruct {
  std::string ID;
  Variant Value;
};

// An extra action a device offers in its settings window.
struct TAdditionalAction {
  std::string ID;
  std::string Caption;
};

// A message of the device's hidden window.
using TMessage = platform::WindowMessage;

// The base of every device driver object: the lifecycle the host drives ("Init", "Open",
// "Enable", "Disable", "Close"), the common host methods, the device information, the common
// settings and the settings snapshot, the debug log header, host events and dialogs, the hidden
// message window and focus handling. A concrete device plugs in through the virtual hooks and
// calls the inherited hook first.
class TBaseDevice : public TBaseObject {
 public:
  TBaseDevice();
  ~TBaseDevice() override;

  void Initialize() override;
  void BeforeDestruction() override;

  // Lifecycle.
  TDeviceState DeviceState() const { return FDeviceState; }
  bool Enabled() const { return FDeviceState == dsEnabled; }
  // Nothing when the value is the current one; true enables, false disables.
  void SetEnabled(bool enabled);
  const TDeviceInfoStruct& DeviceInfo() const { return FDeviceInfo; }
  const Variant& EqManager() const { return FEqManager; }
  const std::string& DeviceID() const { return FDeviceID; }
  // The folder "Open" computed for this device (with a trailing delimiter), or empty.
  const std::string& DeviceFolder() const { return FDeviceFolder; }
  const std::string& Language() const { return FLanguage; }
  platform::WindowHandle DeviceHandle() const { return FDeviceHandle; }
  // The host's models folder joined with the model ID, with a trailing delimiter.
  std::string ModelFolder() const;
  // The host's devices folder joined with the device ID, with a trailing delimiter; empty when
  // either is empty. Asks the host, so it raises when no host object is held.
  std::string GetDeviceFolder();

  // Common settings.
  bool EventLogEnabled() const;
  void SetEventLogEnabled(bool enabled);
  std::int32_t DefaultTimeOut() const;
  void SetDefaultTimeOut(std::int32_t time_out);
  // The row at a zero-based index, or null.
  TSettingStruct* GetSetting(int index) { return GetSettingItem(index); }
  int AddActionsCount() const { return static_cast<int>(FAdditionalActions.size()); }
  const TAdditionalAction* GetAddAction(int index) const;

  // Settings snapshot, used to try settings out and undo them.
  void StoreSettings();
  void StoreSettings(const std::vector<std::string>& ids);
  void RestoreSettings();
  const std::vector<TShortSettingStruct>& BufSettings() const { return FBufSettings; }

  // The event log and host events and dialogs.
  bool WriteLog(const std::string& name, const std::string& text, std::int32_t event_type);
  bool DataEvent(const std::string& event, const std::string& data, const Variant& ext_data);
  bool DataEvent(const std::string& event, const std::string& data);
  bool ErrorEvent(const std::string& error_name, const std::string& description,
                  const Variant& ext_data);
  bool TaskState(std::int32_t percent, const std::string& description);
  std::int32_t ShowMessageDlg(const std::string& msg_text, std::int32_t msg_type,
                              std::int32_t msg_buttons, std::int32_t msg_timeout);
  std::string InputDataDlg(const std::string& caption, const std::string& default_data,
                           const std::string& description, const std::string& mask, bool password,
                           std::int32_t time_out);

  // Takes the input away from the foreground window; each call is undone by one RestoreFocus.
  void StoreFocus();
  void RestoreFocus();

  // Hooks, in the order a device class overrides them.
  virtual ResultCode HostEnable(const Variant& in_data, Variant& out_data, std::int32_t time_out,
                                std::string& description);
  virtual ResultCode DoDisable(std::string& description);
  virtual ResultCode HostDisable(const Variant& in_data, Variant& out_data, std::int32_t time_out,
                                 std::string& description);
  virtual void CreateSettings();
  virtual void RegisterMethods();
  virtual void OnSettingsChanged() {}
  virtual void OnSetDeviceInfo() {}
  virtual ResultCode OnEnable(std::string& description);
  virtual ResultCode OnDisable(std::string& description);
  virtual ResultCode DoCheckHealth(std::string& description);
  virtual bool ShowSettings() { return false; }
  virtual void CreateObjects() {}
  virtual void DestroyObjects() {}
  virtual ResultCode OnInit(std::string& description);
  virtual ResultCode OnOpen(std::string& description);
  virtual void OnClosed() {}
  virtual void OnClosing() {}
  virtual void AddSerialPortSettings();
  virtual void AddLineControlSettings();
  virtual void WndProc(TMessage& message);
  virtual bool DeviceTest(std::string& description);
  virtual ResultCode RunAdditionalAction(const std::string& id, std::string& description);
  virtual ResultCode Enable(std::string& description);
  virtual ResultCode Enable();
  virtual ResultCode Disable();

 protected:
  void BeginDebugLog() override;

  // The host's equipment manager, called by name.
  TEquipmentManager EquipmentManager() const { return TEquipmentManager(FEqManager); }

  TDeviceState FDeviceState = dsCreated;
  std::vector<platform::WindowHandle> FWindows;
  std::string FModelsFolder;
  std::vector<TShortSettingStruct> FBufSettings;
  std::vector<TAdditionalAction> FAdditionalActions;
  Variant FEqManager;
  std::string FDeviceID;
  TDeviceInfoStruct FDeviceInfo;
  std::string FDeviceFolder;
  std::string FLanguage;
  platform::WindowHandle FDeviceHandle = 0;

 private:
  // Host methods.
  Variant HostInit(VariantArray& params);
  Variant HostOpen(VariantArray& params);
  Variant HostClose(VariantArray& params);
  ResultCode HostShowSettingsDlg(const Variant& in_data, Variant& out_data, std::int32_t time_out,
                                 std::string& description);
  ResultCode HostGetDeviceInfo(const Variant& in_data, Variant& out_data, std::int32_t time_out,
                               std::string& description);
  ResultCode HostGetSettings(const Variant& in_data, Variant& out_data, std::int32_t time_out,
                             std::string& description);
  ResultCode HostSetSettings(const Variant& in_data, Variant& out_data, std::int32_t time_out,
                             std::string& description);
  ResultCode HostCheckHealth(const Variant& in_data, Variant& out_data, std::int32_t time_out,
                             std::string& description);

  void FillDeviceInfo();

  std::unique_ptr<platform::DeviceWindow> FWindow;
};

// The text cut to the 255 characters of a host short string.
std::string CutToShortString(const std::string& text);

}  // namespace pirell
