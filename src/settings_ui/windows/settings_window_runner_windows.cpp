#include "settings_ui/settings_window_runner.h"

namespace pirell {

// Placeholder until the Win32 views show the real window: answered as a window closed without
// OK. The Win32 views replace this file.
bool SystemShowSettingsWindow(TBaseDevice&, const TPageClasses&) {
  return false;
}

}  // namespace pirell
