#include "ports/port_serial.h"

#include <optional>

#include "ports/port_open_failure.h"
#include "ports/serial_port_name.h"

namespace pirell {
namespace {

// The status bit of a printer that is not there.
constexpr std::uint8_t kNotConnected = 0x20;

}  // namespace

TPortSerial::TPortSerial(const std::string& PortName, platform::DeviceIo& device_io)
    : TDevicePort(device_io), FPortName(PortName) {
  FPort.SetPortName(PortName);
}

ResultCode TPortSerial::OpenDevice() {
  const std::optional<TSerialPortName> parsed = ParseSerialPortName(FPortName);
  if (!parsed) {
    FLastErrorDescription = PortDetail(StringId::PortBadSerialName, FPortName);
    return rc::PortUnavailable;
  }
  const ResultCode code = FPort.Attach(FDeviceIo.OpenSerial(parsed->Port, parsed->Line));
  if (code != rc::Ok) return code;
  const std::optional<std::uint8_t> status = FPort.PortStatus();
  if (status && (*status & kNotConnected)) {
    FPort.ClosePort();
    FLastErrorDescription = PortDetail(StringId::PortNotConnected, parsed->Port);
    return rc::Unknown;
  }
  return rc::Ok;
}

}  // namespace pirell
