#include "settings_ui/windows/help_popup.h"

#include <algorithm>

#include "platform/windows/gdi_handles.h"
#include "settings_ui/windows/html_help.h"
#include "settings_ui/windows/ui_font.h"

namespace pirell::win32 {
namespace {

constexpr int kMargin = 5;
constexpr int kMaxTextWidth = 320;
constexpr UINT kTextFormat = DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS;

}  // namespace

bool HelpPopup::Show(HWND owner, const std::wstring& text, POINT point) {
  Close();
  if (text.empty()) return false;
  text_ = text;
  RECT text_rect{0, 0, kMaxTextWidth, 0};
  {
    platform::WindowDc screen(nullptr);
    platform::ScopedSelection font(screen.Get(), UiFont());
    DrawTextW(screen.Get(), text_.c_str(), static_cast<int>(text_.size()), &text_rect,
              kTextFormat | DT_CALCRECT);
  }
  const int width = text_rect.right + 2 * kMargin + 2;
  const int height = text_rect.bottom + 2 * kMargin + 2;
  if (!CreateFrame(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, WS_POPUP | WS_BORDER, L"", owner, width - 2,
                   height - 2))
    return false;
  // Kept inside the work area of the monitor the point is on.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& area = monitor.rcWork;
  const int x = std::max<int>(area.left, std::min<int>(point.x, area.right - width));
  const int y = std::max<int>(area.top, std::min<int>(point.y, area.bottom - height));
  SetWindowPos(Handle(), HWND_TOPMOST, x, y, width, height, SWP_SHOWWINDOW);
  SetCapture(Handle());
  return true;
}

void HelpPopup::Close() {
  if (Handle() == nullptr) return;
  if (GetCapture() == Handle()) ReleaseCapture();
  DestroyWindow(Handle());
}

LRESULT HelpPopup::HandleMessage(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      RECT client;
      GetClientRect(window, &client);
      platform::UniqueBrush background(CreateSolidBrush(kHelpPopupColour));
      FillRect(dc, &client, background.get());
      platform::ScopedSelection font(dc, UiFont());
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
      InflateRect(&client, -kMargin, -kMargin);
      DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &client, kTextFormat);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CANCELMODE:
      Close();
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lparam) != window) PostMessageW(window, WM_CLOSE, 0, 0);
      return 0;
    case WM_CLOSE:
      Close();
      return 0;
    case WM_NCDESTROY:
      Forget();
      break;
    default:
      break;
  }
  return Win32Window::HandleMessage(window, msg, wparam, lparam);
}

}  // namespace pirell::win32
