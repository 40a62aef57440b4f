#include "ports/port_network.h"

#include <optional>

#include "ports/network_address.h"
#include "ports/port_open_failure.h"

namespace pirell {

TPortNetwork::TPortNetwork(const std::string& PortName, platform::DeviceIo& device_io)
    : TDevicePort(device_io), FPortName(PortName) {
  FPort.SetPortName(PortName);
}

ResultCode TPortNetwork::OpenDevice() {
  const std::optional<TNetworkAddress> address = ParseNetworkAddress(FPortName);
  if (!address) {
    FLastErrorDescription = PortDetail(StringId::PortBadNetworkAddress, FPortName);
    return rc::PortUnavailable;
  }
  platform::DeviceOpenResult connection =
      FDeviceIo.Connect(address->Host, address->Port, kConnectTimeOut);
  if (!connection.device) {
    FLastErrorDescription =
        PortDetail(StringId::PortNotConnected,
                   FPortName + ": " + OpenFailureText(FDeviceIo, connection, FPortName));
    return rc::Unknown;
  }
  return FPort.Attach(std::move(connection));
}

}  // namespace pirell
