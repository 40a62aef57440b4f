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

// The picture an Image field names by its value: a picture of the label with that name, or else
// a file of that name, which is added to the label's pictures. A file already added under the
// same full file name is reused, so the pictures do not grow with every label. None when
// neither exists.
const Picture* GetImageBitmap(const TField& field);

}  // namespace pirell
