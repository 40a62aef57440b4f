#pragma once

// Print queues of the CUPS print server through libcups.

#include <string>
#include <string_view>
#include <vector>

#include "platform/port_discovery.h"
#include "platform/print_queue.h"

namespace pirell::platform::linux_cups {

// A queue name split into its parts: "queue", "queue/instance", "queue@server" or
// "queue/instance@server"; the server may carry a port ("host:631").
struct QueueName {
  std::string queue;
  std::string instance;  // empty: the queue itself
  std::string server;    // empty: the server this machine prints to
};
QueueName SplitQueueName(std::string_view name);

// The queue `name` when the server knows it and it accepts jobs.
PrintQueueOpenResult OpenQueue(const std::string& name);

// The queues of the server this machine prints to.
std::vector<PrintQueueRecord> ListQueues();

}  // namespace pirell::platform::linux_cups
