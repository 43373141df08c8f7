#include "imaging/RotateBitmapU.h"
#include "tests/imaging/PictureHelpers.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TColor Numbered(int x, int y) { return RGB(static_cast<std::uint8_t>(10 + x), static_cast<std::uint8_t>(20 + y), 99); }

}  // namespace

TEST(RotateQuarterTurns, ExactForOddAndEvenSizes) {
  struct Case {
    double angle;
    bool swapsSize;
    TColor (*from)(int x, int y, int w, int h);  // the source pixel that target pixel (x, y) shows
  } const cases[] = {
      {90, true, [](int x, int y, int, int h) { return Numbered(y, h - 1 - x); }},  // the top left goes top right
      {270, true, [](int x, int y, int w, int) { return Numbered(w - 1 - y, x); }},
      {-90, true, [](int x, int y, int w, int) { return Numbered(w - 1 - y, x); }},
      {180, false, [](int x, int y, int w, int h) { return Numbered(w - 1 - x, h - 1 - y); }},
  };
  for (const Case& c : cases)
    for (int w : {4, 5}) {
      SCOPED_TRACE(testing::Message() << c.angle << " degrees, width " << w);
      TBitmap source, target, expected;
      MakePattern(source, w, 3, Numbered);
      RotateBitmap(source, target, clBlack, c.angle);
      const int tw = c.swapsSize ? 3 : w, th = c.swapsSize ? w : 3;
      MakePattern(expected, tw, th, [&](int x, int y) { return c.from(x, y, w, 3); });
      EXPECT_TRUE(SamePixels(target, expected));
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
  EXPECT_EQ(std::pair(target.Width(), target.Height()), std::pair(13, 13));
  EXPECT_EQ(PixelsAt(target, {{0, 0}, {12, 0}, {0, 12}, {12, 12}, {6, 7}}),
            (std::vector<TColor>{clBlue, clBlue, clBlue, clBlue, clRed}));
}

TEST(RotateAnyAngle, OldTargetContentNeverShowsEvenForAnEmptySource) {
  TBitmap source, target;
  MakeFilled(source, 10, 10, clRed);
  for (int size : {40, 2}) {
    MakeFilled(target, size, size, clLime);
    RotateBitmap(source, target, clBlue, 30);
    for (int y = 0; y < target.Height(); ++y)
      for (int x = 0; x < target.Width(); ++x) ASSERT_NE(target.Pixel(x, y), clLime) << x << "," << y;
  }
  // An empty source, whatever the angle, gives an empty target.
  TBitmap empty;
  for (double angle : {45.0, std::numeric_limits<double>::quiet_NaN()}) {
    MakeFilled(target, 3, 3, clRed);
    RotateBitmap(empty, target, clBlue, angle);
    EXPECT_TRUE(target.Empty()) << angle;
  }
}

TEST(RotateAnyAngle, PaletteSourcesAndTheSameBitmapAsTarget) {
  TBitmap bitmap;
  MakeFilled(bitmap, 3, 2, clRed, pf8bit);
  bitmap.SetPixel(0, 0, clLime);
  RotateBitmap(bitmap, bitmap, clBlack, 90);
  ASSERT_EQ(std::pair(bitmap.Width(), bitmap.Height()), std::pair(2, 3));
  EXPECT_EQ(bitmap.PixelFormat(), pf24bit);
  EXPECT_EQ(PixelsAt(bitmap, {{1, 0}, {0, 0}}), (std::vector<TColor>{clLime, clRed}));
}
