#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/time_source.h"

namespace pirell::testing {

// A millisecond clock that moves only when told to, with a message queue whose messages
// "arrive" at given ticks. Install it with platform::ScopedTimeSource.
class ScriptedClock : public platform::TimeSource {
 public:
  explicit ScriptedClock(std::uint32_t start = 0) : tick_(start) {}

  std::uint32_t TickCount() override { return tick_; }
  platform::LocalTime Now() override { return {}; }
  // Serves the messages that have arrived by now.
  void ProcessPendingMessages() override;
  // Moves the clock to the next message's arrival or by `ms`, whichever is sooner.
  void WaitForMessages(std::uint32_t ms) override;

  void Advance(std::uint32_t ms) { tick_ += ms; }
  // A message that arrives `after_ms` from now.
  void PostMessageAfter(std::uint32_t after_ms);

  // Runs at the start of every ProcessPendingMessages call (it may throw, as a message handler
  // can).
  std::function<void()> on_pump;

  int pump_calls = 0;
  int wait_calls = 0;
  int messages_served = 0;
  // The ticks at which messages were served.
  std::vector<std::uint32_t> served_at;

 private:
  struct Message {
    std::uint32_t posted_at;
    std::uint32_t after_ms;
    // Milliseconds until it arrives; 0 once it has.
    std::uint32_t DueIn(std::uint32_t now) const {
      const std::uint32_t waited = now - posted_at;
      return waited >= after_ms ? 0 : after_ms - waited;
    }
  };

  std::uint32_t tick_;
  std::vector<Message> queue_;
};

}  // namespace pirell::testing
