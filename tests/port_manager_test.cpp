#include "ports/port_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/time_source.h"
#include "support/fake_device_io.h"
#include "support/scripted_clock.h"

namespace pirell {
namespace {

using testing::FakeDeviceIo;
using testing::FakeWrite;
using testing::ScriptedClock;
using Events = std::vector<std::string>;

class PortManagerTest : public ::testing::Test {
 protected:
  ScriptedClock clock;
  platform::ScopedTimeSource time{clock};
  FakeDeviceIo io{&clock};
  TPortManager manager{io};
};

TEST_F(PortManagerTest, StartsAsAUsbPortWithoutName) {
  EXPECT_EQ(manager.PortType(), TPortType::ptUSB);
  EXPECT_EQ(manager.PortName(), "");
  EXPECT_EQ(manager.LastErrorDescription(), "");
}

TEST(PortTypeTest, SettingValuesOutsideTheTypesMeanUsb) {
  EXPECT_EQ(PortTypeFromSetting(0), TPortType::ptUSB);
  EXPECT_EQ(PortTypeFromSetting(1), TPortType::ptLPT);
  EXPECT_EQ(PortTypeFromSetting(2), TPortType::ptCOM);
  EXPECT_EQ(PortTypeFromSetting(3), TPortType::ptIP);
  EXPECT_EQ(PortTypeFromSetting(4), TPortType::ptFile);
  EXPECT_EQ(PortTypeFromSetting(5), TPortType::ptQueue);
  EXPECT_EQ(PortTypeFromSetting(6), TPortType::ptUSB);
  EXPECT_EQ(PortTypeFromSetting(-1), TPortType::ptUSB);
}

TEST_F(PortManagerTest, ParallelPortIsOpenedExclusivelyAndUsbShared) {
  manager.SetPortType(TPortType::ptLPT);
  manager.SetPortName("LPT2");
  EXPECT_EQ(manager.OpenPort(), rc::Ok);
  manager.ClosePort();
  manager.SetPortType(TPortType::ptUSB);
  manager.SetPortName("/dev/usb/lp0");
  EXPECT_EQ(manager.OpenPort(), rc::Ok);
  EXPECT_EQ(io.events,
            (Events{"open LPT2 exclusive", "flush", "close", "open /dev/usb/lp0 shared"}));
}

TEST_F(PortManagerTest, WritesFlushesAndClosesThroughThePort) {
  manager.SetPortName("LPT1");
  ASSERT_EQ(manager.OpenPort(), rc::Ok);
  EXPECT_EQ(manager.WriteToPort("N\r\n"), rc::Ok);
  manager.FlushBuffer();
  EXPECT_EQ(manager.WriteToPort("P1\r\n"), rc::Ok);
  manager.ClosePort();
  EXPECT_EQ(io.received, "N\r\nP1\r\n");
  EXPECT_EQ(io.events,
            (Events{"open LPT1 shared", "write 3", "flush", "write 4", "flush", "close"}));
  // The port object stays closed until the next open.
  manager.ClosePort();
  EXPECT_EQ(io.open_devices, 0);
}

TEST_F(PortManagerTest, SecondOpenReplacesTheFirstPortAfterClosingIt) {
  manager.SetPortType(TPortType::ptLPT);
  manager.SetPortName("LPT1");
  ASSERT_EQ(manager.OpenPort(), rc::Ok);
  ASSERT_EQ(manager.OpenPort(), rc::Ok);
  EXPECT_EQ(io.events, (Events{"open LPT1 exclusive", "flush", "close", "open LPT1 exclusive"}));
  EXPECT_EQ(io.open_devices, 1);
}

TEST_F(PortManagerTest, TypeAndNameAreReadAtEachOpen) {
  manager.SetPortName("LPT1");
  ASSERT_EQ(manager.OpenPort(), rc::Ok);
  manager.SetPortName("LPT3");
  EXPECT_EQ(manager.WriteToPort("x"), rc::Ok);
  manager.SetPortType(TPortType::ptLPT);
  ASSERT_EQ(manager.OpenPort(), rc::Ok);
  EXPECT_EQ(io.events.front(), "open LPT1 shared");
  EXPECT_EQ(io.events.back(), "open LPT3 exclusive");
}

TEST_F(PortManagerTest, UnservedTypesAreRefusedWithoutDetail) {
  for (TPortType type : {TPortType::ptCOM, TPortType::ptIP, TPortType::ptFile}) {
    manager.SetPortType(TPortType::ptUSB);
    manager.SetPortName("missing");
    io.open_error = 2;
    ASSERT_EQ(manager.OpenPort(), rc::PortUnavailable);
    ASSERT_NE(manager.LastErrorDescription(), "");

    manager.SetPortType(type);
    EXPECT_EQ(manager.OpenPort(), rc::Unknown);
    EXPECT_EQ(manager.LastErrorDescription(), "");
    manager.ClosePort();
    // No port object is left to write to.
    EXPECT_EQ(manager.WriteToPort("N\r\n"), rc::PortUnavailable);
  }
  EXPECT_EQ(io.write_calls, 0);
}

TEST_F(PortManagerTest, CloseAndFlushBeforeAnyOpenDoNothing) {
  manager.ClosePort();
  manager.FlushBuffer();
  EXPECT_TRUE(io.events.empty());
}

TEST_F(PortManagerTest, WriteWithoutOpenIsRefused) {
  EXPECT_EQ(manager.WriteToPort("N\r\n"), rc::PortUnavailable);
  EXPECT_TRUE(io.events.empty());
}

TEST_F(PortManagerTest, WriteAfterFailedOpenIsRefused) {
  io.open_error = 5;
  EXPECT_EQ(manager.OpenPort(), rc::PortUnavailable);
  EXPECT_EQ(manager.LastErrorDescription(), "system error 5");
  EXPECT_EQ(manager.WriteToPort("N\r\n"), rc::PortUnavailable);
  EXPECT_EQ(io.write_calls, 0);
}

TEST_F(PortManagerTest, SendFailureIsRelayedWithItsDetail) {
  manager.SetPortType(TPortType::ptLPT);
  ASSERT_EQ(manager.OpenPort(), rc::Ok);
  io.writes = {{1, 0, 0}};
  io.status = {0x20};
  EXPECT_EQ(manager.WriteToPort("N\r\n"), rc::Unknown);
  EXPECT_EQ(manager.LastErrorDescription(), "Принтер не подключен");
  // A later success clears it.
  io.writes = {FakeWrite{}};
  EXPECT_EQ(manager.WriteToPort("N\r\n"), rc::Ok);
  EXPECT_EQ(manager.LastErrorDescription(), "");
}

// The host's windows are served while a send waits; a handler may call into the driver again.
TEST_F(PortManagerTest, PortClosedWhileTheSendWaitsEndsTheSend) {
  ASSERT_EQ(manager.OpenPort(), rc::Ok);
  io.writes = {{1, 0, 0}};
  io.status = {0x40};
  clock.on_pump = [&] { manager.ClosePort(); };
  EXPECT_EQ(manager.WriteToPort("N\r\n"), rc::PortUnavailable);
  EXPECT_EQ(io.write_calls, 1);
  EXPECT_EQ(io.open_devices, 0);
}

TEST_F(PortManagerTest, PortOpenedAnewWhileTheSendWaitsLeavesTheSendIntact) {
  ASSERT_EQ(manager.OpenPort(), rc::Ok);
  io.writes = {{1, 0, 0}};
  io.status = {0x40, 0x00};
  bool reopened = false;
  clock.on_pump = [&] {
    if (!reopened) reopened = manager.OpenPort() == rc::Ok;
  };
  // The running send finishes on its own device; the new port object is ready afterwards.
  EXPECT_EQ(manager.WriteToPort("N\r\n"), rc::Ok);
  EXPECT_TRUE(reopened);
  EXPECT_EQ(io.received, "N\r\n");
  EXPECT_EQ(io.open_devices, 1);
  EXPECT_EQ(manager.WriteToPort("P1\r\n"), rc::Ok);
}

}  // namespace
}  // namespace pirell
