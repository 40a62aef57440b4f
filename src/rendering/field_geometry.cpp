#include "rendering/field_geometry.h"

namespace pirell {

TFieldGeometry::TFieldGeometry(std::int32_t dpi, const TPrintParams& params)
    : scale_(dpi),
      print_width_(scale_.MMToDots(params.Width)),
      print_height_(scale_.MMToDots(params.Height)),
      gap_(scale_.MMToDots(params.Gap)) {}

TDotBox TFieldGeometry::UprightBox(const TField& field) const {
  return TDotBox{
      MMToDots(field.GetPropertyDbl("Left", 0)), MMToDots(field.GetPropertyDbl("Top", 0)),
      MMToDots(field.GetPropertyDbl("Width", 0)), MMToDots(field.GetPropertyDbl("Height", 0))};
}

TDotBox TFieldGeometry::TurnedReference(const TField& field) const {
  return RotateAboutCentre(field.Rotation(), UprightBox(field));
}

TDotBox TFieldGeometry::ClippedReference(const TField& field) const {
  return Clip(TurnedReference(field));
}

TDotBox TFieldGeometry::TurnedBox(const TField& field) const {
  return TurnedBoxFromReference(field.Rotation(), TurnedReference(field));
}

TDotBox TFieldGeometry::LineBox(const TField& field) const {
  std::int32_t pen_width = MMToDots(field.GetPropertyDbl("PenWidth", 0));
  if (pen_width <= 0) pen_width = 1;
  const std::int32_t half = pen_width / 2;
  const std::int32_t x = MMToDots(field.GetPropertyDbl("LineLeft", 0));
  const std::int32_t y = MMToDots(field.GetPropertyDbl("LineTop", 0)) - half;
  const std::int32_t length = MMToDots(field.GetPropertyDbl("LineLength", 0));

  if (field.Rotation() == r90 || field.Rotation() == r270) {
    // The horizontal line's box, Len by PenWidth, turned a quarter about its centre.
    const TDotBox turned = RotateAboutCentre(r90, TDotBox{x, y, length, pen_width});
    return Clip(TDotBox{turned.L, turned.T, pen_width, length});
  }
  return Clip(TDotBox{x, y, length, pen_width});
}

TBarcodeLayout BarcodeLayoutOf(const TField& field, const TFieldGeometry& geometry,
                               std::int32_t dpi) {
  TBarcodeLayout layout;
  layout.type = BarcodeTypeFromName(field.GetPropertyStr("BarCodeType"));
  layout.readable = field.GetPropertyBool("TextVisible", false);
  layout.box = geometry.ClippedReference(field);
  layout.height = layout.box.H;
  layout.narrow = NearestDots(field.GetPropertyInt("BarWidth", 12) / 1000.0 * dpi);
  if (layout.type <= TBarcodeType::Ean13) {
    layout.narrow = Clamp(layout.narrow, 2, 4);
    // The digits under an EAN or UPC symbol take part of the field height.
    if (layout.readable) layout.height -= 4 * layout.narrow;
  } else {
    layout.narrow = Clamp(layout.narrow, 1, 10);
    if (layout.readable && layout.height > 48) layout.height -= 24;
  }
  return layout;
}

TDotBox TurnedBoxFromReference(TRotation rotation, TDotBox reference) {
  TDotBox box = reference;
  switch (rotation) {
    case r90:
      box.L -= reference.H;
      box.W = reference.H;
      box.H = reference.W;
      break;
    case r180:
      box.L -= reference.W;
      box.T -= reference.H;
      break;
    case r270:
      box.T -= reference.W;
      box.W = reference.H;
      box.H = reference.W;
      break;
    default:
      break;
  }
  return box;
}

}  // namespace pirell
