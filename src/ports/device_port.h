#pragma once

#include <string>

#include "platform/device_io.h"
#include "ports/base_port.h"
#include "ports/printer_port.h"

namespace pirell {

// A port whose device is written through a port writer, which watches the printer's status and
// the inactivity timeout. Each kind of connection decides only how its device is opened.
class TDevicePort : public TBasePort {
 public:
  ~TDevicePort() override;

  // An open port stays as it is; otherwise opens the device: 0, or the failure's code with its
  // detail.
  ResultCode OpenPort() final;
  ResultCode WriteToPort(const std::string& Data) override;
  ResultCode ClosePort() override;
  void FlushBuffer() override;

 protected:
  explicit TDevicePort(platform::DeviceIo& device_io);
  // Opens the device into FPort. A failure may leave its own detail in FLastErrorDescription;
  // otherwise the writer's detail is taken.
  virtual ResultCode OpenDevice() = 0;

  platform::DeviceIo& FDeviceIo;
  TPrinterPort FPort;
};

}  // namespace pirell
