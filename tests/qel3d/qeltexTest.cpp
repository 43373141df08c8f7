#include "qel3d/qeltex.h"
#include "tests/qel3d/QelTestSupport.h"
#include "tests/support/TempDir.h"

#include <GL/gl.h>

namespace {

using QelTextureDrawing = QelGLTest;
using QelTextureStoring = QelTest;

std::array<float, 16> TextureMatrix() {
  std::array<float, 16> m{};
  glGetFloatv(GL_TEXTURE_MATRIX, m.data());
  return m;
}

std::string KeyText(TQelTexture& texture, const std::string& folder) {
  TMemoryStream stream;
  TQelKeyWriter writer(stream);
  writer.FileFolder = folder;
  texture.WriteKeys(writer);
  return std::string(stream.Bytes().begin(), stream.Bytes().end());
}

}  // namespace

TEST(QelTextureTexels, OnlyPowerOfTwoSidesAreUsable) {
  TQelTexture texture;
  EXPECT_FALSE(texture.Usable());
  texture.SetBitmap(MakeBitmap(100, 64).get());
  EXPECT_FALSE(texture.Usable());
  texture.SetBitmap(MakeBitmap(64, 64).get());
  EXPECT_TRUE(texture.Usable());
  EXPECT_EQ(texture.TexelWidth(), 64);
  texture.SetBitmap(MakeBitmap(1, 2).get());
  EXPECT_TRUE(texture.Usable());
  texture.SetBitmap(nullptr);  // changes nothing
  EXPECT_EQ(texture.Bitmap().Height(), 2);
}

TEST(QelTextureTexels, AreRgbTopDownInPaddedRows) {
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
  EXPECT_EQ(texels[0], 10);
  EXPECT_EQ(texels[1], 20);
  EXPECT_EQ(texels[2], 30);
  EXPECT_EQ(texels[8 + 3], 40);
  EXPECT_EQ(texels[8 + 5], 60);
  // A change of the owned bitmap rebuilds the texels.
  texture.Bitmap().SetPixel(0, 0, RGB(1, 2, 3));
  EXPECT_EQ(texture.Texels()[0], 1);
}

TEST(QelTextureTexels, PaletteBitmapsAreReadThroughTheirColours) {
  TQelTexture texture;
  auto bitmap = MakeBitmap(4, 4, pf8bit);
  bitmap->SetPixel(3, 0, clRed);
  texture.SetBitmap(bitmap.get());
  EXPECT_EQ(texture.Texels()[9], 255);
  EXPECT_EQ(texture.Texels()[10], 0);
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
  EXPECT_EQ(width, 64);
  EXPECT_EQ(height, 32);
  EXPECT_EQ(filter, GL_NEAREST);
  EXPECT_EQ(mode, GL_MODULATE);
}

TEST_F(QelTextureDrawing, UnusableBitmapsAreNotUploaded) {
  TQelTexture texture;
  texture.SetBitmap(MakeBitmap(100, 64).get());
  texture.Draw();
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(QelTextureDrawing, TexturesBeyondTheGLMaximumAreLeftOut) {
  GLint maxSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  TQelTexture texture;
  texture.SetBitmap(MakeBitmap(maxSize * 2, 1).get());
  ASSERT_TRUE(texture.Usable());
  texture.Draw();
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(QelTextureDrawing, TheTextureMatrixFollowsTheTransform) {
  TQelTexture texture;
  texture.SetBitmap(MakeBitmap(2, 2).get());
  texture.SetTransform(true);
  texture.Scale().SetXYZ(2, 3, 1);
  texture.Draw();
  EXPECT_EQ(TextureMatrix()[0], 2.0f);
  EXPECT_EQ(TextureMatrix()[5], 3.0f);
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
  // Without the transform no earlier texture matrix stays behind.
  texture.SetTransform(false);
  texture.Draw();
  EXPECT_EQ(TextureMatrix()[0], 1.0f);
  EXPECT_EQ(TextureMatrix()[5], 1.0f);
}

TEST_F(QelTextureStoring, TextureKeyWritesTheBitmapToANewFile) {
  TempDir dir;
  TQelTexture texture;
  auto bitmap = MakeBitmap(4, 4);
  bitmap->SetPixel(2, 1, clFuchsia);
  texture.SetBitmap(bitmap.get());
  const std::string text = KeyText(texture, dir.Path());
  const std::size_t at = text.find("<FILE=\"");
  ASSERT_NE(at, std::string::npos);
  const std::string path = text.substr(at + 7, text.find('"', at + 7) - at - 7);
  EXPECT_EQ(ExtractFilePath(path), dir.Path() + "/");
  EXPECT_EQ(texture.FileName(), path);
  TQelTexture copy;
  TQelKeyReader reader(text);
  ReadKeysInto(reader, copy);
  EXPECT_EQ(copy.Bitmap().Pixel(2, 1), clFuchsia);
  EXPECT_EQ(copy.FileName(), path);
}

TEST_F(QelTextureStoring, TextureKeyRefersToAnExistingFileWithoutWritingIt) {
  TempDir dir;
  const std::string existing = dir.WriteFile("brick.jpg", "not a bitmap");
  TQelTexture texture;
  texture.SetBitmap(MakeBitmap(2, 2).get());
  texture.SetFileName(existing);
  const std::string text = KeyText(texture, dir.Path());
  EXPECT_NE(text.find("<FILE=\"" + existing + "\">"), std::string::npos);
  EXPECT_EQ(TempDir::ReadFile(existing), "not a bitmap");
}

TEST_F(QelTextureStoring, TextureKeyIsLeftOutWhenNoFileCanBeMade) {
  TQelTexture texture;
  texture.SetBitmap(MakeBitmap(2, 2).get());
  texture.SetFileName("/nonexistent-folder-qel/x.bmp");
  const std::string text = KeyText(texture, "");
  EXPECT_EQ(text.find("<FILE="), std::string::npos);
  EXPECT_NE(text.find("<TF=0>"), std::string::npos);
}

TEST_F(QelTextureStoring, TextureFileKeyWithABadFileKeepsTheBitmap) {
  TempDir dir;
  const std::string bad = dir.WriteFile("bad.bmp", "BM\x10");
  TQelTexture texture;
  texture.SetBitmap(MakeBitmap(2, 2).get());
  TQelKeyValueBase key;
  key.SetText("File", bad, vkQuoted);
  EXPECT_TRUE(texture.ReadKey(key));
  EXPECT_EQ(texture.Bitmap().Width(), 2);
  EXPECT_EQ(texture.FileName(), bad);
}

TEST_F(QelTextureStoring, TextureStreamRoundTripCarriesTheBitmap) {
  TQelTexture texture;
  auto bitmap = MakeBitmap(8, 4);
  bitmap->SetPixel(7, 3, clNavy);
  texture.SetBitmap(bitmap.get());
  texture.SetFileName("wood.bmp");
  texture.Rotation().SetZ(30);
  auto copy = StreamRoundTrip(texture);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Bitmap().Pixel(7, 3), clNavy);
  EXPECT_TRUE(copy->Usable());
  EXPECT_EQ(copy->FileName(), "wood.bmp");
  EXPECT_EQ(copy->Rotation().Z(), 30.0f);
}
