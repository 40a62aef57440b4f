#pragma once

// The help popup shown when HTML Help cannot show one: a small bordered window with the text on
// the help popups' pale yellow, closed by a click, a key or losing the activation.

#include <windows.h>

#include <string>

#include "settings_ui/windows/win32_window.h"

namespace pirell::win32 {

class HelpPopup : public Win32Window {
 public:
  // Shows `text` with the popup's top-left at `point` (kept on the screen). An empty text shows
  // nothing.
  bool Show(HWND owner, const std::wstring& text, POINT point);
  void Close();
  bool Visible() const { return Handle() != nullptr && IsWindowVisible(Handle()); }
  const std::wstring& Text() const { return text_; }

 protected:
  LRESULT HandleMessage(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  std::wstring text_;
};

}  // namespace pirell::win32
