#include "imaging/resample.h"
#include "tests/imaging/PictureHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

TColor Noise(int x, int y) {
  const unsigned v = (static_cast<unsigned>(x) * 73856093u ^ static_cast<unsigned>(y) * 19349663u) * 2654435761u;
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

// ---- Against a plain float reference ------------------------------------------------------------------

namespace {

// The resampler written out plainly: float weights per target position (the
// Lanczos window of radius 3, widened when reducing, mirrored at the edges,
// normalised), a horizontal pass into 8-bit rows, a vertical pass, and the
// key colour taken from the target's plain stretch.
struct Tap {
  int index;
  float weight;
};

std::vector<std::vector<Tap>> ReferenceTaps(int targetSize, int sourceSize) {
  const float scale = static_cast<float>(targetSize - 1) / static_cast<float>(sourceSize - 1);
  const float width = scale >= 1 ? 3.0f : 3.0f / scale, factor = scale >= 1 ? 1.0f : 1.0f / scale;
  std::vector<std::vector<Tap>> taps(targetSize);
  for (int i = 0; i < targetSize; ++i) {
    const float centre = static_cast<float>(i) / scale;
    float sum = 0;
    for (int j = static_cast<int>(std::floor(centre - width)); j <= static_cast<int>(std::ceil(centre + width)); ++j) {
      const float w = LanczosKernel3((centre - static_cast<float>(j)) / factor) / factor;
      const int mirrored = j < 0 ? -j : j >= sourceSize ? 2 * sourceSize - 1 - j : j;
      taps[i].push_back({std::clamp(mirrored, 0, sourceSize - 1), w});
      sum += w;
    }
    for (Tap& tap : taps[i]) tap.weight /= sum;
  }
  return taps;
}

std::uint8_t Channel(TColor c, int channel) { return static_cast<std::uint8_t>(c >> (8 * channel)); }

std::uint8_t RoundedByte(float v) { return static_cast<std::uint8_t>(std::clamp<long>(std::lrint(v), 0, 255)); }

void ReferenceResample(const TBitmap& source, TBitmap& target, bool keepKey, TColor key) {
  const int tw = target.Width(), th = target.Height(), sh = source.Height();
  const auto columns = ReferenceTaps(tw, source.Width()), rows = ReferenceTaps(th, sh);
  std::vector<TColor> work(static_cast<std::size_t>(tw) * sh);
  for (int y = 0; y < sh; ++y)
    for (int x = 0; x < tw; ++x) {
      float sum[3] = {};
      for (const Tap& t : columns[x])
        for (int c = 0; c < 3; ++c) sum[c] += t.weight * Channel(source.Pixel(t.index, y), c);
      work[static_cast<std::size_t>(y) * tw + x] = RGB(RoundedByte(sum[0]), RoundedByte(sum[1]), RoundedByte(sum[2]));
    }
  target.Canvas().StretchDraw(Rect(0, 0, tw, th), source);
  for (int y = 0; y < th; ++y)
    for (int x = 0; x < tw; ++x) {
      if (keepKey && target.Pixel(x, y) == key) continue;
      float sum[3] = {};
      for (const Tap& t : rows[y])
        for (int c = 0; c < 3; ++c) sum[c] += t.weight * Channel(work[static_cast<std::size_t>(t.index) * tw + x], c);
      target.SetPixel(x, y, RGB(RoundedByte(sum[0]), RoundedByte(sum[1]), RoundedByte(sum[2])));
    }
}

// Smooth gradients with noise on top and a few hard edges: every tap's weight shows.
TColor Scenery(int x, int y) {
  const TColor noise = Noise(x, y);
  const int edge = (x / 7 + y / 5) % 2 ? 90 : 0;
  return RGB(static_cast<std::uint8_t>(3 * x + edge + GetRValue(noise) % 40), static_cast<std::uint8_t>(5 * y + GetGValue(noise) % 40),
             static_cast<std::uint8_t>(255 - 2 * x - y + GetBValue(noise) % 40 - edge));
}

}  // namespace

TEST(ResampleReference, EqualsThePlainFloatResamplerWithinOneLevelUpDownAndKeyed) {
  // The key's red and blue differ, and its mirror sits next to it: a
  // resampler reading the channels in the wrong order keeps the wrong areas.
  const TColor key = RGB(230, 40, 10), mirror = RGB(10, 40, 230);
  TBitmap noisy, keyed;
  MakePattern(noisy, 41, 29, Noise);
  MakePattern(keyed, 37, 23, [&](int x, int y) {
    return (x - 12) * (x - 12) + (y - 9) * (y - 9) < 40 ? key : x > 26 && y > 12 ? mirror : Scenery(x, y);
  });
  struct Case {
    const TBitmap* source;
    int width, height;
    bool keepKey;
  };
  const Case cases[] = {{&noisy, 17, 11, false}, {&noisy, 83, 61, false}, {&noisy, 97, 13, false},
                        {&noisy, 5, 4, false},   {&noisy, 40, 30, false}, {&keyed, 71, 45, true},
                        {&keyed, 19, 9, true},   {&keyed, 60, 23, false}};
  for (const Case& c : cases) {
    TBitmap expected, actual;
    Sized(expected, c.width, c.height);
    ReferenceResample(*c.source, expected, c.keepKey, key);
    Sized(actual, c.width, c.height);
    ResampleBitmapDefault(*c.source, actual, c.keepKey, key);
    int worst = 0, keyPixels = 0, keyMismatches = 0;
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x) {
        worst = std::max(worst, ChannelDistance(expected.Pixel(x, y), actual.Pixel(x, y)));
        keyPixels += expected.Pixel(x, y) == key;
        keyMismatches += (expected.Pixel(x, y) == key) != (actual.Pixel(x, y) == key);
      }
    const std::string what = std::to_string(c.source->Width()) + "x" + std::to_string(c.source->Height()) + " -> " +
                             std::to_string(c.width) + "x" + std::to_string(c.height);
    EXPECT_LE(worst, 1) << what;
    EXPECT_EQ(keyMismatches, 0) << what;
    if (c.keepKey) {
      EXPECT_GT(keyPixels, 20) << what;
    }
  }
}
