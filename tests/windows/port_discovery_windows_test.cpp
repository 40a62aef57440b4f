#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/port_discovery.h"
#include "ports/port_list.h"
#include "ports/usb_print_list.h"

namespace pirell {
namespace {

// The test machine has no USB printer: the setup functions bind and list nothing.
TEST(WindowsDiscoveryTest, NoUsbPrinterIsACompleteEmptyList) {
  TUSBPrintList printers;
  EXPECT_TRUE(printers.Refresh());
  EXPECT_EQ(printers.GetCount(), 0);
}

TEST(WindowsDiscoveryTest, PortsOfThisMachineAreListedInNumberOrder) {
  EXPECT_FALSE(platform::SystemPortDiscovery().IsRemoteSession());
  for (const auto kind : {platform::PortFamily::kSerial, platform::PortFamily::kParallel}) {
    const std::vector<TPortListEntry> ports = GetPortList(kind);
    EXPECT_TRUE(std::is_sorted(
        ports.begin(), ports.end(),
        [](const TPortListEntry& a, const TPortListEntry& b) { return a.Number < b.Number; }));
    const std::string prefix = kind == platform::PortFamily::kSerial ? "COM" : "LPT";
    for (const TPortListEntry& port : ports) {
      EXPECT_NE(port.Text.find(prefix), std::string::npos) << port.Text;
      EXPECT_GT(port.Number, 0) << port.Text;
    }
  }
}

}  // namespace
}  // namespace pirell
