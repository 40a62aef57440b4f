#include "settings_ui/windows/logo_drawing.h"

#include <algorithm>
#include <iterator>

#include "platform/windows/gdi_handles.h"

namespace pirell::win32 {
namespace {

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
  platform::UniqueBrush brush(CreateSolidBrush(colour));
  FillRect(dc, &rect, brush.get());
}

void Box(HDC dc, int left, int top, int right, int bottom, COLORREF fill, COLORREF line) {
  platform::UniqueBrush brush(CreateSolidBrush(fill));
  platform::UniquePen pen(CreatePen(PS_SOLID, 1, line));
  platform::ScopedSelection select_brush(dc, brush.get());
  platform::ScopedSelection select_pen(dc, pen.get());
  Rectangle(dc, left, top, right, bottom);
}

// Bars of a barcode-like pattern from `left` to `right`.
void Bars(HDC dc, int left, int top, int right, int bottom) {
  static constexpr int kWidths[] = {2, 1, 1, 3, 1, 2, 1, 1, 2, 3, 1, 1, 2, 1, 3, 1, 2, 1};
  int x = left;
  bool dark = true;
  for (int i = 0; x < right; i = (i + 1) % static_cast<int>(std::size(kWidths))) {
    const int w = kWidths[i];
    if (dark) FillSolid(dc, RECT{x, top, std::min(x + w, right), bottom}, RGB(0, 0, 0));
    x += w;
    dark = !dark;
  }
}

}  // namespace

void DrawLogo(HDC dc, const RECT& rect, COLORREF background) {
  FillSolid(dc, rect, background);
  const int l = rect.left, t = rect.top;
  // Printer body, paper slot and a label coming out of it.
  Box(dc, l + 3, t + 12, l + 29, t + 28, RGB(64, 64, 72), RGB(20, 20, 24));
  Box(dc, l + 7, t + 4, l + 25, t + 16, RGB(255, 255, 255), RGB(40, 40, 40));
  Bars(dc, l + 9, t + 6, l + 23, t + 12);
  FillSolid(dc, RECT{l + 6, t + 17, l + 26, t + 19}, RGB(20, 20, 24));
  FillSolid(dc, RECT{l + 22, t + 22, l + 26, t + 25}, RGB(0, 200, 0));
}

void DrawLabelPicture(HDC dc, const RECT& rect, std::uint32_t background_rgb) {
  FillSolid(dc, rect, ColourOf(background_rgb));
  const int l = rect.left, t = rect.top;
  const int w = rect.right - rect.left;
  // A roll of labels at the top, unrolling into one label with text and a barcode.
  platform::UniqueBrush roll(CreateSolidBrush(RGB(245, 245, 235)));
  platform::UniquePen roll_pen(CreatePen(PS_SOLID, 1, RGB(120, 120, 100)));
  {
    platform::ScopedSelection b(dc, roll.get());
    platform::ScopedSelection p(dc, roll_pen.get());
    Ellipse(dc, l + w / 2 - 45, t + 14, l + w / 2 + 45, t + 74);
    platform::UniqueBrush core(CreateSolidBrush(RGB(150, 120, 80)));
    platform::ScopedSelection c(dc, core.get());
    Ellipse(dc, l + w / 2 - 14, t + 30, l + w / 2 + 14, t + 58);
  }
  const int label_left = l + 22, label_right = l + w - 22;
  Box(dc, label_left, t + 84, label_right, t + 230, RGB(255, 255, 255), RGB(120, 120, 100));
  for (int i = 0; i < 3; ++i)
    FillSolid(dc,
              RECT{label_left + 10, t + 98 + i * 14, label_right - 10 - i * 20, t + 104 + i * 14},
              RGB(90, 90, 90));
  Bars(dc, label_left + 12, t + 150, label_right - 12, t + 200);
  FillSolid(dc, RECT{label_left + 30, t + 206, label_right - 30, t + 211}, RGB(90, 90, 90));
}

HBITMAP CreateMenuImage(int index) {
  constexpr int kSize = 16;
  platform::WindowDc screen(nullptr);
  platform::UniqueDc memory(CreateCompatibleDC(screen.Get()));
  HBITMAP bitmap = CreateCompatibleBitmap(screen.Get(), kSize, kSize);
  if (!memory || bitmap == nullptr) return bitmap;
  platform::ScopedSelection selection(memory.get(), bitmap);
  HDC dc = memory.get();
  FillSolid(dc, RECT{0, 0, kSize, kSize}, GetSysColor(COLOR_MENU));
  if (index == 0) {
    platform::UniqueBrush blue(CreateSolidBrush(RGB(30, 90, 200)));
    platform::UniquePen blue_pen(CreatePen(PS_SOLID, 1, RGB(20, 60, 150)));
    platform::ScopedSelection b(dc, blue.get());
    platform::ScopedSelection p(dc, blue_pen.get());
    Ellipse(dc, 0, 0, kSize, kSize);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    RECT text{0, 0, kSize, kSize};
    DrawTextW(dc, L"?", 1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  } else {
    const POINT triangle[] = {{4, 2}, {13, 8}, {4, 14}};
    platform::UniqueBrush green(CreateSolidBrush(RGB(0, 170, 0)));
    platform::UniquePen green_pen(CreatePen(PS_SOLID, 1, RGB(0, 110, 0)));
    platform::ScopedSelection b(dc, green.get());
    platform::ScopedSelection p(dc, green_pen.get());
    Polygon(dc, triangle, 3);
  }
  return bitmap;
}

}  // namespace pirell::win32
