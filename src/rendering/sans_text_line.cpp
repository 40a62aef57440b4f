#include "rendering/sans_text_line.h"

#include <algorithm>
#include <string>

#include "platform/text_raster.h"

namespace pirell {

TSansTextLine RasteriseSansTextLine(std::string_view utf8, std::int32_t height,
                                    std::int32_t across) {
  std::string line;
  for (const char c : utf8) {
    if (c == '&') line += '&';
    line += c == '\r' || c == '\n' ? ' ' : c;
  }
  TSansTextLine drawn;
  drawn.glyphs.Resize(across, height);
  platform::FontDescription font;
  font.face = platform::DefaultFontFace();
  font.charset = 204;
  // The line of a sans face is about 9/8 of its size: the line fills the height.
  font.size_points = std::max(1, height * 8 / 9);
  drawn.size_points = font.size_points;
  platform::RasteriseText(font, 72, line, 0, drawn.glyphs);

  for (int y = 0; y < drawn.glyphs.Height(); ++y)
    for (int x = drawn.ink_width; x < drawn.glyphs.Width(); ++x)
      if (drawn.glyphs.IsBlack(x, y)) drawn.ink_width = x + 1;
  return drawn;
}

}  // namespace pirell
