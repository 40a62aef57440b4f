#include "ports/port_printer.h"

#include "ports/port_manager.h"

namespace pirell {

TPortPrinter::TPortPrinter(const TPortManager& Owner, platform::DeviceIo& device_io)
    : FPort(device_io) {
  FPort.SetPortName(Owner.PortName());
  FPort.SetInterfaceType(Owner.PortType() == TPortType::ptLPT ? itLPT : itUSBPrint);
}

TPortPrinter::~TPortPrinter() {
  FPort.ClosePort();
}

ResultCode TPortPrinter::OpenPort() {
  const ResultCode code = FPort.OpenPort();
  FLastErrorDescription = FPort.LastErrorDescription();
  return code;
}

ResultCode TPortPrinter::WriteToPort(const std::string& Data) {
  const ResultCode code = FPort.SendToPort(Data);
  FLastErrorDescription = FPort.LastErrorDescription();
  return code;
}

void TPortPrinter::ClosePort() {
  TBasePort::ClosePort();
  FPort.ClosePort();
}

void TPortPrinter::FlushBuffer() {
  TBasePort::FlushBuffer();
  FPort.FlushPort();
}

}  // namespace pirell
