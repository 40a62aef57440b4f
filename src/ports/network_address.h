#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pirell {

// The port of raw printing on network printers.
inline constexpr std::uint16_t kRawPrintingPort = 9100;

// A network printer's "PortName": "host" or "host:port", the host a DNS name, an IPv4 address or
// an IPv6 address in brackets ("[fe80::1]:9100"); the port 9100 when none is given.
struct TNetworkAddress {
  std::string Host;  // without the brackets of an IPv6 address
  std::uint16_t Port = kRawPrintingPort;
  friend bool operator==(const TNetworkAddress&, const TNetworkAddress&) = default;
};

// The address of `text`, blanks around it dropped. Nothing when it is malformed; `error` then
// says why, in Russian, for the user.
std::optional<TNetworkAddress> ParseNetworkAddress(std::string_view text, std::string& error);

}  // namespace pirell
