#include "rendering/bmp_codec.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "common/errors.h"
#include "support/bmp_builder.h"

namespace pirell {
namespace {

using testing::BmpLayout;
using testing::BuildBmp;

std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (int v : values) bytes.push_back(static_cast<char>(v));
  return bytes;
}

std::vector<std::uint32_t> Pixels(const Picture& picture) {
  return picture.Pixels();
}

// The message of the Error that decoding raises, or "" when it decodes.
std::string DecodeError(const std::string& bytes) {
  try {
    DecodeBmp(bytes);
  } catch (const Error& error) {
    EXPECT_EQ(error.TypeName(), "EInvalidGraphic");
    return error.what();
  }
  return "";
}

TEST(BmpDecoding, PaletteDepthsBottomUpAndTopDown) {
  BmpLayout one;
  one.width = 10;
  one.height = 2;
  one.bits = 1;
  one.palette = {0x000000, 0xFFFFFF};
  one.rows = {Bytes({0xFF, 0xC0}), Bytes({0x80, 0x40})};  // bottom row first
  Picture p = DecodeBmp(BuildBmp(one));
  ASSERT_EQ(p.Width(), 10);
  ASSERT_EQ(p.Height(), 2);
  EXPECT_EQ(p.At(0, 0), 0xFF000000u | 0xFFFFFF);  // top row: 1000000001
  EXPECT_EQ(p.At(1, 0), 0xFF000000u);
  EXPECT_EQ(p.At(9, 0), 0xFFFFFFFFu);
  EXPECT_EQ(p.At(9, 1), 0xFFFFFFFFu);
  EXPECT_EQ(p.At(8, 1), 0xFFFFFFFFu);
  EXPECT_EQ(p.At(7, 1), 0xFFFFFFFFu);
  EXPECT_EQ(p.At(0, 1), 0xFFFFFFFFu);

  BmpLayout four;
  four.width = 3;
  four.height = -1;  // top-down
  four.bits = 4;
  four.colours_used = 3;
  four.palette = {0x112233, 0x445566, 0x778899};
  four.rows = {Bytes({0x21, 0x00})};
  p = DecodeBmp(BuildBmp(four));
  EXPECT_EQ(Pixels(p), (std::vector<std::uint32_t>{0xFF778899, 0xFF445566, 0xFF112233}));

  BmpLayout eight;
  eight.width = 2;
  eight.height = -2;
  eight.bits = 8;
  eight.colours_used = 4;
  eight.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  eight.rows = {Bytes({1, 2}), Bytes({3, 0})};
  p = DecodeBmp(BuildBmp(eight));
  EXPECT_EQ(Pixels(p),
            (std::vector<std::uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF000000}));
}

TEST(BmpDecoding, CoreHeaderWithThreeBytePalette) {
  BmpLayout core;
  core.header_size = 12;
  core.width = 2;
  core.height = 1;
  core.bits = 8;
  core.palette = std::vector<std::uint32_t>(256, 0x000000);
  core.palette[7] = 0xABCDEF;
  core.rows = {Bytes({7, 0})};
  EXPECT_EQ(Pixels(DecodeBmp(BuildBmp(core))),
            (std::vector<std::uint32_t>{0xFFABCDEF, 0xFF000000}));
}

TEST(BmpDecoding, SixteenBitsWithDefaultAndExplicitMasks) {
  BmpLayout rgb555;
  rgb555.width = 2;
  rgb555.height = 1;
  rgb555.bits = 16;
  rgb555.rows = {Bytes({0x00, 0x7C, 0x1F, 0x00})};  // pure red, pure blue
  EXPECT_EQ(Pixels(DecodeBmp(BuildBmp(rgb555))),
            (std::vector<std::uint32_t>{0xFFFF0000, 0xFF0000FF}));

  BmpLayout rgb565 = rgb555;
  rgb565.compression = 3;
  rgb565.masks = {0xF800, 0x07E0, 0x001F};
  rgb565.rows = {Bytes({0xE0, 0x07, 0x10, 0x00})};  // pure green, half blue
  EXPECT_EQ(Pixels(DecodeBmp(BuildBmp(rgb565))),
            (std::vector<std::uint32_t>{0xFF00FF00, 0xFF000000 | (16 * 255 + 15) / 31}));
}

TEST(BmpDecoding, TwentyFourAndThirtyTwoBits) {
  BmpLayout rgb24;
  rgb24.width = 1;
  rgb24.height = 2;
  rgb24.rows = {Bytes({1, 2, 3}), Bytes({4, 5, 6})};
  EXPECT_EQ(Pixels(DecodeBmp(BuildBmp(rgb24))),
            (std::vector<std::uint32_t>{0xFF060504, 0xFF030201}));

  BmpLayout unused_alpha;
  unused_alpha.width = 2;
  unused_alpha.height = 1;
  unused_alpha.bits = 32;
  unused_alpha.rows = {Bytes({1, 2, 3, 0, 4, 5, 6, 0})};
  EXPECT_EQ(Pixels(DecodeBmp(BuildBmp(unused_alpha))),
            (std::vector<std::uint32_t>{0xFF030201, 0xFF060504}));

  BmpLayout with_alpha = unused_alpha;
  with_alpha.header_size = 108;
  with_alpha.compression = 3;
  with_alpha.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
  with_alpha.rows = {Bytes({1, 2, 3, 0x80, 4, 5, 6, 0})};
  EXPECT_EQ(Pixels(DecodeBmp(BuildBmp(with_alpha))),
            (std::vector<std::uint32_t>{0x80030201, 0x00060504}));

  BmpLayout swapped = unused_alpha;  // masks after a 40-byte header, channels swapped
  swapped.compression = 3;
  swapped.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
  EXPECT_EQ(Pixels(DecodeBmp(BuildBmp(swapped))),
            (std::vector<std::uint32_t>{0xFF010203, 0xFF040506}));
}

TEST(BmpDecoding, MasksThatAHeaderDoesNotHoldFollowIt) {
  BmpLayout argb1555;  // 52-byte header: red, green and blue masks inside, alpha after it
  argb1555.header_size = 52;
  argb1555.width = 2;
  argb1555.height = 1;
  argb1555.bits = 16;
  argb1555.compression = 6;
  argb1555.masks = {0x7C00, 0x03E0, 0x001F, 0x8000};
  argb1555.rows = {Bytes({0x00, 0xFC, 0x1F, 0x00})};  // opaque red, transparent blue
  EXPECT_EQ(Pixels(DecodeBmp(BuildBmp(argb1555))),
            (std::vector<std::uint32_t>{0xFFFF0000, 0x000000FF}));

  BmpLayout rgb_only = argb1555;  // the same header with three masks has no alpha channel
  rgb_only.compression = 3;
  rgb_only.masks.pop_back();
  EXPECT_EQ(Pixels(DecodeBmp(BuildBmp(rgb_only))),
            (std::vector<std::uint32_t>{0xFFFF0000, 0xFF0000FF}));

  BmpLayout short_alpha = argb1555;  // the file ends inside the alpha mask
  short_alpha.rows = {};
  short_alpha.pixel_offset = 14 + 52;
  short_alpha.truncate_to = 14 + 52 + 3;
  EXPECT_NE(DecodeError(BuildBmp(short_alpha)).find("цветовые маски обрезаны"), std::string::npos);
}

TEST(BmpDecoding, TheLastRowMayLackItsPaddingAndGapsBeforeThePixelsAreAllowed) {
  BmpLayout layout;
  layout.width = 1;
  layout.height = 2;
  layout.rows = {std::string("\x01\x02\x03\x00", 4), "\x04\x05\x06"};
  layout.pad_rows = false;
  EXPECT_EQ(DecodeBmp(BuildBmp(layout)).At(0, 0), 0xFF060504u);

  BmpLayout gap;
  gap.width = 1;
  gap.height = 1;
  gap.pixel_offset = 14 + 40 + 8;
  gap.rows = {std::string(8, '\x7F') + "\x01\x02\x03"};
  EXPECT_EQ(DecodeBmp(BuildBmp(gap)).At(0, 0), 0xFF030201u);
}

TEST(BmpDecoding, NoBytesGiveAnEmptyPicture) {
  EXPECT_TRUE(DecodeBmp("").Empty());
}

TEST(BmpDecoding, MalformedFilesRaiseTheDocumentedError) {
  BmpLayout good;
  good.width = 4;
  good.height = 4;
  good.rows = std::vector<std::string>(4, std::string(12, '\x10'));
  ASSERT_EQ(DecodeError(BuildBmp(good)), "");

  auto with = [&](auto change) {
    BmpLayout layout = good;
    change(layout);
    return DecodeError(BuildBmp(layout));
  };
  struct Case {
    std::string name;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"two bytes", DecodeError("BM")},
      {"not BM", DecodeError("PK" + BuildBmp(good).substr(2))},
      {"truncated pixels", with([](BmpLayout& s) { s.truncate_to = 14 + 40 + 30; })},
      {"truncated header", with([](BmpLayout& s) { s.truncate_to = 30; })},
      {"oversized header claims",
       with([](BmpLayout& s) { s.width = 16384, s.height = 16384; })},  // within sides, too many
      {"side too long", with([](BmpLayout& s) { s.width = 16385, s.height = 1; })},
      {"huge", with([](BmpLayout& s) { s.width = 0x7FFFFFFF, s.height = 0x7FFFFFFF; })},
      {"lowest height", with([](BmpLayout& s) { s.height = INT32_MIN; })},
      {"pixels beyond 64 MiB", with([](BmpLayout& s) { s.width = 16384, s.height = 1025; })},
      {"zero width", with([](BmpLayout& s) { s.width = 0; })},
      {"negative width", with([](BmpLayout& s) { s.width = -4; })},
      {"zero height", with([](BmpLayout& s) { s.height = 0; })},
      {"two bits", with([](BmpLayout& s) { s.bits = 2; })},
      {"zero bits", with([](BmpLayout& s) { s.bits = 0; })},
      {"no planes", with([](BmpLayout& s) { s.planes = 0; })},
      {"run-length", with([](BmpLayout& s) { s.bits = 8, s.compression = 1; })},
      {"jpeg", with([](BmpLayout& s) { s.compression = 4; })},
      {"unknown compression", with([](BmpLayout& s) { s.compression = 99; })},
      {"masks with 24 bits", with([](BmpLayout& s) { s.compression = 3; })},
      {"masks missing", with([](BmpLayout& s) { s.bits = 32, s.compression = 3, s.rows = {}; })},
      {"header size 64", with([](BmpLayout& s) { s.header_size = 64; })},
      {"header size 0", with([](BmpLayout& s) { s.header_size = 0; })},
      {"header size huge", with([](BmpLayout& s) { s.header_size = 0xFFFFFFF0; })},
      {"offset beyond the file", with([](BmpLayout& s) { s.pixel_offset = 100000; })},
      {"offset inside the header", with([](BmpLayout& s) { s.pixel_offset = 20; })},
      {"palette too big", with([](BmpLayout& s) {
         s.bits = 8, s.colours_used = 300, s.palette = {0, 0};
       })},
      {"palette truncated", with([](BmpLayout& s) {
         s.bits = 8, s.colours_used = 0, s.palette = {0, 0}, s.rows = {};
       })},
      {"palette index out of range", with([](BmpLayout& s) {
         s.bits = 8, s.colours_used = 2, s.palette = {0, 0xFFFFFF};
         s.rows = std::vector<std::string>(4, Bytes({0, 1, 5, 1}));
       })},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.message.rfind("Рисунок BMP повреждён или не поддерживается: ", 0), 0u)
        << c.name << ": " << c.message;
  }
  EXPECT_NE(cases[2].message.find("данных точек в файле меньше"), std::string::npos)
      << cases[2].message;
  EXPECT_NE(cases[4].message.find("рисунок больше 16384 x 16384"), std::string::npos)
      << cases[4].message;
  EXPECT_NE(cases[15].message.find("RLE"), std::string::npos) << cases[15].message;
  EXPECT_NE(cases.back().message.find("номер цвета 5 вне палитры из 2 цветов"), std::string::npos)
      << cases.back().message;
}

TEST(BmpDecoding, DamagedFilesNeverReadOutsideTheirBytes) {
  // Every decode either succeeds or raises the Error; the sanitizers watch the reads.
  std::mt19937 random(12345);
  const std::vector<std::string> seeds = {testing::GradientBmp(7, 5), EncodeBmp([] {
                                            Picture p(3, 3, 0x80FFFFFF);
                                            return p;
                                          }())};
  int refused = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string bytes = seeds[round % seeds.size()];
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits; ++e) {
      const std::size_t at = random() % std::min<std::size_t>(bytes.size(), 80);
      bytes[at] = static_cast<char>(random());
    }
    if (round % 7 == 0) bytes.resize(random() % bytes.size());
    try {
      Picture picture = DecodeBmp(bytes);
      EXPECT_LE(static_cast<std::int64_t>(picture.Width()) * picture.Height(), kMaxBmpPixels);
    } catch (const Error&) {
      ++refused;
    }
  }
  EXPECT_GT(refused, 0);
}

TEST(BmpEncoding, OpaquePicturesAreTwentyFourBitFilesThatReadBack) {
  const Picture picture = testing::GradientPicture(5, 3);
  const std::string bytes = EncodeBmp(picture);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(bytes.size(), 14u + 40u + 16u * 3u);  // rows of 15 bytes padded to 16
  EXPECT_EQ(static_cast<unsigned char>(bytes[28]), 24);
  EXPECT_EQ(Pixels(DecodeBmp(bytes)), picture.Pixels());
  EXPECT_EQ(bytes, testing::GradientBmp(5, 3).substr(0, 2) + bytes.substr(2));
}

TEST(BmpEncoding, TransparencyIsKeptInThirtyTwoBits) {
  Picture picture(2, 2, 0xFF102030);
  picture.Set(1, 0, 0x00FFFFFF);
  picture.Set(0, 1, 0x7F000000);
  const std::string bytes = EncodeBmp(picture);
  EXPECT_EQ(static_cast<unsigned char>(bytes[28]), 32);
  EXPECT_EQ(Pixels(DecodeBmp(bytes)), picture.Pixels());
  EXPECT_EQ(EncodeBmp(Picture()), "");
}

}  // namespace
}  // namespace pirell
