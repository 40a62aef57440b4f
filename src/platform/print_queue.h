#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace pirell::platform {

// One job of raw printer data in a print queue. A job that is destroyed before Finish is
// cancelled, so a failed send leaves no half job to print.
class PrintJob {
 public:
  virtual ~PrintJob() = default;
  // Adds the bytes to the job. False with the server's reason when they cannot be sent.
  virtual bool Write(std::string_view bytes, std::string& reason) = 0;
  // Hands the job over for printing. False with the server's reason when it is not accepted.
  virtual bool Finish(std::string& reason) = 0;
};

// A print queue that exists and accepts jobs.
class PrintQueue {
 public:
  virtual ~PrintQueue() = default;
  // Starts a job named `title` whose data goes to the printer unchanged. Null with the server's
  // reason when the server refuses it.
  virtual std::unique_ptr<PrintJob> StartJob(const std::string& title, std::string& reason) = 0;
};

// The outcome of opening a print queue: the queue, or the server's reason why not.
struct PrintQueueOpenResult {
  std::unique_ptr<PrintQueue> queue;
  // The queue exists but takes no jobs now.
  bool not_accepting = false;
  std::string reason;
};

}  // namespace pirell::platform
