#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pirell::preview {

// Numbers of a command are taken within this bound, far beyond any label, so that sums of a few
// of them never overflow.
inline constexpr std::int64_t kMaxTsplNumber = std::int64_t{1} << 24;

// One parameter of a TSPL command: a string expression in double quotes (its bytes with the
// escape \["] read as a double quote) or the text between two commas without its spaces.
struct TsplParameter {
  std::string text;
  bool quoted = false;
};

// The comma-separated parameters of a command (the text after its name); none when a string
// expression has no closing quote or text follows its closing quote.
std::optional<std::vector<TsplParameter>> SplitTsplParameters(std::string_view text);

// A decimal integer with an optional minus sign, within +-kMaxTsplNumber; not quoted.
std::optional<std::int64_t> TsplInteger(const TsplParameter& parameter);
// A decimal number with an optional fraction, within +-kMaxTsplNumber; not quoted.
std::optional<double> TsplDecimal(const TsplParameter& parameter);
// A length as SIZE and GAP take it: a number of inches, or a number followed by "mm" or "dot",
// in dots at `dpi` (millimetres and inches rounded to the nearest dot).
std::optional<std::int64_t> TsplLength(const TsplParameter& parameter, int dpi);

}  // namespace pirell::preview
