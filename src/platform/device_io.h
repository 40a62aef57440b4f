#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/print_queue.h"
#include "platform/serial_line.h"

namespace pirell::platform {

// How a printer device is opened.
enum class DeviceOpenMode {
  // A USB printer interface: others may read the device while it is open; on Windows the
  // interface is opened with OPEN_ALWAYS.
  kSharedRead,
  // A parallel port: nobody else may open it while it is open; it must exist.
  kExclusive,
};

// The outcome of one write call.
struct DeviceWriteResult {
  bool ok = true;
  // Bytes that went out, also when the call failed part way.
  std::size_t written = 0;
  // The system's error code when the call failed.
  int error = 0;
  // The connection is gone for good (the network printer closed it): writing again is futile.
  bool lost = false;
};

// An open printer device. Closing happens on destruction.
class Device {
 public:
  virtual ~Device() = default;
  // Writes as much of `bytes` as the device takes within the write timeout, in one call.
  virtual DeviceWriteResult Write(std::string_view bytes) = 0;
  // The parallel status byte (bits 0x04 paper empty, 0x08 off line, 0x10 power off, 0x20 not
  // connected, 0x40 busy), or nothing when the device cannot report one.
  virtual std::optional<std::uint8_t> Status() = 0;
  // Limits how long one Write may wait for the device. False when the device has no such limit.
  virtual bool SetWriteTimeout(std::uint32_t ms) = 0;
  // Pushes buffered data to the device. False when that fails or is not supported.
  virtual bool Flush() = 0;
};

// Why an open was refused when no system error code says it.
enum class OpenRefusal {
  kNone,
  // A USB or parallel port name that leads to something other than a device.
  kNotADevice,
  // A file target that is a device, a FIFO, a socket or a folder.
  kNotARegularFile,
  // A file target that is a symbolic link.
  kLink,
  // A file target inside the system's device folder.
  kDeviceFolder,
  // A serial port name that names no port of the machine.
  kNoSuchPort,
};

// The outcome of an open: the device, or why there is none.
struct DeviceOpenResult {
  std::unique_ptr<Device> device;
  // The system's error code; 0 when `refusal` or `reason` says why.
  int error = 0;
  OpenRefusal refusal = OpenRefusal::kNone;
  // The system's own words where it gives no error code (a host name that does not resolve).
  std::string reason;

  static DeviceOpenResult Opened(std::unique_ptr<Device> device) {
    DeviceOpenResult result;
    result.device = std::move(device);
    return result;
  }
  static DeviceOpenResult Failed(int error) {
    DeviceOpenResult result;
    result.error = error;
    return result;
  }
  static DeviceOpenResult Refused(OpenRefusal refusal) {
    DeviceOpenResult result;
    result.refusal = refusal;
    return result;
  }
  static DeviceOpenResult Unreachable(std::string reason) {
    DeviceOpenResult result;
    result.reason = std::move(reason);
    return result;
  }
};

// Opens the connections to printers: devices, serial lines, network printers, files standing in
// for a printer and the print queues of the system's print server.
class DeviceIo {
 public:
  virtual ~DeviceIo() = default;
  // A USB printer interface path from the USB printer list, or "LPT" followed by the port
  // number; on Linux also the path of a printer device node. Never creates anything on Linux.
  virtual DeviceOpenResult Open(const std::string& name, DeviceOpenMode mode) = 0;
  // The serial port "COMn" (on Linux also a device path) with its line settings, exclusively.
  virtual DeviceOpenResult OpenSerial(const std::string& port, const SerialLine& line) = 0;
  // A raw TCP connection to `host` (a name or an address) and `port`, made within `timeout_ms`.
  virtual DeviceOpenResult Connect(const std::string& host, std::uint16_t port,
                                   std::uint32_t timeout_ms) = 0;
  // The regular file at the full path `path`, for appending; created when missing in an existing
  // folder. Links, devices, FIFOs, sockets and the device folder are refused; nothing is emptied.
  virtual DeviceOpenResult OpenFile(const std::string& path) = 0;
  // A print queue of the system's print server, when it exists and accepts jobs.
  virtual PrintQueueOpenResult OpenPrintQueue(const std::string& name) = 0;
  // The system's message text for an error code that an open or Write reported.
  virtual std::string ErrorMessage(int code) = 0;
};

// The system's devices.
DeviceIo& SystemDeviceIo();

}  // namespace pirell::platform
