#pragma once

// Writes 24-bit RGB pictures as PNG files. The image data is stored uncompressed (deflate's
// stored blocks), which every PNG reader accepts and which needs no compression library.

#include <cstdint>
#include <string>
#include <vector>

namespace pirell::screenshots {

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // rows top-down, 3 bytes a pixel
};

std::vector<std::uint8_t> EncodePng(const RgbImage& image);
bool WritePngFile(const std::wstring& path, const RgbImage& image);

}  // namespace pirell::screenshots
