#include "settings_ui/settings_list_form.h"

#include "device/base_device.h"
#include "settings_ui/common_settings_form.h"

namespace pirell {
namespace {

// The standard text of a value; a value that has none (an array, an object) shows as empty
// rather than failing while the list draws.
std::string ValueText(const Variant& value) {
  try {
    return value.ToString();
  } catch (const std::exception&) {
    return {};
  }
}

bool IsTrue(const Variant& value) {
  try {
    return value.ToBool();
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

TfrmSettingsList::TfrmSettingsList(TBaseDevice& DeviceManager)
    : FDeviceManager(DeviceManager), FEditControl(&edEdit) {
  Caption = "Список настроек";
  ClientWidth = 374;
  ClientHeight = 379;
  ShowHint = true;

  lvSettings.Columns = {{"Наименование", 190}, {"Значение", 90}, {"По-умолчанию", 90}};
  stStatus.BoundsRect = {0, 0, 0, kStatusHeight};
  pnFooter.BoundsRect = {0, 0, 0, kFooterHeight};
  btnDefault.Caption = "По-умолчанию";
  btnDefault.Hint = "Установить все значения по-умолчанию";
  btnOK.Caption = "ОК";
  btnOK.Hint = "Сохранить и закрыть";
  btnOK.HelpContext = 1001;
  btnCancel.Caption = "Отмена";
  btnCancel.Hint = "Закрыть без сохранения";
  btnCancel.HelpContext = 1002;
  edEdit.Visible = false;
  cbEdit.Visible = false;
  cbEdit.Items = {"False", "True"};
  miEdit.Caption = "Редактировать";
  miEdit.OnClick = [this] { miEditClick(); };
  miDefault.Caption = "По-умолчанию";
  miDefault.OnClick = [this] { miDefaultClick(); };

  lvSettings.RowCount = FDeviceManager.SettingsCount();
  RowChanged(-1);
}

std::array<std::string, 3> TfrmSettingsList::RowTexts(int index) const {
  const TSettingStruct* row = FDeviceManager.GetSettingItem(index);
  if (!row) return {};
  return {row->Name, ValueText(row->Value), ValueText(row->Default)};
}

bool TfrmSettingsList::Editing() const {
  return FEditControl->Visible;
}

void TfrmSettingsList::StartEdit() {
  if (Editing() || lvSettings.ItemIndex < 0) return;
  TSettingStruct* row = FDeviceManager.GetSetting(lvSettings.ItemIndex);
  if (!row) return;
  if (row->ValueType == dtBoolean) {
    FEditControl = &cbEdit;
    cbEdit.SetItemIndex(IsTrue(row->Value) ? 1 : 0);
  } else {
    FEditControl = &edEdit;
    edEdit.Text = ValueText(row->Value);
  }
  const TRect rect = ItemDisplayRect ? ItemDisplayRect(lvSettings.ItemIndex) : TRect{};
  const int left = lvSettings.Columns[kColumnName].Width + rect.Left + 3;
  FEditControl->BoundsRect = {left, rect.Top, left + lvSettings.Columns[kColumnValue].Width,
                              rect.Top + rect.Height() + 7};
  // The row is remembered: a click on another row moves the selection before the edit commits.
  FEditRow = lvSettings.ItemIndex;
  FEditControl->Visible = true;
  Focus(*FEditControl);
}

void TfrmSettingsList::FinishEdit(bool Cancel) {
  if (!Editing()) return;
  TSettingStruct* row = FDeviceManager.GetSetting(FEditRow);
  if (row && !Cancel) {
    if (FEditControl == &cbEdit)
      row->Value = Variant::Boolean(cbEdit.ItemIndex == 1);
    else
      row->Value = TextToSettingValue(row->ValueType, edEdit.Text);
    RowChanged(FEditRow);
  }
  FEditRow = -1;
  FEditControl->Visible = false;
  Focus(lvSettings);
}

void TfrmSettingsList::lvSettingsChange(int item) {
  FinishEdit(false);
  if (item < 0) return;
  if (const TSettingStruct* row = FDeviceManager.GetSettingItem(item))
    stStatus.Caption = row->Description;
}

void TfrmSettingsList::lvSettingsKeyDown(TKey key) {
  if (key == TKey::Enter || key == TKey::F2)
    StartEdit();
  else if (key == TKey::Escape)
    FinishEdit(false);
}

void TfrmSettingsList::EditorKeyDown(TKey key) {
  if (key == TKey::Enter) {
    if (Editing())
      FinishEdit(false);
    else
      StartEdit();
  } else if (key == TKey::Escape && Editing()) {
    FinishEdit(true);
  }
}

std::string TfrmSettingsList::ControlHelp(const TControlModel& control) const {
  if (const std::string text = TfrmCommonSettings::GetHelpByID(control.HelpContext); !text.empty())
    return text;
  if (!control.Hint.empty()) return control.Hint;
  const bool row_control = &control == &lvSettings || &control == &edEdit || &control == &cbEdit;
  const TSettingStruct* row = FDeviceManager.GetSettingItem(lvSettings.ItemIndex);
  return row_control && row ? row->Description : std::string();
}

void TfrmSettingsList::miDefaultClick() {
  TSettingStruct* row = FDeviceManager.GetSetting(lvSettings.ItemIndex);
  if (!row) return;
  row->Value = row->Default;
  RowChanged(lvSettings.ItemIndex);
}

void TfrmSettingsList::btnDefaultClick() {
  FDeviceManager.SetAllSettingsDefault();
  RowChanged(-1);
}

void TfrmSettingsList::RowChanged(int index) {
  if (OnRowChanged) OnRowChanged(index);
}

void TfrmSettingsList::Focus(const TControlModel& control) {
  if (OnFocus) OnFocus(control);
}

}  // namespace pirell
