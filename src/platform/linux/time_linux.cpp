#include <errno.h>
#include <time.h>

#include "platform/time_source.h"

namespace pirell::platform {
namespace {

// Linux has no per-thread window message queue: there is nothing to dispatch, and waiting for a
// message is a plain sleep.
class LinuxTimeSource : public TimeSource {
 public:
  std::uint32_t TickCount() override {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const std::uint64_t ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                             static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
  }

  LocalTime Now() override {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm parts{};
    localtime_r(&ts.tv_sec, &parts);
    return LocalTime{parts.tm_year + 1900,
                     parts.tm_mon + 1,
                     parts.tm_mday,
                     parts.tm_hour,
                     parts.tm_min,
                     parts.tm_sec,
                     static_cast<int>(ts.tv_nsec / 1000000)};
  }

  void ProcessPendingMessages() override {}

  void WaitForMessages(std::uint32_t ms) override {
    timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    // A signal cuts the sleep short and leaves the rest in `ts`; any other failure (a value out
    // of range) would fail again at once, so it ends the wait.
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
  }
};

}  // namespace

TimeSource& SystemTimeSource() {
  static LinuxTimeSource source;
  return source;
}

}  // namespace pirell::platform
