#include "platform/device_window.h"

namespace pirell::platform {
namespace {

WindowFocus*& Installed() {
  static WindowFocus* installed = nullptr;
  return installed;
}

}  // namespace

WindowFocus& Focus() {
  WindowFocus* installed = Installed();
  return installed ? *installed : SystemWindowFocus();
}

ScopedWindowFocus::ScopedWindowFocus(WindowFocus& focus) : previous_(Installed()) {
  Installed() = &focus;
}

ScopedWindowFocus::~ScopedWindowFocus() {
  Installed() = previous_;
}

}  // namespace pirell::platform
