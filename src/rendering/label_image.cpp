#include "rendering/label_image.h"

#include "common/errors.h"
#include "platform/files.h"
#include "platform/regular_file.h"
#include "rendering/base64.h"
#include "rendering/bmp_codec.h"

namespace pirell {
namespace {

bool IsPathSeparator(char c) {
  return c == '\\' || c == ':' || c == platform::PathDelimiter();
}

}  // namespace

std::size_t FileNameStart(std::string_view reference) {
  std::size_t start = reference.size();
  while (start > 0 && !IsPathSeparator(reference[start - 1])) --start;
  return start;
}

TLabelImage::TLabelImage(const std::string& name) {
  const std::size_t split = FileNameStart(name);
  if (split == 0) {
    name_ = name;
    return;
  }
  path_ = name.substr(0, split);
  name_ = name.substr(split);
  const platform::RegularFileRead read =
      platform::ReadRegularFile(name, kMaxPictureFileBytes, true);
  if (!read.bytes) return;
  try {
    SetBytes(*read.bytes);
  } catch (const Error&) {
    // A file that is not a usable picture prints as an empty one.
  }
}

TLabelImage::TLabelImage(const std::string& name, std::string_view data, const std::string& path)
    : name_(name), path_(path) {
  SetBytes(data);
}

std::string TLabelImage::Bytes() const {
  return EncodeBmp(bitmap_);
}

void TLabelImage::SetBytes(std::string_view data) {
  bitmap_ = DecodeBmp(data);
}

void TLabelImage::GetBmpFromString(std::string_view base64) {
  SetBytes(Base64Decode(base64));
}

}  // namespace pirell
