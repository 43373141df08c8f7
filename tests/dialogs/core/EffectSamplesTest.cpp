#include "dialogs/core/EffectSamples.h"

#include "dialogs/core/EffectFrames.h"

#include <gtest/gtest.h>

namespace {

// Whether cell a and cell b of the strip hold the same pixels.
bool SameCells(const TBitmap& strip, int a, int b) {
  for (int y = 0; y < kEffectSampleHeight; ++y)
    for (int x = 0; x < kEffectSampleWidth; ++x)
      if (strip.Pixel(a * kEffectSampleWidth + x, y) != strip.Pixel(b * kEffectSampleWidth + x, y)) return false;
  return true;
}

TColor CellPixel(const TBitmap& strip, int cell, int x, int y) {
  return strip.Pixel(cell * kEffectSampleWidth + x, y);
}

}  // namespace

TEST(EffectSamples, EveryTransitionShowsSixFramesThatChange) {
  for (int kind = ekAperture; kind <= ekWipe; ++kind) {
    SCOPED_TRACE(EffectListText(kind));
    TBitmap strip;
    MakeEffectSampleStrip(kind, strip);
    ASSERT_EQ(strip.Width(), kEffectSampleFrames * kEffectSampleWidth);
    ASSERT_EQ(strip.Height(), kEffectSampleHeight);
    EXPECT_FALSE(SameCells(strip, 0, kEffectSampleFrames - 1));
  }
}

TEST(EffectSamples, BlendRunsFromTheFirstSamplePictureToTheSecond) {
  TBitmap source, next, strip;
  MakeEffectSamplePicture(source, false);
  MakeEffectSamplePicture(next, true);
  MakeEffectSampleStrip(ekBlend, strip);
  EXPECT_EQ(CellPixel(strip, 0, 1, 1), source.Pixel(1, 1));
  EXPECT_EQ(CellPixel(strip, kEffectSampleFrames - 1, 1, 1), next.Pixel(1, 1));
  EXPECT_EQ(CellPixel(strip, kEffectSampleFrames - 1, kEffectSampleWidth / 2, kEffectSampleHeight / 2),
            next.Pixel(kEffectSampleWidth / 2, kEffectSampleHeight / 2));
}

TEST(EffectSamples, ApertureInShrinksTheBackgroundUntilThePictureIsWhole) {
  TBitmap source, strip;
  MakeEffectSamplePicture(source, false);
  MakeEffectSampleStrip(ekAperture, strip);
  // "In" fills a centre rectangle that shrinks to nothing in the last frame.
  EXPECT_EQ(CellPixel(strip, 0, 1, 1), source.Pixel(1, 1));
  EXPECT_EQ(CellPixel(strip, 0, kEffectSampleWidth / 2, kEffectSampleHeight / 2), clWhite);
  for (int y = 0; y < kEffectSampleHeight; y += 7)
    for (int x = 0; x < kEffectSampleWidth; x += 7) EXPECT_EQ(CellPixel(strip, 5, x, y), source.Pixel(x, y));
}

TEST(EffectSamples, FiltersAndUnknownKindsHaveABlackStrip) {
  for (int kind : {0, int{ekBlur}, int{ekInvert}, int{ekGammaCorrection}, 21}) {
    TBitmap strip;
    MakeEffectSampleStrip(kind, strip);
    ASSERT_EQ(strip.Width(), kEffectSampleFrames * kEffectSampleWidth);
    for (int x = 0; x < strip.Width(); x += 13) EXPECT_EQ(strip.Pixel(x, kEffectSampleHeight / 2), clBlack);
  }
}
