#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "rendering/cmd_list.h"

namespace pirell {

// A text fits the printer's resident scalable font: every character is printable ASCII or
// Latin-1 (U+0020 to U+007E, U+00A0 to U+00FF), the characters that font has on every ZPL II
// printer. Line breaks count as spaces.
bool FitsResidentFont(std::string_view utf8);

// The field data of a text: UTF-8 for "^CI28", line breaks as spaces. The characters ZPL II
// takes as command prefixes ("^", "~") or as the "^FH" escape ("_") and the other control
// characters are written "_XX"; `escaped` tells whether any was, so that the field needs "^FH".
ByteString TextFieldData(std::string_view utf8, bool& escaped);

// The field data of a barcode: printable ASCII as it is, every other character "?", escaped as
// TextFieldData escapes; for Code 128 ("code128" true) a ">" is written "><", since ">" starts
// its invocation codes.
ByteString BarcodeFieldData(std::string_view utf8, bool code128, bool& escaped);

// A UPC-E number (six digits, or seven with the number system 0 first, or eight with the check
// digit last) as the ten digits of the UPC-A number it suppresses zeros of: five of the
// manufacturer, five of the product, which "^B9" takes. The value as it is when it is none.
std::string UpcEManufacturerAndProduct(std::string_view value);

}  // namespace pirell
