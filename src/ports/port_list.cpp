#include "ports/port_list.h"

#include <algorithm>
#include <charconv>

#include "platform/locale.h"

namespace pirell {
namespace {

constexpr std::size_t kMaxEntryText = 255;
constexpr std::size_t kMaxParsedText = 260;
constexpr int kRemoteSerialPorts = 256;
constexpr int kRemoteParallelPorts = 4;

std::string_view Prefix(platform::PortFamily family) {
  return family == platform::PortFamily::kSerial ? "COM" : "LPT";
}

// A port number: decimal digits and nothing else.
std::optional<int> PortNumber(std::string_view text) {
  int number = 0;
  if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return number;
}

// Up to `count` characters from `offset`; empty past the end.
std::string_view Slice(std::string_view text, std::size_t offset, std::size_t count) {
  return offset >= text.size() ? std::string_view() : text.substr(offset, count);
}

std::vector<TPortListEntry> RemoteSessionPorts(platform::PortFamily kind) {
  const int count =
      kind == platform::PortFamily::kSerial ? kRemoteSerialPorts : kRemoteParallelPorts;
  std::vector<TPortListEntry> ports;
  for (int number = 1; number <= count; ++number) {
    std::string text(Prefix(kind));
    text += std::to_string(number);
    ports.push_back({std::move(text), number});
  }
  return ports;
}

// "\DosDevices\COM1" gives COM1 with number 1; data without the prefix or a number is skipped,
// and so is a name the list already has.
void AddDeviceMapPort(std::vector<TPortListEntry>& ports, std::string_view data,
                      platform::PortFamily kind) {
  const std::size_t at = data.find(Prefix(kind));
  if (at == std::string_view::npos) return;
  const std::optional<int> number = PortNumber(Slice(data, at + 3, 3));
  if (!number) return;
  const std::string text(data.substr(at, kMaxEntryText));
  const bool known = std::any_of(ports.begin(), ports.end(), [&](const TPortListEntry& entry) {
    return platform::SameText(entry.Text, text);
  });
  if (!known) ports.push_back({text, *number});
}

// A present device gives its readable name to the device map's entry of its port, or adds it.
void AddPortDevice(std::vector<TPortListEntry>& ports, const platform::PortDeviceRecord& device,
                   platform::PortFamily kind) {
  const std::optional<int> number = device.port_name.empty()
                                        ? ParsePortNumber(device.name, kind)
                                        : PortNumber(Slice(device.port_name, 3, 3));
  if (!number) return;
  std::optional<platform::PortFamily> family;
  if (device.name.find("COM") != std::string::npos) {
    family = platform::PortFamily::kSerial;
  } else if (device.name.find("LPT") != std::string::npos) {
    family = platform::PortFamily::kParallel;
  }
  if (family != kind) return;
  const auto same_port = std::find_if(ports.begin(), ports.end(), [&](const TPortListEntry& entry) {
    return entry.Number == *number && entry.Text.find(Prefix(kind)) != std::string::npos;
  });
  if (same_port != ports.end()) {
    same_port->Text = device.name;
  } else {
    ports.push_back({device.name, *number});
  }
}

}  // namespace

std::optional<int> ParsePortNumber(std::string_view name, platform::PortFamily Kind) {
  const std::string upper = platform::UpperCase(name);
  std::string marker = "(";
  marker += Prefix(Kind);
  const std::size_t at = upper.find(marker);
  if (at == std::string::npos) return std::nullopt;
  std::string_view rest = Slice(upper, at + marker.size(), kMaxParsedText);
  if (rest.size() < 2) return std::nullopt;
  const std::size_t close = rest.find(')');
  if (close != std::string_view::npos && close != 0) rest = rest.substr(0, close);
  return PortNumber(rest);
}

std::vector<TPortListEntry> GetPortList(platform::PortFamily Kind,
                                        platform::PortDiscovery& discovery) {
  std::vector<TPortListEntry> ports;
  try {
    if (discovery.IsRemoteSession()) return RemoteSessionPorts(Kind);
    for (const std::string& data : discovery.DeviceMapPorts(Kind)) {
      AddDeviceMapPort(ports, data, Kind);
    }
    for (const platform::PortDeviceRecord& device : discovery.PresentPortDevices()) {
      AddPortDevice(ports, device, Kind);
    }
  } catch (...) {
    // Nothing is reported: a failing system service only shortens the list.
  }
  std::stable_sort(
      ports.begin(), ports.end(),
      [](const TPortListEntry& a, const TPortListEntry& b) { return a.Number < b.Number; });
  return ports;
}

}  // namespace pirell
