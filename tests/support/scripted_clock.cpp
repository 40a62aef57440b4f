#include "support/scripted_clock.h"

#include <algorithm>

namespace pirell::testing {

void ScriptedClock::PostMessageAfter(std::uint32_t after_ms) {
  queue_.push_back(Message{tick_, after_ms});
}

void ScriptedClock::ProcessPendingMessages() {
  ++pump_calls;
  if (on_pump) on_pump();
  const auto arrived = [this](const Message& m) { return m.DueIn(tick_) == 0; };
  for (const Message& m : queue_) {
    if (!arrived(m)) continue;
    ++messages_served;
    served_at.push_back(tick_);
  }
  std::erase_if(queue_, arrived);
}

void ScriptedClock::WaitForMessages(std::uint32_t ms) {
  ++wait_calls;
  std::uint32_t step = ms;
  for (const Message& m : queue_) step = std::min(step, m.DueIn(tick_));
  tick_ += step;
}

}  // namespace pirell::testing
