#pragma once

#include <cstdint>
#include <string_view>

#include "rendering/field_geometry.h"
#include "rendering/printer_type_base.h"

namespace pirell {

// Generator for printers that speak TSPL. Printer-resident text, barcodes, lines and boxes become
// drawing commands; text in a chosen font, pictures, two-dimensional symbols and GS1-128 symbols
// are sent as bitmaps. Command text is in windows-1251 ("CODEPAGE 1251"); every command ends with
// CR LF.
class TPrinterTypeTSPL : public TPrinterTypeBase {
 public:
  TPrinterTypeTSPL();

  // Deletes the files stored in the printer, resets it and selects the Cyrillic code page.
  void InitializePrinter() override;
  // Starts a job with the label size, gap, direction, printing mode, darkness, speed and code
  // page.
  void InitTask() override;
  // One label: clear the image buffer, draw every field, print NumCopyes copies.
  void MakeLabelScript(std::uint16_t NumCopyes) override;
  // Prints the printer's self-test page.
  void TestPrinter() override;

  // The speed "SPEED" takes for a speed code: the inches per second of the model's table entry
  // with that code, or of the entry with the nearest code when the model has none with it.
  ByteString SpeedText(std::int32_t code) const;

 private:
  void AddText(TField& field) override;
  void AddBarcode(TField& field, int field_number) override;
  void AddGs1Barcode(TField& field, int field_number, TDotBox box, std::int32_t narrow,
                     bool readable);
  void AddGraphic(TField& field) override;
  void AddLine(TField& field) override;
  void AddBox(TField& field) override;
  void AddSymbol(TField& field, int field_number) override;
  // The first `columns` columns of the bitmap with its top-left corner at (left, top), cut to the
  // print area, drawn in `mode` (0 overwrite, 1 OR).
  void AddBitmap(std::int32_t left, std::int32_t top, const MonoBitmap& bitmap,
                 std::int32_t columns, int mode);
};

}  // namespace pirell
