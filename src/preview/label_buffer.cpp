#include "preview/label_buffer.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/codepage.h"

namespace pirell::preview {
namespace {

// The driver's default label, for a job that does not give its size.
constexpr double kDefaultWidthMM = 58;
constexpr double kDefaultLengthMM = 40;

int DotsOf(double mm, int dpi) {
  return static_cast<int>(std::lround(mm * dpi / 25.4));
}

std::size_t BytesOf(const MonoBitmap& bitmap) {
  return static_cast<std::size_t>(bitmap.Stride()) * static_cast<std::size_t>(bitmap.Height());
}

constexpr std::size_t kExcerptBytes = 40;

}  // namespace

std::string Excerpt(std::string_view line) {
  std::string bytes;
  for (std::size_t i = 0; i < line.size() && i < kExcerptBytes; ++i) {
    const auto byte = static_cast<unsigned char>(line[i]);
    if (byte < 0x20 || byte == 0x7F || byte == 0x98) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      bytes += "\\x";
      bytes += kHex[byte >> 4];
      bytes += kHex[byte & 0x0F];
    } else {
      bytes += static_cast<char>(byte);
    }
  }
  std::string text = platform::Cp1251ToUtf8(bytes);
  if (line.size() > kExcerptBytes) text += "...";
  return text;
}

LabelBuffer::LabelBuffer(RenderSink& sink, const RenderOptions& options, std::string size_commands)
    : sink_(sink),
      size_commands_(std::move(size_commands)),
      max_dots_(MaxLabelDots(options)),
      width_(std::min(DotsOf(kDefaultWidthMM, options.dpi), max_dots_)),
      length_(std::min(DotsOf(kDefaultLengthMM, options.dpi), max_dots_)) {}

void LabelBuffer::Make(int width, int length) {
  label_.Resize(width, length);
  out_ = MonoBitmap();
  made_ = true;
  unprinted_ = false;
}

void LabelBuffer::SetSize(int width, int length) {
  width_ = width;
  length_ = length;
  size_given_ = true;
  if (made_) Make(width_, length_);
}

MonoBitmap& LabelBuffer::Label(std::uint64_t offset) {
  if (!made_) {
    if (!size_given_) {
      Warn(offset, "no label size (" + size_commands_ + ") before the first label: " +
                       std::to_string(width_) + " x " + std::to_string(length_) + " dots taken");
    }
    Make(width_, length_);
  }
  return label_;
}

void LabelBuffer::NoteDrawn(bool inside, std::uint64_t offset, const std::string& excerpt) {
  if (!unprinted_) unprinted_offset_ = offset;
  unprinted_ = true;
  if (!inside) Warn(offset, excerpt + ": partly off the label, cut at its edge");
}

void LabelBuffer::Clear(std::uint64_t offset) {
  Label(offset).FillWhite();
  unprinted_ = false;
}

void LabelBuffer::Printed(const MonoBitmap& picture, std::uint64_t copies) {
  sink_.OnLabel(picture, copies);
  ++summary_.labels;
  summary_.copies += copies;
  unprinted_ = false;
}

void LabelBuffer::Warn(std::uint64_t offset, const std::string& text) {
  ++summary_.warnings;
  sink_.OnWarning(offset, text);
}

RenderSummary LabelBuffer::Finish(std::string_view print_command) {
  if (unprinted_) {
    Warn(unprinted_offset_, "the job ends with a label drawn but never printed (no \"" +
                                std::string(print_command) + "\")");
    unprinted_ = false;
  }
  return summary_;
}

std::size_t LabelBuffer::HeldBytes() const {
  return BytesOf(label_) + BytesOf(out_);
}

}  // namespace pirell::preview
