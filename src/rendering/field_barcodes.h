#pragma once

// The barcodes the driver encodes itself, for every printer language alike: the symbols of
// "2DShk" fields, drawn as rasters, and the GS1 element strings of "Shk" fields of type GS1-128.

#include <cstdint>
#include <string>
#include <vector>

#include "common/errors.h"
#include "rendering/field_geometry.h"
#include "rendering/gs1_element_string.h"
#include "rendering/label_document.h"
#include "rendering/mono_bitmap.h"
#include "rendering/request_pictures.h"

namespace pirell {

// A barcode that cannot be printed as the template and the data ask: code 1004, with a Russian
// detail naming the field and the reason.
class BarcodeError : public CodedError {
 public:
  explicit BarcodeError(const std::string& message)
      : CodedError(rc::BadParameters, message, "EBarcodeError") {}
};

// A "2DShk" field's symbol as it goes on the label: the bitmap, turned with the field, and its
// top-left corner in dots. No bitmap for a field without a value: nothing is printed then.
struct TPlacedSymbol {
  std::int32_t left = 0;
  std::int32_t top = 0;
  const MonoBitmap* bitmap = nullptr;
};

// The symbol of a "2DShk" field (its 1-based position in the template is `field_number`),
// encoded from its value with its "BarCodeType" and "ErrorCorrection", drawn at whole dots per
// module ("ModuleSize", or else the most with which the symbol fits the box) at the top-left
// corner of the box, turned with the field. The same value in the same box is encoded and drawn
// once per request (`drawn`). The bitmap stays valid until the next call.
// Raises a BarcodeError for an unknown type, data the symbology cannot encode, a symbol that
// does not fit the box (even at 1 dot per module) or that falls off the label.
TPlacedSymbol PlaceFieldSymbol(const TField& field, int field_number,
                               const TFieldGeometry& geometry, TRequestPictures& drawn);

// The GS1 elements of an "Shk" field of type GS1-128; none for a field without a value, which
// prints nothing. Raises a BarcodeError, naming the element at fault, when the value is no valid
// element string.
std::vector<TGs1Element> Gs1ElementsOfField(const TField& field, int field_number);

// Checks every barcode of the label that the driver encodes itself, as printing it will: raises
// the BarcodeError printing would.
void CheckLabelBarcodes(TLabelObj& label, const TFieldGeometry& geometry, TRequestPictures& drawn);

// The label has fields that CheckLabelBarcodes checks.
bool HasEncodedBarcodes(TLabelObj& label);

}  // namespace pirell
