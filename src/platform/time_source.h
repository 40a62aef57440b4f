#pragma once

#include <cstdint>

namespace pirell::platform {

// A local calendar time with milliseconds.
struct LocalTime {
  int year = 0, month = 0, day = 0;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// Time and the calling thread's message loop. Everything that waits or measures time goes
// through the current source so that tests can run a fake clock that takes no real time.
class TimeSource {
 public:
  virtual ~TimeSource() = default;
  // Milliseconds since an arbitrary start; 32 bits, wraps.
  virtual std::uint32_t TickCount() = 0;
  virtual LocalTime Now() = 0;
  // Dispatches every message waiting in the calling thread's queue.
  virtual void ProcessPendingMessages() = 0;
  // Blocks until a message arrives for the calling thread or `ms` milliseconds pass, whichever
  // comes first, without dispatching it.
  virtual void WaitForMessages(std::uint32_t ms) = 0;
};

// The system's source: the tick counter, the local clock and the thread's message queue.
TimeSource& SystemTimeSource();

// The source in force: the system's unless a test installed another.
TimeSource& Time();

// Installs `source` for the lifetime of this object (tests only).
class ScopedTimeSource {
 public:
  explicit ScopedTimeSource(TimeSource& source);
  ~ScopedTimeSource();
  ScopedTimeSource(const ScopedTimeSource&) = delete;
  ScopedTimeSource& operator=(const ScopedTimeSource&) = delete;

 private:
  TimeSource* previous_;
};

}  // namespace pirell::platform
