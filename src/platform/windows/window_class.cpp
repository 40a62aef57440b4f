#include "platform/windows/window_class.h"

namespace pirell::platform {

HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

SharedWindowClass::SharedWindowClass(const WNDCLASSEXW& description) : description_(description) {
  description_.cbSize = sizeof description_;
}

bool SharedWindowClass::Acquire() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (users_ == 0) {
    description_.hInstance = ThisModule();
    if (!RegisterClassExW(&description_) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
      return false;
  }
  ++users_;
  return true;
}

void SharedWindowClass::Release() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (--users_ == 0) UnregisterClassW(description_.lpszClassName, description_.hInstance);
}

}  // namespace pirell::platform
