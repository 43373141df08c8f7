#include "platform/GLContext.h"
#include "platform/Graphics.h"

#include <GL/gl.h>
#include <GL/osmesa.h>

#include <gtest/gtest.h>

namespace {

class OffscreenContexts : public ::testing::Test {
 protected:
  void SetUp() override { GLFaultInjection() = TGLFaultInjection(); }
  void TearDown() override {
    GLFaultInjection() = TGLFaultInjection();
    TGLContext::MakeNoneCurrent();
  }
};

// Every gl* call must reach OSMesa: with Qt's GL library linked first they silently do nothing.

// Fills the upper half of the frame (GL's top, y from 0 to 1 in normalised coordinates) red.
void DrawRedUpperHalf() {
  glClearColor(0, 0, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glColor3f(1, 0, 0);
  glRectf(-1, 0, 1, 1);
  glFinish();
}

}  // namespace

TEST_F(OffscreenContexts, ContextReachesOSMesaAndHasADepthBuffer) {
  auto context = TGLContext::Create(TGLContextPurpose::Window, 16, 8);
  ASSERT_NE(context, nullptr);
  ASSERT_TRUE(context->MakeCurrent());
  EXPECT_NE(glGetString(GL_VERSION), nullptr);
  GLint depthBits = 0;
  glGetIntegerv(GL_DEPTH_BITS, &depthBits);
  EXPECT_GE(depthBits, 24);
  EXPECT_EQ(TGLContext::Current(), context.get());
  // Sizes below one become one.
  auto tiny = TGLContext::Create(TGLContextPurpose::Window, 0, -3);
  ASSERT_NE(tiny, nullptr);
  EXPECT_EQ(tiny->Width(), 1);
  EXPECT_EQ(tiny->Height(), 1);
}

TEST_F(OffscreenContexts, RowsAreStoredFromTheTopANewSizeCoversTheWholeBufferAndFramesAreOpaque) {
  auto context = TGLContext::Create(TGLContextPurpose::Window, 4, 4);
  ASSERT_TRUE(context->MakeCurrent());
  DrawRedUpperHalf();
  EXPECT_EQ(context->Image().pixelColor(0, 0), QColor(255, 0, 0));
  EXPECT_EQ(context->Image().pixelColor(0, 3), QColor(0, 0, 255));
  ASSERT_TRUE(context->SetSize(10, 6));
  EXPECT_EQ(context->Width(), 10);
  EXPECT_EQ(context->Height(), 6);
  GLint viewport[4] = {};
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 10);
  EXPECT_EQ(viewport[3], 6);
  DrawRedUpperHalf();
  EXPECT_EQ(context->Image().pixelColor(9, 0), QColor(255, 0, 0));
  EXPECT_EQ(context->Image().pixelColor(9, 5), QColor(0, 0, 255));
  // Window frames are presented opaque.
  glClearColor(0, 1, 0, 0.25f);
  glClear(GL_COLOR_BUFFER_BIT);
  context->PresentFrame();
  EXPECT_EQ(context->Image().pixelColor(1, 1).alpha(), 255);
}

TEST_F(OffscreenContexts, CopiesIntoBitmapsOfEveryFormat) {
  auto context = TGLContext::Create(TGLContextPurpose::Bitmap, 4, 4);
  ASSERT_TRUE(context->MakeCurrent());
  DrawRedUpperHalf();
  for (TPixelFormat format : {pf24bit, pf32bit, pf8bit}) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(format);
    bitmap.SetSize(6, 4);  // wider than the frame: only the common part is copied
    int changes = 0;
    bitmap.OnChange = [&](TBitmap&) { ++changes; };
    context->CopyToBitmap(bitmap);
    EXPECT_EQ(bitmap.Pixel(0, 0), clRed) << format;
    EXPECT_EQ(bitmap.Pixel(3, 3), clBlue) << format;
    EXPECT_EQ(bitmap.Pixel(5, 3), clWhite) << format;  // untouched new area
    EXPECT_EQ(changes, 1) << format;
  }
}

TEST_F(OffscreenContexts, ReleaseUnbindsAndForgetsTheContext) {
  auto context = TGLContext::Create(TGLContextPurpose::Window, 2, 2);
  ASSERT_TRUE(context->MakeCurrent());
  const std::uint64_t id = context->Id();
  EXPECT_EQ(TGLContext::Find(id), context.get());
  EXPECT_TRUE(context->Release());
  EXPECT_EQ(OSMesaGetCurrentContext(), nullptr);
  EXPECT_EQ(TGLContext::Find(id), nullptr);
  EXPECT_FALSE(context->MakeCurrent());
  context.reset();
  EXPECT_NE(TGLContext::Create(TGLContextPurpose::Window, 2, 2)->Id(), id);  // ids are never reused
}

TEST_F(OffscreenContexts, InjectedFailuresHitOnlyTheirKind) {
  GLFaultInjection().failBitmapContexts = true;
  EXPECT_EQ(TGLContext::Create(TGLContextPurpose::Bitmap, 2, 2), nullptr);
  EXPECT_NE(TGLContext::Create(TGLContextPurpose::Window, 2, 2), nullptr);
  EXPECT_NE(TGLContext::Create(TGLContextPurpose::Temporary, 2, 2), nullptr);
  GLFaultInjection() = TGLFaultInjection();
  GLFaultInjection().failTemporaryContexts = true;
  EXPECT_EQ(TGLContext::Create(TGLContextPurpose::Temporary, 2, 2), nullptr);
  GLFaultInjection() = TGLFaultInjection();
  auto context = TGLContext::Create(TGLContextPurpose::Window, 2, 2);
  GLFaultInjection().failWindowContexts = true;
  EXPECT_EQ(TGLContext::Create(TGLContextPurpose::Window, 2, 2), nullptr);
  // A failed release still frees the context.
  const std::uint64_t id = context->Id();
  GLFaultInjection().failRelease = true;
  EXPECT_FALSE(context->Release());
  EXPECT_EQ(TGLContext::Find(id), nullptr);
}

TEST_F(OffscreenContexts, GuardRestoresTheContextThatWasCurrentIfItStillExists) {
  auto outer = TGLContext::Create(TGLContextPurpose::Window, 2, 2);
  auto inner = TGLContext::Create(TGLContextPurpose::Window, 2, 2);
  ASSERT_TRUE(outer->MakeCurrent());
  {
    TGLCurrentContextGuard guard;
    ASSERT_TRUE(inner->MakeCurrent());
    EXPECT_TRUE(inner->IsCurrent());
  }
  EXPECT_TRUE(outer->IsCurrent());
  TGLContext::MakeNoneCurrent();
  {
    TGLCurrentContextGuard guard;
    ASSERT_TRUE(inner->MakeCurrent());
  }
  EXPECT_EQ(TGLContext::Current(), nullptr);
  ASSERT_TRUE(outer->MakeCurrent());
  {
    TGLCurrentContextGuard guard;
    outer.reset();
    ASSERT_TRUE(inner->MakeCurrent());
  }
  EXPECT_EQ(OSMesaGetCurrentContext(), nullptr);
}
