// Shared pieces of the 3D library tests: fixtures that reset the library's
// failure flags and injected faults, bitmaps, GL state, key text and streams.
#pragma once

#include "platform/GLContext.h"
#include "platform/Graphics.h"
#include "platform/Streams.h"
#include "qel3d/qelclass.h"
#include "qel3d/qellight.h"
#include "qel3d/qelmat.h"
#include "qel3d/qelview.h"
#include "qel3d/qelwrite.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>

class QelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QelInitLibrary();
    Reset();
  }
  void TearDown() override {
    Reset();
    TGLContext::MakeNoneCurrent();
  }
  static void Reset() {
    QelOffScreenFailed = false;
    QelTempContextFailed = false;
    QelReleaseFailed = false;
    GLFaultInjection() = TGLFaultInjection();
  }
};

// With a current window context (8 x 8 unless the test asks for another) and an identity model view.
class QelGLTest : public QelTest {
 protected:
  void SetUp() override {
    QelTest::SetUp();
    UseContext(8, 8);
  }
  void UseContext(int width, int height) {
    context_ = TGLContext::Create(TGLContextPurpose::Window, width, height);
    ASSERT_TRUE(context_->MakeCurrent());
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }
  std::unique_ptr<TGLContext> context_;
};

inline std::array<float, 16> GLMatrix(GLenum which) {
  std::array<float, 16> m{};
  glGetFloatv(which, m.data());
  return m;
}

inline std::unique_ptr<TBitmap> MakeBitmap(int width, int height, TPixelFormat format = pf24bit) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(format);
  bitmap->SetSize(width, height);
  return bitmap;
}

inline int CountPixelsOtherThan(const TBitmap& bitmap, TColor color) {
  int count = 0;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      if (bitmap.Pixel(x, y) != color) ++count;
  return count;
}

// Renders object in a material of colour diffuse, lit from (0, lightY, 5) and
// seen from (0, 0, cameraZ), into a new width x height bitmap.
inline std::unique_ptr<TBitmap> RenderLit(TQelRender& object, TColor diffuse, TColor background, float cameraZ,
                                          float lightY, int width, int height) {
  auto target = MakeBitmap(width, height);
  TQelView view;
  TQelCamera camera;
  camera.Position().SetXYZ(0, 0, cameraZ);
  TQelLight light;
  light.SetTransform(true);
  light.Translation().SetXYZ(0, lightY, 5);
  TQelMaterial material;
  material.ColorDiffuse().SetColor(diffuse);
  material.ColorAmbient().SetColor(clBlack);
  view.SetLighting(true);
  view.SetBackgroundColor(background);
  view.SetCamera(&camera);
  view.OnRender = [&](TPersistent&) {
    light.Draw();
    material.Draw();
    object.Draw();
  };
  view.SetTargetBitmap(target.get());
  view.Redraw();
  EXPECT_FALSE(QelReleaseFailed);
  return target;
}

// The key text an object writes; files it refers to go into folder.
inline std::string KeyTextOf(TQelRender& object, const std::string& folder = "") {
  TMemoryStream stream;
  TQelKeyWriter writer(stream);
  writer.FileFolder = folder;
  object.WriteKeys(writer);
  return std::string(stream.Bytes().begin(), stream.Bytes().end());
}

// Offers every key of text to object; returns how many it recognised.
inline int ReadKeyText(const std::string& text, TQelRender& object) {
  TQelKeyReader reader(text);
  return ReadKeysInto(reader, object);
}

// Writes an object to a property stream and reads it back into a new object of its class.
template <typename T>
std::unique_ptr<T> StreamRoundTrip(const T& object) {
  TMemoryStream stream;
  WriteComponentToStream(stream, object, "Object1");
  stream.SetPosition(0);
  std::unique_ptr<TPersistent> read = ReadComponentFromStream(stream);
  T* typed = dynamic_cast<T*>(read.get());
  if (typed == nullptr) return nullptr;
  read.release();
  return std::unique_ptr<T>(typed);
}

// Both round trips of a scene object give a copy that writes the same key text.
template <typename T>
void ExpectRoundTrips(T& object) {
  const std::string keys = KeyTextOf(object);
  T fromKeys;
  ReadKeyText(keys, fromKeys);
  EXPECT_EQ(KeyTextOf(fromKeys), keys);
  auto fromStream = StreamRoundTrip(object);
  ASSERT_NE(fromStream, nullptr);
  EXPECT_EQ(KeyTextOf(*fromStream), keys);
}
