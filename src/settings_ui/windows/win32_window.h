#pragma once

// A window whose messages go to a C++ object, and the helpers that make its child controls.

#include <windows.h>

#include <string>
#include <string_view>

#include "settings_ui/windows/win32_handles.h"

namespace pirell::win32 {

class Win32Window {
 public:
  Win32Window() = default;
  virtual ~Win32Window();
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  HWND Handle() const { return window_.get(); }

 protected:
  // Creates the window of this object; `client_width` x `client_height` is its client area.
  // Returns false when the system refuses.
  bool CreateFrame(DWORD ex_style, DWORD style, std::wstring_view caption, HWND owner,
                   int client_width, int client_height);
  // Creates a child window of this object's class (a panel whose messages come here too).
  HWND CreatePanel(HWND parent, int x, int y, int width, int height, DWORD style = 0);

  // Every message of the window and of its panels; `window` tells which one.
  virtual LRESULT HandleMessage(HWND window, UINT msg, WPARAM wparam, LPARAM lparam);
  // Lets the window go without destroying it (the window is being destroyed by the system).
  void Forget() { (void)window_.release(); }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT msg, WPARAM wparam, LPARAM lparam);

  UniqueWindow window_;
  bool class_acquired_ = false;
  HWND focus_before_deactivation_ = nullptr;
};

// A child control of a system class with the settings windows' font.
HWND CreateControl(HWND parent, const wchar_t* class_name, std::wstring_view text, DWORD style,
                   int x, int y, int width, int height, int id, DWORD ex_style = 0);

std::wstring WindowText(HWND window);
void SetWindowTextIfChanged(HWND window, const std::wstring& text);

// Converts between UTF-8 model texts and the UTF-16 of the controls.
std::wstring W(std::string_view utf8);
std::string U8(std::wstring_view wide);

}  // namespace pirell::win32
