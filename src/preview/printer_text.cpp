#include "preview/printer_text.h"

namespace pirell::preview {

std::int64_t TextLineWidth(const PrinterFonts& fonts, char font, int width_factor,
                           std::size_t characters) {
  const auto cell = fonts.Cell(font);
  if (!cell) return 0;
  return static_cast<std::int64_t>(characters) * cell->advance * width_factor;
}

std::int64_t TextLineHeight(const PrinterFonts& fonts, char font, int height_factor) {
  const auto cell = fonts.Cell(font);
  return cell ? std::int64_t{cell->height} * height_factor : 0;
}

void DrawTextLine(ObjectPlacement& placement, std::int64_t u, std::int64_t v, char font,
                  int width_factor, int height_factor, std::string_view bytes, bool black,
                  PrinterFonts& fonts) {
  const auto cell = fonts.Cell(font);
  if (!cell) return;
  const std::int64_t step = std::int64_t{cell->advance} * width_factor;
  const std::int64_t height = TextLineHeight(fonts, font, height_factor);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const std::int64_t left = u + static_cast<std::int64_t>(i) * step;
    // Characters off the label cost nothing, however long the text.
    if (!placement.Visible(left, v, step, height)) continue;
    const MonoBitmap& glyph = fonts.Glyph(font, static_cast<unsigned char>(bytes[i]));
    for (int gy = 0; gy < glyph.Height(); ++gy)
      for (int gx = 0; gx < glyph.Width(); ++gx)
        if (glyph.IsBlack(gx, gy)) {
          placement.Fill(left + std::int64_t{gx} * width_factor,
                         v + std::int64_t{gy} * height_factor, width_factor, height_factor, black);
        }
  }
}

bool DrawPrinterText(const PrinterText& text, PrinterFonts& fonts, MonoBitmap& label) {
  if (!fonts.Cell(text.font) || text.bytes.empty()) return true;
  const std::int64_t width = TextLineWidth(fonts, text.font, text.width_factor, text.bytes.size());
  const std::int64_t height = TextLineHeight(fonts, text.font, text.height_factor);
  ObjectPlacement placement(label, text.x, text.y, text.turn);
  if (text.reverse) placement.Fill(0, 0, width, height, true);
  DrawTextLine(placement, 0, 0, text.font, text.width_factor, text.height_factor, text.bytes,
               !text.reverse, fonts);
  return !placement.PartlyOutside(0, 0, width, height);
}

}  // namespace pirell::preview
