#include <sys/random.h>

#include <cstdint>
#include <cstdio>
#include <random>

#include "platform/guid.h"

namespace pirell::platform {

std::string NewGuidText() {
  std::uint8_t b[16];
  if (getrandom(b, sizeof b, 0) != static_cast<ssize_t>(sizeof b)) {
    std::random_device device;
    for (std::uint8_t& byte : b) byte = static_cast<std::uint8_t>(device());
  }
  b[6] = static_cast<std::uint8_t>((b[6] & 0x0F) | 0x40);  // version 4: random
  b[8] = static_cast<std::uint8_t>((b[8] & 0x3F) | 0x80);  // RFC 4122 variant
  char text[39];
  std::snprintf(text, sizeof text,
                "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", b[0],
                b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12], b[13],
                b[14], b[15]);
  return text;
}

}  // namespace pirell::platform
