// Linux has no window messages: the device's hidden window exists without a handle.

#include <gtest/gtest.h>

#include "device/base_device.h"
#include "platform/device_window.h"

namespace pirell {
namespace {

TEST(DeviceWindowTest, HasNoHandleWithoutWindowMessages) {
  auto device = CreateObject<TBaseDevice>();
  EXPECT_EQ(device->DeviceHandle(), 0u);
  // Focus calls act on nothing: storing and restoring is harmless.
  EXPECT_EQ(platform::Focus().ForegroundWindow(), 0u);
  device->StoreFocus();
  device->RestoreFocus();
}

}  // namespace
}  // namespace pirell
