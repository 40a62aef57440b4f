#include "preview/barcode_encoder.h"

namespace pirell::preview {

bool HasTwoWidths(Symbology symbology) {
  return symbology == Symbology::Interleaved2of5 || symbology == Symbology::Codabar ||
         symbology == Symbology::Code39;
}

}  // namespace pirell::preview
