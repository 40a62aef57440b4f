#pragma once

#include <memory>
#include <string>

#include "platform/device_io.h"
#include "platform/print_queue.h"
#include "ports/base_port.h"

namespace pirell {

// A print queue of the system's print server, given the job as raw data. Opening checks that
// the queue exists and accepts jobs; the job starts with the first write and is handed over when
// the port is closed, so checking the port prints nothing. A failed write cancels the job.
class TPortQueue : public TBasePort {
 public:
  TPortQueue(const std::string& PortName, platform::DeviceIo& device_io);
  ~TPortQueue() override;

  // 0; 1001 when the queue does not exist or takes no jobs; 1011 for an empty name.
  ResultCode OpenPort() override;
  // 0; 1001 with the server's reason when the job cannot be started or written; 1011 when the
  // queue is not open.
  ResultCode WriteToPort(const std::string& Data) override;
  // Hands the job over: 0, or 1001 with the server's reason when it is not taken.
  ResultCode ClosePort() override;

 private:
  platform::DeviceIo& FDeviceIo;
  std::string FPortName;
  std::unique_ptr<platform::PrintQueue> FQueue;
  std::unique_ptr<platform::PrintJob> FJob;
};

}  // namespace pirell
