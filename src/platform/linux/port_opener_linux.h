#pragma once

// How the Linux port probe finds the device node of a port name; tests check it on its own.

#include <string>
#include <string_view>
#include <vector>

#include "platform/port_discovery.h"

namespace pirell::platform::linux_ports {

// The device node of "LPTn" or "COMn" (any letter case). LPTn is /dev/lp(n-1), the node that
// the printer port writes to. Serial numbers are handed out over several kinds of device
// (ttyS, ttyUSB, ttyACM), so COMn is the node of the port device listed as COMn. Empty when
// the name leads to no node.
std::string PortDeviceNode(std::string_view name, const std::vector<PortDeviceRecord>& devices);

}  // namespace pirell::platform::linux_ports
