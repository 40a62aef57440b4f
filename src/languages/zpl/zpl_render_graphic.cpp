#include "languages/zpl/zpl_render_graphic.h"

#include <algorithm>

namespace pirell::preview {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

void ZplGraphicDecoder::Start(MonoBitmap& label, std::int64_t x, std::int64_t y,
                              std::int64_t bytes_per_row, std::int64_t rows) {
  label_ = &label;
  x_ = x;
  y_ = y;
  bytes_per_row_ = std::max<std::int64_t>(bytes_per_row, 0);
  rows_ = bytes_per_row_ > 0 ? std::max<std::int64_t>(rows, 0) : 0;
  row_index_ = 0;
  nibble_ = 0;
  count_ = 0;
  started_data_ = false;
  skipping_ = false;
  row_.assign(static_cast<std::size_t>(bytes_per_row_), 0);
  previous_.assign(static_cast<std::size_t>(bytes_per_row_), 0);
  problems_ = Problems();
}

void ZplGraphicDecoder::EndRow() {
  if (row_index_ >= rows_) {
    problems_.too_much = true;
    skipping_ = true;
    return;
  }
  const std::int64_t y = y_ + row_index_;
  if (y >= 0 && y < label_->Height()) {
    for (std::int64_t i = 0; i < bytes_per_row_; ++i) {
      const std::uint8_t byte = row_[static_cast<std::size_t>(i)];
      if (byte == 0) continue;
      for (int bit = 0; bit < 8; ++bit) {
        const std::int64_t x = x_ + i * 8 + bit;
        if ((byte & (0x80 >> bit)) != 0 && x >= 0 && x < label_->Width())
          label_->SetBlack(static_cast<int>(x), static_cast<int>(y));
      }
    }
  }
  ++row_index_;
  previous_.swap(row_);
  std::fill(row_.begin(), row_.end(), 0);
  nibble_ = 0;
  if (row_index_ >= rows_) skipping_ = true;
}

void ZplGraphicDecoder::PutNibbles(std::uint8_t value, std::int64_t count) {
  const std::int64_t row_nibbles = bytes_per_row_ * 2;
  while (count > 0 && !skipping_) {
    const std::int64_t take = std::min(count, row_nibbles - nibble_);
    for (std::int64_t i = 0; i < take; ++i, ++nibble_) {
      std::uint8_t& byte = row_[static_cast<std::size_t>(nibble_ / 2)];
      byte = static_cast<std::uint8_t>(nibble_ % 2 == 0 ? (byte & 0x0F) | (value << 4)
                                                        : (byte & 0xF0) | value);
    }
    count -= take;
    if (nibble_ == row_nibbles) EndRow();
  }
}

void ZplGraphicDecoder::FillRow(std::uint8_t nibble) {
  PutNibbles(nibble, bytes_per_row_ * 2 - nibble_);
}

void ZplGraphicDecoder::Feed(std::string_view data) {
  if (label_ == nullptr) return;
  for (const char c : data) {
    if (!started_data_) {
      started_data_ = true;
      // Base64 data starts with its encoding's name between colons.
      if (c == ':' && row_index_ == 0) {
        problems_.other_encoding = true;
        skipping_ = true;
      }
    }
    if (skipping_) {
      if (!problems_.other_encoding && c != ' ') problems_.too_much = true;
      continue;
    }
    if (c >= 'G' && c <= 'Y') {
      count_ += c - 'G' + 1;
    } else if (c >= 'g' && c <= 'z') {
      count_ += (c - 'g' + 1) * 20;
    } else if (const int value = HexValue(c); value >= 0) {
      PutNibbles(static_cast<std::uint8_t>(value), std::max<std::int64_t>(count_, 1));
      count_ = 0;
    } else if (c == ',') {
      FillRow(0);
      count_ = 0;
    } else if (c == '!') {
      FillRow(0x0F);
      count_ = 0;
    } else if (c == ':') {
      // The rest of the row as in the row before.
      std::copy(previous_.begin() + nibble_ / 2, previous_.end(), row_.begin() + nibble_ / 2);
      nibble_ = bytes_per_row_ * 2;
      EndRow();
      count_ = 0;
    } else if (c != ' ') {
      problems_.bad_character = true;
    }
    // Counts past any row are as good as a row's worth.
    count_ = std::min(count_, bytes_per_row_ * 2 + 400);
  }
}

std::int64_t ZplGraphicDecoder::Finish() {
  if (label_ == nullptr) return 0;
  if (!skipping_ && nibble_ > 0) FillRow(0);
  const std::int64_t missing = problems_.other_encoding ? 0 : rows_ - row_index_;
  label_ = nullptr;
  return std::max<std::int64_t>(missing, 0);
}

}  // namespace pirell::preview
