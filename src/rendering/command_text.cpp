#include "rendering/command_text.h"

#include "platform/codepage.h"

namespace pirell {

ByteString PrinterText(std::string_view utf8) {
  ByteString text = platform::Utf8ToCp1251(utf8);
  for (char& byte : text)
    if (byte == '\r' || byte == '\n') byte = ' ';
  return text;
}

std::string UpperLatin(std::string_view text) {
  std::string upper(text);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return upper;
}

std::int64_t CharacterCount(std::string_view utf8) {
  std::int64_t count = 0;
  for (const char c : utf8)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  return count;
}

std::string_view LeadingCharacters(std::string_view utf8, std::int32_t count) {
  if (count <= 0) return {};
  std::size_t end = 0;
  std::int32_t seen = 0;
  while (end < utf8.size()) {
    // Continuation bytes (10xxxxxx) belong to the character before them.
    if ((static_cast<unsigned char>(utf8[end]) & 0xC0) != 0x80) {
      if (seen == count) break;
      ++seen;
    }
    ++end;
  }
  return utf8.substr(0, end);
}

}  // namespace pirell
