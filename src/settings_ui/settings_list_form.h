#pragma once

#include <array>
#include <functional>
#include <string>

#include "settings_ui/control_models.h"

namespace pirell {

class TBaseDevice;

// The full list of the device's settings, edited in place in the live table: a value cell opens
// an edit field (or a False/True list for Boolean rows) over itself; a commit writes the value at
// once, a cancel leaves the row as it was. OK and Cancel only close the window; the caller keeps
// a snapshot to undo with.
class TfrmSettingsList : public TFormModel {
 public:
  static constexpr int kColumnName = 0;
  static constexpr int kColumnValue = 1;
  static constexpr int kColumnDefault = 2;
  static constexpr int kStatusHeight = 55;
  static constexpr int kFooterHeight = 41;

  explicit TfrmSettingsList(TBaseDevice& DeviceManager);
  TfrmSettingsList(const TfrmSettingsList&) = delete;
  TfrmSettingsList& operator=(const TfrmSettingsList&) = delete;

  // Texts of row `index`: name, value, default; empty texts outside the table.
  std::array<std::string, 3> RowTexts(int index) const;

  // Editing in place.
  bool Editing() const;
  void StartEdit();
  void FinishEdit(bool Cancel);
  // The editor in use: &edEdit or &cbEdit.
  const TControlModel* EditControl() const { return FEditControl; }
  // The row an open editor writes to, -1 while browsing.
  int EditRow() const { return FEditRow; }

  // Handlers. lvSettingsChange runs after the view has written the new selection into
  // lvSettings.ItemIndex; `item` is the row the change names, -1 for none.
  void lvSettingsChange(int item);
  void lvSettingsDblClick() { StartEdit(); }
  void lvSettingsKeyDown(TKey key);
  void EditorKeyDown(TKey key);
  void EditorExit() { FinishEdit(false); }
  void miEditClick() { StartEdit(); }
  void miDefaultClick();
  void btnDefaultClick();
  void btnOKClick() { ModalResult = mrOk; }
  void btnCancelClick() { ModalResult = mrCancel; }

  // The help F1 shows for `control`, as in the settings window: the text of its help context,
  // else its hint; the list and the editors tell what the selected row is.
  std::string ControlHelp(const TControlModel& control) const;

  // The view tells where row `index` is drawn in the list (its display rectangle); the editor
  // is placed from it. Without it an editor is placed as for an empty rectangle.
  std::function<TRect(int index)> ItemDisplayRect;
  // The form tells the view that row `index` must be drawn again (-1: every row).
  std::function<void(int index)> OnRowChanged;
  // The form tells the view that the control should take the keyboard focus.
  std::function<void(const TControlModel& control)> OnFocus;

  // Controls.
  TListViewModel lvSettings;
  TCaptionModel stStatus;
  TControlModel pnFooter;
  TCaptionModel btnDefault;
  TCaptionModel btnOK;
  TCaptionModel btnCancel;
  TTextModel edEdit;
  TListModel cbEdit;
  TMenuItemModel miEdit;
  TMenuItemModel miDefault;

  TModalResult ModalResult = mrNone;

 private:
  void RowChanged(int index);
  void Focus(const TControlModel& control);

  TBaseDevice& FDeviceManager;
  TControlModel* FEditControl;
  int FEditRow = -1;
};

}  // namespace pirell
