#include "label_printer/command_writer.h"

#include "ports/message_pump.h"

namespace pirell {

ResultCode TCommandWriter::WritePending() {
  if (code_ == rc::Ok && !pending_.empty()) code_ = port_.WriteToPort(pending_);
  pending_.clear();
  return code_;
}

ResultCode TCommandWriter::Write(const TPrinterCmd& command) {
  if (code_ != rc::Ok) return code_;
  pending_ += command.Data;
  if (command.ActionAfter != coNoSuffix) pending_ += suffix_;
  if (command.ActionAfter != coFlushBuffer && command.DelayTime == 0 &&
      pending_.size() < kWriteChunk)
    return code_;
  if (WritePending() != rc::Ok) return code_;
  if (command.ActionAfter == coFlushBuffer) port_.FlushBuffer();
  if (command.DelayTime > 0) DelayWithMessages(command.DelayTime);
  return code_;
}

ResultCode TCommandWriter::WriteAll(const TCmdList& commands) {
  for (const TPrinterCmd& command : commands)
    if (Write(command) != rc::Ok) break;
  return code_;
}

ResultCode TCommandWriter::Finish() {
  return WritePending();
}

}  // namespace pirell
