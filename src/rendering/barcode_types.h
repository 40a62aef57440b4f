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
};

// The symbology whose name the text contains (Latin letters in any case); EAN-13 when none.
TBarcodeType BarcodeTypeFromName(std::string_view name);

}  // namespace pirell
