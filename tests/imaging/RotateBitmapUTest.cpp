#include "imaging/RotateBitmapU.h"
#include "tests/imaging/PictureHelpers.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TColor Numbered(int x, int y) { return RGB(static_cast<std::uint8_t>(10 + x), static_cast<std::uint8_t>(20 + y), 99); }

}  // namespace

TEST(RotateQuarterTurns, NinetyDegreesMovesTheTopLeftToTheTopRight) {
  TBitmap source, target;
  MakePattern(source, 4, 2, Numbered);
  RotateBitmap(source, target, clBlack, 90);
  ASSERT_EQ(target.Width(), 2);
  ASSERT_EQ(target.Height(), 4);
  EXPECT_EQ(target.Pixel(1, 0), Numbered(0, 0));
  // Target (X, Y) takes source (Y, h - 1 - X).
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 2; ++x) EXPECT_EQ(target.Pixel(x, y), Numbered(y, 1 - x)) << x << "," << y;
}

TEST(RotateQuarterTurns, TwoSeventyAndMinusNinetyAgree) {
  TBitmap source, target, other;
  MakePattern(source, 5, 3, Numbered);
  RotateBitmap(source, target, clBlack, 270);
  ASSERT_EQ(target.Width(), 3);
  ASSERT_EQ(target.Height(), 5);
  // Target (X, Y) takes source (w - 1 - Y, X).
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(target.Pixel(x, y), Numbered(4 - y, x)) << x << "," << y;
  RotateBitmap(source, other, clBlack, -90);
  EXPECT_TRUE(SamePixels(target, other));
}

TEST(RotateQuarterTurns, HalfTurnKeepsTheSizeAndSwapsOppositeCorners) {
  for (int w : {4, 5}) {
    TBitmap source, target;
    MakePattern(source, w, 3, Numbered);
    RotateBitmap(source, target, clBlack, 180);
    ASSERT_EQ(target.Width(), w);
    ASSERT_EQ(target.Height(), 3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < w; ++x) EXPECT_EQ(target.Pixel(x, y), Numbered(w - 1 - x, 2 - y));
  }
}

TEST(RotateQuarterTurns, AnglesAreTakenModuloAFullTurn) {
  TBitmap source, target, expected;
  MakePattern(source, 4, 3, Numbered);
  for (double angle : {0.0, 360.0, -720.0, 0.3}) {
    RotateBitmap(source, target, clBlack, angle);
    EXPECT_TRUE(SamePixels(source, target)) << angle;
  }
  RotateBitmap(source, expected, clBlack, 90);
  for (double angle : {450.0, -270.0, 89.7}) {
    RotateBitmap(source, target, clBlack, angle);
    EXPECT_TRUE(SamePixels(expected, target)) << angle;
  }
}

TEST(RotateAnyAngle, FortyFiveDegreesGrowsWithBackgroundCorners) {
  TBitmap source, target;
  MakeFilled(source, 10, 10, clRed);
  RotateBitmap(source, target, clBlue, 45);
  // Corners (-5, -5) .. (4, 4) land within -6 .. 6 across and -7 .. 5 down.
  EXPECT_EQ(target.Width(), 13);
  EXPECT_EQ(target.Height(), 13);
  EXPECT_EQ(target.Pixel(0, 0), clBlue);
  EXPECT_EQ(target.Pixel(12, 0), clBlue);
  EXPECT_EQ(target.Pixel(0, 12), clBlue);
  EXPECT_EQ(target.Pixel(12, 12), clBlue);
  EXPECT_EQ(target.Pixel(6, 7), clRed);
}

TEST(RotateAnyAngle, OldTargetContentNeverShows) {
  TBitmap source, target;
  MakeFilled(source, 10, 10, clRed);
  MakeFilled(target, 40, 40, clLime);
  RotateBitmap(source, target, clBlue, 30);
  for (int y = 0; y < target.Height(); ++y)
    for (int x = 0; x < target.Width(); ++x) ASSERT_NE(target.Pixel(x, y), clLime) << x << "," << y;
  MakeFilled(target, 2, 2, clLime);
  RotateBitmap(source, target, clBlue, 30);
  for (int y = 0; y < target.Height(); ++y)
    for (int x = 0; x < target.Width(); ++x) ASSERT_NE(target.Pixel(x, y), clLime) << x << "," << y;
}

TEST(RotateAnyAngle, PaletteSourcesAndTheSameBitmapAsTarget) {
  TBitmap bitmap;
  MakeFilled(bitmap, 3, 2, clRed, pf8bit);
  bitmap.SetPixel(0, 0, clLime);
  RotateBitmap(bitmap, bitmap, clBlack, 90);
  ASSERT_EQ(bitmap.Width(), 2);
  ASSERT_EQ(bitmap.Height(), 3);
  EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
  EXPECT_EQ(bitmap.Pixel(1, 0), clLime);
  EXPECT_EQ(bitmap.Pixel(0, 0), clRed);
}

TEST(RotateAnyAngle, EmptySourceGivesAnEmptyTarget) {
  TBitmap source, target;
  MakeFilled(target, 3, 3, clRed);
  RotateBitmap(source, target, clBlue, 45);
  EXPECT_TRUE(target.Empty());
  RotateBitmap(source, target, clBlue, std::numeric_limits<double>::quiet_NaN());
  EXPECT_TRUE(target.Empty());
}
