#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "driver_object/result_codes.h"
#include "platform/device_io.h"

namespace pirell {

// How the printer is attached, which decides how its device is opened.
enum TPrintInterfaceType {
  itUSBPrint,  // a USB printer interface: shared for reading
  itLPT,       // a parallel port: exclusive, must exist
};

// Progress of a send: the percentage done and a text. Returns false to abandon the send.
using TTaskState = std::function<bool(std::int32_t Percent, const std::string& Description)>;

// Writes byte strings to one printer device (a USB printer interface or a parallel port),
// watching the printer's status and an inactivity timeout. The only object that touches the
// printer device.
class TPrinterPort {
 public:
  explicit TPrinterPort(platform::DeviceIo& device_io = platform::SystemDeviceIo());
  ~TPrinterPort();
  TPrinterPort(const TPrinterPort&) = delete;
  TPrinterPort& operator=(const TPrinterPort&) = delete;

  // 0, or 1011 with the system's message when the device cannot be opened. An open port stays
  // as it is.
  ResultCode OpenPort();
  // Takes a device that was opened another way (a serial line, a network connection, a file):
  // 0, or 1011 with the reason of the failed open.
  ResultCode Attach(platform::DeviceOpenResult opened);
  // Writes exactly these bytes. 0 when all went out; otherwise 1001 (write failed, not connected,
  // no paper), 1007 (nothing moved for the timeout), 1008 (off line, power off), 1009 (busy), or
  // 1011 when the port is not open, was closed while the send waited, or its connection was
  // lost.
  ResultCode SendToPort(const std::string& Data);
  // Flushes and closes the device; nothing happens on a closed port.
  void ClosePort();
  // Pushes buffered data of an open device to the printer; the outcome does not matter to the
  // caller.
  void FlushPort();

  bool IsOpen() const { return FPortHandle != nullptr; }
  // The status byte of the open device, or nothing when it cannot report one.
  std::optional<std::uint8_t> PortStatus() { return FPortHandle ? GetPortStatus() : std::nullopt; }
  TPrintInterfaceType InterfaceType() const { return FInterfaceType; }
  void SetInterfaceType(TPrintInterfaceType type) { FInterfaceType = type; }
  const std::string& PortName() const { return FPortName; }
  void SetPortName(const std::string& name) { FPortName = name; }
  const std::string& LastErrorDescription() const { return FLastErrorDescription; }
  const TTaskState& TaskState() const { return FTaskState; }
  void SetTaskState(TTaskState task_state) { FTaskState = std::move(task_state); }
  // The inactivity timeout of a send. The driver keeps the default.
  std::uint32_t WriteTimeOut() const { return FWriteTimeOut; }
  void SetWriteTimeOut(std::uint32_t ms) { FWriteTimeOut = ms; }

  static constexpr std::uint32_t kDefaultWriteTimeOut = 1000;
  // How long one device write may block; a stalled printer then gives back control.
  static constexpr std::uint32_t kDeviceWriteTimeout = 20000;
  // The pause between two looks at a printer that reports a fault.
  static constexpr std::uint32_t kFaultRetryDelay = 100;

 private:
  std::optional<std::uint8_t> GetPortStatus();

  platform::DeviceIo& FDeviceIo;
  // Shared so that a write keeps its device while a message served during the write closes the
  // port.
  std::shared_ptr<platform::Device> FPortHandle;
  std::string FPortName;
  TPrintInterfaceType FInterfaceType = itLPT;
  std::string FLastErrorDescription;
  std::uint32_t FWriteTimeOut = kDefaultWriteTimeOut;
  TTaskState FTaskState;
};

}  // namespace pirell
