#include "driver_object/date_text.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "driver_object/number_text.h"
#include "platform/locale.h"

namespace pirell {
namespace {

// Days from 0001-01-01 (proleptic Gregorian) using the usual civil-day algorithm.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;  // days since 1970-01-01
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t yy = static_cast<std::int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yy + (m <= 2));
}

const std::int64_t kOleEpochFromUnix = DaysFromCivil(1899, 12, 30);

bool IsLeap(int y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}
int DaysInMonth(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

std::string TwoDigits(int v) {
  std::string s = std::to_string(v);
  return s.size() < 2 ? "0" + s : s;
}

// Expands a date or time pattern of repeated letters (dd, MM, yyyy, HH, mm, ss, tt).
std::string ExpandPattern(const std::string& pattern, const platform::LocalTime& t) {
  std::string out;
  for (std::size_t i = 0; i < pattern.size();) {
    char c = pattern[i];
    std::size_t n = 1;
    while (i + n < pattern.size() && pattern[i + n] == c) ++n;
    switch (c) {
      case 'd':
        out += n >= 2 ? TwoDigits(t.day) : std::to_string(t.day);
        break;
      case 'M':
        out += n >= 2 ? TwoDigits(t.month) : std::to_string(t.month);
        break;
      case 'y':
        out += n <= 2 ? TwoDigits(t.year % 100) : std::to_string(t.year);
        break;
      case 'H':
        out += n >= 2 ? TwoDigits(t.hour) : std::to_string(t.hour);
        break;
      case 'h': {
        int h12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
        out += n >= 2 ? TwoDigits(h12) : std::to_string(h12);
        break;
      }
      case 'm':
        out += n >= 2 ? TwoDigits(t.minute) : std::to_string(t.minute);
        break;
      case 's':
        out += n >= 2 ? TwoDigits(t.second) : std::to_string(t.second);
        break;
      case 't':
        out += t.hour < 12 ? "AM" : "PM";
        break;
      case '\'': {  // quoted literal
        std::size_t end = pattern.find('\'', i + 1);
        if (end == std::string::npos) end = pattern.size();
        out.append(pattern, i + 1, end - i - 1);
        i = end + 1;
        continue;
      }
      default:
        out.append(n, c);
    }
    i += n;
  }
  return out;
}

// Splits a text into runs of digits, dropping everything else; remembers AM/PM markers.
std::vector<int> NumberRuns(std::string_view text, bool& pm, bool& am) {
  std::vector<int> runs;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] >= '0' && text[i] <= '9') {
      int v = 0;
      std::size_t len = 0;
      while (i < text.size() && text[i] >= '0' && text[i] <= '9' && len < 9) {
        v = v * 10 + (text[i] - '0');
        ++i;
        ++len;
      }
      runs.push_back(v);
    } else {
      char c = static_cast<char>(text[i] | 0x20);
      if ((c == 'p' || c == 'a') && i + 1 < text.size() && (text[i + 1] | 0x20) == 'm') {
        (c == 'p' ? pm : am) = true;
        i += 2;
        continue;
      }
      ++i;
    }
  }
  return runs;
}

bool IsSeparatorText(std::string_view text, const std::string& time_separator) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if ((c >= '0' && c <= '9') || c == ' ' || c == '.' || c == '/' || c == '-' || c == ',' ||
        c == ':')
      continue;
    if (text.substr(i, time_separator.size()) == time_separator) {
      i += time_separator.size() - 1;
      continue;
    }
    if ((c | 0x20) == 'a' || (c | 0x20) == 'p' || (c | 0x20) == 'm') continue;
    return false;
  }
  return true;
}

}  // namespace

double EncodeOleDate(const platform::LocalTime& t) {
  const double days =
      static_cast<double>(DaysFromCivil(t.year, t.month, t.day) - kOleEpochFromUnix);
  const double fraction =
      (t.hour * 3600000.0 + t.minute * 60000.0 + t.second * 1000.0 + t.millisecond) / 86400000.0;
  return days >= 0 ? days + fraction : days - fraction;
}

bool IsOleDateInRange(double ole_date) {
  return ole_date >= -657434.0 && ole_date < 2958466.0;  // false for NaN
}

platform::LocalTime DecodeOleDate(double ole_date) {
  platform::LocalTime t;
  if (!IsOleDateInRange(ole_date)) ole_date = 0;
  double whole = std::trunc(ole_date);
  double fraction = std::fabs(ole_date - whole);
  std::int64_t ms = std::llround(fraction * 86400000.0);
  if (ms >= 86400000) {
    ms -= 86400000;
    whole += ole_date >= 0 ? 1 : -1;
  }
  CivilFromDays(static_cast<std::int64_t>(whole) + kOleEpochFromUnix, t.year, t.month, t.day);
  t.hour = static_cast<int>(ms / 3600000);
  t.minute = static_cast<int>(ms / 60000 % 60);
  t.second = static_cast<int>(ms / 1000 % 60);
  t.millisecond = static_cast<int>(ms % 1000);
  return t;
}

std::string FormatLocaleDateTime(double ole_date) {
  const platform::LocaleFormat& locale = platform::UserLocale();
  if (!IsOleDateInRange(ole_date)) return FormatGeneral(ole_date, locale.decimal_separator);
  platform::LocalTime t = DecodeOleDate(ole_date);
  std::string text = ExpandPattern(locale.short_date_format, t);
  if (t.hour != 0 || t.minute != 0 || t.second != 0) {
    text += ' ';
    text += ExpandPattern(locale.time_format, t);
  }
  return text;
}

std::optional<double> ParseLocaleDateTime(std::string_view text) {
  const platform::LocaleFormat& locale = platform::UserLocale();
  if (!IsSeparatorText(text, locale.time_separator)) return std::nullopt;
  bool pm = false, am = false;
  std::vector<int> runs = NumberRuns(text, pm, am);
  if (runs.empty()) return std::nullopt;

  // The order of day, month and year follows the short date pattern.
  std::string order;
  for (char c : locale.short_date_format)
    if ((c == 'd' || c == 'M' || c == 'y') && order.find(c) == std::string::npos) order += c;
  if (order.size() != 3) order = "dMy";

  // A time alone has a time separator and no more than three numbers.
  const bool has_time_separator = text.find(locale.time_separator) != std::string_view::npos;
  platform::LocalTime t{1899, 12, 30};
  std::size_t next = 0;
  const bool time_only =
      has_time_separator && runs.size() <= 3 && text.find(locale.time_separator) < text.find(' ');
  if (!time_only) {
    if (runs.size() < 2) return std::nullopt;
    int values[3] = {0, 0, 0};
    const std::size_t date_numbers = runs.size() >= 3 ? 3 : 2;
    for (std::size_t i = 0; i < date_numbers; ++i) values[i] = runs[i];
    next = date_numbers;
    int day = 0, month = 0, year = platform::Time().Now().year;
    std::size_t position = 0;
    for (char part : order) {
      if (position >= date_numbers) break;
      int v = values[position++];
      if (part == 'd') day = v;
      if (part == 'M') month = v;
      if (part == 'y') year = v;
    }
    if (year < 100) year += year < 50 ? 2000 : 1900;
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return std::nullopt;
    t.year = year;
    t.month = month;
    t.day = day;
  }
  if (next < runs.size()) {
    std::size_t time_numbers = runs.size() - next;
    if (time_numbers > 3) return std::nullopt;
    t.hour = runs[next];
    t.minute = time_numbers > 1 ? runs[next + 1] : 0;
    t.second = time_numbers > 2 ? runs[next + 2] : 0;
    if (pm && t.hour < 12) t.hour += 12;
    if (am && t.hour == 12) t.hour = 0;
    if (t.hour > 23 || t.minute > 59 || t.second > 59) return std::nullopt;
  }
  return EncodeOleDate(t);
}

}  // namespace pirell
