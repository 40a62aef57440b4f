#include "platform/device_window.h"

namespace pirell::platform {
namespace {

// Linux has no window messages: the device window exists without a handle, and the focus calls
// have nothing to act on.
class NoDeviceWindow : public DeviceWindow {
 public:
  WindowHandle Handle() const override { return 0; }
};

class NoWindowFocus : public WindowFocus {
 public:
  WindowHandle ForegroundWindow() override { return 0; }
  void EnableInput(WindowHandle, bool) override {}
  void SetForegroundWindow(WindowHandle) override {}
  void SendSetFocus(WindowHandle) override {}
};

}  // namespace

std::unique_ptr<DeviceWindow> CreateDeviceWindow(WindowProcedure) {
  return std::make_unique<NoDeviceWindow>();
}

WindowFocus& SystemWindowFocus() {
  static NoWindowFocus focus;
  return focus;
}

}  // namespace pirell::platform
