#include "app/core/Text3DEditorMath.h"

#include "app/core/FrameDefaults.h"

#include <gtest/gtest.h>

namespace {

// ---- Conversions ---------------------------------------------------------------------------------------

TEST(Text3DConversions, TheSizeBoxMovesTheCameraFrom70Point001) {
  EXPECT_DOUBLE_EQ(CameraZForSize(70), 70.001 - 70);
  EXPECT_NEAR(CameraZForSize(70), 0.001, 1e-12);
  EXPECT_DOUBLE_EQ(CameraZForSize(40), 30.001);
  EXPECT_DOUBLE_EQ(CameraZForSize(0), 70.001);
  EXPECT_EQ(SizeForCameraZ(3.0), 67) << "a new frame shows 67";
  EXPECT_EQ(SizeForCameraZ(CameraZForSize(40)), 40);
  EXPECT_EQ(SizeForCameraZ(-40), -40) << "outside 0 to 70 the value itself";
  EXPECT_EQ(SizeForCameraZ(75.4), 75);
}

TEST(Text3DConversions, OnlyWholeSizesFrom0To70AreAccepted) {
  EXPECT_EQ(ParseTextSize("70"), 70);
  EXPECT_EQ(ParseTextSize("0"), 0);
  EXPECT_FALSE(ParseTextSize("71"));
  EXPECT_FALSE(ParseTextSize("-1"));
  EXPECT_FALSE(ParseTextSize("4.5"));
  EXPECT_FALSE(ParseTextSize("12x"));
  EXPECT_FALSE(ParseTextSize(""));
  EXPECT_FALSE(ParseTextSize("99999999999999999999"));
}

TEST(Text3DConversions, ShininessScaleCameraAndTextureRotation) {
  EXPECT_EQ(ShininessForBar(0), 128);
  EXPECT_EQ(ShininessForBar(100), 0);
  EXPECT_EQ(ShininessForBar(80), 26);   // 25.6
  EXPECT_EQ(ShininessForBar(50), 64);
  EXPECT_EQ(ShininessBarPosition(25), 80);  // 80.47
  EXPECT_EQ(ShininessBarPosition(128), 0);
  EXPECT_DOUBLE_EQ(TextureScaleForBar(150), 1.5);
  EXPECT_EQ(TextureScaleBarPosition(1.0), 100);
  EXPECT_DOUBLE_EQ(HundredthsForBar(-1200), -12.0);
  EXPECT_EQ(BarPositionForHundredths(-0.5), -50);
  EXPECT_DOUBLE_EQ(TextureRotationZForBar(0), 180.0);
  EXPECT_EQ(TextureRotationZBarPosition(180.0), 0);
  EXPECT_EQ(TextureRotationZBarPosition(10.0), -170);
}

TEST(Text3DConversions, TheDepthParsesStrictlyAndShowsTwoDecimalsWithoutTrailingZeros) {
  EXPECT_DOUBLE_EQ(ParseDepthText("1.5"), 1.5);
  EXPECT_DOUBLE_EQ(ParseDepthText("0.01"), 0.01);
  for (const char* bad : {"", "abc", "1.5x", "nan", "inf", "-inf", "1e999", " 1"})
    EXPECT_DOUBLE_EQ(ParseDepthText(bad), 0.1) << bad;
  EXPECT_EQ(FormatDepth(1.5), "1.5");
  EXPECT_EQ(FormatDepth(0.2), "0.2");
  EXPECT_EQ(FormatDepth(0.05), "0.05");
  EXPECT_EQ(FormatDepth(3.0), "3");
  EXPECT_EQ(FormatDepth(0.0), "0");
}

TEST(Text3DConversions, ATexturePictureOf300By100Becomes256By64) {
  EXPECT_EQ(TextureSizeFor(300, 100), (TSize{256, 64}));
  EXPECT_EQ(TextureSizeFor(256, 64), (TSize{256, 64}));
  EXPECT_EQ(TextureSizeFor(2, 1), (TSize{2, 1}));
  EXPECT_EQ(TextureSizeFor(3, 511), (TSize{2, 256}));
}

// ---- Lights ---------------------------------------------------------------------------------------

void ExpectDirection(TLightDirection d, double x, double y, double z) {
  EXPECT_NEAR(d.X, x, 1e-9);
  EXPECT_NEAR(d.Y, y, 1e-9);
  EXPECT_NEAR(d.Z, z, 1e-9);
}

TEST(LightMaths, TheAngleBarsGiveTheDirection) {
  ExpectDirection(LightDirectionFromBars(0, 0), 0, 0, 1);
  ExpectDirection(LightDirectionFromBars(90, 0), 0, -0.5, 0.5);
  ExpectDirection(LightDirectionFromBars(0, 90), 0.5, 0, 0.5);
  ExpectDirection(LightDirectionFromBars(180, 0), 0, 0, 0);
}

TEST(LightMaths, DirectionToLightAnglesOfTheDefaultLight) {
  double ax = 0, ay = 0;
  DirectionToLightAngles(0.2, 0.2, 1.0, ax, ay);
  EXPECT_NEAR(ax, 158.1986, 1e-4);
  EXPECT_NEAR(ay, 159.6255, 1e-4);
}

TEST(LightMaths, TheAnglesAlwaysLieFrom0To360) {
  for (double x : {-1.0, -0.2, 0.0, 0.3, 1.0})
    for (double y : {-1.0, 0.0, 0.4})
      for (double z : {-1.0, 0.5, 0.6, 2.0}) {
        double ax = 0, ay = 0;
        DirectionToLightAngles(x, y, z, ax, ay);
        EXPECT_GE(ax, 0) << x << " " << y << " " << z;
        EXPECT_LE(ax, 360);
        EXPECT_GE(ay, 0);
        EXPECT_LE(ay, 360);
      }
}

TEST(LightMaths, EachSignRowOfTheTableHasItsOffsets) {
  // With x = y = -0.5: h = atan2(0.7071, -0.5) = 125.2644; with x = 0.5: h = 54.7356.
  constexpr double hNegative = 125.26438968275465, hPositive = 54.735610317245346;
  double ax = 0, ay = 0;
  DirectionToLightAngles(-0.5, -0.5, 0.0, ax, ay);  // x, y, z' not positive; f = -135
  EXPECT_NEAR(ax, -135 + 450, 1e-9);
  EXPECT_NEAR(ay, hNegative + 90, 1e-9);
  DirectionToLightAngles(0.5, -0.5, 0.0, ax, ay);  // x positive; f = -135
  EXPECT_NEAR(ax, -135 + 270, 1e-9);
  EXPECT_NEAR(ay, 90 - hPositive, 1e-9);
  DirectionToLightAngles(-0.5, -0.5, 1.0, ax, ay);  // z' positive; f = 135
  EXPECT_NEAR(ax, 135 - 90, 1e-9);
  EXPECT_NEAR(ay, 450 - hNegative, 1e-9);
  DirectionToLightAngles(0.5, -0.5, 1.0, ax, ay);  // x and z' positive
  EXPECT_NEAR(ax, 135 - 90, 1e-9);
  EXPECT_NEAR(ay, 90 - hPositive, 1e-9);
  DirectionToLightAngles(0.5, 0.5, 1.0, ax, ay);  // y positive; f = 45
  EXPECT_NEAR(ax, 45 + 90, 1e-9);
  EXPECT_NEAR(ay, hPositive + 90, 1e-9);
}

// ---- Controls and states --------------------------------------------------------------------------

TEST(EditorControls, TheDefaultStateShowsAsTheEditorLoadsIt) {
  const T3DEditorControls c = ControlsFromState(Default3DTextState());
  EXPECT_EQ(c.Text, "Text");
  EXPECT_EQ(c.FontName, "Arial");
  EXPECT_EQ(c.DepthText, "0.2");
  EXPECT_EQ(c.SizeText, "67");
  EXPECT_EQ(c.ViewAngle, 20);
  EXPECT_EQ(c.ShininessBar, 80);
  EXPECT_EQ(c.Lights[0].Type, ltDirect);
  EXPECT_EQ(c.Lights[0].RotationX, 158);
  EXPECT_EQ(c.Lights[0].RotationY, 160);
  EXPECT_EQ(c.Lights[0].Z, -50);
  EXPECT_EQ(c.Lights[1].Type, ltOff);
  EXPECT_EQ(c.MaterialColor, 0x00CE6700u);
  EXPECT_FALSE(c.TextureEnabled);
  EXPECT_EQ(c.TextureRotationZBar, 0);
  EXPECT_EQ(c.TextureScaleXBar, 100);
}

TEST(EditorControls, TheControlsWriteTheirFieldsAndLeaveTheOthers) {
  T3DTextState state = Default3DTextState();
  state.TextPositionX = -1.25;
  state.CameraRotationY = 7;
  state.Lights[0].CutOff = 45;
  T3DEditorControls c = ControlsFromState(state);
  c.Text = "Hello";
  c.Bold = true;
  c.DepthText = "oops";
  c.TextRotationZ = -30;
  c.CameraX = 150;
  c.SizeText = "70";
  c.ShininessBar = 50;
  c.TextureEnabled = true;
  c.TextureRotationZBar = 10;
  c.TextureScaleYBar = 250;
  c.Lights[1].Type = ltOmni;
  c.Lights[1].X = 20;
  c.Lights[1].Z = -100;
  c.Lights[0].RotationX = 90;
  c.Lights[0].RotationY = 0;
  StateFromControls(c, state);
  EXPECT_EQ(state.Text, "Hello");
  EXPECT_EQ(state.FontStyle, fsBold);
  EXPECT_DOUBLE_EQ(state.Depth, 0.1);
  EXPECT_EQ(state.TextRotationZ, -30);
  EXPECT_DOUBLE_EQ(state.CameraPositionX, 1.5);
  EXPECT_NEAR(state.CameraPositionZ, 0.001, 1e-12);
  EXPECT_EQ(state.Shininess, 64);
  EXPECT_EQ(state.TextureOn, 1.0);
  EXPECT_EQ(state.TextureRotationZ, 190);
  EXPECT_DOUBLE_EQ(state.TextureScaleY, 2.5);
  EXPECT_EQ(state.Lights[1].Enabled, 1);
  EXPECT_EQ(state.Lights[1].Kind, 0);
  EXPECT_DOUBLE_EQ(state.Lights[1].PositionX, 0.2);
  EXPECT_DOUBLE_EQ(state.Lights[1].PositionZ, -1.0);
  EXPECT_NEAR(state.Lights[0].DirectionY, -0.5, 1e-9);
  EXPECT_EQ(state.TextPositionX, -1.25) << "no control";
  EXPECT_EQ(state.CameraRotationY, 7) << "no control";
  EXPECT_EQ(state.Lights[0].CutOff, 45) << "no control";
}

TEST(EditorControls, ASizeThatIsNoSizeKeepsTheCameraAndOffKeepsTheKind) {
  T3DTextState state = Default3DTextState();
  T3DEditorControls c = ControlsFromState(state);
  c.SizeText = "71";
  c.Lights[0].Type = ltOff;
  StateFromControls(c, state);
  EXPECT_DOUBLE_EQ(state.CameraPositionZ, 3.0);
  EXPECT_EQ(state.Lights[0].Enabled, 0);
  EXPECT_EQ(state.Lights[0].Kind, 1);
  c.Lights[0].Type = ltDirect;
  StateFromControls(c, state);
  EXPECT_EQ(state.Lights[0].Enabled, 1) << "an Off light switched back to Direct is stored enabled";
}

TEST(EditorControls, StoringWritesSharedFieldsIntoBothAndAnimatedOnesIntoTheSelected) {
  const T3DTextState original = Default3DTextState();
  T3DTextState start = original, end = original;
  T3DTextState editor = original;
  editor.Text = "New";
  editor.TextRotationX = 45;
  editor.Lights[0].Enabled = 0;
  editor.Lights[0].Color = 0x123456;
  editor.MaterialOn = 0;
  StoreEditorState(editor, start, end, true);
  EXPECT_EQ(start.Text, "New");
  EXPECT_EQ(end.Text, "New");
  EXPECT_EQ(start.TextRotationX, 0) << "the rotation belongs to the selected end state";
  EXPECT_EQ(end.TextRotationX, 45);
  EXPECT_EQ(start.Lights[0].Enabled, 0);
  EXPECT_EQ(start.Lights[0].Color, original.Lights[0].Color);
  EXPECT_EQ(end.Lights[0].Color, 0x123456);
  EXPECT_EQ(start.MaterialOn, 1.0) << "material is always on";
  StoreEditorState(editor, start, end, false);
  EXPECT_EQ(start.TextRotationX, 45);
}

TEST(EditorControls, TheEndStateIsEditedOnlyForLastPositionWithAnimationOn) {
  EXPECT_TRUE(EditsEndState(true, 1));
  EXPECT_FALSE(EditsEndState(false, 1));
  EXPECT_FALSE(EditsEndState(true, 0));
}

}  // namespace
