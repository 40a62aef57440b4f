#include "support/bmp_builder.h"

#include <algorithm>

namespace pirell::testing {
namespace {

void Put(std::string& out, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
}

}  // namespace

std::string BuildBmp(const BmpLayout& layout) {
  std::string header;
  Put(header, layout.header_size, 4);
  if (layout.header_size == 12) {
    Put(header, static_cast<std::uint32_t>(layout.width), 2);
    Put(header, static_cast<std::uint32_t>(layout.height), 2);
    Put(header, layout.planes, 2);
    Put(header, layout.bits, 2);
  } else {
    Put(header, static_cast<std::uint32_t>(layout.width), 4);
    Put(header, static_cast<std::uint32_t>(layout.height), 4);
    Put(header, layout.planes, 2);
    Put(header, layout.bits, 2);
    Put(header, layout.compression, 4);
    Put(header, 0, 4);  // image size: may be 0 for uncompressed files
    Put(header, 2835, 4);
    Put(header, 2835, 4);
    Put(header, layout.colours_used, 4);
    Put(header, 0, 4);
    std::size_t masks_inside = 0;
    for (; masks_inside < 4 && header.size() < layout.header_size; ++masks_inside) {
      Put(header, masks_inside < layout.masks.size() ? layout.masks[masks_inside] : 0, 4);
    }
    // Headers larger than any real one stay short (a broken file needs no gigabytes).
    const std::size_t padded_size = std::min<std::size_t>(layout.header_size, 124);
    if (header.size() < padded_size) header.append(padded_size - header.size(), '\0');
    for (std::size_t i = masks_inside; i < layout.masks.size(); ++i)
      Put(header, layout.masks[i], 4);
  }
  for (std::uint32_t colour : layout.palette) Put(header, colour, layout.header_size == 12 ? 3 : 4);

  std::string pixels;
  for (std::string row : layout.rows) {
    if (layout.pad_rows) row.append((4 - row.size() % 4) % 4, '\0');
    pixels += row;
  }
  const std::uint32_t offset =
      layout.pixel_offset.value_or(static_cast<std::uint32_t>(14 + header.size()));
  std::string file = "BM";
  Put(file, static_cast<std::uint32_t>(14 + header.size() + pixels.size()), 4);
  Put(file, 0, 4);
  Put(file, offset, 4);
  file += header;
  file += pixels;
  if (file.size() > layout.truncate_to) file.resize(layout.truncate_to);
  return file;
}

std::uint32_t GradientColour(int x, int y) {
  return 0xFF000000u | static_cast<std::uint32_t>(x & 0xFF) << 16 |
         static_cast<std::uint32_t>(y & 0xFF) << 8 | static_cast<std::uint32_t>((x + y) & 0xFF);
}

std::string GradientBmp(int width, int height) {
  BmpLayout layout;
  layout.width = width;
  layout.height = height;
  for (int y = height - 1; y >= 0; --y) {
    std::string row;
    for (int x = 0; x < width; ++x) Put(row, GradientColour(x, y) & 0xFFFFFF, 3);
    layout.rows.push_back(row);
  }
  return BuildBmp(layout);
}

Picture GradientPicture(int width, int height) {
  Picture picture(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) picture.Set(x, y, GradientColour(x, y));
  }
  return picture;
}

}  // namespace pirell::testing
