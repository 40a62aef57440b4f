#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/serial_line.h"

namespace pirell {

// A serial port name with its line settings, as the "PortName" setting gives them.
struct TSerialPortName {
  std::string Port;  // "COM1", or on Linux a device path such as "/dev/ttyUSB0"
  platform::SerialLine Line;
};

// Reads "COM1" or "COM1:9600,N,8,1[,X|N]": the port, then optionally the baud rate, the parity
// (N, E, O, M, S), the data bits (7, 8), the stop bits (1, 2) and the flow control (X for
// XON/XOFF, N for none; hardware by default). Trailing fields may be left out and take the
// defaults 9600,N,8,1 with hardware flow control; letters may be of either case. A full device
// path ("/dev/ttyUSB0") may stand in place of "COMn"; only Linux opens it. Nothing when the name
// is malformed.
std::optional<TSerialPortName> ParseSerialPortName(std::string_view name);

// The baud rates a serial port may be set to.
bool IsSupportedBaudRate(unsigned baud);

}  // namespace pirell
