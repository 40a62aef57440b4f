#include "languages/tspl/tspl_render_parameters.h"

#include <cmath>

namespace pirell::preview {
namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

constexpr std::string_view kQuoteEscape = "\\[\"]";

}  // namespace

std::optional<std::vector<TsplParameter>> SplitTsplParameters(std::string_view text) {
  std::vector<TsplParameter> parameters;
  std::size_t i = 0;
  while (true) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    TsplParameter parameter;
    if (i < text.size() && text[i] == '"') {
      parameter.quoted = true;
      bool closed = false;
      for (++i; i < text.size(); ++i) {
        if (text.substr(i, kQuoteEscape.size()) == kQuoteEscape) {
          parameter.text.push_back('"');
          i += kQuoteEscape.size() - 1;
        } else if (text[i] == '"') {
          closed = true;
          ++i;
          break;
        } else {
          parameter.text.push_back(text[i]);
        }
      }
      if (!closed) return std::nullopt;
      while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
      if (i < text.size() && text[i] != ',') return std::nullopt;
    } else {
      const std::size_t end = std::min(text.find(',', i), text.size());
      const std::string_view word = Trimmed(text.substr(i, end - i));
      if (word.find('"') != std::string_view::npos) return std::nullopt;
      parameter.text = std::string(word);
      i = end;
    }
    parameters.push_back(std::move(parameter));
    if (i >= text.size()) break;
    ++i;  // the comma
  }
  return parameters;
}

std::optional<std::int64_t> TsplInteger(const TsplParameter& parameter) {
  if (parameter.quoted) return std::nullopt;
  const std::string_view text = parameter.text;
  std::size_t i = 0;
  const bool negative = i < text.size() && text[i] == '-';
  if (negative) ++i;
  if (i == text.size()) return std::nullopt;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
    if (value > kMaxTsplNumber) return std::nullopt;
  }
  return negative ? -value : value;
}

std::optional<double> TsplDecimal(const TsplParameter& parameter) {
  if (parameter.quoted) return std::nullopt;
  const std::string_view text = parameter.text;
  std::size_t i = 0;
  const bool negative = i < text.size() && text[i] == '-';
  if (negative) ++i;
  double value = 0;
  double scale = 0;  // of the next fraction digit; 0 before the point
  bool digits = false;
  for (; i < text.size(); ++i) {
    if (text[i] == '.' && scale == 0) {
      scale = 0.1;
    } else if (text[i] >= '0' && text[i] <= '9') {
      digits = true;
      if (scale == 0) {
        value = value * 10 + (text[i] - '0');
        if (value > kMaxTsplNumber) return std::nullopt;
      } else {
        value += (text[i] - '0') * scale;
        scale /= 10;
      }
    } else {
      return std::nullopt;
    }
  }
  if (!digits) return std::nullopt;
  return negative ? -value : value;
}

std::optional<std::int64_t> TsplLength(const TsplParameter& parameter, int dpi) {
  if (parameter.quoted) return std::nullopt;
  std::string_view text = parameter.text;
  double dots_per_unit = dpi;  // inches
  bool whole = false;
  if (text.size() > 2 && text.substr(text.size() - 2) == "mm") {
    text.remove_suffix(2);
    dots_per_unit = dpi / 25.4;
  } else if (text.size() > 3 && text.substr(text.size() - 3) == "dot") {
    text.remove_suffix(3);
    dots_per_unit = 1;
    whole = true;
  }
  const std::optional<double> number = TsplDecimal(TsplParameter{std::string(Trimmed(text))});
  if (!number) return std::nullopt;
  if (whole && *number != std::floor(*number)) return std::nullopt;
  return static_cast<std::int64_t>(std::lround(*number * dots_per_unit));
}

}  // namespace pirell::preview
