#include "languages/epl2/epl2_fonts.h"

#include <array>
#include <cstddef>

namespace pirell {
namespace {

constexpr std::array<TEpl2FontCell, 5> kCells203 = {{
    {8, 12, 10},
    {10, 16, 12},
    {12, 20, 14},
    {14, 24, 16},
    {32, 48, 36},
}};
constexpr std::array<TEpl2FontCell, 5> kCells300 = {{
    {12, 20, 14},
    {16, 28, 18},
    {20, 36, 22},
    {24, 44, 26},
    {48, 80, 50},
}};

}  // namespace

TEpl2FontCell Epl2FontCell(std::int32_t font, std::int32_t dpi) {
  const std::size_t index = font >= 1 && font <= 5 ? static_cast<std::size_t>(font - 1) : 0;
  return (dpi >= 250 ? kCells300 : kCells203)[index];
}

TEpl2TextFont Epl2FontForSize(std::int32_t font_size) {
  if (font_size >= 1 && font_size <= 4) return {font_size, 1};
  if (font_size == 5) return {2, 2};
  return {3, 2};
}

}  // namespace pirell
