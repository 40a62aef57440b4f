#include <windows.h>

#include "platform/codepage.h"
#include "platform/windows/wide.h"

namespace pirell::platform {
namespace {

constexpr UINT kCp1251 = 1251;

// No best-fit mapping: a character the code page lacks must become '?' and not a look-alike.
std::string FromWide(UINT code_page, std::wstring_view wide) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(code_page, WC_NO_BEST_FIT_CHARS, wide.data(),
                                    static_cast<int>(wide.size()), nullptr, 0, "?", nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0)
    WideCharToMultiByte(code_page, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                        out.data(), n, "?", nullptr);
  return out;
}

}  // namespace

std::string Utf8ToCp1251(std::string_view utf8) {
  // Characters outside the Basic Multilingual Plane are two UTF-16 units; they become one '?'.
  std::u32string text = Utf8ToUtf32(utf8);
  for (char32_t& c : text)
    if (c > 0xFFFF) c = '?';
  return FromWide(kCp1251, Widen(Utf32ToUtf8(text)));
}

std::string Cp1251ToUtf8(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int n =
      MultiByteToWideChar(kCp1251, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0)
    MultiByteToWideChar(kCp1251, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
  return Narrow(wide);
}

bool IsCp1251Representable(char32_t code_point) {
  if (code_point < 0x80) return true;
  if (code_point > 0xFFFF) return false;
  const wchar_t wide = static_cast<wchar_t>(code_point);
  BOOL used_default = FALSE;
  char out[4];
  const int n = WideCharToMultiByte(kCp1251, WC_NO_BEST_FIT_CHARS, &wide, 1, out, sizeof out,
                                    nullptr, &used_default);
  return n == 1 && !used_default;
}

std::string Utf8ToSystemAnsi(std::string_view utf8) {
  return FromWide(CP_ACP, Widen(utf8));
}

}  // namespace pirell::platform
