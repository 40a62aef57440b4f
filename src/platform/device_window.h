#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace pirell::platform {

// A window handle of the platform; 0 means no window.
using WindowHandle = std::uintptr_t;

// One window message as the window procedure receives it; the procedure sets `Result`.
struct WindowMessage {
  std::uint32_t Msg = 0;
  std::uintptr_t WParam = 0;
  std::intptr_t LParam = 0;
  std::intptr_t Result = 0;
};

using WindowProcedure = std::function<void(WindowMessage& message)>;

// A hidden window that only receives messages, owned by the thread that created it. Destroying
// the object destroys the window; it must happen on the same thread.
class DeviceWindow {
 public:
  virtual ~DeviceWindow() = default;
  // 0 on a platform without window messages.
  virtual WindowHandle Handle() const = 0;
};

// Creates a message-only window on the calling thread whose messages (after the window exists)
// go to `procedure`. Where the platform has no window messages the window has no handle and
// receives nothing.
std::unique_ptr<DeviceWindow> CreateDeviceWindow(WindowProcedure procedure);

// The foreground and focus calls a device uses to take the user's input away from the
// foreground window while it works and to give it back. Tests install a fake.
class WindowFocus {
 public:
  virtual ~WindowFocus() = default;
  // The current foreground window, or 0.
  virtual WindowHandle ForegroundWindow() = 0;
  virtual void EnableInput(WindowHandle window, bool enable) = 0;
  virtual void SetForegroundWindow(WindowHandle window) = 0;
  // Sends the set-focus message with both parameters 0.
  virtual void SendSetFocus(WindowHandle window) = 0;
};

// The system's focus calls (they do nothing where the platform has no windows).
WindowFocus& SystemWindowFocus();

// The focus calls in force: the system's unless a test installed others.
WindowFocus& Focus();

// Installs `focus` for the lifetime of this object (tests only).
class ScopedWindowFocus {
 public:
  explicit ScopedWindowFocus(WindowFocus& focus);
  ~ScopedWindowFocus();
  ScopedWindowFocus(const ScopedWindowFocus&) = delete;
  ScopedWindowFocus& operator=(const ScopedWindowFocus&) = delete;

 private:
  WindowFocus* previous_;
};

}  // namespace pirell::platform
