#include "preview/scalable_text.h"

#include <algorithm>
#include <string>

#include "platform/text_raster.h"

namespace pirell::preview {
namespace {

// Taller characters than a label holds are drawn at this height: they cover the label already.
constexpr std::int64_t kMostHeight = platform::kMaxEmHeightDots;
// The longest line drawn, in dots of the face before it is scaled across: the rest lies beyond
// any label (twice the largest label side at 600 dots per inch).
constexpr std::int64_t kMostAcross = 2 * 8000 * 600 / 203;

std::int64_t Characters(std::string_view utf8) {
  std::int64_t count = 0;
  for (const char c : utf8)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  return count;
}

}  // namespace

ScalableTextLine::ScalableTextLine(std::string_view utf8, std::int64_t height, std::int64_t width) {
  height = std::clamp<std::int64_t>(height, 0, kMostHeight);
  width = std::clamp<std::int64_t>(width, 0, kMostHeight * 4);
  height_ = height;
  if (height <= 0 || width <= 0 || utf8.empty()) return;
  scale_num_ = width;
  scale_den_ = height;

  // An ampersand is a character here, not the mark of an underlined one.
  std::string line;
  for (const char c : utf8) {
    if (c == '&') line += '&';
    line += c == '\r' || c == '\n' ? ' ' : c;
  }
  const std::int64_t across = std::min((Characters(utf8) + 1) * height, kMostAcross);
  glyphs_.Resize(static_cast<int>(across), static_cast<int>(height));
  platform::FontDescription font;
  font.face = platform::DefaultFontFace();
  font.charset = 204;
  // The line of a sans face is about 9/8 of its size: the line fills the height.
  font.size_points = static_cast<int>(std::max<std::int64_t>(1, height * 8 / 9));
  // At 72 dots per inch a size in points is a size in dots.
  platform::RasteriseText(font, 72, line, 0, glyphs_);
  // Liberation Sans and Arial rise 0.905 of their size above the baseline.
  baseline_ = std::min<std::int64_t>(height, (font.size_points * 905 + 500) / 1000);

  std::int64_t ink_end = 0;
  for (int y = 0; y < glyphs_.Height(); ++y)
    for (int x = static_cast<int>(ink_end); x < glyphs_.Width(); ++x)
      if (glyphs_.IsBlack(x, y)) ink_end = x + 1;
  width_ = (ink_end * scale_num_ + scale_den_ - 1) / scale_den_;
}

void ScalableTextLine::Draw(MonoBitmap& label, std::int64_t x, std::int64_t y, int turn,
                            std::int64_t u, std::int64_t v, bool reverse,
                            std::int64_t max_width) const {
  const std::int64_t shown = std::min(width_, std::max<std::int64_t>(max_width, 0));
  if (shown <= 0 || height_ <= 0) return;
  const auto ink = [this, u, v](std::int64_t pu, std::int64_t pv) {
    const std::int64_t gx = (pu - u) * scale_den_ / scale_num_;
    const std::int64_t gy = pv - v;
    return gx >= 0 && gy >= 0 && gx < glyphs_.Width() && gy < glyphs_.Height() &&
           glyphs_.IsBlack(static_cast<int>(gx), static_cast<int>(gy));
  };
  ObjectPlacement placement(label, x, y, turn);
  if (!reverse) {
    placement.Paint(u, v, shown, height_, ink);
    return;
  }
  // Reversed: each dot under ink changes colour. The dots to turn are marked first, so that the
  // label is read before any of them is turned.
  const DotRect area = placement.OnLabel(u, v, shown, height_);
  const std::int64_t left = std::max<std::int64_t>(area.left, 0);
  const std::int64_t top = std::max<std::int64_t>(area.top, 0);
  const std::int64_t right = std::min<std::int64_t>(area.right, label.Width());
  const std::int64_t bottom = std::min<std::int64_t>(area.bottom, label.Height());
  if (right <= left || bottom <= top) return;
  MonoBitmap marks(label.Width(), label.Height());
  ObjectPlacement on_marks(marks, x, y, turn);
  on_marks.Paint(u, v, shown, height_, ink);
  for (std::int64_t ly = top; ly < bottom; ++ly)
    for (std::int64_t lx = left; lx < right; ++lx) {
      const int px = static_cast<int>(lx);
      const int py = static_cast<int>(ly);
      if (!marks.IsBlack(px, py)) continue;
      if (label.IsBlack(px, py))
        label.SetWhite(px, py);
      else
        label.SetBlack(px, py);
    }
}

}  // namespace pirell::preview
