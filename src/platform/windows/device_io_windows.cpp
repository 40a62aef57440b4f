#include "platform/windows/device_io_windows.h"

#include <windows.h>

#include <memory>

#include "platform/files.h"
#include "platform/windows/overlapped_io.h"
#include "platform/windows/wide.h"

namespace pirell::platform::windows_io {
namespace {

// The parallel port's status query (IOCTL_PAR_QUERY_INFORMATION of ntddpar.h).
constexpr DWORD kParallelQueryInformation = 0x00160004;
// FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL, and overlapped writes that a wait can end.
constexpr DWORD kOpenFlags = 0x08000080 | FILE_FLAG_OVERLAPPED;
// How long a write may wait for the device until SetWriteTimeout says otherwise, and how long
// a status query may take.
constexpr std::uint32_t kDefaultWriteTimeoutMs = 20000;
constexpr std::uint32_t kStatusTimeoutMs = 1000;

class WindowsDevice : public Device {
 public:
  explicit WindowsDevice(HANDLE handle)
      : handle_(handle), disk_file_(GetFileType(handle) == FILE_TYPE_DISK) {}

  // A file standing in for the printer receives every job at its end.
  DeviceWriteResult Write(std::string_view bytes) override {
    return WriteOverlapped(handle_.get(), bytes, write_timeout_ms_, disk_file_);
  }

  std::optional<std::uint8_t> Status() override {
    UCHAR status = 0;
    if (!IoControlOverlapped(handle_.get(), kParallelQueryInformation, &status, sizeof status,
                             kStatusTimeoutMs)) {
      return std::nullopt;
    }
    return status;
  }

  // The overlapped wait bounds every write. The device's own write timeout is set as well where
  // the device has one; the read timeouts stay as they are.
  bool SetWriteTimeout(std::uint32_t ms) override {
    write_timeout_ms_ = ms;
    COMMTIMEOUTS timeouts{};
    if (GetCommTimeouts(handle_.get(), &timeouts)) {
      timeouts.WriteTotalTimeoutMultiplier = 0;
      timeouts.WriteTotalTimeoutConstant = ms;
      SetCommTimeouts(handle_.get(), &timeouts);
    }
    return true;
  }

  // A printer's driver has its buffers pushed. A disk file standing in for the printer holds
  // the bytes once written; syncing it to disk after every label would make a long job wait on
  // the disk instead of the driver.
  bool Flush() override { return disk_file_ || FlushFileBuffers(handle_.get()) != 0; }

 private:
  KernelHandle handle_;
  bool disk_file_;
  std::uint32_t write_timeout_ms_ = kDefaultWriteTimeoutMs;
};

class WindowsDeviceIo : public DeviceIo {
 public:
  DeviceOpenResult Open(const std::string& name, DeviceOpenMode mode) override {
    return OpenPrinterDevice(name, mode);
  }
  DeviceOpenResult OpenSerial(const std::string& port, const SerialLine& line) override {
    return OpenSerialPort(port, line);
  }
  DeviceOpenResult Connect(const std::string& host, std::uint16_t port,
                           std::uint32_t timeout_ms) override {
    return ConnectTcp(host, port, timeout_ms);
  }
  DeviceOpenResult OpenFile(const std::string& path) override { return OpenAppendFile(path); }
  PrintQueueOpenResult OpenPrintQueue(const std::string& name) override {
    return OpenSpoolerQueue(name);
  }
  std::string ErrorMessage(int code) override { return SystemErrorMessage(code); }
};

}  // namespace

// The names open as they always have: shared reading and OPEN_ALWAYS for a USB printer
// interface, exclusive and OPEN_EXISTING for a parallel port.
DeviceOpenResult OpenPrinterDevice(const std::string& name, DeviceOpenMode mode) {
  const bool exclusive = mode == DeviceOpenMode::kExclusive;
  const HANDLE handle = CreateFileW(Widen(name).c_str(), GENERIC_READ | GENERIC_WRITE,
                                    exclusive ? 0 : FILE_SHARE_READ, nullptr,
                                    exclusive ? OPEN_EXISTING : OPEN_ALWAYS, kOpenFlags, nullptr);
  if (handle == INVALID_HANDLE_VALUE)
    return DeviceOpenResult::Failed(static_cast<int>(GetLastError()));
  return DeviceOpenResult::Opened(std::make_unique<WindowsDevice>(handle));
}

}  // namespace pirell::platform::windows_io

namespace pirell::platform {

DeviceIo& SystemDeviceIo() {
  static windows_io::WindowsDeviceIo io;
  return io;
}

}  // namespace pirell::platform
