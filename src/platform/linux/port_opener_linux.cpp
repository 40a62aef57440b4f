#include "platform/linux/port_opener_linux.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <charconv>

#include "platform/linux/port_discovery_linux.h"
#include "platform/port_opener.h"

namespace pirell::platform {
namespace linux_ports {
namespace {

bool HasPrefix(std::string_view name, std::string_view upper_prefix) {
  if (name.size() < upper_prefix.size()) return false;
  for (std::size_t i = 0; i < upper_prefix.size(); ++i) {
    const char c = name[i];
    const char upper = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    if (upper != upper_prefix[i]) return false;
  }
  return true;
}

// The number after a three-letter prefix: decimal digits only, at least 1.
int PortNumber(std::string_view name) {
  const std::string_view digits = name.substr(3);
  int number = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size()) return 0;
  return number;
}

// A port device is named "<node> (COMn)" or "<model> <node> (COMn)"; the node holds no space.
std::string NodeOfRecord(const PortDeviceRecord& device) {
  const std::string suffix = " (" + device.port_name + ")";
  if (!device.name.ends_with(suffix)) return {};
  const std::string_view head =
      std::string_view(device.name).substr(0, device.name.size() - suffix.size());
  const std::size_t space = head.rfind(' ');
  const std::string_view node = space == std::string_view::npos ? head : head.substr(space + 1);
  return node.starts_with("/dev/") ? std::string(node) : std::string();
}

}  // namespace

std::string PortDeviceNode(std::string_view name, const std::vector<PortDeviceRecord>& devices) {
  if (name.size() <= 3) return {};
  const int number = PortNumber(name);
  if (number < 1) return {};
  if (HasPrefix(name, "LPT")) return "/dev/lp" + std::to_string(number - 1);
  if (!HasPrefix(name, "COM")) return {};
  const std::string port_name = "COM" + std::to_string(number);
  for (const PortDeviceRecord& device : devices) {
    if (device.port_name == port_name) return NodeOfRecord(device);
  }
  return {};
}

}  // namespace linux_ports

namespace {

class LinuxPortOpener : public PortOpener {
 public:
  // Non-blocking so that neither a printer nor a modem line makes the open wait; the lock keeps
  // out every other program that locks the device the same way (the printer port does), and
  // the lp driver and a terminal in exclusive mode refuse a second open on their own.
  bool TryOpenPort(const std::string& name) override {
    std::vector<PortDeviceRecord> devices;
    if (!name.empty() && (name[0] == 'C' || name[0] == 'c')) {
      devices = linux_discovery::ListPortDevices(linux_discovery::SystemUdevSource());
    }
    const std::string node = linux_ports::PortDeviceNode(name, devices);
    if (node.empty()) return false;
    const int fd = ::open(node.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return locked;
  }
};

}  // namespace

PortOpener& SystemPortOpener() {
  static LinuxPortOpener opener;
  return opener;
}

}  // namespace pirell::platform
