#pragma once

#include <cstdint>
#include <vector>

namespace pirell {

// A decoded picture of a label: true-colour pixels, rows from the top down. An empty picture has
// no pixels (0 x 0).
class Picture {
 public:
  Picture() = default;
  Picture(int width, int height, std::uint32_t fill = 0xFFFFFFFFu)
      : width_(width),
        height_(height),
        pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }

  // 0xAARRGGBB; alpha 0xFF is opaque.
  std::uint32_t At(int x, int y) const { return pixels_[Index(x, y)]; }
  void Set(int x, int y, std::uint32_t argb) { pixels_[Index(x, y)] = argb; }
  const std::vector<std::uint32_t>& Pixels() const { return pixels_; }

 private:
  std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
  }
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
};

}  // namespace pirell
