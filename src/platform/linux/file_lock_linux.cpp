#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <time.h>
#include <unistd.h>

#include "platform/file_lock.h"

namespace pirell::platform {
namespace {

// flock locks belong to the open file: two objects of one process that open the lock file each
// exclude each other just as two processes do.
class FlockLock : public FileLock {
 public:
  explicit FlockLock(int fd) : fd_(fd) {}
  ~FlockLock() override { ::close(fd_); }  // closing releases the lock
  FlockLock(const FlockLock&) = delete;
  FlockLock& operator=(const FlockLock&) = delete;

 private:
  int fd_;
};

std::uint64_t MonotonicMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
         static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
}

}  // namespace

FileLockResult LockFile(const std::string& path, std::uint32_t timeout_ms) {
  FileLockResult result;
  // Not through a link: the lock file is an ordinary file beside the one it guards.
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd < 0) {
    result.error = errno;
    return result;
  }
  constexpr std::uint32_t kPollMs = 10;
  const std::uint64_t deadline = MonotonicMs() + timeout_ms;
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      result.lock = std::make_unique<FlockLock>(fd);
      return result;
    }
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) {
      result.error = errno;
      break;
    }
    if (MonotonicMs() >= deadline) {
      result.timed_out = true;
      break;
    }
    timespec pause{0, static_cast<long>(kPollMs) * 1000000L};
    nanosleep(&pause, nullptr);
  }
  ::close(fd);
  return result;
}

}  // namespace pirell::platform
