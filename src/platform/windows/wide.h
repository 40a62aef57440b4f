#pragma once

// UTF-8 <-> UTF-16 for calls into the Windows API.

#include <string>
#include <string_view>

#include "platform/codepage.h"

namespace pirell::platform {

inline std::wstring Widen(std::string_view utf8) {
  std::u16string wide = Utf8ToUtf16(utf8);
  return std::wstring(wide.begin(), wide.end());
}

inline std::string Narrow(std::wstring_view wide) {
  return Utf16ToUtf8(
      std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

}  // namespace pirell::platform
