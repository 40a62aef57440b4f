#include "ports/serial_port_name.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <vector>

namespace pirell {
namespace {

constexpr std::array<unsigned, 11> kBaudRates = {300,   600,   1200,  2400,   4800,  9600,
                                                 19200, 38400, 57600, 115200, 230400};
// Windows names serial ports COM1 to COM256.
constexpr unsigned kHighestComPort = 256;

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::optional<unsigned> Number(std::string_view text) {
  unsigned value = 0;
  if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// "COMn" with n in 1..256, any letter case; the port name is given back as "COMn".
std::optional<std::string> ComPort(std::string_view text) {
  if (text.size() < 4 || Upper(text[0]) != 'C' || Upper(text[1]) != 'O' || Upper(text[2]) != 'M')
    return std::nullopt;
  const std::optional<unsigned> number = Number(text.substr(3));
  if (!number || *number < 1 || *number > kHighestComPort) return std::nullopt;
  return "COM" + std::to_string(*number);
}

std::vector<std::string_view> Fields(std::string_view text) {
  std::vector<std::string_view> fields;
  for (;;) {
    const std::size_t comma = text.find(',');
    fields.push_back(text.substr(0, comma));
    if (comma == std::string_view::npos) return fields;
    text.remove_prefix(comma + 1);
  }
}

bool ReadLine(std::string_view settings, platform::SerialLine& line) {
  const std::vector<std::string_view> fields = Fields(settings);
  if (fields.size() > 5) return false;
  const std::optional<unsigned> baud = Number(fields[0]);
  if (!baud || !IsSupportedBaudRate(*baud)) return false;
  line.baud = *baud;
  if (fields.size() > 1) {
    if (fields[1].size() != 1) return false;
    switch (Upper(fields[1][0])) {
      case 'N':
        line.parity = platform::SerialParity::kNone;
        break;
      case 'E':
        line.parity = platform::SerialParity::kEven;
        break;
      case 'O':
        line.parity = platform::SerialParity::kOdd;
        break;
      case 'M':
        line.parity = platform::SerialParity::kMark;
        break;
      case 'S':
        line.parity = platform::SerialParity::kSpace;
        break;
      default:
        return false;
    }
  }
  if (fields.size() > 2) {
    if (fields[2] != "7" && fields[2] != "8") return false;
    line.data_bits = fields[2][0] - '0';
  }
  if (fields.size() > 3) {
    if (fields[3] != "1" && fields[3] != "2") return false;
    line.stop_bits = fields[3][0] - '0';
  }
  if (fields.size() > 4) {
    if (fields[4].size() != 1) return false;
    switch (Upper(fields[4][0])) {
      case 'X':
        line.flow = platform::SerialFlowControl::kXonXoff;
        break;
      case 'N':
        line.flow = platform::SerialFlowControl::kNone;
        break;
      default:
        return false;
    }
  }
  return true;
}

}  // namespace

bool IsSupportedBaudRate(unsigned baud) {
  return std::find(kBaudRates.begin(), kBaudRates.end(), baud) != kBaudRates.end();
}

std::optional<TSerialPortName> ParseSerialPortName(std::string_view name) {
  // A device path may hold colons of its own only before its last component; settings always
  // start with a digit.
  std::string_view port = name;
  std::optional<std::string_view> settings;
  const std::size_t colon = name.rfind(':');
  if (colon != std::string_view::npos) {
    port = name.substr(0, colon);
    settings = name.substr(colon + 1);
  }
  TSerialPortName parsed;
  if (std::optional<std::string> com = ComPort(port)) {
    parsed.Port = std::move(*com);
  } else if (port.size() > 1 && port.front() == '/' && port.find('\0') == std::string_view::npos) {
    parsed.Port = std::string(port);
  } else {
    return std::nullopt;
  }
  if (settings && !ReadLine(*settings, parsed.Line)) return std::nullopt;
  return parsed;
}

}  // namespace pirell
