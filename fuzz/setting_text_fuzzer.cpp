// Texts typed into the settings list and texts the host passes where numbers, dates and
// Booleans are expected: every conversion gives a value or a conversion error, and every
// number and date it gives can be written as text again.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "common/errors.h"
#include "driver_object/date_text.h"
#include "driver_object/number_text.h"
#include "driver_object/settings_table.h"
#include "driver_object/variant.h"
#include "driver_session.h"

namespace {

template <class F>
void Converts(F&& conversion) {
  try {
    conversion();
  } catch (const pirell::ConversionError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pirell;
  if (size == 0) return 0;
  const int type = data[0];
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

  (void)DataTypeName(type);
  for (TDataType value_type : {dtNumber, dtString, dtDateTime, dtBoolean}) {
    const Variant value = TextToSettingValue(value_type, text);
    Converts([&] { (void)value.ToString(); });
  }
  (void)ParseInteger(text);
  if (const auto number = ParseLocaleDecimal(text)) {
    const std::string written = FormatLocaleGeneral(*number);
    if (!ParseLocaleDecimal(written)) fuzz::Fail("a number does not read back: " + written);
  }
  if (const auto date = ParseLocaleDateTime(text)) (void)FormatLocaleDateTime(*date);

  for (const Variant& value : {Variant::OleStr(text), Variant::AnsiString(text)}) {
    Converts([&] { (void)value.ToInt(); });
    Converts([&] { (void)value.ToInt64(); });
    Converts([&] { (void)value.ToDouble(); });
    Converts([&] { (void)value.ToCurrency(); });
    Converts([&] { (void)value.ToBool(); });
    Converts([&] { (void)FormatLocaleDateTime(value.ToDate()); });
  }
  // The raw bytes as numbers and dates of every width.
  if (size >= 9) {
    double d;
    std::int64_t i;
    std::memcpy(&d, data + 1, sizeof d);
    std::memcpy(&i, data + 1, sizeof i);
    (void)FormatLocaleGeneral(d);
    (void)FormatCurrency(i, ",");
    (void)FormatLocaleDateTime(d);
    for (const Variant& value :
         {Variant::Double(d), Variant::Date(d), Variant::Currency(i), Variant::Int64(i),
          Variant::UInt64(static_cast<std::uint64_t>(i)), Variant::Single(static_cast<float>(d))}) {
      Converts([&] { (void)value.ToInt(); });
      Converts([&] { (void)value.ToCurrency(); });
      Converts([&] { (void)value.ToString(); });
      Converts([&] { (void)value.ToDate(); });
    }
  }
  return 0;
}
