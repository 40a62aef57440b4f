// "pirell ports": the ports a user can choose for the printer, every port type with the
// "PortName" it takes, as the settings window lists them on Windows.

#include <cstdio>

#include "host_cli/commands.h"
#include "platform/port_discovery.h"
#include "ports/port_list.h"
#include "ports/usb_print_list.h"

namespace pirell::cli {
namespace {

void PrintUsbPrinters() {
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
}

void PrintPorts(platform::PortFamily family, const char* title) {
  std::printf("%s\n", title);
  const std::vector<TPortListEntry> ports = GetPortList(family);
  if (ports.empty()) std::printf("  none\n");
  for (const TPortListEntry& port : ports) std::printf("  %s\n", port.Text.c_str());
}

void PrintQueues() {
  std::printf("Print queues (PortType 5, PortName = queue or queue@server):\n");
  const std::vector<platform::PrintQueueRecord> queues =
      platform::SystemPortDiscovery().ListPrintQueues();
  if (queues.empty()) std::printf("  none\n");
  for (const platform::PrintQueueRecord& queue : queues) {
    std::printf("  %-20s %s%s\n", queue.name.c_str(), queue.description.c_str(),
                queue.is_default ? " [default]" : "");
  }
}

}  // namespace

int RunPorts(const CommandLine& line) {
  if (!line.args.empty()) throw UsageError("takes no arguments");
  PrintUsbPrinters();
  PrintPorts(platform::PortFamily::kParallel, "Parallel ports (PortType 1, PortName = LPTn):");
  PrintPorts(platform::PortFamily::kSerial,
             "Serial ports (PortType 2, PortName = COMn or COMn:9600,N,8,1[,X|N]):");
  std::printf(
      "Network printers (PortType 3, PortName = host or host:port, raw TCP, port 9100 "
      "by default): not listed\n");
  std::printf("Files (PortType 4, PortName = a full path; every job is appended)\n");
  PrintQueues();
  return 0;
}

}  // namespace pirell::cli
