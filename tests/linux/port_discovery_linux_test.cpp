#include "platform/linux/port_discovery_linux.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "ports/port_list.h"
#include "ports/usb_print_list.h"

namespace pirell {
namespace {

using platform::PortDeviceRecord;
using platform::UsbPrinterRecord;
using platform::linux_discovery::UdevDevice;
using platform::linux_discovery::UdevSource;
using platform::linux_discovery::UsbParent;

// A udev database described by hand, subsystem by subsystem.
class FakeUdev : public UdevSource {
 public:
  bool Devices(const std::string& subsystem, std::vector<UdevDevice>& devices) override {
    const auto found = subsystems.find(subsystem);
    if (found != subsystems.end()) {
      devices.insert(devices.end(), found->second.begin(), found->second.end());
    }
    return !failing;
  }

  std::map<std::string, std::vector<UdevDevice>> subsystems;
  bool failing = false;
};

UdevDevice Device(std::string sysname, std::string devnode) {
  UdevDevice device;
  device.sysname = std::move(sysname);
  device.devnode = std::move(devnode);
  device.devpath = "/devices/virtual/" + device.sysname;
  return device;
}

UdevDevice UsbPrinter(std::string sysname, UsbParent usb) {
  UdevDevice device = Device(sysname, "/dev/usb/" + sysname);
  device.devpath = "/devices/pci0000:00/0000:00:14.0/usb1/1-4/1-4:1.0/usbmisc/" + sysname;
  device.usb = std::move(usb);
  return device;
}

std::vector<std::pair<std::string, std::string>> Named(
    const std::vector<PortDeviceRecord>& records) {
  std::vector<std::pair<std::string, std::string>> named;
  for (const PortDeviceRecord& record : records) named.emplace_back(record.name, record.port_name);
  return named;
}

TEST(LinuxUsbPrintersTest, UsblpNodesWithTheirUsbLocationAndProduct) {
  FakeUdev udev;
  UdevDevice by_database = UsbPrinter("lp1", UsbParent{"3", "2", "", ""});
  by_database.properties["ID_MODEL"] = "TTP-244_Plus";
  UdevDevice by_model = Device("lp10", "");
  by_model.properties["ID_MODEL"] = "LP2844";
  by_model.properties["ID_MODEL_FROM_DATABASE"] = "LP 2844 Label Printer";
  udev.subsystems["usbmisc"] = {
      by_model,
      UsbPrinter("lp0", UsbParent{"1", "1.4", "Zebra", "LP2844"}),
      Device("hiddev0", "/dev/usb/hiddev0"),
      by_database,
  };
  std::vector<UsbPrinterRecord> printers;
  ASSERT_TRUE(platform::linux_discovery::ListUsbPrinters(udev, printers));
  ASSERT_EQ(printers.size(), 3u);
  EXPECT_EQ(printers[0].interface_path, "/dev/usb/lp0");
  EXPECT_EQ(printers[0].location, "usb-1-1.4");
  EXPECT_EQ(printers[0].description, "Zebra LP2844");
  EXPECT_TRUE(printers[0].enabled);
  EXPECT_EQ(printers[1].location, "usb-3-2");
  EXPECT_EQ(printers[1].description, "TTP-244 Plus");
  // Without a USB parent and a node name from udev: the sysfs path and the usual node.
  EXPECT_EQ(printers[2].interface_path, "/dev/usb/lp10");
  EXPECT_EQ(printers[2].location, "/devices/virtual/lp10");
  EXPECT_EQ(printers[2].description, "LP 2844 Label Printer");
}

TEST(LinuxUsbPrintersTest, FailedEnumerationIsReported) {
  FakeUdev udev;
  udev.failing = true;
  std::vector<UsbPrinterRecord> printers;
  EXPECT_FALSE(platform::linux_discovery::ListUsbPrinters(udev, printers));
  EXPECT_TRUE(printers.empty());
}

TEST(LinuxPortDevicesTest, SerialPortsAreNumberedByKindAndKernelNumber) {
  FakeUdev udev;
  UdevDevice placeholder = Device("ttyS2", "/dev/ttyS2");
  placeholder.type = "0";
  UdevDevice uart0 = Device("ttyS0", "/dev/ttyS0");
  uart0.type = "4";
  UdevDevice uart1 = Device("ttyS1", "/dev/ttyS1");
  uart1.type = "4";
  UdevDevice adapter = Device("ttyUSB1", "/dev/ttyUSB1");
  adapter.usb = UsbParent{"1", "2", "FTDI", "FT232R USB UART"};
  udev.subsystems["tty"] = {Device("tty0", "/dev/tty0"),
                            adapter,
                            placeholder,
                            uart1,
                            Device("ttyACM0", "/dev/ttyACM0"),
                            uart0,
                            Device("ttyUSB0", "/dev/ttyUSB0"),
                            Device("console", "/dev/console")};
  EXPECT_EQ(Named(platform::linux_discovery::ListPortDevices(udev)),
            (std::vector<std::pair<std::string, std::string>>{
                {"/dev/ttyS0 (COM1)", "COM1"},
                {"/dev/ttyS1 (COM2)", "COM2"},
                {"/dev/ttyUSB0 (COM3)", "COM3"},
                {"FTDI FT232R USB UART /dev/ttyUSB1 (COM4)", "COM4"},
                {"/dev/ttyACM0 (COM5)", "COM5"},
            }));
}

TEST(LinuxPortDevicesTest, ParallelPortsFollowTheirPrinterNodes) {
  FakeUdev udev;
  udev.subsystems["printer"] = {Device("lp1", "/dev/lp1"), Device("lp0", "/dev/lp0")};
  udev.subsystems["ppdev"] = {Device("parport0", "/dev/parport0"),
                              Device("parport2", "/dev/parport2")};
  EXPECT_EQ(Named(platform::linux_discovery::ListPortDevices(udev)),
            (std::vector<std::pair<std::string, std::string>>{
                {"/dev/lp0 (LPT1)", "LPT1"},
                {"/dev/lp1 (LPT2)", "LPT2"},
                {"/dev/parport2 (LPT3)", "LPT3"},
            }));
}

// The Linux devices as the port chooser lists them.
class LinuxMachine : public platform::PortDiscovery {
 public:
  explicit LinuxMachine(UdevSource& udev) : udev_(udev) {}
  bool ListUsbPrinters(std::vector<UsbPrinterRecord>& printers) override {
    return platform::linux_discovery::ListUsbPrinters(udev_, printers);
  }
  bool IsRemoteSession() override { return false; }
  std::vector<std::string> DeviceMapPorts(platform::PortFamily) override { return {}; }
  std::vector<PortDeviceRecord> PresentPortDevices() override {
    return platform::linux_discovery::ListPortDevices(udev_);
  }
  std::vector<platform::PrintQueueRecord> ListPrintQueues() override { return {}; }

 private:
  UdevSource& udev_;
};

TEST(LinuxPortDevicesTest, PortListsSeparateTheFamiliesInNumberOrder) {
  FakeUdev udev;
  UdevDevice uart = Device("ttyS0", "/dev/ttyS0");
  uart.type = "4";
  udev.subsystems["tty"] = {Device("ttyUSB0", "/dev/ttyUSB0"), uart};
  udev.subsystems["printer"] = {Device("lp0", "/dev/lp0")};
  LinuxMachine machine(udev);
  const std::vector<TPortListEntry> serial = GetPortList(platform::PortFamily::kSerial, machine);
  ASSERT_EQ(serial.size(), 2u);
  EXPECT_EQ(serial[0].Text, "/dev/ttyS0 (COM1)");
  EXPECT_EQ(serial[1].Number, 2);
  const std::vector<TPortListEntry> parallel =
      GetPortList(platform::PortFamily::kParallel, machine);
  ASSERT_EQ(parallel.size(), 1u);
  EXPECT_EQ(parallel[0].Text, "/dev/lp0 (LPT1)");
  EXPECT_EQ(parallel[0].Number, 1);
}

bool HasUsbPrinterNodes() {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator("/sys/class/usbmisc", ec)) {
    if (entry.path().filename().string().starts_with("lp")) return true;
  }
  return false;
}

TEST(LinuxSystemDiscoveryTest, ThisMachineIsListedWithoutErrors) {
  TUSBPrintList printers;
  EXPECT_TRUE(printers.Refresh());
  if (!HasUsbPrinterNodes()) {
    EXPECT_EQ(printers.GetCount(), 0);
  }

  for (const auto kind : {platform::PortFamily::kSerial, platform::PortFamily::kParallel}) {
    const std::vector<TPortListEntry> ports = GetPortList(kind);
    EXPECT_TRUE(std::is_sorted(
        ports.begin(), ports.end(),
        [](const TPortListEntry& a, const TPortListEntry& b) { return a.Number < b.Number; }));
    const std::string marker = kind == platform::PortFamily::kSerial ? "(COM" : "(LPT";
    for (const TPortListEntry& port : ports) {
      EXPECT_NE(port.Text.find(marker), std::string::npos) << port.Text;
      EXPECT_GT(port.Number, 0);
    }
  }
}

}  // namespace
}  // namespace pirell
