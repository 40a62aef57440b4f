#pragma once

// Line layout with the rules of the Windows text-drawing call, for rasterisers that draw glyphs
// themselves. Portable: the caller supplies the advance width of each character.

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace pirell::platform {

struct PlacedChar {
  char32_t ch = 0;
  int x = 0;                // pen position of the character in the box, alignment applied
  int advance = 0;          // pixels
  bool underlined = false;  // marked by a preceding ampersand
};

struct LaidOutLine {
  std::vector<PlacedChar> chars;
  int left = 0;   // where the line starts in the box (may be negative when it is wider)
  int width = 0;  // sum of the advances
};

// Advance width in pixels of one character of the font.
using AdvanceOf = std::function<int(char32_t)>;

// Splits `text` into lines for a box `box_width` pixels wide and places each line by the
// horizontal flags (1 centre, 2 right, else left); word wrapping only with flag 16. Ampersand
// prefixes are resolved: "&x" gives an underlined x, "&&" one ampersand; an ampersand that ends
// the text is drawn as it stands, as the Windows call does. Spaces at a wrap point are dropped.
// Control characters other than line breaks and tab take no room and are not kept.
std::vector<LaidOutLine> LayOutText(std::u32string_view text, int box_width, std::uint32_t flags,
                                    const AdvanceOf& advance_of);

}  // namespace pirell::platform
