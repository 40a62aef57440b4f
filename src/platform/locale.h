#pragma once

#include <string>
#include <string_view>

namespace pirell::platform {

// The user's regional settings that the driver reads numbers and dates with.
struct LocaleFormat {
  std::string decimal_separator = ".";  // one character, UTF-8
  std::string time_separator = ":";
  // Short date pattern: d, dd, M, MM, yy, yyyy and literal separators, e.g. "dd.MM.yyyy".
  std::string short_date_format = "dd.MM.yyyy";
  // Time pattern: H, HH (24 h), h, hh (12 h), m, mm, s, ss, tt (AM/PM marker), e.g. "HH:mm:ss".
  std::string time_format = "HH:mm:ss";
};

// The current user's settings, read from the system once and cached.
const LocaleFormat& UserLocale();

// Replaces the settings for this process (tests use it to run in a given locale) and restores
// the previous ones on destruction.
class ScopedUserLocale {
 public:
  explicit ScopedUserLocale(const LocaleFormat& format);
  ~ScopedUserLocale();
  ScopedUserLocale(const ScopedUserLocale&) = delete;
  ScopedUserLocale& operator=(const ScopedUserLocale&) = delete;

 private:
  LocaleFormat previous_;
};

// Compares two UTF-8 texts without regard to letter case by the user locale's rules (Cyrillic
// included). Returns <0, 0 or >0.
int CompareTextIgnoreCase(std::string_view a, std::string_view b);
inline bool SameText(std::string_view a, std::string_view b) {
  return CompareTextIgnoreCase(a, b) == 0;
}

// The text in upper case by the user locale's rules.
std::string UpperCase(std::string_view text);

}  // namespace pirell::platform
