#include "qel3d/qeltex.h"
#include "tests/qel3d/QelTestSupport.h"
#include "tests/support/TempDir.h"

#include <GL/gl.h>

#include <tuple>

namespace {

using QelTextureDrawing = QelGLTest;
using QelTextureStoring = QelTest;

}  // namespace

TEST(QelTextureTexels, AreRgbTopDownInPaddedRowsAndFollowTheOwnedBitmap) {
  TQelTexture texture;
  int changes = 0;
  texture.OnChange = [&](TPersistent&) { ++changes; };
  auto bitmap = MakeBitmap(2, 2);
  bitmap->SetPixel(0, 0, RGB(10, 20, 30));
  bitmap->SetPixel(1, 1, RGB(40, 50, 60));
  texture.SetBitmap(bitmap.get());
  EXPECT_GE(changes, 1);
  const auto& texels = texture.Texels();
  ASSERT_EQ(texels.size(), 16u);  // rows of 6 bytes padded to 8
  EXPECT_EQ(std::vector<int>(texels.begin(), texels.begin() + 3), (std::vector<int>{10, 20, 30}));
  EXPECT_EQ(std::vector<int>(texels.begin() + 11, texels.begin() + 14), (std::vector<int>{40, 50, 60}));
  texture.Bitmap().SetPixel(0, 0, RGB(1, 2, 3));
  EXPECT_EQ(texture.Texels()[0], 1);
  // Palette bitmaps are read through their colours.
  auto palette = MakeBitmap(4, 4, pf8bit);
  palette->SetPixel(3, 0, clRed);
  texture.SetBitmap(palette.get());
  EXPECT_EQ(texture.Texels()[9], 255);
  EXPECT_EQ(texture.Texels()[10], 0);
  texture.SetBitmap(nullptr);  // changes nothing
  EXPECT_EQ(texture.Bitmap().Height(), 4);
}

TEST_F(QelTextureDrawing, DrawUploadsTheTexture) {
  TQelTexture texture;
  texture.SetBitmap(MakeBitmap(64, 32).get());
  texture.Draw();
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  GLint width = 0, height = 0, filter = 0, mode = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
  EXPECT_EQ(std::tuple(width, height, filter, mode), std::tuple(64, 32, GL_NEAREST, GL_MODULATE));
}

TEST_F(QelTextureDrawing, UnusableTexturesAndThoseBeyondTheGLMaximumAreLeftOut) {
  GLint maxSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  TQelTexture texture;
  EXPECT_FALSE(texture.Usable());
  for (int width : {100, maxSize * 2}) {
    texture.SetBitmap(MakeBitmap(width, 1).get());
    texture.Draw();
    EXPECT_EQ(texture.Usable(), width != 100);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << width;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
}

TEST_F(QelTextureDrawing, TheTextureMatrixFollowsTheTransformAndIsResetWithoutIt) {
  TQelTexture texture;
  texture.SetBitmap(MakeBitmap(2, 2).get());
  texture.SetTransform(true);
  texture.Scale().SetXYZ(2, 3, 1);
  texture.Draw();
  EXPECT_EQ(GLMatrix(GL_TEXTURE_MATRIX)[0], 2.0f);
  EXPECT_EQ(GLMatrix(GL_TEXTURE_MATRIX)[5], 3.0f);
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
  texture.SetTransform(false);
  texture.Draw();
  EXPECT_EQ(GLMatrix(GL_TEXTURE_MATRIX)[0], 1.0f);
  EXPECT_EQ(GLMatrix(GL_TEXTURE_MATRIX)[5], 1.0f);
}

TEST_F(QelTextureStoring, TheFileKeyWritesTheBitmapToANewFileOrRefersToAnExistingOne) {
  TempDir dir;
  TQelTexture texture;
  auto bitmap = MakeBitmap(4, 4);
  bitmap->SetPixel(2, 1, clFuchsia);
  texture.SetBitmap(bitmap.get());
  const std::string text = KeyTextOf(texture, dir.Path());
  const std::size_t at = text.find("<FILE=\"");
  ASSERT_NE(at, std::string::npos);
  const std::string path = text.substr(at + 7, text.find('"', at + 7) - at - 7);
  EXPECT_EQ(ExtractFilePath(path), dir.Path() + "/");
  EXPECT_EQ(texture.FileName(), path);
  TQelTexture copy;
  ReadKeyText(text, copy);
  EXPECT_EQ(copy.Bitmap().Pixel(2, 1), clFuchsia);
  EXPECT_EQ(copy.FileName(), path);
  // An existing file is referred to, not written.
  const std::string existing = dir.WriteFile("brick.jpg", "not a bitmap");
  texture.SetFileName(existing);
  EXPECT_NE(KeyTextOf(texture, dir.Path()).find("<FILE=\"" + existing + "\">"), std::string::npos);
  EXPECT_EQ(TempDir::ReadFile(existing), "not a bitmap");
}

TEST_F(QelTextureStoring, FileTroubleCostsOnlyTheFileKey) {
  TQelTexture texture;
  texture.SetBitmap(MakeBitmap(2, 2).get());
  texture.SetFileName("/nonexistent-folder-qel/x.bmp");
  const std::string text = KeyTextOf(texture);
  EXPECT_EQ(text.find("<FILE="), std::string::npos);
  EXPECT_NE(text.find("<TF=0>"), std::string::npos);
  // A bad file read back keeps the bitmap.
  TempDir dir;
  const std::string bad = dir.WriteFile("bad.bmp", "BM\x10");
  TQelKeyValueBase key;
  key.SetText("File", bad, vkQuoted);
  EXPECT_TRUE(texture.ReadKey(key));
  EXPECT_EQ(texture.Bitmap().Width(), 2);
  EXPECT_EQ(texture.FileName(), bad);
}

TEST_F(QelTextureStoring, AStreamRoundTripCarriesTheBitmap) {
  TQelTexture texture;
  auto bitmap = MakeBitmap(8, 4);
  bitmap->SetPixel(7, 3, clNavy);
  texture.SetBitmap(bitmap.get());
  texture.SetFileName("wood.bmp");
  texture.Rotation().SetZ(30);
  auto copy = StreamRoundTrip(texture);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Bitmap().Pixel(7, 3), clNavy);
  EXPECT_EQ(copy->FileName(), "wood.bmp");
  EXPECT_EQ(copy->Rotation().Z(), 30.0f);
}
