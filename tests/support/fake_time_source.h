#pragma once

#include <cstdint>

#include "platform/time_source.h"

namespace pirell::testing {

// A clock that stands still until the test moves it, and a message queue that is always empty.
// Waiting advances the clock instead of taking real time.
class FakeTimeSource : public platform::TimeSource {
 public:
  std::uint32_t TickCount() override { return ticks; }
  platform::LocalTime Now() override { return now; }
  void ProcessPendingMessages() override { ++processed_message_calls; }
  void WaitForMessages(std::uint32_t ms) override { ticks += ms; }

  std::uint32_t ticks = 0;
  platform::LocalTime now{2015, 3, 4, 9, 5, 7, 42};
  int processed_message_calls = 0;
};

}  // namespace pirell::testing
