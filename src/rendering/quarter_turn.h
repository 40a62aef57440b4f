#pragma once

#include "rendering/mono_bitmap.h"
#include "rendering/rotation.h"

namespace pirell {

// Width and height of the bitmap that shows a box of `box_width` x `box_height` turned by
// `rotation`: a quarter turn either way swaps them.
int TurnedWidth(int box_width, int box_height, TRotation rotation);
int TurnedHeight(int box_width, int box_height, TRotation rotation);

// Copies the black pixels of `unturned` (the box as drawn) clockwise into `turned`, which must
// already have the turned size and be white. With the turned bitmap Bw x Bh, the box pixel
// (x, y) lands at: r90 (Bw-1-y, x); r180 (Bw-1-x, Bh-1-y); r270 (y, Bh-1-x).
void TurnInto(const MonoBitmap& unturned, TRotation rotation, MonoBitmap& turned);

}  // namespace pirell
