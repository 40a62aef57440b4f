#pragma once

#include <cstdint>
#include <vector>

namespace pirell {

// A one-bit-per-pixel picture at the printer's resolution. Rows are packed the way the printer's
// raster command takes them: the most significant bit is the leftmost pixel, a 0 bit is black
// (a printed dot) and a 1 bit white. Bits past the right edge of a row are white.
class MonoBitmap {
 public:
  MonoBitmap() = default;
  MonoBitmap(int width, int height) { Resize(width, height); }

  // New size, every pixel white. Negative sizes count as 0.
  void Resize(int width, int height);
  void FillWhite();

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Stride() const { return stride_; }  // bytes per packed row

  bool IsBlack(int x, int y) const {
    return (rows_[static_cast<std::size_t>(y) * stride_ + x / 8] & (0x80 >> (x % 8))) == 0;
  }
  void SetBlack(int x, int y) {
    rows_[static_cast<std::size_t>(y) * stride_ + x / 8] &=
        static_cast<std::uint8_t>(~(0x80 >> (x % 8)));
  }
  void SetWhite(int x, int y) {
    rows_[static_cast<std::size_t>(y) * stride_ + x / 8] |=
        static_cast<std::uint8_t>(0x80 >> (x % 8));
  }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  const std::uint8_t* Row(int y) const {
    return rows_.data() + static_cast<std::size_t>(y) * stride_;
  }
  std::uint8_t* Row(int y) { return rows_.data() + static_cast<std::size_t>(y) * stride_; }

  int CountBlack() const;

 private:
  int width_ = 0;
  int height_ = 0;
  int stride_ = 0;
  std::vector<std::uint8_t> rows_;
};

}  // namespace pirell
