#include "ports/port_list.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/fake_port_discovery.h"

namespace pirell {
namespace {

using platform::PortFamily;
using testing::FakePortDiscovery;
using Entries = std::vector<std::pair<std::string, int>>;

Entries Listed(FakePortDiscovery& machine, PortFamily kind) {
  Entries entries;
  for (const TPortListEntry& entry : GetPortList(kind, machine)) {
    entries.emplace_back(entry.Text, entry.Number);
  }
  return entries;
}

TEST(PortListTest, RemoteSessionGivesTheFixedListsOnly) {
  FakePortDiscovery machine;
  machine.remote_session = true;
  machine.parallel_map = {R"(\DosDevices\LPT7)"};
  EXPECT_EQ(Listed(machine, PortFamily::kParallel),
            (Entries{{"LPT1", 1}, {"LPT2", 2}, {"LPT3", 3}, {"LPT4", 4}}));
  const std::vector<TPortListEntry> serial = GetPortList(PortFamily::kSerial, machine);
  ASSERT_EQ(serial.size(), 256u);
  EXPECT_EQ(serial.front().Text, "COM1");
  EXPECT_EQ(serial.back().Text, "COM256");
  EXPECT_EQ(serial.back().Number, 256);
}

TEST(PortListTest, DeviceMapGivesBarePortNamesOrderedByNumber) {
  FakePortDiscovery machine;
  machine.serial_map = {
      R"(\Device\Serial10)", "COM10", R"(\DosDevices\COM1)", "com10", "COM", "COMx1", "COM2345"};
  // COM10 and com10 are one port; COM2345 reads three digits.
  EXPECT_EQ(Listed(machine, PortFamily::kSerial),
            (Entries{{"COM1", 1}, {"COM10", 10}, {"COM2345", 234}}));
}

TEST(PortListTest, DeviceMapLooksOnlyForTheRequestedFamily) {
  FakePortDiscovery machine;
  machine.serial_map = {"COM1"};
  machine.parallel_map = {R"(\DosDevices\LPT1)", "lpt2"};
  // The prefix is looked for in upper case only.
  EXPECT_EQ(Listed(machine, PortFamily::kParallel), (Entries{{"LPT1", 1}}));
}

TEST(PortListTest, PresentDeviceLendsItsNameToTheMappedPort) {
  FakePortDiscovery machine;
  machine.serial_map = {R"(\DosDevices\COM3)", R"(\DosDevices\COM1)"};
  machine.devices = {{"Communications Port (COM3)", "COM3"}};
  EXPECT_EQ(Listed(machine, PortFamily::kSerial),
            (Entries{{"COM1", 1}, {"Communications Port (COM3)", 3}}));
}

TEST(PortListTest, DeviceUnknownToTheMapIsAdded) {
  FakePortDiscovery machine;
  machine.parallel_map = {"LPT1"};
  // No port name: the number comes from the name.
  machine.devices = {{"ECP Printer Port (LPT2)", ""}};
  EXPECT_EQ(Listed(machine, PortFamily::kParallel),
            (Entries{{"LPT1", 1}, {"ECP Printer Port (LPT2)", 2}}));
}

TEST(PortListTest, DevicesWithoutNumberOrOfTheOtherFamilyAreLeftOut) {
  FakePortDiscovery machine;
  machine.devices = {
      {"Communications Port (COM)", ""},   // no number
      {"USB Serial Port (COM4)", "COMx"},  // a port name without a number
      {"Printer Port (LPT1)", "LPT1"},     // parallel
      {"Bluetooth link", "COM9"},          // neither family in its name
      {"Communications Port (COM2)", "COM2"},
  };
  EXPECT_EQ(Listed(machine, PortFamily::kSerial), (Entries{{"Communications Port (COM2)", 2}}));
  EXPECT_EQ(Listed(machine, PortFamily::kParallel), (Entries{{"Printer Port (LPT1)", 1}}));
}

TEST(PortListTest, PortNameWinsOverTheNumberInTheName) {
  FakePortDiscovery machine;
  machine.devices = {{"USB Serial Port (COM4)", "COM12"}};
  EXPECT_EQ(Listed(machine, PortFamily::kSerial), (Entries{{"USB Serial Port (COM4)", 12}}));
}

TEST(PortListTest, FailingDeviceListingKeepsTheDeviceMap) {
  FakePortDiscovery machine;
  machine.serial_map = {"COM2", "COM1"};
  machine.devices_failure = true;
  EXPECT_EQ(Listed(machine, PortFamily::kSerial), (Entries{{"COM1", 1}, {"COM2", 2}}));
}

TEST(PortListTest, NothingFoundIsAnEmptyList) {
  FakePortDiscovery machine;
  EXPECT_TRUE(GetPortList(PortFamily::kSerial, machine).empty());
  EXPECT_TRUE(GetPortList(PortFamily::kParallel, machine).empty());
}

TEST(ParsePortNumberTest, ReadsTheNumberInBrackets) {
  EXPECT_EQ(ParsePortNumber("Communications Port (COM1)", PortFamily::kSerial), 1);
  EXPECT_EQ(ParsePortNumber("USB Serial (com12) ", PortFamily::kSerial), 12);
  EXPECT_EQ(ParsePortNumber("Printer Port (LPT3)", PortFamily::kParallel), 3);
  // Without a closing bracket the rest is the number.
  EXPECT_EQ(ParsePortNumber("Port (COM12", PortFamily::kSerial), 12);
  // The first marker counts.
  EXPECT_EQ(ParsePortNumber("(COM5) (COM6)", PortFamily::kSerial), 5);
}

TEST(ParsePortNumberTest, NoNumberWithoutMarkerOrDigits) {
  EXPECT_EQ(ParsePortNumber("Printer Port (LPT1)", PortFamily::kSerial), std::nullopt);
  EXPECT_EQ(ParsePortNumber("COM1", PortFamily::kSerial), std::nullopt);
  EXPECT_EQ(ParsePortNumber("Port (COM)", PortFamily::kSerial), std::nullopt);
  EXPECT_EQ(ParsePortNumber("Port (COM1", PortFamily::kSerial), std::nullopt);
  EXPECT_EQ(ParsePortNumber("Port (COM)x", PortFamily::kSerial), std::nullopt);
  EXPECT_EQ(ParsePortNumber("Port (COM1a)", PortFamily::kSerial), std::nullopt);
  EXPECT_EQ(ParsePortNumber("", PortFamily::kParallel), std::nullopt);
}

}  // namespace
}  // namespace pirell
