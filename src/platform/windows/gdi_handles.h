#pragma once

// Owners of GDI handles: each deletes its handle, and a selection puts the previous object back
// into the device context before the selected object can be deleted.

#include <windows.h>

#include <memory>
#include <type_traits>

namespace pirell::platform {

struct DcDeleter {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
using UniqueDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;

struct GdiObjectDeleter {
  void operator()(void* object) const { DeleteObject(static_cast<HGDIOBJ>(object)); }
};
using UniqueBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using UniqueBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;
using UniquePen = std::unique_ptr<std::remove_pointer_t<HPEN>, GdiObjectDeleter>;

// A device context borrowed from a window with GetDC; released to the same window.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

class ScopedSelection {
 public:
  ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~ScopedSelection() {
    if (previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  ScopedSelection(const ScopedSelection&) = delete;
  ScopedSelection& operator=(const ScopedSelection&) = delete;
  bool Selected() const { return previous_ != nullptr && previous_ != HGDI_ERROR; }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace pirell::platform
