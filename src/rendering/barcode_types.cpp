#include "rendering/barcode_types.h"

#include <array>
#include <string>
#include <utility>

#include "rendering/command_text.h"

namespace pirell {

TBarcodeType BarcodeTypeFromName(std::string_view name) {
  static constexpr std::array<std::pair<std::string_view, TBarcodeType>, 12> kNames = {{
      {"UPC_A", TBarcodeType::UpcA},
      {"UPC_E", TBarcodeType::UpcE},
      {"EAN_8", TBarcodeType::Ean8},
      {"EAN_13", TBarcodeType::Ean13},
      {"INTERLEAVED2OF5", TBarcodeType::Interleaved2of5},
      {"CODABAR", TBarcodeType::Codabar},
      {"CODE11", TBarcodeType::Code11},
      {"CODE39", TBarcodeType::Code39},
      {"CODE93", TBarcodeType::Code93},
      {"CODE128", TBarcodeType::Code128},
      {"GS1_128", TBarcodeType::Gs1_128},
      {"EAN128", TBarcodeType::Gs1_128},
  }};
  const std::string upper = UpperLatin(name);
  for (const auto& [pattern, type] : kNames)
    if (upper.find(pattern) != std::string::npos) return type;
  return TBarcodeType::Ean13;
}

}  // namespace pirell
