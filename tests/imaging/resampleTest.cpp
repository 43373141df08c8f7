#include "imaging/resample.h"
#include "tests/imaging/PictureHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

TColor Noise(int x, int y) {
  const unsigned v = static_cast<unsigned>(x * 73856093 ^ y * 19349663) * 2654435761u;
  return RGB(static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24));
}

void Sized(TBitmap& b, int width, int height) { MakeFilled(b, width, height, clBlack); }

// The plain nearest-neighbour stretch of source over a target of the size.
void PlainStretch(const TBitmap& source, TBitmap& target, int width, int height) {
  Sized(target, width, height);
  target.Canvas().StretchDraw(Rect(0, 0, width, height), source);
}

}  // namespace

TEST(LanczosKernel, ValuesAtKnownPoints) {
  EXPECT_EQ(SincValue(0.0f), 1.0f);
  EXPECT_NEAR(SincValue(0.5f), 2.0 / M_PI, 1e-6);
  const std::pair<float, double> values[] = {{0.5f, 0.6079271}, {-0.5f, 0.6079271}, {1.5f, -0.1350949}, {1.0f, 0.0},
                                             {2.0f, 0.0},       {-3.0f, 0.0},       {4.25f, 0.0}};
  for (auto [x, expected] : values) EXPECT_NEAR(LanczosKernel3(x), expected, 1e-6) << x;
  EXPECT_EQ(std::pair(LanczosKernel3(0.0f), LanczosKernel3(3.0f)), std::pair(1.0f, 0.0f));
}

TEST(ResampleIdentity, SameSizeReproducesTheSourceEvenInPlace) {
  TBitmap source, target;
  MakePattern(source, 23, 17, Noise);
  Sized(target, 23, 17);
  ResampleBitmapDefault(source, target, false, 0);
  EXPECT_TRUE(SamePixels(source, target));
  ResampleBitmapDefault(target, target, false, 0);  // source and target may be the same bitmap
  EXPECT_TRUE(SamePixels(source, target));
}

TEST(ResampleFlatColours, StayExactlyTheirColourWhenReducingAndEnlarging) {
  const TColor colour = RGB(37, 150, 201);
  TBitmap source;
  MakeFilled(source, 40, 30, colour);
  TBitmap flat;
  for (auto [w, h] : {std::pair{17, 11}, std::pair{33, 25}, std::pair{4, 4}, std::pair{200, 9}, std::pair{40, 31}}) {
    TBitmap target;
    Sized(target, w, h);
    ResampleBitmapDefault(source, target, false, 0);
    MakeFilled(flat, w, h, colour);
    EXPECT_TRUE(SamePixels(target, flat)) << w << "x" << h;
  }
  // A box filter far wider than the picture: every index folds back onto real pixels.
  TBitmap target;
  Sized(target, 13, 9);
  ResampleBitmap(source, target, [](float x) { return std::fabs(x) <= 80.0f ? 1.0f : 0.0f; }, 80.0f, false, 0);
  MakeFilled(flat, 13, 9, colour);
  EXPECT_TRUE(SamePixels(target, flat));
}

TEST(ResampleRamps, LinearRampStaysLinearInTheInterior) {
  TBitmap source, target;
  MakePattern(source, 64, 8, [](int x, int) { return RGB(static_cast<std::uint8_t>(4 * x), 0, 0); });
  Sized(target, 32, 8);
  ResampleBitmapDefault(source, target, false, 0);
  const double scale = 31.0 / 63.0;
  for (int x = 4; x < 28; ++x) {
    const double expected = 4.0 * (x / scale);
    EXPECT_NEAR(GetRValue(target.Pixel(x, 4)), expected, 1.5) << x;
  }
}

TEST(ResamplePlainStretch, SmallSourcesAndTargetsGetTheStretch) {
  // {source size, target width, target height}: a small source, then a small target.
  for (auto [size, w, h] : {std::tuple{3, 10, 7}, std::tuple{20, 3, 12}}) {
    TBitmap source, expected, target;
    MakePattern(source, size, size, Noise);
    PlainStretch(source, expected, w, h);
    Sized(target, w, h);
    ResampleBitmapDefault(source, target, false, 0);
    EXPECT_TRUE(SamePixels(expected, target)) << size;
  }
}

TEST(ResampleKeyColour, KeyAreasKeepTheirExactColour) {
  const TColor key = RGB(255, 0, 255);
  TBitmap source;
  MakePattern(source, 12, 10, [&](int x, int y) { return x < 6 && y > 2 ? key : RGB(20, 200, 40); });
  TBitmap stretched, kept, blended;
  PlainStretch(source, stretched, 31, 23);
  Sized(kept, 31, 23);
  ResampleBitmapDefault(source, kept, true, key | 0x01000000);  // only the low 24 bits count
  Sized(blended, 31, 23);
  ResampleBitmapDefault(source, blended, false, 0);
  int keyPixels = 0, changedWithoutKey = 0;
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 31; ++x) {
      if (stretched.Pixel(x, y) != key) continue;
      ++keyPixels;
      EXPECT_EQ(kept.Pixel(x, y), key) << x << "," << y;
      if (blended.Pixel(x, y) != key) ++changedWithoutKey;
    }
  EXPECT_GT(keyPixels, 0);
  EXPECT_GT(changedWithoutKey, 0);
}

TEST(ResampleKeyColour, AKeyWhoseRedAndBlueDifferIsMatchedChannelForChannel) {
  // The key and its mirror (red and blue swapped) side by side on green: only
  // the key itself is kept exact; its mirror blends like any other colour.
  const TColor key = RGB(230, 40, 10), mirror = RGB(10, 40, 230);
  TBitmap source;
  MakePattern(source, 12, 10, [&](int x, int y) { return y < 2 ? RGB(20, 200, 40) : x < 4 ? key : x < 8 ? mirror : RGB(20, 200, 40); });
  TBitmap stretched, kept, blended;
  PlainStretch(source, stretched, 31, 23);
  Sized(kept, 31, 23);
  ResampleBitmapDefault(source, kept, true, key);
  Sized(blended, 31, 23);
  ResampleBitmapDefault(source, blended, false, 0);
  int keyPixels = 0, blendedKeys = 0, blendedMirrors = 0;
  for (int y = 0; y < 23; ++y)
    for (int x = 0; x < 31; ++x) {
      if (stretched.Pixel(x, y) == key) {
        ++keyPixels;
        EXPECT_EQ(kept.Pixel(x, y), key) << x << "," << y;
        if (blended.Pixel(x, y) != key) ++blendedKeys;
      }
      if (stretched.Pixel(x, y) == mirror && kept.Pixel(x, y) != mirror) ++blendedMirrors;
    }
  EXPECT_GT(keyPixels, 0);
  EXPECT_GT(blendedKeys, 0);
  EXPECT_GT(blendedMirrors, 0);
  // A transparent source keyed by the same colour fills with it exactly.
  source.SetTransparentColor(key);
  source.SetTransparent(true);
  TBitmap target;
  MakeFilled(target, 24, 20, clLime);
  ResampleBitmapDefault(source, target, true, key);
  EXPECT_EQ(target.Pixel(3, 10), key);
  EXPECT_NE(target.Pixel(11, 10), key);
}

TEST(ResampleFormats, PaletteSourcesAreReadTheTargetBecomesTwentyFourBitAndEmptyPicturesAreLeftAlone) {
  TBitmap source, target;
  MakeFilled(source, 10, 10, clRed, pf8bit);
  MakeFilled(target, 5, 5, clBlack, pf4bit);
  ResampleBitmapDefault(source, target, false, 0);
  EXPECT_EQ(std::tuple(source.PixelFormat(), target.PixelFormat(), target.Pixel(2, 2)), std::tuple(pf8bit, pf24bit, clRed));
  TBitmap empty, none;
  target.SetPixel(1, 1, clBlue);
  ResampleBitmapDefault(empty, target, false, 0);
  EXPECT_EQ(target.Pixel(1, 1), clBlue);
  ResampleBitmapDefault(source, none, false, 0);
  EXPECT_TRUE(none.Empty());
}

TEST(ResampleKeyColour, TransparentSourcesReplaceEveryTargetPixel) {
  const TColor key = RGB(255, 0, 255);
  TBitmap source, target;
  MakePattern(source, 12, 10, [&](int x, int) { return x < 6 ? key : RGB(20, 200, 40); });
  source.SetTransparentColor(key);
  source.SetTransparent(true);
  MakeFilled(target, 24, 20, clLime);
  ResampleBitmapDefault(source, target, true, key);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 10; ++x) ASSERT_EQ(target.Pixel(x, y), key) << x << "," << y;
  EXPECT_TRUE(source.Transparent());
}
