#include "scene/Sprite.h"

#include "imaging/GifUnit.h"
#include "imaging/JpgImg.h"
#include "platform/Messages.h"
#include "platform/Streams.h"
#include "scene/Frame.h"
#include "scene/SceneGlobals.h"
#include "scene/SpriteU.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

class SpriteFixture : public testing::Test {
 protected:
  SpriteFixture() : sprite(&scene) {
    scene.Width = 100;
    scene.Height = 60;
  }

  TFrame& AddSolidFrame(int w, int h, TColor color, int duration = 1) {
    TBitmap picture;
    MakeSolid(picture, w, h, color);
    TFrame& frame = *sprite.AddFrame();
    frame.SetPicture(picture, false, 0, -1, -1);
    frame.StoreDuration(duration);
    return frame;
  }

  // Visibility at a step, as the scene asks it while composing.
  bool HiddenAt(int step) {
    scene.CurrentStep = step;
    return sprite.UpdateHidden();
  }

  TAnimatedScene scene;
  TSprite sprite;
};

// ---- Visibility ---------------------------------------------------------------------------------------

TEST_F(SpriteFixture, IntervalsIncludeBothEndsAndASpriteWithoutIntervalsIsShown) {
  AddSolidFrame(5, 5, clRed);
  EXPECT_FALSE(HiddenAt(40));
  sprite.AddInterval(1, 3);
  sprite.AddInterval(7, 9);
  std::vector<bool> hidden;
  for (int step : {1, 3, 5, 7, 9, 10}) hidden.push_back(HiddenAt(step));
  EXPECT_EQ(hidden, (std::vector<bool>{false, false, true, false, false, true}));
  // Showing again after being hidden counts as a move.
  sprite.Hidden = 1;
  const int lastX = sprite.Motion().LastX;
  EXPECT_FALSE(HiddenAt(1));
  EXPECT_EQ(sprite.Hidden, 0);
  EXPECT_EQ(sprite.Motion().LastX, lastX - 1);
}

TEST_F(SpriteFixture, AHoldStepWithHideAndAPassedLoopLimitHideTheSprite) {
  AddSolidFrame(5, 5, clRed);
  TMovingStepValues hold = HoldAt(0, 0);
  hold.Hide = 1;
  sprite.Motion().AddStepWith(hold, &sprite);
  EXPECT_TRUE(HiddenAt(1));
  sprite.Motion().Step(0).Hide = 0;
  sprite.Motion().LoopLimit = 1;
  scene.LoopsDone = 1;
  EXPECT_FALSE(HiddenAt(1));
  scene.LoopsDone = 2;
  EXPECT_TRUE(HiddenAt(1));
}

TEST_F(SpriteFixture, AnIntervalStartingNowRestartsTheFramesSources) {
  TFrame& frame = *sprite.AddFrame();
  frame.LoadGifSource(MakeGif({clRed, clBlue}), false, 0);
  frame.AdvanceSource(-1);
  sprite.AddInterval(7, 9);
  HiddenAt(8);
  EXPECT_EQ(frame.DisplayImage.Pixel(1, 1), clBlue);
  HiddenAt(7);
  EXPECT_EQ(frame.DisplayImage.Pixel(1, 1), clRed);
}

TEST_F(SpriteFixture, AHiddenSpriteThatDoesNotContinueMovingRestartsItsPathAndFrames) {
  AddSolidFrame(5, 5, clRed, 1);
  AddSolidFrame(5, 5, clBlue, 1);
  sprite.Motion().AddStepWith(LineFrom(0, 0, 90, 0, 3), &sprite);
  sprite.Motion().AddStepWith(HoldAt(0, 0), &sprite);
  sprite.AddInterval(1, 4);
  scene.CurrentStep = 1;
  for (int i = 0; i < 3; ++i) sprite.StepMotion(true);
  EXPECT_GT(static_cast<double>(sprite.Motion().Travelled), 0.0);
  scene.CurrentStep = 6;
  sprite.StepMotion(true);
  EXPECT_EQ(static_cast<double>(sprite.Motion().Travelled), 0.0);
  EXPECT_EQ(sprite.FrameIndex, 0);
  EXPECT_EQ(sprite.FrameStepCounter, 0);
  sprite.SetContinueMoving(1);
  sprite.StepMotion(true);
  EXPECT_GT(static_cast<double>(sprite.Motion().Travelled), 0.0) << "continues moving while hidden";
}

// ---- Frames, rectangles and drawing ------------------------------------------------------------------

TEST_F(SpriteFixture, AFrameWithDurationThreeShowsForThreeStepsThenTheNextAndWraps) {
  AddSolidFrame(5, 5, clRed, 3);
  AddSolidFrame(5, 5, clBlue, 1);
  std::vector<int> shown;
  for (int i = 0; i < 8; ++i) {
    sprite.AdvanceFrame();
    shown.push_back(sprite.GetCurrentFrameIndex());
  }
  EXPECT_EQ(shown, (std::vector<int>{0, 0, 1, 0, 0, 0, 1, 0}));
}

TEST_F(SpriteFixture, CurrentFrameIndexOutOfRangeMeansTheLastFrame) {
  EXPECT_EQ(sprite.CurrentFrame(), nullptr);
  AddSolidFrame(5, 5, clRed);
  AddSolidFrame(5, 5, clBlue);
  sprite.FrameIndex = 9;
  EXPECT_EQ(sprite.GetCurrentFrameIndex(), 1);
  sprite.SetCurrentFrameIndex(9);
  EXPECT_EQ(sprite.FrameIndex, 0);
}

TEST_F(SpriteFixture, RectanglesFollowTheZoomAndTheShadowItsOffsetAndBlur) {
  TMovingStepValues hold = HoldAt(30, 10);
  hold.ZoomXStart = hold.ZoomXEnd = 1.5;
  sprite.Motion().AddStepWith(hold, &sprite);
  EXPECT_EQ(sprite.GetRect(), Rect(30, 10, 31, 11)) << "without frames: one pixel";
  AddSolidFrame(10, 20, clRed);
  EXPECT_EQ(sprite.GetRect(), Rect(30, 10, 45, 30));
  EXPECT_EQ(sprite.GetShadowRect(), TRect{});
  TMovingStep& step = sprite.Motion().Step(0);
  step.ShadowOn = 1;
  step.ShadowBlurStart = step.ShadowBlurEnd = 2;
  step.ShadowOffsetStartX = step.ShadowOffsetStartY = 5;
  EXPECT_EQ(sprite.GetShadowRect(), Rect(33, 13, 52, 37));
}

TEST_F(SpriteFixture, DrawingPaintsTheCurrentFrameAndLatchesHiding) {
  AddSolidFrame(10, 10, clRed);
  sprite.Motion().AddStepWith(HoldAt(5, 5), &sprite);
  TBitmap target;
  MakeSolid(target, 100, 60, clWhite);
  scene.CurrentStep = 1;
  sprite.CurrentRect = Rect(1, 2, 3, 4);
  sprite.SetRectCommitted(1);
  EXPECT_EQ(sprite.DrawnRect, TRect{}) << "nothing drawn yet: nothing committed";
  sprite.Draw(target, false);
  EXPECT_EQ(target.Pixel(7, 7), clRed);
  EXPECT_TRUE(sprite.OnScreen());
  sprite.SetRectCommitted(1);
  EXPECT_EQ(sprite.DrawnRect, sprite.CurrentRect);
  sprite.AddInterval(3, 4);
  MakeSolid(target, 100, 60, clWhite);
  sprite.Draw(target, false);
  EXPECT_FALSE(sprite.OnScreen());
  scene.CurrentStep = 3;
  sprite.Draw(target, false);  // the latch holds until the visibility is tested again
  EXPECT_EQ(target.Pixel(7, 7), clWhite);
}

TEST_F(SpriteFixture, AnEffectSpriteSharesItsParentsFramesAndIntervalsAndLeavesThemWhenFreed) {
  AddSolidFrame(5, 5, clRed);
  sprite.AddInterval(2, 4);
  {
    TEffectSprite clone(&sprite);
    EXPECT_EQ(&clone.Frame(0), &sprite.Frame(0));
    EXPECT_EQ(clone.IntervalCount(), 1);
    EXPECT_EQ(clone.Motion().StepCount(), 0);
    EXPECT_EQ(clone.Motion().Sprite, &clone);
  }
  EXPECT_EQ(sprite.Frame(0).DisplayImage.Pixel(2, 2), clRed);
  EXPECT_EQ(sprite.IntervalCount(), 1);
}

// ---- Appearances ---------------------------------------------------------------------------------------

// (Undoing these edits is checked in UndoTest.)
TEST_F(SpriteFixture, OnlyRealAppearanceEditsAreRecordedAndTheSnapshotIsTakenWhenAsked) {
  RecordingUndo undo;
  TStartAndFinish* interval = sprite.AddAppearance();
  EXPECT_EQ(std::pair(interval->StartStep, interval->EndStep), std::pair(1, 3));
  sprite.SetContinueMoving(0);  // unchanged
  sprite.SetContinueMoving(1);
  sprite.DeleteAppearance(0);
  sprite.DeleteAppearance(5);  // no such appearance
  sprite.AddInterval(4, 6);    // not an edit
  EXPECT_EQ(undo.Captions(), (std::vector<std::string>{"Add Appearance", "Sprite's Moving when it appearances",
                                                       "Delete Appearance"}));
  // The snapshot is written when the log asks for it: now it holds one interval.
  TMemoryStream snapshot;
  undo.writers[0](snapshot);
  EXPECT_EQ(snapshot.Size(), 4 + 8 + 2);
}

TEST_F(SpriteFixture, AppearancesRoundTripAndHostileOrTruncatedRecordsAreRefused) {
  sprite.AddInterval(2, 5);
  sprite.AddInterval(9, 12);
  sprite.SetContinueMoving(1);
  sprite.AppearanceFlag = 7;
  TMemoryStream stream;
  sprite.SaveAppearances(stream);
  EXPECT_EQ(stream.Size(), 4 + 2 * 8 + 2);
  stream.SetPosition(0);
  TSprite copy(&scene);
  copy.AddInterval(1, 1);
  copy.LoadAppearances(stream);
  ASSERT_EQ(copy.IntervalCount(), 2);
  EXPECT_EQ(std::pair(copy.Interval(1).StartStep, copy.Interval(1).EndStep), std::pair(9, 12));
  EXPECT_EQ(copy.ContinueMoving(), 1);
  EXPECT_EQ(copy.AppearanceFlag, 7);
  EXPECT_EQ(copy.Interval(0).Sprite(), &copy);

  TMemoryStream hostile;
  hostile.WriteInt32(100000000);
  hostile.SetPosition(0);
  EXPECT_THROW(copy.LoadAppearances(hostile), EReadError);
  for (std::int64_t cut = 0; cut < stream.Size(); ++cut) {
    TReadOnlyMemoryStream truncated(stream.Memory(), cut);
    EXPECT_THROW(copy.LoadAppearances(truncated), EReadError) << "cut at " << cut;
  }
}

// ---- Adding and changing frames ------------------------------------------------------------------------

TEST_F(SpriteFixture, AddedFramesAreRecordedByIdAndATransparentShapeAlsoRecordsItsTransparency) {
  RecordingUndo undo;
  TShapeParams shape;
  shape.FillColor1 = shape.FillColor2 = static_cast<std::int32_t>(clBlue);
  EXPECT_EQ(sprite.AddShape(fkRectangle, 20, 10, shape, true, clLime), 0);
  EXPECT_EQ(sprite.AddLine(Point(0, 0), Point(10, 0), clWhite, 3, clRed, true), 1);
  TBitmap picture;
  MakeSolid(picture, 6, 6, clGreen);
  EXPECT_EQ(sprite.Add3DText(T3DTextState{}, picture, false, 0), 2);
  EXPECT_EQ(undo.Captions(), (std::vector<std::string>{"Add Shape", "Change Transparency",
                                                       "Change Transparent Color", "Add Line", "Add 3D Text"}));
  EXPECT_EQ(undo.records[3].objectId, sprite.Frame(1).Id);
  EXPECT_FALSE(undo.records[3].hasWriter);
  EXPECT_EQ(sprite.Frame(0).DisplayImage.Pixel(10, 5), clBlue);
  EXPECT_EQ(sprite.Frame(1).ImageWidth, 13);
  EXPECT_EQ(sprite.Frame(1).TransparentColor(), clWhite);
  EXPECT_EQ(sprite.Frame(2).Kind, fkText3D);
}

TEST_F(SpriteFixture, ChangingFramesRecordsEachChangeToAFrameThatExistsAndShowsTheFirstFrame) {
  AddSolidFrame(5, 5, clRed);
  AddSolidFrame(5, 5, clRed);
  RecordingUndo undo;
  TBitmap picture;
  MakeSolid(picture, 8, 4, clBlue);
  TText2DParams text;
  text.Mode = tdmPlain;
  sprite.FrameIndex = 1;
  sprite.ChangeText(1, "Hi", text, picture, false, 0);
  EXPECT_EQ(sprite.FrameIndex, 0);
  sprite.Change3DText(1, T3DTextState{}, 1, picture, false, 0);
  sprite.ChangeShape(0, fkEllipse, 12, 12, TShapeParams{}, true, clBlack);
  sprite.ChangeLine(0, Point(0, 0), Point(0, 9), clWhite, 1, clRed, false, 0);
  sprite.Set3DTextAnimation(1, T3DTextState{}, T3DTextState{}, 5, 1);
  sprite.ChangeText(7, "ignored", text, picture, false, 0);
  sprite.DeleteFrame(0);
  EXPECT_EQ(undo.Captions(), (std::vector<std::string>{"Change Text", "Change 3D Text", "Change Shape",
                                                       "Change Line", "Change 3D Text", "Delete Frame"}));
  ASSERT_EQ(sprite.FrameCount(), 1);
  const TFrame& frame = sprite.Frame(0);
  EXPECT_EQ(std::tie(frame.Kind, frame.Animation3D, frame.SubFrameCount), std::make_tuple(fkText3D, 1, 5));
}

TEST_F(SpriteFixture, ChangingTheTextOfAFrameThatPlayedAGifStopsTheGif) {
  TFrame& frame = *sprite.AddFrame();
  frame.LoadGifSource(MakeGif({clRed, clLime}), false, 0);
  ASSERT_TRUE(frame.HasSource());
  TBitmap picture;
  MakeSolid(picture, 8, 4, clBlue);
  sprite.ChangeText(0, "Hi", TText2DParams{}, picture, false, 0);
  EXPECT_FALSE(frame.HasSource());
  frame.AdvanceSource(-1);
  EXPECT_EQ(frame.DisplayImage.Pixel(2, 2), clBlue);
}

// ---- Picture files ------------------------------------------------------------------------------------------

class PictureFiles : public SpriteFixture {
 protected:
  int Add(const std::string& name, int first = -1, int last = -1, bool whole = false) {
    return sprite.AddPictureFile(name, false, 0, first, last, whole);
  }
  std::string WriteGif(const std::vector<int>& delays) {
    const std::vector<TColor> colors{clRed, clLime, clBlue, clYellow};
    const std::string name = dir.File("anim.gif");
    MakeGif({colors.begin(), colors.begin() + static_cast<std::ptrdiff_t>(delays.size())}, delays)->SaveToFile(name);
    return name;
  }
  TempDir dir;
};

TEST_F(PictureFiles, ABmpOrJpegMakesOnePictureFrameAndAJpegKeepsItsBytes) {
  TBitmap picture;
  MakeSolid(picture, 9, 5, clRed);
  const std::string bmp = dir.File("logo.bmp"), jpg = dir.File("photo.jpg");
  picture.SaveToFile(bmp);
  TJPEGImage jpeg;
  jpeg.Bitmap().Assign(&picture);
  jpeg.SaveToFile(jpg);
  RecordingUndo undo;
  EXPECT_EQ(Add(bmp), 0);
  EXPECT_EQ(Add(jpg), 1);
  ASSERT_EQ(sprite.FrameCount(), 2);
  EXPECT_EQ(std::tie(sprite.Frame(0).Kind, sprite.Frame(0).FileName, sprite.Frame(0).ImageWidth),
            std::make_tuple(fkPicture, bmp, 9));
  EXPECT_EQ(sprite.Frame(1).SourceKind, fskJpeg);
  EXPECT_GT(sprite.Frame(1).KeptStream.Size(), 0);
  EXPECT_EQ(sprite.Frame(1).ImageWidth, 9);
  EXPECT_EQ(undo.Captions(), (std::vector<std::string>{"Add .BMP picture", "Add .JPG Image"}));
}

TEST_F(PictureFiles, AFileThatCannotBeReadLeavesOneEmptyFrame) {
  for (const std::string& name :
       {dir.File("missing.bmp"), dir.WriteFile("notes.txt", "text"), dir.WriteFile("bad.gif", "GIF89a\x01")}) {
    EXPECT_EQ(Add(name), -1) << name;
    EXPECT_EQ(sprite.FrameCount(), 1);
    EXPECT_EQ(sprite.Frame(0).ImageWidth, 29) << "the placeholder";
  }
}

TEST_F(PictureFiles, AGifMakesOneFramePerImageWithDurationsFromTheDelays) {
  const std::string name = WriteGif({10, 0, 20});
  std::vector<std::pair<WPARAM, LPARAM>> progress;
  TWindowHandle window([&](TMessage& m) {
    if (m.Msg == WM_LOADPROGRESS) progress.emplace_back(m.WParam, m.LParam);
  });
  scene.NotifyWindow = window.Handle();
  RecordingUndo undo;
  EXPECT_EQ(Add(name), 2);
  ASSERT_EQ(sprite.FrameCount(), 3);
  // Delay 10 at 50 ms a step is 2; a delay of 0 is 4.
  EXPECT_EQ((std::vector<int>{sprite.Frame(0).Duration(), sprite.Frame(1).Duration(), sprite.Frame(2).Duration()}),
            (std::vector<int>{2, 4, 4}));
  EXPECT_EQ(sprite.Frame(2).DisplayImage.Pixel(2, 2), clBlue);
  EXPECT_EQ(undo.Captions(), std::vector<std::string>{"Add .GIF Frame"});
  EXPECT_EQ(progress, (std::vector<std::pair<WPARAM, LPARAM>>{{0, 1}, {1, 3}, {2, 3}, {3, 3}, {1, 1}}));
}

TEST_F(PictureFiles, APartOfAGifStartsAtTheChosenImageAndAWholeGifPlaysInOneFrame) {
  const std::string name = WriteGif({10, 10, 10, 10});
  EXPECT_EQ(Add(name, 2, 2), 1);
  ASSERT_EQ(sprite.FrameCount(), 2);
  EXPECT_EQ(sprite.Frame(0).DisplayImage.Pixel(2, 2), clLime);
  EXPECT_EQ(sprite.Frame(1).DisplayImage.Pixel(2, 2), clBlue);
  EXPECT_EQ(Add(name, -1, -1, true), 2);
  ASSERT_EQ(sprite.FrameCount(), 3);
  EXPECT_EQ(sprite.Frame(2).SourceKind, fskGif);
  EXPECT_TRUE(sprite.Frame(2).PlaysKeptSource());
}

}  // namespace
