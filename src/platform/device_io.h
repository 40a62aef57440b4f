#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

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

// The outcome of an open: the device, or the system's error code.
struct DeviceOpenResult {
  std::unique_ptr<Device> device;
  int error = 0;
};

// Opens printer devices by name. The name is what the user chose: a USB printer interface path
// from the USB printer list, or "LPT" followed by the port number.
class DeviceIo {
 public:
  virtual ~DeviceIo() = default;
  virtual DeviceOpenResult Open(const std::string& name, DeviceOpenMode mode) = 0;
  // The system's message text for an error code that Open or Write reported.
  virtual std::string ErrorMessage(int code) = 0;
};

// The system's devices.
DeviceIo& SystemDeviceIo();

}  // namespace pirell::platform
