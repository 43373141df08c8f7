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

TMovingStepValues HoldAt(double x, double y, int duration = -1) {
  TMovingStepValues v;
  v.Kind = mskHold;
  v.StartX = x, v.StartY = y;
  v.Duration = duration;
  return v;
}

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
  EXPECT_FALSE(HiddenAt(1));
  EXPECT_FALSE(HiddenAt(3));
  EXPECT_TRUE(HiddenAt(5));
  EXPECT_FALSE(HiddenAt(7));
  EXPECT_FALSE(HiddenAt(9));
  EXPECT_TRUE(HiddenAt(10));
}

TEST_F(SpriteFixture, AnIntervalStartingNowRestartsTheFramesSources) {
  TFrame& frame = *sprite.AddFrame();
  auto gif = std::make_unique<TGifFile>();
  for (TColor color : {clRed, clBlue}) {
    TBitmap image;
    image.SetPixelFormat(pf8bit);
    image.Canvas().Brush().Color = color;
    image.SetSize(4, 4);
    image.Canvas().FillRect(Rect(0, 0, 4, 4));
    gif->AddGraphic(image);
  }
  frame.LoadGifSource(TGifFilePtr(gif.release()), false, 0);
  frame.AdvanceSource(-1);
  EXPECT_EQ(frame.DisplayImage.Pixel(1, 1), clBlue);
  sprite.AddInterval(7, 9);
  HiddenAt(8);
  EXPECT_EQ(frame.DisplayImage.Pixel(1, 1), clBlue);
  HiddenAt(7);
  EXPECT_EQ(frame.DisplayImage.Pixel(1, 1), clRed);
}

TEST_F(SpriteFixture, AHiddenSpriteThatDoesNotContinueMovingRestartsItsPathAndFrames) {
  AddSolidFrame(5, 5, clRed, 1);
  AddSolidFrame(5, 5, clBlue, 1);
  TMovingStepValues line;
  line.Kind = mskLine;
  line.X2 = 90;
  line.SpeedStart = line.SpeedEnd = 3;
  sprite.Motion().AddStepWith(line, &sprite);
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
  // A sprite that continues moving goes on while hidden.
  sprite.SetContinueMoving(1);
  sprite.StepMotion(true);
  EXPECT_GT(static_cast<double>(sprite.Motion().Travelled), 0.0);
}

TEST_F(SpriteFixture, AHoldStepWithHideAndAPassedLoopLimitHideTheSprite) {
  AddSolidFrame(5, 5, clRed);
  TMovingStepValues hold = HoldAt(0, 0);
  hold.Hide = 1;
  sprite.Motion().AddStepWith(hold, &sprite);
  EXPECT_TRUE(HiddenAt(1));
  sprite.Motion().Step(0).Hide = 0;
  EXPECT_FALSE(HiddenAt(1));
  sprite.Motion().LoopLimit = 1;
  scene.LoopsDone = 1;
  EXPECT_FALSE(HiddenAt(1));
  scene.LoopsDone = 2;
  EXPECT_TRUE(HiddenAt(1));
}

TEST_F(SpriteFixture, ShowingAgainAfterBeingHiddenCountsAsAMove) {
  AddSolidFrame(5, 5, clRed);
  sprite.AddInterval(1, 2);
  sprite.Hidden = 1;
  const int lastX = sprite.Motion().LastX;
  EXPECT_FALSE(HiddenAt(1));
  EXPECT_EQ(sprite.Hidden, 0);
  EXPECT_EQ(sprite.Motion().LastX, lastX - 1);
}

// ---- Frames and rectangles --------------------------------------------------------------------------

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

TEST_F(SpriteFixture, GetRectOfASpriteWithoutFramesIsOnePixel) {
  sprite.Motion().AddStepWith(HoldAt(12, 7), &sprite);
  EXPECT_EQ(sprite.GetRect(), Rect(12, 7, 13, 8));
  EXPECT_EQ(sprite.GetShadowRect(), TRect{});
}

TEST_F(SpriteFixture, RectanglesFollowTheZoomAndTheShadowItsOffsetAndBlur) {
  AddSolidFrame(10, 20, clRed);
  TMovingStepValues hold = HoldAt(30, 10);
  hold.ZoomXStart = hold.ZoomXEnd = 1.5;
  sprite.Motion().AddStepWith(hold, &sprite);
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
  sprite.Draw(target, false);
  EXPECT_EQ(target.Pixel(7, 7), clRed);
  EXPECT_EQ(sprite.ImageDrawn, 1);
  EXPECT_TRUE(sprite.OnScreen());
  sprite.AddInterval(3, 4);
  MakeSolid(target, 100, 60, clWhite);
  sprite.Draw(target, false);
  EXPECT_EQ(sprite.Hidden, 1);
  EXPECT_FALSE(sprite.OnScreen());
  EXPECT_EQ(target.Pixel(7, 7), clWhite);
  scene.CurrentStep = 3;
  sprite.Draw(target, false);  // the latch holds until the visibility is tested again
  EXPECT_EQ(target.Pixel(7, 7), clWhite);
}

TEST_F(SpriteFixture, CommittingCopiesTheCurrentRectangleOnlyOnceTheImageWasDrawn) {
  sprite.CurrentRect = Rect(1, 2, 3, 4);
  sprite.ImageDrawn = 0;
  sprite.SetRectCommitted(1);
  EXPECT_EQ(sprite.DrawnRect, TRect{});
  sprite.ImageDrawn = 1;
  sprite.SetRectCommitted(1);
  EXPECT_EQ(sprite.DrawnRect, Rect(1, 2, 3, 4));
}

// ---- Effect sprites -------------------------------------------------------------------------------------

TEST_F(SpriteFixture, AnEffectSpriteSharesItsParentsFramesAndIntervals) {
  AddSolidFrame(5, 5, clRed);
  sprite.AddInterval(2, 4);
  {
    TEffectSprite clone(&sprite);
    EXPECT_EQ(clone.FrameCount(), 1);
    EXPECT_EQ(&clone.Frame(0), &sprite.Frame(0));
    EXPECT_EQ(clone.IntervalCount(), 1);
    EXPECT_EQ(clone.Motion().StepCount(), 0);
    EXPECT_EQ(clone.Motion().Sprite, &clone);
    EXPECT_EQ(clone.Frame(0).Sprite(), &sprite);
  }
  EXPECT_EQ(sprite.FrameCount(), 1);
  EXPECT_EQ(sprite.Frame(0).DisplayImage.Pixel(2, 2), clRed);
  EXPECT_EQ(sprite.IntervalCount(), 1);
}

// ---- Appearances and their records -------------------------------------------------------------------

TEST_F(SpriteFixture, AppearanceEditsRecordTheIntervalsOfTheSprite) {
  RecordingUndo undo;
  TStartAndFinish* interval = sprite.AddAppearance();
  EXPECT_EQ(interval->StartStep, 1);
  EXPECT_EQ(interval->EndStep, 3);
  sprite.SetContinueMoving(0);
  sprite.SetContinueMoving(1);
  sprite.DeleteAppearance(0);
  sprite.DeleteAppearance(5);
  sprite.AddInterval(4, 6);
  EXPECT_EQ(undo.Captions(), (std::vector<std::string>{"Add Appearance", "Sprite's Moving when it appearances",
                                                       "Delete Appearance"}));
  for (const auto& record : undo.records) {
    EXPECT_EQ(record.objectKind, uokIntervals);
    EXPECT_EQ(record.objectId, sprite.Id);
    EXPECT_EQ(record.recordKind, 1);
  }
  // The snapshot is written when the log asks for it: before the change it
  // describes is undone, it holds the intervals at that time.
  TMemoryStream snapshot;
  undo.writers[0](snapshot);
  EXPECT_EQ(snapshot.Size(), 4 + 8 + 2);
}

TEST_F(SpriteFixture, AppearancesRoundTripAndAHostileCountIsRefused) {
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
  EXPECT_EQ(copy.Interval(1).StartStep, 9);
  EXPECT_EQ(copy.Interval(1).EndStep, 12);
  EXPECT_EQ(copy.ContinueMoving(), 1);
  EXPECT_EQ(copy.AppearanceFlag, 7);
  EXPECT_EQ(copy.Interval(0).Sprite(), &copy);

  UndoMode = 1;
  TMemoryStream withIds;
  sprite.SaveAppearances(withIds);
  UndoMode = 0;
  EXPECT_EQ(withIds.Size(), 4 + 2 * 12 + 2);

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

TEST_F(SpriteFixture, AddingFramesRecordsTheAddedFrameById) {
  RecordingUndo undo;
  TShapeParams shape;
  shape.FillColor1 = shape.FillColor2 = static_cast<std::int32_t>(clBlue);
  shape.BackgroundColor = static_cast<std::int32_t>(clLime);
  const int rectangle = sprite.AddShape(fkRectangle, 20, 10, shape, true, clLime);
  const int line = sprite.AddLine(Point(0, 0), Point(10, 0), clWhite, 3, clRed, true);
  TBitmap picture;
  MakeSolid(picture, 6, 6, clGreen);
  T3DTextState state;
  state.Text = "Q";
  const int text3d = sprite.Add3DText(state, picture, false, 0);
  EXPECT_EQ(rectangle, 0);
  EXPECT_EQ(line, 1);
  EXPECT_EQ(text3d, 2);
  EXPECT_EQ(undo.Captions(), (std::vector<std::string>{"Add Shape", "Change Transparency",
                                                       "Change Transparent Color", "Add Line", "Add 3D Text"}));
  EXPECT_EQ(undo.records[0].objectKind, uokAddedFrame);
  EXPECT_EQ(undo.records[0].objectId, sprite.Frame(0).Id);
  EXPECT_EQ(undo.records[0].index, 0);
  EXPECT_FALSE(undo.records[0].hasWriter);
  EXPECT_EQ(undo.records[3].objectId, sprite.Frame(1).Id);
  EXPECT_EQ(undo.records[4].index, 2);

  const TFrame& shapeFrame = sprite.Frame(0);
  EXPECT_EQ(shapeFrame.Kind, fkRectangle);
  EXPECT_EQ(shapeFrame.DisplayImage.Pixel(10, 5), clBlue);
  const TFrame& lineFrame = sprite.Frame(1);
  EXPECT_EQ(lineFrame.Kind, fkLine);
  EXPECT_EQ(lineFrame.ImageWidth, 13);
  EXPECT_EQ(lineFrame.TransparentColor(), clWhite);
  EXPECT_EQ(lineFrame.Shape.BorderWidth, 3);
  EXPECT_EQ(lineFrame.Shape.BorderColor, static_cast<std::int32_t>(clRed));
  EXPECT_EQ(lineFrame.LineEnd, Point(10, 0));
  EXPECT_EQ(sprite.Frame(2).Kind, fkText3D);
  EXPECT_EQ(sprite.Frame(2).StartState.Text, "Q");
}

TEST_F(SpriteFixture, ChangingFramesRecordsTheFrameBeforeTheChange) {
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
  TShapeParams shape;
  sprite.ChangeShape(0, fkEllipse, 12, 12, shape, true, clBlack);
  sprite.ChangeLine(0, Point(0, 0), Point(0, 9), clWhite, 1, clRed, false, 0);
  sprite.Set3DTextAnimation(1, T3DTextState{}, T3DTextState{}, 5, 1);
  sprite.ChangeText(7, "ignored", text, picture, false, 0);
  sprite.DeleteFrame(0);
  EXPECT_EQ(undo.Captions(), (std::vector<std::string>{"Change Text", "Change 3D Text", "Change Shape",
                                                       "Change Line", "Change 3D Text", "Delete Frame"}));
  for (const auto& record : undo.records) {
    EXPECT_EQ(record.objectKind, uokFrame);
    EXPECT_EQ(record.objectId, sprite.Id);
    EXPECT_TRUE(record.hasWriter);
  }
  EXPECT_EQ(undo.records[0].index, 1);
  EXPECT_TRUE(undo.records[0].replace);
  EXPECT_FALSE(undo.records[5].replace);
  ASSERT_EQ(sprite.FrameCount(), 1);
  const TFrame& frame = sprite.Frame(0);
  EXPECT_EQ(frame.Kind, fkText3D);
  EXPECT_EQ(frame.Animation3D, 1);
  EXPECT_EQ(frame.SubFrameCount, 5);
  EXPECT_EQ(frame.Text, "Hi");
}

TEST_F(SpriteFixture, ChangingTheTextOfAFrameThatPlayedAGifStopsTheGif) {
  TFrame& frame = *sprite.AddFrame();
  auto gif = std::make_unique<TGifFile>();
  TBitmap image;
  image.SetPixelFormat(pf8bit);
  image.SetSize(4, 4);
  gif->AddGraphic(image);
  gif->AddGraphic(image);
  frame.LoadGifSource(TGifFilePtr(gif.release()), false, 0);
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
  TempDir dir;
};

TEST_F(PictureFiles, ABmpFileMakesOnePictureFrame) {
  TBitmap picture;
  MakeSolid(picture, 7, 5, clRed);
  const std::string name = dir.File("logo.bmp");
  picture.SaveToFile(name);
  RecordingUndo undo;
  EXPECT_EQ(sprite.AddPictureFile(name, false, 0, -1, -1, false), 0);
  ASSERT_EQ(sprite.FrameCount(), 1);
  EXPECT_EQ(sprite.Frame(0).Kind, fkPicture);
  EXPECT_EQ(sprite.Frame(0).FileName, name);
  EXPECT_EQ(sprite.Frame(0).ImageWidth, 7);
  ASSERT_EQ(undo.records.size(), 1u);
  EXPECT_EQ(undo.records[0].caption, "Add .BMP picture");
  EXPECT_EQ(undo.records[0].objectKind, uokAddedFrame);
}

TEST_F(PictureFiles, AFileThatCannotBeReadLeavesOneEmptyFrame) {
  EXPECT_EQ(sprite.AddPictureFile(dir.File("missing.bmp"), false, 0, -1, -1, false), -1);
  EXPECT_EQ(sprite.FrameCount(), 1);
  EXPECT_EQ(sprite.Frame(0).ImageWidth, 29);
  EXPECT_EQ(sprite.AddPictureFile(dir.WriteFile("notes.txt", "text"), false, 0, -1, -1, false), -1);
  EXPECT_EQ(sprite.FrameCount(), 1);
  EXPECT_EQ(sprite.AddPictureFile(dir.WriteFile("bad.gif", "GIF89a\x01"), false, 0, -1, -1, false), -1);
  EXPECT_EQ(sprite.FrameCount(), 1);
}

std::string WriteGif(const TempDir& dir, const std::vector<int>& delays) {
  TGifFile gif;
  const TColor colors[] = {clRed, clLime, clBlue, clYellow};
  for (std::size_t i = 0; i < delays.size(); ++i) {
    TBitmap image;
    image.SetPixelFormat(pf8bit);
    image.Canvas().Brush().Color = colors[i % 4];
    image.SetSize(6, 6);
    image.Canvas().FillRect(Rect(0, 0, 6, 6));
    gif.AddGraphic(image);
    gif.GetSubImage(gif.ImageCount())->SetDelay(delays[i]);
  }
  const std::string name = dir.File("anim.gif");
  gif.SaveToFile(name);
  return name;
}

TEST_F(PictureFiles, AGifMakesOneFramePerImageWithDurationsFromTheDelays) {
  const std::string name = WriteGif(dir, {10, 0, 20});
  std::vector<std::pair<WPARAM, LPARAM>> progress;
  TWindowHandle window([&](TMessage& m) {
    if (m.Msg == WM_LOADPROGRESS) progress.emplace_back(m.WParam, m.LParam);
  });
  scene.NotifyWindow = window.Handle();
  RecordingUndo undo;
  EXPECT_EQ(sprite.AddPictureFile(name, false, 0, -1, -1, false), 2);
  ASSERT_EQ(sprite.FrameCount(), 3);
  EXPECT_EQ(sprite.Frame(0).Duration(), 2);  // delay 10 at 50 ms
  EXPECT_EQ(sprite.Frame(1).Duration(), 4);  // delay 0
  EXPECT_EQ(sprite.Frame(2).Duration(), 4);
  EXPECT_EQ(sprite.Frame(2).DisplayImage.Pixel(2, 2), clBlue);
  EXPECT_EQ(undo.Captions(), std::vector<std::string>{"Add .GIF Frame"});
  EXPECT_EQ(undo.records[0].objectKind, uokSpriteInPlace);
  EXPECT_EQ(undo.records[0].objectId, sprite.Id);
  EXPECT_EQ(progress, (std::vector<std::pair<WPARAM, LPARAM>>{{0, 1}, {1, 3}, {2, 3}, {3, 3}, {1, 1}}));
}

TEST_F(PictureFiles, APartOfAGifStartsAtTheChosenImageComposedFromTheStart) {
  const std::string name = WriteGif(dir, {10, 10, 10, 10});
  EXPECT_EQ(sprite.AddPictureFile(name, false, 0, 2, 2, false), 1);
  ASSERT_EQ(sprite.FrameCount(), 2);
  EXPECT_EQ(sprite.Frame(0).DisplayImage.Pixel(2, 2), clLime);
  EXPECT_EQ(sprite.Frame(1).DisplayImage.Pixel(2, 2), clBlue);
}

TEST_F(PictureFiles, AGifKeptWholePlaysInOneFrame) {
  const std::string name = WriteGif(dir, {10, 10});
  EXPECT_EQ(sprite.AddPictureFile(name, false, 0, -1, -1, true), 0);
  ASSERT_EQ(sprite.FrameCount(), 1);
  EXPECT_EQ(sprite.Frame(0).SourceKind, fskGif);
  EXPECT_TRUE(sprite.Frame(0).PlaysKeptSource());
}

TEST_F(PictureFiles, AJpegKeepsItsBytes) {
  TBitmap picture;
  MakeSolid(picture, 9, 9, clRed);
  TJPEGImage jpeg;
  jpeg.Bitmap().Assign(&picture);
  const std::string name = dir.File("photo.jpg");
  jpeg.SaveToFile(name);
  RecordingUndo undo;
  EXPECT_EQ(sprite.AddPictureFile(name, false, 0, -1, -1, false), 0);
  EXPECT_EQ(sprite.Frame(0).SourceKind, fskJpeg);
  EXPECT_GT(sprite.Frame(0).KeptStream.Size(), 0);
  EXPECT_EQ(sprite.Frame(0).ImageWidth, 9);
  EXPECT_EQ(undo.Captions(), std::vector<std::string>{"Add .JPG Image"});
}

}  // namespace
