#pragma once

// An open file descriptor as a printer device, shared by the printer nodes, serial lines,
// network connections and files of the Linux platform layer.

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/device_io.h"
#include "platform/linux/unique_fd.h"

namespace pirell::platform::linux_devices {

// Milliseconds of the monotonic clock.
std::uint64_t MonotonicMs();
// Sleeps `ms` milliseconds; a signal does not cut the sleep short.
void SleepMs(std::uint32_t ms);

// What kind of thing a descriptor device writes to.
enum class FdKind {
  kDevice,  // a character device: nothing to flush
  kFile,    // a regular file: the bytes are in it once written
  kSocket,  // a connection: writes never raise SIGPIPE, and a broken connection is lost
};

// A non-blocking descriptor: a write takes what the device accepts now, waiting for it to become
// writable up to the write timeout, so a stalled printer never holds the thread longer.
class FdDevice : public Device {
 public:
  FdDevice(int fd, FdKind kind);
  ~FdDevice() override;
  FdDevice(const FdDevice&) = delete;
  FdDevice& operator=(const FdDevice&) = delete;

  DeviceWriteResult Write(std::string_view bytes) override;
  std::optional<std::uint8_t> Status() override { return std::nullopt; }
  bool SetWriteTimeout(std::uint32_t ms) override;
  // The printer drivers keep no buffer that a flush could push. A file holds the bytes as soon
  // as they are written; syncing it to disk after every label would make a long job wait on the
  // disk instead of the driver.
  bool Flush() override { return kind_ == FdKind::kFile; }

 protected:
  int fd() const { return fd_; }
  std::uint32_t write_timeout_ms() const { return write_timeout_ms_; }

 private:
  int fd_;
  FdKind kind_;
  std::uint32_t write_timeout_ms_;
};

}  // namespace pirell::platform::linux_devices
