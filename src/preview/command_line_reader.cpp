#include "preview/command_line_reader.h"

#include <algorithm>

namespace pirell::preview {

bool CommandLineReader::InRawDataCommand() const {
  const std::string_view command = syntax_.raw_data_command;
  return line_.size() > command.size() &&
         std::string_view(line_).substr(0, command.size()) == command;
}

void CommandLineReader::EndLine() {
  while (!line_.empty() && line_.back() == '\r') line_.pop_back();
  raster_left_ = handler_.OnCommand(line_, line_offset_);
  line_.clear();
  header_commas_ = 0;
}

void CommandLineReader::Feed(std::string_view bytes) {
  while (!bytes.empty()) {
    if (raster_left_ > 0) {
      const std::size_t take =
          static_cast<std::size_t>(std::min<std::uint64_t>(raster_left_, bytes.size()));
      handler_.OnRaster(bytes.substr(0, take));
      raster_left_ -= take;
      offset_ += take;
      bytes.remove_prefix(take);
      continue;
    }
    if (line_.empty() && !skipping_) line_offset_ = offset_;
    const char byte = bytes.front();
    bytes.remove_prefix(1);
    ++offset_;
    if (byte == '\n') {
      if (skipping_)
        skipping_ = false;
      else
        EndLine();
      continue;
    }
    if (skipping_) continue;
    if (line_.size() >= kMaxLineBytes) {
      handler_.OnOverlongLine(line_offset_);
      line_.clear();
      line_.shrink_to_fit();
      header_commas_ = 0;
      skipping_ = true;
      continue;
    }
    line_.push_back(byte);
    // An immediate command is run as soon as its three bytes are in.
    if (syntax_.immediate_commands && line_.size() == 3 && line_[0] == '\x1B' && line_[1] == '!') {
      EndLine();
      continue;
    }
    // The raw data follows on the same line.
    if (byte == ',' && InRawDataCommand() && ++header_commas_ == syntax_.raw_data_comma) {
      if (!syntax_.command_keeps_comma) line_.pop_back();
      EndLine();
    }
  }
}

void CommandLineReader::Finish() {
  if (raster_left_ > 0) {
    handler_.OnRasterCut(raster_left_);
    raster_left_ = 0;
  }
  if (!line_.empty() && !skipping_) handler_.OnUnfinishedLine(line_, line_offset_);
  line_.clear();
  skipping_ = false;
  header_commas_ = 0;
}

}  // namespace pirell::preview
