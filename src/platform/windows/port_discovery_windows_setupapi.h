#pragma once

// The device setup functions, bound at run time: the driver must load on systems where the
// setup libraries are missing, and then simply finds no devices.

#include <windows.h>
// windows.h first.
#include <cfgmgr32.h>
#include <setupapi.h>

#include <optional>
#include <string>

namespace pirell::platform::windows_discovery {

// Owns a loaded library.
class Library {
 public:
  explicit Library(const wchar_t* name) : module_(LoadLibraryW(name)) {}
  ~Library() {
    if (module_) FreeLibrary(module_);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  bool loaded() const { return module_ != nullptr; }
  // The function `name` as type F, or null.
  template <class F>
  F Function(const char* name) const {
    // Through void(*)() because that is the one function pointer type a cast may pass through
    // without a warning.
    return module_
               ? reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module_, name)))
               : nullptr;
  }

 private:
  HMODULE module_;
};

// SetupApi.dll and cfgmgr32.dll with the functions the discovery uses. Usable only when
// Bind succeeded; the libraries stay loaded while the object lives.
class SetupApi {
 public:
  SetupApi();
  bool bound() const { return bound_; }

  decltype(&::SetupDiGetClassDevsA) GetClassDevsA = nullptr;
  decltype(&::SetupDiEnumDeviceInterfaces) EnumDeviceInterfaces = nullptr;
  decltype(&::SetupDiGetDeviceInterfaceDetailA) GetDeviceInterfaceDetailA = nullptr;
  decltype(&::SetupDiGetDeviceRegistryPropertyA) GetDeviceRegistryPropertyA = nullptr;
  decltype(&::SetupDiDestroyDeviceInfoList) DestroyDeviceInfoList = nullptr;
  decltype(&::SetupDiEnumDeviceInfo) EnumDeviceInfo = nullptr;
  decltype(&::SetupDiOpenDevRegKey) OpenDevRegKey = nullptr;
  decltype(&::SetupDiOpenClassRegKey) OpenClassRegKey = nullptr;
  decltype(&::CM_Get_DevNode_Status) GetDevNodeStatus = nullptr;

 private:
  Library setupapi_;
  Library cfgmgr32_;
  bool bound_ = false;
};

// Owns a device information set.
class DeviceInfoSet {
 public:
  DeviceInfoSet(const SetupApi& api, HDEVINFO set) : api_(api), set_(set) {}
  ~DeviceInfoSet() {
    if (valid()) api_.DestroyDeviceInfoList(set_);
  }
  DeviceInfoSet(const DeviceInfoSet&) = delete;
  DeviceInfoSet& operator=(const DeviceInfoSet&) = delete;

  bool valid() const { return set_ != INVALID_HANDLE_VALUE && set_ != nullptr; }
  HDEVINFO get() const { return set_; }

 private:
  const SetupApi& api_;
  HDEVINFO set_;
};

// Owns an open registry key.
class RegistryKey {
 public:
  explicit RegistryKey(HKEY key = nullptr) : key_(key == INVALID_HANDLE_VALUE ? nullptr : key) {}
  ~RegistryKey() {
    if (key_) RegCloseKey(key_);
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  bool valid() const { return key_ != nullptr; }
  HKEY get() const { return key_; }
  HKEY* receive() { return &key_; }

 private:
  HKEY key_;
};

// A text in the system's ANSI code page as UTF-8.
std::string AnsiToUtf8(const char* text, std::size_t length);

// A string value of the key, or nothing when it is missing or not a string.
std::optional<std::string> ReadStringValue(HKEY key, const wchar_t* name);

}  // namespace pirell::platform::windows_discovery
