#pragma once

#include <cstdint>

namespace pirell {

// Dispatches every message waiting in the calling thread's queue, so that the host's windows stay
// responsive while the driver waits for a printer. A failure raised while a message is handled
// does not stop the pumping.
void ProcessPendingMessages();

// Waits `ms` milliseconds while serving the calling thread's messages. The thread sleeps until a
// message arrives or the time is up, so a long pause costs no processor time.
void DelayWithMessages(std::uint32_t ms);

}  // namespace pirell
