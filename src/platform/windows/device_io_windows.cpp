#include <windows.h>

#include <algorithm>
#include <memory>

#include "platform/device_io.h"
#include "platform/files.h"
#include "platform/windows/wide.h"

namespace pirell::platform {
namespace {

// The parallel port's status query (IOCTL_PAR_QUERY_INFORMATION of ntddpar.h).
constexpr DWORD kParallelQueryInformation = 0x00160004;
// FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL.
constexpr DWORD kOpenFlags = 0x08000080;
// WriteFile takes a 32-bit length.
constexpr std::size_t kLargestWrite = 0x10000000u;

class WindowsDevice : public Device {
 public:
  explicit WindowsDevice(HANDLE handle) : handle_(handle) {}
  ~WindowsDevice() override { CloseHandle(handle_); }
  WindowsDevice(const WindowsDevice&) = delete;
  WindowsDevice& operator=(const WindowsDevice&) = delete;

  DeviceWriteResult Write(std::string_view bytes) override {
    DWORD written = 0;
    const auto length = static_cast<DWORD>(std::min(bytes.size(), kLargestWrite));
    if (!WriteFile(handle_, bytes.data(), length, &written, nullptr)) {
      return {false, written, static_cast<int>(GetLastError())};
    }
    return {true, written, 0};
  }

  std::optional<std::uint8_t> Status() override {
    UCHAR status = 0;
    DWORD returned = 0;
    if (!DeviceIoControl(handle_, kParallelQueryInformation, nullptr, 0, &status, sizeof status,
                         &returned, nullptr)) {
      return std::nullopt;
    }
    return status;
  }

  // Only the write limit changes; the read timeouts stay as the device has them.
  bool SetWriteTimeout(std::uint32_t ms) override {
    COMMTIMEOUTS timeouts{};
    GetCommTimeouts(handle_, &timeouts);
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = ms;
    return SetCommTimeouts(handle_, &timeouts) != 0;
  }

  // A printer's driver has its buffers pushed. A disk file standing in for the printer holds
  // the bytes once written; syncing it to disk after every label would make a long job wait on
  // the disk instead of the driver.
  bool Flush() override {
    return GetFileType(handle_) == FILE_TYPE_DISK || FlushFileBuffers(handle_) != 0;
  }

 private:
  HANDLE handle_;
};

class WindowsDeviceIo : public DeviceIo {
 public:
  DeviceOpenResult Open(const std::string& name, DeviceOpenMode mode) override {
    const bool exclusive = mode == DeviceOpenMode::kExclusive;
    const HANDLE handle = CreateFileW(Widen(name).c_str(), GENERIC_READ | GENERIC_WRITE,
                                      exclusive ? 0 : FILE_SHARE_READ, nullptr,
                                      exclusive ? OPEN_EXISTING : OPEN_ALWAYS, kOpenFlags, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return {nullptr, static_cast<int>(GetLastError())};
    return {std::make_unique<WindowsDevice>(handle), 0};
  }

  std::string ErrorMessage(int code) override { return SystemErrorMessage(code); }
};

}  // namespace

DeviceIo& SystemDeviceIo() {
  static WindowsDeviceIo io;
  return io;
}

}  // namespace pirell::platform
