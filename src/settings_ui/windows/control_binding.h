#pragma once

// Copies the forms' control models into real controls and a user's change back into the model.
// A view binds each control once, calls Push() after every handler of the form, and Pull() for
// the control the user changed before it calls the handler.

#include <windows.h>

#include <string>
#include <vector>

#include "settings_ui/control_models.h"

namespace pirell::win32 {

class ControlBindings {
 public:
  // The tooltip control that shows the hints (may be null: no hints).
  void SetTooltip(HWND tooltip) { tooltip_ = tooltip; }

  // Visibility, enabled state and hint only.
  void Bind(HWND control, TControlModel& model);
  // Also the caption (buttons, labels, group boxes).
  void BindCaption(HWND control, TCaptionModel& model);
  // An edit field and the label beside it (which may be null).
  void BindText(HWND edit, HWND label, TTextModel& model);
  // A combo box (drop-down list or editable) and the label beside it (which may be null).
  void BindList(HWND combo, HWND label, TListModel& model);

  // Models into controls; lists are refilled only when their items changed.
  void Push();
  // The control's state into its model: the text of an edit field, the selected item (and the
  // edit text) of a combo box. `typed`: the user typed into an editable combo box, so its text
  // wins over the selection.
  void Pull(HWND control, bool typed = false);

  // The model of a bound control (or of the label of one), null when unbound.
  const TControlModel* ModelOf(HWND control) const;
  HWND ControlOf(const void* model) const;

 private:
  enum class Kind { Plain, Caption, Text, List };
  struct Binding {
    Kind kind;
    HWND control;
    HWND label;
    TControlModel* model;
    std::vector<std::string> pushed_items;
    std::string pushed_hint;
    bool items_pushed = false;
  };

  void PushOne(Binding& binding);
  void PushHint(Binding& binding);

  std::vector<Binding> bindings_;
  HWND tooltip_ = nullptr;
};

// Fills a combo box with `items`, without a selection.
void FillComboBox(HWND combo, const std::vector<std::string>& items);

}  // namespace pirell::win32
