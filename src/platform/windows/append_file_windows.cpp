#include <windows.h>

#include <algorithm>
#include <memory>

#include "platform/windows/device_io_windows.h"
#include "platform/windows/device_names.h"
#include "platform/windows/overlapped_io.h"
#include "platform/windows/wide.h"

namespace pirell::platform::windows_io {
namespace {

// WriteFile takes a 32-bit length.
constexpr std::size_t kLargestWrite = 0x10000000u;

class FileDevice : public Device {
 public:
  explicit FileDevice(HANDLE handle) : handle_(handle) {}

  // The handle only appends: every write lands at the end of the file.
  DeviceWriteResult Write(std::string_view bytes) override {
    DWORD written = 0;
    const auto length = static_cast<DWORD>(std::min(bytes.size(), kLargestWrite));
    if (!WriteFile(handle_.get(), bytes.data(), length, &written, nullptr))
      return {false, written, static_cast<int>(GetLastError()), false};
    return {true, written, 0, false};
  }
  std::optional<std::uint8_t> Status() override { return std::nullopt; }
  bool SetWriteTimeout(std::uint32_t) override { return false; }
  // The bytes are in the file once written; syncing it to disk after every label would make a
  // long job wait on the disk.
  bool Flush() override { return true; }

 private:
  KernelHandle handle_;
};

}  // namespace

DeviceOpenResult OpenAppendFile(const std::string& path) {
  if (NamesADevice(path)) return DeviceOpenResult::Refused(OpenRefusal::kNotARegularFile);
  // Append access only, so nothing already in the file can be overwritten; others may read it
  // but not write while a job runs. A link is opened as itself and then refused, never followed.
  KernelHandle handle(CreateFileW(Widen(path).c_str(), FILE_APPEND_DATA | SYNCHRONIZE,
                                  FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!handle.valid()) {
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
    if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      return DeviceOpenResult::Refused(OpenRefusal::kNotARegularFile);
    }
    return DeviceOpenResult::Failed(static_cast<int>(error));
  }
  if (GetFileType(handle.get()) != FILE_TYPE_DISK)
    return DeviceOpenResult::Refused(OpenRefusal::kNotARegularFile);
  BY_HANDLE_FILE_INFORMATION information{};
  if (!GetFileInformationByHandle(handle.get(), &information))
    return DeviceOpenResult::Failed(static_cast<int>(GetLastError()));
  if (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
    return DeviceOpenResult::Refused(OpenRefusal::kLink);
  if (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
    return DeviceOpenResult::Refused(OpenRefusal::kNotARegularFile);
  return DeviceOpenResult::Opened(std::make_unique<FileDevice>(handle.release()));
}

}  // namespace pirell::platform::windows_io
