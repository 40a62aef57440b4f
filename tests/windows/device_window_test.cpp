// The device's hidden message window on Windows.

#include <windows.h>

#include <gtest/gtest.h>

#include "device/base_device.h"
#include "support/test_device.h"

namespace pirell {
namespace {

using testing::TTestDevice;

HWND HandleOf(const TBaseDevice& device) {
  return reinterpret_cast<HWND>(device.DeviceHandle());
}

TEST(DeviceWindowTest, MessagesReachTheDevicesWindowProcedure) {
  auto device = CreateObject<TTestDevice>();
  const HWND window = HandleOf(*device);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(IsWindow(window));
  EXPECT_EQ(GetWindowThreadProcessId(window, nullptr), GetCurrentThreadId());
  device->messages.clear();

  EXPECT_EQ(SendMessageW(window, WM_USER + 1, 5, 6), 42);
  ASSERT_EQ(device->messages.size(), 1u);
  EXPECT_EQ(device->messages[0].Msg, static_cast<std::uint32_t>(WM_USER + 1));
  EXPECT_EQ(device->messages[0].WParam, 5u);
  EXPECT_EQ(device->messages[0].LParam, 6);

  // Posted messages arrive through the thread's message loop.
  ASSERT_TRUE(PostMessageW(window, WM_USER + 2, 7, 8));
  MSG msg;
  while (PeekMessageW(&msg, window, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  ASSERT_EQ(device->messages.size(), 2u);
  EXPECT_EQ(device->messages[1].Msg, static_cast<std::uint32_t>(WM_USER + 2));
}

TEST(DeviceWindowTest, TheWindowIsMessageOnlyAndGoesWithTheDevice) {
  auto device = CreateObject<TBaseDevice>();
  const HWND window = HandleOf(*device);
  ASSERT_TRUE(IsWindow(window));
  EXPECT_FALSE(IsWindowVisible(window));
  // It is found among the message-only windows.
  EXPECT_EQ(FindWindowExW(HWND_MESSAGE, nullptr, L"PirellDeviceWindow", nullptr), window);
  // The base procedure ignores messages.
  EXPECT_EQ(SendMessageW(window, WM_USER + 1, 0, 0), 0);
  device.reset();
  EXPECT_FALSE(IsWindow(window));
}

TEST(DeviceWindowTest, EveryDeviceHasItsOwnWindow) {
  auto first = CreateObject<TTestDevice>();
  auto second = CreateObject<TTestDevice>();
  ASSERT_NE(HandleOf(*first), HandleOf(*second));
  first.reset();
  // The window class stays while a window of it lives.
  EXPECT_TRUE(IsWindow(HandleOf(*second)));
  second->messages.clear();
  SendMessageW(HandleOf(*second), WM_USER + 3, 0, 0);
  EXPECT_EQ(second->messages.size(), 1u);
  second.reset();
  // A device made after all windows went registers the class again.
  auto third = CreateObject<TTestDevice>();
  EXPECT_TRUE(IsWindow(HandleOf(*third)));
}

}  // namespace
}  // namespace pirell
