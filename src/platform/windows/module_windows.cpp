#include <windows.h>

#include <vector>

#include "platform/module_info.h"
#include "platform/windows/wide.h"

namespace pirell::platform {

std::string ModuleFileName() {
  // The module that holds this code: the driver DLL inside the host, or a test executable.
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCWSTR>(&ModuleFileName), &module))
    return {};
  wchar_t buffer[MAX_PATH];
  const DWORD n = GetModuleFileNameW(module, buffer, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  return Narrow(std::wstring_view(buffer, n));
}

std::array<std::uint16_t, 4> ModuleFileVersion(const std::string& file_name) {
  const std::wstring path = Widen(file_name.empty() ? ModuleFileName() : file_name);
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
  if (size == 0) return {0, 0, 0, 0};
  std::vector<unsigned char> data(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return {0, 0, 0, 0};
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info ||
      length < sizeof(VS_FIXEDFILEINFO))
    return {0, 0, 0, 0};
  return {HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
          HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS)};
}

}  // namespace pirell::platform
