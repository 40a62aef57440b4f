#include "rendering/gs1_element_string.h"

#include <array>
#include <optional>

#include "common/module_strings.h"

namespace pirell {
namespace {

// What the data of an AI is made of.
enum class Content : unsigned char {
  kDigits,          // N
  kCharacters,      // X: printable characters
  kDigitsThenText,  // N<prefix> followed by X (or N) up to the maximum
};

struct AiRule {
  int first;  // the AIs first to last, written with `digits` digits
  int last;
  int digits;
  int min_length;  // of the data
  int max_length;
  Content content = Content::kCharacters;
  int digit_prefix = 0;  // kDigitsThenText: the digits that lead the data
  bool check_digit = false;
};

// The application identifiers of the GS1 General Specifications, with the length and kind of
// their data.
constexpr AiRule kRules[] = {
    {0, 0, 2, 18, 18, Content::kDigits, 0, true},
    {1, 2, 2, 14, 14, Content::kDigits, 0, true},
    {10, 10, 2, 1, 20},
    {11, 13, 2, 6, 6, Content::kDigits},
    {15, 17, 2, 6, 6, Content::kDigits},
    {20, 20, 2, 2, 2, Content::kDigits},
    {21, 22, 2, 1, 20},
    {30, 30, 2, 1, 8, Content::kDigits},
    {37, 37, 2, 1, 8, Content::kDigits},
    {90, 90, 2, 1, 30},
    {91, 99, 2, 1, 90},
    {235, 235, 3, 1, 28},
    {240, 241, 3, 1, 30},
    {242, 242, 3, 1, 6, Content::kDigits},
    {243, 243, 3, 1, 20},
    {250, 251, 3, 1, 30},
    {253, 253, 3, 13, 30, Content::kDigitsThenText, 13},
    {254, 254, 3, 1, 20},
    {255, 255, 3, 13, 25, Content::kDigits},
    {400, 401, 3, 1, 30},
    {402, 402, 3, 17, 17, Content::kDigits, 0, true},
    {403, 403, 3, 1, 30},
    {410, 417, 3, 13, 13, Content::kDigits, 0, true},
    {420, 420, 3, 1, 20},
    {421, 421, 3, 3, 12, Content::kDigitsThenText, 3},
    {422, 422, 3, 3, 3, Content::kDigits},
    {423, 423, 3, 3, 15, Content::kDigits},
    {424, 424, 3, 3, 3, Content::kDigits},
    {425, 425, 3, 3, 15, Content::kDigits},
    {426, 426, 3, 3, 3, Content::kDigits},
    {427, 427, 3, 1, 3},
    {710, 716, 3, 1, 20},
    // Net weights and measures: the fourth digit is the position of the decimal point.
    {3100, 3169, 4, 6, 6, Content::kDigits},
    {3200, 3299, 4, 6, 6, Content::kDigits},
    {3300, 3379, 4, 6, 6, Content::kDigits},
    {3400, 3499, 4, 6, 6, Content::kDigits},
    {3500, 3579, 4, 6, 6, Content::kDigits},
    {3600, 3699, 4, 6, 6, Content::kDigits},
    {3900, 3909, 4, 1, 15, Content::kDigits},
    {3910, 3919, 4, 4, 18, Content::kDigits},
    {3920, 3929, 4, 1, 15, Content::kDigits},
    {3930, 3939, 4, 4, 18, Content::kDigits},
    {3940, 3943, 4, 4, 4, Content::kDigits},
    {3950, 3955, 4, 6, 6, Content::kDigits},
    {4300, 4309, 4, 1, 70},
    {4310, 4321, 4, 1, 35},
    {4322, 4333, 4, 1, 20},
    {7001, 7001, 4, 13, 13, Content::kDigits},
    {7002, 7002, 4, 1, 30},
    {7003, 7003, 4, 10, 10, Content::kDigits},
    {7004, 7004, 4, 1, 4, Content::kDigits},
    {7005, 7005, 4, 1, 12},
    {7006, 7006, 4, 6, 6, Content::kDigits},
    {7007, 7007, 4, 6, 12, Content::kDigits},
    {7008, 7008, 4, 1, 3},
    {7009, 7009, 4, 1, 10},
    {7010, 7010, 4, 1, 2},
    {7011, 7011, 4, 6, 10},
    {7020, 7022, 4, 1, 20},
    {7023, 7023, 4, 1, 30},
    {7030, 7039, 4, 3, 30, Content::kDigitsThenText, 3},
    {7040, 7040, 4, 4, 4},
    {7230, 7239, 4, 2, 30},
    {7240, 7240, 4, 1, 20},
    {7241, 7241, 4, 2, 2, Content::kDigits},
    {7242, 7242, 4, 1, 25},
    {8001, 8001, 4, 14, 14, Content::kDigits},
    {8002, 8002, 4, 1, 20},
    {8003, 8003, 4, 14, 30, Content::kDigitsThenText, 14},
    {8004, 8004, 4, 1, 30},
    {8005, 8005, 4, 6, 6, Content::kDigits},
    {8006, 8006, 4, 18, 18, Content::kDigits},
    {8007, 8007, 4, 1, 34},
    {8008, 8008, 4, 8, 12, Content::kDigits},
    {8009, 8009, 4, 1, 50},
    {8010, 8010, 4, 1, 30},
    {8011, 8011, 4, 1, 12, Content::kDigits},
    {8012, 8012, 4, 1, 20},
    {8013, 8013, 4, 1, 25},
    {8017, 8018, 4, 18, 18, Content::kDigits},
    {8019, 8019, 4, 1, 10, Content::kDigits},
    {8020, 8020, 4, 1, 25},
    {8026, 8026, 4, 18, 18, Content::kDigits},
    {8030, 8030, 4, 1, 90},
    {8110, 8110, 4, 1, 70},
    {8111, 8111, 4, 4, 4, Content::kDigits},
    {8112, 8112, 4, 1, 70},
    {8200, 8200, 4, 1, 70},
};

// How many digits an AI has, by its first two (0: no AI starts so).
int AiDigits(int first_two) {
  if (first_two <= 22 || first_two == 30 || first_two == 37 || first_two >= 90) return 2;
  if ((first_two >= 23 && first_two <= 25) || (first_two >= 40 && first_two <= 42) ||
      first_two == 71)
    return 3;
  if ((first_two >= 31 && first_two <= 36) || first_two == 39 || first_two == 43 ||
      first_two == 70 || first_two == 72 || (first_two >= 80 && first_two <= 82))
    return 4;
  return 0;
}

// The total length, AI included, of the elements whose first two digits fix it: the GS1 table of
// predefined lengths. 0: the element is of variable length.
int PredefinedLength(int first_two) {
  static constexpr std::array<std::pair<int, int>, 22> kLengths = {{
      {0, 20},  {1, 16},  {2, 16},  {3, 16},  {4, 18},  {11, 8},  {12, 8}, {13, 8},
      {14, 8},  {15, 8},  {16, 8},  {17, 8},  {18, 8},  {19, 8},  {20, 4}, {31, 10},
      {32, 10}, {33, 10}, {34, 10}, {35, 10}, {36, 10}, {41, 16},
  }};
  for (const auto& [prefix, length] : kLengths)
    if (prefix == first_two) return length;
  return 0;
}

const AiRule* RuleOf(int ai, int digits) {
  for (const AiRule& rule : kRules)
    if (rule.digits == digits && ai >= rule.first && ai <= rule.last) return &rule;
  return nullptr;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::optional<int> DigitsValue(std::string_view text) {
  int value = 0;
  for (const char c : text) {
    if (!IsDigit(c)) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

// A character as the host may read it in a message: a control character by its code.
std::string Shown(char c) {
  if (c == kGroupSeparator) return "<GS>";
  const auto byte = static_cast<unsigned char>(c);
  if (byte < 0x20 || byte == 0x7F) return "<" + std::to_string(byte) + ">";
  return std::string(1, c);
}

// Why the data does not suit the AI's rule, or nothing.
std::string DataError(const TGs1Element& element, const AiRule& rule) {
  const std::string& data = element.data;
  const int length = static_cast<int>(data.size());
  if (length == 0) return ModuleText(StringId::Gs1ElementEmpty, {element.ai});
  if (length < rule.min_length || length > rule.max_length) {
    if (rule.min_length == rule.max_length) {
      return ModuleText(StringId::Gs1FixedLength,
                        {element.ai, std::to_string(rule.min_length), std::to_string(length)});
    }
    return ModuleText(StringId::Gs1LengthRange,
                      {element.ai, std::to_string(length), std::to_string(rule.min_length),
                       std::to_string(rule.max_length)});
  }
  for (std::size_t i = 0; i < data.size(); ++i) {
    const auto byte = static_cast<unsigned char>(data[i]);
    const bool digit_wanted =
        rule.content == Content::kDigits || (rule.content == Content::kDigitsThenText &&
                                             i < static_cast<std::size_t>(rule.digit_prefix));
    if (digit_wanted && !IsDigit(data[i]))
      return ModuleText(StringId::Gs1NotDigits, {element.ai, Shown(data[i])});
    // Printable ASCII only; square brackets would end the element in the symbol library's input.
    if (byte <= 0x20 || byte >= 0x7F || data[i] == '[' || data[i] == ']')
      return ModuleText(StringId::Gs1BadCharacter, {element.ai, Shown(data[i])});
  }
  if (rule.check_digit) {
    const char expected = Gs1CheckDigit(std::string_view(data).substr(0, data.size() - 1));
    if (data.back() != expected) {
      return ModuleText(StringId::Gs1CheckDigitWrong,
                        {element.ai, std::string(1, data.back()), std::string(1, expected)});
    }
  }
  return {};
}

// The AI at the start of `text`, its rule and its length in digits; an error when there is none.
struct AiAt {
  std::string ai;
  const AiRule* rule = nullptr;
  std::string error;
};

AiAt ReadAi(std::string_view text, std::size_t position) {
  AiAt found;
  const std::optional<int> first_two =
      text.size() >= 2 ? DigitsValue(text.substr(0, 2)) : std::nullopt;
  if (!first_two) {
    found.error = ModuleText(StringId::Gs1NoAi, {std::to_string(position + 1)});
    return found;
  }
  const int digits = AiDigits(*first_two);
  const std::optional<int> ai = static_cast<int>(text.size()) >= digits && digits > 0
                                    ? DigitsValue(text.substr(0, static_cast<std::size_t>(digits)))
                                    : std::nullopt;
  if (ai) found.rule = RuleOf(*ai, digits);
  if (!found.rule) {
    std::string shown(text.substr(0, std::min<std::size_t>(text.size(), digits ? digits : 2)));
    found.error = ModuleText(StringId::Gs1UnknownAi, {shown});
    return found;
  }
  found.ai = std::string(text.substr(0, static_cast<std::size_t>(digits)));
  return found;
}

TGs1ElementString Failed(std::string error) {
  TGs1ElementString result;
  result.error = std::move(error);
  return result;
}

TGs1ElementString ParseRaw(std::string_view value) {
  TGs1ElementString result;
  std::size_t position = 0;
  while (position < value.size()) {
    const AiAt at = ReadAi(value.substr(position), position);
    if (!at.rule) return Failed(at.error);
    const int first_two = (at.ai[0] - '0') * 10 + (at.ai[1] - '0');
    const std::size_t data_start = position + at.ai.size();
    TGs1Element element{at.ai, {}, PredefinedLength(first_two) == 0};
    std::size_t next = 0;
    if (!element.variable) {
      const std::size_t length =
          static_cast<std::size_t>(PredefinedLength(first_two)) - at.ai.size();
      element.data = std::string(value.substr(data_start, length));
      if (element.data.find(kGroupSeparator) != std::string::npos)
        element.data.erase(element.data.find(kGroupSeparator));
      next = data_start + element.data.size();
      // A separator after a fixed-length element is allowed, though not needed.
      if (next < value.size() && value[next] == kGroupSeparator) ++next;
    } else {
      const std::size_t end = std::min(value.find(kGroupSeparator, data_start), value.size());
      element.data = std::string(value.substr(data_start, end - data_start));
      next = end < value.size() ? end + 1 : end;
    }
    if (std::string error = DataError(element, *at.rule); !error.empty()) return Failed(error);
    result.elements.push_back(std::move(element));
    position = next;
  }
  return result;
}

// "(AI)" at `position`, with an AI of the table: where its data starts, or npos.
std::size_t BracketedAiEnd(std::string_view value, std::size_t position, std::string* ai) {
  if (position >= value.size() || value[position] != '(') return std::string_view::npos;
  const std::size_t close = value.find(')', position);
  if (close == std::string_view::npos || close - position < 3 || close - position > 5)
    return std::string_view::npos;
  const std::string_view digits = value.substr(position + 1, close - position - 1);
  const AiAt at = ReadAi(digits, position + 1);
  if (!at.rule || at.ai.size() != digits.size()) return std::string_view::npos;
  if (ai) *ai = at.ai;
  return close + 1;
}

TGs1ElementString ParseBracketed(std::string_view value) {
  TGs1ElementString result;
  std::size_t position = 0;
  while (position < value.size()) {
    std::string ai;
    const std::size_t data_start = BracketedAiEnd(value, position, &ai);
    if (data_start == std::string_view::npos) {
      const std::size_t close = value.find(')', position);
      const std::string shown(
          value.substr(position + 1, close == std::string_view::npos ? 4 : close - position - 1));
      return Failed(ModuleText(StringId::Gs1UnknownAi, {shown}));
    }
    // The data runs to the next "(AI)" of the table; a parenthesis in the data stays in it.
    std::size_t end = data_start;
    while (end < value.size() && BracketedAiEnd(value, end, nullptr) == std::string_view::npos)
      ++end;
    const int first_two = (ai[0] - '0') * 10 + (ai[1] - '0');
    TGs1Element element{ai, std::string(value.substr(data_start, end - data_start)),
                        PredefinedLength(first_two) == 0};
    const AiAt at = ReadAi(ai, position + 1);
    if (std::string error = DataError(element, *at.rule); !error.empty()) return Failed(error);
    result.elements.push_back(std::move(element));
    position = end;
  }
  return result;
}

}  // namespace

char Gs1CheckDigit(std::string_view digits) {
  int sum = 0;
  // Weights 3 and 1 from the right, the check digit's place excluded.
  for (std::size_t i = 0; i < digits.size(); ++i) {
    const int digit = digits[digits.size() - 1 - i] - '0';
    sum += i % 2 == 0 ? digit * 3 : digit;
  }
  return static_cast<char>('0' + (10 - sum % 10) % 10);
}

TGs1ElementString ParseGs1ElementString(std::string_view value) {
  // An FNC1 in first position as a scanner transmits it: a symbology identifier or GS.
  for (const std::string_view lead : {"]d2", "]C1", "]Q3", "]e0"}) {
    if (value.substr(0, lead.size()) == lead) {
      value.remove_prefix(lead.size());
      break;
    }
  }
  if (!value.empty() && value.front() == kGroupSeparator) value.remove_prefix(1);
  if (value.empty()) return Failed(ModuleText(StringId::Gs1NoElements));
  return value.front() == '(' ? ParseBracketed(value) : ParseRaw(value);
}

std::string Gs1SquareBracketed(const std::vector<TGs1Element>& elements) {
  std::string text;
  for (const TGs1Element& element : elements) text += "[" + element.ai + "]" + element.data;
  return text;
}

std::string Gs1Parenthesised(const std::vector<TGs1Element>& elements) {
  std::string text;
  for (const TGs1Element& element : elements) text += "(" + element.ai + ")" + element.data;
  return text;
}

std::string Gs1Transmitted(const std::vector<TGs1Element>& elements) {
  std::string text;
  for (std::size_t i = 0; i < elements.size(); ++i) {
    text += elements[i].ai + elements[i].data;
    if (elements[i].variable && i + 1 < elements.size()) text += kGroupSeparator;
  }
  return text;
}

}  // namespace pirell
