#include "preview/scalable_text.h"

#include <algorithm>
#include <string>
#include <utility>

#include "platform/text_raster.h"
#include "rendering/command_text.h"
#include "rendering/sans_text_line.h"

namespace pirell::preview {
namespace {

// Taller characters than a label holds are drawn at this height: they cover the label already.
constexpr std::int64_t kMostHeight = platform::kMaxEmHeightDots;
// The longest line drawn, in dots of the face before it is scaled across: the rest lies beyond
// any label (twice the largest label side at 600 dots per inch).
constexpr std::int64_t kMostAcross = 2 * 8000 * 600 / 203;

}  // namespace

ScalableTextLine::ScalableTextLine(std::string_view utf8, std::int64_t height, std::int64_t width) {
  height = std::clamp<std::int64_t>(height, 0, kMostHeight);
  width = std::clamp<std::int64_t>(width, 0, kMostHeight * 4);
  height_ = height;
  if (height <= 0 || width <= 0 || utf8.empty()) return;
  scale_num_ = width;
  scale_den_ = height;

  const std::int64_t across = std::min((CharacterCount(utf8) + 1) * height, kMostAcross);
  TSansTextLine line = RasteriseSansTextLine(utf8, static_cast<std::int32_t>(height),
                                             static_cast<std::int32_t>(across));
  glyphs_ = std::move(line.glyphs);
  // Liberation Sans and Arial rise 0.905 of their size above the baseline.
  baseline_ = std::min<std::int64_t>(height, (std::int64_t{line.size_points} * 905 + 500) / 1000);
  width_ = (std::int64_t{line.ink_width} * scale_num_ + scale_den_ - 1) / scale_den_;
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
