#pragma once

#include <cstdint>
#include <string_view>

#include "preview/object_placement.h"
#include "rendering/mono_bitmap.h"

namespace pirell::preview {

// A line of text in a printer's scalable font, drawn with the platform's sans-serif TrueType face
// (the layout is the printer's: the height, the width scale and the place; the letter shapes and
// the character widths are the face's).
class ScalableTextLine {
 public:
  // `utf8` at a character height of `height` dots; `width` dots is the character width the
  // command asks for, which scales the line across (the face's own proportions at width ==
  // height). Sizes are held to what fits a label.
  ScalableTextLine(std::string_view utf8, std::int64_t height, std::int64_t width);

  // The line's size upright: from its start to its last ink across, the height down.
  std::int64_t Width() const { return width_; }
  std::int64_t Height() const { return height_; }
  // The baseline, from the top.
  std::int64_t Baseline() const { return baseline_; }

  // Draws the line with its top-left corner at (u, v) of an object placed at (x, y) turned by
  // `turn` (as ObjectPlacement places it); `reverse` turns every label dot under the line's ink
  // over instead of blackening it. Dots of the line past `max_width` across are not drawn.
  void Draw(MonoBitmap& label, std::int64_t x, std::int64_t y, int turn, std::int64_t u,
            std::int64_t v, bool reverse, std::int64_t max_width) const;

 private:
  MonoBitmap glyphs_;  // the line at the face's proportions
  std::int64_t height_ = 0;
  std::int64_t width_ = 0;
  std::int64_t baseline_ = 0;
  std::int64_t scale_num_ = 1;  // across: label dots = glyph dots * num / den
  std::int64_t scale_den_ = 1;
};

}  // namespace pirell::preview
