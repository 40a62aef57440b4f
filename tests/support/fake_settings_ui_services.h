#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "settings_ui/settings_ui_services.h"

namespace pirell::testing {

// The user interface as a test sees it: message boxes, popups, opened files and addresses are
// recorded; the settings list runs the test's script; the control under the mouse is set by the
// test.
class FakeSettingsUiServices : public TSettingsUiServices {
 public:
  struct Popup {
    std::string text;        // a text popup
    std::string topics_url;  // a topic popup: the popup file and the topic
    int topic_id = 0;
    TPoint pos;
  };

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
  TPageFrameMetrics PageFrameMetrics() override { return metrics; }

  // Script.
  // What the user does in the settings list; its answer is whether OK closed it. None: Cancel.
  std::function<bool(TBaseDevice& device)> settings_list;
  // The control help is asked for, with its top-left corner; none: no control there.
  std::optional<std::string> control_hint;
  TPoint control_pos;
  TPoint mouse_pos;
  TPageFrameMetrics metrics;
  // What the user picks in the file dialog; none: Cancel.
  std::optional<std::string> output_file;

  // Record.
  std::vector<std::string> errors;
  std::vector<std::string> informations;
  int wait_cursor_depth = 0;      // hourglass requests not yet ended
  int wait_cursor_max_depth = 0;  // the deepest nesting seen
  int settings_list_calls = 0;
  std::vector<std::string> help_files;
  std::vector<Popup> popups;
  std::vector<std::string> web_addresses;
  // The path each file dialog opened at.
  std::vector<std::string> file_dialogs;
  // The hourglass depth at the moment of each recorded call (message boxes, list, address).
  std::vector<int> wait_cursor_at_call;
};

}  // namespace pirell::testing
