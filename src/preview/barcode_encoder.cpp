#include "preview/barcode_encoder.h"

namespace pirell::preview {

bool HasTwoWidths(Symbology symbology) {
  return symbology == Symbology::Interleaved2of5 || symbology == Symbology::Codabar ||
         symbology == Symbology::Code39;
}

bool IsEanOrUpc(Symbology symbology) {
  return symbology == Symbology::UpcA || symbology == Symbology::UpcE ||
         symbology == Symbology::Ean8 || symbology == Symbology::Ean13;
}

}  // namespace pirell::preview
