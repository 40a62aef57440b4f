#include "ports/network_address.h"

#include <algorithm>
#include <charconv>

namespace pirell {
namespace {

// The longest DNS name.
constexpr std::size_t kMaxHostLength = 253;

bool ValidHost(std::string_view host) {
  if (host.empty() || host.size() > kMaxHostLength) return false;
  return std::none_of(host.begin(), host.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= ' ' || byte == 0x7F || c == '[' || c == ']' || c == '/' || c == '\\';
  });
}

std::optional<std::uint16_t> PortNumber(std::string_view text) {
  unsigned value = 0;
  if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < 1 || value > 65535)
    return std::nullopt;
  return static_cast<std::uint16_t>(value);
}

}  // namespace

std::optional<TNetworkAddress> ParseNetworkAddress(std::string_view name) {
  TNetworkAddress address;
  std::string_view host = name;
  std::optional<std::string_view> port;
  if (name.starts_with('[')) {
    const std::size_t close = name.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    host = name.substr(1, close - 1);
    const std::string_view rest = name.substr(close + 1);
    if (!rest.empty()) {
      if (rest.front() != ':') return std::nullopt;
      port = rest.substr(1);
    }
    if (host.find(':') == std::string_view::npos) return std::nullopt;
  } else if (std::count(name.begin(), name.end(), ':') == 1) {
    const std::size_t colon = name.find(':');
    host = name.substr(0, colon);
    port = name.substr(colon + 1);
  }
  if (!ValidHost(host)) return std::nullopt;
  if (port) {
    const std::optional<std::uint16_t> number = PortNumber(*port);
    if (!number) return std::nullopt;
    address.Port = *number;
  }
  address.Host = std::string(host);
  return address;
}

}  // namespace pirell
