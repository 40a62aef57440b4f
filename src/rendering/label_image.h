#pragma once

#include <string>
#include <string_view>

#include "rendering/picture.h"

namespace pirell {

// One named picture of a label: embedded in the template or loaded from a file that an Image
// field names.
class TLabelImage {
 public:
  // A picture from a file reference. The reference is split after its last '\', ':' (and, where
  // paths use it, '/') into Path and Name. A reference with a directory part is loaded when the
  // file exists; a file that is not a readable BMP leaves the picture empty, silently. A bare
  // file name is not loaded.
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
