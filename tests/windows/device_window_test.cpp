// The device's hidden message window on Windows.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "device/base_device.h"
#include "label_printer/driver.h"
#include "support/fake_device_io.h"
#include "support/fake_equipment_manager.h"
#include "support/host_calls.h"
#include "support/temp_dir.h"
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

// What the host's window does with the message the test posts to it.
std::function<void()> g_host_window_action;

LRESULT CALLBACK HostWindowProcedure(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_APP && g_host_window_action) g_host_window_action();
  return DefWindowProcW(window, msg, wparam, lparam);
}

TEST(DeviceWindowTest, AHostWindowCallingTheDriverWhileAJobServesMessagesIsRefused) {
  testing::TempDir folder;
  auto host = std::make_shared<testing::FakeEquipmentManager>();
  host->properties["DevicesFolder"] = folder.path();
  testing::FakeDeviceIo device_io;
  auto driver = CreateObject<TDriver>(device_io);
  testing::InitAndOpen(*driver, host, "LP1");
  driver->SetSettingValue("PortName", Variant("USB001"));
  ASSERT_TRUE(
      testing::CallPublic(*driver, "UploadTemplate",
                          VariantArray::Vector({Variant(1), Variant(""), Variant("<Label/>")}))
          .result.ToBool());
  ASSERT_TRUE(testing::CallPublic(*driver, "Enable").result.ToBool());
  // The printer takes nothing at first: the job waits a tenth of a second serving messages.
  device_io.writes = {{0, 0, 0}, {}};
  device_io.received.clear();

  WNDCLASSW window_class{};
  window_class.lpfnWndProc = HostWindowProcedure;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = L"PirellTestHostWindow";
  ASSERT_NE(RegisterClassW(&window_class), 0);
  const HWND window = CreateWindowExW(0, window_class.lpszClassName, L"", 0, 0, 0, 0, 0,
                                      HWND_MESSAGE, nullptr, window_class.hInstance, nullptr);
  ASSERT_NE(window, nullptr);
  testing::PublicCall disable;
  testing::PrivateCall close;
  g_host_window_action = [&] {
    disable = testing::CallPublic(*driver, "Disable");
    close = testing::CallPrivate(*driver, "Close", {});
  };
  ASSERT_TRUE(PostMessageW(window, WM_APP, 0, 0));
  const testing::PublicCall print = testing::CallPublic(
      *driver, "PrintLabels",
      VariantArray::Vector(
          {Variant(1), Variant(VariantArray::Vector({Variant(VariantArray::Table(2, 0)),
                                                     Variant(VariantArray::Vector(0)),
                                                     Variant(VariantArray::Table(0, 1))}))}));
  g_host_window_action = nullptr;
  DestroyWindow(window);
  UnregisterClassW(window_class.lpszClassName, window_class.hInstance);

  EXPECT_TRUE(print.result.ToBool()) << print.Message();
  EXPECT_EQ(disable.Code(), rc::Busy);
  EXPECT_EQ(close.status, hr::DispException);
  EXPECT_TRUE(driver->Enabled());
  EXPECT_FALSE(device_io.received.empty());
  EXPECT_EQ(driver->DeviceID(), "LP1");
}

}  // namespace
}  // namespace pirell
