#include "rendering/epl2_text.h"

#include <array>

#include "platform/codepage.h"

namespace pirell {

ByteString PrinterText(std::string_view utf8) {
  ByteString text = platform::Utf8ToCp1251(utf8);
  for (char& byte : text)
    if (byte == '\r' || byte == '\n') byte = ' ';
  return text;
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

ByteString EscapeData(std::string_view bytes) {
  ByteString out;
  out.reserve(bytes.size() + 2);
  for (char byte : bytes) {
    if (byte == '\\' || byte == '"') out.push_back('\\');
    out.push_back(byte);
  }
  return out;
}

ByteString QuotedData(std::string_view bytes) {
  ByteString out;
  out.reserve(bytes.size() + 4);
  out.push_back('"');
  for (char byte : bytes) {
    if (byte == '\\' || byte == '"') out.push_back('\\');
    out.push_back(byte);
  }
  out.push_back('"');
  return out;
}

TBarcodeType BarcodeTypeFromName(std::string_view name) {
  static constexpr std::array<std::pair<std::string_view, TBarcodeType>, 10> kNames = {{
      {"UPC_A", TBarcodeType::UpcA},
      {"UPC_E", TBarcodeType::UpcE},
      {"EAN_8", TBarcodeType::Ean8},
      {"EAN_13", TBarcodeType::Ean13},
      {"INTERLEAVED2OF5", TBarcodeType::Interleaved2of5},
      {"CODABAR", TBarcodeType::Codabar},
      {"CODE11", TBarcodeType::Code11},
      {"CODE39", TBarcodeType::Code39},
      {"CODE93", TBarcodeType::Code93},
      {"CODE128", TBarcodeType::Code128},
  }};
  std::string upper(name);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  for (const auto& [pattern, type] : kNames)
    if (upper.find(pattern) != std::string::npos) return type;
  return TBarcodeType::Ean13;
}

}  // namespace pirell
