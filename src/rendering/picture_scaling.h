#pragma once

#include "rendering/mono_bitmap.h"
#include "rendering/picture.h"

namespace pirell {

// A pixel rectangle: left, top, width, height.
struct PixelRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// Draws `picture` scaled to `target` in black on `canvas`; the parts of `target` outside the
// canvas are cut. Each target pixel averages the picture pixels it covers, weighted by the
// covered area (a box filter, which is plain copying when nothing is scaled); a pixel is first
// laid over white by its alpha, and the average luminance 0.299 R + 0.587 G + 0.114 B below 128
// makes the target pixel black. No dithering: a black-and-white picture keeps its pixels.
void ScalePictureInto(const Picture& picture, const PixelRect& target, MonoBitmap& canvas);

// Luminance 0..255 of a 0xAARRGGBB pixel laid over white.
double LuminanceOverWhite(std::uint32_t argb);

}  // namespace pirell
