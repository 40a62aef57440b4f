#include "settings_ui/windows/info_page_view.h"

#include <algorithm>

#include "settings_ui/windows/ui_font.h"

namespace pirell::win32 {
namespace {

constexpr int kCaptionWidth = 160;
constexpr int kRowHeight = 20;
constexpr int kMargin = 8;

// Tabs of a value (the contact lines) become spaces: a static text does not expand them.
std::wstring Displayed(const std::string& text) {
  std::wstring wide = W(text);
  for (wchar_t& c : wide)
    if (c == L'\t') c = L' ';
  return wide;
}

}  // namespace

void InfoPageView::CreateControls(int width, int height) {
  HWND panel = Handle();
  int y = kMargin;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const bool last = i + 1 == rows_.size();
    HWND caption =
        CreateControl(panel, L"STATIC", W(rows_[i].Caption), WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                      kMargin, y, kCaptionWidth, last ? 2 * kRowHeight : kRowHeight, 0);
    SendMessageW(caption, WM_SETFONT, reinterpret_cast<WPARAM>(UiBoldFont()), 0);
    // The last row takes the remaining height.
    const int value_height = last ? std::max(kRowHeight, height - y - kMargin) : kRowHeight;
    CreateControl(panel, L"STATIC", Displayed(rows_[i].Value),
                  WS_VISIBLE | SS_LEFT | SS_NOPREFIX | (last ? 0 : SS_ENDELLIPSIS),
                  kMargin + kCaptionWidth, y, width - 2 * kMargin - kCaptionWidth, value_height, 0);
    y += kRowHeight;
  }
}

}  // namespace pirell::win32
