#pragma once

#include <string>
#include <vector>

namespace pirell::platform {

// A USB printer the system knows.
struct UsbPrinterRecord {
  // What the printer device layer opens to reach the printer.
  std::string interface_path;
  // Where the printer is attached; empty when the system does not say.
  std::string location;
  std::string description;
  // Present and not disabled.
  bool enabled = false;
};

// Serial or parallel ports.
enum class PortFamily {
  kSerial = 0,
  kParallel = 1,
};

// A present port device of the system's ports class.
struct PortDeviceRecord {
  // Its readable name, e.g. "Communications Port (COM1)".
  std::string name;
  // The port name it serves, e.g. "COM1"; empty when the system does not say.
  std::string port_name;
};

// A print queue of the system's print server.
struct PrintQueueRecord {
  // What the print queue port is given to reach it: "Labels", "Labels@server", "\\server\Labels".
  std::string name;
  // Its readable description or location; empty when the server gives none.
  std::string description;
  // The queue the system prints to when nobody chooses one.
  bool is_default = false;
};

// What the system can tell about printers and ports.
class PortDiscovery {
 public:
  virtual ~PortDiscovery() = default;

  // Appends the USB printers in the order the system enumerates them. Returns false when the
  // enumeration could not run to its end; what was found until then stays appended.
  virtual bool ListUsbPrinters(std::vector<UsbPrinterRecord>& printers) = 0;

  // True inside a remote desktop session, where the machine's own ports mean nothing.
  virtual bool IsRemoteSession() = 0;
  // The data of the system's device map for the family, e.g. "\DosDevices\COM1".
  virtual std::vector<std::string> DeviceMapPorts(PortFamily family) = 0;
  // The present devices of the ports class, in the system's order.
  virtual std::vector<PortDeviceRecord> PresentPortDevices() = 0;

  // The print queues the system's print server offers, in the server's order; empty when there
  // is no server or it does not answer.
  virtual std::vector<PrintQueueRecord> ListPrintQueues() = 0;
};

// The running system.
PortDiscovery& SystemPortDiscovery();

}  // namespace pirell::platform
