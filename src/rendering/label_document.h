#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "rendering/label_image_list.h"
#include "rendering/mono_bitmap.h"
#include "rendering/rotation.h"

namespace pirell {

class TBaseImage;  // a field's renderer
class TFieldList;
class TLabelObj;

// The kind of a label field, from its ClassName in the template.
enum TFieldType : std::uint8_t {
  ftSimpleText,   // "TextSimple": text in a printer-resident font
  ftGraphicText,  // "TextGraphic": text rendered to a bitmap
  ftBarcode,      // "Shk": linear barcode drawn by the printer
  ft2DBarcode,    // "2DShk": prints nothing
  ftLine,         // "Line"
  ftRectangle,    // "Rectangle": box outline
  ftImage,        // "Image": picture rendered to a bitmap
  ftUnknown       // any other class name: prints nothing
};

// Exact, case-sensitive; anything unknown (the empty text included) is ftUnknown.
TFieldType FieldTypeFromClassName(std::string_view class_name);

// One item of a label: a kind and an ordered list of "Name=Value" text properties. Names are
// found without regard to letter case; the first match counts.
class TField {
 public:
  explicit TField(TFieldList* parent);
  ~TField();
  TField(const TField&) = delete;
  TField& operator=(const TField&) = delete;

  TFieldType FieldType() const { return field_type_; }
  void SetFieldType(TFieldType type) { field_type_ = type; }
  // Set only by the property "RotationFixed" (spelled exactly so).
  TRotation Rotation() const { return rotation_; }

  // The value of the first property with this name; empty when there is none.
  std::string GetPropertyStr(std::string_view name) const;
  // A whole number with optional sign; `def` when absent or not one (or beyond 32 bits).
  std::int32_t GetPropertyInt(std::string_view name, std::int32_t def) const;
  // A decimal number written with the user's decimal separator; `def` otherwise.
  double GetPropertyDbl(std::string_view name, double def) const;
  // "True" or "False" in any letter case, or a number (0 false, any other true); `def` otherwise.
  bool GetPropertyBool(std::string_view name, bool def) const;

  // The text of the "Value" property.
  std::string Value() const;
  // Stores `value` as "Value" when the field's "DS" property is exactly `source_name`.
  bool SetValue(const std::string& source_name, const std::string& value);
  // True when the field has no "DS" property or its text is exactly "dsNone".
  bool Stastic() const;

  // A new name is appended (even with an empty value); an existing one is replaced by the new
  // pair, or removed when `value` is empty. "RotationFixed" also sets Rotation.
  void SetProperty(const std::string& name, const std::string& value);
  // Store the value's text (decimal with the user's separator; decimal; "True"/"False") the same
  // way, without interpreting the name.
  void SetPropertyDbl(const std::string& name, double value);
  void SetPropertyInt(const std::string& name, std::int32_t value);
  void SetPropertyBool(const std::string& name, bool value);

  const std::vector<std::string>& PropList() const { return prop_list_; }
  TFieldList* Parent() const { return parent_; }
  // The pictures of the label that owns the field, or none.
  TLabelImageList* LabelImageList() const { return label_image_list_; }

  // The field drawn into a one-bit bitmap at `dpi`; owned by the field's renderer (a picture's
  // by the label's picture list, which shares it between fields and labels) and valid until the
  // next call or the field's end.
  const MonoBitmap& GetBitmap(int dpi);
  // The renderer, made by the first GetBitmap.
  std::shared_ptr<TBaseImage>& Image() { return image_; }

 private:
  // Index of the first pair named `name` (letter case ignored), or -1.
  int IndexOfName(std::string_view name) const;
  void StoreProperty(const std::string& name, const std::string& value);

  TFieldList* parent_;
  TLabelImageList* label_image_list_;
  std::vector<std::string> prop_list_;
  TFieldType field_type_ = ftUnknown;
  TRotation rotation_ = r0;
  std::shared_ptr<TBaseImage> image_;
};

// The fields of a label in output order; owns them.
class TFieldList {
 public:
  explicit TFieldList(TLabelObj* parent = nullptr) : parent_(parent) {}
  TFieldList(const TFieldList&) = delete;
  TFieldList& operator=(const TFieldList&) = delete;

  // Appends a new field whose parent is this list.
  TField* Add();
  // Raises an Error for an index outside the list.
  TField* Items(int i);
  int Count() const { return static_cast<int>(fields_.size()); }
  void Clear() { fields_.clear(); }
  TLabelObj* Parent() const { return parent_; }

 private:
  TLabelObj* parent_;
  std::vector<std::unique_ptr<TField>> fields_;
};

// Largest template text: room for several large pictures (a 58 x 40 mm label with a logo takes
// a few kilobytes).
inline constexpr std::size_t kMaxTemplateBytes = std::size_t{16} * 1024 * 1024;

// Most fields (Item elements) one template may have: far more than a label has room for, few
// enough that the fields and one label's commands stay a few megabytes.
inline constexpr std::size_t kMaxTemplateFields = 10000;

// A label parsed from its template:
//   <Label Width="58" Height="40">
//     <Item ClassName="TextSimple">
//       <Property Name="Left" Value="5"/> ...
//     </Item> ...
//     <ImageList> ... </ImageList>
//   </Label>
class TLabelObj {
 public:
  TLabelObj();
  ~TLabelObj();
  TLabelObj(const TLabelObj&) = delete;
  TLabelObj& operator=(const TLabelObj&) = delete;

  TFieldList& Fields() { return fields_; }
  TLabelImageList& Images() { return images_; }
  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }

  // Replaces the content with the template's fields and pictures. Raises an Error when the text
  // is not a well-formed XML document with a root element (the fields are then cleared and the
  // pictures untouched) or when a picture does not load (fields and pictures are then cleared);
  // a LimitError, with the fields cleared, for a text longer than kMaxTemplateBytes or with more
  // than kMaxTemplateFields fields.
  void LoadFromString(const std::string& xml_utf8);

 private:
  // Declared first so that the fields, which point into it, go before it.
  TLabelImageList images_;
  TFieldList fields_;
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
};

}  // namespace pirell
