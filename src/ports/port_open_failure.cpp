#include "ports/port_open_failure.h"

namespace pirell {

std::string PortDetail(StringId id, std::string_view what) {
  std::string detail(LoadModuleString(id));
  if (!what.empty()) {
    detail += ": ";
    detail += what;
  }
  return detail;
}

std::string OpenFailureText(platform::DeviceIo& device_io, const platform::DeviceOpenResult& opened,
                            const std::string& name) {
  using platform::OpenRefusal;
  switch (opened.refusal) {
    case OpenRefusal::kNotADevice:
      return PortDetail(StringId::PortNotADevice, name);
    case OpenRefusal::kNotARegularFile:
      return PortDetail(StringId::PortNotARegularFile, name);
    case OpenRefusal::kLink:
      return PortDetail(StringId::PortLink, name);
    case OpenRefusal::kDeviceFolder:
      return PortDetail(StringId::PortDeviceFolder, name);
    case OpenRefusal::kNoSuchPort:
      return PortDetail(StringId::PortNoSuchSerialPort, name);
    case OpenRefusal::kNone:
      break;
  }
  if (!opened.reason.empty()) return opened.reason;
  return device_io.ErrorMessage(opened.error);
}

}  // namespace pirell
