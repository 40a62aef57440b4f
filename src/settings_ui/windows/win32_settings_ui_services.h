#pragma once

// The user interface services of the settings forms, made of the system's message boxes,
// cursors, HTML Help (or popups of our own when it cannot show them) and the shell.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "settings_ui/settings_ui_services.h"
#include "settings_ui/windows/help_popup.h"
#include "settings_ui/windows/html_help.h"

namespace pirell::win32 {

class Win32SettingsUiServices : public TSettingsUiServices {
 public:
  // Answers the hint of a control of the window, or nothing when the control has no model.
  using HintLookup = std::function<std::optional<std::string>(HWND control)>;

  // The window the message boxes and popups belong to.
  void SetOwnerWindow(HWND owner) { owner_ = owner; }
  HWND OwnerWindow() const { return owner_; }
  void SetHintLookup(HintLookup lookup) { hint_lookup_ = std::move(lookup); }

  void ShowError(const std::string& text) override;
  void ShowInformation(const std::string& text) override;
  void SetWaitCursor(bool on) override;
  bool ShowSettingsList(TBaseDevice& device) override;
  void OpenHelpFile(const std::string& help_file) override;
  void ShowHelpPopup(const std::string& text, TPoint pos) override;
  void ShowHelpTopicPopup(const std::string& topics_url, int topic_id, TPoint pos) override;
  std::optional<std::string> ControlHintForHelp(TPoint& pos) override;
  std::optional<std::string> ChooseOutputFile(const std::string& current) override;
  void OpenWebAddress(const std::string& url) override;

  // The popup of our own, for tests and screenshots.
  const HelpPopup& OwnPopup() const { return popup_; }
  void CloseOwnPopup() { popup_.Close(); }

 private:
  HWND owner_ = nullptr;
  HintLookup hint_lookup_;
  HtmlHelpViewer html_help_;
  HelpPopup popup_;
  int wait_cursor_depth_ = 0;
  HCURSOR cursor_before_wait_ = nullptr;
};

}  // namespace pirell::win32
