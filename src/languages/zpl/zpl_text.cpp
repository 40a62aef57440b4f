#include "languages/zpl/zpl_text.h"

#include <algorithm>

#include "platform/codepage.h"

namespace pirell {
namespace {

void AppendEscape(ByteString& out, unsigned char byte) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out.push_back('_');
  out.push_back(kHex[byte >> 4]);
  out.push_back(kHex[byte & 0x0F]);
}

bool NeedsEscape(unsigned char byte) {
  return byte < 0x20 || byte == 0x7F || byte == '^' || byte == '~' || byte == '_';
}

bool IsDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

bool FitsResidentFont(std::string_view utf8) {
  for (const char32_t c : platform::Utf8ToUtf32(utf8)) {
    if (c == '\r' || c == '\n') continue;
    if ((c < 0x20 || c > 0x7E) && (c < 0xA0 || c > 0xFF)) return false;
  }
  return true;
}

ByteString TextFieldData(std::string_view utf8, bool& escaped) {
  escaped = false;
  ByteString out;
  out.reserve(utf8.size());
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == '\r' || byte == '\n') {
      out.push_back(' ');
    } else if (NeedsEscape(byte)) {
      AppendEscape(out, byte);
      escaped = true;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

ByteString BarcodeFieldData(std::string_view utf8, bool code128, bool& escaped) {
  escaped = false;
  ByteString out;
  out.reserve(utf8.size());
  for (const char32_t c : platform::Utf8ToUtf32(utf8)) {
    const char byte = c < 0x80 && c != '\r' && c != '\n' ? static_cast<char>(c) : '?';
    if (NeedsEscape(static_cast<unsigned char>(byte))) {
      AppendEscape(out, static_cast<unsigned char>(byte));
      escaped = true;
    } else if (byte == '>' && code128) {
      out += "><";
    } else {
      out.push_back(byte);
    }
  }
  return out;
}

std::string UpcEManufacturerAndProduct(std::string_view value) {
  std::string_view d = value;
  if (d.size() == 7 && d.front() == '0') d.remove_prefix(1);
  if (d.size() == 8 && d.front() == '0') d = d.substr(1, 6);
  if (d.size() != 6 || !IsDigits(d)) return std::string(value);
  const std::string s(d);
  switch (s[5]) {
    case '0':
    case '1':
    case '2':
      return s.substr(0, 2) + s[5] + "0000" + s.substr(2, 3);
    case '3':
      return s.substr(0, 3) + "00000" + s.substr(3, 2);
    case '4':
      return s.substr(0, 4) + "00000" + s[4];
    default:
      return s.substr(0, 5) + "0000" + s[5];
  }
}

}  // namespace pirell
