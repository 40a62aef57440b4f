#include "platform/linux/port_opener_linux.h"

#include <gtest/gtest.h>

#include "platform/port_opener.h"

namespace pirell::platform {
namespace {

using linux_ports::PortDeviceNode;

TEST(PortOpenerLinuxTest, ParallelPortsAreTheLpNodesThePrinterPortWrites) {
  EXPECT_EQ(PortDeviceNode("LPT1", {}), "/dev/lp0");
  EXPECT_EQ(PortDeviceNode("lpt3", {}), "/dev/lp2");
  EXPECT_EQ(PortDeviceNode("LPT0", {}), "");
  EXPECT_EQ(PortDeviceNode("LPT", {}), "");
  EXPECT_EQ(PortDeviceNode("LPT1x", {}), "");
  EXPECT_EQ(PortDeviceNode("LPT-1", {}), "");
}

TEST(PortOpenerLinuxTest, SerialPortsAreTheNodesListedUnderTheirNames) {
  const std::vector<PortDeviceRecord> devices = {
      {"/dev/ttyS0 (COM1)", "COM1"},
      {"FTDI FT232R USB UART /dev/ttyUSB0 (COM2)", "COM2"},
      {"/dev/lp0 (LPT1)", "LPT1"},
  };
  EXPECT_EQ(PortDeviceNode("COM1", devices), "/dev/ttyS0");
  EXPECT_EQ(PortDeviceNode("com2", devices), "/dev/ttyUSB0");
  // A port the machine does not list leads nowhere, whatever its number.
  EXPECT_EQ(PortDeviceNode("COM3", devices), "");
  EXPECT_EQ(PortDeviceNode("USB1", devices), "");
  EXPECT_EQ(PortDeviceNode("", devices), "");
}

TEST(PortOpenerLinuxTest, AMissingPortCannotBeHad) {
  EXPECT_FALSE(SystemPortOpener().TryOpenPort("LPT200"));
  EXPECT_FALSE(SystemPortOpener().TryOpenPort("COM250"));
  EXPECT_FALSE(SystemPortOpener().TryOpenPort("nonsense"));
}

}  // namespace
}  // namespace pirell::platform
