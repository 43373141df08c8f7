#include "app/core/AddCommands.h"

#include "app/core/FrameDefaults.h"
#include "platform/SysUtils.h"
#include "scene/Frame.h"
#include "tests/app/core/AppCoreTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// ---- Default looks ---------------------------------------------------------------------------------

TEST(FrameDefaults, RectangleIsAGreen50By50BoxOnWhite) {
  const TShapeFrameDefaults r = DefaultRectangleFrame();
  EXPECT_EQ(r.Kind, 4);
  EXPECT_EQ(r.Width, 50);
  EXPECT_EQ(r.Height, 50);
  EXPECT_EQ(r.Shape.GradientStyle, 0);
  EXPECT_EQ(r.Shape.FillColor1, 0x0000FF00);
  EXPECT_EQ(r.Shape.FillColor2, 0x0000FF00);
  EXPECT_EQ(r.Shape.BackgroundColor, 0x00FFFFFF);
  EXPECT_EQ(r.Shape.GradientAngle, 90);
  EXPECT_EQ(r.Shape.BevelStyle, 0);
  EXPECT_EQ(r.Shape.BevelWidth, 0);
  EXPECT_EQ(r.Shape.BevelColor1, 0x00FFFFFF);
  EXPECT_EQ(r.Shape.BevelColor2, 0x00808080);
  EXPECT_EQ(r.Shape.BorderWidth, 0);
  EXPECT_EQ(r.Shape.BorderColor, 0);
  EXPECT_EQ(r.Shape.CornerSize, 0);
  EXPECT_FALSE(r.Transparent);
  EXPECT_EQ(r.TransparentColor, 0x00FFFFFFu);
}

TEST(FrameDefaults, EllipseIsWiderTransparentAndFountainBevelled) {
  const TShapeFrameDefaults e = DefaultEllipseFrame();
  EXPECT_EQ(e.Kind, 5);
  EXPECT_EQ(e.Width, 100);
  EXPECT_EQ(e.Height, 50);
  EXPECT_EQ(e.Shape.BevelStyle, 1);
  EXPECT_EQ(e.Shape.FillColor1, 0x0000FF00);
  EXPECT_TRUE(e.Transparent);
  EXPECT_EQ(e.TransparentColor, 0x00FFFFFFu);
}

TEST(FrameDefaults, LineRunsFrom10To50InGreenOnAWhiteKey) {
  const TLineFrameDefaults l = DefaultLineFrame();
  EXPECT_EQ(l.Start, (TPoint{10, 10}));
  EXPECT_EQ(l.End, (TPoint{50, 50}));
  EXPECT_EQ(l.Width, 2);
  EXPECT_EQ(l.LineColor, 0x0000FF00u);
  EXPECT_EQ(l.Background, 0x00FFFFFFu);
  EXPECT_TRUE(l.Transparent);
}

TEST(FrameDefaults, PlainTextStartsAsTheTextPageShowsIt) {
  const TPlainTextDefaults t = DefaultPlainText();
  EXPECT_EQ(t.Text, "Your Text Here");
  EXPECT_EQ(t.FontName, "MS Sans Serif");
  EXPECT_EQ(t.SizeText, "8");
  EXPECT_EQ(t.Params.FontName, "MS Sans Serif");
  EXPECT_EQ(t.Params.FontHeight, -11);  // 8 points at 96 pixels per inch
  EXPECT_EQ(t.Params.Mode, tdmPlain);
}

TEST(FrameDefaults, The3DTextStateHoldsTheTableValuesAndZeroElsewhere) {
  const T3DTextState s = Default3DTextState();
  EXPECT_EQ(s.Text, "Text");
  EXPECT_EQ(s.FontName, "Arial");
  EXPECT_EQ(s.FontStyle, 0);
  EXPECT_EQ(s.Charset, 0);
  EXPECT_DOUBLE_EQ(s.Depth, 0.2);
  EXPECT_EQ(s.TextPositionX + s.TextPositionY + s.TextPositionZ, 0.0);
  EXPECT_EQ(s.TextRotationX + s.TextRotationY + s.TextRotationZ, 0.0);
  EXPECT_EQ(s.CameraPositionX, 0.0);
  EXPECT_DOUBLE_EQ(s.CameraPositionZ, 3.0);
  EXPECT_DOUBLE_EQ(s.ViewAngle, 20.0);
  const T3DLightState& l1 = s.Lights[0];
  EXPECT_EQ(l1.Enabled, 1);
  EXPECT_EQ(l1.Kind, 1);
  EXPECT_EQ(StateColor(l1.Color), 0x00808000u);
  EXPECT_DOUBLE_EQ(l1.DirectionX, 0.2);
  EXPECT_DOUBLE_EQ(l1.DirectionY, 0.2);
  EXPECT_DOUBLE_EQ(l1.DirectionZ, 1.0);
  EXPECT_DOUBLE_EQ(l1.CutOff, 45.0);
  EXPECT_DOUBLE_EQ(l1.PositionZ, -0.5);
  T3DLightState light2;
  light2.DirectionZ = 0.3;
  EXPECT_EQ(s.Lights[1], light2);
  EXPECT_EQ(s.Lights[2], T3DLightState{});
  EXPECT_EQ(s.MaterialOn, 1.0);
  EXPECT_EQ(StateColor(s.MaterialColor), 0x00CE6700u);
  EXPECT_EQ(s.Shininess, 25.0);
  EXPECT_EQ(s.TextureOn, 0.0);
  EXPECT_TRUE(s.TextureFileName.empty());
  EXPECT_EQ(s.TextureRotationX, 0.0);
  EXPECT_EQ(s.TextureRotationY, 180.0);
  EXPECT_EQ(s.TextureRotationZ, 180.0);
  EXPECT_EQ(s.TextureScaleX, 1.0);
  EXPECT_EQ(s.TextureScaleY, 1.0);
  EXPECT_EQ(s.BackgroundColor, 0.0);
  EXPECT_EQ(s.ImageWidth, 230);
  EXPECT_EQ(s.ImageHeight, 80);
  std::int32_t words[4];
  std::memcpy(words, s.Reserved.data(), 16);
  EXPECT_EQ(words[0], 0);
  EXPECT_EQ(words[1], 0);
  EXPECT_EQ(words[2], -1);
  EXPECT_EQ(words[3], 0);
}

// ---- Adding to a document -------------------------------------------------------------------------

class Adding : public DocumentTest {};

TEST_F(Adding, ANewRectangleSpriteHasTheGreenBoxOneStepAndOneAddSpriteRecord) {
  const TAddedItem added = AddSpriteWithDefaultFrame(scene, nfkRectangle);
  ASSERT_EQ(scene.SpriteCount(), 1);
  EXPECT_TRUE(added.SpriteCreated);
  EXPECT_EQ(added.SpriteIndex, 0);
  EXPECT_EQ(added.FrameIndex, 0);
  TSprite& sprite = scene.Sprite(0);
  EXPECT_EQ(added.Sprite, &sprite);
  EXPECT_EQ(sprite.Name, "Sprite 1");
  ASSERT_EQ(sprite.FrameCount(), 1);
  TFrame& frame = sprite.Frame(0);
  EXPECT_EQ(frame.Kind, fkRectangle);
  EXPECT_EQ(frame.Shape, DefaultRectangleFrame().Shape);
  RestoreFrameImage(frame.Picture);
  EXPECT_EQ(frame.Picture.Width(), 50);
  EXPECT_EQ(frame.Picture.Height(), 50);
  for (const TPoint p : {TPoint{0, 0}, TPoint{25, 25}, TPoint{49, 49}})
    EXPECT_EQ(frame.Picture.Pixel(p.X, p.Y) & 0xFFFFFF, 0x00FF00u) << p.X;
  EXPECT_FALSE(frame.Transparent());

  ASSERT_EQ(sprite.Motion().StepCount(), 1);
  const TMovingStep& step = sprite.Motion().Step(0);
  EXPECT_EQ(step.Kind, mskHold);
  EXPECT_EQ(double(step.X1), 0.0);
  EXPECT_EQ(double(step.Y1), 0.0);
  EXPECT_EQ(double(step.X2), 40.0);
  EXPECT_EQ(double(step.Y2), 40.0);
  EXPECT_EQ(double(step.ZoomXStart), 1.0);
  EXPECT_EQ(double(step.ZoomYEnd), 1.0);
  EXPECT_EQ(step.Duration, 9);

  EXPECT_EQ(RecordCount(), 1);
  EXPECT_EQ(undo.Caption(), "Add Sprite");
  undo.Undo();
  EXPECT_EQ(scene.SpriteCount(), 0);
  EXPECT_TRUE(undo.Empty());
}

TEST_F(Adding, AnEllipseIsTransparentWhiteAroundAGreenCentre) {
  AddSpriteWithDefaultFrame(scene, nfkEllipse);
  TFrame& frame = scene.Sprite(0).Frame(0);
  EXPECT_EQ(frame.Kind, fkEllipse);
  EXPECT_TRUE(frame.Transparent());
  EXPECT_EQ(frame.TransparentColor(), clWhite);
  RestoreFrameImage(frame.Picture);
  EXPECT_EQ(frame.Picture.Width(), 100);
  EXPECT_EQ(frame.Picture.Height(), 50);
  EXPECT_EQ(frame.Picture.Pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(frame.Picture.Pixel(50, 25) & 0xFFFFFF, 0x00FF00u);
}

TEST_F(Adding, ALineOfWidth2From10To50Makes42By42Picture) {
  AddSpriteWithDefaultFrame(scene, nfkLine);
  TFrame& frame = scene.Sprite(0).Frame(0);
  EXPECT_EQ(frame.Kind, fkLine);
  EXPECT_EQ(frame.LineStart, (TPoint{10, 10}));
  EXPECT_EQ(frame.LineEnd, (TPoint{50, 50}));
  EXPECT_EQ(frame.Shape.BorderWidth, 2);
  EXPECT_EQ(frame.Shape.BorderColor, 0x0000FF00);
  EXPECT_EQ(frame.Shape.BackgroundColor, 0x00FFFFFF);
  EXPECT_TRUE(frame.Transparent());
  EXPECT_EQ(frame.TransparentColor(), clWhite);
  RestoreFrameImage(frame.Picture);
  EXPECT_EQ(frame.Picture.Width(), 42);
  EXPECT_EQ(frame.Picture.Height(), 42);
}

TEST_F(Adding, A3DTextFrameHoldsTheDefaultStateInBothStatesAndABlankPicture) {
  AddSpriteWithDefaultFrame(scene, nfkText3D);
  TFrame& frame = scene.Sprite(0).Frame(0);
  EXPECT_EQ(frame.Kind, fkText3D);
  EXPECT_EQ(frame.StartState, Default3DTextState());
  EXPECT_EQ(frame.EndState, Default3DTextState());
  EXPECT_EQ(frame.Text, "Text");
  EXPECT_EQ(frame.ImageWidth, 230);
  EXPECT_EQ(frame.ImageHeight, 80);
  EXPECT_FALSE(frame.Transparent());
  EXPECT_EQ(frame.TransparentColor(), clWhite);
}

TEST_F(Adding, AFrameAddedToASpriteWithFramesIsUndoneAloneWithItsCaption) {
  AddSpriteWithDefaultFrame(scene, nfkRectangle);
  TSprite& sprite = scene.Sprite(0);
  const std::string before = SceneSnapshot(scene);
  const std::vector<std::pair<TNewFrameKind, std::string>> kinds = {
      {nfkRectangle, "Add Frame with Rectangle"},
      {nfkEllipse, "Add Frame with Ellipse"},
      {nfkLine, "Add Frame with Line"},
      {nfkText3D, "Add Text Frame"}};
  for (const auto& [kind, caption] : kinds) {
    const TAddedItem added = AddDefaultFrame(sprite, kind);
    EXPECT_FALSE(added.SpriteCreated);
    EXPECT_EQ(added.FrameIndex, 1);
    EXPECT_EQ(sprite.FrameCount(), 2);
    EXPECT_EQ(undo.Caption(), caption);
    EXPECT_EQ(LastInt(TUndo::kRecordKindAt), urkSpriteEdit);
    EXPECT_EQ(LastInt(TUndo::kObjectKindAt), uokAddedFrame);
    EXPECT_EQ(LastInt(TUndo::kObjectIdAt), sprite.Frame(1).Id);
    EXPECT_EQ(sprite.Motion().StepCount(), 1) << "the existing step is kept";
    undo.Undo();
    EXPECT_TRUE(SceneSnapshot(scene) == before) << caption;
  }
  EXPECT_EQ(undo.Caption(), "Add Sprite");
}

TEST_F(Adding, AFrameAddedToAnEmptySpriteWithoutStepsIsUndoneWithTheWholeSprite) {
  int index = 0;
  TSprite& sprite = *scene.AddSprite(index);
  undo.Clear();
  const std::string before = SceneSnapshot(scene);
  AddDefaultFrame(sprite, nfkEllipse);
  EXPECT_EQ(sprite.FrameCount(), 1);
  EXPECT_EQ(sprite.Motion().StepCount(), 1);
  EXPECT_EQ(RecordCount(), 1);
  EXPECT_EQ(undo.Caption(), "Add Frame with Ellipse");
  EXPECT_EQ(LastInt(TUndo::kObjectKindAt), uokSpriteInPlace);
  undo.Undo();
  EXPECT_TRUE(SceneSnapshot(scene) == before);
}

TEST_F(Adding, AStepAddedToASpriteWithFramesIsTakenBackByItsUndo) {
  int index = 0;
  TSprite& sprite = *scene.AddSprite(index);
  sprite.AddShape(fkRectangle, 10, 10, TShapeParams{}, false, 0);
  undo.Clear();
  const std::string before = SceneSnapshot(scene);
  AddDefaultFrame(sprite, nfkLine);
  EXPECT_EQ(sprite.Motion().StepCount(), 1);
  EXPECT_EQ(RecordCount(), 1);
  undo.Undo();
  EXPECT_TRUE(SceneSnapshot(scene) == before);
}

TEST_F(Adding, AFailingFillRemovesTheNewSpriteAndRecordsNothing) {
  AddSpriteWithDefaultFrame(scene, nfkRectangle);
  const std::string before = SceneSnapshot(scene);
  const int records = RecordCount();
  EXPECT_THROW(AddSpriteThen(scene,
                             [](TSprite& sprite, TAddedItem&) {
                               sprite.AddFrame();
                               throw EOutOfMemory("Out of memory");
                             }),
               EOutOfMemory);
  EXPECT_TRUE(SceneSnapshot(scene) == before);
  EXPECT_EQ(RecordCount(), records);
  EXPECT_EQ(undo.RecordingAllowed, 1) << "recording is on again after the failure";
}

TEST_F(Adding, RecordingStaysOffWhenItWasPausedAroundTheAdd) {
  {
    const TUndoRecordingPause outer;
    AddSpriteWithDefaultFrame(scene, nfkLine);
    EXPECT_EQ(undo.RecordingAllowed, 0);
  }
  EXPECT_TRUE(undo.Empty());
  EXPECT_EQ(undo.RecordingAllowed, 1);
}

TEST_F(Adding, ADefaultStepIsAddedOnlyToAPathWithoutSteps) {
  int index = 0;
  TSprite& sprite = *scene.AddSprite(index);
  undo.Clear();
  EXPECT_TRUE(AddDefaultStepWhenNone(sprite));
  EXPECT_FALSE(AddDefaultStepWhenNone(sprite));
  EXPECT_EQ(sprite.Motion().StepCount(), 1);
  EXPECT_TRUE(undo.Empty());
}

}  // namespace
