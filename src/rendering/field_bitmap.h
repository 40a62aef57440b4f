#pragma once

// How a label field feeds its renderer (TField::GetBitmap is defined with these).

#include "rendering/graphic_primitives.h"
#include "rendering/label_document.h"

namespace pirell {

// Copies the field's renderer settings into `image`, walking the properties in order and
// matching names exactly: "Font.Size" (12 when not a whole number), "Font.Charset" (204 when
// not a whole number), "Font.Name", "Font.Style" (containing "fsBold", "fsItalic",
// "fsUnderline", "fsStrikeOut"), "Stretch" and the alignment flags of "HAlign" and "VAlign".
void ApplyImageProperties(const TField& field, TBaseImage& image);

// An Image field's picture drawn by its renderer: the picture of the label named by the field's
// value, or else the file it names (TLabelImageList::DrawPicture); white without either.
const MonoBitmap& DrawFieldPicture(const TField& field, TBaseImage& renderer);

}  // namespace pirell
