#include "dialogs/core/EffectFrames.h"

#include "platform/Graphics.h"
#include "scene/Frame.h"
#include "tests/scene/SceneTestSupport.h"

#include <gtest/gtest.h>


namespace {

using Rects = std::vector<TRect>;

TEffectParameters Params(int n) {
  TEffectParameters p;
  p.FrameCount = n;
  return p;
}

std::unique_ptr<TFrame> SolidFrame(TColor color, int duration) {
  auto frame = std::make_unique<TFrame>(nullptr);
  TBitmap picture;
  MakeSolid(picture, 20, 10, color);
  frame->SetPicture(picture, false, 0, -1, -1);
  frame->StoreDuration(duration);
  return frame;
}

int CountOf(TFrame& frame, TColor color) {
  int n = 0;
  for (int y = 0; y < frame.Picture.Height(); ++y)
    for (int x = 0; x < frame.Picture.Width(); ++x) n += frame.Picture.Pixel(x, y) == color;
  return n;
}

bool AllOf(TFrame& frame, TColor color) {
  return CountOf(frame, color) == frame.Picture.Width() * frame.Picture.Height();
}

}  // namespace

// ---- Geometry ---------------------------------------------------------------------------------------

TEST(TransitionGeometry, ApertureInClosesToNothingAndOutShrinksFourBorders) {
  TEffectParameters p = Params(10);
  EXPECT_EQ(TransitionFillRects(ekAperture, p, 100, 50, 1), Rects{Rect(5, 2, 95, 48)});  // 2.5 -> 2
  EXPECT_EQ(TransitionFillRects(ekAperture, p, 100, 50, 10), Rects{Rect(50, 25, 50, 25)});
  p.ApertureOut = true;
  EXPECT_EQ(TransitionFillRects(ekAperture, p, 100, 50, 1),
            (Rects{Rect(0, 0, 50, 50), Rect(50, 0, 100, 50), Rect(0, 0, 100, 25), Rect(0, 25, 100, 50)}));
  EXPECT_EQ(TransitionFillRects(ekAperture, p, 100, 50, 10),
            (Rects{Rect(0, 0, 5, 50), Rect(95, 0, 100, 50), Rect(0, 0, 100, 2), Rect(0, 48, 100, 50)}));
}

TEST(TransitionGeometry, BlindBandsGrowFromTheirStartOrAreMeasuredBackFromTheirEnd) {
  TEffectParameters p = Params(10);
  p.BlindAppearance = false;
  const Rects first = TransitionFillRects(ekBlind, p, 100, 30, 1);
  const Rects last = TransitionFillRects(ekBlind, p, 100, 30, 10);
  ASSERT_EQ(first.size(), 10u);
  ASSERT_EQ(last.size(), 10u);
  for (int k = 0; k < 10; ++k) {
    EXPECT_EQ(first[k], Rect(10 * k, 0, 10 * k + 1, 30));
    EXPECT_EQ(last[k], Rect(10 * k, 0, 10 * k + 10, 30));
  }
  p.BlindAppearance = true;
  EXPECT_EQ(TransitionFillRects(ekBlind, p, 100, 30, 1)[0], Rect(10, 0, 9, 30));
  EXPECT_EQ(NormalizedRect(TransitionFillRects(ekBlind, p, 100, 30, 1)[9]), Rect(99, 0, 100, 30));
  p = Params(4);
  p.BlindCount = 2;
  p.Direction = edTop;
  EXPECT_EQ(TransitionFillRects(ekBlind, p, 40, 20, 2), (Rects{Rect(0, 0, 40, 5), Rect(0, 10, 40, 15)}));
  p.Direction = edBottom;
  EXPECT_EQ(TransitionFillRects(ekBlind, p, 40, 20, 2), (Rects{Rect(0, 10, 40, 5), Rect(0, 20, 40, 15)}));
}

TEST(TransitionGeometry, FadeIsBlindWithOneBlindWhateverTheCount) {
  TEffectParameters p = Params(7);
  p.BlindCount = 1;
  TEffectParameters nine = p;
  nine.BlindCount = 9;
  for (int direction = 0; direction < 4; ++direction) {
    p.Direction = nine.Direction = direction;
    for (int m = 1; m <= 7; ++m)
      EXPECT_EQ(TransitionFillRects(ekFade, nine, 64, 40, m), TransitionFillRects(ekBlind, p, 64, 40, m));
  }
}

TEST(TransitionGeometry, DirectionsOutsideTheFourCountAsRight) {
  TEffectParameters right = Params(5);
  TEffectParameters odd = Params(5);
  odd.Direction = 9;  // left by a "Target:" group
  EXPECT_EQ(UsableDirection(9), edRight);
  EXPECT_EQ(TransitionFillRects(ekBlind, odd, 50, 20, 2), TransitionFillRects(ekBlind, right, 50, 20, 2));
  EXPECT_EQ(TransitionFillRects(ekFingers, odd, 50, 20, 4), TransitionFillRects(ekFingers, right, 50, 20, 4));
  EXPECT_EQ(GrowRect(odd, 50, 20, 2), GrowRect(right, 50, 20, 2));
  EXPECT_EQ(SweepOffset(odd, 50, 20, 2), SweepOffset(right, 50, 20, 2));
}

TEST(TransitionGeometry, CrossFillsTheCornersAndWipeClosesToTheCentreOrTheEdges) {
  EXPECT_EQ(TransitionFillRects(ekCross, Params(4), 40, 20, 1),
            (Rects{Rect(0, 0, 5, 2), Rect(35, 0, 40, 2), Rect(35, 18, 40, 20), Rect(0, 18, 5, 20)}));
  TEffectParameters p = Params(5);
  EXPECT_EQ(TransitionFillRects(ekWipe, p, 100, 10, 1), Rects{Rect(10, 0, 90, 10)});
  EXPECT_EQ(TransitionFillRects(ekWipe, p, 100, 10, 5), Rects{Rect(50, 0, 50, 10)});
  p.WipeToEdges = true;
  EXPECT_EQ(TransitionFillRects(ekWipe, p, 100, 10, 1), (Rects{Rect(0, 0, 50, 10), Rect(50, 0, 100, 10)}));
  EXPECT_EQ(TransitionFillRects(ekWipe, p, 100, 10, 5), (Rects{Rect(0, 0, 10, 10), Rect(90, 0, 100, 10)}));
}

TEST(TransitionGeometry, FingersFirstReachAcrossThenFillTheGaps) {
  TEffectParameters p = Params(10);
  p.FingerCount = 2;
  p.FingersAppearance = false;
  // Fingers of 11 rows (20 / 2 + 1), the upper 5 of each moving first.
  EXPECT_EQ(TransitionFillRects(ekFingers, p, 100, 20, 2), (Rects{Rect(0, 0, 40, 5), Rect(0, 11, 40, 16)}));
  EXPECT_EQ(TransitionFillRects(ekFingers, p, 100, 20, 7),
            (Rects{Rect(0, 0, 100, 5), Rect(0, 5, 40, 11), Rect(0, 11, 100, 16), Rect(0, 16, 40, 22)}));
  p.FingersAppearance = true;  // from the mirrored side
  EXPECT_EQ(TransitionFillRects(ekFingers, p, 100, 20, 2), (Rects{Rect(60, 0, 100, 5), Rect(60, 11, 100, 16)}));
}

TEST(TransitionGeometry, SweepAppearanceStartsOutsideAndEndsInPlace) {
  TEffectParameters p = Params(10);
  p.Direction = edLeft;
  EXPECT_EQ(SweepOffset(p, 100, 40, 1), Point(100, 0));  // an empty frame
  EXPECT_EQ(SweepOffset(p, 100, 40, 10), Point(10, 0));
  p.Direction = edRight;
  EXPECT_EQ(SweepOffset(p, 100, 40, 1), Point(-90, 0));
  EXPECT_EQ(SweepOffset(p, 100, 40, 10), Point(0, 0));
  p.SweepAppearance = false;
  EXPECT_EQ(SweepOffset(p, 100, 40, 10), Point(100, 0));
  p.Direction = edTop;
  EXPECT_EQ(SweepOffset(p, 100, 40, 1), Point(0, 0));
  EXPECT_EQ(SweepOffset(p, 100, 40, 10), Point(0, -36));
  p.Direction = edBottom;
  EXPECT_EQ(SweepOffset(p, 100, 40, 10), Point(0, 40));
}

TEST(TransitionGeometry, GrowAnchorsByDirectionAndChoice) {
  TEffectParameters p = Params(4);
  EXPECT_EQ(GrowRect(p, 100, 40, 1), Rect(0, 0, 25, 40));
  EXPECT_EQ(GrowRect(p, 100, 40, 4), Rect(0, 0, 100, 40));
  p.Direction = edLeft;
  EXPECT_EQ(GrowRect(p, 100, 40, 1), Rect(75, 0, 100, 40));
  p.Direction = edTop;
  EXPECT_EQ(GrowRect(p, 100, 40, 1), Rect(0, 30, 100, 40));
  p.Direction = edBottom;
  EXPECT_EQ(GrowRect(p, 100, 40, 1), Rect(0, 0, 100, 10));
  p.GrowAppearance = false;
  EXPECT_EQ(GrowRect(p, 100, 40, 1), Rect(0, 10, 100, 40));
  EXPECT_EQ(GrowRect(p, 100, 40, 4), Rect(0, 40, 100, 40));
  p.Direction = edTop;
  EXPECT_EQ(GrowRect(p, 100, 40, 1), Rect(0, 0, 100, 30));
}

TEST(TransitionGeometry, RotationTurnsEvenlyAndOneFrameShowsTheStartAngle) {
  TEffectParameters p = Params(10);
  for (int m = 1; m <= 10; ++m) EXPECT_DOUBLE_EQ(RotationAngle(p, m), 20.0 * (m - 1));
  p.Clockwise = false;
  EXPECT_DOUBLE_EQ(RotationAngle(p, 10), -180.0);
  p = Params(1);
  p.StartAngle = 30;
  EXPECT_DOUBLE_EQ(RotationAngle(p, 1), 30.0);
  EXPECT_EQ(RotationSide(100, 50), 107);  // (100 + 50) / sqrt 2, plus one
  EXPECT_EQ(RotationSide(1, 40), 40);
}

// ---- Generated frames -----------------------------------------------------------------------------------

class EffectFrames : public testing::Test {
 protected:
  EffectFrames() : source(SolidFrame(clBlue, 5)), next(SolidFrame(clLime, 3)) {
    p.BackgroundColor = clRed;
    p.StepsPerFrame = 4;
  }
  TFrameList Create(int kind, int frameCount, TFrame* nextFrame = nullptr, bool sourceTransparent = false) {
    p.FrameCount = frameCount;
    return CreateEffectFrames(kind, p, *source, nextFrame, sourceTransparent);
  }
  std::unique_ptr<TFrame> source;
  std::unique_ptr<TFrame> next;
  TEffectParameters p;
};

TEST_F(EffectFrames, ATransitionMakesNFramesWithTheChosenDurationAndTransparency) {
  TFrameList frames = Create(ekAperture, 6);
  ASSERT_EQ(frames.size(), 6u);
  for (auto& f : frames) {
    EXPECT_EQ(f->Duration(), 4);
    EXPECT_TRUE(f->Transparent());
    EXPECT_EQ(f->TransparentColor(), clRed);
    EXPECT_EQ(f->ImageWidth, 20);
    EXPECT_EQ(f->Sprite(), nullptr);
  }
  EXPECT_EQ(frames[0]->Picture.Pixel(0, 0), clBlue);
  EXPECT_EQ(frames[0]->Picture.Pixel(10, 5), clRed);
  EXPECT_TRUE(AllOf(*frames[5], clBlue));
  // Fewer than one frame: none, and the list is emptied.
  frames.push_back(SolidFrame(clBlack, 1));
  CreateEffectFrames(ekWipe, Params(0), *source, nullptr, false, frames);
  EXPECT_TRUE(frames.empty());
}

TEST_F(EffectFrames, WipeSweepAndGrowEndFrames) {
  p.WipeToEdges = true;
  TFrameList frames = Create(ekWipe, 5);
  EXPECT_TRUE(AllOf(*frames[0], clRed));
  EXPECT_EQ(CountOf(*frames[4], clRed), 2 * 2 * 10);
  p.WipeToEdges = false;
  frames = Create(ekWipe, 5);
  EXPECT_EQ(CountOf(*frames[0], clBlue), 2 * 2 * 10);
  EXPECT_TRUE(AllOf(*frames[4], clBlue));
  for (int kind : {ekSweep, ekGrow}) {
    frames = Create(kind, 5);
    EXPECT_EQ(CountOf(*frames[0], clBlue), 4 * 10) << kind;
    EXPECT_EQ(frames[0]->Picture.Pixel(0, 0), clBlue) << kind;  // appearance to the right starts at the left
    EXPECT_TRUE(AllOf(*frames[4], clBlue)) << kind;
  }
}

TEST_F(EffectFrames, AppearanceListsTheDisappearanceFramesBackwards) {
  p.BlindCount = 2;
  TFrameList frames = Create(ekBlind, 4);
  ASSERT_EQ(frames.size(), 4u);
  // First the frame of m = 4 (all covered), last the frame of m = 1.
  EXPECT_TRUE(AllOf(*frames[0], clRed));
  const TRect strip = NormalizedRect(TransitionFillRects(ekBlind, p, 20, 10, 1)[0]);
  EXPECT_EQ(CountOf(*frames[3], clRed), 2 * strip.Width() * 10);
  EXPECT_EQ(frames[3]->Picture.Pixel(strip.Left, 0), clRed);
}

TEST_F(EffectFrames, OnlyGrowShowsTheSourceWithItsOwnTransparency) {
  TBitmap picture;
  MakeSolid(picture, 20, 10, clWhite);
  picture.Canvas().Brush().Color = clBlue;
  picture.Canvas().FillRect(Rect(0, 0, 10, 10));
  source->SetPicture(picture, true, clWhite, -1, -1);
  source->StoreTransparency(false, clWhite);  // the dialog shows it opaque
  TFrameList frames = Create(ekGrow, 2, nullptr, true);
  EXPECT_EQ(frames[1]->Picture.Pixel(15, 5), clRed);  // white was transparent: background shows
  EXPECT_EQ(frames[1]->Picture.Pixel(5, 5), clBlue);
  EXPECT_FALSE(source->Transparent());
  EXPECT_EQ(source->TransparentColor(), clWhite);
  // The other transitions draw the source whole even when it is transparent.
  source->StoreTransparency(true, clWhite);
  frames = Create(ekWipe, 2, nullptr, true);
  EXPECT_EQ(frames[1]->Picture.Pixel(15, 5), clWhite);
}

TEST_F(EffectFrames, RotationFramesAreSquaresWithTheFrameCentred) {
  p.Transparent = false;
  TFrameList frames = Create(ekRotation, 3);
  ASSERT_EQ(frames.size(), 3u);
  const int side = RotationSide(20, 10);
  for (auto& f : frames) {
    EXPECT_EQ(f->ImageWidth, side);
    EXPECT_EQ(f->ImageHeight, side);
    EXPECT_FALSE(f->Transparent());
  }
  // 0 and 180 degrees: the frame lying in the middle; 90 degrees: upright.
  EXPECT_EQ(CountOf(*frames[0], clBlue), 200);
  EXPECT_EQ(frames[0]->Picture.Pixel(side / 2, side / 2), clBlue);
  EXPECT_EQ(frames[0]->Picture.Pixel(0, 0), clRed);
  EXPECT_EQ(CountOf(*frames[2], clBlue), 200);
  EXPECT_EQ(frames[1]->Picture.Pixel(side / 2, (side - 20) / 2 + 1), clBlue);
}

TEST_F(EffectFrames, BlendEndsOnTheNextFrameOrWithoutOneOnTheBlendColour) {
  p.BlendToNextFrame = true;
  TFrameList frames = Create(ekBlend, 4, next.get());
  ASSERT_EQ(frames.size(), 5u);
  EXPECT_TRUE(AllOf(*frames[0], clBlue));
  EXPECT_TRUE(AllOf(*frames[4], clLime));
  p.BlendDissolveAppearance = true;
  frames = Create(ekBlend, 4, next.get());
  EXPECT_TRUE(AllOf(*frames[0], clLime));
  EXPECT_TRUE(AllOf(*frames[4], clBlue));
  p.BlendDissolveAppearance = false;
  p.BlendColor = clYellow;
  frames = Create(ekBlend, 2);
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_TRUE(AllOf(*frames[2], clYellow));
}

TEST_F(EffectFrames, DissolveEndsOnTheBackgroundOrTheNextFrame) {
  p.DissolveSeed = 11;
  TFrameList frames = Create(ekDissolve, 5, next.get());
  ASSERT_EQ(frames.size(), 5u);
  EXPECT_EQ(CountOf(*frames[0], clRed), 40);
  EXPECT_TRUE(AllOf(*frames[4], clRed));
  p.DissolveToNextFrame = true;
  frames = Create(ekDissolve, 5, next.get());
  EXPECT_TRUE(AllOf(*frames[4], clLime));
}

TEST_F(EffectFrames, EveryFilterMakesOneOpaqueFrameWithTheSourcesDuration) {
  p.Radius = 10;
  p.Brightness = 100;
  p.GammaRed = 20;
  for (int kind = ekBlur; kind <= ekGammaCorrection; ++kind) {
    TFrameList frames = Create(kind, 10, nullptr, true);
    ASSERT_EQ(frames.size(), 1u) << kind;
    EXPECT_EQ(frames[0]->ImageWidth, 20) << kind;
    EXPECT_EQ(frames[0]->Duration(), 5) << kind;
    EXPECT_FALSE(frames[0]->Transparent()) << kind;
    if (kind == ekInvert) {
      EXPECT_TRUE(AllOf(*frames[0], RGB(255, 255, 0)));
    } else if (kind == ekBrightness) {
      EXPECT_NE(frames[0]->Picture.Pixel(3, 3), clBlue);
    }
  }
}

TEST_F(EffectFrames, TheSourceAndNextFramesAreLeftAsTheyWereAndNoUndoIsRecorded) {
  RecordingUndo undo;
  source->StoreTransparency(true, clBlue);
  next->StoreTransparency(true, clLime);
  for (int kind = ekAperture; kind <= ekGammaCorrection; ++kind)
    EXPECT_FALSE(Create(kind, 3, next.get(), true).empty()) << kind;
  EXPECT_TRUE(source->Transparent());
  EXPECT_EQ(source->TransparentColor(), clBlue);
  EXPECT_TRUE(next->Transparent());
  EXPECT_TRUE(undo.records.empty());
  EXPECT_TRUE(AllOf(*source, clBlue));
  EXPECT_TRUE(AllOf(*next, clLime));
}

TEST_F(EffectFrames, AnEightBitSourceKeepsItsPaletteForTheWork) {
  TBitmap picture;
  picture.SetPixelFormat(pf8bit);
  picture.SetPalette(TPalette({PaletteEntryOf(clBlue), PaletteEntryOf(clRed), PaletteEntryOf(clWhite)}));
  picture.SetSize(20, 10);
  for (int y = 0; y < 10; ++y) std::fill_n(picture.ScanLine(y), 20, 0);
  source->SetPicture(picture, false, 0, -1, -1);
  TFrameList frames = Create(ekAperture, 2);
  EXPECT_EQ(frames[0]->Picture.PixelFormat(), pf8bit);
  EXPECT_EQ(frames[0]->Picture.Pixel(10, 5), clRed);
  EXPECT_EQ(frames[0]->Picture.Pixel(0, 0), clBlue);
}
