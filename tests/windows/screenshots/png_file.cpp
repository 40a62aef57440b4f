#include "png_file.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>

namespace pirell::screenshots {
namespace {

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, const char (&type)[5],
              const std::vector<std::uint8_t>& data) {
  PutU32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutU32(out, Crc32(out.data() + start, out.size() - start));
}

// A zlib stream of stored blocks.
std::vector<std::uint8_t> ZlibStored(const std::vector<std::uint8_t>& raw) {
  std::vector<std::uint8_t> out{0x78, 0x01};
  std::size_t offset = 0;
  do {
    const std::size_t size = std::min<std::size_t>(65535, raw.size() - offset);
    const bool last = offset + size == raw.size();
    out.push_back(last ? 1 : 0);
    out.push_back(static_cast<std::uint8_t>(size & 0xFF));
    out.push_back(static_cast<std::uint8_t>(size >> 8));
    out.push_back(static_cast<std::uint8_t>(~size & 0xFF));
    out.push_back(static_cast<std::uint8_t>((~size >> 8) & 0xFF));
    out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(offset),
               raw.begin() + static_cast<std::ptrdiff_t>(offset + size));
    offset += size;
  } while (offset < raw.size());
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  PutU32(out, (b << 16) | a);
  return out;
}

}  // namespace

std::vector<std::uint8_t> EncodePng(const RgbImage& image) {
  std::vector<std::uint8_t> out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  PutU32(header, static_cast<std::uint32_t>(image.width));
  PutU32(header, static_cast<std::uint32_t>(image.height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter, no interlace
  PutChunk(out, "IHDR", header);
  std::vector<std::uint8_t> raw;
  const std::size_t row = static_cast<std::size_t>(image.width) * 3;
  raw.reserve((row + 1) * static_cast<std::size_t>(image.height));
  for (int y = 0; y < image.height; ++y) {
    raw.push_back(0);  // filter type None
    const auto begin =
        image.rgb.begin() + static_cast<std::ptrdiff_t>(row * static_cast<std::size_t>(y));
    raw.insert(raw.end(), begin, begin + static_cast<std::ptrdiff_t>(row));
  }
  PutChunk(out, "IDAT", ZlibStored(raw));
  PutChunk(out, "IEND", {});
  return out;
}

bool WritePngFile(const std::wstring& path, const RgbImage& image) {
  const std::vector<std::uint8_t> bytes = EncodePng(image);
  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, Closer> file(_wfopen(path.c_str(), L"wb"));
  if (!file) return false;
  return std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
}

}  // namespace pirell::screenshots
