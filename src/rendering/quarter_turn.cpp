#include "rendering/quarter_turn.h"

#include <cstring>

namespace pirell {
namespace {

bool IsQuarterTurn(TRotation rotation) {
  return rotation == r90 || rotation == r270;
}

}  // namespace

int TurnedWidth(int box_width, int box_height, TRotation rotation) {
  return IsQuarterTurn(rotation) ? box_height : box_width;
}

int TurnedHeight(int box_width, int box_height, TRotation rotation) {
  return IsQuarterTurn(rotation) ? box_width : box_height;
}

void TurnInto(const MonoBitmap& unturned, TRotation rotation, MonoBitmap& turned) {
  const int w = unturned.Width();
  const int h = unturned.Height();
  if (turned.Width() != TurnedWidth(w, h, rotation) ||
      turned.Height() != TurnedHeight(w, h, rotation)) {
    return;
  }
  if (rotation == r0) {
    for (int y = 0; y < h; ++y)
      std::memcpy(turned.Row(y), unturned.Row(y), static_cast<std::size_t>(unturned.Stride()));
    return;
  }
  const int bw = turned.Width();
  const int bh = turned.Height();
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* row = unturned.Row(y);
    for (int x = 0; x < w; ++x) {
      if (row[x / 8] == 0xFF) {  // eight white pixels
        x |= 7;
        continue;
      }
      if (!unturned.IsBlack(x, y)) continue;
      switch (rotation) {
        case r90:
          turned.SetBlack(bw - 1 - y, x);
          break;
        case r180:
          turned.SetBlack(bw - 1 - x, bh - 1 - y);
          break;
        case r270:
          turned.SetBlack(y, bh - 1 - x);
          break;
        case r0:
          break;
      }
    }
  }
}

}  // namespace pirell
