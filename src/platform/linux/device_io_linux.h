#pragma once

// Pieces of the Linux printer device layer that tests check on their own.

#include <termios.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/device_io.h"

namespace pirell::platform::linux_devices {

// The device path a USB or parallel port name leads to: "LPT1" (any letter case) is the first
// parallel printer, /dev/lp0; any other name is taken as the path of a device node (a USB
// printer is /dev/usb/lpN). An empty name leads nowhere (empty path).
std::string DevicePath(std::string_view name);

// The status bits the printer port tests, from the LPGETSTATUS answer of the parallel printer
// driver (lp) or of the USB printer driver (usblp).
std::uint8_t ParallelStatusFromLp(int lp_status, bool usb_printer);

// Sets raw output and the line's speed, parity, data and stop bits and flow control, leaving the
// carrier line unwatched. False for a speed termios lacks.
bool ConfigureTermios(termios& tio, const SerialLine& line);

// The serial port "COMn" (the port that port discovery lists as COMn) or a device path,
// configured with termios for the line and locked against other openers.
DeviceOpenResult OpenSerialPort(const std::string& port, const SerialLine& line);

// A TCP connection to the first address of `host` that answers within `timeout_ms` in all.
DeviceOpenResult ConnectTcp(const std::string& host, std::uint16_t port, std::uint32_t timeout_ms);

// The regular file `path` for appending, created when missing; see DeviceIo::OpenFile. The
// folder is opened first and every later step works relative to it, so no link or rename can
// make the file land elsewhere between the checks and the open.
DeviceOpenResult OpenAppendFile(const std::string& path);

}  // namespace pirell::platform::linux_devices
