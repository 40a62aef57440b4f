#include "ports/port_file.h"

#include "platform/files.h"
#include "ports/port_open_failure.h"

namespace pirell {

TPortFile::TPortFile(const std::string& PortName, platform::DeviceIo& device_io)
    : TDevicePort(device_io) {
  FPort.SetPortName(PortName);
}

ResultCode TPortFile::OpenDevice() {
  const std::string& path = FPort.PortName();
  // A relative path would land wherever the host happens to run.
  if (!platform::IsAbsolutePath(path)) {
    FLastErrorDescription = PortDetail(StringId::PortBadFilePath, path);
    return rc::PortUnavailable;
  }
  return FPort.Attach(FDeviceIo.OpenFile(path));
}

}  // namespace pirell
