#include "imaging/OpacityU.h"
#include "imaging/shadow.h"
#include "platform/Numeric.h"
#include "tests/imaging/PictureHelpers.h"

#include <gtest/gtest.h>

TEST(DrawBitmapOpacity, BlendsEachChannelTowardTheSourceWithTheOpacityClamped) {
  struct Case {
    TColor source, target;
    int opacity;
    TColor expected;
  } const cases[] = {
      {clWhite, clBlack, 50, RGB(128, 128, 128)},                  // halves round up
      {RGB(200, 100, 0), RGB(0, 200, 100), 30, RGB(60, 170, 70)},  // t + MulDiv(s - t, 30, 100)
      {RGB(1, 2, 3), RGB(9, 9, 9), 0, RGB(9, 9, 9)},
      {RGB(1, 2, 3), RGB(9, 9, 9), 100, RGB(1, 2, 3)},
      {RGB(1, 2, 3), RGB(9, 9, 9), -20, RGB(9, 9, 9)},
      {RGB(1, 2, 3), RGB(9, 9, 9), 250, RGB(1, 2, 3)},
  };
  for (const Case& c : cases) {
    TBitmap source, target;
    MakeFilled(source, 2, 2, c.source);
    MakeFilled(target, 2, 2, c.target);
    DrawBitmapOpacity(source, 0, false, c.opacity, 0, 0, target);
    EXPECT_EQ(PixelsAt(target, {{0, 0}, {1, 1}}), (std::vector<TColor>{c.expected, c.expected})) << c.opacity;
  }
}

TEST(DrawBitmapOpacity, KeyColouredPixelsLeaveTheTarget) {
  TBitmap source, target;
  MakePattern(source, 2, 1, [](int x, int) { return x == 0 ? clLime : clRed; });
  MakeFilled(target, 2, 1, clBlue);
  DrawBitmapOpacity(source, clLime, true, 100, 0, 0, target);
  EXPECT_EQ(PixelsAt(target, {{0, 0}, {1, 0}}), (std::vector<TColor>{clBlue, clRed}));
}

TEST(DrawBitmapOpacity, OnlyTheOverlapIsDrawnIntoATwentyFourBitTarget) {
  TBitmap source, target;
  MakePattern(source, 3, 3, [](int x, int y) { return RGB(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 7); });
  MakeFilled(target, 4, 4, clBlack);
  DrawBitmapOpacity(source, 0, false, 100, -1, 2, target);
  // Source columns 1, 2 land on target columns 0, 1; source row 0, 1 on target rows 2, 3.
  EXPECT_EQ(PixelsAt(target, {{0, 2}, {1, 3}, {2, 2}, {0, 1}}), (std::vector<TColor>{RGB(1, 0, 7), RGB(2, 1, 7), 0, 0}));
  // Entirely outside: nothing, and no fault.
  DrawBitmapOpacity(source, 0, false, 100, 2147483600, -2147483600, target);
  DrawBitmapOpacity(source, 0, false, 100, -2147483647, 0, target);
  EXPECT_EQ(target.Pixel(3, 3), clBlack);
  // Palette sources are read without changing them; the target becomes 24-bit.
  MakeFilled(source, 2, 2, clRed, pf8bit);
  MakeFilled(target, 2, 2, clBlack, pf8bit);
  DrawBitmapOpacity(source, 0, false, 100, 0, 0, target);
  EXPECT_EQ(std::tuple(source.PixelFormat(), target.PixelFormat(), target.Pixel(1, 1)), std::tuple(pf8bit, pf24bit, clRed));
}

TEST(DrawColorThroughMask, WhitePaintsNothingBlackPaintsAndGreyBlends) {
  TBitmap mask, target;
  MakePattern(mask, 2, 1, [](int x, int) { return x == 0 ? clWhite : clBlack; });
  MakeFilled(target, 2, 1, clBlue);
  DrawColorThroughMask(clRed, 100, mask, 0, 0, target);
  EXPECT_EQ(PixelsAt(target, {{0, 0}, {1, 0}}), (std::vector<TColor>{clBlue, clRed}));
  MakeFilled(mask, 1, 1, RGB(155, 0, 0));  // only the red of the mask counts
  MakeFilled(target, 1, 1, clBlack);
  DrawColorThroughMask(RGB(255, 100, 0), 50, mask, 0, 0, target);
  // coverage = MulDiv(100, 50, 100) = 50; channel = MulDiv(c, 50, 255).
  EXPECT_EQ(target.Pixel(0, 0), RGB(50, 20, 0));
  DrawColorThroughMask(clWhite, 0, mask, 0, 0, target);
  EXPECT_EQ(target.Pixel(0, 0), RGB(50, 20, 0));
}

TEST(DrawColorThroughMask, PaintsThroughAShadowMaskOffset) {
  TBitmap source, mask, target;
  MakeFilled(source, 1, 1, clBlack);
  ASSERT_EQ(MakeShadowMask(source, mask, false, 0, clWhite, clBlack, 0), 0);  // index 128 -> grey 128
  MakeFilled(target, 3, 3, clWhite);
  DrawColorThroughMask(clBlack, 100, mask, 2, 1, target);
  // coverage 255 - 128 = 127: 255 + MulDiv(-255, 127, 255) = 128.
  EXPECT_EQ(PixelsAt(target, {{2, 1}, {1, 1}}), (std::vector<TColor>{RGB(128, 128, 128), clWhite}));
  EXPECT_EQ(mask.PixelFormat(), pf8bit);
}

TEST(DrawColorThroughMask, EveryMaskLevelOverEveryChannelValueBlendsAsMulDivRounds) {
  // Mask level x over target channel values y, 255 - y and y / 2: every
  // coverage meets every difference to the paint, both signs.
  TBitmap mask;
  MakePattern(mask, 256, 256, [](int x, int) { return RGB(x, 0, 0); });
  const TColor paint = RGB(200, 30, 255);
  for (int opacity : {100, 73}) {
    TBitmap target;
    MakePattern(target, 256, 256, [](int, int y) { return RGB(y, 255 - y, y / 2); });
    DrawColorThroughMask(paint, opacity, mask, 0, 0, target);
    for (int y = 0; y < 256; ++y)
      for (int x = 0; x < 256; ++x) {
        const int coverage = MulDiv(255 - x, opacity, 100);
        auto blend = [&](int t, int p) {
          return coverage <= 0 ? t : coverage >= 255 ? p : t + MulDiv(p - t, coverage, 255);
        };
        const TColor expected = RGB(blend(y, GetRValue(paint)), blend(255 - y, GetGValue(paint)),
                                    blend(y / 2, GetBValue(paint)));
        ASSERT_EQ(target.Pixel(x, y), expected) << x << "," << y << " at " << opacity;
      }
  }
}
