// Texts drawn by the platform's rasteriser. Glyph shapes differ between faces and platforms, so
// these check geometry: sizes, where the ink lies, line wrapping and the quarter turns.

#include <gtest/gtest.h>

#include "rendering/graphic_primitives.h"
#include "support/bitmap_probe.h"

namespace pirell {
namespace {

using testing::InkBoundsOf;
using testing::InkRowBands;
using testing::SamePixels;
using testing::Sketch;

class GraphicTextTest : public ::testing::Test {
 protected:
  // A 20 x 10 mm field (160 x 80 dots) in a 12-point face.
  void SetUp() override {
    text_.SetDPI(203);
    text_.SetWidth(20);
    text_.SetHeight(10);
    text_.Font().size_points = 12;
    text_.Font().charset = 204;
  }

  MonoBitmap Draw(const std::string& data, std::uint32_t extra_flags = 0) {
    text_.SetTextFormat(16 | extra_flags);
    text_.SetData(data);
    return text_.GetBitMap();  // a copy: the next call redraws the same bitmap
  }

  TGraphicText text_;
};

TEST_F(GraphicTextTest, DrawsInkInsideTheBoxStartingAtTheTopLeft) {
  MonoBitmap bitmap = Draw("AB");
  ASSERT_EQ(bitmap.Width(), 160);
  ASSERT_EQ(bitmap.Height(), 80);
  auto ink = InkBoundsOf(bitmap);
  ASSERT_FALSE(ink.Empty());
  EXPECT_LE(ink.left, 3);
  EXPECT_LE(ink.top, 12);  // below the ascender space of a 34-dot em
  EXPECT_LT(ink.right, 60);
  // Capitals of a 34-dot em are some 24 dots high.
  EXPECT_GE(ink.bottom - ink.top + 1, 18);
  EXPECT_LE(ink.bottom - ink.top + 1, 30);
}

TEST_F(GraphicTextTest, ARepeatedTextKeepsItsBitmapAndAnyChangeDrawsAgain) {
  const MonoBitmap first = Draw("AB");
  EXPECT_TRUE(SamePixels(Draw("AB"), first));
  // Each setting the drawing depends on is part of what was drawn.
  text_.Font().bold = true;
  EXPECT_GT(text_.GetBitMap().CountBlack(), first.CountBlack());
  text_.Font().bold = false;
  text_.SetWidth(30);
  EXPECT_EQ(text_.GetBitMap().Width(), 240);
  text_.SetWidth(20);
  EXPECT_FALSE(SamePixels(Draw("AB", 2), first));
  EXPECT_TRUE(SamePixels(Draw("AB"), first));
  EXPECT_FALSE(SamePixels(Draw("BA"), first));
}

TEST_F(GraphicTextTest, HorizontalFlagsDecideTheEdgeTheLinesTouch) {
  auto left = InkBoundsOf(Draw("AB\nABAB"));
  auto right = InkBoundsOf(Draw("AB\nABAB", 2));
  auto centre = InkBoundsOf(Draw("AB\nABAB", 1));
  EXPECT_LE(left.left, 3);
  EXPECT_GE(right.right, 155);
  EXPECT_GT(right.left, 60);
  EXPECT_NEAR((centre.left + centre.right) / 2.0, 80, 5);

  // Each line is right-aligned on its own: the short first line starts further right.
  MonoBitmap two_lines = Draw("AB\nABAB", 2);
  auto bands = InkRowBands(two_lines);
  ASSERT_EQ(bands.size(), 2u) << Sketch(two_lines);
  MonoBitmap first_line(160, bands[0].second + 1);
  for (int y = 0; y <= bands[0].second; ++y)
    for (int x = 0; x < 160; ++x)
      if (two_lines.IsBlack(x, y)) first_line.SetBlack(x, y);
  auto first = InkBoundsOf(first_line);
  EXPECT_GE(first.right, 155);
  EXPECT_GT(first.left, right.left + 20);
}

TEST_F(GraphicTextTest, VerticalFlagsDoNotMoveWrappedText) {
  MonoBitmap top = Draw("AB", 2);
  MonoBitmap bottom = Draw("AB", 2 | 8);  // haRight + vaBottom: TextFormat 26
  EXPECT_EQ(text_.TextFormat(), 26u);
  EXPECT_TRUE(SamePixels(top, bottom));
  EXPECT_TRUE(SamePixels(top, Draw("AB", 2 | 4)));
  EXPECT_LE(InkBoundsOf(bottom).top, 12);
}

TEST_F(GraphicTextTest, LeadingBlanksAndTrailingLineBreakAreNotDrawn) {
  EXPECT_TRUE(SamePixels(Draw("   AB\r\n"), Draw("AB")));
  EXPECT_TRUE(SamePixels(Draw("\tAB  \n", 2), Draw("AB", 2)));
  EXPECT_EQ(Draw(" \r\n ").CountBlack(), 0);
}

TEST_F(GraphicTextTest, AmpersandUnderlinesTheFollowingCharacter) {
  MonoBitmap prefixed = Draw("R&D");
  MonoBitmap plain = Draw("RD");
  MonoBitmap r_alone = Draw("R");
  MonoBitmap underline = testing::InkOnlyIn(prefixed, plain);
  auto line = InkBoundsOf(underline);
  ASSERT_FALSE(line.Empty()) << Sketch(prefixed);
  EXPECT_TRUE(testing::InkOnlyIn(plain, prefixed).CountBlack() == 0) << "glyphs moved";

  auto glyphs = InkBoundsOf(plain);
  auto r = InkBoundsOf(r_alone);
  // Under the D, not under the R, and below the letters.
  EXPECT_GE(line.left, r.right - 1);
  EXPECT_GE(line.right, glyphs.right - 2);
  EXPECT_LE(line.right, glyphs.right + 4);
  EXPECT_GT(line.top, glyphs.bottom);
  EXPECT_GE(line.right - line.left + 1, (glyphs.right - r.right) / 2);
}

TEST_F(GraphicTextTest, DoubleAmpersandDrawsOneAmpersand) {
  EXPECT_TRUE(SamePixels(Draw("&&"), Draw("&")));  // a final ampersand is drawn as it stands
  auto one = InkBoundsOf(Draw("&&"));
  auto two = InkBoundsOf(Draw("&&&&"));
  ASSERT_FALSE(one.Empty());
  EXPECT_GT(two.right - two.left, (one.right - one.left) * 3 / 2);

  MonoBitmap with_ampersand = Draw("R&&D");
  auto wide = InkBoundsOf(with_ampersand);
  auto narrow = InkBoundsOf(Draw("RD"));
  EXPECT_GT(wide.right, narrow.right + (one.right - one.left) / 2);
  EXPECT_EQ(wide.bottom, narrow.bottom) << "no underline below the line";
}

TEST_F(GraphicTextTest, WrapsAtTheBoxEdgeAndKeepsLongWordsWhole) {
  text_.SetHeight(20);  // room for several lines
  MonoBitmap wrapped = Draw("AAA BBB CCC DDD EEE");
  auto bands = InkRowBands(wrapped);
  EXPECT_GE(bands.size(), 2u) << Sketch(wrapped);

  MonoBitmap long_word = Draw("WWWWWWWWWWWWWWWWWWWWWWWW");
  EXPECT_EQ(InkRowBands(long_word).size(), 1u) << Sketch(long_word);
  EXPECT_EQ(InkBoundsOf(long_word).right, 159);  // cut at the edge
}

TEST_F(GraphicTextTest, UnderlineAndStrikeOutStylesAddLines) {
  MonoBitmap plain = Draw("AB");
  text_.Font().underline = true;
  MonoBitmap underlined = Draw("AB");
  text_.Font().underline = false;
  text_.Font().strike_out = true;
  MonoBitmap struck = Draw("AB");
  EXPECT_GT(InkBoundsOf(underlined).bottom, InkBoundsOf(plain).bottom);
  auto strike = InkBoundsOf(testing::InkOnlyIn(struck, plain));
  ASSERT_FALSE(strike.Empty());
  EXPECT_GT(strike.top, InkBoundsOf(plain).top);
  EXPECT_LT(strike.bottom, InkBoundsOf(plain).bottom);
}

TEST_F(GraphicTextTest, BoldDrawsMoreInk) {
  const int normal = Draw("ABCD").CountBlack();
  text_.Font().bold = true;
  EXPECT_GT(Draw("ABCD").CountBlack(), normal * 11 / 10);
}

TEST_F(GraphicTextTest, LargerFontsDrawLargerGlyphs) {
  text_.Font().size_points = 8;
  auto small = InkBoundsOf(Draw("H"));
  text_.Font().size_points = 16;
  auto large = InkBoundsOf(Draw("H"));
  EXPECT_NEAR(static_cast<double>(large.bottom - large.top + 1) / (small.bottom - small.top + 1),
              2.0, 0.25);
}

TEST_F(GraphicTextTest, DegenerateFontsAndBoxesDrawNothing) {
  text_.Font().size_points = 0;
  EXPECT_EQ(Draw("AB").CountBlack(), 0);
  text_.Font().size_points = 100000;  // capped, still drawn inside the box
  EXPECT_EQ(Draw("AB").Width(), 160);
  text_.Font().size_points = 12;
  text_.SetWidth(0);
  EXPECT_EQ(Draw("AB").Width(), 0);
}

TEST_F(GraphicTextTest, UnknownFaceFallsBackToAnInstalledOne) {
  text_.Font().face = "No Such Face At All";
  EXPECT_GT(Draw("AB").CountBlack(), 0);
}

TEST_F(GraphicTextTest, DrawsCyrillic) {
  EXPECT_GT(Draw("\xD0\x96\xD0\xAF").CountBlack(), 0);  // ЖЯ
}

// A 40 x 10 mm field turned a quarter: the text wraps at 320 dots and reads from top to bottom
// in a bitmap 80 dots wide and 320 high.
TEST_F(GraphicTextTest, QuarterTurnedFieldWrapsAtTheUnturnedWidth) {
  text_.SetWidth(40);
  text_.Font().size_points = 10;
  const std::string words = "AAAA BBBB CCCC DDDD EEEE FFFF GGGG";
  MonoBitmap unturned = Draw(words);
  ASSERT_GE(InkRowBands(unturned).size(), 2u) << Sketch(unturned);
  EXPECT_GT(InkBoundsOf(unturned).right, 200) << "the first line fills most of 320 dots";

  for (TRotation rotation : {r90, r180, r270}) {
    text_.SetRotation(rotation);
    MonoBitmap turned = Draw(words);
    const int bw = turned.Width();
    const int bh = turned.Height();
    if (rotation == r180) {
      ASSERT_EQ(bw, 320);
    } else {
      ASSERT_EQ(bw, 80);
      ASSERT_EQ(bh, 320);
    }
    for (int y = 0; y < unturned.Height(); ++y)
      for (int x = 0; x < unturned.Width(); ++x) {
        bool expected = unturned.IsBlack(x, y);
        bool actual = rotation == r90    ? turned.IsBlack(bw - 1 - y, x)
                      : rotation == r180 ? turned.IsBlack(bw - 1 - x, bh - 1 - y)
                                         : turned.IsBlack(y, bh - 1 - x);
        ASSERT_EQ(actual, expected) << "rotation " << rotation << " at " << x << "," << y;
      }
  }
  // Turned r90 the first line lies along the right edge, starting at the top.
  text_.SetRotation(r90);
  auto ink = InkBoundsOf(Draw(words));
  EXPECT_GE(ink.right, 68);
  EXPECT_LE(ink.top, 3);
}

}  // namespace
}  // namespace pirell
