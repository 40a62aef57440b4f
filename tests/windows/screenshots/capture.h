#pragma once

#include <windows.h>

#include "png_file.h"

namespace pirell::screenshots {

// Copies what the screen shows of `window` (its frame included) into an RGB picture; an empty
// picture when the window has no area or the copy fails.
RgbImage CaptureWindow(HWND window);
// Copies a rectangle of the screen.
RgbImage CaptureScreenRect(const RECT& rect);

// The number of distinct colours in the picture (a blank capture has one).
int DistinctColours(const RgbImage& image, int limit = 64);

}  // namespace pirell::screenshots
