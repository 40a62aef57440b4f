#include "platform/text_layout.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/text_raster.h"

namespace pirell::platform {
namespace {

// Every character 10 pixels wide, spaces 5.
int FakeAdvance(char32_t ch) {
  return ch == U' ' ? 5 : 10;
}

std::u32string LineText(const LaidOutLine& line) {
  std::u32string text;
  for (const PlacedChar& placed : line.chars) text += placed.ch;
  return text;
}

std::vector<LaidOutLine> LayOut(std::u32string_view text, int width,
                                std::uint32_t flags = text_flags::kWordBreak) {
  return LayOutText(text, width, flags, FakeAdvance);
}

TEST(TextLayoutTest, BreaksLinesAtCarriageReturnLineFeedAndThePair) {
  auto lines = LayOut(U"ab\rcd\nef\r\ngh", 1000);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(LineText(lines[0]), U"ab");
  EXPECT_EQ(LineText(lines[1]), U"cd");
  EXPECT_EQ(LineText(lines[2]), U"ef");
  EXPECT_EQ(LineText(lines[3]), U"gh");
}

TEST(TextLayoutTest, WrapsBeforeTheWordThatWouldPassTheRightEdge) {
  // "aaa bbb" is 30 + 5 + 30 = 65 pixels.
  auto fits = LayOut(U"aaa bbb ccc", 65);
  ASSERT_EQ(fits.size(), 2u);
  EXPECT_EQ(LineText(fits[0]), U"aaa bbb");
  EXPECT_EQ(LineText(fits[1]), U"ccc");  // the blank at the wrap is dropped
  EXPECT_EQ(fits[1].chars.front().x, 0);

  auto narrower = LayOut(U"aaa bbb ccc", 64);
  ASSERT_EQ(narrower.size(), 3u);
  EXPECT_EQ(LineText(narrower[1]), U"bbb");
}

TEST(TextLayoutTest, KeepsAWordWiderThanTheBoxWhole) {
  auto lines = LayOut(U"ab abcdefghij cd", 50);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(LineText(lines[1]), U"abcdefghij");
  EXPECT_EQ(lines[1].width, 100);
}

TEST(TextLayoutTest, WrapsOnlyWithTheWordBreakFlag) {
  auto lines = LayOut(U"aaa bbb ccc", 40, 0);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].width, 100);
}

TEST(TextLayoutTest, PlacesEachLineByTheHorizontalFlags) {
  const std::uint32_t wrap = text_flags::kWordBreak;
  auto left = LayOut(U"ab\nabcd", 100, wrap);
  EXPECT_EQ(left[0].left, 0);
  EXPECT_EQ(left[1].left, 0);

  auto right = LayOut(U"ab\nabcd", 100, wrap | text_flags::kRight);
  EXPECT_EQ(right[0].left, 80);
  EXPECT_EQ(right[1].left, 60);
  EXPECT_EQ(right[1].chars.back().x, 90);

  auto centre = LayOut(U"ab\nabcd", 100, wrap | text_flags::kCenter);
  EXPECT_EQ(centre[0].left, 40);
  EXPECT_EQ(centre[1].left, 30);

  // A line wider than the box sticks out on the left when right-aligned.
  auto wide = LayOut(U"abcdefghijkl", 100, wrap | text_flags::kRight);
  EXPECT_EQ(wide[0].left, -20);
}

TEST(TextLayoutTest, AmpersandUnderlinesTheNextCharacterAndTakesNoRoom) {
  auto lines = LayOut(U"R&D", 100);
  ASSERT_EQ(lines.size(), 1u);
  ASSERT_EQ(LineText(lines[0]), U"RD");
  EXPECT_FALSE(lines[0].chars[0].underlined);
  EXPECT_TRUE(lines[0].chars[1].underlined);
  EXPECT_EQ(lines[0].chars[1].x, 10);
  EXPECT_EQ(lines[0].width, 20);
}

TEST(TextLayoutTest, DoubleAmpersandDrawsOnePlainAmpersand) {
  auto lines = LayOut(U"R&&D", 100);
  ASSERT_EQ(LineText(lines[0]), U"R&D");
  for (const PlacedChar& placed : lines[0].chars) EXPECT_FALSE(placed.underlined);

  auto three = LayOut(U"a&&&b", 100);
  ASSERT_EQ(LineText(three[0]), U"a&b");
  EXPECT_TRUE(three[0].chars[2].underlined);

  auto trailing = LayOut(U"ab&", 100);
  EXPECT_EQ(LineText(trailing[0]), U"ab&");
  EXPECT_FALSE(trailing[0].chars[2].underlined);
  auto doubled_at_end = LayOut(U"ab&&", 100);
  ASSERT_EQ(LineText(doubled_at_end[0]), U"ab&");
  EXPECT_FALSE(doubled_at_end[0].chars[2].underlined);
}

TEST(TextLayoutTest, ControlCharactersTakeNoRoom) {
  auto lines = LayOut(
      U"a\x01"
      U"b",
      100);
  EXPECT_EQ(LineText(lines[0]), U"ab");
  EXPECT_EQ(lines[0].width, 20);
}

TEST(TextLayoutTest, EmptyTextIsOneEmptyLine) {
  auto lines = LayOut(U"", 100);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(lines[0].chars.empty());
}

TEST(TextLayoutTest, EmHeightRoundsHalvesAwayFromZero) {
  EXPECT_EQ(EmHeightDots(12, 203), 34);  // 33.83
  EXPECT_EQ(EmHeightDots(8, 203), 23);   // 22.56
  EXPECT_EQ(EmHeightDots(9, 200), 25);   // exactly 25
  EXPECT_EQ(EmHeightDots(3, 12), 1);     // exactly 0.5
  EXPECT_EQ(EmHeightDots(-3, 12), -1);
}

}  // namespace
}  // namespace pirell::platform
