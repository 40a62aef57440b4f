#include "rendering/dot_geometry.h"

#include <cmath>

#include "driver_object/variant.h"

namespace pirell {

std::int32_t NearestDots(double x) {
  if (std::isnan(x)) return 0;
  if (x >= kMaxDots) return kMaxDots;
  if (x <= -kMaxDots) return -kMaxDots;
  return static_cast<std::int32_t>(RoundHalfEven(x));
}

std::int32_t Clamp(std::int32_t v, std::int32_t lo, std::int32_t hi) {
  if (v < lo) return lo;
  if (v > hi) return hi;
  return v;
}

TDotBox RotateAboutCentre(TRotation rotation, TDotBox box) {
  // The centre may fall on a half dot; it is computed exactly and only the result is rounded.
  const double cx = box.L + box.W / 2.0;
  const double cy = box.T + box.H / 2.0;
  switch (rotation) {
    case r90:
      box.L = NearestDots(cx + box.H / 2.0);
      box.T = NearestDots(cy - box.W / 2.0);
      break;
    case r180:
      box.L = NearestDots(cx + box.W / 2.0);
      box.T = NearestDots(cy + box.H / 2.0);
      break;
    case r270:
      box.L = NearestDots(cx - box.H / 2.0);
      box.T = NearestDots(cy + box.W / 2.0);
      break;
    default:
      break;
  }
  return box;
}

TDotBox ClipToPrintArea(TDotBox box, std::int32_t print_width, std::int32_t print_height) {
  if (box.L < 0) {
    box.W += box.L;
    box.L = 0;
  }
  if (box.T < 0) {
    box.H += box.T;
    box.T = 0;
  }
  if (box.L + box.W > print_width) box.W = print_width - box.L;
  if (box.T + box.H > print_height) box.H = print_height - box.T;
  if (box.L < 0) box.L = 0;
  if (box.T < 0) box.T = 0;
  if (box.W < 0) box.W = 0;
  if (box.H < 0) box.H = 0;
  return box;
}

}  // namespace pirell
