#include "dialogs/core/FrameReduction.h"

#include "dialogs/core/ExportSettings.h"
#include "imaging/MinGDIBitmapU.h"
#include "imaging/utils.h"
#include "tests/dialogs/core/ExportTestSupport.h"
#include "tests/scene/SceneTestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace {

class FrameReduction : public testing::Test {
 protected:
  FrameReduction() { CancelFlag = 0; }
  ~FrameReduction() override { CancelFlag = 0; }

  TSetOfBitmapsItem& Add(int w, int h, TColor color, int delay = 10) {
    frames.push_back(SolidItem(w, h, color, delay));
    return *frames.back();
  }
  void Optimize(bool shrink, bool removePixels, bool removeFrames, bool sceneTransparent = false) {
    TOptimizeOptions o;
    o.Shrink = shrink;
    o.RemoveIdenticalPixels = removePixels;
    o.RemoveIdenticalFrames = removeFrames;
    o.SceneTransparent = sceneTransparent;
    OptimizeFrames(frames, o, composition, nullptr);
  }

  TSetOfBitmaps frames;
  TExportComposition composition;
};

// The first key candidate no pixel comes close to, by the plain rule.
std::optional<TColor> KeyByPlainSearch(const TBitmap& frame) {
  for (TColor key = 255; key < 0x1000000u; key += 255) {
    const std::uint8_t k[3] = {GetBValue(key), GetGValue(key), GetRValue(key)};
    bool close = false;
    for (int y = 0; y < frame.Height() && !close; ++y) {
      const std::uint8_t* p = frame.ScanLine(y);
      for (int x = 0; x < frame.Width() && !close; ++x) close = ColorDifference(p + 3 * x, k) < kKeyColorDifference;
    }
    if (!close) return key;
  }
  return std::nullopt;
}

// A 258 x 256 picture holding every key candidate, from its left top.
void FillWithEveryKeyCandidate(TBitmap& frame) {
  MakeSolid(frame, 258, 256, clWhite);
  TColor key = 255;
  for (int y = 0; y < 256; ++y) {
    std::uint8_t* p = frame.ScanLine(y);
    for (int x = 0; x < 258; ++x, p += 3) {
      p[0] = GetBValue(key), p[1] = GetGValue(key), p[2] = GetRValue(key);
      if (key + 255 < 0x1000000u) key += 255;
    }
  }
}

}  // namespace

TEST(ColorDifferenceRule, WeighsRedGreenAndBlueByThirtyFiftyNineAndElevenWithin32Bits) {
  const std::uint8_t black[3] = {0, 0, 0}, red10[3] = {0, 0, 10}, green10[3] = {0, 10, 0}, blue10[3] = {10, 0, 0};
  const std::uint8_t white[3] = {255, 255, 255};
  EXPECT_EQ(ColorDifference(black, red10), 90000);
  EXPECT_EQ(ColorDifference(black, green10), 348100);
  EXPECT_EQ(ColorDifference(black, blue10), 12100);
  EXPECT_EQ(ColorDifference(black, white), 292742550);
}

// ---- Cropping -----------------------------------------------------------------------------------------

TEST_F(FrameReduction, AChangeIsCutToItsRectangleAtLeastTwoByTwoNeverOutsideTheFrame) {
  struct Case {
    const char* what;
    int w, h;
    TColor base;
    TRect changed;  // filled with the change colour
    TColor change;
    TRect crop;     // left, top, width, height expected
  };
  const TColor grey = RGB(100, 100, 100);
  for (const Case& c : {
           Case{"one pixel", 20, 10, clWhite, Rect(5, 3, 6, 4), clRed, Rect(5, 3, 2, 2)},
           Case{"near the right and bottom edges", 20, 10, clWhite, Rect(18, 8, 19, 9), clBlue, Rect(17, 7, 2, 2)},
           Case{"in a one pixel wide frame", 1, 6, clWhite, Rect(0, 5, 1, 6), clBlack, Rect(0, 4, 1, 2)},
           Case{"a block", 30, 20, clWhite, Rect(4, 6, 21, 16), clGreen, Rect(4, 6, 17, 10)},
           Case{"just above the threshold", 8, 8, grey, Rect(2, 2, 3, 3), RGB(100, 106, 100), Rect(2, 2, 2, 2)},
       }) {
    SCOPED_TRACE(c.what);
    frames.clear();
    Add(c.w, c.h, c.base).Disposal = 3;
    TSetOfBitmapsItem& f = Add(c.w, c.h, c.base);
    f.Disposal = 3;
    f.Bitmap->Canvas().Brush().Color = c.change;
    f.Bitmap->Canvas().FillRect(c.changed);
    Optimize(true, false, true);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0]->Bitmap->Width(), c.w);
    EXPECT_EQ(frames[0]->Bitmap->Height(), c.h);
    EXPECT_EQ(frames[0]->Disposal, 0);
    const TSetOfBitmapsItem& cut = *frames[1];
    EXPECT_EQ(Rect(cut.Left, cut.Top, cut.Bitmap->Width(), cut.Bitmap->Height()), c.crop);
    EXPECT_EQ(cut.Bitmap->Pixel(c.changed.Right - 1 - cut.Left, c.changed.Bottom - 1 - cut.Top), c.change);
    EXPECT_EQ(cut.Disposal, 0);
    EXPECT_EQ(cut.Bitmap->PixelFormat(), pf24bit);
  }
}

TEST_F(FrameReduction, CropsOfATransparentSceneAlsoCoverThePreviousCrop) {
  // A dot moving right over a transparent background: each crop must also
  // cover where the dot was, which the previous frame's disposal clears.
  for (int i = 0; i < 3; ++i) {
    TSetOfBitmapsItem& f = Add(20, 10, clFuchsia);
    f.Bitmap->SetPixel(2 + 5 * i, 4, clBlack);
    f.Transparent = 1;
    f.Bitmap->SetTransparentColor(clFuchsia);
    f.Disposal = 2;
  }
  Optimize(true, false, true, true);
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[1]->Left, 2);  // the old dot at 2 and the new at 7
  EXPECT_EQ(frames[1]->Bitmap->Width(), 6);
  EXPECT_EQ(frames[2]->Left, 2);  // its own 12..13 joined with the previous crop 2..7
  EXPECT_EQ(frames[2]->Bitmap->Width(), 12);
}

// ---- Identical frames ----------------------------------------------------------------------------------

TEST_F(FrameReduction, FramesThatChangeNothingVisibleAreDroppedAndTheirDelaysAdded) {
  Add(10, 10, clWhite, 10);
  Add(10, 10, clWhite, 20);
  Add(10, 10, clWhite, 1).Bitmap->SetPixel(2, 2, RGB(245, 255, 255));  // difference 90000: below the threshold
  TSetOfBitmapsItem& far = Add(4, 4, clRed, 2);
  far.Left = 500;
  far.Top = 3;
  TSetOfBitmapsItem& before = Add(4, 4, clRed, 3);
  before.Left = -20;
  before.Top = -20;
  Add(10, 10, clRed, 5);
  Add(10, 10, clRed, 7);
  Add(10, 10, clRed, 8);
  Optimize(true, false, true);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0]->Delay, 36);
  EXPECT_EQ(frames[1]->Delay, 20);
}

TEST_F(FrameReduction, AFrameFiveLevelsOffEverywhereIsExactlyAtTheThresholdAndDropped) {
  // (30 x 5)^2 + (59 x 5)^2 + (11 x 5)^2 = 112550: not above the threshold.
  const std::uint8_t a[3] = {100, 100, 100}, b[3] = {105, 105, 105}, c[3] = {106, 105, 105};
  ASSERT_EQ(ColorDifference(a, b), kChangedPixelDifference);
  ASSERT_GT(ColorDifference(a, c), kChangedPixelDifference);
  Add(8, 6, RGB(100, 100, 100), 10);
  Add(8, 6, RGB(105, 105, 105), 20);
  Add(8, 6, RGB(110, 110, 110), 30);  // ten levels from the frame the viewer shows
  Optimize(true, true, true);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0]->Delay, 30);
  EXPECT_EQ(frames[1]->Delay, 30);
  EXPECT_EQ(frames[1]->Transparent, 0);  // exactly at the threshold a pixel is not unchanged either
  EXPECT_EQ(frames[1]->Bitmap->Pixel(7, 5), RGB(110, 110, 110));
}

namespace {

// Ten grey bars on white that each darken by `step` levels a frame (below the
// threshold), one frame per hundredth of a second.
void AddSlowFade(TSetOfBitmaps& frames, int count, int step) {
  for (int i = 0; i < count; ++i) {
    auto item = SolidItem(40, 12, clWhite, 1);
    for (int bar = 0; bar < 10; ++bar) {
      const auto level = static_cast<std::uint8_t>(250 - i * step - bar);
      item->Bitmap->Canvas().Brush().Color = RGB(level, level, level);
      item->Bitmap->Canvas().FillRect(Rect(4 * bar, 2, 4 * bar + 3, 10));
    }
    frames.push_back(std::move(item));
  }
}

// What a viewer shows at each hundredth of a second, frame after frame.
std::vector<std::unique_ptr<TBitmap>> ViewerPictures(const TSetOfBitmaps& frames) {
  std::vector<std::unique_ptr<TBitmap>> shown;
  TExportComposition composition;
  TBitmap screen;
  MakeSolid(screen, 40, 12, clBlack);
  for (int i = 0; i < static_cast<int>(frames.size()); ++i) {
    DrawExportFrame(screen, i == 0, clWhite, i, frames, composition);
    for (int t = 0; t < frames[static_cast<std::size_t>(i)]->Delay; ++t) {
      shown.push_back(std::make_unique<TBitmap>());
      shown.back()->Assign(&screen);
    }
  }
  return shown;
}

// The largest colour difference between two 24-bit pictures of one size.
std::int32_t LargestColorDifference(const TBitmap& a, const TBitmap& b) {
  std::int32_t largest = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      largest = std::max(largest, ColorDifference(a.ScanLine(y) + 3 * x, b.ScanLine(y) + 3 * x));
  return largest;
}

}  // namespace

TEST_F(FrameReduction, ASlowFadeBelowTheThresholdEndsWhereTheSourceEnds) {
  for (int reductions : {rfShrinkToSmallestRectangle | rfRemoveIdenticalFrames, int{rfRemoveIdenticalPixels},
                         rfShrinkToSmallestRectangle | rfRemoveIdenticalPixels | rfRemoveIdenticalFrames}) {
    SCOPED_TRACE("reductions " + std::to_string(reductions));
    frames.clear();
    AddSlowFade(frames, 40, 3);  // 3 levels a frame, 117 in all
    TSetOfBitmaps source;
    AddSlowFade(source, 40, 3);
    // The two passes of an export, one after the other.
    if (reductions & (rfShrinkToSmallestRectangle | rfRemoveIdenticalFrames))
      Optimize((reductions & rfShrinkToSmallestRectangle) != 0, false, (reductions & rfRemoveIdenticalFrames) != 0);
    if (reductions & rfRemoveIdenticalPixels) Optimize(false, true, false);
    if (reductions & rfRemoveIdenticalFrames) {
      EXPECT_LT(frames.size(), 40u);
    } else {
      EXPECT_EQ(frames[39]->Transparent, 1);  // keyed where it still shows what the viewer shows
    }
    const auto shown = ViewerPictures(frames);
    ASSERT_EQ(shown.size(), 40u);  // every hundredth is still there
    // At no time, and above all not at the end, does the viewer show a
    // picture visibly different from the source.
    for (std::size_t t = 0; t < shown.size(); ++t)
      EXPECT_LE(LargestColorDifference(*shown[t], *source[t]->Bitmap), kChangedPixelDifference) << "at " << t;
  }
}

TEST_F(FrameReduction, EachReductionWorksWithoutTheOther) {
  Add(10, 10, clWhite, 10);
  Add(10, 10, clWhite, 20);
  Optimize(true, false, false);  // shrinking alone keeps identical frames whole
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[1]->Bitmap->Width(), 10);
  EXPECT_EQ(frames[1]->Delay, 20);
  frames.clear();
  Add(10, 10, clWhite, 10);
  Add(10, 10, clWhite, 20);
  Add(10, 10, clWhite, 20).Bitmap->SetPixel(3, 3, clBlack);
  Optimize(false, false, true);  // removal alone keeps the frames whole
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0]->Delay, 30);
  EXPECT_EQ(frames[1]->Bitmap->Width(), 10);
}

TEST_F(FrameReduction, TheFirstFrameIsNeverCroppedKeyedOrRemoved) {
  Add(10, 10, clWhite, 10);
  Optimize(true, true, true);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0]->Bitmap->Width(), 10);
  EXPECT_EQ(frames[0]->Transparent, 0);
  EXPECT_EQ(frames[0]->Left, 0);
}

TEST_F(FrameReduction, ACancelledPassStopsBeforeTheNextFrame) {
  Add(10, 10, clWhite, 10);
  Add(10, 10, clWhite, 20);
  CancelFlag = 1;
  Optimize(true, false, true);
  EXPECT_EQ(frames.size(), 2u);
}

// ---- Keying unchanged pixels -----------------------------------------------------------------------------

TEST_F(FrameReduction, UnchangedPixelsTakeTheFirstFreeKeyColourAndTheFrameBecomesTransparent) {
  Add(6, 4, clWhite);
  TSetOfBitmapsItem& blue = Add(6, 4, clWhite);
  blue.Bitmap->SetPixel(2, 1, clBlue);
  TSetOfBitmapsItem& red = Add(6, 4, clWhite);
  red.Bitmap->SetPixel(0, 0, clRed);  // pure red is taken
  const std::optional<TColor> redKey = KeyByPlainSearch(*red.Bitmap);
  Optimize(false, true, false);
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[0]->Transparent, 0);
  EXPECT_EQ(blue.Transparent, 1);
  EXPECT_EQ(blue.Bitmap->TransparentColor(), 255u);  // pure red is far from white and blue
  EXPECT_EQ(blue.Bitmap->Pixel(2, 1), clBlue);
  EXPECT_EQ(blue.Bitmap->Pixel(0, 0), 255u);
  EXPECT_EQ(blue.Bitmap->Pixel(5, 3), 255u);
  ASSERT_TRUE(redKey.has_value());
  EXPECT_NE(*redKey, clRed);
  EXPECT_EQ(red.Bitmap->TransparentColor(), *redKey);
  EXPECT_EQ(red.Bitmap->Pixel(0, 0), clRed);
}

TEST(KeyColorChoice, MatchesThePlainSearchOnVariedPicturesAndFindsNoneWhenEveryCandidateIsUsed) {
  std::mt19937 random(7);
  for (int round = 0; round < 12; ++round) {
    TBitmap frame;
    MakeSolid(frame, 40, 30, clBlack);
    // Reddish and greenish pictures push the key along the candidates.
    const int spread = 20 + round * 20;
    for (int y = 0; y < 30; ++y) {
      std::uint8_t* p = frame.ScanLine(y);
      for (int x = 0; x < 40; ++x, p += 3) {
        p[2] = static_cast<std::uint8_t>(255 - random() % spread % 256);
        p[1] = static_cast<std::uint8_t>(random() % spread % 256);
        p[0] = static_cast<std::uint8_t>(random() % 60);
      }
    }
    EXPECT_EQ(ChooseKeyColor(frame), KeyByPlainSearch(frame)) << "round " << round;
  }
  TBitmap full;
  FillWithEveryKeyCandidate(full);
  EXPECT_FALSE(ChooseKeyColor(full).has_value());
}

TEST_F(FrameReduction, AFrameWithoutAFreeKeyColourStaysOpaque) {
  for (int i = 0; i < 2; ++i) FillWithEveryKeyCandidate(*Add(1, 1, clWhite).Bitmap);
  Optimize(false, true, false);
  EXPECT_EQ(frames[1]->Transparent, 0);
  EXPECT_EQ(frames[1]->Bitmap->Pixel(0, 0), 255u);
  EXPECT_EQ(frames[1]->Bitmap->Pixel(1, 0), 510u);
}

TEST_F(FrameReduction, KeyingLeavesAnAlreadyTransparentFrameUnchanged) {
  Add(6, 4, clWhite);
  TSetOfBitmapsItem& f = Add(6, 4, clWhite);
  f.Bitmap->SetPixel(1, 1, clBlue);
  f.Transparent = 1;
  f.Bitmap->SetTransparentColor(clLime);
  Optimize(false, true, false);
  EXPECT_EQ(f.Bitmap->TransparentColor(), clLime);
  EXPECT_EQ(f.Bitmap->Pixel(0, 0), clWhite);
}

// ---- Composition ---------------------------------------------------------------------------------------------

TEST_F(FrameReduction, RestoreBackgroundClearsExactlyThePreviousFramesRectangle) {
  Add(4, 4, clRed).Disposal = 2;
  TSetOfBitmapsItem& second = Add(2, 2, clBlue);
  second.Left = 6;
  second.Top = 6;
  TBitmap target;
  MakeSolid(target, 10, 10, clBlack);
  DrawExportFrame(target, true, clLime, 0, frames, composition);
  EXPECT_EQ(target.Pixel(3, 3), clRed);
  DrawExportFrame(target, false, clLime, 1, frames, composition);
  // The previous frame was not transparent: its area becomes white, and not one pixel more.
  EXPECT_EQ(target.Pixel(3, 3), clWhite);
  EXPECT_EQ(target.Pixel(4, 4), clLime);
  EXPECT_EQ(target.Pixel(6, 6), clBlue);
  EXPECT_EQ(composition.SavedPosition, Point(6, 6));
}

TEST_F(FrameReduction, ATransparentFrameLeavesOutExactlyItsKeyColourAndWithoutItIsDrawnWhole) {
  TSetOfBitmapsItem& first = Add(3, 1, clGreen);
  first.Transparent = 1;
  first.Bitmap->SetTransparentColor(clRed);
  TSetOfBitmapsItem& f = Add(3, 1, clWhite);
  // Red and blue have the same channel sum; only red is the key.
  f.Bitmap->SetPixel(0, 0, clBlue);
  f.Bitmap->SetPixel(1, 0, clRed);
  f.Transparent = 1;
  f.Bitmap->SetTransparentColor(clRed);
  TBitmap target;
  MakeSolid(target, 3, 1, clBlack);
  DrawExportFrame(target, true, clGray, 0, frames, composition);
  for (int x = 0; x < 3; ++x) EXPECT_EQ(target.Pixel(x, 0), clGreen);
  DrawExportFrame(target, false, clGray, 1, frames, composition);
  EXPECT_EQ(target.Pixel(0, 0), clBlue);
  EXPECT_EQ(target.Pixel(1, 0), clGreen);
  EXPECT_EQ(target.Pixel(2, 0), clWhite);
}
