#pragma once

#include <cstdint>

namespace pirell {

// A resident font of EPL2 printers: the cell that holds each character and the step from one
// character to the next (the cell and the gap after it).
struct TEpl2FontCell {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t advance = 0;
};

// The cell of font 1 to 5 (any other number is taken as 1). At 203 dots per inch they are 8 x 12,
// 10 x 16, 12 x 20, 14 x 24 and 32 x 48 dots at 20.3, 16.9, 14.5, 12.7 and 5.6 characters per
// inch; heads of 250 dots per inch and more carry the 300-dpi fonts of as many characters per
// inch: 12 x 20, 16 x 28, 20 x 36, 24 x 44 and 48 x 80 dots.
TEpl2FontCell Epl2FontCell(std::int32_t font, std::int32_t dpi);

// The font and magnification a field's "FontSize" prints in: fonts 1 to 4 for sizes 1 to 4, font
// 2 doubled for 5, font 3 doubled for any other size. The other languages print their texts in
// the room these take, so that a template looks alike in every language.
struct TEpl2TextFont {
  std::int32_t font = 3;
  std::int32_t magnification = 2;
};
TEpl2TextFont Epl2FontForSize(std::int32_t font_size);

}  // namespace pirell
