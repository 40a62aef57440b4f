#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/port_discovery.h"

namespace pirell::testing {

// A machine described by hand: its USB printers, its device map and its port devices.
class FakePortDiscovery : public platform::PortDiscovery {
 public:
  bool ListUsbPrinters(std::vector<platform::UsbPrinterRecord>& printers) override {
    ++usb_listings;
    if (usb_failure) throw std::runtime_error("device setup failed");
    printers.insert(printers.end(), usb_printers.begin(), usb_printers.end());
    return usb_complete;
  }
  bool IsRemoteSession() override { return remote_session; }
  std::vector<std::string> DeviceMapPorts(platform::PortFamily family) override {
    return family == platform::PortFamily::kSerial ? serial_map : parallel_map;
  }
  std::vector<platform::PortDeviceRecord> PresentPortDevices() override {
    if (devices_failure) throw std::runtime_error("device setup failed");
    return devices;
  }
  std::vector<platform::PrintQueueRecord> ListPrintQueues() override { return print_queues; }

  std::vector<platform::UsbPrinterRecord> usb_printers;
  bool usb_complete = true;
  bool usb_failure = false;
  int usb_listings = 0;

  bool remote_session = false;
  std::vector<std::string> serial_map;
  std::vector<std::string> parallel_map;
  std::vector<platform::PortDeviceRecord> devices;
  bool devices_failure = false;
  std::vector<platform::PrintQueueRecord> print_queues;
};

}  // namespace pirell::testing
