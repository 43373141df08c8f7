#include "scene/Moving.h"

#include "platform/Messages.h"
#include "platform/Streams.h"
#include "platform/SystemValues.h"
#include "scene/Frame.h"
#include "scene/SceneGlobals.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"
#include "tests/scene/SceneTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace {

class MotionPath : public testing::Test {
 protected:
  MotionPath() {
    scene.Width = 468;
    scene.Height = 60;
    RandSeed = 1234;
  }

  // Number of advancing calculations the first step lasts (the path also has a second step).
  static int CalculationsInFirstStep(TMoving& path) {
    for (int n = 1; n <= 100; ++n) {
      path.CalcPosition(true);
      if (path.CurrentStepIndex() != 0) return n;
    }
    return -1;
  }

  static TMovingStepValues Area(int kind, double x1, double y1, double x2, double y2) {
    TMovingStepValues v;
    v.Kind = kind;
    v.X1 = x1, v.Y1 = y1, v.X2 = x2, v.Y2 = y2;
    return v;
  }

  TAnimatedScene scene;
};

// ---- Lines, holds, bounces and random points -------------------------------------------------------

TEST_F(MotionPath, LineStepReachesItsEndOnTheTenthCalculationAndHandsOver) {
  TMoving path(&scene);
  path.AddStepWith(LineFrom(0, 0, 100, 0, 10), nullptr);
  path.AddStepWith(HoldAt(5, 5), nullptr);
  for (int i = 1; i <= 9; ++i) {
    EXPECT_EQ(path.CalcPosition(true).X, 10 * i);
    EXPECT_EQ(path.CurrentStepIndex(), 0);
  }
  EXPECT_EQ(path.CalcPosition(true).X, 100);
  EXPECT_EQ(path.CurrentStepIndex(), 1);
  EXPECT_EQ(static_cast<double>(path.Travelled), 0.0);

  TMoving empty(&scene);  // a line of length zero ends at once
  empty.AddStepWith(LineFrom(7, 9, 7, 9, 10), nullptr);
  empty.AddStepWith(HoldAt(0, 0), nullptr);
  EXPECT_EQ(empty.CalcPosition(true), Point(7, 9));
  EXPECT_EQ(empty.CurrentStepIndex(), 1);
}

TEST_F(MotionPath, HoldLastsOneCalculationForDurationOneThreeForTwoAndForeverForMinusOne) {
  for (auto [duration, expected] : {std::pair{1, 1}, {2, 3}, {0, 1}, {4, 5}, {-1, -1}}) {
    TMoving path(&scene);
    path.AddStepWith(HoldAt(10, 10, duration), nullptr);
    path.AddStepWith(HoldAt(20, 20), nullptr);
    EXPECT_EQ(CalculationsInFirstStep(path), expected) << "duration " << duration;
  }
}

TEST_F(MotionPath, HoldInterpolatesZoomOpacityAndShadowOverItsDuration) {
  TMoving path(&scene);
  TMovingStepValues v = HoldAt(0, 0, 4);
  v.ZoomXStart = 1.0, v.ZoomXEnd = 2.0;
  v.OpacityStart = 100, v.OpacityEnd = 0;
  path.AddStepWith(v, nullptr);
  TMovingStep& step = path.Step(0);
  step.ShadowBlurStart = 0, step.ShadowBlurEnd = 8;
  step.ShadowColorStart = 0x000000, step.ShadowColorEnd = 0x0000FF;
  path.CalcPosition(true);   // counter 0
  path.CalcPosition(true);   // counter 1
  path.CalcPosition(false);  // counter 2 of 4
  EXPECT_DOUBLE_EQ(path.ZoomX, 1.5);
  EXPECT_DOUBLE_EQ(path.ZoomY, 1.0);
  EXPECT_DOUBLE_EQ(path.Opacity, 50.0);
  EXPECT_EQ(path.ShadowBlur, 4);
  EXPECT_EQ(path.ShadowColor, 0x000080u);  // round(127.5) = 128
  EXPECT_EQ(path.Changed, 1);
}

TEST_F(MotionPath, ASteadyHoldDoesNotCountAsChangedUnlessMarkedMoved) {
  TMoving path(&scene);
  path.AddStepWith(HoldAt(30, 20, 0), nullptr);
  path.CalcPosition(true);
  path.CalcPosition(true);
  EXPECT_EQ(path.Changed, 0);
  path.MarkMoved();
  path.CalcPosition(true);
  EXPECT_EQ(path.Changed, 1);
}

TEST_F(MotionPath, PerCentPositionsAndSpeedsAreFractionsOfTheSceneSize) {
  TMoving path(&scene);
  path.PositionUnits = 0;
  path.AddStepWith(HoldAt(50, 50), nullptr);
  EXPECT_EQ(path.CalcPosition(true), Point(234, 30));
  TMoving speed(&scene);
  speed.SpeedUnits = 0;
  speed.AddStepWith(LineFrom(0, 0, 400, 0, 10), nullptr);  // 10 per cent of 468 = round(46.8) = 47
  EXPECT_EQ(speed.CalcPosition(true).X, 47);
}

TEST_F(MotionPath, BounceWithRandomStartStartsOnAnEdgeAndStaysInsideForEver) {
  TMoving path(&scene);
  TMovingStepValues v = Area(mskBounce, 10, 5, 200, 50);
  v.StartX = -1;
  v.Angle = 30;
  v.SpeedStart = v.SpeedEnd = 7;
  path.AddStepWith(v, nullptr);
  const TMovingStep& step = path.Step(0);
  EXPECT_EQ(step.RandomStart, 1);
  const bool onVerticalEdge = step.StartX == 10.0 || step.StartX == 200.0;
  const bool onHorizontalEdge = step.StartY == 5.0 || step.StartY == 50.0;
  EXPECT_TRUE(onVerticalEdge || onHorizontalEdge);
  int bounces = 0;
  for (int i = 0; i < 2000; ++i) {
    const TPoint p = path.CalcPosition(true);
    ASSERT_TRUE(p.X >= 10 && p.X <= 200 && p.Y >= 5 && p.Y <= 50) << p.X << "," << p.Y;
    if (path.Travelled == 0.0) {
      ++bounces;
      // The next run of the step leaves from the bounce point.
      EXPECT_EQ(step.StartXPx, p.X);
      EXPECT_EQ(step.StartYPx, p.Y);
    }
  }
  EXPECT_GT(bounces, 10);
}

TEST_F(MotionPath, BounceReflectsTheDirectionAtTheEdgeItHits) {
  TMoving path(&scene);
  TMovingStepValues v = Area(mskBounce, 0, 0, 100, 100);
  v.StartX = 0, v.StartY = 50;
  v.Angle = 0;
  v.SpeedStart = v.SpeedEnd = 30;
  path.AddStepWith(v, nullptr);
  EXPECT_EQ(path.Step(0).DirectionX, 1);
  std::vector<int> xs;
  for (int i = 0; i < 5; ++i) xs.push_back(path.CalcPosition(true).X);
  EXPECT_EQ(xs, (std::vector<int>{30, 60, 90, 100, 70}));
  EXPECT_EQ(path.Step(0).DirectionX, -1);
}

TEST_F(MotionPath, RandomPointsHoldEachPointForDurationPlusOneCalculations) {
  TMoving path(&scene);
  TMovingStepValues v = Area(mskRandomPoints, 0, 0, 400, 50);
  v.Duration = 2;
  path.AddStepWith(v, nullptr);
  const TPoint first = path.CalcPosition(true);
  EXPECT_EQ(path.CalcPosition(true), first);
  EXPECT_EQ(path.CalcPosition(true), first);
  const TPoint second = path.CalcPosition(true);
  EXPECT_NE(second, first);
  EXPECT_TRUE(second.X >= 0 && second.X < 400 && second.Y >= 0 && second.Y < 50);
}

TEST_F(MotionPath, RandIntOfZeroOrLessIsZeroAndAnEmptyRectangleKeepsItsCorner) {
  EXPECT_EQ(RandInt(0), 0);
  EXPECT_EQ(RandInt(-7), 0);
  TMoving path(&scene);
  path.AddStepWith(Area(mskRandomPoints, 20, 30, 20, 30), nullptr);
  EXPECT_EQ(path.CalcPosition(true), Point(20, 30));
}

TEST_F(MotionPath, APathWithoutStepsSitsAtTheOriginAndAStepIndexOutOfRangeIsTheFirst) {
  TMoving path(&scene);
  path.LastX = 4;
  EXPECT_EQ(path.CalcPosition(true), Point(0, 0));
  EXPECT_EQ(path.Changed, 1);
  EXPECT_EQ(path.CalcPosition(true), Point(0, 0));
  EXPECT_EQ(path.Changed, 0);
  path.AddStepWith(HoldAt(0, 0), nullptr);
  path.CurrentIndex = 5;
  EXPECT_EQ(path.CurrentStepIndex(), 0);
  path.SetCurrentStepIndex(-3);
  EXPECT_EQ(path.CurrentIndex, 0);
}

// ---- Edits ----------------------------------------------------------------------------------------
// (What the records hold and undoing them is checked in UndoTest.)

TEST_F(MotionPath, AddStepPostsMotionStepAddedAndEditsRecordOnlyRealChanges) {
  std::vector<UINT> received;
  TWindowHandle window([&](TMessage& m) { received.push_back(m.Msg); });
  scene.NotifyWindow = window.Handle();
  RecordingUndo undo;
  TMoving path(&scene);
  EXPECT_EQ(path.AddStep(), 0);
  ProcessMessages();
  EXPECT_EQ(received, std::vector<UINT>{WM_MOTIONSTEPADDED});
  path.ChangeStep(0, HoldAt(5, 5, 2), nullptr);
  path.SetPositionUnits(1);  // unchanged: nothing recorded
  path.SetPositionUnits(0);
  path.SetSpeedUnits(0);
  path.DeleteStep(0);
  path.AddStepWith(HoldAt(0, 0, 1), nullptr);  // no undo
  EXPECT_EQ(undo.Captions(), (std::vector<std::string>{"Add Motion", "Change Motion", "Change Position Units",
                                                       "Change Speed Units", "Delete Motion"}));
}

TEST_F(MotionPath, MoveStepReordersWithoutRecordingAndIgnoresIndicesOutOfRange) {
  RecordingUndo undo;
  TMoving path(&scene);
  for (int x : {1, 2, 3}) path.AddStepWith(HoldAt(x, 0, 1), nullptr);
  path.MoveStep(0, 2);
  EXPECT_EQ(std::vector<double>({path.Step(0).StartX, path.Step(1).StartX, path.Step(2).StartX}),
            (std::vector<double>{2, 3, 1}));
  path.MoveStep(2, 1);
  EXPECT_EQ(std::vector<double>({path.Step(0).StartX, path.Step(1).StartX, path.Step(2).StartX}),
            (std::vector<double>{2, 1, 3}));
  path.MoveStep(-1, 0);
  path.MoveStep(0, 3);
  path.MoveStep(3, 0);
  EXPECT_EQ(std::vector<double>({path.Step(0).StartX, path.Step(1).StartX, path.Step(2).StartX}),
            (std::vector<double>{2, 1, 3}));
  EXPECT_TRUE(undo.Captions().empty());
}

// ---- Effect steps ----------------------------------------------------------------------------

class EffectSteps : public MotionPath {
 protected:
  EffectSteps() : sprite(&scene) {}

  static TMovingStepValues Effect(int kind, int clones) {
    TMovingStepValues v = Area(kind, 0, 0, 200, 50);
    v.CloneCount = clones;
    v.EffectDelay = 10;
    v.OpacityStart = 40;
    return v;
  }

  TSprite sprite;
};

TEST_F(EffectSteps, DirectionalEffectAt270StartsClonesOnTheTopEdgeAndMovesThemStraightDown) {
  TMovingStepValues v = Effect(mskDirectional, 40);
  v.EffectAngle = 270;
  sprite.Motion().AddStepWith(v, &sprite);
  const auto& clones = sprite.Motion().Step(0).EffectSprites();
  ASSERT_EQ(clones.size(), 40u);
  int onTop = 0;
  for (const auto& clone : clones) {
    const TMoving& path = clone->Motion();
    ASSERT_EQ(path.StepCount(), 2);
    const TMovingStep& wait = path.Step(0);
    const TMovingStep& move = path.Step(1);
    EXPECT_EQ(std::tie(wait.Kind, wait.Hide, move.Kind), std::make_tuple(mskHold, 1, mskLine));
    EXPECT_TRUE(wait.Duration >= 0 && wait.Duration < 10) << wait.Duration;
    EXPECT_EQ(move.OpacityStart, 100);
    EXPECT_EQ(wait.ShadowOn + move.ShadowOn, 0);
    if (move.StartY == 0.0) {
      ++onTop;
      EXPECT_EQ(static_cast<double>(move.X2), static_cast<double>(move.X1));  // straight down
      EXPECT_GT(move.Y2, move.Y1);
    } else {
      EXPECT_EQ(static_cast<double>(move.StartX), 200.0);  // r = 0: the right edge
    }
    EXPECT_EQ(clone->Parent(), &sprite);
  }
  EXPECT_GE(onTop, 35);

  TMovingStepValues odd = Effect(mskDirectional, 2);
  odd.EffectAngle = 400;
  sprite.Motion().AddStepWith(odd, &sprite);
  EXPECT_EQ(sprite.Motion().Step(1).EffectAngle, 270) << "an angle out of range is 270";
}

TEST_F(EffectSteps, BurstClonesLeaveTheCentreForAPointOnAnEdge) {
  sprite.Motion().AddStepWith(Effect(mskBurst, 30), &sprite);
  for (const auto& clone : sprite.Motion().Step(0).EffectSprites()) {
    const TMovingStep& move = clone->Motion().Step(1);
    EXPECT_TRUE(move.EffectSprites().empty()) << "clones make no clones of their own";
    EXPECT_EQ(static_cast<double>(move.StartX), 100.0);
    EXPECT_EQ(static_cast<double>(move.StartY), 25.0);
    // Run the clone's line to its end: it ends on the rectangle's border.
    TMoving& path = clone->Motion();
    path.SetCurrentStepIndex(1);
    TPoint p{};
    for (int i = 0; i < 500 && path.CurrentStepIndex() == 1; ++i) p = path.CalcPosition(true);
    EXPECT_TRUE(p.X == 0 || p.X == 200 || p.Y == 0 || p.Y == 50) << p.X << "," << p.Y;
  }
}

TEST_F(EffectSteps, PreparingAgainMakesNewClonesAndMarksTheSpriteMoved) {
  sprite.Motion().AddStepWith(Effect(mskBurst, 3), &sprite);
  const TEffectSprite* before = sprite.Motion().Step(0).EffectSprites()[0].get();
  const std::int32_t lastX = sprite.Motion().LastX;
  sprite.Motion().PrepareSteps(&sprite);
  EXPECT_EQ(sprite.Motion().Step(0).EffectSprites().size(), 3u);
  EXPECT_NE(sprite.Motion().Step(0).EffectSprites()[0].get(), before);
  EXPECT_EQ(sprite.Motion().LastX, lastX + 1);
}

TEST_F(EffectSteps, StoredCloneCountsAreCutSoThatAPathCannotExhaustMemory) {
  sprite.Motion().AddStepWith(Effect(mskBurst, 4000), &sprite);
  sprite.Motion().AddStepWith(Effect(mskBurst, 4000), &sprite);
  EXPECT_EQ(sprite.Motion().Step(0).EffectSprites().size() + sprite.Motion().Step(1).EffectSprites().size(),
            static_cast<std::size_t>(TMoving::kMaxClonesPerPath));
}

// ---- Frames, fitting and hot spots -------------------------------------------------------------

TEST_F(MotionPath, FitToSceneScalesTheFrameToTheSceneKeepsAspectWhenAskedAndSkipsAPictureWithoutArea) {
  TSprite sprite(&scene);
  TFrame& frame = *sprite.AddFrame();  // the 29 x 29 placeholder
  TMoving& path = sprite.Motion();
  path.AddStepWith(HoldAt(10, 10), &sprite);
  path.FitToScene = 1;
  path.CalcPosition(true);
  EXPECT_NEAR(path.ZoomX, 468.0 / 29, 1e-9);
  EXPECT_NEAR(path.ZoomY, 60.0 / 29, 1e-9);
  path.KeepAspect = 1;
  path.CalcPosition(true);
  EXPECT_NEAR(path.ZoomX, 60.0 / 29, 1e-9);
  EXPECT_NEAR(path.ZoomY, 60.0 / 29, 1e-9);
  frame.ImageWidth = 0;
  path.HotSpotX = 50;
  const TPoint p = path.CalcPosition(true);
  EXPECT_TRUE(std::isfinite(static_cast<double>(path.ZoomX)));
  EXPECT_EQ(p.X, 10) << "a per-cent hot spot of no width";
}

TEST_F(MotionPath, HotSpotInPerCentIsTakenFromTheZoomedFrame) {
  TSprite sprite(&scene);
  sprite.AddFrame();
  TMoving& path = sprite.Motion();
  TMovingStepValues v = HoldAt(100, 40);
  v.ZoomXStart = v.ZoomXEnd = 2.0;
  path.AddStepWith(v, &sprite);
  path.HotSpotX = 50;
  path.HotSpotY = 50;
  // 2 x 29 x 50% = 29; 1 x 29 x 50% = 14.5, which rounds to the even 14.
  EXPECT_EQ(path.CalcPosition(true), Point(71, 26));
  path.HotSpotInPercent = 0;
  path.HotSpotX = 5;
  path.HotSpotY = 3;
  EXPECT_EQ(path.CalcPosition(true), Point(95, 37));
}

TEST_F(MotionPath, ASpriteChangesWhenItsFrameHasHadItsTimeAndNeverWithOneFrame) {
  for (int frames : {1, 2}) {
    SCOPED_TRACE(frames);
    TSprite sprite(&scene);
    for (int i = 0; i < frames; ++i) sprite.AddFrame()->StoreDuration(2);
    TMoving& path = sprite.Motion();
    path.AddStepWith(HoldAt(0, 0, 0), &sprite);
    path.CalcPosition(true);
    std::vector<int> changed, shown;
    for (int i = 0; i < 6; ++i) {
      path.CalcPosition(true);
      changed.push_back(path.Changed);
      shown.push_back(sprite.GetCurrentFrameIndex());
    }
    EXPECT_EQ(shown, frames == 1 ? std::vector<int>(6, 0) : (std::vector<int>{1, 1, 0, 0, 1, 1}));
    EXPECT_EQ(changed, frames == 1 ? std::vector<int>(6, 0) : (std::vector<int>{1, 0, 1, 0, 1, 0}));
  }
}

// ---- Records ------------------------------------------------------------------------------------

TEST_F(MotionPath, PathRecordRoundTripsAtTheNewestVersionAndUndoModeAppendsTheId) {
  TSprite sprite(&scene);
  TMoving& path = sprite.Motion();
  TMovingStepValues v = LineFrom(1.5, 2.25, 300, 40, 3.75);
  v.ZoomYStart = 0.5, v.ZoomYEnd = 1.5;
  v.Angle = 17, v.Duration = 7, v.EffectAngle = 90, v.Hide = 1, v.EffectDelay = 3;
  v.OpacityStart = 20, v.OpacityEnd = 80;
  path.AddStepWith(v, &sprite);
  path.Step(0).ShadowOn = 1;
  path.Step(0).ShadowColorEnd = 0x123456;
  path.LoopLimit = 2;
  path.HotSpotX = 10, path.HotSpotY = 20, path.HotSpotInPercent = 0, path.FitToScene = 1, path.KeepAspect = 1;
  TMemoryStream stream;
  path.SaveToStream(stream);
  // 4 + step (4 + 6x6 + 4 + 4x6 + 2x6 + 4 + 4 + 6 + 4 + 1 + 4 + 8 + 1 + 40) + 4 + 2 + 10 + 1
  EXPECT_EQ(stream.Size(), 4 + 152 + 4 + 2 + 10 + 1);
  stream.SetPosition(0);
  TSprite copy(&scene);
  copy.Motion().LoadFromStream(stream, &copy);
  EXPECT_EQ(stream.Remaining(), 0);
  TMemoryStream again;
  copy.Motion().SaveToStream(again);
  EXPECT_EQ(StreamBytes(again), StreamBytes(stream));
  EXPECT_DOUBLE_EQ(copy.Motion().Step(0).SpeedStart, 3.75);
  path.Id = 0x01020304;
  TMemoryStream withId;
  UndoMode = 1;
  path.SaveToStream(withId);
  UndoMode = 0;
  EXPECT_EQ(StreamBytes(withId), StreamBytes(stream) + std::string("\x04\x03\x02\x01", 4));
}

TEST_F(MotionPath, OldVersionsLeaveOutTheirGatedFieldsAndTakeZoomYFromZoomX) {
  TMoving path(&scene);
  TMovingStepValues v = LineFrom(0, 0, 10, 10, 1);
  v.ZoomXStart = 2.0, v.ZoomXEnd = 3.0;
  v.ZoomYStart = 5.0;
  path.AddStepWith(v, nullptr);
  TMemoryStream stream;
  path.WriteRecord(stream, 4, false);
  EXPECT_EQ(stream.Size(), 4 + 82 + 4 + 2);
  stream.SetPosition(0);
  TMoving copy(&scene);
  copy.ReadRecord(stream, nullptr, 4, false);
  EXPECT_DOUBLE_EQ(copy.Step(0).ZoomYStart, 2.0);
  EXPECT_DOUBLE_EQ(copy.Step(0).ZoomYEnd, 3.0);
  TMemoryStream oldest;
  path.WriteRecord(oldest, 1, false);
  EXPECT_EQ(oldest.Size(), 4 + 82 + 4);
}

TEST_F(MotionPath, LoadingAPerCentPathConvertsItToPixelsOfTheSceneAndClearsTheHotSpot) {
  for (int units : {0, 1}) {
    SCOPED_TRACE(units);
    TMoving stored(&scene);
    stored.PositionUnits = units;
    stored.SpeedUnits = units;
    stored.HotSpotX = 30;
    stored.HotSpotY = 40;
    stored.AddStepWith(LineFrom(50, 50, 100, 100, 10), nullptr);
    TMemoryStream stream;
    stored.SaveToStream(stream);
    stream.SetPosition(0);
    TSprite sprite(&scene);
    sprite.Motion().LoadFromStream(stream, &sprite);
    const TMoving& path = sprite.Motion();
    const TMovingStep& step = path.Step(0);
    EXPECT_EQ(path.PositionUnits + path.SpeedUnits, 2);
    const bool perCent = units == 0;
    EXPECT_EQ((std::vector<double>{step.X1, step.Y2, step.StartX, step.SpeedStart}),
              perCent ? (std::vector<double>{234, 60, 234, 47}) : (std::vector<double>{50, 100, 50, 10}));
    EXPECT_EQ(std::pair(path.HotSpotX, path.HotSpotY), perCent ? std::pair(0, 0) : std::pair(30, 40));
  }
}

TEST_F(MotionPath, HostileRecordsFailWithAReadErrorAndNeverCrash) {
  TMoving stored(&scene);
  stored.AddStepWith(LineFrom(0, 0, 10, 10, 1), nullptr);
  stored.AddStepWith(HoldAt(0, 0, 1), nullptr);
  TMemoryStream full;
  stored.SaveToStream(full);
  for (std::int64_t cut = 0; cut < full.Size(); ++cut) {
    TReadOnlyMemoryStream truncated(full.Memory(), cut);
    TMoving path(&scene);
    EXPECT_THROW(path.LoadFromStream(truncated, nullptr), EReadError) << "cut at " << cut;
  }
  for (std::int32_t count : {0x7FFFFFFF, -1}) {
    TMemoryStream stream;
    stream.WriteInt32(count);
    stream.SetPosition(0);
    TMoving path(&scene);
    EXPECT_THROW(path.LoadFromStream(stream, nullptr), EReadError) << count;
  }
  // (Values beyond any scene are checked with the sprite records.)
}

TEST_F(MotionPath, CopyFromTakesTheOtherPathsStepsAndSettingsButNotItsId) {
  TSprite sprite(&scene);
  TMoving other(&scene);
  other.AddStepWith(LineFrom(0, 0, 100, 0, 5), nullptr);
  other.AddStepWith(HoldAt(9, 9, 3), nullptr);
  other.LoopLimit = 4;
  SaveVersion = 4;  // a save in progress at an old version does not narrow the copy
  sprite.Motion().CopyFrom(other);
  SaveVersion = kNewestFormatVersion;
  EXPECT_EQ(sprite.Motion().StepCount(), 2);
  EXPECT_EQ(sprite.Motion().LoopLimit, 4);
  EXPECT_NE(sprite.Motion().Id, other.Id);
}

}  // namespace
