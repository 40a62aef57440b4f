#include "driver_object/settings_table.h"

#include "driver_object/date_text.h"
#include "driver_object/number_text.h"
#include "platform/locale.h"

namespace pirell {

std::string DataTypeName(int value_type) {
  switch (value_type) {
    case dtNumber:
      return "Number";
    case dtString:
      return "String";
    case dtDateTime:
      return "Date";
    case dtBoolean:
      return "Boolean";
    default:
      return {};
  }
}

Variant TextToSettingValue(TDataType value_type, std::string_view text) {
  switch (value_type) {
    case dtNumber:
      return Variant::Double(ParseLocaleDecimal(text).value_or(0.0));
    case dtDateTime:
      if (auto date = ParseLocaleDateTime(text)) return Variant::Date(*date);
      return Variant::OleStr(std::string(text));
    case dtBoolean:
      return Variant::Boolean(platform::SameText(text, "True"));
    case dtString:
    default:
      return Variant::OleStr(std::string(text));
  }
}

}  // namespace pirell
