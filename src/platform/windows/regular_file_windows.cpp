#include <windows.h>

#include <string>

#include "platform/regular_file.h"
#include "platform/windows/device_names.h"
#include "platform/windows/wide.h"

namespace pirell::platform {
namespace {

// Owns a file handle.
class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() {
    if (valid()) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE h_;
};

int LastError() {
  return static_cast<int>(GetLastError());
}

}  // namespace

RegularFileRead ReadRegularFile(const std::string& path, std::uint64_t max_bytes,
                                bool read_content) {
  RegularFileRead result;
  if (NamesADevice(path)) {
    result.refusal = RegularFileRefusal::kNotRegular;
    return result;
  }
  // Folders open too (backup semantics), so that they are told apart from missing files.
  Handle file(CreateFileW(Widen(path).c_str(), GENERIC_READ,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.valid()) {
    result.refusal = RegularFileRefusal::kCannotOpen;
    result.error = LastError();
    return result;
  }
  // Character devices (CON, NUL, COM1, ...) and pipes are no files on a disk.
  if (GetFileType(file.get()) != FILE_TYPE_DISK) {
    result.refusal = RegularFileRefusal::kNotRegular;
    return result;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(file.get(), &info)) {
    result.refusal = RegularFileRefusal::kNotRegular;
    result.error = LastError();
    return result;
  }
  result.identity = {info.dwVolumeSerialNumber,
                     (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
  result.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  if (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) {
    result.refusal = RegularFileRefusal::kNotRegular;
    return result;
  }
  if (result.size > max_bytes) {
    result.refusal = RegularFileRefusal::kTooLarge;
    return result;
  }
  if (!read_content) return result;

  std::string content;
  content.reserve(static_cast<std::size_t>(result.size));
  char buffer[65536];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(file.get(), buffer, sizeof buffer, &n, nullptr)) {
      result.refusal = RegularFileRefusal::kReadFailed;
      result.error = LastError();
      return result;
    }
    if (n == 0) break;
    if (content.size() + n > max_bytes) {
      result.refusal = RegularFileRefusal::kTooLarge;
      return result;
    }
    content.append(buffer, n);
  }
  result.bytes = std::move(content);
  return result;
}

}  // namespace pirell::platform
