#include "rendering/bmp_codec.h"

#include <algorithm>
#include <vector>

#include "common/errors.h"
#include "common/module_strings.h"

namespace pirell {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kBiRgb = 0, kBiRle8 = 1, kBiRle4 = 2, kBiBitfields = 3, kBiJpeg = 4,
                        kBiPng = 5, kBiAlphaBitfields = 6;

[[noreturn]] void Invalid(StringId reason, std::initializer_list<std::string_view> args = {}) {
  throw Error(ModuleText(StringId::BmpInvalid, {ModuleText(reason, args)}), "EInvalidGraphic");
}

// Little-endian reads that never go past the bytes they are given: the checks before them give
// the clear reasons, these keep a check that was missed from reading outside the host's buffer.
std::uint32_t Byte(std::string_view b, std::size_t at) {
  if (at >= b.size()) Invalid(StringId::BmpTruncated);
  return static_cast<unsigned char>(b[at]);
}
std::uint32_t U16(std::string_view b, std::size_t at) {
  return Byte(b, at) | Byte(b, at + 1) << 8;
}
std::uint32_t U24(std::string_view b, std::size_t at) {
  return U16(b, at) | Byte(b, at + 2) << 16;
}
std::uint32_t U32(std::string_view b, std::size_t at) {
  return U16(b, at) | U16(b, at + 2) << 16;
}
std::int32_t I32(std::string_view b, std::size_t at) {
  return static_cast<std::int32_t>(U32(b, at));
}

// One colour channel given by a bit mask, widened to 8 bits.
class Channel {
 public:
  Channel() = default;
  explicit Channel(std::uint32_t mask) : mask_(mask) {
    if (mask_ == 0) return;
    while ((mask_ >> shift_ & 1) == 0) ++shift_;
    max_ = mask_ >> shift_;  // a mask with holes reads its lowest bits as a wider number
  }
  bool Present() const { return mask_ != 0; }
  std::uint32_t Read(std::uint32_t pixel) const {
    if (mask_ == 0) return 0;
    const std::uint64_t value = (pixel & mask_) >> shift_;
    return static_cast<std::uint32_t>((value * 255 + max_ / 2) / max_);
  }

 private:
  std::uint32_t mask_ = 0;
  int shift_ = 0;
  std::uint64_t max_ = 1;
};

struct Layout {
  std::int32_t width = 0;
  std::int32_t height = 0;  // positive
  bool top_down = false;
  std::uint32_t bits = 0;
  std::uint32_t compression = kBiRgb;
  Channel red, green, blue, alpha;
  std::vector<std::uint32_t> palette;  // 0xAARRGGBB
  std::size_t pixel_offset = 0;
  std::size_t stride = 0;
};

Layout ReadLayout(std::string_view bytes) {
  if (bytes.size() < kFileHeaderSize + 4) Invalid(StringId::BmpTooShort);
  if (bytes[0] != 'B' || bytes[1] != 'M') Invalid(StringId::BmpNoSignature);
  Layout layout;
  const std::size_t header_size = U32(bytes, kFileHeaderSize);
  const std::size_t header_end = kFileHeaderSize + header_size;
  if (header_size != 12 && header_size != 40 && header_size != 52 && header_size != 56 &&
      header_size != 108 && header_size != 124) {
    Invalid(StringId::BmpHeaderSize, {std::to_string(header_size)});
  }
  if (bytes.size() < header_end) Invalid(StringId::BmpHeaderTruncated);
  std::int64_t height = 0;
  std::uint32_t planes = 0, colours_used = 0;
  const bool core = header_size == 12;
  if (core) {
    layout.width = static_cast<std::int32_t>(U16(bytes, 18));
    height = static_cast<std::int16_t>(U16(bytes, 20));
    planes = U16(bytes, 22);
    layout.bits = U16(bytes, 24);
  } else {
    layout.width = I32(bytes, 18);
    height = I32(bytes, 22);
    planes = U16(bytes, 26);
    layout.bits = U16(bytes, 28);
    layout.compression = U32(bytes, 30);
    colours_used = U32(bytes, 46);
  }
  if (planes != 1) Invalid(StringId::BmpPlaneCount);
  layout.top_down = height < 0;
  if (height < 0) height = -height;
  if (layout.width <= 0 || height <= 0) Invalid(StringId::BmpNoPixels);
  if (layout.width > kMaxBmpSide || height > kMaxBmpSide ||
      std::int64_t{layout.width} * height > kMaxBmpPixels) {
    Invalid(StringId::BmpTooLarge, {std::to_string(kMaxBmpSide), std::to_string(kMaxBmpPixels)});
  }
  layout.height = static_cast<std::int32_t>(height);

  const std::uint32_t bits = layout.bits;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
    Invalid(StringId::BmpBitCount, {std::to_string(bits)});
  }
  switch (layout.compression) {
    case kBiRgb:
      break;
    case kBiBitfields:
    case kBiAlphaBitfields:
      if (bits != 16 && bits != 32) Invalid(StringId::BmpMasksWithBitCount, {std::to_string(bits)});
      break;
    case kBiRle8:
    case kBiRle4:
      Invalid(StringId::BmpRunLength);
    case kBiJpeg:
    case kBiPng:
      Invalid(StringId::BmpEmbedded);
    default:
      Invalid(StringId::BmpCompression, {std::to_string(layout.compression)});
  }

  // The colour masks (red, green, blue, then alpha) start right after the 40-byte header's
  // fields: a larger header holds as many of them as fit, the rest follow it.
  std::size_t cursor = header_end;
  if (layout.compression != kBiRgb) {
    const std::size_t masks_at = kFileHeaderSize + 40;
    const std::size_t in_header = std::min<std::size_t>((header_size - 40) / 4, 4);
    const std::size_t mask_count =
        std::max<std::size_t>(layout.compression == kBiAlphaBitfields ? 4 : 3, in_header);
    cursor = masks_at + 4 * mask_count;
    if (bytes.size() < cursor) Invalid(StringId::BmpMasksTruncated);
    cursor = std::max(cursor, header_end);
    layout.red = Channel(U32(bytes, masks_at));
    layout.green = Channel(U32(bytes, masks_at + 4));
    layout.blue = Channel(U32(bytes, masks_at + 8));
    if (mask_count == 4) layout.alpha = Channel(U32(bytes, masks_at + 12));
  } else if (bits == 16) {
    layout.red = Channel(0x7C00);
    layout.green = Channel(0x03E0);
    layout.blue = Channel(0x001F);
  } else if (bits == 24 || bits == 32) {
    layout.red = Channel(0x00FF0000);
    layout.green = Channel(0x0000FF00);
    layout.blue = Channel(0x000000FF);
    if (bits == 32) layout.alpha = Channel(0xFF000000);
  }

  if (bits <= 8) {
    const std::uint32_t capacity = 1u << bits;
    if (colours_used > capacity) Invalid(StringId::BmpPaletteTooLarge);
    const std::uint32_t count = colours_used == 0 ? capacity : colours_used;
    const std::size_t entry_size = core ? 3 : 4;
    if (bytes.size() < cursor + count * entry_size) Invalid(StringId::BmpPaletteTruncated);
    layout.palette.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::size_t at = cursor + i * entry_size;
      layout.palette.push_back(0xFF000000u | U24(bytes, at));  // blue, green, red
    }
  }

  layout.pixel_offset = U32(bytes, 10);
  if (layout.pixel_offset < header_end || layout.pixel_offset > bytes.size()) {
    Invalid(StringId::BmpPixelOffset);
  }
  layout.stride = (static_cast<std::size_t>(layout.width) * bits + 31) / 32 * 4;
  // The last row need not carry its padding.
  const std::size_t last_row = (static_cast<std::size_t>(layout.width) * bits + 7) / 8;
  const std::size_t needed = layout.stride * static_cast<std::size_t>(layout.height - 1) + last_row;
  if (bytes.size() - layout.pixel_offset < needed) {
    Invalid(StringId::BmpPixelsTruncated);
  }
  return layout;
}

std::uint32_t PaletteColour(const Layout& layout, std::uint32_t index) {
  if (index >= layout.palette.size()) {
    Invalid(StringId::BmpPaletteIndex,
            {std::to_string(index), std::to_string(layout.palette.size())});
  }
  return layout.palette[index];
}

void PutLE(std::string& out, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
}

}  // namespace

Picture DecodeBmp(std::string_view bytes) {
  if (bytes.empty()) return Picture();
  const Layout layout = ReadLayout(bytes);
  Picture picture(layout.width, layout.height);
  bool any_alpha = false;
  for (std::int32_t row = 0; row < layout.height; ++row) {
    const std::int32_t y = layout.top_down ? row : layout.height - 1 - row;
    const std::string_view data =
        bytes.substr(layout.pixel_offset + layout.stride * row, layout.stride);
    for (std::int32_t x = 0; x < layout.width; ++x) {
      std::uint32_t argb = 0;
      switch (layout.bits) {
        case 1:
        case 4:
        case 8: {
          const std::size_t bit = static_cast<std::size_t>(x) * layout.bits;
          const std::uint32_t byte = Byte(data, bit / 8);
          const unsigned index = byte >> (8 - layout.bits - bit % 8) & ((1u << layout.bits) - 1);
          argb = PaletteColour(layout, index);
          break;
        }
        case 16:
        case 24:
        case 32: {
          const std::size_t at = static_cast<std::size_t>(x) * (layout.bits / 8);
          const std::uint32_t pixel = layout.bits == 16   ? U16(data, at)
                                      : layout.bits == 24 ? U24(data, at)
                                                          : U32(data, at);
          const std::uint32_t alpha = layout.alpha.Present() ? layout.alpha.Read(pixel) : 0xFF;
          if (layout.alpha.Present() && alpha != 0) any_alpha = true;
          argb = alpha << 24 | layout.red.Read(pixel) << 16 | layout.green.Read(pixel) << 8 |
                 layout.blue.Read(pixel);
          break;
        }
      }
      picture.Set(x, y, argb);
    }
  }
  if (layout.alpha.Present() && !any_alpha) {
    for (std::int32_t y = 0; y < layout.height; ++y) {
      for (std::int32_t x = 0; x < layout.width; ++x) {
        picture.Set(x, y, picture.At(x, y) | 0xFF000000u);
      }
    }
  }
  return picture;
}

std::string EncodeBmp(const Picture& picture) {
  if (picture.Empty()) return {};
  bool opaque = true;
  for (std::uint32_t argb : picture.Pixels()) {
    if ((argb >> 24) != 0xFF) {
      opaque = false;
      break;
    }
  }
  const std::uint32_t bits = opaque ? 24 : 32;
  const std::uint32_t header_size = opaque ? 40 : 108;
  const std::size_t stride = (static_cast<std::size_t>(picture.Width()) * bits + 31) / 32 * 4;
  const std::size_t image_size = stride * static_cast<std::size_t>(picture.Height());
  const std::size_t offset = kFileHeaderSize + header_size;
  std::string out;
  out.reserve(offset + image_size);
  out += "BM";
  PutLE(out, static_cast<std::uint32_t>(offset + image_size), 4);
  PutLE(out, 0, 4);
  PutLE(out, static_cast<std::uint32_t>(offset), 4);
  PutLE(out, header_size, 4);
  PutLE(out, static_cast<std::uint32_t>(picture.Width()), 4);
  PutLE(out, static_cast<std::uint32_t>(picture.Height()), 4);  // positive: bottom-up
  PutLE(out, 1, 2);
  PutLE(out, bits, 2);
  PutLE(out, opaque ? kBiRgb : kBiBitfields, 4);
  PutLE(out, static_cast<std::uint32_t>(image_size), 4);
  PutLE(out, 2835, 4);  // 72 dots per inch
  PutLE(out, 2835, 4);
  PutLE(out, 0, 4);
  PutLE(out, 0, 4);
  if (!opaque) {
    PutLE(out, 0x00FF0000, 4);
    PutLE(out, 0x0000FF00, 4);
    PutLE(out, 0x000000FF, 4);
    PutLE(out, 0xFF000000, 4);
    PutLE(out, 0x73524742, 4);           // colour space 'sRGB'
    out.append(108 - 40 - 5 * 4, '\0');  // end points and gamma, unused for sRGB
  }
  for (int y = picture.Height() - 1; y >= 0; --y) {
    const std::size_t row_start = out.size();
    for (int x = 0; x < picture.Width(); ++x) {
      const std::uint32_t argb = picture.At(x, y);
      PutLE(out, argb & 0xFFFFFF, 3);
      if (!opaque) out.push_back(static_cast<char>(argb >> 24));
    }
    out.append(stride - (out.size() - row_start), '\0');
  }
  return out;
}

}  // namespace pirell
