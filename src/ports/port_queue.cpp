#include "ports/port_queue.h"

#include "ports/port_open_failure.h"

namespace pirell {

TPortQueue::TPortQueue(const std::string& PortName, platform::DeviceIo& device_io)
    : FDeviceIo(device_io), FPortName(PortName) {}

// A job that was never handed over is cancelled by its destruction.
TPortQueue::~TPortQueue() = default;

ResultCode TPortQueue::OpenPort() {
  FLastErrorDescription.clear();
  if (FQueue) return rc::Ok;
  if (FPortName.empty()) {
    FLastErrorDescription = PortDetail(StringId::PortBadQueueName, "");
    return rc::PortUnavailable;
  }
  platform::PrintQueueOpenResult opened = FDeviceIo.OpenPrintQueue(FPortName);
  if (!opened.queue) {
    FLastErrorDescription =
        opened.not_accepting
            ? PortDetail(StringId::PortQueueNotAccepting, FPortName)
            : PortDetail(StringId::PortQueueNotFound, FPortName + ": " + opened.reason);
    return rc::Unknown;
  }
  FQueue = std::move(opened.queue);
  return rc::Ok;
}

ResultCode TPortQueue::WriteToPort(const std::string& Data) {
  FLastErrorDescription.clear();
  if (!FQueue) return rc::PortUnavailable;
  std::string reason;
  if (!FJob) {
    FJob = FQueue->StartJob(std::string(LoadModuleString(StringId::PortQueueJobTitle)), reason);
    if (!FJob) {
      FLastErrorDescription = PortDetail(StringId::PortQueueJobFailed, reason);
      return rc::Unknown;
    }
  }
  if (!FJob->Write(Data, reason)) {
    FJob.reset();
    FLastErrorDescription = PortDetail(StringId::PortQueueJobFailed, reason);
    return rc::Unknown;
  }
  return rc::Ok;
}

ResultCode TPortQueue::ClosePort() {
  TBasePort::ClosePort();
  ResultCode code = rc::Ok;
  if (FJob) {
    std::string reason;
    if (!FJob->Finish(reason)) {
      FLastErrorDescription = PortDetail(StringId::PortQueueJobFailed, reason);
      code = rc::Unknown;
    }
    FJob.reset();
  }
  FQueue.reset();
  return code;
}

}  // namespace pirell
