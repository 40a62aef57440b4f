#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pirell::preview {

// How a printer language's jobs fall into commands: lines, and the raw data of one command that
// follows a given comma of its line (EPL2's "GW" after the fourth, TSPL's "BITMAP" after the
// fifth), and, in TSPL, immediate commands (ESC "!" and a character) that need no line end.
struct CommandLineSyntax {
  std::string_view raw_data_command;
  int raw_data_comma = 0;
  bool command_keeps_comma = false;  // the command handed over ends with that comma
  bool immediate_commands = false;
};

// Splits a job, fed in pieces of any size, into command lines and the raw data that follows the
// command that announces it. It holds at most one command line: a longer one is skipped.
class CommandLineReader {
 public:
  // The longest command line taken; the driver's longest are barcode and text commands of a few
  // hundred bytes.
  static constexpr std::size_t kMaxLineBytes = 64 * 1024;

  class Handler {
   public:
    virtual ~Handler() = default;
    // One command without its line end (carriage returns before the line feed are dropped) and
    // the byte offset of its first byte. Answers how many raw bytes follow the command, 0 for a
    // command without raw data.
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

  CommandLineReader(Handler& handler, const CommandLineSyntax& syntax)
      : handler_(handler), syntax_(syntax) {}

  void Feed(std::string_view bytes);
  // The end of the job.
  void Finish();

  // Bytes held between calls: the line being read.
  std::size_t HeldBytes() const { return line_.capacity(); }

 private:
  void EndLine();
  bool InRawDataCommand() const;

  Handler& handler_;
  const CommandLineSyntax syntax_;
  std::string line_;
  std::uint64_t offset_ = 0;       // of the next byte fed
  std::uint64_t line_offset_ = 0;  // of the line being read
  std::uint64_t raster_left_ = 0;
  bool skipping_ = false;  // inside an overlong line
  int header_commas_ = 0;
};

}  // namespace pirell::preview
