#include "settings_ui/windows/win32_window.h"

#include "platform/windows/wide.h"
#include "platform/windows/window_class.h"
#include "settings_ui/windows/ui_font.h"

namespace pirell::win32 {
namespace {

constexpr wchar_t kClassName[] = L"PirellSettingsWindow";

// The procedure is the same for every caller: Win32Window::Procedure.
platform::SharedWindowClass& SettingsWindowClass(WNDPROC procedure) {
  static platform::SharedWindowClass window_class([procedure] {
    WNDCLASSEXW description{};
    description.style = CS_DBLCLKS;
    description.lpfnWndProc = procedure;
    description.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    description.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    description.lpszClassName = kClassName;
    return description;
  }());
  return window_class;
}

}  // namespace

Win32Window::~Win32Window() {
  if (HWND window = window_.get()) {
    // The object is going away: the destruction messages must not reach it.
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    window_.reset();
  }
  if (class_acquired_) SettingsWindowClass(&Procedure).Release();
}

bool Win32Window::CreateFrame(DWORD ex_style, DWORD style, std::wstring_view caption, HWND owner,
                              int client_width, int client_height) {
  if (!class_acquired_) class_acquired_ = SettingsWindowClass(&Procedure).Acquire();
  if (!class_acquired_) return false;
  RECT frame{0, 0, client_width, client_height};
  AdjustWindowRectEx(&frame, style, FALSE, ex_style);
  const std::wstring text(caption);
  HWND window = CreateWindowExW(ex_style, kClassName, text.c_str(), style, CW_USEDEFAULT,
                                CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                owner, nullptr, ThisModule(), this);
  window_.reset(window);
  return window != nullptr;
}

HWND Win32Window::CreatePanel(HWND parent, int x, int y, int width, int height, DWORD style) {
  return CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, x, y,
                         width, height, parent, nullptr, ThisModule(), this);
}

LRESULT Win32Window::HandleMessage(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_ACTIVATE && window == Handle()) {
    // As a dialog does: the control that had the focus gets it back when the window is
    // activated again (after a message box or the settings list).
    if (LOWORD(wparam) == WA_INACTIVE) {
      HWND focused = GetFocus();
      if (focused != nullptr && IsChild(window, focused)) focus_before_deactivation_ = focused;
    } else if (focus_before_deactivation_ != nullptr && IsWindow(focus_before_deactivation_) &&
               IsChild(window, focus_before_deactivation_)) {
      SetFocus(focus_before_deactivation_);
      return 0;
    }
  }
  return DefWindowProcW(window, msg, wparam, lparam);
}

LRESULT CALLBACK Win32Window::Procedure(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, msg, wparam, lparam);
  try {
    return self->HandleMessage(window, msg, wparam, lparam);
  } catch (...) {
    // The system's message dispatch cannot carry a C++ failure.
    return 0;
  }
}

HWND CreateControl(HWND parent, const wchar_t* class_name, std::wstring_view text, DWORD style,
                   int x, int y, int width, int height, int id, DWORD ex_style) {
  const std::wstring caption(text);
  HWND control = CreateWindowExW(
      ex_style, class_name, caption.c_str(), WS_CHILD | style, x, y, width, height, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ThisModule(), nullptr);
  if (control != nullptr) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), 0);
  return control;
}

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

void SetWindowTextIfChanged(HWND window, const std::wstring& text) {
  if (WindowText(window) != text) SetWindowTextW(window, text.c_str());
}

std::wstring W(std::string_view utf8) {
  return platform::Widen(utf8);
}
std::string U8(std::wstring_view wide) {
  return platform::Narrow(wide);
}

}  // namespace pirell::win32
