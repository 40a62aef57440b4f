#include "rendering/base64.h"

#include <array>
#include <cstdint>

namespace pirell {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::int8_t kNotInAlphabet = -1;

constexpr std::array<std::int8_t, 256> MakeDecodeTable() {
  std::array<std::int8_t, 256> table{};
  for (auto& entry : table) entry = kNotInAlphabet;
  for (int i = 0; i < 64; ++i)
    table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<std::int8_t>(i);
  return table;
}
constexpr std::array<std::int8_t, 256> kDecodeTable = MakeDecodeTable();

}  // namespace

std::string Base64Encode(std::string_view bytes, std::size_t line_length) {
  const std::size_t encoded_size = (bytes.size() + 2) / 3 * 4;
  const std::size_t breaks =
      line_length > 0 && encoded_size > 0 ? (encoded_size - 1) / line_length : 0;
  std::string out(encoded_size + breaks, '\0');
  char* cursor = out.data();
  const std::size_t line_limit = line_length > 0 ? line_length : SIZE_MAX;
  std::size_t column = 0;
  auto put = [&](char c) {
    if (column == line_limit) {
      *cursor++ = '\n';
      column = 0;
    }
    *cursor++ = c;
    ++column;
  };
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    const std::uint32_t group =
        std::uint32_t{in[i]} << 16 | std::uint32_t{in[i + 1]} << 8 | in[i + 2];
    put(kAlphabet[group >> 18 & 63]);
    put(kAlphabet[group >> 12 & 63]);
    put(kAlphabet[group >> 6 & 63]);
    put(kAlphabet[group & 63]);
  }
  const std::size_t rest = bytes.size() - i;
  if (rest > 0) {
    std::uint32_t group = std::uint32_t{in[i]} << 16;
    if (rest == 2) group |= std::uint32_t{in[i + 1]} << 8;
    put(kAlphabet[group >> 18 & 63]);
    put(kAlphabet[group >> 12 & 63]);
    put(rest == 2 ? kAlphabet[group >> 6 & 63] : '=');
    put('=');
  }
  return out;
}

std::string Base64Decode(std::string_view text) {
  std::string out(text.size() / 4 * 3 + 3, '\0');
  char* cursor = out.data();
  std::uint32_t group = 0;
  int sextets = 0;
  for (char c : text) {
    if (c == '=') break;
    const std::int8_t value = kDecodeTable[static_cast<unsigned char>(c)];
    if (value == kNotInAlphabet) continue;
    group = group << 6 | static_cast<std::uint32_t>(value);
    if (++sextets == 4) {
      *cursor++ = static_cast<char>(group >> 16 & 0xFF);
      *cursor++ = static_cast<char>(group >> 8 & 0xFF);
      *cursor++ = static_cast<char>(group & 0xFF);
      group = 0;
      sextets = 0;
    }
  }
  if (sextets == 2) {
    *cursor++ = static_cast<char>(group >> 4 & 0xFF);
  } else if (sextets == 3) {
    *cursor++ = static_cast<char>(group >> 10 & 0xFF);
    *cursor++ = static_cast<char>(group >> 2 & 0xFF);
  }
  out.resize(static_cast<std::size_t>(cursor - out.data()));
  return out;
}

}  // namespace pirell
