#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pirell {

// A whole number in decimal notation with an optional sign and surrounding blanks.
std::optional<std::int64_t> ParseInteger(std::string_view text);

// A decimal number written with `decimal_separator` (optional sign, digits, fraction, exponent).
// Thousands separators are not accepted.
std::optional<double> ParseDecimal(std::string_view text, std::string_view decimal_separator);
// The same with the user locale's separator.
std::optional<double> ParseLocaleDecimal(std::string_view text);

// The number in general format with up to `digits` significant digits and the given separator:
// no exponent for moderate magnitudes, no trailing zeros (12.5, 0.1, 100, 1E20).
std::string FormatGeneral(double value, std::string_view decimal_separator, int digits = 15);
std::string FormatLocaleGeneral(double value, int digits = 15);

// A currency value (a 64-bit integer scaled by 10000) with all its digits and no trailing zeros:
// 1234,5678, 12,5, -3.
std::string FormatCurrency(std::int64_t scaled_by_10000, std::string_view decimal_separator);

}  // namespace pirell
