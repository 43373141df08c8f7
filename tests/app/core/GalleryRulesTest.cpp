#include "app/core/GalleryRules.h"

#include "app/core/FrameDefaults.h"
#include "imaging/utils.h"
#include "scene/Frame.h"
#include "tests/app/core/AppCoreTestSupport.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

// A 3D state whose every light differs in kind from the default state's.
T3DTextState PresetState() {
  T3DTextState s = Default3DTextState();
  for (T3DLightState& light : s.Lights) light.Kind = light.Kind == 1 ? 0 : 1;
  s.Text = "Preset";
  s.TextPositionX = 9;
  s.ImageWidth = 99;
  s.BackgroundColor = 0x123456;
  return s;
}

// ---- 3D animation gallery --------------------------------------------------------------------------

TEST(AnimationPreset, APresetWhoseStartEqualsItsEndChangesOnlyTheLightKinds) {
  const T3DTextState preset = PresetState();
  T3DTextState start = Default3DTextState(), end = Default3DTextState();
  start.Depth = 0.7;
  start.TextRotationX = 33;
  CopyAnimatedFields(preset, preset, start, end);
  T3DTextState expectedStart = Default3DTextState(), expectedEnd = Default3DTextState();
  expectedStart.Depth = 0.7;
  expectedStart.TextRotationX = 33;
  for (std::size_t i = 0; i < 3; ++i) {
    expectedStart.Lights[i].Kind = preset.Lights[i].Kind;
    expectedEnd.Lights[i].Kind = preset.Lights[i].Kind;
  }
  EXPECT_EQ(start, expectedStart);
  EXPECT_EQ(end, expectedEnd);
}

TEST(AnimationPreset, OnlyAnimatedFieldsAreTakenStartToStartAndEndToEnd) {
  T3DTextState ps = PresetState(), pe = PresetState();
  pe.TextRotationY = 360;
  pe.CameraPositionZ = 10;
  pe.Lights[1].PositionX = 2;
  pe.TextureScaleX = 4;
  pe.TextPositionX = 50;  // never taken
  pe.Text = "Other";       // never taken
  ps.Lights[2].Enabled = 1;
  T3DTextState start = Default3DTextState(), end = Default3DTextState();
  start.TextRotationY = 5;
  CopyAnimatedFields(ps, pe, start, end);
  EXPECT_EQ(start.TextRotationY, 0);
  EXPECT_EQ(end.TextRotationY, 360);
  EXPECT_EQ(start.CameraPositionZ, 3.0);
  EXPECT_EQ(end.CameraPositionZ, 10);
  EXPECT_EQ(end.Lights[1].PositionX, 2);
  EXPECT_EQ(end.TextureScaleX, 4);
  EXPECT_EQ(start.Lights[2].Enabled, 1) << "a light the preset enables is enabled";
  EXPECT_EQ(end.Lights[2].Enabled, 1);
  EXPECT_EQ(start.Lights[0].Enabled, 1) << "a light the preset leaves off stays as it was";
  EXPECT_EQ(start.TextPositionX, 0);
  EXPECT_EQ(end.Text, "Text");
  EXPECT_EQ(end.ImageWidth, 230);
  EXPECT_EQ(end.BackgroundColor, 0);
  EXPECT_EQ(start.Depth, 0.2);
}

TEST(AnimationPreset, MaterialAndTextureSwitchesAndTheTextureNameFollowTheirRules) {
  T3DTextState ps = PresetState(), pe = PresetState();
  ps.TextureOn = 1.0;
  pe.TextureOn = 1.0;
  ps.TextureFileName = "wood.bmp";
  pe.TextureFileName = "wood.bmp";
  ps.MaterialOn = 0.5;  // not 1.0: not taken
  T3DTextState start = Default3DTextState(), end = Default3DTextState();
  start.MaterialOn = 1.0;
  CopyAnimatedFields(ps, pe, start, end);
  EXPECT_EQ(start.TextureOn, 1.0);
  EXPECT_EQ(end.TextureFileName, "wood.bmp");
  EXPECT_EQ(start.MaterialOn, 1.0);
}

// ---- Colour gallery ---------------------------------------------------------------------------------

TEST(ColorPreset, CopiesFromLight1sEnabledFlagThroughTextureScaleY) {
  T3DTextState ps = PresetState(), pe = PresetState();
  ps.Lights[0].Enabled = 0;
  ps.Lights[2].Color = 0xABCDEF;
  ps.MaterialColor = 0xFF;
  ps.Shininess = 7;
  ps.TextureOn = 1;
  ps.TextureFileName = "stone.bmp";
  ps.TextureRotationX = 11;
  pe.TextureScaleY = 3;
  ps.Depth = 2;          // outside the span
  ps.ViewAngle = 77;     // outside the span
  T3DTextState start = Default3DTextState(), end = Default3DTextState();
  CopyColorFields(ps, pe, start, end);
  EXPECT_EQ(start.Lights, ps.Lights);
  EXPECT_EQ(end.Lights, pe.Lights);
  EXPECT_EQ(start.MaterialColor, 0xFF);
  EXPECT_EQ(start.Shininess, 7);
  EXPECT_EQ(start.TextureOn, 1);
  EXPECT_EQ(start.TextureFileName, "stone.bmp");
  EXPECT_EQ(start.TextureRotationX, 11);
  EXPECT_EQ(end.TextureScaleY, 3);
  EXPECT_EQ(start.Depth, 0.2);
  EXPECT_EQ(start.ViewAngle, 20);
  EXPECT_EQ(start.Text, "Text");
}

// ---- Applied to a frame -------------------------------------------------------------------------------

class Galleries : public DocumentTest {
 protected:
  Galleries() {
    int index = 0;
    sprite = scene.AddSprite(index);
    TBitmap picture;
    MakeSolid(picture, 23, 8, clBlack);
    sprite->Add3DText(Default3DTextState(), picture, false, clWhite);
    sprite->Frame(0).EndState = Default3DTextState();
    sprite->Frame(0).Text = "Text";
    sprite->Motion().AddStepWith(HoldAt(30, 12), sprite);
    undo.Clear();
    presetSprite = preset.CreateSprite();
    presetFrame = presetSprite->AddFrame();
    presetFrame->Kind = fkText3D;
    presetFrame->StartState = PresetState();
    presetFrame->EndState = PresetState();
    presetFrame->EndState.TextRotationZ = 90;
  }

  TSprite* sprite = nullptr;
  TAnimatedScene preset;
  std::unique_ptr<TSprite> presetSprite;
  TFrame* presetFrame = nullptr;
};

TEST_F(Galleries, TheAnimationGalleryRecordsAFrameSnapshotThatUndoRestores) {
  const std::string before = SceneSnapshot(scene);
  EXPECT_TRUE(ApplyAnimationPreset(*sprite, 0, *presetFrame));
  EXPECT_EQ(sprite->Frame(0).EndState.TextRotationZ, 90);
  EXPECT_EQ(undo.Caption(), "Change 3D Text");
  EXPECT_EQ(LastInt(TUndo::kObjectKindAt), uokFrame);
  EXPECT_EQ(RecordCount(), 1);
  undo.Undo();
  EXPECT_TRUE(SceneSnapshot(scene) == before);
}

TEST_F(Galleries, AColourPresetIsRecordedAsWell) {
  presetFrame->StartState.MaterialColor = 0xFF;
  const std::string before = SceneSnapshot(scene);
  EXPECT_TRUE(ApplyColorPreset(*sprite, 0, *presetFrame));
  EXPECT_EQ(sprite->Frame(0).StartState.MaterialColor, 0xFF);
  undo.Undo();
  EXPECT_TRUE(SceneSnapshot(scene) == before);
}

TEST_F(Galleries, APresetWhoseFrameIsNot3DTextChangesNothing) {
  presetFrame->Kind = fkPicture;
  EXPECT_FALSE(ApplyAnimationPreset(*sprite, 0, *presetFrame));
  EXPECT_FALSE(ApplyColorPreset(*sprite, 0, *presetFrame));
  EXPECT_TRUE(undo.Empty());
}

TEST_F(Galleries, ACopyThatChangesNothingRecordsNothing) {
  presetFrame->StartState = Default3DTextState();
  presetFrame->EndState = Default3DTextState();
  EXPECT_FALSE(ApplyAnimationPreset(*sprite, 0, *presetFrame));
  EXPECT_TRUE(undo.Empty());
}

// ---- Motion gallery ---------------------------------------------------------------------------------

TEST_F(Galleries, AMotionPresetIsMovedToTheOldStartAndKeepsTheOldSize) {
  TMovingStepValues v = LineFrom(100, 5, 200, 50, 2);
  v.ZoomXStart = v.ZoomXEnd = v.ZoomYStart = v.ZoomYEnd = 0.5;
  presetSprite->Motion().AddStepWith(v, presetSprite.get());
  const std::string before = SceneSnapshot(scene);
  ApplyMotionPreset(*sprite, presetSprite->Motion());
  const TMovingStep& s = sprite->Motion().Step(0);
  EXPECT_EQ(s.Kind, mskLine);
  EXPECT_DOUBLE_EQ(s.X1, 30);
  EXPECT_DOUBLE_EQ(s.X2, 130);
  EXPECT_DOUBLE_EQ(s.Y1, 12);
  EXPECT_DOUBLE_EQ(s.Y2, 57);
  EXPECT_DOUBLE_EQ(s.StartX, 30);
  EXPECT_DOUBLE_EQ(s.StartY, 12);
  EXPECT_DOUBLE_EQ(s.ZoomXStart, 1.0);
  EXPECT_DOUBLE_EQ(s.ZoomYEnd, 1.0);
  EXPECT_EQ(undo.Caption(), "Change Motion");
  EXPECT_EQ(RecordCount(), 1);
  undo.Undo();
  EXPECT_TRUE(SceneSnapshot(scene) == before);
}

TEST_F(Galleries, SizesNeverFallBelowFiveHundredths) {
  TMovingStepValues old = HoldAt(0, 0);
  old.ZoomXStart = old.ZoomYStart = 0.1;
  sprite->Motion().ChangeStep(0, old, sprite);
  TMovingStepValues v = LineFrom(0, 0, 10, 10, 1);
  v.ZoomXStart = 1.0;
  v.ZoomXEnd = 0.5;
  presetSprite->Motion().AddStepWith(v, presetSprite.get());
  ApplyMotionPreset(*sprite, presetSprite->Motion());
  EXPECT_NEAR(double(sprite->Motion().Step(0).ZoomXStart), 0.1, 1e-9);
  EXPECT_NEAR(double(sprite->Motion().Step(0).ZoomXEnd), 0.05, 1e-9);
}

TEST_F(Galleries, APathThatDoesNotStartFixedIsReplacedUnchanged) {
  sprite->Motion().ChangeStep(0, LineFrom(1, 2, 3, 4, 1), sprite);
  presetSprite->Motion().AddStepWith(LineFrom(100, 5, 200, 50, 2), presetSprite.get());
  ApplyMotionPreset(*sprite, presetSprite->Motion());
  EXPECT_DOUBLE_EQ(sprite->Motion().Step(0).X1, 100);
  EXPECT_DOUBLE_EQ(sprite->Motion().Step(0).Y2, 50);
}

// ---- Preset files -----------------------------------------------------------------------------------

TEST(PresetFiles, AStampedFileLoadsAndADamagedOneShowsItsMessage) {
  FormatVersionsGuard guard;
  ScriptedUiServices ui;
  TempDir temp;
  TAnimatedScene scene;
  scene.Width = 40;
  scene.Height = 20;
  int index = 0;
  TSprite& sprite = *scene.AddSprite(index);
  sprite.AddShape(fkRectangle, 10, 10, TShapeParams{}, false, 0);
  const std::string file = temp.File("Preset.glm");
  {
    TFileStream out(file, fmCreate);
    scene.SaveToStream(out, 0, 1024);
  }
  ASSERT_TRUE(StampFileChecksum(file));
  std::unique_ptr<TAnimatedScene> loaded = LoadGalleryPreset(file);
  ASSERT_NE(loaded, nullptr);
  ASSERT_NE(PresetFirstFrame(*loaded), nullptr);
  EXPECT_EQ(PresetFirstFrame(*loaded)->Kind, fkRectangle);
  EXPECT_TRUE(ui.messages.empty());

  std::string bytes = TempDir::ReadFile(file);
  bytes[bytes.size() / 2] ^= 0x55;
  const std::string damaged = temp.WriteFile("Damaged.glm", bytes);
  EXPECT_EQ(LoadGalleryPreset(damaged), nullptr);
  EXPECT_EQ(ui.messages.size(), 1u);
}

}  // namespace
