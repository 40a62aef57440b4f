#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pirell::preview {

// Splits a TSPL job, fed in pieces of any size, into command lines, the raw bitmap data that
// follows the fifth comma of a "BITMAP" command, and the immediate commands (ESC "!" and one
// character) that need no line end. It holds at most one command line: a longer one is skipped.
class TsplCommandReader {
 public:
  // The longest command line taken; TSPL's string expressions are at most 2048 bytes.
  static constexpr std::size_t kMaxLineBytes = 64 * 1024;

  class Handler {
   public:
    virtual ~Handler() = default;
    // One command without its line end (carriage returns before the line feed are dropped) and
    // the byte offset of its first byte. Answers how many raw bytes follow it (the data of a
    // "BITMAP"), 0 for any other command.
    virtual std::uint64_t OnCommand(std::string_view line, std::uint64_t offset) = 0;
    // Part of the raw bytes a command announced, in order.
    virtual void OnRaster(std::string_view bytes) = 0;
    // The job ended `missing` bytes before the raw bytes were complete.
    virtual void OnRasterCut(std::uint64_t missing) = 0;
    // A line longer than kMaxLineBytes, skipped up to its line feed.
    virtual void OnOverlongLine(std::uint64_t offset) = 0;
    // The job ends with a command that no line end completes; the printer does not run it.
    virtual void OnUnfinishedLine(std::string_view line, std::uint64_t offset) = 0;
  };

  explicit TsplCommandReader(Handler& handler) : handler_(handler) {}

  void Feed(std::string_view bytes);
  void Finish();

  // Bytes held between calls: the line being read.
  std::size_t HeldBytes() const { return line_.capacity(); }

 private:
  void EndLine();
  bool InBitmapHeader() const;

  Handler& handler_;
  std::string line_;
  std::uint64_t offset_ = 0;       // of the next byte fed
  std::uint64_t line_offset_ = 0;  // of the line being read
  std::uint64_t raster_left_ = 0;
  bool skipping_ = false;  // inside an overlong line
  int header_commas_ = 0;
};

}  // namespace pirell::preview
