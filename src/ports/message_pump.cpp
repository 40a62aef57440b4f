#include "ports/message_pump.h"

#include "platform/time_source.h"

namespace pirell {

void ProcessPendingMessages() {
  // Each failed pass has removed the message it was handling, so repeating drains the queue.
  for (;;) {
    try {
      platform::Time().ProcessPendingMessages();
      return;
    } catch (...) {
    }
  }
}

void DelayWithMessages(std::uint32_t ms) {
  platform::TimeSource& clock = platform::Time();
  const std::uint32_t start = clock.TickCount();
  // Elapsed time in unsigned 32-bit arithmetic stays right when the tick counter wraps.
  auto elapsed = [&] { return static_cast<std::uint32_t>(clock.TickCount() - start); };
  while (elapsed() < ms) {
    ProcessPendingMessages();
    const std::uint32_t so_far = elapsed();
    if (so_far >= ms) break;
    clock.WaitForMessages(ms - so_far);
  }
}

}  // namespace pirell
