#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "driver_object/variant.h"

namespace pirell {

// The declared type of a settings row; informs editors and the host, never enforced on the value.
enum TDataType : std::uint8_t { dtNumber = 0, dtString = 1, dtDateTime = 2, dtBoolean = 3 };

// One row of the settings table.
struct TSettingStruct {
  std::string ID;  // matched ignoring case
  Variant Value;
  TDataType ValueType = dtString;
  Variant Default;
  bool ReadOnly = false;  // informational only
  std::string Name;       // display name
  std::string Description;
};
using PSettingStruct = TSettingStruct*;

// "Number", "String", "Date" or "Boolean"; the empty text for any other value.
std::string DataTypeName(int value_type);

// The value an edited text stands for in a row of the given type.
Variant TextToSettingValue(TDataType value_type, std::string_view text);

}  // namespace pirell
