#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "preview/object_placement.h"
#include "preview/printer_fonts.h"
#include "rendering/mono_bitmap.h"

namespace pirell::preview {

// A text in one of the printer's fonts, as an "A" command asks for it.
struct PrinterText {
  std::int64_t x = 0;
  std::int64_t y = 0;
  int turn = 0;  // clockwise quarter turns about (x, y)
  char font = '1';
  int width_factor = 1;
  int height_factor = 1;
  bool reverse = false;  // white characters on black cells
  std::string bytes;     // windows-1251
};

// The size of a line of characters upright, in dots: each character takes its font's step across
// and the cell height down, each multiplied; nothing for a font the printer lacks.
std::int64_t TextLineWidth(const PrinterFonts& fonts, char font, int width_factor,
                           std::size_t characters);
std::int64_t TextLineHeight(const PrinterFonts& fonts, char font, int height_factor);

// Draws a line of characters with its top-left corner at (u, v) of a placed object: black ink,
// or white ink with `black` false.
void DrawTextLine(ObjectPlacement& placement, std::int64_t u, std::int64_t v, char font,
                  int width_factor, int height_factor, std::string_view bytes, bool black,
                  PrinterFonts& fonts);

// Draws the text onto the label, cut to it. Answers false when part of it falls off the label.
bool DrawPrinterText(const PrinterText& text, PrinterFonts& fonts, MonoBitmap& label);

}  // namespace pirell::preview
