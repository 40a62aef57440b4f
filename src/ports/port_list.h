#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/port_discovery.h"

namespace pirell {

// A port as the port chooser shows it.
struct TPortListEntry {
  std::string Text;  // e.g. "COM1" or "Communications Port (COM1)"
  int Number = 0;    // the port number, 1 for COM1
};

// The serial (kSerial) or parallel (kParallel) ports of the machine, ordered by port number.
// Merges the bare port names of the system's device map with the readable names of the present
// port devices; in a remote session, where the machine's ports mean nothing, the fixed lists
// COM1..COM256 and LPT1..LPT4.
std::vector<TPortListEntry> GetPortList(
    platform::PortFamily Kind,
    platform::PortDiscovery& discovery = platform::SystemPortDiscovery());

// The port number in a device name such as "Printer Port (LPT2)": the number inside the first
// "(COM" (serial) or "(LPT" (parallel), letter case ignored. Nothing when there is none.
std::optional<int> ParsePortNumber(std::string_view name, platform::PortFamily Kind);

}  // namespace pirell
