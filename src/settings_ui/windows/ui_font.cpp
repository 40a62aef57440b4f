#include "settings_ui/windows/ui_font.h"

#include <commctrl.h>

#include "platform/windows/gdi_handles.h"

namespace pirell::win32 {
namespace {

platform::UniqueFont MakeTahoma(int weight) {
  platform::WindowDc screen(nullptr);
  LOGFONTW font{};
  font.lfHeight = -MulDiv(8, GetDeviceCaps(screen.Get(), LOGPIXELSY), 72);
  font.lfWeight = weight;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  lstrcpynW(font.lfFaceName, L"Tahoma", LF_FACESIZE);
  return platform::UniqueFont(CreateFontIndirectW(&font));
}

}  // namespace

HFONT UiFont() {
  static const platform::UniqueFont font = MakeTahoma(FW_NORMAL);
  return font ? font.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

HFONT UiBoldFont() {
  static const platform::UniqueFont font = MakeTahoma(FW_BOLD);
  return font ? font.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void InitCommonControlsOnce() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES |
                     ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES;
    return InitCommonControlsEx(&controls) != FALSE;
  }();
  (void)done;
}

}  // namespace pirell::win32
