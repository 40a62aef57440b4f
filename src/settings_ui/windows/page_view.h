#pragma once

// The Win32 view of one page of the settings window: a panel over the page's tab holding the
// page's controls.

#include <windows.h>

#include <functional>
#include <memory>

#include "settings_ui/base_settings_form.h"
#include "settings_ui/windows/control_binding.h"
#include "settings_ui/windows/win32_window.h"

namespace pirell::win32 {

class PageView : public Win32Window {
 public:
  // Creates the page's panel (hidden) inside `parent` at `area` (parent's client coordinates).
  bool Create(HWND parent, const RECT& area);
  // Copies the page's models into its controls.
  virtual void Push() { bindings_.Push(); }
  // The model of one of the page's controls, null for others.
  const TControlModel* ModelOf(HWND control) const { return bindings_.ModelOf(control); }
  void SetTooltip(HWND tooltip) { bindings_.SetTooltip(tooltip); }
  // The page comes into sight (its tab selected in the shown window) or goes out of it.
  virtual void SetShowing(bool) {}

  // Runs after a handler of the page, so that the window copies every model again (a page's
  // action may change the window's state too).
  std::function<void()> AfterHandler;

 protected:
  // Creates the controls on the panel; `width` x `height` is its client size.
  virtual void CreateControls(int width, int height) = 0;
  LRESULT HandleMessage(HWND window, UINT msg, WPARAM wparam, LPARAM lparam) override;
  // A control of the page sent WM_COMMAND.
  virtual void OnCommand(int id, int code, HWND control) = 0;
  // Owner-drawn controls of the page.
  virtual bool OnDrawItem(const DRAWITEMSTRUCT&) { return false; }
  virtual bool OnMeasureItem(MEASUREITEMSTRUCT&) { return false; }

  // Runs a handler of the page's form, then lets the window push the models.
  template <class Handler>
  void Run(Handler&& handler) {
    handler();
    if (AfterHandler) AfterHandler();
  }

  // A label and a control to its right.
  HWND Label(int x, int y, int width, int id);

  ControlBindings bindings_;
};

// The view of a page: the printer page and the port page have their own; any other page gets
// an empty panel.
std::unique_ptr<PageView> MakePageView(TfrmBaseSettings& page);

}  // namespace pirell::win32
