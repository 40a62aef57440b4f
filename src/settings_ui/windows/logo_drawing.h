#pragma once

// Pictures of the settings windows, drawn in code: the logo in the header, the label picture of
// the printer page and the small images of the additional-functions menu.

#include <windows.h>

#include <cstdint>

namespace pirell::win32 {

// 0xRRGGBB as the forms give colours, to the system's colour value.
constexpr COLORREF ColourOf(std::uint32_t rgb) {
  return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// A printer with a label coming out of it, on `background`.
void DrawLogo(HDC dc, const RECT& rect, COLORREF background);
// A label roll with a printed label (text lines and a barcode), on `background`.
void DrawLabelPicture(HDC dc, const RECT& rect, std::uint32_t background_rgb);
// The menu's images: 0 help (a question mark in a blue circle), 1 action (a green triangle).
HBITMAP CreateMenuImage(int index);

}  // namespace pirell::win32
