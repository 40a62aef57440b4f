#include "ports/device_port.h"

namespace pirell {

TDevicePort::TDevicePort(platform::DeviceIo& device_io) : FDeviceIo(device_io), FPort(device_io) {}

TDevicePort::~TDevicePort() {
  FPort.ClosePort();
}

ResultCode TDevicePort::OpenPort() {
  FLastErrorDescription.clear();
  if (FPort.IsOpen()) return rc::Ok;
  const ResultCode code = OpenDevice();
  if (FLastErrorDescription.empty()) FLastErrorDescription = FPort.LastErrorDescription();
  return code;
}

ResultCode TDevicePort::WriteToPort(const std::string& Data) {
  const ResultCode code = FPort.SendToPort(Data);
  FLastErrorDescription = FPort.LastErrorDescription();
  return code;
}

ResultCode TDevicePort::ClosePort() {
  TBasePort::ClosePort();
  FPort.ClosePort();
  return rc::Ok;
}

void TDevicePort::FlushBuffer() {
  TBasePort::FlushBuffer();
  FPort.FlushPort();
}

}  // namespace pirell
