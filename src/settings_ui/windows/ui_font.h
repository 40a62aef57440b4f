#pragma once

// The font of the settings windows: Tahoma, 8 points, and its bold form for captions.

#include <windows.h>

namespace pirell::win32 {

// Shared for the life of the module; never deleted by the caller.
HFONT UiFont();
HFONT UiBoldFont();

// Registers the common controls the settings windows use (list view, tab control, tooltips).
void InitCommonControlsOnce();

}  // namespace pirell::win32
