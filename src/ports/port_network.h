#pragma once

#include <cstdint>
#include <string>

#include "platform/device_io.h"
#include "ports/device_port.h"

namespace pirell {

// A network printer taking raw data over TCP: "host" or "host:port" (see ParseNetworkAddress).
// Each open makes a new connection; closing ends it.
class TPortNetwork : public TDevicePort {
 public:
  TPortNetwork(const std::string& PortName, platform::DeviceIo& device_io);

  // How long a connection may take to be made.
  static constexpr std::uint32_t kConnectTimeOut = 5000;

 protected:
  // A printer that refuses or cannot be reached is not connected: 1001 with the system's reason.
  ResultCode OpenDevice() override;

 private:
  std::string FPortName;
};

}  // namespace pirell
