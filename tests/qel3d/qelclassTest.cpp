#include "qel3d/qelcam.h"
#include "qel3d/qelclass.h"
#include "qel3d/qelshape.h"
#include "qel3d/qelview.h"
#include "tests/qel3d/QelTestSupport.h"
#include "tests/support/ErrorText.h"

#include <GL/gl.h>

#include <fenv.h>

#include <stdexcept>
#include <tuple>
#include <utility>

namespace {

// A scene object that draws nothing, or raises while rendering.
class TProbeObject : public TQelObject {
 public:
  int renders = 0;
  bool raise = false;
  void Render() override {
    TQelObject::Render();
    ++renders;
    if (raise) throw std::runtime_error("drawing failed");
  }
};

using QelObjectDrawing = QelGLTest;
using QelObjectStreaming = QelTest;
using QelLibraryStartUp = QelTest;

// Assigns source to target, which fires the target's own callback; a change of
// the target afterwards must not reach the source's callback.
template <typename T, typename Change>
void AssignKeepingCallbacks(T& source, T& target, Change change) {
  bool sourceCalled = false;
  int targetCalls = 0;
  source.OnChange = [&](TPersistent&) { sourceCalled = true; };
  target.OnChange = [&](TPersistent&) { ++targetCalls; };
  target.Assign(source);
  EXPECT_GE(targetCalls, 1) << source.ClassName();
  change(target);
  EXPECT_FALSE(sourceCalled) << source.ClassName();
  source.OnChange = nullptr;
  target.OnChange = nullptr;
}

}  // namespace

TEST(QelAssign, CopiesValuesButNeverCallbacks) {
  TQelVector vector(1, 2, 3), vectorCopy;
  AssignKeepingCallbacks(vector, vectorCopy, [](TQelVector& v) { v.SetX(9); });
  vectorCopy.Assign(TQelColor());  // anything but a vector changes nothing
  EXPECT_EQ(std::pair(vectorCopy.X(), vectorCopy.Y()), std::pair(9.0f, 2.0f));

  TProbeObject object, objectCopy;
  object.SetEnabled(false);
  object.SetTransform(true);
  object.Translation().SetXYZ(1, 2, 3);
  bool sourceTransformUsed = false;
  object.OnTransform = [&](TPersistent&) { sourceTransformUsed = true; };
  AssignKeepingCallbacks(object, objectCopy, [](TProbeObject& o) { o.SetEnabled(true); });
  EXPECT_EQ(std::pair(objectCopy.Transform(), objectCopy.Translation().Z()), std::pair(true, 3.0f));
  EXPECT_FALSE(static_cast<bool>(objectCopy.OnTransform));
  EXPECT_FALSE(sourceTransformUsed);

  TQelCamera camera, cameraCopy;
  camera.Position().SetXYZ(1, 2, 3);
  camera.SetViewAngle(30);
  AssignKeepingCallbacks(camera, cameraCopy, [](TQelCamera& c) { c.SetViewFar(99); });
  EXPECT_EQ(std::pair(cameraCopy.Position().Z(), cameraCopy.ViewAngle()), std::pair(3.0f, 30.0f));

  TQelCoordinates axes, axesCopy;
  axes.SetVisible(true);
  axes.SetLength(3);
  axes.SetColorY(clPurple);
  AssignKeepingCallbacks(axes, axesCopy, [](TQelCoordinates& a) { a.SetLength(4); });
  EXPECT_EQ(std::pair(axesCopy.Visible(), axesCopy.ColorY()), std::pair(true, TColor(clPurple)));

  TQelFog fog, fogCopy;
  fog.SetMode(fmExp2);
  fog.Color().SetColor(clRed);
  AssignKeepingCallbacks(fog, fogCopy, [](TQelFog& f) { f.SetDensity(0.3f); });
  EXPECT_EQ(std::pair(fogCopy.Mode(), fogCopy.Color().Color()), std::pair(fmExp2, TColor(clRed)));

  TQelCylinder cylinder, cylinderCopy;
  cylinder.SetSlices(7);
  cylinder.SetTopRadius(0);
  cylinder.SetClosed(true);
  cylinder.Translation().SetX(4);
  AssignKeepingCallbacks(cylinder, cylinderCopy, [](TQelCylinder& c) {
    c.SetEnabled(false);
    c.SetEnabled(true);
  });
  EXPECT_EQ(KeyTextOf(cylinderCopy), KeyTextOf(cylinder));
}

TEST(QelColorValues, GLColorIsBytesOver255AfterSystemColoursAreResolved) {
  const auto gl = TQelColor(0x0080FF, 0.5f).ToGLColor();
  EXPECT_FLOAT_EQ(gl[0], 1.0f);
  EXPECT_NEAR(gl[1], 0.50196f, 1e-5);
  EXPECT_FLOAT_EQ(gl[2], 0.0f);
  EXPECT_FLOAT_EQ(gl[3], 0.5f);
  const TColor face = ColorToRGB(clBtnFace);
  const auto system = TQelColor(clBtnFace).ToGLColor();
  EXPECT_FLOAT_EQ(system[0], GetRValue(face) / 255.0f);
  EXPECT_FLOAT_EQ(system[2], GetBValue(face) / 255.0f);
}

TEST_F(QelObjectDrawing, TransformRotatesThenScalesThenTranslatesUnlessReplacedOrOff) {
  // {rotation about y, scale, with the transform}: where the translation (1, 0, 0) lands.
  struct Case {
    float rotation, scale;
    bool transform;
    float x, z;
  } const cases[] = {{90, 1, true, 0, -1}, {0, 2, true, 2, 0}, {0, 1, false, 0, 0}};
  for (const Case& c : cases) {
    TProbeObject object;
    object.SetTransform(c.transform);
    object.Rotation().SetY(c.rotation);
    object.Scale().SetXYZ(c.scale, c.scale, c.scale);
    object.Translation().SetX(1);
    glLoadIdentity();
    object.Render();
    const auto m = GLMatrix(GL_MODELVIEW_MATRIX);
    EXPECT_NEAR(m[12], c.x, 1e-6) << c.rotation << " " << c.scale;
    EXPECT_NEAR(m[14], c.z, 1e-6) << c.rotation << " " << c.scale;
  }
  // OnTransform replaces the standard transform.
  TProbeObject object;
  object.SetTransform(true);
  object.Translation().SetX(1);
  object.OnTransform = [](TPersistent&) { glTranslatef(0, 5, 0); };
  glLoadIdentity();
  object.Render();
  EXPECT_EQ(std::pair(GLMatrix(GL_MODELVIEW_MATRIX)[12], GLMatrix(GL_MODELVIEW_MATRIX)[13]), std::pair(0.0f, 5.0f));
}

TEST_F(QelObjectDrawing, DrawRestoresMatrixAndAttributesEvenWhenRenderingRaises) {
  TProbeObject object;
  object.SetTransform(true);
  glDisable(GL_LIGHTING);
  object.OnTransform = [](TPersistent&) {
    glTranslatef(3, 0, 0);
    glEnable(GL_LIGHTING);
  };
  object.Draw();
  EXPECT_EQ(object.renders, 1);
  EXPECT_EQ(GLMatrix(GL_MODELVIEW_MATRIX)[12], 0.0f);
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  object.raise = true;
  EXPECT_THROW(object.Draw(), std::runtime_error);
  GLint depths[2] = {};
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depths[0]);
  glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &depths[1]);
  EXPECT_EQ(std::pair(depths[0], depths[1]), std::pair(1, 0));
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  object.SetEnabled(false);  // disabled objects do not render
  EXPECT_NO_THROW(object.Draw());
  EXPECT_EQ(object.renders, 2);
}

TEST_F(QelObjectStreaming, TheBaseClassRefusesToBeStored) {
  TProbeObject object;
  TMemoryStream stream;
  TQelKeyWriter writer(stream);
  EXPECT_EQ(ErrorText<EQelException>([&] { object.WriteKeys(writer); }), "This object of the class TQelObject can not be stored.");
  EXPECT_EQ(stream.Size(), 0);
}

// The stream round trips show the classes registered.
TEST_F(QelLibraryStartUp, FloatingPointTrapsAreMasked) { EXPECT_EQ(fegetexcept(), 0); }
