#include "settings_ui/windows/win32_window.h"

#include <mutex>

#include "platform/windows/wide.h"
#include "settings_ui/windows/ui_font.h"

namespace pirell::win32 {
namespace {

constexpr wchar_t kClassName[] = L"PirellSettingsWindow";

// The class lives while any window of it does: a class left registered would point into this
// module after the host unloads it.
std::mutex class_mutex;
int class_users = 0;

bool AcquireClass(WNDPROC procedure) {
  std::lock_guard<std::mutex> lock(class_mutex);
  if (class_users == 0) {
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.style = CS_DBLCLKS;
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = ThisModule();
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = kClassName;
    if (!RegisterClassExW(&window_class) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
      return false;
  }
  ++class_users;
  return true;
}

void ReleaseClass() {
  std::lock_guard<std::mutex> lock(class_mutex);
  if (--class_users == 0) UnregisterClassW(kClassName, ThisModule());
}

}  // namespace

HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

Win32Window::~Win32Window() {
  if (HWND window = window_.get()) {
    // The object is going away: the destruction messages must not reach it.
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    window_.reset();
  }
  if (class_acquired_) ReleaseClass();
}

bool Win32Window::CreateFrame(DWORD ex_style, DWORD style, std::wstring_view caption, HWND owner,
                              int client_width, int client_height) {
  if (!class_acquired_) class_acquired_ = AcquireClass(&Procedure);
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
