#pragma once

// Text in a freely chosen font, rasterised to black-and-white pixels at the printer's resolution.

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "rendering/mono_bitmap.h"

namespace pirell::platform {

// The platform's default character set number: the face decides the characters.
inline constexpr int kDefaultCharset = 1;

struct FontDescription {
  std::string face;  // empty: the rasteriser's default face (DefaultFontFace)
  int size_points = 8;
  int charset =
      kDefaultCharset;  // Windows character set number (204 Cyrillic, 238 Central European)
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike_out = false;
};

// Layout flags; the values are those of the Windows text-drawing call.
namespace text_flags {
inline constexpr std::uint32_t kCenter = 1;
inline constexpr std::uint32_t kRight = 2;
inline constexpr std::uint32_t kVCenter = 4;
inline constexpr std::uint32_t kBottom = 8;
inline constexpr std::uint32_t kWordBreak = 16;
}  // namespace text_flags

// Em height in dots of a font of `size_points` at `dpi`: the nearest whole number, halves away
// from zero (12 pt at 203 dpi is 34 dots).
inline int EmHeightDots(int size_points, int dpi) {
  return static_cast<int>(std::lround(static_cast<double>(size_points) * dpi / 72.0));
}

// Larger em heights are drawn at this height: a glyph of that size already covers a whole label,
// and an absurd size in a template must not make the driver allocate gigabytes.
inline constexpr int kMaxEmHeightDots = 1024;

// The face used when a font description names none ("Liberation Sans" on Linux, "Arial" on
// Windows: the same metrics).
std::string DefaultFontFace();

// A fixed-pitch face with Latin and Cyrillic letters ("Liberation Mono" on Linux, "Courier New"
// on Windows), for drawing the printer's own fonts in a preview.
std::string MonospaceFontFace();

// Draws `utf8` in black into `box` (already sized and white), which is the text's whole layout
// rectangle: nothing is drawn outside it. Lines end at CR, LF and CR LF and, with kWordBreak,
// between words where the next word would pass the right edge (a word wider than the box is
// not broken). Lines are placed left, centred or right by kCenter/kRight; the block of lines
// always starts at the top (kVCenter and kBottom act only on single-line layout, which this
// never is). An ampersand underlines the character after it and is not drawn; "&&" draws one
// ampersand. Pixels are black or white, never grey. A font of em height 0 or less draws
// nothing. Never fails: a face that cannot be found is replaced by the nearest match.
void RasteriseText(const FontDescription& font, int dpi, std::string_view utf8, std::uint32_t flags,
                   MonoBitmap& box);

}  // namespace pirell::platform
