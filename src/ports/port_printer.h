#pragma once

#include <string>

#include "platform/device_io.h"
#include "ports/device_port.h"

namespace pirell {

class TPortManager;

// A USB printer interface or a parallel port, written through its own port writer.
class TPortPrinter : public TDevicePort {
 public:
  // Takes the port name and type that `Owner` holds now.
  explicit TPortPrinter(const TPortManager& Owner,
                        platform::DeviceIo& device_io = platform::SystemDeviceIo());

 protected:
  // A parallel port is "LPTn" or a full device path: any other name would be taken for a file
  // and is refused before anything is opened.
  ResultCode OpenDevice() override;
};

}  // namespace pirell
