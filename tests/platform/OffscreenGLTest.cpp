// The graphics libraries must be linked so that gl* calls reach OSMesa; with
// Qt's GL library first every call silently does nothing.
#include <GL/osmesa.h>
#include <GL/gl.h>

#include <gtest/gtest.h>

#include <vector>

TEST(OffscreenGL, ContextRendersAndReportsItsVersion) {
  OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
  ASSERT_NE(context, nullptr);
  std::vector<unsigned char> buffer(8 * 8 * 4, 0);
  ASSERT_TRUE(OSMesaMakeCurrent(context, buffer.data(), GL_UNSIGNED_BYTE, 8, 8));
  EXPECT_NE(glGetString(GL_VERSION), nullptr);
  glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glFinish();
  EXPECT_EQ(buffer[0], 255);
  EXPECT_EQ(buffer[1], 0);
  OSMesaMakeCurrent(nullptr, nullptr, GL_UNSIGNED_BYTE, 0, 0);
  OSMesaDestroyContext(context);
}
