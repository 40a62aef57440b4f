#pragma once

#include <cstddef>

#include "driver_object/result_codes.h"
#include "ports/port_manager.h"
#include "rendering/cmd_list.h"

namespace pirell {

// Writes printer commands to an open port, one after the other, however they are produced:
// each with the generator's suffix (unless marked coNoSuffix); consecutive commands that need no
// flush and no pause go out in one write of up to kWriteChunk bytes (the bytes on the wire are
// the same, a job of many labels costs far fewer device calls); after a command marked
// coFlushBuffer the port is flushed, after one with a delay the thread waits that long serving
// its messages. A failed write stops the writer: it writes nothing more.
class TCommandWriter {
 public:
  static constexpr std::size_t kWriteChunk = 64 * 1024;

  TCommandWriter(TPortManager& port, const ByteString& suffix) : port_(port), suffix_(suffix) {}

  // 0, or the code of the failed write.
  ResultCode Write(const TPrinterCmd& command);
  ResultCode WriteAll(const TCmdList& commands);
  // Writes the commands still held back; call after the last one.
  ResultCode Finish();
  // True when every command given so far went to the port.
  bool AllWritten() const { return pending_.empty(); }

 private:
  ResultCode WritePending();

  TPortManager& port_;
  const ByteString& suffix_;
  ByteString pending_;
  ResultCode code_ = rc::Ok;
};

}  // namespace pirell
