#include "driver_object/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/locale.h"

namespace pirell {
namespace {

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

}  // namespace

std::optional<std::int64_t> ParseInteger(std::string_view text) {
  text = TrimBlanks(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  std::uint64_t magnitude = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (negative) {
    if (magnitude > static_cast<std::uint64_t>(INT64_MAX) + 1) return std::nullopt;
    return static_cast<std::int64_t>(0 - magnitude);
  }
  if (magnitude > static_cast<std::uint64_t>(INT64_MAX)) return std::nullopt;
  return static_cast<std::int64_t>(magnitude);
}

std::optional<double> ParseDecimal(std::string_view text, std::string_view decimal_separator) {
  text = TrimBlanks(text);
  // Rewrite into the form from_chars reads: sign, digits, '.', digits, exponent.
  std::string normal;
  normal.reserve(text.size());
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') normal.push_back('-');
    ++i;
  }
  bool digits = false, separator = false, exponent = false;
  while (i < text.size()) {
    char c = text[i];
    if (c >= '0' && c <= '9') {
      normal.push_back(c);
      digits = true;
      ++i;
    } else if (!separator && !exponent && !decimal_separator.empty() &&
               text.substr(i, decimal_separator.size()) == decimal_separator) {
      normal.push_back('.');
      separator = true;
      i += decimal_separator.size();
    } else if (!exponent && digits && (c == 'e' || c == 'E')) {
      normal.push_back('e');
      exponent = true;
      ++i;
      if (i < text.size() && (text[i] == '+' || text[i] == '-')) normal.push_back(text[i++]);
      if (i >= text.size()) return std::nullopt;
    } else {
      return std::nullopt;
    }
  }
  if (!digits) return std::nullopt;
  double value = 0;
  auto [end, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
  if (ec != std::errc() || end != normal.data() + normal.size()) return std::nullopt;
  return value;
}

std::optional<double> ParseLocaleDecimal(std::string_view text) {
  return ParseDecimal(text, platform::UserLocale().decimal_separator);
}

std::string FormatGeneral(double value, std::string_view decimal_separator, int digits) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*G", digits, value);
  std::string text(buffer);
  // %G keeps the exponent form for large or small magnitudes; write it without padding zeros
  // ("1E+20" rather than "1E+020" on some runtimes).
  std::string result;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '.') {
      result.append(decimal_separator);
    } else if (c == 'E') {
      result.push_back('E');
      std::size_t j = i + 1;
      // Only a negative exponent shows its sign: 1E20, 1E-5.
      if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
        if (text[j] == '-') result.push_back('-');
        ++j;
      }
      while (j + 1 < text.size() && text[j] == '0') ++j;
      result.append(text, j, std::string::npos);
      break;
    } else {
      result.push_back(c);
    }
  }
  return result;
}

std::string FormatCurrency(std::int64_t scaled_by_10000, std::string_view decimal_separator) {
  // Exact decimal digits: a double cannot hold every currency value.
  const bool negative = scaled_by_10000 < 0;
  const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(scaled_by_10000)
                                           : static_cast<std::uint64_t>(scaled_by_10000);
  std::string text = negative ? "-" : "";
  text += std::to_string(magnitude / 10000);
  std::string fraction = std::to_string(magnitude % 10000 + 10000).substr(1);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  if (!fraction.empty()) {
    text.append(decimal_separator);
    text += fraction;
  }
  return text;
}

std::string FormatLocaleGeneral(double value, int digits) {
  return FormatGeneral(value, platform::UserLocale().decimal_separator, digits);
}

}  // namespace pirell
