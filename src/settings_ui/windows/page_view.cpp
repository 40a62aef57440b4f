#include "settings_ui/windows/page_view.h"

#include "settings_ui/windows/ui_font.h"

namespace pirell::win32 {

bool PageView::Create(HWND parent, const RECT& area) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  // Not WS_CLIPCHILDREN: a group box leaves its inside to the panel to paint.
  if (!CreateFrame(WS_EX_CONTROLPARENT, WS_CHILD | WS_CLIPSIBLINGS, L"", parent, width, height))
    return false;
  SetWindowPos(Handle(), HWND_TOP, area.left, area.top, width, height, SWP_NOACTIVATE);
  SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), 0);
  CreateControls(width, height);
  Push();
  return true;
}

HWND PageView::Label(int x, int y, int width, int id) {
  return CreateControl(Handle(), L"STATIC", L"", WS_VISIBLE | SS_LEFT | SS_NOPREFIX, x, y + 3,
                       width, 16, id);
}

LRESULT PageView::HandleMessage(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (window == Handle()) {
    switch (msg) {
      case WM_COMMAND:
        OnCommand(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam));
        return 0;
      case WM_DRAWITEM:
        if (OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam))) return TRUE;
        break;
      case WM_MEASUREITEM:
        if (OnMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lparam))) return TRUE;
        break;
      case WM_NCDESTROY:
        Forget();
        break;
      default:
        break;
    }
  }
  return Win32Window::HandleMessage(window, msg, wparam, lparam);
}

}  // namespace pirell::win32
