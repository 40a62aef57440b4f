#pragma once

// Owners of the user-interface handles of the settings windows.

#include <windows.h>

#include <memory>
#include <type_traits>

#include "platform/windows/window_class.h"

namespace pirell::win32 {

struct WindowDeleter {
  void operator()(HWND window) const {
    if (IsWindow(window)) DestroyWindow(window);
  }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

struct MenuDeleter {
  void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using UniqueMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter>;

struct ModuleDeleter {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};
using UniqueModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleDeleter>;

// The module (DLL or program) these windows belong to: their classes are registered for it.
using platform::ThisModule;

}  // namespace pirell::win32
