// Builds without the barcode library draw every barcode as a refused one.

#include "preview/barcode_encoder.h"

namespace pirell::preview {

BarcodePattern EncodeBarcode(Symbology, std::string_view) {
  BarcodePattern pattern;
  pattern.refusal = "this build has no barcode library";
  return pattern;
}

}  // namespace pirell::preview
