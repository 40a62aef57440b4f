#include "ports/network_address.h"

#include <algorithm>

#include "driver_object/number_text.h"

namespace pirell {
namespace {

constexpr std::string_view kSyntax =
    "; адрес пишется как имя или IP адрес принтера с необязательным портом: 192.168.1.50, "
    "printer.local:9100, [fe80::1]:9100";

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsHostNameChar(char c) {
  return IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' || c == '.' ||
         c == '_';
}

// Hexadecimal digits and colons, with dots for an embedded IPv4 address and a zone after '%'
// (which may name an interface).
bool IsIpv6Char(char c) {
  return IsHostNameChar(c) || c == ':' || c == '%';
}

std::string Quoted(std::string_view text) {
  return "«" + std::string(text) + "»";
}

std::optional<std::uint16_t> PortOf(std::string_view text, std::string& error) {
  const bool digits =
      !text.empty() && text.size() <= 5 && std::all_of(text.begin(), text.end(), IsDigit);
  const std::optional<std::int64_t> port = digits ? ParseInteger(text) : std::nullopt;
  if (!port || *port < 1 || *port > 65535) {
    error = "Неверный номер порта " + Quoted(text) + ": допустимы числа от 1 до 65535";
    return std::nullopt;
  }
  return static_cast<std::uint16_t>(*port);
}

}  // namespace

std::optional<TNetworkAddress> ParseNetworkAddress(std::string_view text, std::string& error) {
  text = Trimmed(text);
  if (text.empty()) {
    error = "Не указан адрес принтера" + std::string(kSyntax);
    return std::nullopt;
  }
  TNetworkAddress address;
  std::string_view host = text;
  std::string_view port;
  bool has_port = false;
  if (text.front() == '[') {
    const std::size_t close = text.find(']');
    if (close == std::string_view::npos) {
      error = "В адресе " + Quoted(text) + " нет закрывающей скобки" + std::string(kSyntax);
      return std::nullopt;
    }
    host = text.substr(1, close - 1);
    const std::string_view rest = text.substr(close + 1);
    if (!rest.empty() && rest.front() != ':') {
      error = "После адреса IPv6 в " + Quoted(text) + " может стоять только порт" +
              std::string(kSyntax);
      return std::nullopt;
    }
    has_port = !rest.empty();
    if (has_port) port = rest.substr(1);
    if (host.find(':') == std::string_view::npos ||
        !std::all_of(host.begin(), host.end(), IsIpv6Char)) {
      error = "Неверный адрес IPv6 " + Quoted(host) + std::string(kSyntax);
      return std::nullopt;
    }
  } else {
    const std::size_t colon = text.find(':');
    if (colon != std::string_view::npos && text.find(':', colon + 1) != std::string_view::npos) {
      error = "Адрес IPv6 " + Quoted(text) + " пишется в квадратных скобках: [" +
              std::string(text) + "]:9100";
      return std::nullopt;
    }
    if (colon != std::string_view::npos) {
      host = text.substr(0, colon);
      port = text.substr(colon + 1);
      has_port = true;
    }
    if (host.empty() || !std::all_of(host.begin(), host.end(), IsHostNameChar)) {
      error = "Неверное имя или адрес принтера " + Quoted(host) + std::string(kSyntax);
      return std::nullopt;
    }
  }
  if (has_port) {
    const std::optional<std::uint16_t> number = PortOf(port, error);
    if (!number) return std::nullopt;
    address.Port = *number;
  }
  address.Host = std::string(host);
  return address;
}

}  // namespace pirell
