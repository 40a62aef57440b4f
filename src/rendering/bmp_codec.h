#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "rendering/picture.h"

namespace pirell {

// Windows BMP files.
//
// Read: 1, 4, 8, 16, 24 and 32 bits per pixel; rows bottom-up or top-down; with or without a
// palette; uncompressed (BI_RGB) or with colour masks (BI_BITFIELDS, BI_ALPHABITFIELDS); the
// headers of 12, 40, 52, 56, 108 and 124 bytes; colour masks that the header does not hold (all
// after a 40-byte header, the alpha mask after a 52-byte one) follow it. Run-length compressed
// files are refused. An alpha channel that is zero in every pixel counts as absent (such writers
// leave the byte unused).
//
// Limits: each side at most kMaxBmpSide pixels and at most kMaxBmpPixels pixels in all (64 MiB
// as decoded 32-bit pixels). A file over a limit, or whose header claims more pixel data than
// the file holds, is refused before anything is allocated.
inline constexpr std::int32_t kMaxBmpSide = 16384;
inline constexpr std::int64_t kMaxBmpPixels = std::int64_t{16} * 1024 * 1024;

// The picture in the bytes of a BMP file; no bytes give an empty picture. Raises an Error of
// the kind "EInvalidGraphic" for anything else that is not a BMP file of the kinds above, or
// that uses a palette index the palette lacks.
Picture DecodeBmp(std::string_view bytes);

// The picture as a BMP file: 24 bits per pixel when every pixel is opaque, otherwise 32 bits
// with an alpha mask (108-byte header); rows bottom-up. An empty picture gives no bytes.
std::string EncodeBmp(const Picture& picture);

}  // namespace pirell
