#include "device/base_device.h"

#include "device/developer_info.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/module_info.h"

namespace pirell {

TBaseDevice::TBaseDevice() = default;

TBaseDevice::~TBaseDevice() = default;

void TBaseDevice::Initialize() {
  TBaseObject::Initialize();
  SetDebugLogEnabled(false);
  FillDeviceInfo();
  OnSetDeviceInfo();
  RegisterMethods();
  CreateSettings();
  FEqManager = Variant();
  FDeviceID.clear();
  FWindows.clear();
  SetDebugLogDir("");
  FModelsFolder.clear();
  FDeviceState = dsCreated;
  CreateObjects();
  FWindow = platform::CreateDeviceWindow([this](TMessage& message) { WndProc(message); });
  FDeviceHandle = FWindow->Handle();
}

void TBaseDevice::BeforeDestruction() {
  // Each step runs even when an earlier one fails: the host is releasing the object and
  // everything it owns must go.
  try {
    Disable();
  } catch (...) {
  }
  FWindow.reset();
  FDeviceHandle = 0;
  try {
    DestroyObjects();
  } catch (...) {
  }
  TBaseObject::BeforeDestruction();
  FEqManager = Variant();
  FWindows.clear();
}

void TBaseDevice::FillDeviceInfo() {
  const auto version = platform::ModuleFileVersion();
  FDeviceInfo = TDeviceInfoStruct{};
  FDeviceInfo.TypeName = "Unknown";
  FDeviceInfo.MajorVersion = version[0];
  FDeviceInfo.MinorVersion = version[1];
  FDeviceInfo.BuildVersion = version[3];
  FDeviceInfo.ProcessorType = 1;
  FDeviceInfo.IsSettingsDlgExist = false;
  FDeviceInfo.DeveloperName = DeveloperInfo::kName;
  FDeviceInfo.CI_email = DeveloperInfo::kEmail;
  FDeviceInfo.CI_www = DeveloperInfo::kWeb;
  FDeviceInfo.CI_Phones = DeveloperInfo::kPhones;
  FDeviceInfo.CI_address = DeveloperInfo::kAddress;
}

void TBaseDevice::SetEnabled(bool enabled) {
  if (enabled == Enabled()) return;
  if (enabled)
    Enable();
  else
    Disable();
}

std::string TBaseDevice::ModelFolder() const {
  return platform::IncludeTrailingPathDelimiter(FModelsFolder + FDeviceInfo.ModelID);
}

std::string TBaseDevice::GetDeviceFolder() {
  const std::string devices_folder = EquipmentManager().GetAppProperty(FDeviceID, "DevicesFolder");
  if (devices_folder.empty() || FDeviceID.empty()) return {};
  return platform::IncludeTrailingPathDelimiter(
      platform::IncludeTrailingPathDelimiter(devices_folder) + FDeviceID);
}

const TAdditionalAction* TBaseDevice::GetAddAction(int index) const {
  if (index < 0 || index >= AddActionsCount()) return nullptr;
  return &FAdditionalActions[static_cast<std::size_t>(index)];
}

ResultCode TBaseDevice::Enable(std::string& description) {
  description.clear();
  const bool log_was_on = DebugLogEnabled();
  SetDebugLogDir(FDeviceFolder);
  SetDebugLogEnabled(GetSettingValueBool("DebugLogEnabled"));
  // A failed enable leaves no debug log switched on that it switched on.
  ResultCode code = rc::Ok;
  try {
    code = OnEnable(description);
  } catch (...) {
    if (!log_was_on) SetDebugLogEnabled(false);
    throw;
  }
  if (code != rc::Ok) {
    if (description.empty()) description = GetDriverResultDescription(code);
    if (!log_was_on) SetDebugLogEnabled(false);
  } else {
    FDeviceState = dsEnabled;
  }
  return code;
}

ResultCode TBaseDevice::Enable() {
  std::string description;
  return Enable(description);
}

ResultCode TBaseDevice::DoDisable(std::string& description) {
  description.clear();
  ResultCode code = rc::Ok;
  try {
    code = OnDisable(description);
  } catch (...) {
    SetDebugLogEnabled(false);
    throw;
  }
  if (code == rc::Ok) FDeviceState = dsInited;
  SetDebugLogEnabled(false);
  return code;
}

ResultCode TBaseDevice::Disable() {
  std::string description;
  return DoDisable(description);
}

ResultCode TBaseDevice::DoCheckHealth(std::string& description) {
  const bool was_enabled = Enabled();
  ResultCode code = rc::Ok;
  if (!was_enabled) {
    try {
      code = Enable(description);
    } catch (...) {
      // A failed attempt must not leave the device half switched on (the debug log, objects
      // the enable made).
      try {
        Disable();
      } catch (...) {
      }
      throw;
    }
  }
  // The enable's own description says why it failed (an unknown printer model, the port's
  // system error); the code's standard text only where it gave none.
  if (code == rc::Ok || description.empty()) description = GetDriverResultDescription(code);
  if (!was_enabled) Disable();
  return code;
}

ResultCode TBaseDevice::HostEnable(const Variant&, Variant&, std::int32_t,
                                   std::string& description) {
  return Enable(description);
}

ResultCode TBaseDevice::HostDisable(const Variant&, Variant&, std::int32_t,
                                    std::string& description) {
  return DoDisable(description);
}

ResultCode TBaseDevice::OnEnable(std::string&) {
  return rc::Ok;
}

ResultCode TBaseDevice::OnDisable(std::string&) {
  return rc::Ok;
}

ResultCode TBaseDevice::OnInit(std::string&) {
  return rc::Ok;
}

ResultCode TBaseDevice::OnOpen(std::string&) {
  return rc::Ok;
}

void TBaseDevice::WndProc(TMessage& message) {
  message.Result = 0;
}

bool TBaseDevice::DeviceTest(std::string& description) {
  description = ResultCodeText(rc::NotSupported, "");
  return false;
}

ResultCode TBaseDevice::RunAdditionalAction(const std::string&, std::string&) {
  return rc::Ok;
}

std::string CutToShortString(const std::string& text) {
  std::u32string characters = platform::Utf8ToUtf32(text);
  if (characters.size() <= 255) return text;
  characters.resize(255);
  return platform::Utf32ToUtf8(characters);
}

}  // namespace pirell
