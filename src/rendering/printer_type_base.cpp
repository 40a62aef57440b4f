#include "rendering/printer_type_base.h"

namespace pirell {

void TPrinterTypeBase::InitializePrinter() {
  cmd_list_.Clear();
}

void TPrinterTypeBase::InitTask() {
  cmd_list_.Clear();
}

void TPrinterTypeBase::InitLabel() {
  values_list_.Clear();
}

void TPrinterTypeBase::MakeLabelScript(std::uint16_t /*NumCopyes*/) {
  FillFieldValues();
}

void TPrinterTypeBase::TestPrinter() {
  cmd_list_.Clear();
}

void TPrinterTypeBase::CheckLabelScript() {
  FillFieldValues();
  CheckLabelBarcodes(label_obj_, Geometry(), label_obj_.Images().Drawn());
}

TPlacedSymbol TPrinterTypeBase::PlaceSymbol(const TField& field, int field_number) {
  return PlaceFieldSymbol(field, field_number, Geometry(), label_obj_.Images().Drawn());
}

void TPrinterTypeBase::AddFields() {
  TFieldList& fields = label_obj_.Fields();
  for (int i = 0; i < fields.Count(); ++i) {
    TField* field = fields.Items(i);
    if (field == nullptr) continue;
    switch (field->FieldType()) {
      case ftSimpleText:
        AddText(*field);
        break;
      case ftGraphicText:
      case ftImage:
        AddGraphic(*field);
        break;
      case ftBarcode:
        AddBarcode(*field, i + 1);
        break;
      case ftLine:
        AddLine(*field);
        break;
      case ftRectangle:
        AddBox(*field);
        break;
      case ft2DBarcode:
        AddSymbol(*field, i + 1);
        break;
      default:  // unknown items print nothing
        break;
    }
  }
}

void TPrinterTypeBase::FillFieldValues() {
  TFieldList& fields = label_obj_.Fields();
  for (int i = 0; i < fields.Count(); ++i) {
    TField* field = fields.Items(i);
    if (field == nullptr) continue;
    for (const TDataValueItem& item : values_list_)
      if (field->SetValue(item.SourceName, item.Value)) break;
  }
}

}  // namespace pirell
