#pragma once

#include <string>

#include "platform/device_io.h"
#include "ports/device_port.h"

namespace pirell {

// A file standing in for the printer: every job is appended to it, as a printer receives a
// stream. The name is a full path; the file is created in an existing folder when missing.
class TPortFile : public TDevicePort {
 public:
  TPortFile(const std::string& PortName, platform::DeviceIo& device_io);

 protected:
  ResultCode OpenDevice() override;
};

}  // namespace pirell
