#include "platform/windows/port_discovery_windows_setupapi.h"

#include <cwchar>
#include <string_view>
#include <vector>

#include "platform/windows/wide.h"

namespace pirell::platform::windows_discovery {

SetupApi::SetupApi() : setupapi_(L"SetupApi.dll"), cfgmgr32_(L"cfgmgr32.dll") {
  const Library& s = setupapi_;
  GetClassDevsA = s.Function<decltype(GetClassDevsA)>("SetupDiGetClassDevsA");
  EnumDeviceInterfaces = s.Function<decltype(EnumDeviceInterfaces)>("SetupDiEnumDeviceInterfaces");
  GetDeviceInterfaceDetailA =
      s.Function<decltype(GetDeviceInterfaceDetailA)>("SetupDiGetDeviceInterfaceDetailA");
  GetDeviceRegistryPropertyA =
      s.Function<decltype(GetDeviceRegistryPropertyA)>("SetupDiGetDeviceRegistryPropertyA");
  DestroyDeviceInfoList =
      s.Function<decltype(DestroyDeviceInfoList)>("SetupDiDestroyDeviceInfoList");
  EnumDeviceInfo = s.Function<decltype(EnumDeviceInfo)>("SetupDiEnumDeviceInfo");
  OpenDevRegKey = s.Function<decltype(OpenDevRegKey)>("SetupDiOpenDevRegKey");
  OpenClassRegKey = s.Function<decltype(OpenClassRegKey)>("SetupDiOpenClassRegKey");
  GetDevNodeStatus = cfgmgr32_.Function<decltype(GetDevNodeStatus)>("CM_Get_DevNode_Status");
  bound_ = GetClassDevsA && EnumDeviceInterfaces && GetDeviceInterfaceDetailA &&
           GetDeviceRegistryPropertyA && DestroyDeviceInfoList && EnumDeviceInfo && OpenDevRegKey &&
           OpenClassRegKey && GetDevNodeStatus;
}

std::string AnsiToUtf8(const char* text, std::size_t length) {
  if (length == 0) return {};
  const int size = static_cast<int>(length);
  const int n = MultiByteToWideChar(CP_ACP, 0, text, size, nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text, size, wide.data(), n);
  return Narrow(wide);
}

std::optional<std::string> ReadStringValue(HKEY key, const wchar_t* name) {
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
  std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
  DWORD read = size;
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &read) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  // The stored text may or may not end in a null character; the buffer always does.
  return Narrow(std::wstring_view(data.data(), wcsnlen(data.data(), data.size())));
}

}  // namespace pirell::platform::windows_discovery
