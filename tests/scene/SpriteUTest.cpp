#include "scene/SpriteU.h"

#include "imaging/utils.h"
#include "platform/Messages.h"
#include "platform/Streams.h"
#include "platform/SystemValues.h"
#include "scene/Frame.h"
#include "scene/Moving.h"
#include "scene/SceneGlobals.h"
#include "scene/Sprite.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/support/FakeSystemValues.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace {

// The first pixel where the two pictures differ inside the scene, as text; empty when none.
std::string FirstDifference(const TBitmap& a, const TBitmap& b, int width, int height) {
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (a.Pixel(x, y) != b.Pixel(x, y)) {
        std::ostringstream text;
        text << "(" << x << "," << y << ") " << std::hex << a.Pixel(x, y) << " != " << b.Pixel(x, y);
        return text.str();
      }
  return "";
}

// A scene of the given size with a plain background and an output bitmap.
class SceneFixture : public testing::Test {
 protected:
  SceneFixture() { Resize(100, 60); }

  void Resize(int width, int height) {
    scene.Width = width;
    scene.Height = height;
    scene.FillColor = clWhite;
    scene.SetBackground(false, bgmFillAndPicture, "", clWhite, clWhite, ppNone, nullptr);
    output.SetPixelFormat(pf24bit);
    output.SetSize(width, height);
    scene.OutputBitmap = &output;
    scene.StepCount = 100;
  }

  // A sprite with one opaque frame of one colour, holding at (x, y).
  TSprite& AddBlock(int x, int y, int w, int h, TColor color) {
    int index = 0;
    TSprite& sprite = *scene.AddSprite(index);
    TBitmap picture;
    MakeSolid(picture, w, h, color);
    sprite.AddFrame()->SetPicture(picture, false, 0, -1, -1);
    sprite.Motion().AddStepWith(HoldAt(x, y), &sprite);
    return sprite;
  }

  void SetBackgroundPicture(int placement, TBitmap* picture) {
    scene.SetBackground(false, bgmFillAndPicture, "", clWhite, clWhite, placement, picture);
  }

  TColor Back(int x, int y) const { return scene.BackgroundBitmap.Pixel(x, y); }

  TAnimatedScene scene;
  TBitmap output;
};

// ---- Loops and step numbering ------------------------------------------------------------------------

TEST_F(SceneFixture, LoopCountsGiveThatManyPassesAfterTheFirstAndMinusOneNeverStops) {
  struct Case {
    int count, loopsDone, shown;
  };
  for (const Case c : {Case{0, 1, 3}, Case{2, 3, 9}, Case{-1, 10, 30}}) {
    SCOPED_TRACE(c.count);
    scene.StepCount = 3;
    scene.SetLoopCount(c.count);
    EXPECT_EQ(scene.LoopsLeft, c.count < 0 ? 1 : c.count + 1);
    int shown = 0;
    TWindowHandle window([&](TMessage& m) { shown += m.Msg == WM_STEPCHANGED; });
    scene.NotifyWindow = window.Handle();
    for (int i = 0; i < 30; ++i) scene.NextFrame();
    ProcessMessages();
    EXPECT_EQ(scene.LoopsDone, c.loopsDone);
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(scene.CurrentStep, 1);
    EXPECT_EQ(scene.LoopsLeft, c.count < 0 ? 1 : 0);
    scene.Stop();
    EXPECT_EQ(scene.LoopsLeft, c.count < 0 ? 1 : c.count + 1) << "stopping refills the loops";
  }
}

TEST_F(SceneFixture, GotoFrameOneAndTwoBothShowStepOneNext) {
  AddBlock(0, 0, 5, 5, clRed);
  for (int n : {1, 2}) {
    scene.GotoFrame(n);
    EXPECT_EQ(scene.CurrentStep, 1);
    scene.NextFrame();
    EXPECT_EQ(scene.CurrentStep, 2);
  }
  scene.GotoFrame(7);
  EXPECT_EQ(scene.CurrentStep, 6);
}

TEST_F(SceneFixture, ARepaintDoesNotAdvanceAndShowsEverySpriteOverAFreshBackground) {
  TSprite& sprite = AddBlock(10, 10, 10, 10, clRed);
  TMovingStepValues still;  // a bounce in a rectangle of no size: the path never reports a change
  still.Kind = mskBounce;
  still.X1 = still.X2 = still.StartX = 10;
  still.Y1 = still.Y2 = still.StartY = 10;
  sprite.Motion().ChangeStep(0, still, &sprite);
  int shown = 0;
  TWindowHandle window([&](TMessage& m) { shown += m.Msg == WM_STEPCHANGED; });
  scene.NotifyWindow = window.Handle();
  scene.NextFrame();
  scene.NextFrame();
  MakeSolid(output, 100, 60, clBlack);
  scene.SetBackground(true, 0, "", 0, 0, 0, nullptr);
  scene.RepaintOnly = 1;
  scene.NextFrame();
  EXPECT_EQ(scene.RepaintOnly, 0);
  EXPECT_EQ(scene.CurrentStep, 3);
  ProcessMessages();
  EXPECT_EQ(shown, 3);
  EXPECT_EQ(output.Pixel(15, 15), clRed);
  EXPECT_EQ(output.Pixel(50, 50), clWhite);
}

TEST_F(SceneFixture, ALockedOrBusySceneIgnoresATick) {
  AddBlock(10, 10, 10, 10, clRed);
  MakeSolid(output, 100, 60, clBlack);
  scene.Locked = 1;
  scene.NextFrame();
  scene.Locked = 0;
  scene.Busy = 1;
  scene.NextFrame();
  EXPECT_EQ(output.Pixel(15, 15), clBlack);
  EXPECT_EQ(scene.CurrentStep, 1);
  scene.Play();
  EXPECT_EQ(scene.Busy, 0) << "playing clears a stuck busy mark";
  scene.Stop();
}

TEST_F(SceneFixture, WithoutAnOutputBitmapTheCompositionIsThePicture) {
  AddBlock(10, 10, 10, 10, clRed);
  scene.OutputBitmap = nullptr;
  scene.NextFrame();
  EXPECT_EQ(scene.CompositionBitmap.Pixel(12, 12), clRed);
  EXPECT_EQ(scene.CompositionBitmap.Pixel(50, 50), clWhite);
}

TEST_F(SceneFixture, LowSystemResourcesLeaveTheOutputAsItWas) {
  AddBlock(10, 10, 10, 10, clRed);
  scene.NextFrame();
  FakeSystemValues system;
  system.hasResourceMeter = true;
  system.probe = [](int) { return 5; };
  ResetFreeResourcesCache();
  scene.Sprite(0).Motion().Step(0).StartXPx = 40;
  scene.NextFrame();
  ResetFreeResourcesCache();
  EXPECT_EQ(output.Pixel(12, 12), clRed);
  EXPECT_EQ(output.Pixel(45, 12), clWhite);
}

// ---- Dirty rectangles ------------------------------------------------------------------------------

// (What is redrawn is checked against a full redraw by the property test below.)
TEST_F(SceneFixture, OverlappingDirtyRectanglesMergeAndTouchingOnesDoNot) {
  TSprite& touching = AddBlock(0, 0, 10, 10, clRed);
  touching.Motion().ChangeStep(0, LineFrom(0, 0, 90, 0, 10), &touching);
  scene.NextFrame();
  scene.NextFrame();
  // A step shows the place one speed ahead of the travelled distance; each
  // step moves by exactly the width: the old and new places touch and stay apart.
  ASSERT_EQ(scene.LastDirtyRects().size(), 2u);
  EXPECT_EQ(scene.LastDirtyRects()[0].Rect, Rect(20, 0, 30, 10));
  EXPECT_EQ(scene.LastDirtyRects()[1].Rect, Rect(30, 0, 40, 10));

  TSprite& overlapping = AddBlock(0, 30, 10, 10, clBlue);
  overlapping.Motion().ChangeStep(0, LineFrom(0, 30, 90, 30, 4), &overlapping);
  scene.NextFrame();
  scene.NextFrame();
  // The red block's two touching places, and one merged place for the blue one.
  ASSERT_EQ(scene.LastDirtyRects().size(), 3u);
  EXPECT_EQ(scene.LastDirtyRects()[2].Rect, Rect(8, 30, 22, 40));
}

TEST_F(SceneFixture, ASpriteInAnEffectStepShowsOnlyItsClonesWithoutShadows) {
  TSprite& sprite = AddBlock(0, 0, 6, 6, clRed);
  TMovingStepValues v;
  v.Kind = mskRandomPoints;
  v.X1 = 10, v.Y1 = 10, v.X2 = 90, v.Y2 = 50;
  v.CloneCount = 3, v.EffectDelay = 0, v.Duration = 3;
  RandSeed = 99;
  sprite.Motion().ChangeStep(0, v, &sprite);
  sprite.Motion().Step(0).ShadowOn = 1;
  for (const auto& clone : sprite.Motion().Step(0).EffectSprites())
    for (int k = 0; k < clone->Motion().StepCount(); ++k) clone->Motion().Step(k).ShadowOn = 1;
  for (int i = 0; i < 3; ++i) scene.NextFrame();
  int redPixels = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 100; ++x) {
      const TColor c = output.Pixel(x, y);
      redPixels += c == clRed;
      ASSERT_TRUE(c == clRed || c == clWhite) << x << "," << y;  // no shadow anywhere
    }
  EXPECT_GE(redPixels, 36);
  EXPECT_LE(redPixels, 3 * 36);
  EXPECT_EQ(output.Pixel(2, 2), clWhite);  // the sprite itself is not drawn
  // A repaint neither moves nor redraws the clones.
  TMoving& clonePath = sprite.Motion().Step(0).EffectSprites()[0]->Motion();
  const int counter = clonePath.StepCounter, stepIndex = clonePath.CurrentIndex;
  scene.RepaintOnly = 1;
  scene.NextFrame();
  EXPECT_EQ(clonePath.StepCounter, counter);
  EXPECT_EQ(clonePath.CurrentIndex, stepIndex);
}

TEST_F(SceneFixture, RenderFrameToBitmapRepaintsEverythingAndScalesToTheBitmap) {
  AddBlock(0, 0, 50, 30, clRed);
  scene.NextFrame();
  MakeSolid(output, 100, 60, clBlack);  // the shown picture was spoilt
  TBitmap half;
  MakeSolid(half, 50, 30, clBlack);
  scene.RenderFrameToBitmap(true, half);
  EXPECT_EQ(output.Pixel(10, 10), clRed);
  EXPECT_EQ(output.Pixel(80, 50), clWhite);
  EXPECT_EQ(half.Pixel(5, 5), clRed);
  EXPECT_EQ(half.Pixel(45, 25), clWhite);
}

TEST_F(SceneFixture, PaletteModeComposesThroughTheCanvasToTheSamePicture) {
  TSprite& sprite = AddBlock(0, 10, 10, 10, clRed);
  sprite.Motion().ChangeStep(0, LineFrom(0, 10, 90, 10, 7), &sprite);
  AddBlock(30, 5, 20, 20, clBlue);
  for (int i = 0; i < 6; ++i) scene.NextFrame();
  TBitmap expected;
  expected.Assign(&output);
  scene.GotoFrame(1);
  scene.BackgroundDrawn = 0;
  PaletteMode = 1;
  for (int i = 0; i < 6; ++i) scene.NextFrame();
  PaletteMode = 0;
  EXPECT_EQ(FirstDifference(output, expected, 100, 60), "");
}

// ---- Sprites and intervals ---------------------------------------------------------------------------
// (What these records hold and undoing them is checked in UndoTest.)

TEST_F(SceneFixture, AddedSpritesAreNumberedFromOneAndAddedAtTheEnd) {
  int index = -1;
  scene.AddSprite(index);
  EXPECT_EQ(scene.AddSprite(index)->Name, "Sprite 2");
  EXPECT_EQ(index, 1);
}

TEST(VisibilityIntervals, SettersKeepTheIntervalOrderedAndRecordUndo) {
  TAnimatedScene scene;
  TSprite sprite(&scene);
  RecordingUndo undo;
  TStartAndFinish end(&sprite);
  end.SetEnd(1);
  EXPECT_EQ(std::pair(end.StartStep, end.EndStep), std::pair(1, 2));
  TStartAndFinish start(&sprite);
  start.SetStart(5);
  EXPECT_EQ(std::pair(start.StartStep, start.EndStep), std::pair(5, 5));
  start.SetStart(5);
  start.SetStart(-1);
  start.SetEnd(-4);
  TStartAndFinish below(&sprite);
  below.StartStep = 4, below.EndStep = 8;
  below.SetEnd(0);
  EXPECT_EQ(std::pair(below.StartStep, below.EndStep), std::pair(0, 2));
  EXPECT_EQ(undo.Captions(), (std::vector<std::string>{"Change End Step", "Change Start Step", "Change End Step"}));
}

// ---- Background ---------------------------------------------------------------------------------------

TEST_F(SceneFixture, DesktopAndFillBackgrounds) {
  FakeSystemValues system;
  scene.SetBackground(false, bgmDesktop, "", 0, 0, ppNone, nullptr);
  EXPECT_EQ(Back(50, 30), system.DesktopColor());
  scene.SetBackground(false, bgmFillAndPicture, "", clBlue, clBlue, ppNone, nullptr);
  EXPECT_EQ(Back(99, 59), clBlue);
  scene.OutlineWidth = 3;
  scene.OutlineColor = clGreen;
  scene.SetBackground(true, 0, "ignored.bmp", clRed, clRed, ppTiled, nullptr);
  EXPECT_EQ(scene.BackgroundMode, bgmFillAndPicture);
  EXPECT_EQ(Back(1, 1), clGreen);
  EXPECT_EQ(Back(50, 30), clBlue);
}

TEST_F(SceneFixture, CentredAndStretchedPictures) {
  TBitmap picture;
  MakeSolid(picture, 20, 10, clRed);
  SetBackgroundPicture(ppCentered, &picture);
  EXPECT_EQ(Back(40, 25), clRed);
  EXPECT_EQ(Back(39, 25), clWhite);
  EXPECT_EQ(Back(60, 29), clWhite);
  MakeSolid(picture, 150, 10, clBlue);
  SetBackgroundPicture(ppCentered, &picture);
  EXPECT_EQ(Back(0, 25), clBlue) << "a wider picture starts at the left";

  MakeSolid(picture, 2, 2, clRed);
  picture.SetPixel(1, 1, clBlue);
  SetBackgroundPicture(ppStretched, &picture);
  EXPECT_EQ(Back(10, 10), clRed);
  EXPECT_EQ(Back(90, 50), clBlue);
  scene.ResampledStretching = 1;
  SetBackgroundPicture(ppStretched, &picture);
  EXPECT_EQ(Back(0, 0), clRed);
}

TEST_F(SceneFixture, TilingRunsOneTilePastEachEdgeAndSkipsAPictureWithoutArea) {
  Resize(10, 10);
  TBitmap picture;
  MakeSolid(picture, 3, 3, clBlue);
  picture.SetPixel(0, 0, clRed);
  SetBackgroundPicture(ppTiled, &picture);
  // Tiles at 0, 3, 6 and 9 in both directions: the last column and row start a tile.
  EXPECT_EQ(Back(9, 9), clRed);
  EXPECT_EQ(Back(3, 6), clRed);
  EXPECT_EQ(Back(4, 4), clBlue);
  MakeSolid(picture, 10, 10, clGreen);
  SetBackgroundPicture(ppTiled, &picture);
  EXPECT_EQ(Back(9, 9), clGreen);

  SetBackgroundPicture(ppNone, nullptr);
  TBitmap empty;
  empty.SetSize(0, 5);
  for (int placement : {ppCentered, ppTiled, ppStretched}) SetBackgroundPicture(placement, &empty);
  EXPECT_EQ(Back(0, 0), clWhite);
}

TEST_F(SceneFixture, ABackgroundFileIsLoadedAndOneThatCannotBeReadKeepsThePreviousPicture) {
  TempDir dir;
  TBitmap picture;
  MakeSolid(picture, 10, 10, clGreen);
  const std::string name = dir.File("back.bmp");
  picture.SaveToFile(name);
  for (const std::string& file : {name, dir.WriteFile("broken.bmp", "BMnot a bitmap"), dir.File("missing.gif")}) {
    scene.SetBackground(false, bgmFillAndPicture, file, clWhite, clWhite, ppCentered, nullptr);
    EXPECT_EQ(Back(50, 30), clGreen) << file;
    EXPECT_EQ(Back(5, 5), clWhite);
  }
}

// ---- Incremental composition against a full redraw ------------------------------------------------

// Paints what every sprite shows at the current step, in list order, over the background.
void FullRedraw(TAnimatedScene& scene, TBitmap& picture) {
  picture.Assign(&scene.BackgroundBitmap);
  picture.SetPixelFormat(pf24bit);
  for (int i = 0; i < scene.SpriteCount(); ++i) {
    TSprite& sprite = scene.Sprite(i);
    if (sprite.HasEffectStep()) {
      for (const auto& clone : sprite.Motion().CurrentStep()->EffectSprites())
        if (clone->HiddenNow == 0 && clone->FrameCount() > 0) clone->PaintImage(picture, clone->GetRect().TopLeft());
      continue;
    }
    if (sprite.HiddenNow != 0 || sprite.FrameCount() == 0) continue;
    const TRect shadow = sprite.GetShadowRect();
    if (!shadow.IsEmpty()) sprite.PaintShadow(picture, shadow.TopLeft());
    sprite.PaintImage(picture, sprite.GetRect().TopLeft());
  }
}

class RandomScene {
 public:
  explicit RandomScene(std::int32_t seed) : seed_(seed) {}

  int Int(int low, int high) { return low + Random(high - low + 1); }
  bool Chance(int percent) { return Random(100) < percent; }

  // Builds the scene, composing into output.
  void Build(TAnimatedScene& scene, TBitmap& output) {
    RandSeed = seed_;
    scene.Width = Int(60, 160);
    scene.Height = Int(40, 100);
    scene.StepCount = Int(10, 40);
    scene.FillColor = clWhite;
    scene.FillAngle = Int(0, 359);
    scene.SetBackground(false, bgmFillAndPicture, "", RGB(200, 220, 255), RGB(40, 60, 90), ppNone, nullptr);
    const int sprites = Int(1, 8);
    for (int s = 0; s < sprites; ++s) AddSprite(scene);
    RandSeed = seed_ + 1;
    output.SetPixelFormat(pf24bit);
    output.SetSize(scene.Width, scene.Height);
    scene.OutputBitmap = &output;
  }

 private:
  void AddSprite(TAnimatedScene& scene) {
    int index = 0;
    TSprite& sprite = *scene.AddSprite(index);
    const int frames = Int(1, 3);
    for (int f = 0; f < frames; ++f) {
      TBitmap picture;
      const int w = Int(3, 30), h = Int(3, 30);
      const TColor body = RGB(static_cast<std::uint8_t>(Int(0, 255)), static_cast<std::uint8_t>(Int(0, 255)), 0);
      const TColor key = RGB(255, 0, 255);
      MakeSolid(picture, w, h, body);
      picture.Canvas().Brush().Color = key;
      picture.Canvas().FillRect(Rect(0, 0, w / 3, h / 2));
      picture.SetPixel(w - 1, h - 1, RGB(0, 0, static_cast<std::uint8_t>(Int(0, 255))));
      TFrame* frame = sprite.AddFrame();
      frame->SetPicture(picture, Chance(50), key, -1, -1);
      frame->StoreDuration(Int(1, 3));
    }
    const int steps = Int(1, 3);
    for (int k = 0; k < steps; ++k) sprite.Motion().AddStepWith(RandomStep(scene), &sprite);
    for (int k = 0; k < steps; ++k) {
      TMovingStep& step = sprite.Motion().Step(k);
      step.ShadowOn = Chance(40) ? 1 : 0;
      step.ShadowBlurStart = Int(0, 4), step.ShadowBlurEnd = Int(0, 4);
      step.ShadowOffsetStartX = Int(-4, 6), step.ShadowOffsetEndY = Int(-4, 6);
      step.ShadowOpacityStart = Int(20, 100);
      step.ShadowColorEnd = RGB(0, 0, 128);
    }
    if (Chance(40)) sprite.AddInterval(Int(1, 5), Int(5, 15));
    if (Chance(20)) sprite.AddInterval(Int(12, 20), Int(20, 40));
    sprite.SetContinueMoving(Chance(50) ? 1 : 0);
    if (Chance(15)) sprite.Motion().LoopLimit = 0;
  }

  TMovingStepValues RandomStep(TAnimatedScene& scene) {
    TMovingStepValues v;
    const int w = scene.Width, h = scene.Height;
    v.X1 = Int(-20, w), v.Y1 = Int(-20, h);
    v.X2 = Int(-20, w + 20), v.Y2 = Int(-20, h + 20);
    v.StartX = v.X1, v.StartY = v.Y1;
    v.SpeedStart = Int(1, 12), v.SpeedEnd = Int(1, 12);
    v.ZoomXStart = Int(5, 20) / 10.0, v.ZoomXEnd = Int(5, 20) / 10.0;
    v.ZoomYStart = Int(5, 20) / 10.0, v.ZoomYEnd = Int(5, 20) / 10.0;
    v.OpacityStart = Chance(50) ? 100 : Int(20, 100);
    v.OpacityEnd = Chance(50) ? 100 : Int(20, 100);
    v.Duration = Int(-1, 6);
    v.Hide = Chance(15) ? 1 : 0;
    v.Angle = Int(0, 359);
    v.CloneCount = Int(1, 4);
    v.EffectDelay = Int(0, 4);
    v.EffectAngle = Int(0, 360);
    const int kind = Int(0, 9);
    if (kind <= 2) {
      v.Kind = mskLine;
    } else if (kind <= 4) {
      v.Kind = mskHold;
    } else if (kind <= 6) {
      v.Kind = mskBounce;
      v.X1 = std::min<double>(v.X1, v.X2 - 1);
      v.Y1 = std::min<double>(v.Y1, v.Y2 - 1);
      v.StartX = Chance(50) ? -1 : v.X1;
    } else {
      v.Kind = Int(mskRandomPoints, mskBurst);
      v.X2 = std::max<double>(v.X2, v.X1 + 1);
      v.Y2 = std::max<double>(v.Y2, v.Y1 + 1);
    }
    return v;
  }

  std::int32_t seed_;
};

TEST(IncrementalComposition, EqualsAFullRedrawOfAllVisibleSpritesInListOrder) {
  for (std::int32_t seed = 1; seed <= 60; ++seed) {
    TAnimatedScene scene;
    TBitmap output, expected;
    RandomScene(seed * 7919).Build(scene, output);
    for (int step = 1; step <= 70; ++step) {
      scene.NextFrame();
      FullRedraw(scene, expected);
      ASSERT_EQ(FirstDifference(output, expected, scene.Width, scene.Height), "") << "seed " << seed * 7919 << " step " << step;
    }
  }
}

TEST(StepJumping, GotoFrameThenNextFrameShowsWhatPlaybackShowsAtThatStep) {
  int compared = 0;
  for (std::int32_t seed = 1; seed <= 60; ++seed) {
    // Effect clones draw random delays while they play, so jumping matches
    // playback on scenes without them.
    TAnimatedScene played;
    TBitmap playedOutput;
    RandomScene(seed * 104729).Build(played, playedOutput);
    bool hasEffects = false;
    for (int i = 0; i < played.SpriteCount(); ++i)
      for (int k = 0; k < played.Sprite(i).Motion().StepCount(); ++k)
        hasEffects = hasEffects || played.Sprite(i).Motion().Step(k).IsEffect();
    if (hasEffects) continue;
    played.Rewind();
    for (int target : {3, 9, 17, 26}) {
      // Within the first pass: a jump counts no loops.
      if (target >= played.StepCount) break;
      while (played.CurrentStep != target) played.NextFrame();
      played.NextFrame();  // shows step target

      TAnimatedScene jumped;
      TBitmap jumpedOutput;
      RandomScene(seed * 104729).Build(jumped, jumpedOutput);
      jumped.GotoFrame(target + 1);
      EXPECT_EQ(jumped.CurrentStep, target);
      jumped.NextFrame();
      ASSERT_EQ(FirstDifference(playedOutput, jumpedOutput, played.Width, played.Height), "")
          << "seed " << seed * 104729 << " step " << target;
      ++compared;
    }
  }
  EXPECT_GE(compared, 20);
}

}  // namespace
