#pragma once

#include <string>
#include <vector>

#include "rendering/mono_bitmap.h"

namespace pirell::testing {

// Barcode readers for the tests: zxing-cpp for two-dimensional symbols, zbarimg for linear ones.

// A symbol a barcode reader found in a picture.
struct DecodedSymbol {
  std::string format;      // "DataMatrix", "QRCode", "PDF417", "Aztec", "Code128", ...
  std::string text;        // UTF-8, as a phone shows it (ECI applied)
  std::string bytes;       // the data bytes as a scanner transmits them (GS for FNC1 separators)
  std::string identifier;  // the symbology identifier: "]d2" for GS1 DataMatrix, "]C1" ...
  bool gs1 = false;        // the reader takes the content for GS1 data
};

// Every symbol zxing-cpp reads in the picture (a label as the preview draws it), in the order
// it finds them.
std::vector<DecodedSymbol> DecodeSymbols(const MonoBitmap& picture);

// Whether zbarimg (Debian's zbar-tools) is installed.
bool HaveZbarimg();
// "TYPE:DATA" of each barcode zbarimg reads in a PNG picture, a line each; UPC-A and UPC-E under
// their own names.
std::string ZbarimgRead(const std::string& png);

}  // namespace pirell::testing
