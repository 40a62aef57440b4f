#include "platform/linux/port_discovery_linux.h"

#include "platform/linux/print_queue_cups.h"

#include <algorithm>
#include <charconv>
#include <set>
#include <string_view>

namespace pirell::platform::linux_discovery {
namespace {

// The number after `stem` in a kernel name such as "ttyUSB3"; nothing for another name.
std::optional<int> KernelNumber(std::string_view sysname, std::string_view stem) {
  if (!sysname.starts_with(stem) || sysname.size() == stem.size()) return std::nullopt;
  const std::string_view digits = sysname.substr(stem.size());
  int number = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (ec != std::errc() || end != digits.data() + digits.size() || number < 0) return std::nullopt;
  return number;
}

std::string Property(const UdevDevice& device, const std::string& name) {
  const auto found = device.properties.find(name);
  return found == device.properties.end() ? std::string() : found->second;
}

// udev writes spaces in model names as underscores.
std::string Spaced(std::string text) {
  std::replace(text.begin(), text.end(), '_', ' ');
  return text;
}

std::string Model(const UdevDevice& device) {
  if (device.usb && !device.usb->product.empty()) {
    return device.usb->manufacturer.empty() ? device.usb->product
                                            : device.usb->manufacturer + " " + device.usb->product;
  }
  if (std::string model = Property(device, "ID_MODEL_FROM_DATABASE"); !model.empty()) return model;
  return Spaced(Property(device, "ID_MODEL"));
}

std::string Node(const UdevDevice& device, std::string_view folder) {
  return device.devnode.empty() ? std::string(folder) + device.sysname : device.devnode;
}

struct NumberedDevice {
  int number;
  const UdevDevice* device;
};

// The devices named stem + number, ordered by number.
std::vector<NumberedDevice> Numbered(const std::vector<UdevDevice>& devices,
                                     std::string_view stem) {
  std::vector<NumberedDevice> numbered;
  for (const UdevDevice& device : devices) {
    if (const std::optional<int> number = KernelNumber(device.sysname, stem)) {
      numbered.push_back({*number, &device});
    }
  }
  std::sort(numbered.begin(), numbered.end(),
            [](const NumberedDevice& a, const NumberedDevice& b) { return a.number < b.number; });
  return numbered;
}

PortDeviceRecord PortRecord(const UdevDevice& device, std::string_view prefix, int port) {
  const std::string port_name = std::string(prefix) + std::to_string(port);
  const std::string model = Model(device);
  const std::string node = Node(device, "/dev/");
  return {(model.empty() ? node : model + " " + node) + " (" + port_name + ")", port_name};
}

}  // namespace

bool ListUsbPrinters(UdevSource& source, std::vector<UsbPrinterRecord>& printers) {
  std::vector<UdevDevice> devices;
  const bool complete = source.Devices("usbmisc", devices);
  for (const NumberedDevice& found : Numbered(devices, "lp")) {
    const UdevDevice& device = *found.device;
    UsbPrinterRecord printer;
    printer.interface_path = Node(device, "/dev/usb/");
    printer.location = device.usb && !device.usb->busnum.empty() && !device.usb->devpath.empty()
                           ? "usb-" + device.usb->busnum + "-" + device.usb->devpath
                           : device.devpath;
    printer.description = Model(device);
    if (printer.description.empty()) printer.description = device.sysname;
    printer.enabled = true;
    printers.push_back(std::move(printer));
  }
  return complete;
}

std::vector<PortDeviceRecord> ListPortDevices(UdevSource& source) {
  std::vector<PortDeviceRecord> ports;

  std::vector<UdevDevice> ttys;
  source.Devices("tty", ttys);
  int highest_com = 0;
  for (const NumberedDevice& found : Numbered(ttys, "ttyS")) {
    if (found.device->type == "0") continue;
    ports.push_back(PortRecord(*found.device, "COM", found.number + 1));
    highest_com = std::max(highest_com, found.number + 1);
  }
  for (const std::string_view stem : {"ttyUSB", "ttyACM"}) {
    const int base = highest_com;
    for (const NumberedDevice& found : Numbered(ttys, stem)) {
      ports.push_back(PortRecord(*found.device, "COM", base + 1 + found.number));
      highest_com = std::max(highest_com, base + 1 + found.number);
    }
  }

  std::vector<UdevDevice> printers;
  source.Devices("printer", printers);
  std::set<int> parallel_numbers;
  for (const NumberedDevice& found : Numbered(printers, "lp")) {
    ports.push_back(PortRecord(*found.device, "LPT", found.number + 1));
    parallel_numbers.insert(found.number);
  }
  std::vector<UdevDevice> raw_ports;
  source.Devices("ppdev", raw_ports);
  for (const NumberedDevice& found : Numbered(raw_ports, "parport")) {
    if (parallel_numbers.count(found.number) == 0) {
      ports.push_back(PortRecord(*found.device, "LPT", found.number + 1));
    }
  }
  return ports;
}

namespace {

class LinuxPortDiscovery : public PortDiscovery {
 public:
  bool ListUsbPrinters(std::vector<UsbPrinterRecord>& printers) override {
    return linux_discovery::ListUsbPrinters(SystemUdevSource(), printers);
  }
  // A Linux desktop has no remote session whose ports stand in for the machine's.
  bool IsRemoteSession() override { return false; }
  // Linux has no device map: every port comes with its device.
  std::vector<std::string> DeviceMapPorts(PortFamily) override { return {}; }
  std::vector<PortDeviceRecord> PresentPortDevices() override {
    return ListPortDevices(SystemUdevSource());
  }
  std::vector<PrintQueueRecord> ListPrintQueues() override { return linux_cups::ListQueues(); }
};

}  // namespace
}  // namespace pirell::platform::linux_discovery

namespace pirell::platform {

PortDiscovery& SystemPortDiscovery() {
  static linux_discovery::LinuxPortDiscovery discovery;
  return discovery;
}

}  // namespace pirell::platform
