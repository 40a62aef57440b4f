#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pirell {

// The raw printing port of network printers.
inline constexpr std::uint16_t kRawPrintingPort = 9100;

// A network printer's address, as the "PortName" setting gives it.
struct TNetworkAddress {
  std::string Host;  // a DNS name, an IPv4 address or an IPv6 address (without brackets)
  std::uint16_t Port = kRawPrintingPort;
};

// Reads "host", "host:port", "[IPv6]" or "[IPv6]:port"; a bare IPv6 address (two colons or more)
// takes the default port. The port is 1..65535, 9100 when not given. Nothing when the name is
// malformed: empty, with spaces or control characters, an unclosed bracket, a bad port.
std::optional<TNetworkAddress> ParseNetworkAddress(std::string_view name);

}  // namespace pirell
