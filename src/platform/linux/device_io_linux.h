#pragma once

// Pieces of the Linux printer device layer that tests check on their own.

#include <cstdint>
#include <string>
#include <string_view>

namespace pirell::platform::linux_devices {

// Where a port name leads.
struct DeviceTarget {
  std::string path;
  // A device node under /dev: opened only when it exists, never created. Anything else is a
  // capture file standing in for the printer: created when missing, emptied at each open.
  bool device_node = false;
};

// "LPT1" (any letter case) is the first parallel printer, /dev/lp0; a USB printer is named by
// its node, /dev/usb/lpN. Any other name is a path. An empty name leads nowhere (empty path).
DeviceTarget ResolveDeviceName(std::string_view name);

// The status bits the printer port tests, from the LPGETSTATUS answer of the parallel printer
// driver (lp) or of the USB printer driver (usblp).
std::uint8_t ParallelStatusFromLp(int lp_status, bool usb_printer);

}  // namespace pirell::platform::linux_devices
