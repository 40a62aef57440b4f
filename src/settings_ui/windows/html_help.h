#pragma once

// HTML Help, bound at run time: the help viewer may be missing from the machine, and the
// driver must load without it.

#include <windows.h>

#include <string>

#include "settings_ui/windows/win32_handles.h"

namespace pirell::win32 {

class HtmlHelpViewer {
 public:
  HtmlHelpViewer();
  HtmlHelpViewer(const HtmlHelpViewer&) = delete;
  HtmlHelpViewer& operator=(const HtmlHelpViewer&) = delete;

  bool Available() const { return function_ != nullptr; }
  // The file the viewer was loaded from; empty when it was not.
  std::wstring ModulePath() const;
  // Opens `file` at its default topic; false when the viewer is missing or refuses.
  bool DisplayTopic(HWND caller, const std::wstring& file);
  // Shows `text` (or, when `topics_url` is not empty, topic `topic_id` of that popup text file
  // of a help file) in a popup with its top-left near `point`, on the pale yellow background
  // with margins of 5; false when the viewer is missing or does not show it.
  bool DisplayTextPopup(HWND caller, const std::wstring& topics_url, unsigned topic_id,
                        const std::wstring& text, POINT point);

 private:
  using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

  UniqueModule library_;
  HtmlHelpFunction function_ = nullptr;
};

// The popups' background colour: red 255, green 255, blue 238.
inline constexpr COLORREF kHelpPopupColour = 0xEEFFFF;

}  // namespace pirell::win32
