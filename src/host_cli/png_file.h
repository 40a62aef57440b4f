#pragma once

#include <string>

#include "rendering/mono_bitmap.h"

namespace pirell::cli {

// Writes a picture as a PNG file through libpng: greyscale at one bit per pixel (0 black,
// 1 white: the rows as the bitmap packs them), with the resolution in dots per inch recorded.
// Raises std::runtime_error when the file cannot be written; no partial file is left.
void WritePngFile(const std::string& path, const MonoBitmap& picture, int dpi);

}  // namespace pirell::cli
