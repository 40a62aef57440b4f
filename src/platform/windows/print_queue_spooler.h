#pragma once

#include <vector>

#include "platform/port_discovery.h"

namespace pirell::platform::windows_spooler {

// The printers of the spooler: local ones and the connections to shared ones.
std::vector<PrintQueueRecord> ListQueues();

}  // namespace pirell::platform::windows_spooler
