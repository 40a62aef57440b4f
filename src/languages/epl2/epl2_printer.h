#pragma once

#include <cstdint>

#include "rendering/field_geometry.h"
#include "rendering/printer_type_base.h"

namespace pirell {

// Generator for printers that speak EPL2. Printer-resident text, barcodes, lines and boxes become
// drawing commands; text in a chosen font and pictures are sent as raster graphics. Command text
// is in windows-1251, the character set that InitializePrinter selects.
class TPrinterTypeZebraEZPL2 : public TPrinterTypeBase {
 public:
  TPrinterTypeZebraEZPL2();

  // Deletes stored fonts, forms and graphics, selects the Cyrillic character set, resets.
  void InitializePrinter() override;
  // Starts a job with the label size, gap, printing mode, darkness and speed.
  void InitTask() override;
  // One label: clear the image buffer, draw every field, print NumCopyes copies.
  void MakeLabelScript(std::uint16_t NumCopyes) override;
  // Prints the printer's own configuration.
  void TestPrinter() override;

 private:
  void AddText(TField& field) override;
  void AddBarcode(TField& field, int field_number) override;
  void AddGraphic(TField& field) override;
  void AddLine(TField& field) override;
  void AddBox(TField& field) override;
  void AddSymbol(TField& field, int field_number) override;
  // The first `bytes_per_row` bytes of every row of the bitmap as a raster graphic with its
  // top-left corner at (left, top).
  void AddRaster(std::int32_t left, std::int32_t top, const MonoBitmap& bitmap, int bytes_per_row);
};

}  // namespace pirell
