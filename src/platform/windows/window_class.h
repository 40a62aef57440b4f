#pragma once

#include <windows.h>

#include <mutex>

namespace pirell::platform {

// The module that holds this code: the driver DLL inside the host, or a test program. Window
// classes are registered for it.
HINSTANCE ThisModule();

// A window class registered while any window of it exists. A class left registered would keep
// pointing into this module after the host unloads it, so the last window's owner unregisters it.
class SharedWindowClass {
 public:
  // `description` gives everything but the size and the module, which are filled in here.
  explicit SharedWindowClass(const WNDCLASSEXW& description);
  SharedWindowClass(const SharedWindowClass&) = delete;
  SharedWindowClass& operator=(const SharedWindowClass&) = delete;

  // Registers the class for the first user; false when it cannot be registered.
  bool Acquire();
  // Unregisters it when the last user lets go. Call once per successful Acquire.
  void Release();

  const wchar_t* Name() const { return description_.lpszClassName; }

 private:
  WNDCLASSEXW description_;
  std::mutex mutex_;
  int users_ = 0;
};

}  // namespace pirell::platform
