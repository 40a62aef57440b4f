#include "languages/zpl/zpl_render_reader.h"

namespace pirell::preview {
namespace {

bool IsPrefix(char c) {
  return c == '^' || c == '~';
}

bool IsGraphicField(std::string_view command) {
  return command.size() >= 3 && command[0] == '^' && command[1] == 'G' && command[2] == 'F';
}

}  // namespace

void ZplCommandReader::StartCommand(char prefix) {
  command_.clear();
  command_.push_back(prefix);
  command_offset_ = offset_;
  graphic_commas_ = 0;
  state_ = State::kCommand;
}

void ZplCommandReader::EndCommand() {
  if (state_ == State::kCommand && !command_.empty()) {
    const std::string_view command = command_;
    const std::string_view name = command.substr(1, 2);
    const std::string_view parameters = command.size() > 3 ? command.substr(3) : std::string_view();
    handler_.OnCommand(command.front(), name, parameters, command_offset_);
  } else if (state_ == State::kGraphicData) {
    handler_.OnGraphicEnd();
  }
  command_.clear();
}

void ZplCommandReader::Feed(std::string_view bytes) {
  while (!bytes.empty()) {
    if (state_ == State::kGraphicData) {
      // The data runs to the next prefix, handed on in pieces without line ends.
      std::size_t end = 0;
      while (end < bytes.size() && !IsPrefix(bytes[end])) ++end;
      std::size_t start = 0;
      for (std::size_t i = 0; i <= end; ++i) {
        if (i == end || bytes[i] == '\r' || bytes[i] == '\n') {
          if (i > start) handler_.OnGraphicData(bytes.substr(start, i - start));
          start = i + 1;
        }
      }
      offset_ += end;
      bytes.remove_prefix(end);
      if (bytes.empty()) return;
    }
    const char byte = bytes.front();
    bytes.remove_prefix(1);
    if (IsPrefix(byte)) {
      EndCommand();
      StartCommand(byte);
      ++offset_;
      continue;
    }
    const std::uint64_t at = offset_++;
    if (byte == '\r' || byte == '\n') continue;
    switch (state_) {
      case State::kStart:
        if (!stray_reported_ && byte != ' ' && byte != '\t') {
          stray_reported_ = true;
          handler_.OnStray(at);
        }
        break;
      case State::kSkipping:
        break;
      case State::kCommand:
        if (command_.size() >= kMaxCommandBytes) {
          handler_.OnOverlong(command_offset_);
          command_.clear();
          command_.shrink_to_fit();
          state_ = State::kSkipping;
          break;
        }
        command_.push_back(byte);
        if (byte == ',' && IsGraphicField(command_) && ++graphic_commas_ == 4) {
          command_.pop_back();
          const std::string_view command = command_;
          const bool wanted = handler_.OnCommand(command[0], command.substr(1, 2),
                                                 command.substr(3), command_offset_);
          command_.clear();
          state_ = wanted ? State::kGraphicData : State::kSkipping;
        }
        break;
      case State::kGraphicData:
        break;
    }
  }
}

void ZplCommandReader::Finish() {
  EndCommand();
  state_ = State::kStart;
  graphic_commas_ = 0;
}

}  // namespace pirell::preview
