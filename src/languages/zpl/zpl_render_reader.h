#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pirell::preview {

// Splits a ZPL II job, fed in pieces of any size, into commands: a prefix ("^" or "~"), a name
// of two characters and the parameters up to the next prefix. Carriage returns and line feeds
// are dropped, as the printer drops them. The data of a graphic field ("^GF" after its fourth
// comma) is handed on as it arrives rather than held. It holds at most one command: a longer one
// is skipped.
class ZplCommandReader {
 public:
  // The longest command taken; the driver's longest are texts and barcodes of a few hundred
  // bytes, its graphic fields are streamed.
  static constexpr std::size_t kMaxCommandBytes = 64 * 1024;

  class Handler {
   public:
    virtual ~Handler() = default;
    // One command: its prefix, its name (shorter only at the end of the job) and parameters, and
    // the byte offset of its prefix. For "^GF" the parameters stop before the data; answers
    // whether the data is wanted (OnGraphicData), for any other command it is not asked.
    virtual bool OnCommand(char prefix, std::string_view name, std::string_view parameters,
                           std::uint64_t offset) = 0;
    // Part of the data of the last "^GF", in order, and its end.
    virtual void OnGraphicData(std::string_view data) = 0;
    virtual void OnGraphicEnd() = 0;
    // Bytes before the first command, which the printer ignores; `offset` of the first of them.
    virtual void OnStray(std::uint64_t offset) = 0;
    // A command longer than kMaxCommandBytes, skipped up to the next prefix.
    virtual void OnOverlong(std::uint64_t offset) = 0;
  };

  explicit ZplCommandReader(Handler& handler) : handler_(handler) {}

  void Feed(std::string_view bytes);
  // The end of the job: the last command is complete.
  void Finish();

  // Bytes held between calls: the command being read.
  std::size_t HeldBytes() const { return command_.capacity(); }

 private:
  enum class State { kStart, kCommand, kGraphicData, kSkipping };

  void EndCommand();
  void StartCommand(char prefix);

  Handler& handler_;
  State state_ = State::kStart;
  std::string command_;  // prefix, name and parameters
  std::uint64_t offset_ = 0;
  std::uint64_t command_offset_ = 0;
  int graphic_commas_ = 0;
  bool stray_reported_ = false;
};

}  // namespace pirell::preview
