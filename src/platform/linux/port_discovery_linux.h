#pragma once

// Discovery of USB printers and of serial and parallel ports on Linux, over a source of device
// records that udev fills on the running system and tests fill by hand.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/port_discovery.h"

namespace pirell::platform::linux_discovery {

// The USB device a device node belongs to.
struct UsbParent {
  std::string busnum;        // "1"
  std::string devpath;       // the port chain on the bus, "1.4"
  std::string manufacturer;  // the device's own strings, when it has them
  std::string product;
};

// One device of a udev subsystem.
struct UdevDevice {
  std::string sysname;  // "lp0", "ttyUSB0"
  std::string devnode;  // "/dev/usb/lp0"; empty when the device has no node
  std::string devpath;  // the sysfs path below /sys
  std::map<std::string, std::string> properties;  // from the udev database: ID_MODEL, ...
  std::string type;  // the "type" attribute of a serial port: "0" when no UART answers
  std::optional<UsbParent> usb;
};

class UdevSource {
 public:
  virtual ~UdevSource() = default;
  // The devices of a subsystem ("usbmisc", "tty", "printer", "ppdev"). False when the
  // enumeration failed.
  virtual bool Devices(const std::string& subsystem, std::vector<UdevDevice>& devices) = 0;
};

// The libudev enumerator of the running system.
UdevSource& SystemUdevSource();

// USB printers are the usblp nodes (usbmisc lpN, /dev/usb/lpN), ordered by N:
//   interface_path  the device node;
//   location        "usb-BUS-PORTS" of the USB device (e.g. usb-1-1.4), else the sysfs path;
//   description     the device's manufacturer and product strings, else the udev model;
//   enabled         always: a usblp node exists only while its printer is attached and bound.
bool ListUsbPrinters(UdevSource& source, std::vector<UsbPrinterRecord>& printers);

// Serial and parallel port devices, named "<node> (COMn)" or "<model> <node> (COMn)" with the
// port name "COMn" / "LPTn":
//   ttySn    -> COM(n+1), unless its "type" is 0 (a placeholder without a UART);
//   ttyUSBn  -> COM(S + 1 + n), S being the highest COM number given to a ttyS port (0 if none);
//   ttyACMn  -> COM(U + 1 + n), U being the highest COM number given so far;
//   lpn      -> LPT(n+1), the parallel printer node that "LPTn" opens;
//   parportn -> LPT(n+1) when there is no lpn (the lp driver is not loaded).
std::vector<PortDeviceRecord> ListPortDevices(UdevSource& source);

}  // namespace pirell::platform::linux_discovery
