#include "rendering/dot_geometry.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace pirell {
namespace {

// The print area of a 58 x 40 mm label at 203 dots per inch.
constexpr std::int32_t kPrintWidth = 464;
constexpr std::int32_t kPrintHeight = 320;

TEST(DotScaleTest, ConvertsMillimetresAtTheModelResolution) {
  const TDotScale scale(203);
  EXPECT_DOUBLE_EQ(scale.DotsPerMM(), 203 / 25.4);
  EXPECT_EQ(scale.MMToDots(58), 464);  // 463.54
  EXPECT_EQ(scale.MMToDots(40), 320);  // 319.69
  EXPECT_EQ(scale.MMToDots(2), 16);    // 15.98
  EXPECT_EQ(scale.MMToDots(0.5), 4);   // 3.996
  EXPECT_EQ(scale.MMToDots(0.3), 2);   // 2.398
  EXPECT_EQ(scale.MMToDots(-5), -40);  // -39.96
  EXPECT_EQ(TDotScale(0).MMToDots(100), 0);
}

TEST(DotScaleTest, NearestRoundsHalvesToEvenAndStaysInRange) {
  EXPECT_EQ(NearestDots(2.5), 2);
  EXPECT_EQ(NearestDots(3.5), 4);
  EXPECT_EQ(NearestDots(-2.5), -2);
  EXPECT_EQ(NearestDots(-3.5), -4);
  EXPECT_EQ(NearestDots(2.4999), 2);
  EXPECT_EQ(NearestDots(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(NearestDots(1e300), kMaxDots);
  EXPECT_EQ(NearestDots(-std::numeric_limits<double>::infinity()), -kMaxDots);
}

TEST(ClampTest, KeepsTheValueWithinTheBounds) {
  EXPECT_EQ(Clamp(6, 2, 4), 4);
  EXPECT_EQ(Clamp(1, 2, 4), 2);
  EXPECT_EQ(Clamp(3, 2, 4), 3);
  EXPECT_EQ(Clamp(2, 2, 4), 2);
  EXPECT_EQ(Clamp(4, 2, 4), 4);
}

TEST(RotateAboutCentreTest, GivesTheReferenceCornerOfTheTurnedBox) {
  // Box 160,40 80x240: centre (200, 160).
  const TDotBox box{160, 40, 80, 240};
  EXPECT_EQ(RotateAboutCentre(r0, box), box);
  // r90: L = 200 + 240/2 = 320, T = 160 - 80/2 = 120.
  EXPECT_EQ(RotateAboutCentre(r90, box), (TDotBox{320, 120, 80, 240}));
  // r180: L = 200 + 80/2 = 240, T = 160 + 240/2 = 280.
  EXPECT_EQ(RotateAboutCentre(r180, box), (TDotBox{240, 280, 80, 240}));
  // r270: L = 200 - 240/2 = 80, T = 160 + 80/2 = 200.
  EXPECT_EQ(RotateAboutCentre(r270, box), (TDotBox{80, 200, 80, 240}));
}

TEST(RotateAboutCentreTest, RoundsHalfDotsToEven) {
  // Box 10,10 5x2: centre (12.5, 11).
  const TDotBox box{10, 10, 5, 2};
  // r90: L = 12.5 + 1 = 13.5 -> 14, T = 11 - 2.5 = 8.5 -> 8.
  EXPECT_EQ(RotateAboutCentre(r90, box), (TDotBox{14, 8, 5, 2}));
  // r270: L = 12.5 - 1 = 11.5 -> 12, T = 11 + 2.5 = 13.5 -> 14.
  EXPECT_EQ(RotateAboutCentre(r270, box), (TDotBox{12, 14, 5, 2}));
  // Box 10,10 5x3, r180: L = 12.5 + 2.5 = 15, T = 11.5 + 1.5 = 13.
  EXPECT_EQ(RotateAboutCentre(r180, (TDotBox{10, 10, 5, 3})), (TDotBox{15, 13, 5, 3}));
}

TEST(ClipToPrintAreaTest, CutsEachEdge) {
  EXPECT_EQ(ClipToPrintArea({5, 5, 20, 20}, kPrintWidth, kPrintHeight), (TDotBox{5, 5, 20, 20}));
  EXPECT_EQ(ClipToPrintArea({-10, 5, 30, 20}, kPrintWidth, kPrintHeight), (TDotBox{0, 5, 20, 20}));
  EXPECT_EQ(ClipToPrintArea({5, -10, 20, 30}, kPrintWidth, kPrintHeight), (TDotBox{5, 0, 20, 20}));
  EXPECT_EQ(ClipToPrintArea({450, 5, 30, 20}, kPrintWidth, kPrintHeight),
            (TDotBox{450, 5, 14, 20}));
  EXPECT_EQ(ClipToPrintArea({5, 300, 20, 40}, kPrintWidth, kPrintHeight),
            (TDotBox{5, 300, 20, 20}));
  // Larger than the area on every side.
  EXPECT_EQ(ClipToPrintArea({-10, -20, 500, 400}, kPrintWidth, kPrintHeight),
            (TDotBox{0, 0, 464, 320}));
}

TEST(ClipToPrintAreaTest, BoxesOutsideTheAreaKeepNoNegativeSize) {
  // Wholly left of the area: W = 30 - 50 = -20 becomes 0.
  EXPECT_EQ(ClipToPrintArea({-50, 5, 30, 20}, kPrintWidth, kPrintHeight), (TDotBox{0, 5, 0, 20}));
  // Wholly right of it: W = 464 - 500 < 0 becomes 0; the position is kept.
  EXPECT_EQ(ClipToPrintArea({500, 5, 10, 10}, kPrintWidth, kPrintHeight), (TDotBox{500, 5, 0, 10}));
  // Below it.
  EXPECT_EQ(ClipToPrintArea({5, 330, 10, 10}, kPrintWidth, kPrintHeight), (TDotBox{5, 330, 10, 0}));
  EXPECT_EQ(ClipToPrintArea({5, 5, -3, -4}, kPrintWidth, kPrintHeight), (TDotBox{5, 5, 0, 0}));
}

}  // namespace
}  // namespace pirell
