#pragma once

#include <cstdint>
#include <string_view>

namespace pirell {

// Linear symbologies that a template's "Shk" field names, in the order their names are tested.
enum class TBarcodeType : std::uint8_t {
  UpcA,
  UpcE,
  Ean8,
  Ean13,
  Interleaved2of5,
  Codabar,
  Code11,
  Code39,
  Code93,
  Code128,
  Gs1_128,  // Code 128 with FNC1 first: a GS1 element string
};

// The symbology whose name the text contains (Latin letters in any case): "UPC_A", "UPC_E",
// "EAN_8", "EAN_13", "INTERLEAVED2OF5", "CODABAR", "CODE11", "CODE39", "CODE93", "CODE128",
// "GS1_128" or "EAN128", tested in this order; EAN-13 when none.
TBarcodeType BarcodeTypeFromName(std::string_view name);

}  // namespace pirell
