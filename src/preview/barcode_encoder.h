#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pirell::preview {

// The linear symbologies the driver asks the printer for.
enum class Symbology {
  UpcA,
  UpcE,
  Ean8,
  Ean13,
  Interleaved2of5,
  Codabar,
  Code39,
  Code93,
  Code128,
  Gs1_128,  // Code 128 with FNC1 first: the data is a GS1 element string as transmitted
};

// Symbologies made of narrow and wide elements only; the others count in modules.
bool HasTwoWidths(Symbology symbology);
// EAN-8, EAN-13, UPC-A and UPC-E: symbologies of a fixed number of digits and module widths the
// printers hold to 2 to 4 dots.
bool IsEanOrUpc(Symbology symbology);

// A symbol as a barcode library encodes it, or the library's reason for refusing the data.
struct BarcodePattern {
  // Element widths in modules from the first bar on, bars and spaces taking turns; quiet zones
  // are not included.
  std::vector<int> elements;
  std::string human_readable;  // UTF-8, check characters included
  std::string refusal;         // empty when the data was encoded
};

// Encodes `data` (the bytes of the command) in the symbology. For GS1-128 the data is the element
// string as a scanner transmits it, GS where the symbol has an FNC1 separator; the human-readable
// text then shows the AIs in parentheses.
BarcodePattern EncodeBarcode(Symbology symbology, std::string_view data);

}  // namespace pirell::preview
