#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pirell {

enum class TSerialParity : char { None = 'N', Even = 'E', Odd = 'O', Mark = 'M', Space = 'S' };

enum class TSerialFlowControl {
  Hardware,  // RTS/CTS and DTR/DSR
  XonXoff,
  None,
};

// The line settings of a serial port, written in the mode form "9600,N,8,1": baud rate, parity
// (N, E, O, M, S), data bits (7, 8), stop bits (1, 2) and, as a fifth field, the flow control: X
// for XON/XOFF, N for none; without it the flow control is by hardware. A field left out at the
// end or left empty keeps the printers' factory setting 9600,N,8,1. Letter case is ignored.
struct TSerialLineSettings {
  std::uint32_t BaudRate = 9600;
  TSerialParity Parity = TSerialParity::None;
  int DataBits = 8;
  int StopBits = 1;
  TSerialFlowControl FlowControl = TSerialFlowControl::Hardware;
  friend bool operator==(const TSerialLineSettings&, const TSerialLineSettings&) = default;
};

// The baud rates that both the Windows serial driver and termios set, ascending.
std::span<const std::uint32_t> SerialBaudRates();

// The settings of `text` ("19200,E,7,1,X"; empty: the factory setting). Nothing when the text
// is malformed; `error` then says why, in Russian, for the user.
std::optional<TSerialLineSettings> ParseSerialLineSettings(std::string_view text,
                                                           std::string& error);

// A serial port's "PortName": the port ("COM1", or a device path) and the text of its line
// settings after a colon ("COM1:9600,N,8,1"), empty when it has none.
struct TSerialPortName {
  std::string Port;
  std::string LineSettings;
  friend bool operator==(const TSerialPortName&, const TSerialPortName&) = default;
};

// Splits at the last colon when what follows it can only be line settings (letters, digits,
// commas and blanks), so that a device path with colons in it ("/dev/serial/by-path/
// pci-0000:00:14.0-usb-0:1:1.0-port0") stays whole. Blanks around both parts are dropped.
TSerialPortName SplitSerialPortName(std::string_view name);

// The number of a "COMn" port name (letter case ignored), n from 1 to 256; nothing for any other
// name.
std::optional<int> SerialPortNumber(std::string_view port);

}  // namespace pirell
