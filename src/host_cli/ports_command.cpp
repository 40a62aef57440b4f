// "pirell ports": the ports a user can choose for the printer, as the settings window lists them
// on Windows.

#include <cstdio>

#include "host_cli/commands.h"
#include "ports/port_list.h"
#include "ports/usb_print_list.h"

namespace pirell::cli {

int RunPorts(const CommandLine& line) {
  if (!line.args.empty()) throw UsageError("takes no arguments");
  TUSBPrintList usb;
  const bool complete = usb.Refresh();
  std::printf("USB printers (PortType 0, PortName = the device node):\n");
  if (usb.GetCount() == 0) std::printf("  none\n");
  for (int i = 0; i < usb.GetCount(); ++i) {
    const TUSBPrintInfoRec printer = usb.Get(i);
    std::printf("  %-20s %s (%s)%s\n", printer.interfacename.c_str(), printer.devicename.c_str(),
                printer.description.c_str(), printer.isenabled ? "" : " [not present]");
  }
  if (!complete) std::printf("  (the list may be incomplete)\n");

  const struct {
    platform::PortFamily family;
    const char* title;
  } families[] = {
      {platform::PortFamily::kParallel, "Parallel ports (PortType 1, PortName = LPTn):"},
      {platform::PortFamily::kSerial, "Serial ports (not served by this driver):"},
  };
  for (const auto& [family, title] : families) {
    std::printf("%s\n", title);
    const std::vector<TPortListEntry> ports = GetPortList(family);
    if (ports.empty()) std::printf("  none\n");
    for (const TPortListEntry& port : ports) std::printf("  %s\n", port.Text.c_str());
  }
  return 0;
}

}  // namespace pirell::cli
