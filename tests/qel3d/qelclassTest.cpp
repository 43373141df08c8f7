#include "qel3d/qelclass.h"
#include "qel3d/qelshape.h"
#include "tests/qel3d/QelTestSupport.h"
#include "tests/support/ErrorText.h"

#include <GL/gl.h>

#include <fenv.h>

#include <stdexcept>

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

std::array<float, 16> ModelView() {
  std::array<float, 16> m{};
  glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
  return m;
}

}  // namespace

TEST(QelVectorChanges, OnlyADifferingValueCallsBack) {
  TQelVector v;
  int calls = 0;
  v.OnChange = [&](TPersistent& sender) {
    EXPECT_EQ(&sender, &v);
    ++calls;
  };
  v.SetX(0.0f);
  EXPECT_EQ(calls, 0);
  v.SetX(2.0f);
  v.SetX(2.0f);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(v.X(), 2.0f);
}

TEST(QelVectorChanges, DirectionTakesOnlyMinusOneToOne) {
  TQelDirection d;
  d.SetX(-1.0f);
  EXPECT_EQ(d.X(), -1.0f);
  d.SetY(1.0f);
  EXPECT_EQ(d.Y(), 1.0f);
  d.SetY(1.01f);
  EXPECT_EQ(d.Y(), 1.0f);
  d.SetZ(NAN);
  EXPECT_EQ(d.Z(), -1.0f);
}

TEST(QelVectorChanges, AssignCopiesValuesButNotTheCallback) {
  TQelVector source(1, 2, 3), target;
  bool sourceCalled = false;
  int targetCalls = 0;
  source.OnChange = [&](TPersistent&) { sourceCalled = true; };
  target.OnChange = [&](TPersistent&) { ++targetCalls; };
  target.Assign(source);
  EXPECT_EQ(target.Y(), 2.0f);
  EXPECT_EQ(targetCalls, 1);
  target.SetX(9);
  EXPECT_FALSE(sourceCalled);
  // Anything but a vector changes nothing.
  TQelColor color;
  target.Assign(color);
  EXPECT_EQ(target.X(), 9.0f);
  EXPECT_EQ(targetCalls, 2);
}

TEST(QelColorValues, AlphaTakesOnlyZeroToOne) {
  TQelColor c;
  int calls = 0;
  c.OnChange = [&](TPersistent&) { ++calls; };
  c.SetAlpha(1.5f);
  EXPECT_EQ(c.Alpha(), 1.0f);
  c.SetAlpha(0.0f);
  EXPECT_EQ(c.Alpha(), 0.0f);
  c.SetColor(0x123456);
  EXPECT_EQ(calls, 2);
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

TEST(QelComponents, AssignFiresTheTargetsChangeAndKeepsItsHandlers) {
  TProbeObject source, target;
  source.SetEnabled(false);
  source.Translation().SetXYZ(1, 2, 3);
  source.SetTransform(true);
  bool sourceTransformUsed = false;
  source.OnTransform = [&](TPersistent&) { sourceTransformUsed = true; };
  int changes = 0;
  target.OnChange = [&](TPersistent&) { ++changes; };
  target.Assign(source);
  EXPECT_FALSE(target.Enabled());
  EXPECT_TRUE(target.Transform());
  EXPECT_EQ(target.Translation().Z(), 3.0f);
  EXPECT_GE(changes, 1);
  EXPECT_FALSE(static_cast<bool>(target.OnTransform));
  EXPECT_FALSE(sourceTransformUsed);
}

TEST(QelComponents, ChangeHooksBelongToTheirOwner) {
  TProbeObject object;
  int first = 0, second = 0;
  const int ownerA = 0, ownerB = 0;
  object.HookChange(&ownerA, [&](TPersistent&) { ++first; });
  object.HookChange(&ownerB, [&](TPersistent&) { ++second; });
  object.UnhookChange(&ownerA);  // no longer A's hook: stays
  object.SetEnabled(false);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(second, 1);
  object.UnhookChange(&ownerB);
  object.SetEnabled(true);
  EXPECT_EQ(second, 1);
}

TEST(QelComponents, VectorChangesReachTheOwner) {
  TProbeObject object;
  int changes = 0;
  object.OnChange = [&](TPersistent&) { ++changes; };
  object.Rotation().SetY(5);
  object.Scale().SetX(1);  // unchanged
  object.SetTranslation(TQelVector(1, 1, 1));
  EXPECT_EQ(changes, 2);
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
    const auto m = ModelView();
    EXPECT_NEAR(m[12], c.x, 1e-6) << c.rotation << " " << c.scale;
    EXPECT_NEAR(m[13], 0.0f, 1e-6);
    EXPECT_NEAR(m[14], c.z, 1e-6);
  }
  // OnTransform replaces the standard transform.
  TProbeObject object;
  object.SetTransform(true);
  object.Translation().SetX(1);
  object.OnTransform = [](TPersistent&) { glTranslatef(0, 5, 0); };
  glLoadIdentity();
  object.Render();
  EXPECT_EQ(ModelView()[12], 0.0f);
  EXPECT_EQ(ModelView()[13], 5.0f);
}

TEST_F(QelObjectDrawing, DrawRestoresMatrixAndAttributes) {
  TProbeObject object;
  object.SetTransform(true);
  object.Translation().SetX(3);
  glDisable(GL_LIGHTING);
  object.OnTransform = [](TPersistent&) {
    glTranslatef(3, 0, 0);
    glEnable(GL_LIGHTING);
  };
  object.Draw();
  EXPECT_EQ(object.renders, 1);
  EXPECT_EQ(ModelView()[12], 0.0f);
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  object.SetEnabled(false);  // disabled objects do not render
  object.Draw();
  EXPECT_EQ(object.renders, 1);
}

TEST_F(QelObjectDrawing, DrawPopsEvenWhenRenderingRaises) {
  TProbeObject object;
  object.raise = true;
  EXPECT_THROW(object.Draw(), std::runtime_error);
  GLint matrixDepth = 0, attribDepth = 0;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &matrixDepth);
  glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &attribDepth);
  EXPECT_EQ(matrixDepth, 1);
  EXPECT_EQ(attribDepth, 0);
}

TEST_F(QelObjectStreaming, TheBaseClassRefusesToBeStored) {
  TProbeObject object;
  TMemoryStream stream;
  TQelKeyWriter writer(stream);
  EXPECT_EQ(ErrorText<EQelException>([&] { object.WriteKeys(writer); }), "This object of the class TQelObject can not be stored.");
  EXPECT_EQ(stream.Size(), 0);
}

TEST_F(QelObjectStreaming, ZeroVectorsSurviveAStreamRoundTrip) {
  TQelSphere sphere;
  sphere.Scale().SetXYZ(1, 0, 2);
  sphere.Translation().SetXYZ(0, 0, 0);
  sphere.Rotation().SetXYZ(0, 45, 0);
  auto copy = StreamRoundTrip(sphere);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Scale().X(), 1.0f);
  EXPECT_EQ(copy->Scale().Y(), 0.0f);
  EXPECT_EQ(copy->Scale().Z(), 2.0f);
  EXPECT_EQ(copy->Rotation().Y(), 45.0f);
  sphere.Scale().SetXYZ(0, 0, 0);  // all of them
  copy = StreamRoundTrip(sphere);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Scale().X(), 0.0f);
  EXPECT_EQ(copy->Scale().Z(), 0.0f);
}

TEST_F(QelLibraryStartUp, RegistersTheStreamableClassesAndMasksTraps) {
  for (const char* name : {"TQelLight", "TQelText", "TQelTexture", "TQelMaterial", "TQelCylinder", "TQelSphere",
                           "TQelDisc", "TQelTorus", "TQelCamera", "TQelView"})
    EXPECT_TRUE(IsClassRegistered(name)) << name;
  EXPECT_EQ(fegetexcept(), 0);
}
