#include <windows.h>

#include "platform/file_lock.h"
#include "platform/windows/wide.h"

namespace pirell::platform {
namespace {

// A byte-range lock belongs to the handle: two objects of one process that open the lock file
// each exclude each other just as two processes do.
class RangeLock : public FileLock {
 public:
  explicit RangeLock(HANDLE handle) : handle_(handle) {}
  ~RangeLock() override {
    OVERLAPPED range{};
    UnlockFileEx(handle_, 0, 1, 0, &range);
    CloseHandle(handle_);
  }
  RangeLock(const RangeLock&) = delete;
  RangeLock& operator=(const RangeLock&) = delete;

 private:
  HANDLE handle_;
};

}  // namespace

FileLockResult LockFile(const std::string& path, std::uint32_t timeout_ms) {
  FileLockResult result;
  const HANDLE handle = CreateFileW(Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    result.error = static_cast<int>(GetLastError());
    return result;
  }
  constexpr DWORD kPollMs = 10;
  const DWORD start = GetTickCount();
  for (;;) {
    OVERLAPPED range{};
    if (LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &range)) {
      result.lock = std::make_unique<RangeLock>(handle);
      return result;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING) {
      result.error = static_cast<int>(error);
      break;
    }
    // Elapsed time in unsigned 32-bit arithmetic stays right when the tick counter wraps.
    if (GetTickCount() - start >= timeout_ms) {
      result.timed_out = true;
      break;
    }
    Sleep(kPollMs);
  }
  CloseHandle(handle);
  return result;
}

}  // namespace pirell::platform
