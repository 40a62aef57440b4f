#include "rendering/mono_bitmap.h"

#include <bit>

namespace pirell {

void MonoBitmap::Resize(int width, int height) {
  width_ = width > 0 ? width : 0;
  height_ = height > 0 ? height : 0;
  stride_ = (width_ + 7) / 8;
  rows_.assign(static_cast<std::size_t>(stride_) * height_, 0xFF);
}

void MonoBitmap::FillWhite() {
  rows_.assign(rows_.size(), 0xFF);
}

int MonoBitmap::CountBlack() const {
  int count = 0;
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) count += IsBlack(x, y) ? 1 : 0;
  return count;
}

}  // namespace pirell
