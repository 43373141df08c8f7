#include "dialogs/core/FrameReduction.h"

#include "dialogs/core/ExportProgress.h"
#include "imaging/MinGDIBitmapU.h"
#include "imaging/utils.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::unique_ptr<TSetOfBitmapsItem> SolidFrame(int w, int h, TColor color, int delay = 10) {
  auto item = std::make_unique<TSetOfBitmapsItem>();
  item->Bitmap = std::make_unique<TMinGDIBitmap>();
  item->Bitmap->SetPixelFormat(pf24bit);
  item->Bitmap->Canvas().Brush().Color = color;
  item->Bitmap->SetSize(w, h);
  item->Bitmap->Canvas().FillRect(Rect(0, 0, w, h));
  item->Delay = delay;
  return item;
}

TSetOfBitmapsItem& Add(TSetOfBitmaps& frames, std::unique_ptr<TSetOfBitmapsItem> item) {
  frames.push_back(std::move(item));
  return *frames.back();
}

TOptimizeOptions ShrinkAndDrop() {
  TOptimizeOptions o;
  o.Shrink = true;
  o.RemoveIdenticalFrames = true;
  return o;
}

class FrameReduction : public testing::Test {
 protected:
  FrameReduction() { CancelFlag = 0; }
  ~FrameReduction() override { CancelFlag = 0; }
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
      for (int x = 0; x < frame.Width() && !close; ++x)
        close = ColorDifference(p + 3 * x, k) < kKeyColorDifference;
    }
    if (!close) return key;
  }
  return std::nullopt;
}

}  // namespace

// ---- Colour difference ------------------------------------------------------------------------------

TEST(ColorDifferenceRule, WeighsRedGreenAndBlueByThirtyFiftyNineAndEleven) {
  const std::uint8_t black[3] = {0, 0, 0};
  const std::uint8_t red10[3] = {0, 0, 10};
  const std::uint8_t green10[3] = {0, 10, 0};
  const std::uint8_t blue10[3] = {10, 0, 0};
  EXPECT_EQ(ColorDifference(black, red10), 90000);
  EXPECT_EQ(ColorDifference(black, green10), 348100);
  EXPECT_EQ(ColorDifference(black, blue10), 12100);
  const std::uint8_t white[3] = {255, 255, 255};
  EXPECT_EQ(ColorDifference(black, white), 292742550);  // fits in 32 bits
}

// ---- Cropping -----------------------------------------------------------------------------------------

TEST_F(FrameReduction, OnePixelChangeGivesATwoByTwoFrameAtItsOffset) {
  Add(frames, SolidFrame(20, 10, clWhite));
  Add(frames, SolidFrame(20, 10, clWhite)).Bitmap->SetPixel(5, 3, clRed);
  OptimizeFrames(frames, ShrinkAndDrop(), composition, nullptr);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0]->Bitmap->Width(), 20);
  EXPECT_EQ(frames[0]->Bitmap->Height(), 10);
  const TSetOfBitmapsItem& f = *frames[1];
  EXPECT_EQ(f.Bitmap->Width(), 2);
  EXPECT_EQ(f.Bitmap->Height(), 2);
  EXPECT_EQ(f.Left, 5);
  EXPECT_EQ(f.Top, 3);
  EXPECT_EQ(f.Bitmap->Pixel(0, 0), clRed);
  EXPECT_EQ(f.Bitmap->Pixel(1, 1), clWhite);
  EXPECT_EQ(f.Bitmap->PixelFormat(), pf24bit);
}

TEST_F(FrameReduction, AChangeNearTheRightAndBottomEdgesWidensBackwards) {
  Add(frames, SolidFrame(20, 10, clWhite));
  Add(frames, SolidFrame(20, 10, clWhite)).Bitmap->SetPixel(18, 8, clBlue);
  OptimizeFrames(frames, ShrinkAndDrop(), composition, nullptr);
  // 18 + 2 is not less than 20 and 8 + 2 not less than 10: the square ends at the pixel.
  EXPECT_EQ(frames[1]->Left, 17);
  EXPECT_EQ(frames[1]->Top, 7);
  EXPECT_EQ(frames[1]->Bitmap->Width(), 2);
  EXPECT_EQ(frames[1]->Bitmap->Height(), 2);
  EXPECT_EQ(frames[1]->Bitmap->Pixel(1, 1), clBlue);
}

TEST_F(FrameReduction, TheCropOfAOnePixelWideFrameNeverStartsLeftOfIt) {
  Add(frames, SolidFrame(1, 6, clWhite));
  Add(frames, SolidFrame(1, 6, clWhite)).Bitmap->SetPixel(0, 5, clBlack);
  OptimizeFrames(frames, ShrinkAndDrop(), composition, nullptr);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[1]->Left, 0);
  EXPECT_EQ(frames[1]->Top, 4);
  EXPECT_EQ(frames[1]->Bitmap->Width(), 1);
  EXPECT_EQ(frames[1]->Bitmap->Height(), 2);
}

TEST_F(FrameReduction, ALargerChangeIsCutToItsBoundingRectangle) {
  Add(frames, SolidFrame(30, 20, clWhite));
  TSetOfBitmapsItem& f = Add(frames, SolidFrame(30, 20, clWhite));
  f.Bitmap->Canvas().Brush().Color = clGreen;
  f.Bitmap->Canvas().FillRect(Rect(4, 6, 12, 9));
  f.Bitmap->SetPixel(20, 15, clGreen);
  OptimizeFrames(frames, ShrinkAndDrop(), composition, nullptr);
  EXPECT_EQ(frames[1]->Left, 4);
  EXPECT_EQ(frames[1]->Top, 6);
  EXPECT_EQ(frames[1]->Bitmap->Width(), 17);
  EXPECT_EQ(frames[1]->Bitmap->Height(), 10);
  EXPECT_EQ(frames[1]->Bitmap->Pixel(16, 9), clGreen);
}

TEST_F(FrameReduction, SmallColourShiftsDoNotCount) {
  Add(frames, SolidFrame(8, 8, RGB(100, 100, 100)));
  Add(frames, SolidFrame(8, 8, RGB(100, 100, 100))).Bitmap->SetPixel(2, 2, RGB(110, 100, 100));  // 90000
  Add(frames, SolidFrame(8, 8, RGB(100, 100, 100))).Bitmap->SetPixel(2, 2, RGB(100, 106, 100));  // 125316
  OptimizeFrames(frames, ShrinkAndDrop(), composition, nullptr);
  // The second frame changes nothing visible and is dropped; the third is cropped.
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0]->Delay, 20);
  EXPECT_EQ(frames[1]->Bitmap->Width(), 2);
}

TEST_F(FrameReduction, CroppingClearsTheDisposalOfTheFrameAndItsPredecessor) {
  Add(frames, SolidFrame(10, 10, clWhite)).Disposal = 3;
  TSetOfBitmapsItem& f = Add(frames, SolidFrame(10, 10, clWhite));
  f.Bitmap->SetPixel(1, 1, clRed);
  f.Disposal = 3;
  OptimizeFrames(frames, ShrinkAndDrop(), composition, nullptr);
  EXPECT_EQ(frames[0]->Disposal, 0);
  EXPECT_EQ(frames[1]->Disposal, 0);
}

// ---- Identical frames ----------------------------------------------------------------------------------

TEST_F(FrameReduction, IdenticalFramesAreDroppedAndTheirDelaysAdded) {
  Add(frames, SolidFrame(10, 10, clWhite, 10));
  Add(frames, SolidFrame(10, 10, clWhite, 20));
  Add(frames, SolidFrame(10, 10, clRed, 5));
  Add(frames, SolidFrame(10, 10, clRed, 7));
  Add(frames, SolidFrame(10, 10, clRed, 8));
  OptimizeFrames(frames, ShrinkAndDrop(), composition, nullptr);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0]->Delay, 30);
  EXPECT_EQ(frames[1]->Delay, 20);
}

TEST_F(FrameReduction, WithoutRemovalIdenticalFramesStayWhole) {
  Add(frames, SolidFrame(10, 10, clWhite, 10));
  Add(frames, SolidFrame(10, 10, clWhite, 20));
  TOptimizeOptions shrinkOnly;
  shrinkOnly.Shrink = true;
  OptimizeFrames(frames, shrinkOnly, composition, nullptr);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[1]->Bitmap->Width(), 10);
  EXPECT_EQ(frames[1]->Delay, 20);
}

TEST_F(FrameReduction, RemovalWithoutShrinkingKeepsFramesWhole) {
  Add(frames, SolidFrame(10, 10, clWhite, 10));
  Add(frames, SolidFrame(10, 10, clWhite, 20));
  Add(frames, SolidFrame(10, 10, clWhite, 20)).Bitmap->SetPixel(3, 3, clBlack);
  TOptimizeOptions dropOnly;
  dropOnly.RemoveIdenticalFrames = true;
  OptimizeFrames(frames, dropOnly, composition, nullptr);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0]->Delay, 30);
  EXPECT_EQ(frames[1]->Bitmap->Width(), 10);
}

TEST_F(FrameReduction, TheFirstFrameIsNeverCroppedKeyedOrRemoved) {
  Add(frames, SolidFrame(10, 10, clWhite, 10));
  TOptimizeOptions all = ShrinkAndDrop();
  all.RemoveIdenticalPixels = true;
  OptimizeFrames(frames, all, composition, nullptr);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0]->Bitmap->Width(), 10);
  EXPECT_EQ(frames[0]->Transparent, 0);
  EXPECT_EQ(frames[0]->Left, 0);
}

TEST_F(FrameReduction, ACancelledPassStopsBeforeTheNextFrame) {
  Add(frames, SolidFrame(10, 10, clWhite, 10));
  Add(frames, SolidFrame(10, 10, clWhite, 20));
  CancelFlag = 1;
  OptimizeFrames(frames, ShrinkAndDrop(), composition, nullptr);
  EXPECT_EQ(frames.size(), 2u);
}

TEST_F(FrameReduction, ProgressFollowsTheFrames) {
  struct Recorder : TExportProgress {
    void ShowLabel(const std::string&) override {}
    void SetProgress(int done, int total) override { calls.push_back({done, total}); }
    std::vector<std::pair<int, int>> calls;
  } recorder;
  Add(frames, SolidFrame(4, 4, clWhite));
  Add(frames, SolidFrame(4, 4, clRed));
  Add(frames, SolidFrame(4, 4, clBlue));
  int current = -1;
  OptimizeFrames(frames, ShrinkAndDrop(), composition, &recorder, &current);
  EXPECT_EQ(recorder.calls, (std::vector<std::pair<int, int>>{{0, 2}, {1, 2}, {2, 2}}));
  EXPECT_EQ(current, 2);
}

// ---- Keying unchanged pixels -----------------------------------------------------------------------------

TEST_F(FrameReduction, UnchangedPixelsTakeAFreeKeyColourAndTheFrameBecomesTransparent) {
  Add(frames, SolidFrame(6, 4, clWhite));
  TSetOfBitmapsItem& f = Add(frames, SolidFrame(6, 4, clWhite));
  f.Bitmap->SetPixel(2, 1, clBlue);
  TOptimizeOptions keying;
  keying.RemoveIdenticalPixels = true;
  OptimizeFrames(frames, keying, composition, nullptr);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(f.Transparent, 1);
  EXPECT_EQ(f.Bitmap->TransparentColor(), 255u);  // pure red is far from white and blue
  EXPECT_EQ(f.Bitmap->Pixel(2, 1), clBlue);
  EXPECT_EQ(f.Bitmap->Pixel(0, 0), 255u);
  EXPECT_EQ(f.Bitmap->Pixel(5, 3), 255u);
  EXPECT_EQ(frames[0]->Transparent, 0);
}

TEST_F(FrameReduction, AKeyColourKeepsItsDistanceFromEveryPixel) {
  Add(frames, SolidFrame(6, 4, clWhite));
  TSetOfBitmapsItem& f = Add(frames, SolidFrame(6, 4, clWhite));
  f.Bitmap->SetPixel(0, 0, clRed);  // pure red is taken
  TOptimizeOptions keying;
  keying.RemoveIdenticalPixels = true;
  OptimizeFrames(frames, keying, composition, nullptr);
  const TColor key = f.Bitmap->TransparentColor();
  EXPECT_NE(key, clRed);
  EXPECT_EQ(key % 255, 0u);
  TBitmap probe;
  probe.SetPixelFormat(pf24bit);
  probe.SetSize(1, 1);
  probe.SetPixel(0, 0, key);
  EXPECT_EQ(*KeyByPlainSearch(probe) , 255u);  // sanity of the plain rule
  const std::uint8_t k[3] = {GetBValue(key), GetGValue(key), GetRValue(key)};
  const std::uint8_t red[3] = {0, 0, 255};
  EXPECT_GE(ColorDifference(k, red), kKeyColorDifference);
}

TEST(KeyColorChoice, MatchesThePlainSearchOnVariedPictures) {
  std::mt19937 random(7);
  for (int round = 0; round < 12; ++round) {
    TBitmap frame;
    frame.SetPixelFormat(pf24bit);
    frame.SetSize(40, 30);
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
}

TEST(KeyColorChoice, NoKeyWhenEveryCandidateIsInThePicture) {
  TBitmap frame;
  frame.SetPixelFormat(pf24bit);
  frame.SetSize(258, 256);
  TColor key = 255;
  for (int y = 0; y < 256; ++y) {
    std::uint8_t* p = frame.ScanLine(y);
    for (int x = 0; x < 258; ++x, p += 3) {
      p[0] = GetBValue(key), p[1] = GetGValue(key), p[2] = GetRValue(key);
      if (key + 255 < 0x1000000u) key += 255;
    }
  }
  EXPECT_FALSE(ChooseKeyColor(frame).has_value());
}

TEST_F(FrameReduction, AFrameWithoutAFreeKeyColourStaysOpaque) {
  auto full = SolidFrame(258, 256, clWhite);
  TColor key = 255;
  for (int y = 0; y < 256; ++y) {
    std::uint8_t* p = full->Bitmap->ScanLine(y);
    for (int x = 0; x < 258; ++x, p += 3) {
      p[0] = GetBValue(key), p[1] = GetGValue(key), p[2] = GetRValue(key);
      if (key + 255 < 0x1000000u) key += 255;
    }
  }
  auto copy = std::make_unique<TSetOfBitmapsItem>();
  copy->Bitmap = std::make_unique<TMinGDIBitmap>();
  copy->Bitmap->Assign(full->Bitmap.get());
  Add(frames, std::move(full));
  TSetOfBitmapsItem& f = Add(frames, std::move(copy));
  TOptimizeOptions keying;
  keying.RemoveIdenticalPixels = true;
  OptimizeFrames(frames, keying, composition, nullptr);
  EXPECT_EQ(f.Transparent, 0);
  EXPECT_EQ(f.Bitmap->Pixel(0, 0), 255u);
  EXPECT_EQ(f.Bitmap->Pixel(1, 0), 510u);
}

TEST_F(FrameReduction, KeyingLeavesAnAlreadyTransparentFrameUnchanged) {
  Add(frames, SolidFrame(6, 4, clWhite));
  TSetOfBitmapsItem& f = Add(frames, SolidFrame(6, 4, clWhite));
  f.Bitmap->SetPixel(1, 1, clBlue);
  f.Transparent = 1;
  f.Bitmap->SetTransparentColor(clLime);
  TOptimizeOptions keying;
  keying.RemoveIdenticalPixels = true;
  OptimizeFrames(frames, keying, composition, nullptr);
  EXPECT_EQ(f.Bitmap->TransparentColor(), clLime);
  EXPECT_EQ(f.Bitmap->Pixel(0, 0), clWhite);
}

// ---- Transparent scenes -----------------------------------------------------------------------------------

TEST_F(FrameReduction, CropsOfATransparentSceneAlsoCoverThePreviousCrop) {
  // A dot moving right over a transparent background: each crop must also
  // cover where the dot was, which the previous frame's disposal clears.
  for (int i = 0; i < 3; ++i) {
    TSetOfBitmapsItem& f = Add(frames, SolidFrame(20, 10, clFuchsia));
    f.Bitmap->SetPixel(2 + 5 * i, 4, clBlack);
    f.Transparent = 1;
    f.Bitmap->SetTransparentColor(clFuchsia);
    f.Disposal = 2;
  }
  TOptimizeOptions o = ShrinkAndDrop();
  o.SceneTransparent = true;
  OptimizeFrames(frames, o, composition, nullptr);
  ASSERT_EQ(frames.size(), 3u);
  // Frame 1: the old dot at 2 and the new at 7.
  EXPECT_EQ(frames[1]->Left, 2);
  EXPECT_EQ(frames[1]->Bitmap->Width(), 6);
  // Frame 2: its own change (the new dot, widened to 12..13) joined with
  // the previous crop (2..7).
  EXPECT_EQ(frames[2]->Left, 2);
  EXPECT_EQ(frames[2]->Bitmap->Width(), 12);
}

// ---- Composition ---------------------------------------------------------------------------------------------

TEST_F(FrameReduction, RestoreBackgroundClearsExactlyThePreviousFramesRectangle) {
  Add(frames, SolidFrame(4, 4, clRed)).Disposal = 2;
  TSetOfBitmapsItem& second = Add(frames, SolidFrame(2, 2, clBlue));
  second.Left = 6;
  second.Top = 6;
  TBitmap target;
  target.SetPixelFormat(pf24bit);
  target.SetSize(10, 10);
  DrawExportFrame(target, true, clLime, 0, frames, composition);
  EXPECT_EQ(target.Pixel(3, 3), clRed);
  DrawExportFrame(target, false, clLime, 1, frames, composition);
  // The previous frame was not transparent: its area becomes white, and not one pixel more.
  EXPECT_EQ(target.Pixel(3, 3), clWhite);
  EXPECT_EQ(target.Pixel(4, 4), clLime);
  EXPECT_EQ(target.Pixel(6, 6), clBlue);
  EXPECT_EQ(composition.SavedPosition, Point(6, 6));
}

TEST_F(FrameReduction, ATransparentFrameLeavesOutExactlyItsKeyColour) {
  Add(frames, SolidFrame(3, 1, clWhite));
  TSetOfBitmapsItem& f = Add(frames, SolidFrame(3, 1, clWhite));
  // Red and blue have the same channel sum; only red is the key.
  f.Bitmap->SetPixel(0, 0, clBlue);
  f.Bitmap->SetPixel(1, 0, clRed);
  f.Transparent = 1;
  f.Bitmap->SetTransparentColor(clRed);
  TBitmap target;
  target.SetPixelFormat(pf24bit);
  target.SetSize(3, 1);
  DrawExportFrame(target, true, clGray, 0, frames, composition);
  DrawExportFrame(target, false, clGray, 1, frames, composition);
  EXPECT_EQ(target.Pixel(0, 0), clBlue);
  EXPECT_EQ(target.Pixel(1, 0), clWhite);
  EXPECT_EQ(target.Pixel(2, 0), clWhite);
}

TEST_F(FrameReduction, ATransparentFrameWithoutItsKeyColourIsDrawnWhole) {
  TSetOfBitmapsItem& f = Add(frames, SolidFrame(2, 2, clGreen));
  f.Transparent = 1;
  f.Bitmap->SetTransparentColor(clRed);
  TBitmap target;
  target.SetPixelFormat(pf24bit);
  target.SetSize(2, 2);
  DrawExportFrame(target, true, clGray, 0, frames, composition);
  EXPECT_EQ(target.Pixel(0, 0), clGreen);
  EXPECT_EQ(target.Pixel(1, 1), clGreen);
}

TEST_F(FrameReduction, FramesAreDrawnAtTheCompositionOrigin) {
  TSetOfBitmapsItem& f = Add(frames, SolidFrame(2, 2, clGreen));
  f.Left = 1;
  composition.Origin = Point(3, 2);
  TBitmap target;
  target.SetPixelFormat(pf24bit);
  target.SetSize(8, 8);
  DrawExportFrame(target, true, clGray, 0, frames, composition);
  EXPECT_EQ(target.Pixel(4, 2), clGreen);
  EXPECT_EQ(target.Pixel(3, 2), clGray);
  EXPECT_EQ(GetMaxFrameRect(frames), Rect(0, 0, 2, 2));
}

TEST_F(FrameReduction, FramesPlacedOutsideTheCanvasChangeNothing) {
  Add(frames, SolidFrame(10, 10, clWhite, 10));
  TSetOfBitmapsItem& far = Add(frames, SolidFrame(4, 4, clRed, 5));
  far.Left = 500;
  far.Top = 3;
  TSetOfBitmapsItem& before = Add(frames, SolidFrame(4, 4, clRed, 6));
  before.Left = -20;
  before.Top = -20;
  OptimizeFrames(frames, ShrinkAndDrop(), composition, nullptr);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0]->Delay, 21);
}
