#pragma once

// Reading test results out of monochrome bitmaps: where the ink is, and how two bitmaps differ.

#include <algorithm>
#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "rendering/mono_bitmap.h"

namespace pirell::testing {

struct InkBounds {
  int left = INT_MAX;
  int top = INT_MAX;
  int right = -1;  // inclusive
  int bottom = -1;
  bool Empty() const { return right < 0; }
  bool Contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

// Where the ink of the rows [from, to) lies, every row by default.
inline InkBounds InkBoundsOf(const MonoBitmap& bitmap, int from = 0, int to = INT_MAX) {
  InkBounds bounds;
  for (int y = std::max(from, 0); y < std::min(to, bitmap.Height()); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      if (bitmap.IsBlack(x, y)) {
        bounds.left = std::min(bounds.left, x);
        bounds.right = std::max(bounds.right, x);
        bounds.top = std::min(bounds.top, y);
        bounds.bottom = std::max(bounds.bottom, y);
      }
  return bounds;
}

// The bounds that hold both.
inline InkBounds Union(const InkBounds& a, const InkBounds& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

// Pixels black in `a` and white in `b` (both the same size).
inline MonoBitmap InkOnlyIn(const MonoBitmap& a, const MonoBitmap& b) {
  MonoBitmap out(a.Width(), a.Height());
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.IsBlack(x, y) && !(b.Contains(x, y) && b.IsBlack(x, y))) out.SetBlack(x, y);
  return out;
}

inline bool SamePixels(const MonoBitmap& a, const MonoBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.IsBlack(x, y) != b.IsBlack(x, y)) return false;
  return true;
}

// Runs of rows holding ink, as (first, last) pairs from the top: one per text line.
inline std::vector<std::pair<int, int>> InkRowBands(const MonoBitmap& bitmap) {
  std::vector<std::pair<int, int>> bands;
  bool in_band = false;
  for (int y = 0; y < bitmap.Height(); ++y) {
    bool ink = false;
    for (int x = 0; x < bitmap.Width() && !ink; ++x) ink = bitmap.IsBlack(x, y);
    if (ink && !in_band) bands.push_back({y, y});
    if (ink) bands.back().second = y;
    in_band = ink;
  }
  return bands;
}

// The bitmap as text, '#' for black, for failure messages.
inline std::string Sketch(const MonoBitmap& bitmap) {
  std::string text;
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) text += bitmap.IsBlack(x, y) ? '#' : '.';
    text += '\n';
  }
  return text;
}

}  // namespace pirell::testing
