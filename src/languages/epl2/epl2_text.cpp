#include "languages/epl2/epl2_text.h"

namespace pirell {

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

}  // namespace pirell
