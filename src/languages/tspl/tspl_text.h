#pragma once

#include <cstdint>
#include <string_view>

#include "rendering/cmd_list.h"

namespace pirell {

// A TSPL string expression: the bytes between double quotes, each double quote inside written as
// the guide's escape \["]. Nothing else is special inside the quotes.
ByteString TsplQuoted(std::string_view bytes);

// A resident bitmap font of TSPL printers: "1" to "5" are fixed-pitch fonts of 8 x 12, 12 x 20,
// 16 x 24, 24 x 32 and 32 x 48 dots, the same number of dots at every resolution; the cell is
// also the step to the next character.
struct TTsplFontCell {
  std::int32_t width = 0;
  std::int32_t height = 0;
};
// Fonts "1" to "8" ("6" and "7" OCR-B of 14 x 19 and 21 x 27, "8" OCR-A of 14 x 25); none for
// another name.
bool TsplFontCell(char font, TTsplFontCell& cell);

// A resident font and its multipliers, as TEXT takes them.
struct TTsplFont {
  char font = '1';
  std::int32_t x_multiplier = 1;
  std::int32_t y_multiplier = 1;
  TTsplFontCell cell;  // of the font, not multiplied
  std::int32_t CharacterWidth() const { return cell.width * x_multiplier; }
  std::int32_t LineHeight() const { return cell.height * y_multiplier; }
};

// The TSPL font that comes nearest to the character pitch and height of the text an EPL2 printer
// of the same resolution prints for a field's "FontSize" (fonts 1 to 4 for sizes 1 to 4, font 2
// doubled for 5, font 3 doubled otherwise), so that a label looks the same in either language.
TTsplFont TsplFontForSize(std::int32_t font_size, std::int32_t dpi);

}  // namespace pirell
