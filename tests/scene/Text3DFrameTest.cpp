#include "scene/Text3DFrame.h"

#include "imaging/AVIFileU.h"
#include "imaging/GifUnit.h"
#include "imaging/JpgImg.h"
#include "qel3d/qelcam.h"
#include "qel3d/qellight.h"
#include "qel3d/qelmat.h"
#include "qel3d/qeltex.h"
#include "qel3d/qeltext.h"
#include "scene/Frame.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

// ---- Colours and values between two states ---------------------------------------------------------

TEST(ColourBlend, HalfwayBetweenRedAndBlueRoundsEachHalfToEven) {
  // Red 255 + round(-127.5) = 127, blue round(127.5) = 128.
  EXPECT_EQ(InterpolateColor(0x0000FF, 0xFF0000, 0.5), 0x80007Fu);
  EXPECT_EQ(InterpolateColor(0x102030, 0x405060, 0.0), 0x102030u);
  EXPECT_EQ(InterpolateColor(0x102030, 0x405060, 1.0), 0x405060u);
}

TEST(ColourBlend, OnlyTheLowEightBitsOfEachChannelCount) {
  EXPECT_EQ(InterpolateColor(0x80000000u | 0x0000FF, 0x0000FF, 0.5), 0x0000FFu);
}

TEST(StateColours, SystemColoursComeBackWhetherStoredSignedOrUnsigned) {
  EXPECT_EQ(StateColor(static_cast<double>(static_cast<std::int32_t>(clBtnFace))), clBtnFace);
  EXPECT_EQ(StateColor(static_cast<double>(clBtnFace)), clBtnFace);
  EXPECT_EQ(StateColor(255.4), 0x0000FFu);
  EXPECT_EQ(StateColor(12.5), 12u) << "halves go to the even neighbour";
  EXPECT_EQ(StateColor(std::numeric_limits<double>::quiet_NaN()), 0u);
}

TEST(StateValues, TheEndsAreTheStatesThemselvesAndBetweenIsLinear) {
  EXPECT_EQ(InterpolateStateValue(1e20, 1.0, 1.0), 1.0) << "1e20 + (1 - 1e20) would give 0";
  EXPECT_EQ(InterpolateStateValue(0.1, 0.7, 1.0), 0.7);
  EXPECT_EQ(InterpolateStateValue(0.1, 0.7, 0.0), 0.1);
  EXPECT_DOUBLE_EQ(InterpolateStateValue(2.0, 6.0, 0.25), 3.0);
  EXPECT_EQ(InterpolateStateValue(2.0, 6.0, std::numeric_limits<double>::quiet_NaN()), 2.0);
}

TEST(StateFonts, StyleKeepsTheFourFontBitsAndAnUnknownCharsetIsTheDefault) {
  T3DTextState state;
  state.FontStyle = 0xF3;
  EXPECT_EQ(StateFontStyle(state), fsBold | fsItalic);
  state.Charset = 238;
  EXPECT_EQ(StateFontCharset(state), 238);
  state.Charset = 256;
  EXPECT_EQ(StateFontCharset(state), 1);
  state.Charset = -1;
  EXPECT_EQ(StateFontCharset(state), 1);
}

// ---- The values handed to the 3D objects ----------------------------------------------------------------

struct Objects3D {
  TQelText text;
  TQelCamera camera;
  TQelLight light1, light2, light3;
  TQelMaterial material;
  TQelTexture texture;

  void Render(const T3DTextState& start, const T3DTextState& end, double t) {
    TFrame::Render3D(start, end, t, text, camera, light1, light2, light3, material, texture);
  }
};

T3DTextState StateA() {
  T3DTextState s;
  s.Text = "Start";
  s.FontName = "Liberation Serif";
  s.FontStyle = fsItalic;
  s.Charset = 0;
  s.Depth = 0.1;
  s.TextPositionX = 1, s.TextPositionY = 2, s.TextPositionZ = 3;
  s.TextRotationX = 10, s.TextRotationY = 20, s.TextRotationZ = 30;
  s.CameraPositionX = 0, s.CameraPositionY = 0.2, s.CameraPositionZ = 2;
  s.CameraRotationX = 0, s.CameraRotationY = 0, s.CameraRotationZ = 0;
  s.ViewAngle = 40;
  s.Lights[0] = {1, lkPoint, 0x000000, 0, 0, -1, 180, 1, 1, 1};
  s.Lights[1] = {0, lkSpot, 0x0000FF, 0, 0, -1, 10, 0, 0, 0};
  s.Lights[2] = {1, lkDirection, 0xFFFFFF, 0, -1, 0, 180, 0, 0, 0};
  s.MaterialOn = 1;
  s.MaterialColor = 0x0000FF;
  s.Shininess = 1;
  s.TextureOn = 0;
  s.TextureScaleX = s.TextureScaleY = 1;
  s.BackgroundColor = 0xFFFFFF;
  return s;
}

T3DTextState StateB() {
  T3DTextState s = StateA();
  s.Text = "End";
  s.FontName = "DejaVu Sans";
  s.FontStyle = fsBold;
  s.Charset = 238;
  s.Depth = 0.3;
  s.TextPositionX = 3, s.TextPositionY = 6, s.TextPositionZ = -3;
  s.TextRotationX = 30, s.TextRotationY = 60, s.TextRotationZ = 90;
  s.CameraPositionZ = 4;
  s.CameraRotationZ = 90;
  s.ViewAngle = 60;
  s.Lights[0] = {0, lkSpot, 0xFFFFFF, 0, 0, 1, 90, 3, 5, 7};
  s.Lights[1] = {1, lkPoint, 0xFF0000, 0, 0, -1, 30, 0, 0, 0};
  s.MaterialOn = 0;
  s.MaterialColor = 0xFF0000;
  s.Shininess = 2;
  s.TextureOn = 1;
  s.TextureRotationZ = 90;
  s.TextureScaleX = 3, s.TextureScaleY = 5;
  return s;
}

TEST(Render3DValues, HalfwayEveryNumberIsBetweenTheStatesAndTheRestIsTheStartStates) {
  Objects3D o;
  o.Render(StateA(), StateB(), 0.5);
  EXPECT_EQ(o.text.Text(), "Start");
  EXPECT_EQ(o.text.Font().Name, "Liberation Serif");
  EXPECT_EQ(o.text.Font().Style, fsItalic);
  EXPECT_EQ(o.text.Font().Charset, 0);
  EXPECT_FLOAT_EQ(o.text.Depth(), 0.2f);
  EXPECT_FLOAT_EQ(o.text.Translation().X(), 2.0f);
  EXPECT_FLOAT_EQ(o.text.Translation().Y(), 4.0f);
  EXPECT_FLOAT_EQ(o.text.Translation().Z(), 0.0f);
  EXPECT_FLOAT_EQ(o.text.Rotation().Y(), 40.0f);
  EXPECT_FLOAT_EQ(o.camera.Position().Z(), 3.0f);
  EXPECT_FLOAT_EQ(o.camera.Rotation().Z(), 45.0f);
  EXPECT_FLOAT_EQ(o.camera.ViewAngle(), 50.0f);

  // Enabled and kind from the start; colour blended into specular and diffuse.
  EXPECT_TRUE(o.light1.Enabled());
  EXPECT_EQ(o.light1.Kind(), lkPoint);
  EXPECT_EQ(o.light1.ColorSpecular().Color(), 0x808080u);
  EXPECT_EQ(o.light1.ColorDiffuse().Color(), 0x808080u);
  EXPECT_FLOAT_EQ(o.light1.Translation().X(), 2.0f);
  EXPECT_FLOAT_EQ(o.light1.Translation().Z(), 4.0f);
  EXPECT_FLOAT_EQ(o.light1.Direction().Z(), 0.0f);
  EXPECT_FALSE(o.light2.Enabled());
  EXPECT_EQ(o.light2.Kind(), lkSpot);
  EXPECT_EQ(o.light2.ColorDiffuse().Color(), 0x80007Fu);
  EXPECT_FLOAT_EQ(o.light2.CutOff(), 20.0f);
  EXPECT_EQ(o.light3.Kind(), lkDirection);
  EXPECT_FLOAT_EQ(o.light3.Direction().Y(), -1.0f);

  EXPECT_TRUE(o.material.Enabled());
  EXPECT_EQ(o.material.ColorEmission().Color(), 0x80007Fu);
  EXPECT_EQ(o.material.Shininess(), 2) << "1.5 rounds to the even 2";
  EXPECT_FALSE(o.texture.Enabled());
  EXPECT_FLOAT_EQ(o.texture.Rotation().Z(), 45.0f);
  EXPECT_FLOAT_EQ(o.texture.Scale().X(), 2.0f);
  EXPECT_FLOAT_EQ(o.texture.Scale().Y(), 3.0f);
  EXPECT_FLOAT_EQ(o.texture.Scale().Z(), 1.0f);
}

TEST(Render3DValues, AtOneTheEndStatesNumbersAreReachedExactly) {
  T3DTextState a = StateA(), b = StateB();
  a.TextPositionX = 1e20;
  b.TextPositionX = 1.0;
  a.Shininess = 0.1;
  b.Shininess = 2.5;
  Objects3D o;
  o.Render(a, b, 1.0);
  EXPECT_EQ(o.text.Translation().X(), 1.0f);
  EXPECT_EQ(o.material.Shininess(), 2);
  EXPECT_EQ(o.material.ColorEmission().Color(), 0xFF0000u);
  EXPECT_EQ(o.light1.ColorSpecular().Color(), 0xFFFFFFu);
  EXPECT_FLOAT_EQ(o.camera.ViewAngle(), 60.0f);
}

TEST(Render3DValues, SystemColoursOfLightsAndMaterialAreResolvedBeforeTheyBlend) {
  T3DTextState a = StateA();
  a.Lights[0].Color = static_cast<double>(static_cast<std::int32_t>(clBtnFace));
  a.MaterialColor = static_cast<double>(clHighlight);
  Objects3D o;
  o.Render(a, a, 0.0);
  EXPECT_EQ(o.light1.ColorSpecular().Color(), ColorToRGB(clBtnFace));
  EXPECT_EQ(o.material.ColorEmission().Color(), ColorToRGB(clHighlight));
}

TEST(Render3DValues, ATextureIsReadOnlyWhenShownAndWhenItsFileChanges) {
  TempDir dir;
  TBitmap picture;
  MakeSolid(picture, 4, 4, clRed);
  const std::string file = dir.File("red.bmp");
  picture.SaveToFile(file);
  T3DTextState a = StateA();
  a.TextureFileName = file;
  Objects3D o;
  o.Render(a, a, 0.0);
  EXPECT_TRUE(o.texture.Bitmap().Empty()) << "a texture that is off is not read";
  a.TextureOn = 1;
  o.Render(a, a, 0.0);
  EXPECT_EQ(o.texture.Bitmap().Width(), 4);
  EXPECT_EQ(o.texture.FileName(), file);
  EXPECT_TRUE(o.texture.Usable());
  // Drawn over on disk: the same name is not read again at the next sub-frame.
  MakeSolid(picture, 8, 8, clBlue);
  picture.SaveToFile(file);
  o.Render(a, a, 0.5);
  EXPECT_EQ(o.texture.Bitmap().Width(), 4);
  a.TextureFileName.clear();
  o.Render(a, a, 0.0);
  EXPECT_TRUE(o.texture.Bitmap().Empty()) << "a texture named by no file has no picture";
}

// ---- Texture files ------------------------------------------------------------------------------------------

class TextureFiles : public testing::Test {
 protected:
  TempDir dir;
  TQelTexture texture;

  std::string WriteBmp(const std::string& name, int w, int h, TColor color) {
    TBitmap picture;
    MakeSolid(picture, w, h, color);
    const std::string path = dir.File(name);
    picture.SaveToFile(path);
    return path;
  }
  void GiveTexturePicture() {
    TBitmap picture;
    MakeSolid(picture, 2, 2, clLime);
    texture.SetBitmap(&picture);
  }
};

TEST_F(TextureFiles, EachSideBecomesTheLargestPowerOfTwoNotAboveIt) {
  TFrame::LoadTextureFile(WriteBmp("a.bmp", 300, 100, clRed), texture);
  EXPECT_EQ(texture.Bitmap().Width(), 256);
  EXPECT_EQ(texture.Bitmap().Height(), 64);
  EXPECT_EQ(texture.Bitmap().Pixel(100, 30), clRed);
  EXPECT_TRUE(texture.Usable());
  TFrame::LoadTextureFile(WriteBmp("b.bmp", 1, 2, clRed), texture);
  EXPECT_EQ(texture.Bitmap().Width(), 1);
  EXPECT_EQ(texture.Bitmap().Height(), 2);
  TFrame::LoadTextureFile(WriteBmp("c.BMP", 3, 128, clRed), texture);
  EXPECT_EQ(texture.Bitmap().Width(), 2);
  EXPECT_EQ(texture.Bitmap().Height(), 128);
}

TEST_F(TextureFiles, AGifGivesItsFirstImage) {
  TGifFile gif;
  for (TColor color : {clBlue, clRed}) {
    TBitmap image;
    image.SetPixelFormat(pf8bit);
    image.Canvas().Brush().Color = color;
    image.SetSize(20, 10);
    image.Canvas().FillRect(Rect(0, 0, 20, 10));
    gif.AddGraphic(image);
  }
  const std::string path = dir.File("t.gif");
  gif.SaveToFile(path);
  TFrame::LoadTextureFile(path, texture);
  EXPECT_EQ(texture.Bitmap().Width(), 16);
  EXPECT_EQ(texture.Bitmap().Height(), 8);
  EXPECT_EQ(texture.Bitmap().Pixel(3, 3), clBlue);
}

TEST_F(TextureFiles, AJpegIsDecoded) {
  TJPEGImage jpeg;
  MakeSolid(jpeg.Bitmap(), 40, 20, clWhite);
  const std::string path = dir.File("t.jpg");
  jpeg.SaveToFile(path);
  TFrame::LoadTextureFile(path, texture);
  EXPECT_EQ(texture.Bitmap().Width(), 32);
  EXPECT_EQ(texture.Bitmap().Height(), 16);
  EXPECT_GE(GetRValue(texture.Bitmap().Pixel(5, 5)), 250);
}

TEST_F(TextureFiles, AnAviGivesItsFirstFrame) {
  const std::string path = dir.File("t.avi");
  {
    TAVIObject avi;
    avi.SetOptionsChosen(true);
    const PAVIFILE file = avi.CreateAVIFile(path, 10);
    TBitmap frame;
    MakeSolid(frame, 12, 6, clRed);
    const PAVISTREAM stream = avi.CreateVideoStream(file, frame);
    avi.WriteFrame(file, stream, frame, 0, 16);
    MakeSolid(frame, 12, 6, clLime);
    avi.WriteFrame(file, stream, frame, 1, 16);
    avi.ReleaseStream(stream);
    avi.CloseAVIFile(file);
  }
  TFrame::LoadTextureFile(path, texture);
  EXPECT_EQ(texture.Bitmap().Width(), 8);
  EXPECT_EQ(texture.Bitmap().Height(), 4);
  EXPECT_EQ(texture.Bitmap().Pixel(2, 2), clRed);
}

TEST_F(TextureFiles, AFileThatCannotBeReadLeavesTheTextureWithoutAPicture) {
  const std::string garbage = "this is no picture at all";
  for (const std::string name : {"bad.bmp", "bad.gif", "bad.jpg", "bad.avi", "good.png", "noext"}) {
    GiveTexturePicture();
    TFrame::LoadTextureFile(dir.WriteFile(name, garbage), texture);
    EXPECT_TRUE(texture.Bitmap().Empty()) << name;
    EXPECT_FALSE(texture.Usable()) << name;
  }
  GiveTexturePicture();
  TFrame::LoadTextureFile(dir.File("missing.jpg"), texture);
  EXPECT_TRUE(texture.Bitmap().Empty());
  // Cut short anywhere, a good file fails the same way.
  const std::string whole = TempDir::ReadFile(WriteBmp("whole.bmp", 16, 16, clRed));
  for (std::size_t cut : {std::size_t{10}, std::size_t{54}, whole.size() - 1}) {
    GiveTexturePicture();
    TFrame::LoadTextureFile(dir.WriteFile("cut.bmp", whole.substr(0, cut)), texture);
    EXPECT_TRUE(texture.Bitmap().Empty()) << cut;
  }
}

TEST_F(TextureFiles, AnEmptyNameChangesNothing) {
  GiveTexturePicture();
  TFrame::LoadTextureFile("", texture);
  EXPECT_EQ(texture.Bitmap().Width(), 2);
}

}  // namespace
