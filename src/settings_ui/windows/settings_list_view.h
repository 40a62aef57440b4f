#pragma once

// The Win32 view of the settings list window: a virtual report list view of every setting, the
// selected row's description under it, and a footer with three buttons; values are edited in
// place by an edit field or a False/True list placed over the value cell.

#include <windows.h>

#include "settings_ui/settings_list_form.h"
#include "settings_ui/windows/control_binding.h"
#include "settings_ui/windows/win32_handles.h"
#include "settings_ui/windows/win32_settings_ui_services.h"
#include "settings_ui/windows/win32_window.h"

namespace pirell::win32 {

// Identifiers of the window's controls and menu commands (tests find the controls by them).
namespace settings_list_ids {
constexpr int kList = 100;
constexpr int kStatus = 101;
constexpr int kDefault = 102;
constexpr int kOk = IDOK;
constexpr int kCancel = IDCANCEL;
constexpr int kEdit = 103;
constexpr int kCombo = 104;
constexpr int kMenuEdit = 110;
constexpr int kMenuDefault = 111;
}  // namespace settings_list_ids

class SettingsListView : public Win32Window {
 public:
  // The help popups go through `services`, owned by this window while it is shown.
  SettingsListView(TBaseDevice& device, Win32SettingsUiServices& services);
  ~SettingsListView() override;

  // Creates the window (hidden), centred on the screen; false when the system refuses.
  bool Create();
  // Creates the window if needed and shows it modally; the form's result.
  TModalResult ShowModal();

  TfrmSettingsList& Form() { return form_; }

 protected:
  LRESULT HandleMessage(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  static LRESULT CALLBACK EditorSubclass(HWND window, UINT msg, WPARAM wparam, LPARAM lparam,
                                         UINT_PTR id, DWORD_PTR self);
  static LRESULT CALLBACK ListSubclass(HWND window, UINT msg, WPARAM wparam, LPARAM lparam,
                                       UINT_PTR id, DWORD_PTR self);

  void Layout();
  void Push();
  // Runs a handler of the form and copies the models into the controls afterwards.
  template <class Handler>
  void Run(Handler&& handler);
  bool OnNotify(const NMHDR& header, LRESULT& result);
  void OnCommand(int id, int code, HWND control);
  void ShowContextMenu(POINT screen_point);
  void SelectionChanged(int item);
  HWND EditorWindow() const;
  // F1: the help of the focused control in a popup below it.
  bool PreTranslate(const MSG& msg);

  TfrmSettingsList form_;
  Win32SettingsUiServices& services_;
  ControlBindings bindings_;
  HWND list_ = nullptr;
  HWND status_ = nullptr;
  HWND default_ = nullptr;
  HWND ok_ = nullptr;
  HWND cancel_ = nullptr;
  HWND edit_ = nullptr;
  HWND combo_ = nullptr;
  HWND tooltip_ = nullptr;
  int handler_depth_ = 0;
};

}  // namespace pirell::win32
