#include "rendering/label_image.h"

#include <optional>

#include "driver_object/errors.h"
#include "platform/files.h"
#include "rendering/base64.h"
#include "rendering/bmp_codec.h"

namespace pirell {
namespace {

bool IsPathSeparator(char c) {
  return c == '\\' || c == ':' || c == platform::PathDelimiter();
}

}  // namespace

TLabelImage::TLabelImage(const std::string& name) {
  std::size_t split = name.size();
  while (split > 0 && !IsPathSeparator(name[split - 1])) --split;
  if (split == 0) {
    name_ = name;
    return;
  }
  path_ = name.substr(0, split);
  name_ = name.substr(split);
  if (!platform::FileExists(name)) return;
  if (std::optional<std::string> data = platform::ReadWholeFile(name)) {
    try {
      SetBytes(*data);
    } catch (const Error&) {
      // A file that is not a usable picture prints as an empty one.
    }
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
