#pragma once

// The reference label of the benchmarks: a 58 x 40 mm label at 203 dpi with a printer-font text
// bound to "Name", a Code 128 barcode with its readable line bound to "Barcode", a line and a box;
// "with bitmaps" adds a 40 x 10 mm text in a chosen font (9 pt, bound to "Description") and a
// 20 x 20 mm picture (a 120 x 100 pixel 24-bit BMP embedded in the template).

#include <string>

namespace pirell::bench {

std::string ReferenceTemplate(bool with_bitmaps);

// A price tag of a marked product: the name ("Name") and price ("Price") in printer fonts, an
// EAN-13 ("Barcode") and the marking code ("Code") as a GS1 DataMatrix in an 18 x 18 mm box.
std::string MarkingCodeTemplate();

// The marking code of label `number`: GTIN, a serial number of its own, the verification key
// and a crypto tail, separated by GS as scanned.
std::string MarkingCode(int number);

}  // namespace pirell::bench
