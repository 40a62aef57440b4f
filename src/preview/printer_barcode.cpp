#include "preview/printer_barcode.h"

#include <algorithm>

#include "platform/codepage.h"
#include "preview/object_placement.h"
#include "preview/printer_text.h"

namespace pirell::preview {
namespace {

constexpr std::int64_t kHatchPitch = 8;
constexpr std::int64_t kHatchFrame = 2;

// About the width of the symbol that was refused, in modules: the fixed widths of EAN and UPC,
// otherwise that of a Code 128 symbol of as many characters.
std::int64_t RefusedModules(const PrinterBarcode& barcode) {
  if (barcode.symbology == Symbology::UpcE) return 51;
  if (barcode.symbology == Symbology::Ean8) return 67;
  if (barcode.symbology == Symbology::UpcA || barcode.symbology == Symbology::Ean13) return 95;
  return 11 * static_cast<std::int64_t>(std::min<std::size_t>(barcode.data_length, 4096)) + 35;
}

bool DrawHatchedBox(const PrinterBarcode& barcode, MonoBitmap& label) {
  const std::int64_t width = barcode.narrow * RefusedModules(barcode);
  const std::int64_t height = barcode.height;
  ObjectPlacement placement(label, barcode.x, barcode.y, barcode.turn);
  placement.Paint(0, 0, width, height, [width, height](std::int64_t u, std::int64_t v) {
    const bool frame =
        u < kHatchFrame || v < kHatchFrame || u >= width - kHatchFrame || v >= height - kHatchFrame;
    return frame || (u + v) % kHatchPitch == 0;
  });
  return !placement.PartlyOutside(0, 0, width, height);
}

}  // namespace

char HumanReadableFont(int narrow) {
  return static_cast<char>('0' + std::clamp(narrow, 1, 4));
}

bool DrawPrinterBarcode(const PrinterBarcode& barcode, const BarcodePattern& pattern,
                        PrinterFonts& fonts, MonoBitmap& label) {
  if (barcode.height <= 0) return true;
  if (!pattern.refusal.empty()) return DrawHatchedBox(barcode, label);

  ObjectPlacement placement(label, barcode.x, barcode.y, barcode.turn);
  const bool two_widths = barcode.symbology && HasTwoWidths(*barcode.symbology);
  std::int64_t u = 0;
  bool bar = true;
  for (int modules : pattern.elements) {
    const std::int64_t width = two_widths ? (modules > 1 ? barcode.wide : barcode.narrow)
                                          : std::int64_t{modules} * barcode.narrow;
    if (bar) placement.Fill(u, 0, width, barcode.height, true);
    u += width;
    bar = !bar;
  }
  const std::int64_t bars_width = u;
  bool inside = !placement.PartlyOutside(0, 0, bars_width, barcode.height);

  if (barcode.human_readable && !pattern.human_readable.empty()) {
    const std::string text = platform::Utf8ToCp1251(pattern.human_readable);
    const char font = HumanReadableFont(barcode.narrow);
    const std::int64_t text_width = TextLineWidth(fonts, font, 1, text.size());
    const std::int64_t text_top = barcode.height + kHumanReadableGap;
    const std::int64_t text_left = (bars_width - text_width) / 2;
    DrawTextLine(placement, text_left, text_top, font, 1, 1, text, true, fonts);
    inside = inside && !placement.PartlyOutside(text_left, text_top, text_width,
                                                TextLineHeight(fonts, font, 1));
  }
  return inside;
}

}  // namespace pirell::preview
