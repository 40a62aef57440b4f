#include "com_server/module_lock.h"

#include <vector>

namespace pirell::com {
namespace {

LONG lock_count = 0;
HMODULE module_handle = nullptr;

HMODULE ImageOfThisCode() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&ImageOfThisCode), &module);
  return module;
}

}  // namespace

void LockModule() {
  InterlockedIncrement(&lock_count);
}

void UnlockModule() {
  InterlockedDecrement(&lock_count);
}

long ModuleLockCount() {
  return InterlockedCompareExchange(&lock_count, 0, 0);
}

void SetModuleHandle(HMODULE module) {
  module_handle = module;
}

std::wstring ModulePath() {
  HMODULE module = module_handle ? module_handle : ImageOfThisCode();
  // Paths may be longer than MAX_PATH; grow until the name fits.
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    if (buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace pirell::com
