#pragma once

#include <cstdint>
#include <string_view>

#include "rendering/mono_bitmap.h"

namespace pirell {

// A line of text in the platform's sans-serif face filling a height of `height` dots: how the
// printers' scalable font is drawn wherever the driver draws it itself, for the printer (texts
// the resident fonts lack) and in the preview. Line breaks are spaces; an ampersand is a
// character, not the mark of an underlined one.
struct TSansTextLine {
  MonoBitmap glyphs;             // `across` x `height` dots, the line from its left edge
  std::int32_t ink_width = 0;    // from the left edge to the last ink across
  std::int32_t size_points = 1;  // the face's size, which at 72 dots per inch is its size in dots
};
TSansTextLine RasteriseSansTextLine(std::string_view utf8, std::int32_t height,
                                    std::int32_t across);

}  // namespace pirell
