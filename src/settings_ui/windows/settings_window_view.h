#pragma once

// The Win32 view of the settings window: the yellow header with the logo, the model name and
// the version; a tab per page and the information tab; a footer with the additional-functions
// button and OK and Cancel. F1 and the caption's help button go to the form's help handler.

#include <windows.h>

#include <memory>
#include <vector>

#include "platform/windows/gdi_handles.h"
#include "settings_ui/common_settings_form.h"
#include "settings_ui/windows/control_binding.h"
#include "settings_ui/windows/page_view.h"
#include "settings_ui/windows/win32_settings_ui_services.h"
#include "settings_ui/windows/win32_window.h"

namespace pirell::win32 {

// Identifiers of the window's controls and menu commands (tests find the controls by them).
namespace settings_window_ids {
constexpr int kLogo = 300;
constexpr int kModelName = 301;
constexpr int kVersion = 302;
constexpr int kPages = 303;
constexpr int kMore = 304;
constexpr int kOk = IDOK;
constexpr int kCancel = IDCANCEL;
// Item i of the additional-functions menu (separators included) has command kMenuFirst + i.
constexpr int kMenuFirst = 1000;
}  // namespace settings_window_ids

class SettingsWindowView : public Win32Window {
 public:
  SettingsWindowView(TBaseDevice& device, const TPageClasses& page_classes);
  ~SettingsWindowView() override;

  // Creates the window (hidden), centred on the screen; false when the system refuses.
  bool Create();
  // Creates the window if needed and shows it modally; OK only when it closed with OK and every
  // page saved.
  TModalResult ShowModal();

  TfrmCommonSettings& Form() { return form_; }
  Win32SettingsUiServices& Services() { return services_; }
  // The panel of tab `index` (pages in order, then the information tab).
  HWND PagePanel(int index) const;
  // Builds the additional-functions menu as it would open now (the caller owns it).
  UniqueMenu BuildMenu();
  // Opens the additional-functions menu below the button (returns when it closes).
  void OpenMenu();

 protected:
  LRESULT HandleMessage(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  void Layout(int width, int height);
  void Push();
  template <class Handler>
  void Run(Handler&& handler);
  void OnCommand(int id, int code);
  void ShowSelectedTab();
  // Tells each page whether it is on the screen now.
  void UpdateShowing();
  // Asks the form's help handler for the popup of `control` at `pos` (screen coordinates).
  void Help(HWND control, POINT pos);
  int HelpContextOf(HWND control) const;
  const TControlModel* ModelOf(HWND control) const;
  bool PreTranslate(MSG& msg);

  // The services come first: the form and its pages use them while they are built.
  Win32SettingsUiServices services_;
  TfrmCommonSettings form_;
  ControlBindings bindings_;
  std::vector<std::unique_ptr<PageView>> pages_;  // the pages in order, then the information tab
  HWND logo_ = nullptr;
  HWND model_name_ = nullptr;
  HWND version_ = nullptr;
  HWND tabs_ = nullptr;
  HWND more_ = nullptr;
  HWND ok_ = nullptr;
  HWND cancel_ = nullptr;
  HWND tooltip_ = nullptr;
  platform::UniqueBrush header_brush_;
  platform::UniqueBitmap menu_images_[2];
  std::vector<std::string> pushed_tabs_;
};

}  // namespace pirell::win32
