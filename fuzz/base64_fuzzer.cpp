// The base64 text of a picture in a template: decoded whatever it holds, and every decoding
// encodes and decodes back to the same bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "driver_session.h"
#include "rendering/base64.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace pirell;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string bytes = Base64Decode(text);
  if (bytes.size() > size) fuzz::Fail("base64 decoded to more bytes than characters");
  if (Base64Decode(Base64Encode(bytes)) != bytes) fuzz::Fail("base64 round trip lost bytes");
  if (Base64Decode(Base64Encode(bytes, 76)) != bytes)
    fuzz::Fail("base64 round trip with line breaks lost bytes");
  // The input's own bytes as data.
  if (Base64Decode(Base64Encode(text, 1 + size % 80)) != text)
    fuzz::Fail("base64 round trip of the raw input lost bytes");
  return 0;
}
