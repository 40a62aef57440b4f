#include "settings_ui/ports_combo_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/fake_port_discovery.h"
#include "support/fake_port_opener.h"

namespace pirell {
namespace {

using port_chooser::TColorRGB;
using port_chooser::TItemRect;
using port_chooser::TPortState;
using port_chooser::TPortType;
using testing::FakePortDiscovery;
using testing::FakePortOpener;
using testing::RepaintCounter;

constexpr TColorRGB kGreenFill{0, 208, 0};
constexpr TColorRGB kGreenOutline{0, 160, 0};
constexpr TColorRGB kRedFill{208, 0, 0};
constexpr TColorRGB kRedOutline{160, 0, 0};
constexpr TColorRGB kGreyFill{208, 208, 208};
constexpr TColorRGB kGreyOutline{10, 10, 10};

const std::string kZebraPath =
    R"(\\?\usb#vid_0a5f&pid_000a#41a081100542#{28d78fad-5a12-11d1-ae5b-0000f803a8c2})";
const std::string kDisabledPath =
    R"(\\?\usb#vid_1203&pid_0230#5&2c5f3a7&0&2#{28d78fad-5a12-11d1-ae5b-0000f803a8c2})";

// Counts which port families the chooser asked the machine for.
class CountingDiscovery : public FakePortDiscovery {
 public:
  std::vector<std::string> DeviceMapPorts(platform::PortFamily family) override {
    asked.push_back(family);
    return FakePortDiscovery::DeviceMapPorts(family);
  }
  std::vector<platform::PortFamily> asked;
};

class PortsComboBoxTest : public ::testing::Test {
 protected:
  PortsComboBoxTest() {
    machine.serial_map = {R"(\DosDevices\COM3)", R"(\DosDevices\COM1)"};
    machine.parallel_map = {R"(\DosDevices\LPT1)"};
    machine.devices = {{"Communications Port (COM1)", "COM1"}};
    machine.usb_printers = {
        {kZebraPath, "Port_#0001.Hub_#0004", "Zebra LP2844", true},
        {R"(\\?\usb#vid_04b8#nolocation)", "", "Epson", true},
        {kDisabledPath, "Port_#0002.Hub_#0004", "TSC TTP-244 Plus", false},
    };
  }

  FakePortDiscovery machine;
  FakePortOpener ports;
};

TEST_F(PortsComboBoxTest, ListsSerialPortsWhenCreatedAndItsOwnTypeWhenSet) {
  CountingDiscovery counting;
  counting.serial_map = machine.serial_map;
  counting.parallel_map = machine.parallel_map;
  TPortsComboBox combo(counting, ports);
  EXPECT_TRUE(combo.CheckPortsOnCreate());
  EXPECT_EQ(combo.PortType(), TPortType::ptCOM);
  EXPECT_EQ(combo.Items(), (std::vector<std::string>{"COM1", "COM3"}));

  combo.SetPortType(TPortType::ptLPT);
  EXPECT_EQ(counting.asked, (std::vector<platform::PortFamily>{platform::PortFamily::kSerial,
                                                               platform::PortFamily::kParallel}));
  EXPECT_EQ(combo.Items(), (std::vector<std::string>{"LPT1"}));
  EXPECT_EQ(combo.ItemIndex(), -1);
}

TEST_F(PortsComboBoxTest, SerialAndParallelEntriesStartUnknown) {
  TPortsComboBox combo(machine, ports);
  const port_chooser::TPortArray serial = combo.PortArray();
  ASSERT_EQ(serial.size(), 2u);
  // The present device lends its readable name to the port.
  EXPECT_EQ(serial[0].PortName, "Communications Port (COM1)");
  EXPECT_EQ(combo.Items()[0], "Communications Port (COM1)");
  EXPECT_EQ(serial[0].PortNum, 1);
  EXPECT_EQ(serial[1].PortNum, 3);
  for (const port_chooser::TPortProp& entry : serial) {
    EXPECT_EQ(entry.PortState, TPortState::psUnknown);
    EXPECT_EQ(entry.PortInterface, "");
  }
}

TEST_F(PortsComboBoxTest, UsbPrintersWithALocationAreListedWithTheirStateAsDots) {
  TPortsComboBox combo(machine, ports);
  combo.SetPortType(TPortType::ptUSB);
  EXPECT_EQ(combo.Items(),
            (std::vector<std::string>{"Port_#0001.Hub_#0004", "Port_#0002.Hub_#0004"}));
  const port_chooser::TPortArray entries = combo.PortArray();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].PortName, "Port_#0001.Hub_#0004 (Zebra LP2844)");
  EXPECT_EQ(entries[0].PortInterface, kZebraPath);
  EXPECT_EQ(entries[0].PortNum, 0);
  EXPECT_EQ(entries[1].PortInterface, kDisabledPath);

  const auto working = combo.DrawItem(0, {});
  const auto disabled = combo.DrawItem(1, {});
  ASSERT_TRUE(working && disabled);
  EXPECT_EQ(working->Fill, kGreenFill);
  EXPECT_EQ(working->Outline, kGreenOutline);
  EXPECT_EQ(disabled->Fill, kRedFill);
  EXPECT_EQ(disabled->Outline, kRedOutline);

  // USB dots come from the listing: showing the list never probes.
  combo.SetShowing(true);
  EXPECT_FALSE(combo.IsChecking());
  combo.CheckPorts();
  EXPECT_FALSE(combo.IsChecking());
}

TEST_F(PortsComboBoxTest, AnIncompleteUsbListingListsNothing) {
  machine.usb_complete = false;
  TPortsComboBox combo(machine, ports);
  combo.SetPortType(TPortType::ptUSB);
  EXPECT_EQ(combo.ItemCount(), 0);
  EXPECT_TRUE(combo.PortArray().empty());
}

TEST_F(PortsComboBoxTest, SelectsAPortByNumberOrAppendsIt) {
  TPortsComboBox combo(machine, ports);
  combo.SetPortType(TPortType::ptLPT);
  EXPECT_EQ(combo.PortNumber(), -1);

  combo.SetPortNumber(1);
  EXPECT_EQ(combo.ItemIndex(), 0);
  EXPECT_EQ(combo.PortNumber(), 1);
  EXPECT_EQ(combo.ItemCount(), 1);

  // A stored LPT2 on a machine with LPT1 only: an entry drawn as LPT2 with a grey dot.
  combo.SetPortNumber(2);
  ASSERT_EQ(combo.ItemCount(), 2);
  EXPECT_EQ(combo.Items()[1], " ");
  EXPECT_EQ(combo.ItemIndex(), 1);
  EXPECT_EQ(combo.PortNumber(), 2);
  const auto drawn = combo.DrawItem(1, {});
  ASSERT_TRUE(drawn);
  EXPECT_EQ(drawn->Text, "LPT2");
  EXPECT_EQ(drawn->Fill, kGreyFill);
  EXPECT_EQ(drawn->Outline, kGreyOutline);

  // Selecting it again finds the appended entry.
  combo.SetPortNumber(1);
  combo.SetPortNumber(2);
  EXPECT_EQ(combo.ItemCount(), 2);
  EXPECT_EQ(combo.ItemIndex(), 1);
}

TEST_F(PortsComboBoxTest, NumbersOutsideOneTo256SelectNothing) {
  TPortsComboBox combo(machine, ports);
  combo.SetPortType(TPortType::ptLPT);
  combo.SetPortNumber(1);
  for (const int number : {0, -1, 257, 1000}) {
    combo.SetPortNumber(number);
    EXPECT_EQ(combo.ItemIndex(), 0) << number;
    EXPECT_EQ(combo.ItemCount(), 1) << number;
  }
  // The highest number keeps its value: it is probed and saved as itself.
  combo.SetPortNumber(256);
  EXPECT_EQ(combo.PortNumber(), 256);
  EXPECT_EQ(combo.DrawItem(1, {})->Text, "LPT256");
}

TEST_F(PortsComboBoxTest, UsbListsIgnoreNumbersAndPortListsIgnorePaths) {
  TPortsComboBox combo(machine, ports);
  combo.SetPortType(TPortType::ptUSB);
  combo.SetPortNumber(1);
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_EQ(combo.ItemCount(), 2);
  combo.SetItemIndex(0);
  EXPECT_EQ(combo.PortNumber(), -1);

  combo.SetPortType(TPortType::ptLPT);
  combo.SetPortInterface(kZebraPath);
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_EQ(combo.ItemCount(), 1);
  combo.SetItemIndex(0);
  EXPECT_EQ(combo.PortInterface(), "");
}

TEST_F(PortsComboBoxTest, SelectsAUsbPrinterByItsExactPathOrAppendsIt) {
  TPortsComboBox combo(machine, ports);
  combo.SetPortType(TPortType::ptUSB);
  EXPECT_EQ(combo.PortInterface(), "");

  combo.SetPortInterface(kDisabledPath);
  EXPECT_EQ(combo.ItemIndex(), 1);
  EXPECT_EQ(combo.PortInterface(), kDisabledPath);

  combo.SetPortInterface("");
  EXPECT_EQ(combo.ItemIndex(), 1);
  EXPECT_EQ(combo.ItemCount(), 2);

  // Letter case counts: the same path in upper case is another printer.
  std::string upper = kZebraPath;
  for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  combo.SetPortInterface(upper);
  ASSERT_EQ(combo.ItemCount(), 3);
  EXPECT_EQ(combo.ItemIndex(), 2);
  EXPECT_EQ(combo.Items()[2], " ");
  EXPECT_EQ(combo.PortInterface(), upper);
  const auto drawn = combo.DrawItem(2, {});
  ASSERT_TRUE(drawn);
  EXPECT_EQ(drawn->Text, "USB2");
  EXPECT_EQ(drawn->Fill, kGreyFill);
}

TEST_F(PortsComboBoxTest, AnUnknownPathInAnEmptyUsbListIsUsb0) {
  machine.usb_printers.clear();
  TPortsComboBox combo(machine, ports);
  combo.SetPortType(TPortType::ptUSB);
  combo.SetPortInterface("/dev/usb/lp3");
  EXPECT_EQ(combo.DrawItem(0, {})->Text, "USB0");
  EXPECT_EQ(combo.PortInterface(), "/dev/usb/lp3");
}

TEST_F(PortsComboBoxTest, DrawsTheDotAndTheEntryNameInsideTheItem) {
  TPortsComboBox combo(machine, ports);
  const auto drawn = combo.DrawItem(1, TItemRect{10, 20, 200, 36});
  ASSERT_TRUE(drawn);
  EXPECT_EQ(drawn->DotBox, (TItemRect{12, 22, 22, 32}));
  EXPECT_EQ(drawn->TextLeft, 26);
  EXPECT_EQ(drawn->TextTop, 20);
  EXPECT_EQ(drawn->Text, "COM3");
  EXPECT_FALSE(combo.DrawItem(-1, {}));
  EXPECT_FALSE(combo.DrawItem(2, {}));
}

TEST_F(PortsComboBoxTest, SelectingAnIndexOutsideTheListSelectsNothing) {
  TPortsComboBox combo(machine, ports);
  combo.SetItemIndex(1);
  EXPECT_EQ(combo.PortNumber(), 3);
  combo.SetItemIndex(2);
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_EQ(combo.PortNumber(), -1);
}

TEST_F(PortsComboBoxTest, ARemoteSessionListsLpt1ToLpt4) {
  machine.remote_session = true;
  TPortsComboBox combo(machine, ports);
  combo.SetPortType(TPortType::ptLPT);
  EXPECT_EQ(combo.Items(), (std::vector<std::string>{"LPT1", "LPT2", "LPT3", "LPT4"}));
}

// ---- The probe, as the chooser runs it ----

TEST_F(PortsComboBoxTest, ComingIntoSightProbesEachPortOnce) {
  machine.parallel_map = {R"(\DosDevices\LPT1)", R"(\DosDevices\LPT2)"};
  ports.SetFree({"LPT1"});
  RepaintCounter repaints;
  TPortsComboBox combo(machine, ports);
  combo.SetOnRepaint([&] { repaints(); });
  combo.SetPortType(TPortType::ptLPT);
  EXPECT_FALSE(combo.IsChecking());

  combo.SetShowing(true);
  ASSERT_TRUE(combo.IsChecking());
  repaints.WaitFor(2);
  combo.StopCheck();
  EXPECT_FALSE(combo.IsChecking());
  EXPECT_EQ(ports.Tried(), (std::vector<std::string>{"LPT1", "LPT2"}));
  EXPECT_EQ(repaints.Count(), 2);
  // A free port is green, one that another program holds is red.
  EXPECT_EQ(combo.DrawItem(0, {})->Fill, kGreenFill);
  EXPECT_EQ(combo.DrawItem(0, {})->Outline, kGreenOutline);
  EXPECT_EQ(combo.DrawItem(1, {})->Fill, kRedFill);
  EXPECT_EQ(combo.DrawItem(1, {})->Outline, kRedOutline);

  // Staying in sight starts nothing; coming back into sight probes again.
  combo.SetShowing(true);
  EXPECT_FALSE(combo.IsChecking());
  combo.SetShowing(false);
  combo.SetShowing(true);
  EXPECT_TRUE(combo.IsChecking());
}

TEST_F(PortsComboBoxTest, WithoutCheckPortsOnCreateComingIntoSightProbesNothing) {
  TPortsComboBox combo(machine, ports);
  combo.SetCheckPortsOnCreate(false);
  combo.SetPortType(TPortType::ptLPT);
  combo.SetShowing(true);
  EXPECT_FALSE(combo.IsChecking());
  EXPECT_TRUE(combo.Showing());
}

TEST_F(PortsComboBoxTest, AStoredPortTheMachineLacksIsProbedBusy) {
  ports.SetFree({"LPT1"});
  RepaintCounter repaints;
  TPortsComboBox combo(machine, ports);
  combo.SetOnRepaint([&] { repaints(); });
  combo.SetPortType(TPortType::ptLPT);
  combo.SetPortNumber(2);
  combo.SetShowing(true);
  repaints.WaitFor(2);
  combo.StopCheck();
  const auto drawn = combo.DrawItem(1, {});
  EXPECT_EQ(drawn->Text, "LPT2");
  EXPECT_EQ(drawn->Fill, kRedFill);
  EXPECT_EQ(combo.ItemIndex(), 1);
}

TEST_F(PortsComboBoxTest, ARemoteSessionProbesCom256ByItsOwnNumber) {
  machine.remote_session = true;
  RepaintCounter repaints;
  TPortsComboBox combo(machine, ports);
  combo.SetOnRepaint([&] { repaints(); });
  ASSERT_EQ(combo.ItemCount(), 256);
  combo.CheckPorts();
  repaints.WaitFor(256);
  combo.StopCheck();
  const std::vector<std::string> tried = ports.Tried();
  ASSERT_EQ(tried.size(), 256u);
  EXPECT_EQ(tried.back(), "COM256");
  combo.SetItemIndex(255);
  EXPECT_EQ(combo.PortNumber(), 256);
}

}  // namespace
}  // namespace pirell
