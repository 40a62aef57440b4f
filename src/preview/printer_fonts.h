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

// Whose resident fonts: EPL2's or TSPL's.
enum class PrinterFontSet { Epl2, Tspl };

// EPL2's fonts "1" to "5" at the resolution (Epl2FontCell); TSPL's fixed-pitch fonts "1" to "8"
// at any resolution (TsplFontCell), each cell also the step to the next character. Nothing for any
// other font name.
std::optional<PrinterFontCell> PrinterFontCellOf(char font, int dpi = 203,
                                                 PrinterFontSet set = PrinterFontSet::Epl2);

// The printer's fonts drawn with the platform's monospace TrueType face, fitted to each cell: the
// layout and sizes are the printer's, the letter shapes are not. Glyphs are made when first
// asked for and kept.
class PrinterFonts {
 public:
  explicit PrinterFonts(int dpi = 203, PrinterFontSet set = PrinterFontSet::Epl2);
  ~PrinterFonts();
  PrinterFonts(const PrinterFonts&) = delete;
  PrinterFonts& operator=(const PrinterFonts&) = delete;

  // The glyph of a windows-1251 character byte in one of the fonts, as large as the font's cell;
  // a character without ink (a space, a control character) is all white.
  const MonoBitmap& Glyph(char font, unsigned char byte);
  // The cell of one of the fonts at the fonts' resolution.
  std::optional<PrinterFontCell> Cell(char font) const;
  int Dpi() const { return dpi_; }

 private:
  struct Face;
  Face& FaceOf(char font);

  int dpi_;
  PrinterFontSet set_;
  std::array<std::unique_ptr<Face>, 8> faces_;
};

}  // namespace pirell::preview
