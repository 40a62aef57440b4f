#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "driver_object/result_codes.h"
#include "platform/device_io.h"
#include "ports/base_port.h"

namespace pirell {

// Port types; the numbers are the values of the driver's "PortType" setting.
enum class TPortType {
  ptUSB = 0,
  ptLPT = 1,
  ptCOM = 2,
  ptIP = 3,
  ptFile = 4,
  ptQueue = 5,  // a print queue of the system's print server
};

// The port type of a "PortType" setting value; a value outside 0..5 means USB.
TPortType PortTypeFromSetting(std::int32_t value);

// The driver's one way to its printer. The driver sets the port type and name, then opens,
// writes, flushes and closes; the manager makes a fresh port object of the port type at every
// open: a USB printer or parallel port, a serial line, a network printer, a file or a print
// queue.
class TPortManager {
 public:
  explicit TPortManager(platform::DeviceIo& device_io = platform::SystemDeviceIo());
  ~TPortManager();
  TPortManager(const TPortManager&) = delete;
  TPortManager& operator=(const TPortManager&) = delete;

  TPortType PortType() const { return FPortType; }
  void SetPortType(TPortType type) { FPortType = type; }
  const std::string& PortName() const { return FPortName; }
  void SetPortName(const std::string& name) { FPortName = name; }
  const std::string& LastErrorDescription() const { return FLastErrorDescription; }

  // Replaces the port object with one of the port type and opens it: 0; 1011 when the device
  // cannot be opened or its name is malformed; 1001 when a network printer or a print queue
  // cannot be reached or a serial printer is not connected.
  ResultCode OpenPort();
  // Writes the bytes: 0, 1001, 1007, 1008, 1009; 1011 when no port was opened.
  ResultCode WriteToPort(const std::string& bytes);
  void FlushBuffer();
  // Closes the device; the port object stays until the next open. 0, or 1001 when a print queue
  // does not take the job written to it.
  ResultCode ClosePort();

 private:
  std::shared_ptr<TBasePort> CreatePort() const;

  platform::DeviceIo& FDeviceIo;
  TPortType FPortType = TPortType::ptUSB;
  std::string FPortName;
  // Shared so that a send keeps its port object alive when a message served during the send
  // opens the port anew.
  std::shared_ptr<TBasePort> FPort;
  std::string FLastErrorDescription;
};

}  // namespace pirell
