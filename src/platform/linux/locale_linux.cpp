#include <langinfo.h>
#include <locale.h>
#include <wctype.h>

#include <string>

#include "platform/codepage.h"
#include "platform/locale.h"
#include "platform/system_hooks.h"

namespace pirell::platform {
namespace {

// The user's locale from the environment, opened without touching the process-wide locale
// (the driver lives inside its host's process).
locale_t UserLocaleHandle() {
  static locale_t handle = [] {
    locale_t loc = newlocale(LC_ALL_MASK, "", static_cast<locale_t>(nullptr));
    if (!loc) loc = newlocale(LC_ALL_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    return loc;
  }();
  return handle;
}

// Case mapping needs a Unicode-aware table even when the user's locale is plain "C".
locale_t CaseLocale() {
  static locale_t handle = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
  return handle;
}

char32_t FoldCase(char32_t c) {
  locale_t loc = CaseLocale();
  if (!loc) return c < 0x80 && c >= 'a' && c <= 'z' ? c - 32 : c;
  return static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), loc));
}

// Turns a strftime date pattern ("%d.%m.%Y") into the d/M/y pattern the driver formats with.
std::string DatePatternFromStrftime(const char* fmt) {
  std::string out;
  for (const char* p = fmt; *p; ++p) {
    if (*p != '%') {
      out += *p;
      continue;
    }
    ++p;
    while (*p == 'E' || *p == 'O' || *p == '-' || *p == '_' || *p == '0') ++p;
    switch (*p) {
      case 'd':
        out += "dd";
        break;
      case 'e':
        out += "d";
        break;
      case 'm':
        out += "MM";
        break;
      case 'Y':
        out += "yyyy";
        break;
      case 'y':
        out += "yy";
        break;
      case 'D':
        out += "MM/dd/yy";
        break;
      case 'F':
        out += "yyyy-MM-dd";
        break;
      case '\0':
        return out;
      default:
        break;
    }
  }
  return out;
}

}  // namespace

namespace detail {

LocaleFormat ReadSystemLocale() {
  LocaleFormat format;
  locale_t loc = UserLocaleHandle();
  if (!loc) return format;
  if (const char* radix = nl_langinfo_l(RADIXCHAR, loc); radix && *radix)
    format.decimal_separator = radix;
  if (const char* date = nl_langinfo_l(D_FMT, loc); date && *date) {
    std::string pattern = DatePatternFromStrftime(date);
    if (pattern.find('d') != std::string::npos && pattern.find('M') != std::string::npos &&
        pattern.find('y') != std::string::npos)
      format.short_date_format = pattern;
  }
  return format;
}

}  // namespace detail

int CompareTextIgnoreCase(std::string_view a, std::string_view b) {
  // Names of properties, methods and settings are ASCII: compare those without decoding, with the
  // same result as the Unicode comparison below.
  std::size_t i = 0;
  for (; i < a.size() && i < b.size(); ++i) {
    const unsigned char ca = static_cast<unsigned char>(a[i]);
    const unsigned char cb = static_cast<unsigned char>(b[i]);
    if (ca >= 0x80 || cb >= 0x80) break;
    const char32_t fa = ca >= 'a' && ca <= 'z' ? ca - 32 : ca;
    const char32_t fb = cb >= 'a' && cb <= 'z' ? cb - 32 : cb;
    if (fa != fb) return fa < fb ? -1 : 1;
  }
  if (i == a.size() || i == b.size()) {
    if (a.size() == b.size()) return 0;
    // One is a prefix of the other; the longer one compares greater whatever follows.
    return a.size() < b.size() ? -1 : 1;
  }
  a.remove_prefix(i);
  b.remove_prefix(i);
  const std::u32string wa = Utf8ToUtf32(a), wb = Utf8ToUtf32(b);
  const std::size_t n = wa.size() < wb.size() ? wa.size() : wb.size();
  for (std::size_t i = 0; i < n; ++i) {
    const char32_t ca = FoldCase(wa[i]), cb = FoldCase(wb[i]);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return wa.size() == wb.size() ? 0 : (wa.size() < wb.size() ? -1 : 1);
}

std::string UpperCase(std::string_view text) {
  std::u32string wide = Utf8ToUtf32(text);
  for (char32_t& c : wide) c = FoldCase(c);
  return Utf32ToUtf8(wide);
}

}  // namespace pirell::platform
