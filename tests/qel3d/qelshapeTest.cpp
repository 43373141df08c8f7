#include "qel3d/qelshape.h"
#include "tests/qel3d/QelTestSupport.h"

#include <GL/gl.h>

#include <vector>

namespace {

class QelShapeDrawing : public QelGLTest {
 protected:
  void SetUp() override {
    QelTest::SetUp();
    UseContext(200, 200);
    // Looking down the z axis at -2 .. 2 in x and y: 50 pixels per unit.
    glMatrixMode(GL_PROJECTION);
    glOrtho(-2, 2, -2, 2, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1, 1, 1);
  }

  // Whether the pixel at (x, y) in scene units was drawn.
  bool Covered(double x, double y) {
    glFinish();
    const int column = static_cast<int>((x + 2) * 50);
    const int row = static_cast<int>((2 - y) * 50);
    return context_->Image().pixelColor(column, row) == QColor(255, 255, 255);
  }

  // Polygons a shape sends, counted in feedback mode.
  int PolygonsOf(TQelShape& shape) {
    std::vector<GLfloat> buffer(1 << 20);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_2D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    shape.Draw();
    const GLint size = glRenderMode(GL_RENDER);
    int polygons = 0;
    for (GLint i = 0; i < size;) {
      const auto token = static_cast<GLint>(buffer[i]);
      if (token == GL_POLYGON_TOKEN) {
        ++polygons;
        i += 2 + 2 * static_cast<GLint>(buffer[i + 1]);
      } else {
        i += token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN ? 5 : 3;
      }
    }
    return polygons;
  }

};

using QelShapeStoring = QelTest;

}  // namespace

TEST(QelShapeValues, SetterRules) {
  TQelCylinder cylinder;
  cylinder.SetSlices(0);
  cylinder.SetStacks(-3);
  EXPECT_EQ(cylinder.Slices(), 1);
  EXPECT_EQ(cylinder.Stacks(), 1);
  cylinder.SetHeight(-0.5f);
  EXPECT_EQ(cylinder.Height(), 1.0f);
  cylinder.SetHeight(0);
  EXPECT_EQ(cylinder.Height(), 0.0f);
  cylinder.SetBaseRadius(-2);
  EXPECT_EQ(cylinder.BaseRadius(), -2.0f);
  TQelSphere sphere;
  sphere.SetRadius(-1);
  EXPECT_EQ(sphere.Radius(), 1.0f);
  TQelTorus torus;
  torus.SetRadius(-1);
  torus.SetThickness(-0.1f);
  EXPECT_EQ(torus.Radius(), 0.0f);
  EXPECT_EQ(torus.Thickness(), 0.0f);
  TQelDisc disc;
  disc.SetInnerRadius(-4);
  EXPECT_EQ(disc.InnerRadius(), -4.0f);
  // The setters fire no change events.
  int changes = 0;
  sphere.OnChange = [&](TPersistent&) { ++changes; };
  sphere.SetRadius(3);
  sphere.SetSlices(30);
  sphere.SetTextured(true);
  EXPECT_EQ(changes, 0);
}

TEST(QelShapeValues, ADiscIsPartialUnlessItStartsAtZeroAndSweepsAllRound) {
  TQelDisc disc;
  EXPECT_FALSE(disc.IsPartial());
  disc.SetStartAngle(10);
  EXPECT_TRUE(disc.IsPartial());
  disc.SetStartAngle(0);
  disc.SetSweepAngle(90);
  EXPECT_TRUE(disc.IsPartial());
}

TEST(QelShapeValues, AssignCopiesTheShape) {
  TQelCylinder source, copy;
  source.SetSlices(7);
  source.SetTopRadius(0);
  source.SetClosed(true);
  source.Translation().SetX(4);
  copy.Assign(source);
  EXPECT_EQ(copy.Slices(), 7);
  EXPECT_EQ(copy.TopRadius(), 0.0f);
  EXPECT_TRUE(copy.Closed());
  EXPECT_EQ(copy.Translation().X(), 4.0f);
}

TEST_F(QelShapeDrawing, TorusEquatorsLieAtRadiusPlusAndMinusThickness) {
  TQelTorus torus;
  torus.SetSlices(4);
  torus.SetStacks(4);
  torus.Draw();
  EXPECT_TRUE(Covered(1.15, 0.01));
  EXPECT_FALSE(Covered(1.25, 0.01));
  EXPECT_TRUE(Covered(0.85, 0.01));
  EXPECT_FALSE(Covered(0.75, 0.01));
  EXPECT_FALSE(Covered(0.0, 0.0));
}

TEST_F(QelShapeDrawing, SphereCoversItsRadius) {
  TQelSphere sphere;
  sphere.SetRadius(1.5f);
  sphere.SetSlices(32);
  sphere.SetStacks(32);
  sphere.Draw();
  EXPECT_TRUE(Covered(1.4, 0.0));
  EXPECT_FALSE(Covered(1.6, 0.0));
}

TEST_F(QelShapeDrawing, ADegenerateSphereStillDraws) {
  TQelSphere sphere;
  sphere.SetSlices(1);
  sphere.Draw();
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(QelShapeDrawing, PartialDiscCoversOnlyItsSweep) {
  TQelDisc disc;
  disc.SetInnerRadius(0.5f);
  disc.SetStartAngle(0);  // GLU angles run clockwise from +y
  disc.SetSweepAngle(90);
  disc.SetSlices(16);
  disc.Draw();
  EXPECT_TRUE(Covered(0.5, 0.5));
  EXPECT_FALSE(Covered(-0.5, 0.5));
  EXPECT_FALSE(Covered(0.1, 0.1));  // the hole
}

TEST_F(QelShapeDrawing, AClosedConeGetsOnlyItsBaseDisc) {
  TQelCylinder open, closed, cone, closedCone;
  closed.SetClosed(true);
  cone.SetTopRadius(0);
  closedCone.SetTopRadius(0);
  closedCone.SetClosed(true);
  const int caps = PolygonsOf(closed) - PolygonsOf(open);
  ASSERT_GT(caps, 0);
  EXPECT_EQ(PolygonsOf(closedCone) - PolygonsOf(cone), caps / 2);
}

TEST_F(QelShapeStoring, ShapeKeysReadBack) {
  TQelCylinder cylinder;
  cylinder.SetSlices(12);
  cylinder.SetBaseRadius(0.5f);
  cylinder.SetTopRadius(0.25f);
  cylinder.SetClosed(true);
  cylinder.SetTextured(true);
  const std::string keys = KeyTextOf(cylinder);
  EXPECT_NE(keys.find("<SLICES=12>\r\n<STACKS=10>\r\n<TEX=1>\r\n<BASE=0.500>\r\n<TOP=0.250>\r\n<HEIGHT=1.000>\r\n<CLOSED=1>"),
            std::string::npos);
  TQelKeyReader reader(keys);
  TQelCylinder copy;
  ReadKeysInto(reader, copy);
  EXPECT_EQ(copy.Slices(), 12);
  EXPECT_EQ(copy.TopRadius(), 0.25f);
  EXPECT_TRUE(copy.Closed());
  EXPECT_TRUE(copy.Textured());

  TQelTorus torus;
  torus.SetThickness(0.3f);
  TQelKeyReader torusReader(KeyTextOf(torus));
  TQelTorus torusCopy;
  torusCopy.SetThickness(1);
  ReadKeysInto(torusReader, torusCopy);
  EXPECT_EQ(torusCopy.Thickness(), 0.3f);

  TQelDisc disc;
  disc.SetSweepAngle(45);
  EXPECT_NE(KeyTextOf(disc).find("<OUTER=1.000>\r\n<INNER=0.000>\r\n<START=0.000>\r\n<SWEEP=45.000>"),
            std::string::npos);
}

TEST_F(QelShapeStoring, ShapeStreamsKeepZeroRadii) {
  TQelDisc disc;
  disc.SetOuterRadius(0);
  disc.SetSweepAngle(0);
  disc.SetSlices(3);
  auto copy = StreamRoundTrip(disc);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->OuterRadius(), 0.0f);
  EXPECT_EQ(copy->SweepAngle(), 0.0f);
  EXPECT_EQ(copy->Slices(), 3);
  TQelSphere sphere;
  sphere.SetRadius(0);
  auto sphereCopy = StreamRoundTrip(sphere);
  ASSERT_NE(sphereCopy, nullptr);
  EXPECT_EQ(sphereCopy->Radius(), 0.0f);
  TQelCylinder cylinder;
  cylinder.SetTopRadius(0);
  auto cylinderCopy = StreamRoundTrip(cylinder);
  ASSERT_NE(cylinderCopy, nullptr);
  EXPECT_EQ(cylinderCopy->TopRadius(), 0.0f);
}

TEST_F(QelShapeDrawing, ATorusIsDrawnNoFinerThanGluDrawsItsQuadrics) {
  TQelTorus finest, stored;
  finest.SetSlices(239);
  finest.SetStacks(239);
  stored.SetSlices(INT32_MAX);
  stored.SetStacks(INT32_MAX);
  const int polygons = PolygonsOf(finest);
  EXPECT_GT(polygons, 0);
  EXPECT_EQ(PolygonsOf(stored), polygons);
  EXPECT_EQ(stored.Slices(), INT32_MAX) << "the stored count is kept";
}
