#include <windows.h>

#include "platform/device_window.h"
#include "platform/windows/window_class.h"

namespace pirell::platform {
namespace {

constexpr wchar_t kClassName[] = L"PirellDeviceWindow";

// Messages that arrive while the window is being created or destroyed have no procedure
// attached and get the default handling; the others go to the device.
LRESULT CALLBACK ForwardingProc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  auto* procedure = reinterpret_cast<WindowProcedure*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (procedure == nullptr) return DefWindowProcW(window, msg, wparam, lparam);
  WindowMessage message{msg, wparam, lparam, 0};
  try {
    (*procedure)(message);
  } catch (...) {
    // The system's message dispatch cannot carry a C++ failure.
    return 0;
  }
  return message.Result;
}

SharedWindowClass& DeviceWindowClass() {
  static SharedWindowClass window_class([] {
    WNDCLASSEXW description{};
    description.lpfnWndProc = ForwardingProc;
    description.lpszClassName = kClassName;
    return description;
  }());
  return window_class;
}

class MessageOnlyWindow : public DeviceWindow {
 public:
  explicit MessageOnlyWindow(WindowProcedure procedure)
      : procedure_(std::make_unique<WindowProcedure>(std::move(procedure))) {
    if (!DeviceWindowClass().Acquire()) return;
    window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              ThisModule(), nullptr);
    if (window_ == nullptr) {
      DeviceWindowClass().Release();
      return;
    }
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(procedure_.get()));
  }

  ~MessageOnlyWindow() override {
    if (window_ == nullptr) return;
    // The device is going away: its procedure must not see the destruction messages.
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
    DeviceWindowClass().Release();
  }

  MessageOnlyWindow(const MessageOnlyWindow&) = delete;
  MessageOnlyWindow& operator=(const MessageOnlyWindow&) = delete;

  WindowHandle Handle() const override { return reinterpret_cast<WindowHandle>(window_); }

 private:
  std::unique_ptr<WindowProcedure> procedure_;
  HWND window_ = nullptr;
};

HWND ToHwnd(WindowHandle window) {
  return reinterpret_cast<HWND>(window);
}

class SystemFocus : public WindowFocus {
 public:
  WindowHandle ForegroundWindow() override {
    return reinterpret_cast<WindowHandle>(::GetForegroundWindow());
  }
  void EnableInput(WindowHandle window, bool enable) override {
    ::EnableWindow(ToHwnd(window), enable ? TRUE : FALSE);
  }
  void SetForegroundWindow(WindowHandle window) override { ::SetForegroundWindow(ToHwnd(window)); }
  void SendSetFocus(WindowHandle window) override {
    ::SendMessageW(ToHwnd(window), WM_SETFOCUS, 0, 0);
  }
};

}  // namespace

std::unique_ptr<DeviceWindow> CreateDeviceWindow(WindowProcedure procedure) {
  return std::make_unique<MessageOnlyWindow>(std::move(procedure));
}

WindowFocus& SystemWindowFocus() {
  static SystemFocus focus;
  return focus;
}

}  // namespace pirell::platform
