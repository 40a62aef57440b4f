// Text rasterising with FreeType: faces chosen by fontconfig, glyphs rendered in the monochrome
// mode, lines laid out by the same rules as the Windows text-drawing call.

#include <algorithm>
#include <mutex>

#include "platform/codepage.h"
#include "platform/linux/freetype_fonts.h"
#include "platform/text_layout.h"
#include "platform/text_raster.h"

namespace pirell::platform {
namespace {

using linux_fonts::FontCache;
using linux_fonts::GlyphImage;
using linux_fonts::SizedFont;

std::mutex& CacheMutex() {
  static std::mutex mutex;
  return mutex;
}

void FillRows(MonoBitmap& box, int x0, int x1, int y0, int rows) {
  x0 = std::max(x0, 0);
  x1 = std::min(x1, box.Width());
  for (int y = std::max(y0, 0); y < std::min(y0 + rows, box.Height()); ++y)
    for (int x = x0; x < x1; ++x) box.SetBlack(x, y);
}

void DrawGlyph(const GlyphImage& glyph, int pen_x, int baseline, MonoBitmap& box) {
  const int left = pen_x + glyph.left;
  const int top = baseline - glyph.top;
  for (int gy = 0; gy < glyph.rows; ++gy) {
    const int y = top + gy;
    if (y < 0 || y >= box.Height()) continue;
    for (int gx = 0; gx < glyph.width; ++gx) {
      if (!glyph.Ink(gx, gy)) continue;
      const int x = left + gx;
      if (x >= 0 && x < box.Width()) box.SetBlack(x, y);
    }
  }
}

void DrawLine(const LaidOutLine& line, int baseline, const FontDescription& description,
              SizedFont& font, MonoBitmap& box) {
  for (const PlacedChar& placed : line.chars) {
    DrawGlyph(font.Glyph(placed.ch), placed.x, baseline, box);
    if (placed.underlined) {
      FillRows(box, placed.x, placed.x + placed.advance, baseline + font.UnderlineOffset(),
               font.UnderlineThickness());
    }
  }
  if (line.chars.empty()) return;
  const int right = line.left + line.width;
  if (description.underline) {
    FillRows(box, line.left, right, baseline + font.UnderlineOffset(), font.UnderlineThickness());
  }
  if (description.strike_out) {
    FillRows(box, line.left, right, baseline + font.StrikeOffset() - font.StrikeThickness() / 2,
             font.StrikeThickness());
  }
}

}  // namespace

std::string DefaultFontFace() {
  return "Liberation Sans";
}

std::string MonospaceFontFace() {
  return "Liberation Mono";
}

void RasteriseText(const FontDescription& description, int dpi, std::string_view utf8,
                   std::uint32_t flags, MonoBitmap& box) {
  const int em_height = std::min(EmHeightDots(description.size_points, dpi), kMaxEmHeightDots);
  if (em_height <= 0 || box.Width() == 0 || box.Height() == 0) return;

  std::lock_guard lock(CacheMutex());
  SizedFont* font = FontCache::Instance().Get(description, em_height);
  if (font == nullptr) return;

  const std::u32string text = Utf8ToUtf32(utf8);
  const auto lines =
      LayOutText(text, box.Width(), flags, [font](char32_t ch) { return font->Advance(ch); });
  const int line_height = std::max(1, font->Ascent() + font->Descent());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const int top = static_cast<int>(i) * line_height;
    if (top >= box.Height()) break;
    DrawLine(lines[i], top + font->Ascent(), description, *font, box);
  }
}

}  // namespace pirell::platform
