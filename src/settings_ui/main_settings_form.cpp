#include "settings_ui/main_settings_form.h"

#include <charconv>
#include <cstdint>
#include <exception>
#include <limits>
#include <optional>

#include "device/base_device.h"
#include "driver_object/number_text.h"
#include "label_printer/base_label_printer.h"
#include "platform/locale.h"
#include "settings_ui/settings_ui_services.h"

namespace pirell {
namespace {

// `value` with two decimals and the user's decimal separator ("0.00").
std::string FormatTwoDecimals(double value) {
  char buffer[64];
  const auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
  std::string text(buffer, error == std::errc() ? end : buffer);
  if (const auto dot = text.find('.'); dot != std::string::npos)
    text.replace(dot, 1, platform::UserLocale().decimal_separator);
  return text;
}

// The text as a 32-bit integer, or `fallback` when it is not one.
std::int32_t IntegerOr(const std::string& text, std::int32_t fallback) {
  const std::optional<std::int64_t> value = ParseInteger(text);
  if (!value || *value < std::numeric_limits<std::int32_t>::min() ||
      *value > std::numeric_limits<std::int32_t>::max())
    return fallback;
  return static_cast<std::int32_t>(*value);
}

void SetIntSetting(TBaseDevice& device, std::string_view id, std::int32_t value) {
  device.SetSettingValue(id, Variant::Integer(value));
}

// The position of a row in its registry table, which the settings hold; -1 for none.
template <typename Rows, typename Row>
std::int32_t PositionOf(const Rows& rows, const Row* row) {
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (&rows[i] == row) return static_cast<std::int32_t>(i);
  return -1;
}

constexpr char kDarknessCaption[] = "Насыщенность:";

}  // namespace

TfrmMainSettings::TfrmMainSettings(TfrmCommonSettings& AOwner, TBaseDevice& ADeviceManager)
    : TfrmBaseSettings(AOwner, ADeviceManager) {
  Caption = "Принтер";
  ClientWidth = 470;
  ClientHeight = 290;
  pnlLabel.BoundsRect = {0, 0, 160, 250};
  imgLabel.BoundsRect = {0, 0, 160, 250};
  cbbPrinterType.Caption = "Тип принтера:";
  cbbPrinterModel.Caption = "Модель:";
  grpPaperParams.Caption = "Параметры бумаги";
  edtPrintWidth.Caption = "Ширина области печати:";
  edtPrintWidth.Text = "58";
  edtPrintHeight.Caption = "Высота области печати:";
  edtPrintHeight.Text = "40";
  edtPrintGap.Caption = "Промежуток:";
  edtPrintGap.Text = "2";
  grpPrinterParams.Caption = "Параметры принтера";
  cbbDarkness.Caption = kDarknessCaption;
  cbbDarkness.Editable = true;
  cbbPrintSpeed.Caption = "Скорость печати:";
  cbbPrintMode.Caption = "Способ печати:";
  cbbPrintMode.Items = {"Термопечать", "Термотрансферный"};
  cbbPrintMode.SetItemIndex(0);
  btnInitialize.Caption = "Инициализировать принтер";
}

void TfrmMainSettings::OnCreateFrm() {
  TfrmBaseSettings::OnCreateFrm();
  cbbPrinterType.Clear();
  FTypeRows.clear();
  for (const TPrinterTypeInfo& type : PrinterTypes()) {
    cbbPrinterType.Add(type.Name);
    FTypeRows.push_back(&type);
  }
}

void TfrmMainSettings::cbbPrinterTypeChange() {
  cbbPrinterModel.Clear();
  FModelRows.clear();
  const int type_index = cbbPrinterType.ItemIndex;
  if (type_index >= 0 && type_index < static_cast<int>(FTypeRows.size())) {
    const TPrinterTypeInfo* type = FTypeRows[static_cast<std::size_t>(type_index)];
    for (const TPrinterModel& model : PrinterModels()) {
      if (model.PrinterType != type) continue;
      cbbPrinterModel.Add(model.Name);
      FModelRows.push_back(&model);
    }
  }
  if (cbbPrinterModel.Count() > 0) cbbPrinterModel.SetItemIndex(0);
  cbbPrinterModelChange();
}

void TfrmMainSettings::cbbPrinterModelChange() {
  const int model_index = cbbPrinterModel.ItemIndex;
  if (model_index >= 0 && model_index < static_cast<int>(FModelRows.size()))
    FillModelLists(&FModelRows[static_cast<std::size_t>(model_index)]->ModelProps);
  else
    FillModelLists(nullptr);
}

void TfrmMainSettings::FillModelLists(const TPrinterModelProps* ModelProps) {
  cbbPrintSpeed.Clear();
  FSpeeds.clear();
  cbbDarkness.Clear();
  cbbDarkness.Caption = kDarknessCaption;
  if (!ModelProps) return;
  // The model's own range: 0 to 15 for EPL2, 0 to 30 for ZPL II.
  cbbDarkness.Caption = "Насыщенность (0–" + std::to_string(ModelProps->MaxDarkness) + "):";
  for (const TPrintSpeed& speed : ModelProps->PrintSpeeds) {
    cbbPrintSpeed.Add(FormatTwoDecimals(speed.IPS) + " IPS");
    FSpeeds.push_back(speed);
  }
  for (std::int32_t darkness = 0; darkness <= ModelProps->MaxDarkness; ++darkness)
    cbbDarkness.Add(std::to_string(darkness));
  cbbDarkness.Text = std::to_string(ModelProps->DefDarkness);
  cbbPrintSpeed.SetItemIndex(cbbPrintSpeed.Count() - 1);
}

void TfrmMainSettings::OnReadSettings() {
  TfrmBaseSettings::OnReadSettings();

  // The model decides the printer (the driver reads only "PrinterModel"), so its own type is
  // shown; "PrinterType" counts only when the model is not one of the registry's.
  const std::int32_t model = SettingInt("PrinterModel");
  const TPrinterModel* stored_model = PrinterModelAt(model);
  std::int32_t type = SettingInt("PrinterType");
  if (stored_model) type = PositionOf(PrinterTypes(), stored_model->PrinterType);
  cbbPrinterType.SetItemIndex(type >= 0 && type < cbbPrinterType.Count() ? type : 0);
  cbbPrinterTypeChange();

  // A negative model is "none"; one beyond the registry is the type's first.
  int model_item = model < 0 ? -1 : 0;
  for (std::size_t i = 0; i < FModelRows.size(); ++i)
    if (FModelRows[i] == stored_model) model_item = static_cast<int>(i);
  cbbPrinterModel.SetItemIndex(model_item);
  cbbPrinterModelChange();

  const std::int32_t speed = SettingInt("PrintSpeed");
  int speed_item = cbbPrintSpeed.Count() - 1;
  for (std::size_t i = 0; i < FSpeeds.size(); ++i) {
    if (FSpeeds[i].Index == speed) {
      speed_item = static_cast<int>(i);
      break;
    }
  }
  cbbPrintSpeed.SetItemIndex(speed_item);

  cbbPrintMode.SetItemIndex(SettingInt("PrintMode") != 0 ? 1 : 0);

  cbbDarkness.Text = std::to_string(SettingInt("PrintDarkness"));
  cbbDarkness.ItemIndex = -1;
  for (int i = 0; i < cbbDarkness.Count(); ++i) {
    if (cbbDarkness.Items[static_cast<std::size_t>(i)] == cbbDarkness.Text)
      cbbDarkness.ItemIndex = i;
  }

  edtPrintWidth.Text = std::to_string(SettingInt("PrintWidth"));
  edtPrintHeight.Text = std::to_string(SettingInt("PrintHeight"));
  edtPrintGap.Text = std::to_string(SettingInt("PrintGap"));
}

void TfrmMainSettings::OnSaveSettings() {
  TfrmBaseSettings::OnSaveSettings();
  SetIntSetting(FDeviceManager, "PrinterType", cbbPrinterType.ItemIndex);
  // The model's position in the registry, not in the list of its type's models.
  const int model_item = cbbPrinterModel.ItemIndex;
  SetIntSetting(FDeviceManager, "PrinterModel",
                model_item >= 0 && model_item < static_cast<int>(FModelRows.size())
                    ? PositionOf(PrinterModels(), FModelRows[static_cast<std::size_t>(model_item)])
                    : -1);
  SetIntSetting(FDeviceManager, "PrintWidth", IntegerOr(edtPrintWidth.Text, 58));
  SetIntSetting(FDeviceManager, "PrintHeight", IntegerOr(edtPrintHeight.Text, 40));
  SetIntSetting(FDeviceManager, "PrintGap", IntegerOr(edtPrintGap.Text, 0));
  SetIntSetting(FDeviceManager, "PrintDarkness", IntegerOr(cbbDarkness.Text, 7));
  const int speed_item = cbbPrintSpeed.ItemIndex;
  SetIntSetting(FDeviceManager, "PrintSpeed",
                speed_item >= 0 && speed_item < static_cast<int>(FSpeeds.size())
                    ? FSpeeds[static_cast<std::size_t>(speed_item)].Index
                    : -1);
  SetIntSetting(FDeviceManager, "PrintMode", cbbPrintMode.ItemIndex);
}

void TfrmMainSettings::btnInitializeClick() {
  ResultCode code = rc::Ok;
  std::string description;
  try {
    code = EnableDevice();
    if (code == rc::Ok) {
      auto* printer = dynamic_cast<TBaseLabelPrinter*>(&FDeviceManager);
      code = printer ? printer->InitializePrinter(description) : rc::NotSupported;
    }
  } catch (const std::exception& error) {
    DisableDevice();
    Services().ShowError(error.what());
    return;
  }
  DisableDevice();
  if (code != rc::Ok)
    Services().ShowError(FDeviceManager.GetDriverResultDescription(code));
  else
    Services().ShowInformation("Нет ошибок");
}

}  // namespace pirell
