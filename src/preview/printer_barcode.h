#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "preview/barcode_encoder.h"
#include "preview/printer_fonts.h"
#include "rendering/mono_bitmap.h"

namespace pirell::preview {

// A barcode as a "B" command asks for it.
struct PrinterBarcode {
  std::int64_t x = 0;
  std::int64_t y = 0;
  int turn = 0;                        // clockwise quarter turns about (x, y)
  std::optional<Symbology> symbology;  // none: a type the printer does not have
  int narrow = 1;                      // dots of a narrow element (of a module)
  int wide = 2;                        // dots of a wide element, for symbologies of two widths
  std::int64_t height = 0;             // of the bars
  bool human_readable = false;         // the text line under the bars
  std::size_t data_length = 0;         // characters sent, for the size of a refused symbol
};

// Gap between the bars and the human-readable line.
inline constexpr int kHumanReadableGap = 2;

// The printer font of the human-readable line: larger with wider modules (fonts 1 to 4).
char HumanReadableFont(int narrow);

// Draws the encoded symbol: elements from the first bar on at their widths in dots, and the
// human-readable line centred under the bars when asked for. A refused symbol is drawn as a
// hatched box of about the size it would have had. Cut to the label; answers false when part of
// it falls off the label.
bool DrawPrinterBarcode(const PrinterBarcode& barcode, const BarcodePattern& pattern,
                        PrinterFonts& fonts, MonoBitmap& label);

}  // namespace pirell::preview
