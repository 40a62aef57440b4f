// Chooses the view of each kind of page.

#include "settings_ui/windows/main_settings_view.h"
#include "settings_ui/windows/page_view.h"
#include "settings_ui/windows/port_manager_settings_view.h"

namespace pirell::win32 {
namespace {

// A page this build has no view for: an empty panel on its tab.
class EmptyPageView : public PageView {
 protected:
  void CreateControls(int, int) override {}
  void OnCommand(int, int, HWND) override {}
};

}  // namespace

std::unique_ptr<PageView> MakePageView(TfrmBaseSettings& page) {
  if (auto* printer = dynamic_cast<TfrmMainSettings*>(&page))
    return std::make_unique<MainSettingsView>(*printer);
  if (auto* ports = dynamic_cast<TfrmPortManagerSettings*>(&page))
    return std::make_unique<PortManagerSettingsView>(*ports);
  return std::make_unique<EmptyPageView>();
}

}  // namespace pirell::win32
