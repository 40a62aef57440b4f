#include "settings_ui/windows/win32_settings_ui_services.h"

#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <cwchar>

#include "settings_ui/windows/settings_list_view.h"
#include "settings_ui/windows/win32_window.h"

namespace pirell::win32 {
namespace {

// Room for a long path in the file dialog.
constexpr std::size_t kMaxOutputPath = 32768;

}  // namespace

void Win32SettingsUiServices::ShowError(const std::string& text) {
  MessageBoxW(owner_, W(text).c_str(), L"Ошибка", MB_OK | MB_ICONERROR);
}

void Win32SettingsUiServices::ShowInformation(const std::string& text) {
  MessageBoxW(owner_, W(text).c_str(), L"Информация", MB_OK | MB_ICONINFORMATION);
}

void Win32SettingsUiServices::SetWaitCursor(bool on) {
  if (on) {
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    if (wait_cursor_depth_++ == 0) cursor_before_wait_ = previous;
  } else if (wait_cursor_depth_ > 0 && --wait_cursor_depth_ == 0) {
    SetCursor(cursor_before_wait_ ? cursor_before_wait_ : LoadCursorW(nullptr, IDC_ARROW));
  }
}

bool Win32SettingsUiServices::ShowSettingsList(TBaseDevice& device) {
  SettingsListView view(device, *this);
  return view.ShowModal() == mrOk;
}

void Win32SettingsUiServices::OpenHelpFile(const std::string& help_file) {
  html_help_.DisplayTopic(owner_, W(help_file));
}

void Win32SettingsUiServices::ShowHelpPopup(const std::string& text, TPoint pos) {
  const POINT point{pos.X, pos.Y};
  const std::wstring wide = W(text);
  if (wide.empty()) return;
  // Wine's viewer (and a machine without one) shows no text popups: ours stands in.
  if (!html_help_.DisplayTextPopup(owner_, L"", 0, wide, point)) popup_.Show(owner_, wide, point);
}

void Win32SettingsUiServices::ShowHelpTopicPopup(const std::string& topics_url, int topic_id,
                                                 TPoint pos) {
  html_help_.DisplayTextPopup(owner_, W(topics_url), static_cast<unsigned>(topic_id), L"",
                              POINT{pos.X, pos.Y});
}

std::optional<std::string> Win32SettingsUiServices::ControlHintForHelp(TPoint& pos) {
  HWND control = nullptr;
  if (GetKeyState(VK_F1) < 0) {
    control = GetFocus();
  } else {
    POINT mouse{};
    GetCursorPos(&mouse);
    pos = TPoint{mouse.x, mouse.y};
    // The deepest child under the mouse, disabled ones included.
    HWND parent = WindowFromPoint(mouse);
    while (parent != nullptr) {
      control = parent;
      POINT client = mouse;
      ScreenToClient(parent, &client);
      HWND child = ChildWindowFromPointEx(parent, client, CWP_SKIPINVISIBLE);
      if (child == nullptr || child == parent) break;
      parent = child;
    }
  }
  // A part of a control (the edit field of a combo box) answers for the control.
  for (HWND candidate = control; candidate != nullptr; candidate = GetParent(candidate)) {
    if (!hint_lookup_) break;
    if (std::optional<std::string> hint = hint_lookup_(candidate)) {
      RECT rect{};
      GetWindowRect(candidate, &rect);
      pos = TPoint{rect.left, rect.top};
      return hint;
    }
    if (candidate == owner_) break;
  }
  return std::nullopt;
}

std::optional<std::string> Win32SettingsUiServices::ChooseOutputFile(const std::string& current) {
  std::wstring path = W(current);
  path.resize(std::max<std::size_t>(path.size() + 1, kMaxOutputPath), L'\0');
  static constexpr wchar_t kFilter[] = L"Файлы печати (*.prn)\0*.prn\0Все файлы\0*.*\0";
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner_;
  dialog.lpstrFilter = kFilter;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.lpstrTitle = L"Файл для заданий печати";
  // Jobs are appended to the file: choosing an existing one asks nothing.
  dialog.Flags = OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameW(&dialog)) return std::nullopt;
  path.resize(wcslen(path.c_str()));
  return U8(path);
}

void Win32SettingsUiServices::OpenWebAddress(const std::string& url) {
  ShellExecuteW(owner_, L"open", W(url).c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
}

}  // namespace pirell::win32
