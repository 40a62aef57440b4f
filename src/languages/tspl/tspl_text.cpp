#include "languages/tspl/tspl_text.h"

#include <array>
#include <cmath>
#include <cstdlib>

namespace pirell {
namespace {

constexpr std::array<TTsplFontCell, 8> kCells = {{
    {8, 12},
    {12, 20},
    {16, 24},
    {24, 32},
    {32, 48},
    {14, 19},
    {21, 27},
    {14, 25},
}};

// The character pitch and cell height of EPL2's fonts 1 to 5 (EPL2 programming guide), at
// 203 dots per inch and at 300.
struct Epl2Cell {
  double pitch;
  double height;
};
constexpr std::array<Epl2Cell, 5> kEpl2Cells203 = {{
    {10, 12},
    {12, 16},
    {14, 20},
    {16, 24},
    {36, 48},
}};
constexpr std::array<Epl2Cell, 5> kEpl2Cells300 = {{
    {14, 20},
    {18, 28},
    {22, 36},
    {26, 44},
    {50, 80},
}};

constexpr std::int32_t kMaxMultiplier = 10;

std::int32_t Multiplier(double target, std::int32_t dots) {
  const auto nearest = static_cast<std::int32_t>(std::lround(target / dots));
  return nearest < 1 ? 1 : (nearest > kMaxMultiplier ? kMaxMultiplier : nearest);
}

}  // namespace

ByteString TsplQuoted(std::string_view bytes) {
  ByteString out;
  out.reserve(bytes.size() + 2);
  out.push_back('"');
  for (const char byte : bytes) {
    if (byte == '"')
      out.append("\\[\"]");
    else
      out.push_back(byte);
  }
  out.push_back('"');
  return out;
}

bool TsplFontCell(char font, TTsplFontCell& cell) {
  if (font < '1' || font > '8') return false;
  cell = kCells[static_cast<std::size_t>(font - '1')];
  return true;
}

TTsplFont TsplFontForSize(std::int32_t font_size, std::int32_t dpi) {
  int epl2_font = 3;
  int magnification = 2;
  if (font_size >= 1 && font_size <= 4) {
    epl2_font = font_size;
    magnification = 1;
  } else if (font_size == 5) {
    epl2_font = 2;
  }
  const Epl2Cell& epl2 =
      (dpi >= 250 ? kEpl2Cells300 : kEpl2Cells203)[static_cast<std::size_t>(epl2_font - 1)];
  const double pitch = epl2.pitch * magnification;
  const double height = epl2.height * magnification;

  TTsplFont best;
  double best_error = 0;
  // The fixed-pitch fonts only: the OCR fonts are for machine reading.
  for (char font = '1'; font <= '5'; ++font) {
    TTsplFont candidate;
    candidate.font = font;
    TsplFontCell(font, candidate.cell);
    candidate.x_multiplier = Multiplier(pitch, candidate.cell.width);
    candidate.y_multiplier = Multiplier(height, candidate.cell.height);
    // Of two fonts as near, the one magnified less: its characters are drawn finer.
    const double error = std::abs(candidate.CharacterWidth() - pitch) / pitch +
                         std::abs(candidate.LineHeight() - height) / height +
                         0.001 * (candidate.x_multiplier + candidate.y_multiplier);
    if (font == '1' || error < best_error) {
      best = candidate;
      best_error = error;
    }
  }
  return best;
}

}  // namespace pirell
