#include "languages/tspl/tspl_text.h"

#include <array>
#include <cmath>
#include <cstdlib>

#include "languages/epl2/epl2_fonts.h"

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
  const TEpl2TextFont epl2_font = Epl2FontForSize(font_size);
  const TEpl2FontCell epl2 = Epl2FontCell(epl2_font.font, dpi);
  const double pitch = static_cast<double>(epl2.advance * epl2_font.magnification);
  const double height = static_cast<double>(epl2.height * epl2_font.magnification);

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
