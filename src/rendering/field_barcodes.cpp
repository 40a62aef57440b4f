#include "rendering/field_barcodes.h"

#include <algorithm>

#include "common/module_strings.h"
#include "rendering/barcode_types.h"
#include "rendering/gs1_128_symbol.h"
#include "rendering/matrix_symbol.h"

namespace pirell {
namespace {

constexpr char kSymbolClassName[] = "2DShk";
constexpr char kLinearClassName[] = "Shk";

[[noreturn]] void Refuse(const TField& field, int field_number, const char* class_name,
                         const std::string& reason) {
  const std::string number = std::to_string(field_number);
  if (field.Stastic()) {
    throw BarcodeError(ModuleText(StringId::BarcodeFieldRefused, {number, class_name, reason}));
  }
  throw BarcodeError(ModuleText(StringId::BarcodeFieldRefusedWithSource,
                                {number, class_name, field.GetPropertyStr("DS"), reason}));
}

// The modules turned clockwise by the field's quarter turn and drawn `dots` a side.
MonoBitmap DrawModules(const TModuleMatrix& modules, int dots, TRotation rotation) {
  const bool across = rotation == r90 || rotation == r270;
  const int columns = across ? modules.Height() : modules.Width();
  const int rows = across ? modules.Width() : modules.Height();
  MonoBitmap bitmap(columns * dots, rows * dots);
  for (int row = 0; row < rows; ++row) {
    std::uint8_t* line = bitmap.Row(row * dots);
    for (int column = 0; column < columns; ++column) {
      // The module of the upright symbol that lands at (column, row) once turned.
      int x = column;
      int y = row;
      switch (rotation) {
        case r90:
          x = row;
          y = modules.Height() - 1 - column;
          break;
        case r180:
          x = modules.Width() - 1 - column;
          y = modules.Height() - 1 - row;
          break;
        case r270:
          x = modules.Width() - 1 - row;
          y = column;
          break;
        default:
          break;
      }
      if (!modules.Dark(x, y)) continue;
      for (int dot = column * dots; dot < (column + 1) * dots; ++dot)
        line[dot / 8] &= static_cast<std::uint8_t>(~(0x80 >> (dot % 8)));
    }
    // The module's other rows of dots are the same.
    for (int dy = 1; dy < dots; ++dy)
      std::copy(line, line + bitmap.Stride(), bitmap.Row(row * dots + dy));
  }
  return bitmap;
}

// Where the turned symbol's top-left corner lies: the upright symbol sits at the top-left corner
// of the upright box, and the box turns about its centre.
void PlaceInTurnedBox(TRotation rotation, const TDotBox& turned_box, int width, int height,
                      std::int32_t& left, std::int32_t& top) {
  left = turned_box.L;
  top = turned_box.T;
  switch (rotation) {
    case r90:  // the upright top-left corner is now the top-right one
      left += turned_box.W - width;
      break;
    case r180:
      left += turned_box.W - width;
      top += turned_box.H - height;
      break;
    case r270:
      top += turned_box.H - height;
      break;
    default:
      break;
  }
}

bool IsSymbol(const TField& field) {
  return field.FieldType() == ft2DBarcode;
}

bool IsGs1_128(const TField& field) {
  return field.FieldType() == ftBarcode &&
         BarcodeTypeFromName(field.GetPropertyStr("BarCodeType")) == TBarcodeType::Gs1_128;
}

std::string SymbolKey(T2DSymbology symbology, const std::string& error_correction, int dots,
                      TRotation rotation, const std::string& value) {
  // Lengths first, so that no two different keys read alike.
  return std::to_string(static_cast<int>(symbology)) + '/' + std::to_string(dots) + '/' +
         std::to_string(static_cast<int>(rotation)) + '/' +
         std::to_string(error_correction.size()) + ':' + error_correction + value;
}

}  // namespace

TPlacedSymbol PlaceFieldSymbol(const TField& field, int field_number,
                               const TFieldGeometry& geometry, TRequestPictures& drawn) {
  const std::string type = field.GetPropertyStr("BarCodeType");
  const std::optional<T2DSymbology> symbology = SymbologyFromName(type);
  if (!symbology) {
    Refuse(field, field_number, kSymbolClassName, ModuleText(StringId::SymbolTypeUnknown, {type}));
  }
  const std::string value = field.Value();
  if (value.empty()) return {};

  const std::string error_correction = field.GetPropertyStr("ErrorCorrection");
  const TMatrixSymbol symbol = EncodeMatrixSymbol(*symbology, value, error_correction);
  if (!symbol.ok()) Refuse(field, field_number, kSymbolClassName, symbol.refusal);

  const TDotBox box = geometry.UprightBox(field);
  const int columns = symbol.modules.Width();
  const int rows = symbol.modules.Height();
  const double module_mm = field.GetPropertyDbl("ModuleSize", 0);
  int dots = 0;
  if (module_mm > 0) {
    dots = std::max(1, geometry.MMToDots(module_mm));
    if (columns * std::int64_t{dots} > box.W || rows * std::int64_t{dots} > box.H) {
      Refuse(field, field_number, kSymbolClassName,
             ModuleText(StringId::SymbolDoesNotFitAtModuleSize,
                        {std::to_string(columns), std::to_string(rows), std::to_string(dots),
                         std::to_string(box.W), std::to_string(box.H)}));
    }
  } else {
    dots = std::min(std::max(box.W, 0) / columns, std::max(box.H, 0) / rows);
    if (dots < 1) {
      Refuse(
          field, field_number, kSymbolClassName,
          ModuleText(StringId::SymbolDoesNotFit, {std::to_string(columns), std::to_string(rows),
                                                  std::to_string(box.W), std::to_string(box.H)}));
    }
  }

  const TRotation rotation = field.Rotation();
  const bool across = rotation == r90 || rotation == r270;
  const int width = (across ? rows : columns) * dots;
  const int height = (across ? columns : rows) * dots;
  TPlacedSymbol placed;
  PlaceInTurnedBox(rotation, geometry.TurnedBox(field), width, height, placed.left, placed.top);
  // A symbol cut at the label's edge would not read: nothing half-readable is printed.
  if (placed.left < 0 || placed.top < 0 ||
      placed.left + std::int64_t{width} > geometry.PrintWidthDots() ||
      placed.top + std::int64_t{height} > geometry.PrintHeightDots()) {
    Refuse(field, field_number, kSymbolClassName, ModuleText(StringId::SymbolOffTheLabel));
  }
  placed.bitmap = &drawn.DrawSymbol(SymbolKey(*symbology, error_correction, dots, rotation, value),
                                    [&] { return DrawModules(symbol.modules, dots, rotation); });
  return placed;
}

std::vector<TGs1Element> Gs1ElementsOfField(const TField& field, int field_number) {
  const std::string value = field.Value();
  if (value.empty()) return {};
  TGs1ElementString elements = ParseGs1ElementString(value);
  if (!elements.ok()) {
    Refuse(field, field_number, kLinearClassName,
           ModuleText(StringId::Gs1Invalid, {elements.error}));
  }
  return std::move(elements.elements);
}

bool HasEncodedBarcodes(TLabelObj& label) {
  TFieldList& fields = label.Fields();
  for (int i = 0; i < fields.Count(); ++i)
    if (IsSymbol(*fields.Items(i)) || IsGs1_128(*fields.Items(i))) return true;
  return false;
}

void CheckLabelBarcodes(TLabelObj& label, const TFieldGeometry& geometry, TRequestPictures& drawn) {
  TFieldList& fields = label.Fields();
  for (int i = 0; i < fields.Count(); ++i) {
    const TField& field = *fields.Items(i);
    if (IsSymbol(field)) {
      PlaceFieldSymbol(field, i + 1, geometry, drawn);
    } else if (IsGs1_128(field)) {
      // A symbol too long for Code 128 no printer prints; the languages that get the bars from
      // the driver could not draw it either.
      const std::vector<TGs1Element> elements = Gs1ElementsOfField(field, i + 1);
      if (elements.empty()) continue;
      const TLinearSymbol symbol = EncodeGs1_128(elements);
      if (!symbol.ok()) Refuse(field, i + 1, kLinearClassName, symbol.refusal);
    }
  }
}

}  // namespace pirell
