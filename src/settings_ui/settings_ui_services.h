#pragma once

#include <optional>
#include <string>

#include "settings_ui/control_models.h"

namespace pirell {

class TBaseDevice;

// Sizes of the window frame around a hosted page, in pixels, as the platform's controls draw
// them; the settings window grows by them to fit its pages.
struct TPageFrameMetrics {
  int ContentBorderWidth = 0;  // border of the content panel
  int TabBorderWidth = 4;      // border of a tab sheet inside the page control
  int TabHeight = 22;          // fixed height of one row of tabs
};

// What the settings forms need from the user interface. The Win32 views provide the real one;
// tests use a fake that records what was shown.
class TSettingsUiServices {
 public:
  virtual ~TSettingsUiServices() = default;

  // Message boxes with one OK button.
  virtual void ShowError(const std::string& text) = 0;
  virtual void ShowInformation(const std::string& text) = 0;

  // Switches the hourglass cursor on (true) and back to the normal cursor (false). Calls nest:
  // use TWaitCursor, which pairs them.
  virtual void SetWaitCursor(bool on) = 0;

  // Shows the settings list window for the device modally; true when it closed with OK.
  virtual bool ShowSettingsList(TBaseDevice& device) = 0;

  // Opens the help file at its default topic.
  virtual void OpenHelpFile(const std::string& help_file) = 0;
  // A help popup with `text` whose top-left corner is at `pos` (screen coordinates).
  virtual void ShowHelpPopup(const std::string& text, TPoint pos) = 0;
  // A help popup with topic `topic_id` of the popup text file `topics_url` of a help file
  // ("...help.chm::/popups.txt"), at `pos`.
  virtual void ShowHelpTopicPopup(const std::string& topics_url, int topic_id, TPoint pos) = 0;
  // The control help is asked for: the focused control while F1 is down, otherwise the control
  // under the mouse (disabled controls included). Answers its hint and sets `pos` to its top-left
  // corner in screen coordinates; with no control, answers nothing and `pos` is the mouse
  // position.
  virtual std::optional<std::string> ControlHintForHelp(TPoint& pos) = 0;

  // A file dialog for the file that print jobs are written to (it may not exist yet), opened at
  // `current`; the chosen path, or nothing when the user cancels.
  virtual std::optional<std::string> ChooseOutputFile(const std::string& current) = 0;

  // Hands a web address to the system's shell ("Open", maximised window).
  virtual void OpenWebAddress(const std::string& url) = 0;

  // The frame sizes the settings window grows by when it hosts a page.
  virtual TPageFrameMetrics PageFrameMetrics() { return {}; }
};

// The hourglass cursor for the lifetime of this object.
class TWaitCursor {
 public:
  explicit TWaitCursor(TSettingsUiServices& services) : services_(services) {
    services_.SetWaitCursor(true);
  }
  ~TWaitCursor() { services_.SetWaitCursor(false); }
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;

 private:
  TSettingsUiServices& services_;
};

}  // namespace pirell
