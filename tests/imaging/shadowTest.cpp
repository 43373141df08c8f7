#include "imaging/shadow.h"
#include "tests/imaging/PictureHelpers.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The mask level by its definition: the share of opaque source pixels in the
// disc around source pixel (x - r, y - r), counted directly.
int ExpectedIndex(const TBitmap& source, TColor key, int r, int x, int y) {
  int n = 0, k = 0;
  for (int dy = -r; dy <= r; ++dy)
    for (int dx = -r; dx <= r; ++dx) {
      if (4 * dx * dx + 4 * dy * dy >= (2 * r + 1) * (2 * r + 1)) continue;
      ++n;
      const int sx = x - r + dx, sy = y - r + dy;
      if (sx < 0 || sy < 0 || sx >= source.Width() || sy >= source.Height()) continue;
      if (source.Pixel(sx, sy) != key) ++k;
    }
  return static_cast<int>(std::nearbyint(255.0 - k * 255.0 / (n + 1)));
}

int IndexAt(const TBitmap& mask, int x, int y) { return mask.ScanLine(y)[x]; }

}  // namespace

TEST(ShadowMaskPalette, RunsFromTheNearColourAlmostToTheFarColour) {
  TBitmap source, mask;
  MakeFilled(source, 2, 2, clWhite);
  ASSERT_EQ(MakeShadowMask(source, mask, false, 0, RGB(1, 255, 0), RGB(0, 0, 255), 0), 0);
  ASSERT_EQ(mask.PixelFormat(), pf8bit);
  ASSERT_EQ(mask.Palette().Count(), 256);
  EXPECT_EQ(ColorOf(mask.Palette().Entry(0)), RGB(0, 0, 255));
  // Halves go to even: red 128 / 256 = 0.5 -> 0, green 255 * 128 / 256 = 127.5 -> 128.
  EXPECT_EQ(ColorOf(mask.Palette().Entry(128)), RGB(0, 128, 127));  // blue 255 + round(-127.5)
  EXPECT_EQ(ColorOf(mask.Palette().Entry(129)), RGB(1, 128, 127));
  EXPECT_EQ(ColorOf(mask.Palette().Entry(255)), RGB(1, 254, 1));
}

TEST(ShadowMaskLevels, WorkedLevelsForRadiusZeroAndOne) {
  TBitmap source, mask;
  MakePattern(source, 3, 2, [](int x, int y) { return x == 1 && y == 0 ? clRed : clWhite; });
  ASSERT_EQ(MakeShadowMask(source, mask, true, clWhite, clWhite, clBlack, 0), 0);
  ASSERT_EQ(std::pair(mask.Width(), mask.Height()), std::pair(3, 2));
  // round(127.5), halves to even, for the opaque pixel; 255 for the key colour.
  EXPECT_EQ(std::tuple(IndexAt(mask, 1, 0), IndexAt(mask, 0, 0), IndexAt(mask, 2, 1)), std::tuple(128, 255, 255));
  // Radius 1 covers the whole 3 x 3 square: N = 9, level round(255 - 255 / 10) = round(229.5) = 230.
  MakeFilled(source, 1, 1, clRed);
  ASSERT_EQ(MakeShadowMask(source, mask, false, 0, clWhite, clBlack, 1), 0);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(IndexAt(mask, x, y), 230) << x << "," << y;
}

TEST(ShadowMaskLevels, RunningCountMatchesTheDiscDefinitionForEveryRadius) {
  TBitmap source;
  MakePattern(source, 13, 9, [](int x, int y) { return (x * 7 + y * 3) % 5 < 2 || x == 12 ? clWhite : clBlue; });
  for (int r : {0, 1, 2, 3, 5, 8}) {
    TBitmap mask;
    ASSERT_EQ(MakeShadowMask(source, mask, true, clWhite, clWhite, clBlack, r), 0);
    ASSERT_EQ(mask.Width(), 13 + 2 * r);
    ASSERT_EQ(mask.Height(), 9 + 2 * r);
    for (int y = 0; y < mask.Height(); ++y)
      for (int x = 0; x < mask.Width(); ++x)
        ASSERT_EQ(IndexAt(mask, x, y), ExpectedIndex(source, clWhite, r, x, y)) << "r " << r << " at " << x << "," << y;
  }
}

TEST(ShadowMaskRadius, SixtyWorksOutOfRangeReturnsNineAndLeavesThePixelsAndEmptySourcesGiveFarMasks) {
  TBitmap source, mask;
  MakeFilled(source, 1, 1, clRed);
  ASSERT_EQ(MakeShadowMask(source, mask, false, 0, clWhite, clBlack, 60), 0);
  EXPECT_EQ(std::tuple(mask.Width(), IndexAt(mask, 60, 60), IndexAt(mask, 0, 0)),
            std::tuple(121, ExpectedIndex(source, 0xFFFFFFFF, 60, 60, 60), 255));

  MakeFilled(source, 4, 4, clRed);
  MakeFilled(mask, 3, 3, clBlack, pf8bit);
  mask.ScanLine(1)[1] = 77;
  EXPECT_EQ(MakeShadowMask(source, mask, false, 0, clWhite, clBlack, 61), kShadowRadiusOutOfRange);
  EXPECT_EQ(mask.Width(), 3);
  EXPECT_EQ(IndexAt(mask, 1, 1), 77);
  EXPECT_EQ(ColorOf(mask.Palette().Entry(0)), clBlack);  // the palette is still made
  EXPECT_EQ(MakeShadowMask(source, mask, false, 0, clWhite, clBlack, -1), kShadowRadiusOutOfRange);
  EXPECT_EQ(IndexAt(mask, 1, 1), 77);
  // An empty source gives a far mask of twice the radius.
  TBitmap empty;
  ASSERT_EQ(MakeShadowMask(empty, mask, false, 0, clWhite, clBlack, 2), 0);
  EXPECT_EQ(std::tuple(mask.Width(), mask.Height(), IndexAt(mask, 0, 0)), std::tuple(4, 4, 255));
}

TEST(ShadowMaskKey, ComparesDecodedColoursOnlyWhenKeyed) {
  // Opaque pixels give level 128 at radius 0, key-coloured ones 255.
  struct Case {
    TPixelFormat format;
    TColor second;  // the second pixel; the first is white
    bool keyed;
    TColor key;
    int first, secondLevel;
  } const cases[] = {
      {pf8bit, clRed, true, clRed, 128, 255},                                 // the key stored as a palette index
      {pf32bit, RGB(1, 2, 3), true, RGB(1, 2, 3) | 0x02000000, 128, 255},  // only the low 24 bits of the key count
      {pf24bit, clWhite, false, clWhite, 128, 128},                        // without the switch every pixel is opaque
  };
  for (const Case& c : cases) {
    TBitmap source, mask;
    MakeFilled(source, 2, 1, clWhite, c.format);
    source.SetPixel(1, 0, c.second);
    ASSERT_EQ(MakeShadowMask(source, mask, c.keyed, c.key, clWhite, clBlack, 0), 0);
    EXPECT_EQ(IndexAt(mask, 0, 0), c.first) << c.format;
    EXPECT_EQ(IndexAt(mask, 1, 0), c.secondLevel) << c.format;
  }
}
