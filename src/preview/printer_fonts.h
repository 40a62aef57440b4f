#pragma once

#include <array>
#include <memory>
#include <optional>

#include "rendering/mono_bitmap.h"

namespace pirell::preview {

// A resident font of the printer: the cell that holds each character and
// the step from one character to the next (the cell and the gap after it).
struct PrinterFontCell {
  int width = 0;
  int height = 0;
  int advance = 0;
};

// Fonts "1" to "5" at 203 dots per inch: 8 x 12, 10 x 16, 12 x 20, 14 x 24 and 32 x 48 dots at
// 20.3, 16.9, 14.5, 12.7 and 5.6 characters per inch; at 300 dots per inch (any head of 250 or
// more) 12 x 20, 16 x 28, 20 x 36, 24 x 44 and 48 x 80 dots. Nothing for any other font name.
std::optional<PrinterFontCell> PrinterFontCellOf(char font, int dpi = 203);

// The printer's fonts drawn with the platform's monospace TrueType face, fitted to each cell: the
// layout and sizes are the printer's, the letter shapes are not. Glyphs are made when first
// asked for and kept.
class PrinterFonts {
 public:
  explicit PrinterFonts(int dpi = 203);
  ~PrinterFonts();
  PrinterFonts(const PrinterFonts&) = delete;
  PrinterFonts& operator=(const PrinterFonts&) = delete;

  // The glyph of a windows-1251 character byte in a font "1" to "5", as large as the font's cell;
  // a character without ink (a space, a control character) is all white.
  const MonoBitmap& Glyph(char font, unsigned char byte);
  // The cell of a font "1" to "5" at the fonts' resolution.
  std::optional<PrinterFontCell> Cell(char font) const;
  int Dpi() const { return dpi_; }

 private:
  struct Face;
  Face& FaceOf(char font);

  int dpi_;
  std::array<std::unique_ptr<Face>, 5> faces_;
};

}  // namespace pirell::preview
