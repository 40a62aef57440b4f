#pragma once

#include <string>
#include <vector>

#include "rendering/gs1_element_string.h"

namespace pirell {

// A GS1-128 symbol as bars and spaces, for printer languages that cannot be trusted to place the
// FNC1 characters themselves and are sent the symbol as a raster.
struct TLinearSymbol {
  // Element widths in modules from the first bar on, bars and spaces taking turns; no quiet zones.
  std::vector<int> elements;
  std::string refusal;  // Russian; empty when the elements were encoded
  bool ok() const { return refusal.empty(); }
  int Modules() const;
};

// Encodes the elements (FNC1 first, an FNC1 after every variable-length element another one
// follows) as libzint does for the preview's GS1-128 symbols, so a raster drawn from it has the
// bars of the symbol that a printer's own Code 128 with FNC1 would have.
TLinearSymbol EncodeGs1_128(const std::vector<TGs1Element>& elements);

// The bars and spaces of a raster row at one pixel per module (three bytes a pixel, the dark
// pixels bars) as element widths, from the first bar to the last: quiet zones left out.
std::vector<int> BarElementsOfRow(const unsigned char* rgb_row, int width);

}  // namespace pirell
