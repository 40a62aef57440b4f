#include "languages/epl2/epl2_render_parameters.h"

namespace pirell::preview {

bool Epl2Parameters::Separator() {
  if (first_) return true;
  if (rest_.empty() || rest_.front() != ',') return false;
  return true;
}

std::optional<std::int64_t> Epl2Parameters::Number() {
  if (!Separator()) return std::nullopt;
  std::string_view text = rest_.substr(first_ ? 0 : 1);
  std::size_t i = 0;
  const bool negative = i < text.size() && text[i] == '-';
  if (negative) ++i;
  const std::size_t digits_start = i;
  std::int64_t value = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    value = value * 10 + (text[i] - '0');
    if (value > kMaxParameter) return std::nullopt;
    ++i;
  }
  if (i == digits_start || (i < text.size() && text[i] != ',')) return std::nullopt;
  rest_ = text.substr(i);
  first_ = false;
  return negative ? -value : value;
}

std::optional<std::string_view> Epl2Parameters::Word() {
  if (!Separator()) return std::nullopt;
  std::string_view text = rest_.substr(first_ ? 0 : 1);
  const std::size_t end = text.find(',');
  const std::string_view word = text.substr(0, end);
  if (word.find('"') != std::string_view::npos) return std::nullopt;
  rest_ = end == std::string_view::npos ? std::string_view() : text.substr(end);
  first_ = false;
  return word;
}

std::optional<std::string> Epl2Parameters::Quoted() {
  if (!Separator()) return std::nullopt;
  std::string_view text = rest_.substr(first_ ? 0 : 1);
  if (text.empty() || text.front() != '"') return std::nullopt;
  std::string data;
  for (std::size_t i = 1; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      data.push_back(text[++i]);
    } else if (text[i] == '"') {
      rest_ = text.substr(i + 1);
      first_ = false;
      return data;
    } else {
      data.push_back(text[i]);
    }
  }
  return std::nullopt;  // no closing quote
}

std::optional<Epl2Parameters::BarcodeData> Epl2Parameters::Barcode() {
  if (!Separator()) return std::nullopt;
  Epl2Parameters parts(rest_.substr(first_ ? 0 : 1));
  BarcodeData data;
  bool any = false;
  while (!parts.AtEnd()) {
    const std::string_view text = parts.rest_;
    if (text.size() >= 2 && text[0] == 'F' && text[1] >= '1' && text[1] <= '4') {
      if (text[1] == '1') {
        if (!any)
          data.fnc1_first = true;
        else
          data.bytes.push_back('\x1D');
      } else {
        ++data.other_functions;
      }
      parts.rest_ = text.substr(2);
    } else {
      parts.first_ = true;  // the parts follow one another without commas
      const std::optional<std::string> quoted = parts.Quoted();
      if (!quoted) return std::nullopt;
      data.bytes += *quoted;
    }
    any = true;
  }
  if (!any) return std::nullopt;
  rest_ = {};
  first_ = false;
  return data;
}

}  // namespace pirell::preview
