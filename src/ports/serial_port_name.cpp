#include "ports/serial_port_name.h"

#include <algorithm>
#include <array>
#include <vector>

#include "driver_object/number_text.h"

namespace pirell {
namespace {

constexpr std::array<std::uint32_t, 11> kBaudRates = {300,   600,   1200,  2400,   4800,  9600,
                                                      19200, 38400, 57600, 115200, 230400};
constexpr int kHighestSerialPort = 256;

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool IsAsciiAlnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool AllDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::vector<std::string_view> Fields(std::string_view text) {
  std::vector<std::string_view> fields;
  for (;;) {
    const std::size_t comma = text.find(',');
    fields.push_back(Trimmed(text.substr(0, comma)));
    if (comma == std::string_view::npos) return fields;
    text.remove_prefix(comma + 1);
  }
}

std::string Quoted(std::string_view field) {
  return "«" + std::string(field) + "»";
}

std::string BaudRateList() {
  std::string list;
  for (const std::uint32_t rate : kBaudRates) {
    if (!list.empty()) list += ", ";
    list += std::to_string(rate);
  }
  return list;
}

// One letter, case ignored; 0 for anything longer or shorter.
char Letter(std::string_view field) {
  return field.size() == 1 ? Upper(field.front()) : '\0';
}

}  // namespace

std::span<const std::uint32_t> SerialBaudRates() {
  return kBaudRates;
}

std::optional<TSerialLineSettings> ParseSerialLineSettings(std::string_view text,
                                                           std::string& error) {
  TSerialLineSettings settings;
  text = Trimmed(text);
  if (text.empty()) return settings;
  const std::vector<std::string_view> fields = Fields(text);
  if (fields.size() > 5) {
    error = "Параметры порта " + Quoted(text) +
            ": больше пяти значений (скорость, чётность, биты данных, стоповые биты, управление "
            "потоком)";
    return std::nullopt;
  }
  if (!fields[0].empty()) {
    const std::optional<std::int64_t> rate =
        AllDigits(fields[0]) ? ParseInteger(fields[0]) : std::nullopt;
    if (!rate || std::find(kBaudRates.begin(), kBaudRates.end(), *rate) == kBaudRates.end()) {
      error =
          "Скорость порта " + Quoted(fields[0]) + " не поддерживается; допустимы " + BaudRateList();
      return std::nullopt;
    }
    settings.BaudRate = static_cast<std::uint32_t>(*rate);
  }
  if (fields.size() > 1 && !fields[1].empty()) {
    const char parity = Letter(fields[1]);
    if (parity == '\0' || std::string_view("NEOMS").find(parity) == std::string_view::npos) {
      error = "Чётность " + Quoted(fields[1]) +
              " не поддерживается; допустимы N (нет), E (чётная), O (нечётная), M (единица), S "
              "(ноль)";
      return std::nullopt;
    }
    settings.Parity = static_cast<TSerialParity>(parity);
  }
  if (fields.size() > 2 && !fields[2].empty()) {
    if (fields[2] != "7" && fields[2] != "8") {
      error = "Число бит данных " + Quoted(fields[2]) + " не поддерживается; допустимы 7 и 8";
      return std::nullopt;
    }
    settings.DataBits = fields[2].front() - '0';
  }
  if (fields.size() > 3 && !fields[3].empty()) {
    if (fields[3] != "1" && fields[3] != "2") {
      error = "Число стоповых бит " + Quoted(fields[3]) + " не поддерживается; допустимы 1 и 2";
      return std::nullopt;
    }
    settings.StopBits = fields[3].front() - '0';
  }
  if (fields.size() > 4 && !fields[4].empty()) {
    const char flow = Letter(fields[4]);
    if (flow != 'X' && flow != 'N') {
      error = "Управление потоком " + Quoted(fields[4]) +
              " не поддерживается; допустимы X (XON/XOFF) и N (нет), без него — аппаратное";
      return std::nullopt;
    }
    settings.FlowControl = flow == 'X' ? TSerialFlowControl::XonXoff : TSerialFlowControl::None;
  }
  return settings;
}

TSerialPortName SplitSerialPortName(std::string_view name) {
  name = Trimmed(name);
  const std::size_t colon = name.rfind(':');
  if (colon == std::string_view::npos || colon == 0) return {std::string(name), {}};
  const std::string_view rest = name.substr(colon + 1);
  const bool settings_only = std::all_of(
      rest.begin(), rest.end(), [](char c) { return IsAsciiAlnum(c) || c == ',' || IsBlank(c); });
  if (!settings_only) return {std::string(name), {}};
  return {std::string(Trimmed(name.substr(0, colon))), std::string(Trimmed(rest))};
}

std::optional<int> SerialPortNumber(std::string_view port) {
  if (port.size() < 4 || Upper(port[0]) != 'C' || Upper(port[1]) != 'O' || Upper(port[2]) != 'M')
    return std::nullopt;
  const std::string_view digits = port.substr(3);
  if (!AllDigits(digits) || digits.size() > 3) return std::nullopt;
  const std::optional<std::int64_t> number = ParseInteger(digits);
  if (!number || *number < 1 || *number > kHighestSerialPort) return std::nullopt;
  return static_cast<int>(*number);
}

}  // namespace pirell
