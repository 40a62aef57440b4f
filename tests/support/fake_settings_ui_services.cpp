#include "support/fake_settings_ui_services.h"

#include <algorithm>

namespace pirell::testing {

void FakeSettingsUiServices::ShowError(const std::string& text) {
  wait_cursor_at_call.push_back(wait_cursor_depth);
  errors.push_back(text);
}

void FakeSettingsUiServices::ShowInformation(const std::string& text) {
  wait_cursor_at_call.push_back(wait_cursor_depth);
  informations.push_back(text);
}

void FakeSettingsUiServices::SetWaitCursor(bool on) {
  wait_cursor_depth += on ? 1 : -1;
  wait_cursor_max_depth = std::max(wait_cursor_max_depth, wait_cursor_depth);
}

bool FakeSettingsUiServices::ShowSettingsList(TBaseDevice& device) {
  wait_cursor_at_call.push_back(wait_cursor_depth);
  ++settings_list_calls;
  return settings_list ? settings_list(device) : false;
}

void FakeSettingsUiServices::OpenHelpFile(const std::string& help_file) {
  help_files.push_back(help_file);
}

std::optional<std::string> FakeSettingsUiServices::ChooseOutputFile(const std::string& current) {
  file_dialogs.push_back(current);
  return output_file;
}

void FakeSettingsUiServices::ShowHelpPopup(const std::string& text, TPoint pos) {
  popups.push_back({text, "", 0, pos});
}

void FakeSettingsUiServices::ShowHelpTopicPopup(const std::string& topics_url, int topic_id,
                                                TPoint pos) {
  popups.push_back({"", topics_url, topic_id, pos});
}

std::optional<std::string> FakeSettingsUiServices::ControlHintForHelp(TPoint& pos) {
  pos = control_hint ? control_pos : mouse_pos;
  return control_hint;
}

void FakeSettingsUiServices::OpenWebAddress(const std::string& url) {
  wait_cursor_at_call.push_back(wait_cursor_depth);
  web_addresses.push_back(url);
}

}  // namespace pirell::testing
