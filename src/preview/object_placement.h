#pragma once

#include <cstdint>

#include "rendering/mono_bitmap.h"

namespace pirell::preview {

// A rectangle of dots on the label: left and top inclusive, right and bottom exclusive.
struct DotRect {
  std::int64_t left = 0;
  std::int64_t top = 0;
  std::int64_t right = 0;
  std::int64_t bottom = 0;
  bool Empty() const { return right <= left || bottom <= top; }
};

// Draws an object that is laid out upright (u to the right, v down from its own top-left corner)
// onto the label, turned clockwise by `turn` quarter turns about its reference point (x, y).
// Turned once, the object's top-right corner lies on the reference point; twice, its bottom-right
// corner; three times, its bottom-left corner: the corners the driver gives for turned fields.
// Everything is cut to the label; coordinates may lie anywhere.
class ObjectPlacement {
 public:
  ObjectPlacement(MonoBitmap& label, std::int64_t x, std::int64_t y, int turn);

  // Where the upright rectangle [u, u + w) x [v, v + h) lies on the label, before cutting.
  DotRect OnLabel(std::int64_t u, std::int64_t v, std::int64_t w, std::int64_t h) const;
  // Some part of the upright rectangle falls off the label.
  bool PartlyOutside(std::int64_t u, std::int64_t v, std::int64_t w, std::int64_t h) const;
  bool Visible(std::int64_t u, std::int64_t v, std::int64_t w, std::int64_t h) const;

  void Fill(std::int64_t u, std::int64_t v, std::int64_t w, std::int64_t h, bool black);
  // The lines of a box `w` x `h` from (0, 0), `thickness` thick, black and inside its corners as
  // the printers draw them: a box thicker than half its side is filled.
  void Frame(std::int64_t w, std::int64_t h, std::int64_t thickness);

  // Paints the label dots under the upright rectangle black where `black_at(u, v)` says so.
  template <typename BlackAt>
  void Paint(std::int64_t u0, std::int64_t v0, std::int64_t w, std::int64_t h, BlackAt&& black_at) {
    const DotRect area = Clipped(OnLabel(u0, v0, w, h));
    for (std::int64_t ly = area.top; ly < area.bottom; ++ly)
      for (std::int64_t lx = area.left; lx < area.right; ++lx) {
        std::int64_t u = 0;
        std::int64_t v = 0;
        Upright(lx, ly, u, v);
        if (black_at(u, v)) label_.SetBlack(static_cast<int>(lx), static_cast<int>(ly));
      }
  }

 private:
  DotRect Clipped(DotRect rect) const;
  // The upright coordinates of a label dot.
  void Upright(std::int64_t lx, std::int64_t ly, std::int64_t& u, std::int64_t& v) const;

  MonoBitmap& label_;
  std::int64_t x_;
  std::int64_t y_;
  int turn_;
};

// Fills a rectangle of the label, cut to the label.
void FillOnLabel(MonoBitmap& label, DotRect rect, bool black);

}  // namespace pirell::preview
