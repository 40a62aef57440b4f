#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace pirell::platform {

// An exclusive lock on a lock file, shared by every process and every driver object that changes
// the file it guards: only one holder at a time. The lock goes with the object, and with its
// process however that ends (the system releases it), so a killed holder never blocks others.
class FileLock {
 public:
  virtual ~FileLock() = default;
};

struct FileLockResult {
  std::unique_ptr<FileLock> lock;  // null when the lock could not be had
  bool timed_out = false;          // another holder kept it for the whole wait
  int error = 0;                   // otherwise the system's error code for the lock file
};

// Takes the lock of the lock file `path`, creating the file when it is missing (it is never
// removed: a lock file removed while another holder waits would give two holders). Waits at most
// `timeout_ms` for a holder to let go, without serving window messages.
FileLockResult LockFile(const std::string& path, std::uint32_t timeout_ms);

}  // namespace pirell::platform
