#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rendering/picture.h"

namespace pirell::testing {

// The parts of a BMP file, written as given, so that tests can make good and broken files.
struct BmpLayout {
  std::int32_t width = 0;
  std::int32_t height = 0;  // negative: rows top-down
  std::uint16_t bits = 24;
  std::uint32_t compression = 0;
  std::uint32_t header_size = 40;  // 12, 40, 52, 56, 108 or 124 (or anything, to break it)
  std::uint16_t planes = 1;
  std::uint32_t colours_used = 0;
  std::vector<std::uint32_t> palette;  // 0x00RRGGBB; written as 3 bytes each for a 12-byte header
  // Colour masks (R, G, B[, A]): as many as fit inside the header, the rest after it.
  std::vector<std::uint32_t> masks;
  // The stored rows, first stored row first; each is padded to 4 bytes unless `pad_rows` is off.
  std::vector<std::string> rows;
  bool pad_rows = true;
  std::optional<std::uint32_t> pixel_offset;  // default: right after the palette
  std::size_t truncate_to = SIZE_MAX;         // cut the finished file to this length
};

std::string BuildBmp(const BmpLayout& layout);

// A 24-bit bottom-up file of a picture with distinct colours: pixel (x, y) is
// 0xFF000000 | x << 16 | y << 8 | (x + y) & 0xFF. GradientColour gives the expected value.
std::string GradientBmp(int width, int height);
std::uint32_t GradientColour(int x, int y);

// A picture of the same pattern (for encoding).
Picture GradientPicture(int width, int height);

}  // namespace pirell::testing
