#include "preview/printer_fonts.h"

#include <algorithm>
#include <climits>
#include <mutex>
#include <string>
#include <string_view>

#include "languages/epl2/epl2_fonts.h"
#include "languages/tspl/tspl_text.h"
#include "platform/codepage.h"
#include "platform/text_raster.h"

namespace pirell::preview {
namespace {

// Characters that reach furthest up, down and across in most faces: the font size is the largest
// at which all of them fit into the cell together.
constexpr std::string_view kWidestTallest[] = {"W", "M", "Ж", "Щ", "Й", "g", "j", "|", "@"};

// At 72 dots per inch a size in points is a size in dots.
constexpr int kDotsAsPoints = 72;

struct Ink {
  int left = INT_MAX;
  int top = INT_MAX;
  int right = -1;  // inclusive
  int bottom = -1;

  void Add(const MonoBitmap& bitmap) {
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = 0; x < bitmap.Width(); ++x)
        if (bitmap.IsBlack(x, y)) {
          left = std::min(left, x);
          right = std::max(right, x);
          top = std::min(top, y);
          bottom = std::max(bottom, y);
        }
  }
  bool Empty() const { return right < 0; }
  int Width() const { return Empty() ? 0 : right - left + 1; }
  int Height() const { return Empty() ? 0 : bottom - top + 1; }
};

// The size of the monospace face that fits a cell, and where its glyphs go in the cell.
struct Fit {
  int size = 1;
  // Moves a glyph drawn at the top-left corner of a large box to its place in the cell.
  int shift_x = 0;
  int shift_y = 0;
};

platform::FontDescription MonospaceFont(int size) {
  platform::FontDescription font;
  font.face = platform::MonospaceFontFace();
  font.size_points = size;
  return font;
}

// A glyph drawn alone into a box large enough that nothing of it is cut.
MonoBitmap Drawn(const PrinterFontCell& cell, const platform::FontDescription& font,
                 std::string_view utf8) {
  MonoBitmap box(cell.width * 3, cell.height * 3);
  platform::RasteriseText(font, kDotsAsPoints, utf8, 0, box);
  return box;
}

Fit FitToCell(const PrinterFontCell& cell) {
  Fit fit;
  // The ink of a line of these faces is a little taller than the size: start just above.
  for (int size = cell.height + 2; size >= 1; --size) {
    Ink ink;
    for (std::string_view probe : kWidestTallest) ink.Add(Drawn(cell, MonospaceFont(size), probe));
    if (size > 1 && (ink.Width() > cell.width || ink.Height() > cell.height)) continue;
    fit.size = size;
    if (ink.Empty()) break;
    // Centred across and down the cell.
    fit.shift_x = (cell.width - ink.Width()) / 2 - ink.left;
    fit.shift_y = (cell.height - ink.Height()) / 2 - ink.top;
    break;
  }
  return fit;
}

// Fitting draws dozens of probes; the face does not change while the program runs, so each
// font is fitted once for all renderers.
Fit FittedOnce(char font, int dpi, PrinterFontSet set) {
  static std::mutex mutex;
  static std::array<std::optional<Fit>, 18> fits;
  const auto number = static_cast<std::size_t>(font - '1');
  const std::size_t index =
      set == PrinterFontSet::Tspl ? 10 + number : number + (dpi >= 250 ? 5 : 0);
  std::lock_guard lock(mutex);
  if (!fits[index]) fits[index] = FitToCell(*PrinterFontCellOf(font, dpi, set));
  return *fits[index];
}

}  // namespace

std::optional<PrinterFontCell> PrinterFontCellOf(char font, int dpi, PrinterFontSet set) {
  if (set == PrinterFontSet::Tspl) {
    TTsplFontCell cell;
    if (!TsplFontCell(font, cell)) return std::nullopt;
    return PrinterFontCell{cell.width, cell.height, cell.width};
  }
  if (font < '1' || font > '5') return std::nullopt;
  const TEpl2FontCell cell = Epl2FontCell(font - '0', dpi);
  return PrinterFontCell{cell.width, cell.height, cell.advance};
}

struct PrinterFonts::Face {
  PrinterFontCell cell;
  Fit fit;
  platform::FontDescription font;
  std::array<std::unique_ptr<MonoBitmap>, 256> glyphs;

  Face(char name, int dpi, PrinterFontSet set)
      : cell(*PrinterFontCellOf(name, dpi, set)),
        fit(FittedOnce(name, dpi, set)),
        font(MonospaceFont(fit.size)) {}

  const MonoBitmap& Glyph(unsigned char byte) {
    std::unique_ptr<MonoBitmap>& glyph = glyphs[byte];
    if (glyph) return *glyph;
    glyph = std::make_unique<MonoBitmap>(cell.width, cell.height);
    if (byte >= 0x20) {
      const MonoBitmap drawn =
          Drawn(cell, font, platform::Cp1251ToUtf8(std::string(1, static_cast<char>(byte))));
      for (int y = 0; y < drawn.Height(); ++y)
        for (int x = 0; x < drawn.Width(); ++x)
          if (drawn.IsBlack(x, y) && glyph->Contains(x + fit.shift_x, y + fit.shift_y))
            glyph->SetBlack(x + fit.shift_x, y + fit.shift_y);
    }
    return *glyph;
  }
};

PrinterFonts::PrinterFonts(int dpi, PrinterFontSet set) : dpi_(dpi), set_(set) {}
PrinterFonts::~PrinterFonts() = default;

PrinterFonts::Face& PrinterFonts::FaceOf(char font) {
  if (!Cell(font)) font = '1';
  const std::size_t index = static_cast<std::size_t>(font - '1');
  if (!faces_[index]) faces_[index] = std::make_unique<Face>(font, dpi_, set_);
  return *faces_[index];
}

std::optional<PrinterFontCell> PrinterFonts::Cell(char font) const {
  return PrinterFontCellOf(font, dpi_, set_);
}

const MonoBitmap& PrinterFonts::Glyph(char font, unsigned char byte) {
  return FaceOf(font).Glyph(byte);
}

}  // namespace pirell::preview
