#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pirell {

// Bytes sent to the printer: windows-1251 text or raw raster data, any byte value allowed.
using ByteString = std::string;

// What the port writer does after sending a command.
enum TCmdOptions : std::uint8_t {
  coNone = 0,
  coFlushBuffer = 1,  // flush the port after writing the command
  coNoSuffix = 2,     // write the data without the generator's command suffix
};

// One printer command as it goes to the port, without its line end.
struct TPrinterCmd {
  ByteString Data;
  TCmdOptions ActionAfter = coNone;
  std::uint16_t DelayTime = 0;  // milliseconds to wait before the next command
};

// Most memory the commands of one list may take, each counted as its data and the command itself
// (kCommandOverhead). The driver writes a print job label by label, so its list holds the job
// header or one label: the bound only stops a single enormous label (or printer set-up) inside
// the host's (32-bit) process. A label with a picture and a text in a chosen font takes 7 KB.
inline constexpr std::size_t kMaxCommandListBytes = std::size_t{64} * 1024 * 1024;
inline constexpr std::size_t kCommandOverhead = sizeof(TPrinterCmd);

// The commands of a request, in the order they are written to the port.
class TCmdList {
 public:
  // Raises a LimitError, adding nothing, when the list would take more than
  // kMaxCommandListBytes.
  TPrinterCmd& Add(ByteString data, TCmdOptions action_after = coNone,
                   std::uint16_t delay_time = 0);

  int Count() const { return static_cast<int>(items_.size()); }
  TPrinterCmd& Items(int index) { return items_.at(static_cast<std::size_t>(index)); }
  const TPrinterCmd& Items(int index) const { return items_.at(static_cast<std::size_t>(index)); }
  // Keeps the room of the items, so that a list refilled for every label stops growing.
  void Clear() {
    items_.clear();
    bytes_ = 0;
  }
  // The memory the commands take as counted against kMaxCommandListBytes.
  std::size_t Bytes() const { return bytes_; }

  std::vector<TPrinterCmd>::const_iterator begin() const { return items_.begin(); }
  std::vector<TPrinterCmd>::const_iterator end() const { return items_.end(); }

 private:
  std::vector<TPrinterCmd> items_;
  std::size_t bytes_ = 0;
};

}  // namespace pirell
