#pragma once

#include <cstdint>

#include "rendering/cmd_list.h"
#include "rendering/mono_bitmap.h"

namespace pirell {

// The rows of a bitmap as the data of "^GFA": two hexadecimal digits a byte, a 1 bit a printed
// dot, compressed as the programming guide's ASCII compression does it: a run of one digit is
// written as its count (G to Y for 1 to 19, g to z for 20 to 400, one of each summed) before the
// digit, zeros to the end of a row as ",", ones as "!", and a row the same as the one before as
// ":". Every byte of a row is sent, the bits past the width white.
ByteString CompressedGraphicData(const MonoBitmap& bitmap);

// "^GFA,total,total,bytes_per_row,data" for the bitmap.
ByteString GraphicFieldCommand(const MonoBitmap& bitmap);

}  // namespace pirell
