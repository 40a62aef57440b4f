#include "rendering/graphic_primitives.h"

#include <gtest/gtest.h>

#include <limits>

#include "support/bitmap_probe.h"

namespace pirell {
namespace {

using testing::InkBoundsOf;

constexpr std::uint32_t kBlack = 0xFF000000u;

TEST(BaseImageTest, StartsAtEightDotsPerMillimetreWithWordBreak) {
  TBaseImage image;
  EXPECT_EQ(image.DotsPerMM(), 8);
  EXPECT_EQ(image.DPI(), 203);
  EXPECT_EQ(image.TextFormat(), 16u);
  EXPECT_EQ(image.Width(), 0);
  EXPECT_EQ(image.Height(), 0);
  EXPECT_EQ(image.Rotation(), r0);
  EXPECT_FALSE(image.Stretch());
  EXPECT_EQ(image.ImageData(), nullptr);
  EXPECT_EQ(image.Font().size_points, 8);
}

TEST(BaseImageTest, DpiRoundsToWholeDotsPerMillimetreOnlyWhereTheHeadHasThem) {
  TBaseImage image;
  image.SetDPI(203);
  EXPECT_EQ(image.DotsPerMM(), 8);
  EXPECT_EQ(image.DPI(), 203);  // 8 x 25.400051 = 203.2
  // 11.81 and 23.62 dots per mm are 1.6 % from 12 and 24: a box drawn at those would be larger
  // than the printer's box.
  for (const int dpi : {300, 600, 190}) {
    image.SetDPI(dpi);
    EXPECT_NEAR(image.DotsPerMM(), dpi / 25.400051, 1e-9) << dpi;
    EXPECT_EQ(image.DPI(), dpi);
  }
  image.SetWidth(50);
  image.SetDPI(300);
  EXPECT_EQ(image.BoxWidthDots(), 591);  // as the printer's own 50 mm
}

TEST(BaseImageTest, SizesTheBitmapFromTheBoxAndTheTurn) {
  TBaseImage image;
  image.SetDPI(203);
  image.SetWidth(20);
  image.SetHeight(10);
  const MonoBitmap& bitmap = image.GetBitMap();
  EXPECT_EQ(bitmap.Width(), 160);
  EXPECT_EQ(bitmap.Height(), 80);
  EXPECT_EQ(bitmap.CountBlack(), 0);
  EXPECT_EQ(&bitmap, &image.BitMap());

  for (TRotation rotation : {r90, r270}) {
    image.SetRotation(rotation);
    EXPECT_EQ(image.GetBitMap().Width(), 80);
    EXPECT_EQ(image.GetBitMap().Height(), 160);
  }
  image.SetRotation(r180);
  EXPECT_EQ(image.GetBitMap().Width(), 160);
}

TEST(BaseImageTest, RoundsBoxSidesToTheNearestDotWithHalvesToEven) {
  TBaseImage image;
  image.SetHeight(1);
  image.SetWidth(20.5);
  EXPECT_EQ(image.GetBitMap().Width(), 164);
  image.SetWidth(20.0625);  // 160.5
  EXPECT_EQ(image.GetBitMap().Width(), 160);
  image.SetWidth(20.1875);  // 161.5
  EXPECT_EQ(image.GetBitMap().Width(), 162);
}

TEST(BaseImageTest, EmptyOrBrokenBoxesGiveBoundedBitmaps) {
  TBaseImage image;
  image.SetWidth(0);
  image.SetHeight(10);
  EXPECT_EQ(image.GetBitMap().Width(), 0);
  EXPECT_EQ(image.GetBitMap().Height(), 80);
  image.SetWidth(-5);
  EXPECT_EQ(image.GetBitMap().Width(), 0);
  image.SetWidth(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(image.GetBitMap().Width(), 0);
}

TEST(TextAlignTest, MapsAlignmentNamesExactly) {
  EXPECT_EQ(TextAlignFromName("vaTop"), 0u);
  EXPECT_EQ(TextAlignFromName("vaCenter"), 4u);
  EXPECT_EQ(TextAlignFromName("vaBottom"), 8u);
  EXPECT_EQ(TextAlignFromName("haLeft"), 0u);
  EXPECT_EQ(TextAlignFromName("haCenter"), 1u);
  EXPECT_EQ(TextAlignFromName("haRight"), 2u);
  EXPECT_EQ(TextAlignFromName("HARIGHT"), 0u);
  EXPECT_EQ(TextAlignFromName("haRight "), 0u);
  EXPECT_EQ(TextAlignFromName(""), 0u);
}

TEST(TextAlignTest, TrimsControlCharactersAndBlanksForDrawing) {
  EXPECT_EQ(TrimForDrawing("  \tAB C\r\n"), "AB C");
  EXPECT_EQ(TrimForDrawing("\x01 \x1F"), "");
  EXPECT_EQ(TrimForDrawing("\xD0\x90"), "\xD0\x90");  // UTF-8 bytes are above 32
}

// ---- pictures ----

TEST(PictureTargetTest, KeepsProportionsCentredOrFillsTheBox) {
  PixelRect fitted = PictureTargetRect(160, 160, 100, 50, false);
  EXPECT_EQ(fitted.left, 0);
  EXPECT_EQ(fitted.top, 40);
  EXPECT_EQ(fitted.width, 160);
  EXPECT_EQ(fitted.height, 80);

  PixelRect reduced = PictureTargetRect(100, 40, 300, 300, false);
  EXPECT_EQ(reduced.left, 30);
  EXPECT_EQ(reduced.width, 40);
  EXPECT_EQ(reduced.height, 40);

  PixelRect odd = PictureTargetRect(161, 10, 10, 10, false);  // margins rounded down
  EXPECT_EQ(odd.left, 75);
  EXPECT_EQ(odd.width, 10);

  PixelRect stretched = PictureTargetRect(160, 160, 100, 50, true);
  EXPECT_EQ(stretched.left, 0);
  EXPECT_EQ(stretched.top, 0);
  EXPECT_EQ(stretched.width, 160);
  EXPECT_EQ(stretched.height, 160);
}

class ImageItemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    item_.SetDPI(203);
    item_.SetWidth(20);
    item_.SetHeight(20);
  }
  TImageItem item_;
};

TEST_F(ImageItemTest, FitsAWidePictureIntoTheMiddleBand) {
  const Picture black(100, 50, kBlack);
  item_.SetImageData(&black);
  const MonoBitmap& bitmap = item_.GetBitMap();
  ASSERT_EQ(bitmap.Width(), 160);
  ASSERT_EQ(bitmap.Height(), 160);
  auto bounds = InkBoundsOf(bitmap);
  EXPECT_EQ(bounds.left, 0);
  EXPECT_EQ(bounds.right, 159);
  EXPECT_EQ(bounds.top, 40);
  EXPECT_EQ(bounds.bottom, 119);
  EXPECT_EQ(bitmap.CountBlack(), 160 * 80);
}

TEST_F(ImageItemTest, StretchFillsTheWholeBox) {
  const Picture black(100, 50, kBlack);
  item_.SetImageData(&black);
  item_.SetStretch(true);
  EXPECT_EQ(item_.GetBitMap().CountBlack(), 160 * 160);
}

TEST_F(ImageItemTest, MissingOrEmptyPictureGivesAWhiteBitmap) {
  EXPECT_EQ(item_.GetBitMap().Width(), 160);
  EXPECT_EQ(item_.GetBitMap().CountBlack(), 0);
  const Picture empty;
  item_.SetImageData(&empty);
  EXPECT_EQ(item_.GetBitMap().CountBlack(), 0);
}

TEST_F(ImageItemTest, EachCallDrawsTheCurrentPictureAfresh) {
  const Picture black(10, 10, kBlack);
  item_.SetImageData(&black);
  EXPECT_EQ(item_.GetBitMap().CountBlack(), 160 * 160);
  item_.SetImageData(nullptr);
  EXPECT_EQ(item_.GetBitMap().CountBlack(), 0);
}

TEST_F(ImageItemTest, TurnsThePictureWithTheField) {
  // A 40 x 20 mm box (320 x 160) holding a picture whose top-left quarter is black.
  item_.SetWidth(40);
  Picture marked(4, 2, 0xFFFFFFFFu);
  marked.Set(0, 0, kBlack);
  item_.SetImageData(&marked);

  auto unturned = InkBoundsOf(item_.GetBitMap());
  EXPECT_EQ(unturned.left, 0);
  EXPECT_EQ(unturned.top, 0);
  EXPECT_EQ(unturned.right, 79);
  EXPECT_EQ(unturned.bottom, 79);

  item_.SetRotation(r90);  // the mark goes to the top-right corner
  const MonoBitmap& r90_bitmap = item_.GetBitMap();
  ASSERT_EQ(r90_bitmap.Width(), 160);
  ASSERT_EQ(r90_bitmap.Height(), 320);
  auto turned = InkBoundsOf(r90_bitmap);
  EXPECT_EQ(turned.left, 80);
  EXPECT_EQ(turned.right, 159);
  EXPECT_EQ(turned.top, 0);
  EXPECT_EQ(turned.bottom, 79);

  item_.SetRotation(r270);  // bottom-left corner
  auto r270_bounds = InkBoundsOf(item_.GetBitMap());
  EXPECT_EQ(r270_bounds.left, 0);
  EXPECT_EQ(r270_bounds.bottom, 319);

  item_.SetRotation(r180);  // bottom-right corner
  auto r180_bounds = InkBoundsOf(item_.GetBitMap());
  EXPECT_EQ(r180_bounds.right, 319);
  EXPECT_EQ(r180_bounds.bottom, 159);
  EXPECT_EQ(r180_bounds.left, 240);
}

}  // namespace
}  // namespace pirell
