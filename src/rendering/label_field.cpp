#include <limits>
#include <optional>

#include "driver_object/number_text.h"
#include "platform/locale.h"
#include "rendering/label_document.h"

namespace pirell {
namespace {

constexpr char kRotationFixed[] = "RotationFixed";
constexpr char kDataSource[] = "DS";
constexpr char kNoDataSource[] = "dsNone";
constexpr char kValue[] = "Value";

// The name of a "Name=Value" pair: the text before the first '='.
std::string_view PairName(std::string_view pair) {
  return pair.substr(0, pair.find('='));
}

std::string_view PairValue(std::string_view pair) {
  const std::size_t separator = pair.find('=');
  return separator == std::string_view::npos ? std::string_view() : pair.substr(separator + 1);
}

TRotation RotationFromText(std::string_view text) {
  if (text == "r90") return r90;
  if (text == "r180") return r180;
  if (text == "r270") return r270;
  return r0;
}

}  // namespace

TFieldType FieldTypeFromClassName(std::string_view class_name) {
  if (class_name == "TextSimple") return ftSimpleText;
  if (class_name == "TextGraphic") return ftGraphicText;
  if (class_name == "Shk") return ftBarcode;
  if (class_name == "2DShk") return ft2DBarcode;
  if (class_name == "Line") return ftLine;
  if (class_name == "Rectangle") return ftRectangle;
  if (class_name == "Image") return ftImage;
  return ftUnknown;
}

TField::TField(TFieldList* parent)
    : parent_(parent),
      label_image_list_(parent && parent->Parent() ? &parent->Parent()->Images() : nullptr) {}

TField::~TField() = default;

int TField::IndexOfName(std::string_view name) const {
  for (std::size_t i = 0; i < prop_list_.size(); ++i) {
    if (platform::SameText(PairName(prop_list_[i]), name)) return static_cast<int>(i);
  }
  return -1;
}

std::string TField::GetPropertyStr(std::string_view name) const {
  const int index = IndexOfName(name);
  if (index < 0) return {};
  return std::string(PairValue(prop_list_[static_cast<std::size_t>(index)]));
}

std::int32_t TField::GetPropertyInt(std::string_view name, std::int32_t def) const {
  const std::optional<std::int64_t> value = ParseInteger(GetPropertyStr(name));
  if (!value || *value < std::numeric_limits<std::int32_t>::min() ||
      *value > std::numeric_limits<std::int32_t>::max()) {
    return def;
  }
  return static_cast<std::int32_t>(*value);
}

double TField::GetPropertyDbl(std::string_view name, double def) const {
  return ParseLocaleDecimal(GetPropertyStr(name)).value_or(def);
}

bool TField::GetPropertyBool(std::string_view name, bool def) const {
  const std::string text = GetPropertyStr(name);
  if (const std::optional<double> number = ParseLocaleDecimal(text)) return *number != 0;
  if (platform::SameText(text, "True")) return true;
  if (platform::SameText(text, "False")) return false;
  return def;
}

std::string TField::Value() const {
  return GetPropertyStr(kValue);
}

bool TField::SetValue(const std::string& source_name, const std::string& value) {
  if (IndexOfName(kDataSource) < 0) return false;
  if (GetPropertyStr(kDataSource) != source_name) return false;
  SetProperty(kValue, value);
  return true;
}

bool TField::Stastic() const {
  return IndexOfName(kDataSource) < 0 || GetPropertyStr(kDataSource) == kNoDataSource;
}

void TField::StoreProperty(const std::string& name, const std::string& value) {
  const int index = IndexOfName(name);
  if (index < 0) {
    prop_list_.push_back(name + '=' + value);
  } else if (!value.empty()) {
    prop_list_[static_cast<std::size_t>(index)] = name + '=' + value;
  } else {
    prop_list_.erase(prop_list_.begin() + index);
  }
}

void TField::SetProperty(const std::string& name, const std::string& value) {
  StoreProperty(name, value);
  if (name == kRotationFixed) rotation_ = RotationFromText(value);
}

void TField::SetPropertyDbl(const std::string& name, double value) {
  StoreProperty(name, FormatLocaleGeneral(value));
}

void TField::SetPropertyInt(const std::string& name, std::int32_t value) {
  StoreProperty(name, std::to_string(value));
}

void TField::SetPropertyBool(const std::string& name, bool value) {
  StoreProperty(name, value ? "True" : "False");
}

}  // namespace pirell
