#pragma once

#include <string>

#include "platform/device_io.h"
#include "ports/device_port.h"

namespace pirell {

// A printer on a serial line: "COM1" or "COM1:9600,N,8,1" (see ParseSerialPortName).
class TPortSerial : public TDevicePort {
 public:
  TPortSerial(const std::string& PortName, platform::DeviceIo& device_io);

 protected:
  // Opens the port with its line settings. With hardware flow control a printer whose handshake
  // lines are both down is not connected: 1001.
  ResultCode OpenDevice() override;

 private:
  std::string FPortName;
};

}  // namespace pirell
