#include "imaging/HarmFade.h"
#include "tests/imaging/PictureHelpers.h"
#include "tests/support/ErrorText.h"

#include <gtest/gtest.h>

namespace {

int CountPixels(const TBitmap& b, TColor color) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) n += b.Pixel(x, y) == color ? 1 : 0;
  return n;
}

bool AllPixels(const TBitmap& b, TColor color) { return CountPixels(b, color) == b.Width() * b.Height(); }

// A fade of the working size between the pictures, either of which may be missing.
void Prepare(THarmFade& fade, int width, int height, const TBitmap* source, const TBitmap* target) {
  fade.SetSourceBitmap(source);
  fade.SetTargetBitmap(target);
  fade.SetWidth(width);
  fade.SetHeight(height);
}

}  // namespace

TEST(HarmFadeSettings, RatesAndSizesAreClamped) {
  THarmFade fade;
  const auto blend = [&](int rate) { return fade.SetBlendRate(rate), fade.BlendRate(); };
  const auto dissolve = [&](int rate) { return fade.SetDissolveRate(rate), fade.DissolveRate(); };
  EXPECT_EQ(std::tuple(blend(300), blend(0), dissolve(0), dissolve(1000000)), std::tuple(255, 1, 1, 75 * 75));
  Prepare(fade, 0, -4, nullptr, nullptr);
  EXPECT_EQ(std::pair(fade.Width(), fade.Height()), std::pair(1, 1));
}

TEST(HarmFadeDissolve, DefaultsGiveOneHundredTwentyFiveFramesOfFortyFivePixels) {
  THarmFade fade;
  fade.SetRandomSeed(1234);
  TBitmap target;
  MakeFilled(target, 30, 20, clRed);
  fade.SetTargetBitmap(&target);
  const TEffectItemBitmaps frames = fade.Dissolve();
  ASSERT_EQ(frames.size(), 125u);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    ASSERT_EQ(frames[i]->Bitmap().Width(), 75);
    ASSERT_EQ(CountPixels(frames[i]->Bitmap(), clRed), 45 * static_cast<int>(i + 1)) << i;
  }
  EXPECT_EQ(CountPixels(frames[0]->Bitmap(), clBlack), 75 * 75 - 45);  // no source: from black
}

TEST(HarmFadeDissolve, LeftoverPixelsArriveInTheLastFrame) {
  THarmFade fade;
  fade.SetRandomSeed(7);
  TBitmap source, target;
  MakeFilled(source, 3, 3, clBlue);
  MakeFilled(target, 3, 3, clYellow);
  Prepare(fade, 10, 10, &source, &target);
  fade.SetDissolveRate(30);  // k = 3: 33 frames, one pixel over
  const TEffectItemBitmaps frames = fade.Dissolve();
  ASSERT_EQ(frames.size(), 33u);
  EXPECT_EQ(CountPixels(frames[31]->Bitmap(), clYellow), 96);
  EXPECT_TRUE(AllPixels(frames[32]->Bitmap(), clYellow));
}

TEST(HarmFadeDissolve, RateAboveThePixelCountRaises) {
  THarmFade fade;
  fade.SetDissolveRate(100);  // kept: 75 x 75 pixels at the time
  Prepare(fade, 10, 3, nullptr, nullptr);
  EXPECT_EQ(ErrorText<EHarmFade>([&] { fade.Dissolve(); }), "DisolvRate cannot be > Width * Height!");
}

TEST(HarmFadeDissolve, TheSeedFixesTheOrder) {
  TBitmap target;
  MakeFilled(target, 2, 2, clRed);
  auto run = [&](std::int32_t seed) {
    THarmFade fade;
    Prepare(fade, 8, 8, nullptr, &target);
    fade.SetDissolveRate(4);
    fade.SetRandomSeed(seed);
    return fade.Dissolve();
  };
  const TEffectItemBitmaps a = run(5), b = run(5), c = run(6);
  ASSERT_EQ(a.size(), 4u);
  EXPECT_TRUE(SamePixels(a[0]->Bitmap(), b[0]->Bitmap()));
  EXPECT_FALSE(SamePixels(a[0]->Bitmap(), c[0]->Bitmap()));
}

TEST(HarmFadeBlend, RateOneGivesTheSourceAndTheTargetStretchedToTheWorkingSize) {
  THarmFade fade;
  TBitmap source, target;
  MakePattern(source, 2, 1, [](int x, int) { return x == 0 ? clRed : clBlue; });
  MakeFilled(target, 5, 5, RGB(200, 100, 0));
  Prepare(fade, 4, 2, &source, &target);
  fade.SetBlendRate(1);
  const TEffectItemBitmaps frames = fade.Blend();
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(PixelsAt(frames[0]->Bitmap(), {{1, 1}, {2, 0}}), (std::vector<TColor>{clRed, clBlue}));
  EXPECT_TRUE(AllPixels(frames[1]->Bitmap(), RGB(200, 100, 0)));
}

TEST(HarmFadeBlend, WithoutPicturesFadesFromBlackToTheBackground) {
  THarmFade fade;
  fade.SetBackgroundColor(RGB(255, 101, 0));
  fade.SetBlendRate(2);
  Prepare(fade, 4, 3, nullptr, nullptr);
  const TEffectItemBitmaps frames = fade.Blend();
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(std::pair(frames[0]->Bitmap().Width(), frames[0]->Bitmap().Height()), std::pair(4, 3));
  EXPECT_TRUE(AllPixels(frames[0]->Bitmap(), clBlack));
  EXPECT_TRUE(AllPixels(frames[1]->Bitmap(), RGB(128, 51, 0)));  // MulDiv rounds halves away from zero
  EXPECT_TRUE(AllPixels(frames[2]->Bitmap(), RGB(255, 101, 0)));
}

TEST(HarmFadeBlend, TransparentPicturesShowTheFillNotAnEarlierRun) {
  THarmFade fade;
  TBitmap source, target;
  MakePattern(source, 4, 4, [](int x, int) { return x < 2 ? clWhite : clBlue; });
  source.SetTransparentColor(clWhite);
  source.SetTransparent(true);
  MakeFilled(target, 4, 4, clRed);
  Prepare(fade, 4, 4, &source, &target);
  fade.SetBlendRate(1);
  fade.Blend();
  const TEffectItemBitmaps frames = fade.Blend();
  EXPECT_EQ(PixelsAt(frames[0]->Bitmap(), {{0, 0}, {3, 3}}), (std::vector<TColor>{clBlack, clBlue}));
}
