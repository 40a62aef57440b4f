#include "ports/port_printer.h"

#include <charconv>

#include "platform/files.h"
#include "ports/port_manager.h"
#include "ports/port_open_failure.h"

namespace pirell {
namespace {

// "LPTn" with n from 1, any letter case.
bool IsParallelPortName(const std::string& name) {
  if (name.size() < 4) return false;
  for (std::size_t i = 0; i < 3; ++i) {
    if ((name[i] & ~0x20) != "LPT"[i]) return false;
  }
  unsigned number = 0;
  const char* digits = name.data() + 3;
  const char* end = name.data() + name.size();
  const auto [stop, ec] = std::from_chars(digits, end, number);
  return *digits >= '0' && *digits <= '9' && ec == std::errc() && stop == end && number >= 1;
}

}  // namespace

TPortPrinter::TPortPrinter(const TPortManager& Owner, platform::DeviceIo& device_io)
    : TDevicePort(device_io) {
  FPort.SetPortName(Owner.PortName());
  FPort.SetInterfaceType(Owner.PortType() == TPortType::ptLPT ? itLPT : itUSBPrint);
}

ResultCode TPortPrinter::OpenDevice() {
  const std::string& name = FPort.PortName();
  if (FPort.InterfaceType() == itLPT && !IsParallelPortName(name) &&
      !platform::IsAbsolutePath(name)) {
    FLastErrorDescription = PortDetail(StringId::PortBadParallelName, name);
    return rc::PortUnavailable;
  }
  return FPort.OpenPort();
}

}  // namespace pirell
