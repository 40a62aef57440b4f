#pragma once

#include <string>

#include "platform/device_io.h"
#include "ports/base_port.h"
#include "ports/printer_port.h"

namespace pirell {

class TPortManager;

// A USB printer interface or a parallel port, written through its own port writer.
class TPortPrinter : public TBasePort {
 public:
  // Takes the port name and type that `Owner` holds now.
  explicit TPortPrinter(const TPortManager& Owner,
                        platform::DeviceIo& device_io = platform::SystemDeviceIo());
  ~TPortPrinter() override;

  ResultCode OpenPort() override;
  ResultCode WriteToPort(const std::string& Data) override;
  void ClosePort() override;
  void FlushBuffer() override;

 private:
  TPrinterPort FPort;
};

}  // namespace pirell
