#include "settings_ui/windows/html_help.h"

#include <htmlhelp.h>

namespace pirell::win32 {
namespace {

// The viewer from the system folder, by its full path: a search by name would look in the host
// program's folder and the current folder first, where anybody may have put a module of that
// name. Its own dependencies are looked for beside it.
HMODULE LoadSystemViewer() {
  std::wstring path(MAX_PATH, L'\0');
  const UINT length = GetSystemDirectoryW(path.data(), static_cast<UINT>(path.size()));
  if (length == 0 || length >= path.size()) return nullptr;
  path.resize(length);
  path += L"\\hhctrl.ocx";
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace

HtmlHelpViewer::HtmlHelpViewer() : library_(LoadSystemViewer()) {
  if (library_) {
    // Through a generic function pointer: the exported function's type is known only here.
    function_ = reinterpret_cast<HtmlHelpFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(library_.get(), "HtmlHelpW")));
  }
}

std::wstring HtmlHelpViewer::ModulePath() const {
  if (!library_) return {};
  std::wstring path(MAX_PATH, L'\0');
  const DWORD length =
      GetModuleFileNameW(library_.get(), path.data(), static_cast<DWORD>(path.size()));
  path.resize(length < path.size() ? length : 0);
  return path;
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
