#pragma once

#include <cstdint>

#include "rendering/rotation.h"

namespace pirell {

// A field box in printer dots: left, top, width, height.
struct TDotBox {
  std::int32_t L = 0;
  std::int32_t T = 0;
  std::int32_t W = 0;
  std::int32_t H = 0;
  friend bool operator==(const TDotBox&, const TDotBox&) = default;
};

// Dot coordinates are kept within this bound so that sums of two of them never overflow; it is
// some 33 metres at 203 dots per inch, far beyond any label.
inline constexpr std::int32_t kMaxDots = 1 << 28;

// The integer nearest to x, halves going to the even neighbour, held within +-kMaxDots;
// not-a-number gives 0.
std::int32_t NearestDots(double x);

std::int32_t Clamp(std::int32_t v, std::int32_t lo, std::int32_t hi);

// Millimetre-to-dot conversion at a print head resolution.
class TDotScale {
 public:
  explicit TDotScale(std::int32_t dpi) : dots_per_mm_(dpi / 25.4) {}
  double DotsPerMM() const { return dots_per_mm_; }
  std::int32_t MMToDots(double mm) const { return NearestDots(dots_per_mm_ * mm); }

 private:
  double dots_per_mm_;
};

// Turns the top-left corner of the box about the box centre by the quarter turn and gives the
// printer's reference point of the turned box (its top-right corner for r90, bottom-right for
// r180, bottom-left for r270). The size is kept as it is.
TDotBox RotateAboutCentre(TRotation rotation, TDotBox box);

// Cuts the box to the print area (0, 0)-(print_width, print_height); no part of the result is
// negative.
TDotBox ClipToPrintArea(TDotBox box, std::int32_t print_width, std::int32_t print_height);

}  // namespace pirell
