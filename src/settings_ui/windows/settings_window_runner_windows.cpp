#include "settings_ui/settings_window_runner.h"
#include "settings_ui/windows/settings_window_view.h"

namespace pirell {

bool SystemShowSettingsWindow(TBaseDevice& device, const TPageClasses& page_classes) {
  win32::SettingsWindowView view(device, page_classes);
  return view.ShowModal() == mrOk;
}

}  // namespace pirell
