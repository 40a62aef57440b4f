#pragma once

#include <string>
#include <string_view>

namespace pirell::platform {

// Texts of the core are UTF-8. These convert at the edges: UTF-16 for the COM boundary,
// windows-1251 for the printer and the template file, the system's 8-bit code page for the log.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::u32string Utf8ToUtf32(std::string_view utf8);
std::string Utf32ToUtf8(std::u32string_view text);
void AppendUtf8(std::string& out, char32_t code_point);
std::string Utf16ToUtf8(std::u16string_view utf16);

// A character that windows-1251 lacks becomes '?'.
std::string Utf8ToCp1251(std::string_view utf8);
std::string Cp1251ToUtf8(std::string_view bytes);
// True when every character of the text has a windows-1251 byte.
bool IsCp1251Representable(char32_t code_point);

// The system's 8-bit code page (the ANSI code page on Windows; UTF-8 where the system's
// character set is UTF-8).
std::string Utf8ToSystemAnsi(std::string_view utf8);

}  // namespace pirell::platform
