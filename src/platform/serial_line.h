#pragma once

#include <cstdint>

namespace pirell::platform {

enum class SerialParity { kNone, kEven, kOdd, kMark, kSpace };

// How the printer tells the computer to pause while its buffer is full.
enum class SerialFlowControl {
  kHardware,  // the CTS line (and DSR where the system can watch it)
  kXonXoff,   // XOFF and XON characters from the printer
  kNone,
};

// The line settings of a serial port; the defaults are the printers' factory settings.
struct SerialLine {
  std::uint32_t baud = 9600;
  SerialParity parity = SerialParity::kNone;
  int data_bits = 8;
  int stop_bits = 1;
  SerialFlowControl flow = SerialFlowControl::kHardware;
};

}  // namespace pirell::platform
