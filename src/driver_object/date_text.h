#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/time_source.h"

namespace pirell {

// OLE dates: days since 1899-12-30, the time of day as the fraction (for negative dates the
// fraction still counts forward from midnight, as the automation runtime has it).
double EncodeOleDate(const platform::LocalTime& time);
// True for the dates the automation runtime can show: the years 100 to 9999 (-657434 to just
// below 2958466). Infinities and NaN are none.
bool IsOleDateInRange(double ole_date);
// Only for dates in range; any other gives midnight of 1899-12-30.
platform::LocalTime DecodeOleDate(double ole_date);

// The standard text of a date-time in the user locale: the short date, then a space and the
// time unless the time is midnight. A date out of range shows as its number (for the log;
// converting such a variant to text is a conversion error).
std::string FormatLocaleDateTime(double ole_date);

// Reads a date, optionally followed by a time, or a time alone, in the user locale's format.
std::optional<double> ParseLocaleDateTime(std::string_view text);

}  // namespace pirell
