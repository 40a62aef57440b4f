#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "rendering/bmp_codec.h"
#include "rendering/picture.h"

namespace pirell {

// The largest picture file read: the largest picture the BMP reader takes (kMaxBmpPixels at
// 32 bits per pixel) with room for its headers and palette.
inline constexpr std::uint64_t kMaxPictureFileBytes =
    4 * static_cast<std::uint64_t>(kMaxBmpPixels) + std::uint64_t{64} * 1024;

// Where the file name of a picture reference starts: after its last '\', ':' or (where paths use
// it) '/'; 0 for a bare file name.
std::size_t FileNameStart(std::string_view reference);

// One named picture of a label: embedded in the template or loaded from a file that an Image
// field names.
class TLabelImage {
 public:
  // A picture from a file reference. The reference is split after its last '\', ':' (and, where
  // paths use it, '/') into Path and Name. A reference with a directory part is loaded when it
  // names a regular file of at most kMaxPictureFileBytes; anything else (no such file, a folder,
  // a device, a pipe, a larger file, a file that is not a readable BMP) leaves the picture empty,
  // silently. A bare file name is not loaded.
  explicit TLabelImage(const std::string& name);
  // A picture from the bytes of a BMP file (see SetBytes).
  TLabelImage(const std::string& name, std::string_view data, const std::string& path);

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name) { name_ = name; }
  // The directory part with its trailing separator, or empty.
  const std::string& Path() const { return path_; }
  void SetPath(const std::string& path) { path_ = path; }
  std::string FileName() const { return path_ + name_; }

  const Picture& Bitmap() const { return bitmap_; }
  Picture& Bitmap() { return bitmap_; }

  // The picture as a BMP file.
  std::string Bytes() const;
  // Decodes a BMP file into the picture; no bytes give an empty picture. Raises an Error for
  // bytes that are not a BMP file, leaving the picture as it was.
  void SetBytes(std::string_view data);
  // Decodes base64 text (characters outside the alphabet are skipped) and then SetBytes.
  void GetBmpFromString(std::string_view base64);

 private:
  std::string name_;
  std::string path_;
  Picture bitmap_;
};

}  // namespace pirell
