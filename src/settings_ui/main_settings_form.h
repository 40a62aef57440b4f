#pragma once

#include <string>
#include <vector>

#include "rendering/print_params.h"
#include "rendering/printer_registry.h"
#include "settings_ui/base_settings_form.h"
#include "settings_ui/control_models.h"

namespace pirell {

// The printer page: printer type and model from the printer registry, the paper's print area
// and gap, darkness, speed and print method; a button initialises the printer with the values
// on the page without committing them.
class TfrmMainSettings : public TfrmBaseSettings {
 public:
  // Background of the picture panel: red 232, green 232, blue 173.
  static constexpr std::uint32_t kLabelPanelColorRgb = 0xE8E8AD;

  TfrmMainSettings(TfrmCommonSettings& AOwner, TBaseDevice& ADeviceManager);

  using TfrmBaseSettings::OnSaveSettings;
  void OnCreateFrm() override;
  void OnReadSettings() override;
  void OnSaveSettings() override;

  void cbbPrinterTypeChange();
  void cbbPrinterModelChange();
  // Fills the speed and darkness lists of a model (none: empties them).
  void FillModelLists(const TPrinterModelProps* ModelProps);
  void btnInitializeClick();

  // Controls.
  TControlModel pnlLabel;
  TControlModel imgLabel;
  TListModel cbbPrinterType;
  TListModel cbbPrinterModel;
  TCaptionModel grpPaperParams;
  TTextModel edtPrintWidth;
  TTextModel edtPrintHeight;
  TTextModel edtPrintGap;
  TCaptionModel grpPrinterParams;
  TListModel cbbDarkness;
  TListModel cbbPrintSpeed;
  TListModel cbbPrintMode;
  TCaptionModel btnInitialize;

 private:
  // The registry rows and speed entries the list items carry, by item position.
  std::vector<const TPrinterTypeInfo*> FTypeRows;
  std::vector<const TPrinterModel*> FModelRows;
  std::vector<TPrintSpeed> FSpeeds;
};

}  // namespace pirell
