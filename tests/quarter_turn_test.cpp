#include "rendering/quarter_turn.h"

#include <gtest/gtest.h>

#include "support/bitmap_probe.h"

namespace pirell {
namespace {

// A 5 x 3 box with two marks: the top-left corner and the pixel right of it.
MonoBitmap MarkedBox() {
  MonoBitmap box(5, 3);
  box.SetBlack(0, 0);
  box.SetBlack(1, 0);
  return box;
}

MonoBitmap Turned(const MonoBitmap& box, TRotation rotation) {
  MonoBitmap turned(TurnedWidth(box.Width(), box.Height(), rotation),
                    TurnedHeight(box.Width(), box.Height(), rotation));
  TurnInto(box, rotation, turned);
  return turned;
}

TEST(QuarterTurnTest, QuarterTurnsSwapWidthAndHeight) {
  EXPECT_EQ(TurnedWidth(160, 80, r0), 160);
  EXPECT_EQ(TurnedHeight(160, 80, r180), 80);
  EXPECT_EQ(TurnedWidth(160, 80, r90), 80);
  EXPECT_EQ(TurnedHeight(160, 80, r90), 160);
  EXPECT_EQ(TurnedWidth(160, 80, r270), 80);
  EXPECT_EQ(TurnedHeight(160, 80, r270), 160);
}

TEST(QuarterTurnTest, TurnsClockwise) {
  const MonoBitmap box = MarkedBox();

  MonoBitmap r90_bitmap = Turned(box, r90);  // 3 wide, 5 high: top-left goes to top-right
  EXPECT_TRUE(r90_bitmap.IsBlack(2, 0)) << testing::Sketch(r90_bitmap);
  EXPECT_TRUE(r90_bitmap.IsBlack(2, 1));  // the line runs downwards
  EXPECT_EQ(r90_bitmap.CountBlack(), 2);

  MonoBitmap r180_bitmap = Turned(box, r180);
  EXPECT_TRUE(r180_bitmap.IsBlack(4, 2)) << testing::Sketch(r180_bitmap);
  EXPECT_TRUE(r180_bitmap.IsBlack(3, 2));
  EXPECT_EQ(r180_bitmap.CountBlack(), 2);

  MonoBitmap r270_bitmap = Turned(box, r270);  // top-left goes to bottom-left, runs upwards
  EXPECT_TRUE(r270_bitmap.IsBlack(0, 4)) << testing::Sketch(r270_bitmap);
  EXPECT_TRUE(r270_bitmap.IsBlack(0, 3));
  EXPECT_EQ(r270_bitmap.CountBlack(), 2);

  EXPECT_TRUE(testing::SamePixels(Turned(box, r0), box));
}

TEST(QuarterTurnTest, FourQuarterTurnsGiveTheBoxBack) {
  MonoBitmap box(21, 9);  // widths across byte boundaries
  for (int i = 0; i < 9; ++i) box.SetBlack(i * 2 + 1, i);
  box.SetBlack(20, 8);
  MonoBitmap turned = box;
  for (int i = 0; i < 4; ++i) turned = Turned(turned, r90);
  EXPECT_TRUE(testing::SamePixels(turned, box));
  EXPECT_TRUE(testing::SamePixels(Turned(Turned(box, r90), r180), Turned(box, r270)));
}

TEST(QuarterTurnTest, WrongTargetSizeIsLeftUntouched) {
  MonoBitmap target(5, 3);
  TurnInto(MarkedBox(), r90, target);
  EXPECT_EQ(target.CountBlack(), 0);
}

}  // namespace
}  // namespace pirell
