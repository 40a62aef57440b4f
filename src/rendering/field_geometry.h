#pragma once

#include <cstdint>

#include "rendering/barcode_types.h"
#include "rendering/dot_geometry.h"
#include "rendering/label_document.h"
#include "rendering/print_params.h"

namespace pirell {

// Where a label's fields land in printer dots, the same in every printer language: the field
// boxes of the template (millimetres) at a print head resolution, turned about their centres and
// cut to the print area of the settings.
class TFieldGeometry {
 public:
  TFieldGeometry(std::int32_t dpi, const TPrintParams& params);

  const TDotScale& Scale() const { return scale_; }
  std::int32_t MMToDots(double mm) const { return scale_.MMToDots(mm); }
  std::int32_t PrintWidthDots() const { return print_width_; }
  std::int32_t PrintHeightDots() const { return print_height_; }
  std::int32_t GapDots() const { return gap_; }

  // The field's "Left", "Top", "Width" and "Height" in dots, unturned.
  TDotBox UprightBox(const TField& field) const;
  // The upright box turned about its centre: L, T is the printer's reference point of the turned
  // box (RotateAboutCentre), W and H stay the upright sizes.
  TDotBox TurnedReference(const TField& field) const;
  // The same cut to the print area.
  TDotBox ClippedReference(const TField& field) const;
  // The turned box as it lies on the label: its top-left corner and its size on the label (W
  // and H swapped for a quarter turn). Not cut.
  TDotBox TurnedBox(const TField& field) const;

  TDotBox Clip(TDotBox box) const { return ClipToPrintArea(box, print_width_, print_height_); }

  // A "Line" field as the rectangle of dots it fills, cut to the print area: horizontal for r0
  // and r180, vertical for r90 and r270; the pen is at least one dot thick.
  TDotBox LineBox(const TField& field) const;

 private:
  TDotScale scale_;
  std::int32_t print_width_;
  std::int32_t print_height_;
  std::int32_t gap_;
};

// An "Shk" field as every language sizes it, EPL2's way: its symbology ("BarCodeType"), whether
// the human-readable line is printed ("TextVisible"), the box cut to the print area (its
// reference point turned as the field), the narrow element in dots and the bars' height.
struct TBarcodeLayout {
  TBarcodeType type = TBarcodeType::Ean13;
  bool readable = false;
  TDotBox box;              // the reference point and the upright size, cut to the print area
  std::int32_t narrow = 1;  // "BarWidth" thousandths of an inch: 2 to 4 dots for EAN and UPC,
                            // 1 to 10 for the others
  std::int32_t height = 0;  // of the bars: the line takes 4 narrow elements off EAN and UPC, 24
                            // dots off other symbols higher than 48; may come out negative
};
TBarcodeLayout BarcodeLayoutOf(const TField& field, const TFieldGeometry& geometry,
                               std::int32_t dpi);

// The top-left corner and the size on the label of a box given by its reference point (L, T) and
// its upright size (W, H) after the quarter turn: for r90 the reference is the top-right corner,
// for r180 the bottom-right, for r270 the bottom-left.
TDotBox TurnedBoxFromReference(TRotation rotation, TDotBox reference);

}  // namespace pirell
