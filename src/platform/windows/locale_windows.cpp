#include <windows.h>

#include "platform/locale.h"
#include "platform/system_hooks.h"
#include "platform/windows/wide.h"

namespace pirell::platform {
namespace {

std::string LocaleText(LCTYPE type, const char* fallback) {
  wchar_t buffer[128];
  const int n = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 128);
  if (n <= 1) return fallback;
  return Narrow(std::wstring_view(buffer, static_cast<std::size_t>(n - 1)));
}

}  // namespace

namespace detail {

LocaleFormat ReadSystemLocale() {
  LocaleFormat format;
  format.decimal_separator = LocaleText(LOCALE_SDECIMAL, ".");
  format.time_separator = LocaleText(LOCALE_STIME, ":");
  format.short_date_format = LocaleText(LOCALE_SSHORTDATE, "dd.MM.yyyy");
  format.time_format = LocaleText(LOCALE_STIMEFORMAT, "HH:mm:ss");
  return format;
}

}  // namespace detail

int CompareTextIgnoreCase(std::string_view a, std::string_view b) {
  const std::wstring wa = Widen(a), wb = Widen(b);
  const int result =
      CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wa.data(), static_cast<int>(wa.size()),
                     wb.data(), static_cast<int>(wb.size()));
  return result == CSTR_EQUAL ? 0 : (result == CSTR_LESS_THAN ? -1 : 1);
}

std::string UpperCase(std::string_view text) {
  std::wstring wide = Widen(text);
  if (!wide.empty()) CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
  return Narrow(wide);
}

}  // namespace pirell::platform
