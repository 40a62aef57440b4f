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

// Most bytes of commands one request may hold: the whole job is built in memory before the port
// opens, inside the host's (32-bit) process. Ten thousand labels with a picture and a text in a
// chosen font take about 65 MB.
inline constexpr std::size_t kMaxJobBytes = std::size_t{128} * 1024 * 1024;

// The commands of one request, in the order they are written to the port.
class TCmdList {
 public:
  // Raises a LimitError, adding nothing, when the commands would exceed kMaxJobBytes.
  TPrinterCmd& Add(ByteString data, TCmdOptions action_after = coNone,
                   std::uint16_t delay_time = 0);

  int Count() const { return static_cast<int>(items_.size()); }
  TPrinterCmd& Items(int index) { return items_.at(static_cast<std::size_t>(index)); }
  const TPrinterCmd& Items(int index) const { return items_.at(static_cast<std::size_t>(index)); }
  void Clear() {
    items_.clear();
    bytes_ = 0;
  }
  // The bytes of all commands' data.
  std::size_t Bytes() const { return bytes_; }

  std::vector<TPrinterCmd>::const_iterator begin() const { return items_.begin(); }
  std::vector<TPrinterCmd>::const_iterator end() const { return items_.end(); }

 private:
  std::vector<TPrinterCmd> items_;
  std::size_t bytes_ = 0;
};

}  // namespace pirell
