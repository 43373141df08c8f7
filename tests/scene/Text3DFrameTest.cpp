#include "scene/Text3DFrame.h"

#include "imaging/GifUnit.h"
#include "imaging/JpgImg.h"
#include "qel3d/qelcam.h"
#include "qel3d/qellight.h"
#include "qel3d/qelmat.h"
#include "qel3d/qeltex.h"
#include "qel3d/qeltext.h"
#include "scene/Frame.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/support/AviTestFiles.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

// ---- Colours and values between two states ---------------------------------------------------------

TEST(StateBlend, ColoursRoundEachChannelHalfToEvenAndNumbersReachTheEndExactly) {
  // Red 255 + round(-127.5) = 127, blue round(127.5) = 128.
  EXPECT_EQ(InterpolateColor(0x0000FF, 0xFF0000, 0.5), 0x80007Fu);
  EXPECT_EQ(InterpolateColor(0x102030, 0x405060, 1.0), 0x405060u);
  EXPECT_EQ(InterpolateColor(0x80000000u | 0x0000FF, 0x0000FF, 0.5), 0x0000FFu);
  // Numbers: exactly the end at 1, linear between, the start when t is not a number.
  EXPECT_EQ(InterpolateStateValue(0.1, 0.7, 1.0), 0.7);
  EXPECT_DOUBLE_EQ(InterpolateStateValue(2.0, 6.0, 0.25), 3.0);
  EXPECT_EQ(InterpolateStateValue(2.0, 6.0, std::numeric_limits<double>::quiet_NaN()), 2.0);
}

TEST(StateColours, SystemColoursComeBackWhetherStoredSignedOrUnsigned) {
  EXPECT_EQ(StateColor(static_cast<double>(static_cast<std::int32_t>(clBtnFace))), clBtnFace);
  EXPECT_EQ(StateColor(static_cast<double>(clBtnFace)), clBtnFace);
  EXPECT_EQ(StateColor(255.4), 0x0000FFu);
  EXPECT_EQ(StateColor(12.5), 12u) << "halves go to the even neighbour";
  EXPECT_EQ(StateColor(std::numeric_limits<double>::quiet_NaN()), 0u);
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
  s.Depth = 0.1;
  s.TextPositionX = 1, s.TextPositionY = 2, s.TextPositionZ = 3;
  s.TextRotationY = 20;
  s.CameraPositionY = 0.2, s.CameraPositionZ = 2;
  s.ViewAngle = 40;
  s.Lights[0] = {1, lkPoint, 0x000000, 0, 0, -1, 180, 1, 1, 1};
  s.Lights[1] = {0, lkSpot, 0x0000FF, 0, 0, -1, 10, 0, 0, 0};
  s.Lights[2] = {1, lkDirection, 0xFFFFFF, 0, -1, 0, 180, 0, 0, 0};
  s.MaterialOn = 1;
  s.MaterialColor = 0x0000FF;
  s.Shininess = 1;
  s.TextureScaleX = s.TextureScaleY = 1;
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
  s.TextRotationY = 60;
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
  EXPECT_FLOAT_EQ(o.text.Depth(), 0.2f);
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
  EXPECT_FLOAT_EQ(o.light1.Translation().Z(), 4.0f);
  EXPECT_FLOAT_EQ(o.light1.Direction().Z(), 0.0f);
  EXPECT_FALSE(o.light2.Enabled());
  EXPECT_EQ(o.light2.Kind(), lkSpot);
  EXPECT_FLOAT_EQ(o.light2.CutOff(), 20.0f);
  EXPECT_EQ(o.light3.Kind(), lkDirection);
  EXPECT_FLOAT_EQ(o.light3.Direction().Y(), -1.0f);

  EXPECT_TRUE(o.material.Enabled());
  EXPECT_EQ(o.material.ColorEmission().Color(), 0x80007Fu);
  EXPECT_EQ(o.material.Shininess(), 2) << "1.5 rounds to the even 2";
  EXPECT_FALSE(o.texture.Enabled());
  EXPECT_FLOAT_EQ(o.texture.Rotation().Z(), 45.0f);
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
  std::string WriteBmp(const std::string& name, int w, int h, TColor color) {
    TBitmap picture;
    MakeSolid(picture, w, h, color);
    const std::string path = dir.File(name);
    picture.SaveToFile(path);
    return path;
  }
  // Loads the file into a texture that had a picture; returns its size.
  std::pair<int, int> Load(const std::string& path) {
    TBitmap picture;
    MakeSolid(picture, 2, 2, clLime);
    texture.SetBitmap(&picture);
    TFrame::LoadTextureFile(path, texture);
    return {texture.Bitmap().Width(), texture.Bitmap().Height()};
  }

  TempDir dir;
  TQelTexture texture;
};

TEST_F(TextureFiles, EachSideBecomesTheLargestPowerOfTwoNotAboveIt) {
  EXPECT_EQ(Load(WriteBmp("a.bmp", 300, 100, clRed)), std::pair(256, 64));
  EXPECT_EQ(texture.Bitmap().Pixel(100, 30), clRed);
  EXPECT_TRUE(texture.Usable());
  EXPECT_EQ(Load(WriteBmp("b.bmp", 1, 2, clRed)), std::pair(1, 2));
  EXPECT_EQ(Load(WriteBmp("c.BMP", 3, 128, clRed)), std::pair(2, 128));
}

TEST_F(TextureFiles, AGifOrAnAviGivesItsFirstPictureAndAJpegIsDecoded) {
  const std::string gif = dir.File("t.gif"), jpg = dir.File("t.jpg");
  MakeGif({clRed, clBlue}, {}, 20, 10)->SaveToFile(gif);
  AviTestFile file;
  file.streams.push_back({.format = DibFormat(12, 6, 24)});
  for (std::uint32_t rgb : {0xFF0000u, 0x00FF00u})
    file.chunks.push_back({.id = "00db", .data = Rows24(12, 6, [rgb](int, int) { return rgb; })});
  const std::string avi = dir.WriteFile("t.avi", file.Build());
  TJPEGImage jpeg;
  MakeSolid(jpeg.Bitmap(), 40, 20, clRed);
  jpeg.SaveToFile(jpg);
  EXPECT_EQ(Load(gif), std::pair(16, 8));
  EXPECT_EQ(texture.Bitmap().Pixel(3, 3), clRed);
  EXPECT_EQ(Load(avi), std::pair(8, 4));
  EXPECT_EQ(texture.Bitmap().Pixel(2, 2), clRed);
  EXPECT_EQ(Load(jpg), std::pair(32, 16));
  EXPECT_GE(GetRValue(texture.Bitmap().Pixel(5, 5)), 250);
}

TEST_F(TextureFiles, AFileThatCannotBeReadLeavesTheTextureWithoutAPictureAndAnEmptyNameChangesNothing) {
  std::vector<std::string> files{dir.File("missing.jpg")};
  for (const std::string name : {"bad.bmp", "bad.gif", "bad.jpg", "bad.avi", "good.png", "noext"})
    files.push_back(dir.WriteFile(name, "this is no picture at all"));
  // Cut short anywhere, a good file fails the same way.
  const std::string whole = TempDir::ReadFile(WriteBmp("whole.bmp", 16, 16, clRed));
  for (std::size_t cut : {std::size_t{10}, std::size_t{54}, whole.size() - 1})
    files.push_back(dir.WriteFile("cut" + std::to_string(cut) + ".bmp", whole.substr(0, cut)));
  for (const std::string& file : files) {
    EXPECT_EQ(Load(file), std::pair(0, 0)) << file;
    EXPECT_FALSE(texture.Usable()) << file;
  }
  EXPECT_EQ(Load(""), std::pair(2, 2));
}

}  // namespace
