#include "settings_ui/settings_window_runner.h"

namespace pirell {

// This build has no windows: the settings are edited with the command-line host instead.
bool SystemShowSettingsWindow(TBaseDevice&, const TPageClasses&) {
  return false;
}

}  // namespace pirell
