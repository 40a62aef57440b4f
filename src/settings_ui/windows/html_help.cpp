#include "settings_ui/windows/html_help.h"

#include <htmlhelp.h>

namespace pirell::win32 {

HtmlHelpViewer::HtmlHelpViewer() : library_(LoadLibraryW(L"hhctrl.ocx")) {
  if (library_) {
    // Through a generic function pointer: the exported function's type is known only here.
    function_ = reinterpret_cast<HtmlHelpFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(library_.get(), "HtmlHelpW")));
  }
}

bool HtmlHelpViewer::DisplayTopic(HWND caller, const std::wstring& file) {
  if (function_ == nullptr) return false;
  return function_(caller, file.c_str(), HH_DISPLAY_TOPIC, 0) != nullptr;
}

bool HtmlHelpViewer::DisplayTextPopup(HWND caller, const std::wstring& topics_url,
                                      unsigned topic_id, const std::wstring& text, POINT point) {
  if (function_ == nullptr) return false;
  HH_POPUP popup{};
  popup.cbStruct = sizeof popup;
  popup.idString = topic_id;
  popup.pszText = topics_url.empty() ? text.c_str() : nullptr;
  popup.pt = point;
  popup.clrForeground = static_cast<COLORREF>(-1);
  popup.clrBackground = kHelpPopupColour;
  popup.rcMargins = RECT{5, 5, 5, 5};
  const wchar_t* target = topics_url.empty() ? nullptr : topics_url.c_str();
  return function_(caller, target, HH_DISPLAY_TEXT_POPUP, reinterpret_cast<DWORD_PTR>(&popup)) !=
         nullptr;
}

}  // namespace pirell::win32
