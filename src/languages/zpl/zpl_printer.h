#pragma once

#include <cstdint>

#include "rendering/field_geometry.h"
#include "rendering/printer_type_base.h"

namespace pirell {

// Generator for printers that speak ZPL II. Each label is one format between "^XA" and "^XZ"
// that carries the print width and length and selects UTF-8 ("^CI28"); printer-font texts use
// the resident scalable font 0, barcodes the printer's own symbologies, lines and boxes "^GB";
// pictures, texts in a chosen font, two-dimensional symbols and printer-font texts of characters
// the resident font lacks go as compressed graphic fields ("^GFA"). One command a line.
class TPrinterTypeZPL2 : public TPrinterTypeBase {
 public:
  TPrinterTypeZPL2();

  // Deletes the graphics and formats stored in the printer's memory and resets it.
  void InitializePrinter() override;
  // Darkness, media tracking, printing mode and speed, which the printer keeps.
  void InitTask() override;
  // One label format: every field, then the copies.
  void MakeLabelScript(std::uint16_t NumCopyes) override;
  // Prints the printer's configuration label.
  void TestPrinter() override;

 private:
  void AddText(TField& field) override;
  void AddRenderedText(const TField& field, const std::string& text, TDotBox reference,
                       std::int32_t height, std::int32_t advance, bool reverse);
  void AddBarcode(TField& field, int field_number) override;
  void AddGraphic(TField& field) override;
  void AddLine(TField& field) override;
  void AddBox(TField& field) override;
  void AddSymbol(TField& field, int field_number) override;
  // The bitmap as a graphic field with its top-left corner at (left, top); the part left of or
  // above the label is cut off, since a field cannot start there.
  void AddRaster(std::int32_t left, std::int32_t top, const MonoBitmap& bitmap);
};

}  // namespace pirell
