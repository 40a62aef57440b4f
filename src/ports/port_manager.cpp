#include "ports/port_manager.h"

#include "ports/port_file.h"
#include "ports/port_network.h"
#include "ports/port_printer.h"
#include "ports/port_queue.h"
#include "ports/port_serial.h"

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

std::shared_ptr<TBasePort> TPortManager::CreatePort() const {
  switch (FPortType) {
    case TPortType::ptUSB:
    case TPortType::ptLPT:
      return std::make_shared<TPortPrinter>(*this, FDeviceIo);
    case TPortType::ptCOM:
      return std::make_shared<TPortSerial>(FPortName, FDeviceIo);
    case TPortType::ptIP:
      return std::make_shared<TPortNetwork>(FPortName, FDeviceIo);
    case TPortType::ptFile:
      return std::make_shared<TPortFile>(FPortName, FDeviceIo);
    case TPortType::ptQueue:
      return std::make_shared<TPortQueue>(FPortName, FDeviceIo);
  }
  return nullptr;
}

ResultCode TPortManager::OpenPort() {
  // The old object closes its device before the new one tries to open it.
  FPort.reset();
  FLastErrorDescription.clear();
  FPort = CreatePort();
  if (!FPort) return rc::Unknown;
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

ResultCode TPortManager::ClosePort() {
  if (!FPort) return rc::Ok;
  const std::shared_ptr<TBasePort> port = FPort;
  const ResultCode code = port->ClosePort();
  if (code != rc::Ok) FLastErrorDescription = port->LastErrorDescription();
  return code;
}

}  // namespace pirell
