#include "platform/linux/fd_device.h"

#include <errno.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>

namespace pirell::platform::linux_devices {
namespace {

// How long a write may wait for the device until SetWriteTimeout says otherwise.
constexpr std::uint32_t kDefaultWriteTimeoutMs = 20000;
// Retry step for a device that says it is ready and then refuses the bytes.
constexpr std::uint32_t kRefusedRetryMs = 10;

// Errors after which a connection carries nothing more.
bool ConnectionLost(int error) {
  switch (error) {
    case EPIPE:
    case ECONNRESET:
    case ECONNABORTED:
    case ENOTCONN:
    case ETIMEDOUT:
    case EHOSTUNREACH:
    case ENETUNREACH:
    case ENETDOWN:
      return true;
    default:
      return false;
  }
}

}  // namespace

std::uint64_t MonotonicMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
         static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
}

void SleepMs(std::uint32_t ms) {
  timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
  while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

FdDevice::FdDevice(int fd, FdKind kind)
    : fd_(fd), kind_(kind), write_timeout_ms_(kDefaultWriteTimeoutMs) {}

FdDevice::~FdDevice() {
  ::close(fd_);
}

DeviceWriteResult FdDevice::Write(std::string_view bytes) {
  if (bytes.empty()) return {};
  const std::uint64_t deadline = MonotonicMs() + write_timeout_ms_;
  bool ready_but_refused = false;
  for (;;) {
    const ssize_t n = kind_ == FdKind::kSocket
                          ? ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL)
                          : ::write(fd_, bytes.data(), bytes.size());
    if (n >= 0) return {true, static_cast<std::size_t>(n), 0, false};
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) {
      const int error = errno;
      return {false, 0, error, kind_ == FdKind::kSocket && ConnectionLost(error)};
    }
    const std::uint64_t now = MonotonicMs();
    if (now >= deadline) return {};
    const auto remaining = static_cast<std::uint32_t>(deadline - now);
    if (ready_but_refused) {
      // Drivers without a poll operation always look writable.
      SleepMs(std::min(remaining, kRefusedRetryMs));
      continue;
    }
    pollfd waiting{fd_, POLLOUT, 0};
    const int ready = ::poll(&waiting, 1, static_cast<int>(remaining));
    if (ready < 0 && errno != EINTR) {
      const int error = errno;
      return {false, 0, error, false};
    }
    ready_but_refused = ready > 0;
  }
}

bool FdDevice::SetWriteTimeout(std::uint32_t ms) {
  write_timeout_ms_ = ms;
  return true;
}

}  // namespace pirell::platform::linux_devices
