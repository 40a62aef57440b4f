#include "rendering/picture_scaling.h"

#include <gtest/gtest.h>

#include "support/bitmap_probe.h"

namespace pirell {
namespace {

constexpr std::uint32_t kBlack = 0xFF000000u;
constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

// A checkerboard of single pixels: the hardest picture to keep when copying.
Picture Checkerboard(int width, int height) {
  Picture picture(width, height, kWhite);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if ((x + y) % 2 == 0) picture.Set(x, y, kBlack);
  return picture;
}

TEST(PictureScalingTest, UnscaledBlackAndWhitePictureKeepsEveryPixel) {
  const Picture picture = Checkerboard(13, 7);
  MonoBitmap canvas(20, 10);
  ScalePictureInto(picture, {3, 2, 13, 7}, canvas);
  for (int y = 0; y < canvas.Height(); ++y)
    for (int x = 0; x < canvas.Width(); ++x) {
      bool inside = x >= 3 && x < 16 && y >= 2 && y < 9;
      bool expected = inside && picture.At(x - 3, y - 2) == kBlack;
      ASSERT_EQ(canvas.IsBlack(x, y), expected) << x << "," << y << "\n" << testing::Sketch(canvas);
    }
}

TEST(PictureScalingTest, EnlargingRepeatsPixelsAndReducingAveragesThem) {
  Picture two(2, 1, kWhite);
  two.Set(0, 0, kBlack);
  MonoBitmap wide(8, 2);
  ScalePictureInto(two, {0, 0, 8, 2}, wide);
  for (int x = 0; x < 8; ++x) EXPECT_EQ(wide.IsBlack(x, 1), x < 4) << x;

  // Three black columns of four average below the threshold, one of four does not.
  Picture stripes(8, 1, kWhite);
  for (int x : {0, 1, 2, 4}) stripes.Set(x, 0, kBlack);
  MonoBitmap narrow(2, 1);
  ScalePictureInto(stripes, {0, 0, 2, 1}, narrow);
  EXPECT_TRUE(narrow.IsBlack(0, 0));
  EXPECT_FALSE(narrow.IsBlack(1, 0));
}

TEST(PictureScalingTest, DecidesGreyAndTransparentPixelsByLuminanceOverWhite) {
  EXPECT_DOUBLE_EQ(LuminanceOverWhite(kBlack), 0.0);
  EXPECT_DOUBLE_EQ(LuminanceOverWhite(kWhite), 255.0);
  EXPECT_DOUBLE_EQ(LuminanceOverWhite(0x00000000u), 255.0);  // fully transparent black

  Picture picture(5, 1);
  picture.Set(0, 0, 0xFF7F7F7Fu);  // dark grey: black
  picture.Set(1, 0, 0xFF808080u);  // light grey: white
  picture.Set(2, 0, 0xFFFF0000u);  // red, luminance 76: black
  picture.Set(3, 0, 0xFFFFFF00u);  // yellow, luminance 226: white
  picture.Set(4, 0, 0x40000000u);  // black at a quarter opacity: white
  MonoBitmap canvas(5, 1);
  ScalePictureInto(picture, {0, 0, 5, 1}, canvas);
  EXPECT_TRUE(canvas.IsBlack(0, 0));
  EXPECT_FALSE(canvas.IsBlack(1, 0));
  EXPECT_TRUE(canvas.IsBlack(2, 0));
  EXPECT_FALSE(canvas.IsBlack(3, 0));
  EXPECT_FALSE(canvas.IsBlack(4, 0));
}

TEST(PictureScalingTest, CutsTheTargetAtTheCanvasEdges) {
  const Picture black(10, 10, kBlack);
  MonoBitmap canvas(6, 6);
  ScalePictureInto(black, {-5, 3, 10, 10}, canvas);
  auto bounds = testing::InkBoundsOf(canvas);
  EXPECT_EQ(bounds.left, 0);
  EXPECT_EQ(bounds.right, 4);
  EXPECT_EQ(bounds.top, 3);
  EXPECT_EQ(bounds.bottom, 5);
  EXPECT_EQ(canvas.CountBlack(), 15);

  MonoBitmap untouched(6, 6);
  ScalePictureInto(black, {6, 0, 10, 10}, untouched);
  ScalePictureInto(Picture(), {0, 0, 6, 6}, untouched);
  ScalePictureInto(black, {0, 0, 0, 6}, untouched);
  EXPECT_EQ(untouched.CountBlack(), 0);
}

}  // namespace
}  // namespace pirell
