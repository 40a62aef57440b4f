#include "preview/object_placement.h"

#include <algorithm>
#include <cstring>

namespace pirell::preview {

ObjectPlacement::ObjectPlacement(MonoBitmap& label, std::int64_t x, std::int64_t y, int turn)
    : label_(label), x_(x), y_(y), turn_(turn & 3) {}

DotRect ObjectPlacement::OnLabel(std::int64_t u, std::int64_t v, std::int64_t w,
                                 std::int64_t h) const {
  switch (turn_) {
    case 1:  // (u, v) -> (x - 1 - v, y + u)
      return {x_ - v - h, y_ + u, x_ - v, y_ + u + w};
    case 2:  // (u, v) -> (x - 1 - u, y - 1 - v)
      return {x_ - u - w, y_ - v - h, x_ - u, y_ - v};
    case 3:  // (u, v) -> (x + v, y - 1 - u)
      return {x_ + v, y_ - u - w, x_ + v + h, y_ - u};
    default:
      return {x_ + u, y_ + v, x_ + u + w, y_ + v + h};
  }
}

void ObjectPlacement::Upright(std::int64_t lx, std::int64_t ly, std::int64_t& u,
                              std::int64_t& v) const {
  switch (turn_) {
    case 1:
      u = ly - y_;
      v = x_ - 1 - lx;
      break;
    case 2:
      u = x_ - 1 - lx;
      v = y_ - 1 - ly;
      break;
    case 3:
      u = y_ - 1 - ly;
      v = lx - x_;
      break;
    default:
      u = lx - x_;
      v = ly - y_;
      break;
  }
}

DotRect ObjectPlacement::Clipped(DotRect rect) const {
  rect.left = std::max<std::int64_t>(rect.left, 0);
  rect.top = std::max<std::int64_t>(rect.top, 0);
  rect.right = std::min<std::int64_t>(rect.right, label_.Width());
  rect.bottom = std::min<std::int64_t>(rect.bottom, label_.Height());
  return rect;
}

bool ObjectPlacement::PartlyOutside(std::int64_t u, std::int64_t v, std::int64_t w,
                                    std::int64_t h) const {
  const DotRect whole = OnLabel(u, v, w, h);
  if (whole.Empty()) return false;
  return whole.left < 0 || whole.top < 0 || whole.right > label_.Width() ||
         whole.bottom > label_.Height();
}

bool ObjectPlacement::Visible(std::int64_t u, std::int64_t v, std::int64_t w,
                              std::int64_t h) const {
  return !Clipped(OnLabel(u, v, w, h)).Empty();
}

void ObjectPlacement::Frame(std::int64_t w, std::int64_t h, std::int64_t thickness) {
  const std::int64_t t = thickness;
  Fill(0, 0, w, std::min(t, h), true);                                 // top
  Fill(0, std::max<std::int64_t>(h - t, 0), w, std::min(t, h), true);  // bottom
  Fill(0, 0, std::min(t, w), h, true);                                 // left
  Fill(std::max<std::int64_t>(w - t, 0), 0, std::min(t, w), h, true);  // right
}

void ObjectPlacement::Fill(std::int64_t u, std::int64_t v, std::int64_t w, std::int64_t h,
                           bool black) {
  if (w <= 0 || h <= 0) return;
  FillOnLabel(label_, OnLabel(u, v, w, h), black);
}

void FillOnLabel(MonoBitmap& label, DotRect rect, bool black) {
  const int left = static_cast<int>(std::max<std::int64_t>(rect.left, 0));
  const int top = static_cast<int>(std::max<std::int64_t>(rect.top, 0));
  const int right = static_cast<int>(std::min<std::int64_t>(rect.right, label.Width()));
  const int bottom = static_cast<int>(std::min<std::int64_t>(rect.bottom, label.Height()));
  if (left >= right || top >= bottom) return;
  // Whole bytes between the partial first and last byte of each row are set at once.
  const int first_full = (left + 7) / 8;
  const int last_full = right / 8;  // exclusive
  for (int y = top; y < bottom; ++y) {
    std::uint8_t* row = label.Row(y);
    if (first_full < last_full) {
      std::memset(row + first_full, black ? 0x00 : 0xFF,
                  static_cast<std::size_t>(last_full - first_full));
      for (int x = left; x < first_full * 8; ++x)
        black ? label.SetBlack(x, y) : label.SetWhite(x, y);
      for (int x = last_full * 8; x < right; ++x)
        black ? label.SetBlack(x, y) : label.SetWhite(x, y);
    } else {
      for (int x = left; x < right; ++x) black ? label.SetBlack(x, y) : label.SetWhite(x, y);
    }
  }
}

}  // namespace pirell::preview
