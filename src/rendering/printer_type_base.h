#pragma once

#include <cstdint>
#include <utility>

#include "rendering/cmd_list.h"
#include "rendering/field_barcodes.h"
#include "rendering/field_geometry.h"
#include "rendering/label_document.h"
#include "rendering/print_params.h"
#include "rendering/values_list.h"

namespace pirell {

// Base of every printer-language generator. The driver loads the template into LabelObj, calls
// InitTask once per request and writes CmdList to the port, each command followed by CmdSuffix;
// then, for every label, it empties CmdList, calls InitLabel, ValuesList().Add(...) and
// MakeLabelScript and writes the label's commands. Derived generators call the base operation
// first and then append their own commands.
class TPrinterTypeBase {
 public:
  TPrinterTypeBase() = default;
  virtual ~TPrinterTypeBase() = default;
  TPrinterTypeBase(const TPrinterTypeBase&) = delete;
  TPrinterTypeBase& operator=(const TPrinterTypeBase&) = delete;

  virtual void InitializePrinter();  // clears the command list
  virtual void InitTask();           // clears the command list
  virtual void InitLabel();          // clears the values of the previous label
  // Binds the current values to the fields; the base appends no command.
  virtual void MakeLabelScript(std::uint16_t NumCopyes);
  virtual void TestPrinter();  // clears the command list

  // Binds the current values to the fields as MakeLabelScript does and checks the label's
  // barcodes that the driver encodes itself as printing will draw them; appends no command.
  // Raises the BarcodeError that printing the label would.
  void CheckLabelScript();

  // Appended to every command on sending, except to commands marked coNoSuffix.
  const ByteString& CmdSuffix() const { return cmd_suffix_; }

  TCmdList& CmdList() { return cmd_list_; }
  const TCmdList& CmdList() const { return cmd_list_; }
  TLabelObj& LabelObj() { return label_obj_; }
  TValuesList& ValuesList() { return values_list_; }
  const TValuesList& ValuesList() const { return values_list_; }

  // Set by the driver after construction.
  TPrinterModelProps& ModelProps() { return model_props_; }
  const TPrinterModelProps& ModelProps() const { return model_props_; }
  TPrintParams& PrintParams() { return print_params_; }
  const TPrintParams& PrintParams() const { return print_params_; }

 protected:
  void SetCmdSuffix(ByteString suffix) { cmd_suffix_ = std::move(suffix); }

  // Offers every value of the current label, in list order, to every field; a field takes the
  // first value it accepts and keeps its previous one when it accepts none.
  void FillFieldValues();

  // Appends the commands of every field of the label in list order, each by the hook of its kind;
  // items of no printable kind append nothing. `field_number` counts the fields from 1.
  void AddFields();
  virtual void AddText(TField& /*field*/) {}                           // "TextSimple"
  virtual void AddGraphic(TField& /*field*/) {}                        // "TextGraphic", "Image"
  virtual void AddBarcode(TField& /*field*/, int /*field_number*/) {}  // "Shk"
  virtual void AddLine(TField& /*field*/) {}                           // "Line"
  virtual void AddBox(TField& /*field*/) {}                            // "Rectangle"
  virtual void AddSymbol(TField& /*field*/, int /*field_number*/) {}   // "2DShk"

  // The field boxes at the model's resolution and the print area of the settings.
  TFieldGeometry Geometry() const { return TFieldGeometry(model_props_.DPI, print_params_); }
  // The symbol of the "2DShk" field at 1-based position `field_number` (PlaceFieldSymbol).
  TPlacedSymbol PlaceSymbol(const TField& field, int field_number);

 private:
  TCmdList cmd_list_;
  TLabelObj label_obj_;
  TValuesList values_list_;
  TPrinterModelProps model_props_;
  TPrintParams print_params_;
  ByteString cmd_suffix_;
};

}  // namespace pirell
