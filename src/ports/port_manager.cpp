#include "ports/port_manager.h"

#include "ports/port_printer.h"

namespace pirell {

TPortType PortTypeFromSetting(std::int32_t value) {
  if (value < static_cast<std::int32_t>(TPortType::ptUSB) ||
      value > static_cast<std::int32_t>(TPortType::ptQueue)) {
    return TPortType::ptUSB;
  }
  return static_cast<TPortType>(value);
}

TPortManager::TPortManager(platform::DeviceIo& device_io) : FDeviceIo(device_io) {}

TPortManager::~TPortManager() = default;

ResultCode TPortManager::OpenPort() {
  // The old object closes its device before the new one tries to open it.
  FPort.reset();
  FLastErrorDescription.clear();
  if (FPortType != TPortType::ptUSB && FPortType != TPortType::ptLPT) return rc::Unknown;
  FPort = std::make_shared<TPortPrinter>(*this, FDeviceIo);
  const ResultCode code = FPort->OpenPort();
  FLastErrorDescription = FPort->LastErrorDescription();
  return code;
}

ResultCode TPortManager::WriteToPort(const std::string& bytes) {
  if (!FPort) {
    FLastErrorDescription.clear();
    return rc::PortUnavailable;
  }
  const std::shared_ptr<TBasePort> port = FPort;
  const ResultCode code = port->WriteToPort(bytes);
  FLastErrorDescription = port->LastErrorDescription();
  return code;
}

void TPortManager::FlushBuffer() {
  if (FPort) FPort->FlushBuffer();
}

void TPortManager::ClosePort() {
  if (FPort) FPort->ClosePort();
}

}  // namespace pirell
