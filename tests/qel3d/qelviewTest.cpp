#include "qel3d/qelshape.h"
#include "qel3d/qelview.h"
#include "tests/qel3d/QelTestSupport.h"

#include <GL/gl.h>

#include <cmath>
#include <stdexcept>
#include <tuple>
#include <utility>

namespace {

using QelViewRendering = QelTest;
using QelViewProjection = QelTest;
using QelViewModes = QelTest;
using QelViewFailures = QelTest;

// The matrices and viewport a window-mode view hands its host while rendering.
struct Seen {
  std::array<float, 16> projection{}, modelView{};
  GLint viewport[4] = {};
};

Seen Painted(TQelView& view) {
  Seen seen;
  view.OnRender = [&](TPersistent&) {
    seen.projection = GLMatrix(GL_PROJECTION_MATRIX);
    seen.modelView = GLMatrix(GL_MODELVIEW_MATRIX);
    glGetIntegerv(GL_VIEWPORT, seen.viewport);
  };
  view.HandleCreated();
  view.Paint();
  return seen;
}

GLint Integer(GLenum name) {
  GLint value[4] = {};
  glGetIntegerv(name, value);
  return value[0];
}

GLfloat Real(GLenum name, int index = 0) {
  GLfloat value[4] = {};
  glGetFloatv(name, value);
  return value[index];
}

// The attribute stack is empty and lighting is off: nothing of a render pass stays behind.
void ExpectNoStateBehind(TQelView& view) {
  ASSERT_TRUE(view.MakeCurrent(true));
  EXPECT_EQ(Integer(GL_ATTRIB_STACK_DEPTH), 0);
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
  view.MakeCurrent(false);
}

}  // namespace

TEST_F(QelViewRendering, ALitSphereRendersWhereItStands) {
  TQelSphere sphere;
  sphere.SetSlices(24);
  sphere.SetStacks(24);
  const auto target = RenderLit(sphere, clRed, clBlue, 4, 0, 100, 100);
  // Radius 1 at 4 units under 45 degrees covers the middle, lit red, darker toward the rim.
  const TColor centre = target->Pixel(50, 50);
  EXPECT_GT(GetRValue(centre), 200);
  EXPECT_EQ(centre & 0xFFFF00, 0u);
  EXPECT_LT(GetRValue(target->Pixel(50, 30)), GetRValue(centre));
  EXPECT_EQ(target->Pixel(2, 2), clBlue);
  EXPECT_EQ(target->Pixel(97, 97), clBlue);
}

TEST_F(QelViewRendering, RenderSceneAppliesTheViewStateBeforeTheHostDraws) {
  TQelView view;
  view.SetCullFace(cfFront);
  view.SetPerspectiveCorrection(quNicest);
  view.SetPolygonMode(pmLine);
  view.SetShadeModel(smFlat);
  view.SetTransparency(true);
  view.SetAntialiasing(true);
  view.SetDithering(false);
  view.ColorAmbient().SetColor(0x0000FF);
  view.SetLightTwoSide(true);
  view.Fog().SetEnabled(true);
  view.Fog().SetMode(fmLinear);
  view.Fog().SetEndDepth(7);
  view.Fog().Color().SetColor(0x00FF00);
  view.SetLighting(true);
  bool rendered = false;
  view.OnRender = [&](TPersistent& sender) {
    rendered = true;
    EXPECT_EQ(&sender, &view);
    for (GLenum enabled : {GL_DEPTH_TEST, GL_CULL_FACE, GL_BLEND, GL_POLYGON_SMOOTH, GL_LINE_SMOOTH, GL_FOG, GL_LIGHTING})
      EXPECT_TRUE(glIsEnabled(enabled)) << enabled;
    EXPECT_FALSE(glIsEnabled(GL_DITHER));
    const std::pair<GLenum, GLint> integers[] = {
        {GL_MATRIX_MODE, GL_MODELVIEW},    {GL_ATTRIB_STACK_DEPTH, 1},
        {GL_CULL_FACE_MODE, GL_FRONT},     {GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST},
        {GL_POLYGON_MODE, GL_LINE},        {GL_SHADE_MODEL, GL_FLAT},
        {GL_BLEND_SRC, GL_SRC_ALPHA},      {GL_BLEND_DST, GL_ONE_MINUS_SRC_ALPHA},
        {GL_LINE_SMOOTH_HINT, GL_NICEST},  {GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE},
        {GL_FOG_MODE, GL_LINEAR}};
    for (const auto& [name, value] : integers) EXPECT_EQ(Integer(name), value) << name;
    EXPECT_EQ(std::tuple(Real(GL_LIGHT_MODEL_AMBIENT, 0), Real(GL_LIGHT_MODEL_AMBIENT, 2), Real(GL_FOG_END), Real(GL_FOG_COLOR, 1)),
              std::tuple(1.0f, 0.0f, 7.0f, 1.0f));
  };
  view.HandleCreated();
  view.Paint();
  EXPECT_TRUE(rendered);
  EXPECT_TRUE(view.Painted());
}

TEST_F(QelViewRendering, TheRenderPassLeavesNoStateBehindEvenWhenTheHostFails) {
  TQelView view;
  view.SetLighting(true);
  view.SetCullFace(cfBack);
  view.HandleCreated();
  ASSERT_TRUE(view.MakeCurrent(true));
  view.RenderScene();
  ExpectNoStateBehind(view);
  // A failing host drops the frame and sets the flag; the redraw guard is clear again.
  int renders = 0;
  view.OnRender = [&](TPersistent&) {
    ++renders;
    glEnable(GL_LIGHTING);
    throw std::runtime_error("host failed");
  };
  EXPECT_NO_THROW(view.Redraw());
  EXPECT_TRUE(QelReleaseFailed);
  view.Redraw();
  EXPECT_EQ(renders, 2);
  ExpectNoStateBehind(view);
}

TEST_F(QelViewRendering, VisibleAxesAreDrawnInTheirColours) {
  auto target = MakeBitmap(101, 101);
  TQelView view;
  TQelCamera camera;
  camera.Position().SetXYZ(0, 0, 3);
  view.SetCamera(&camera);
  view.Coordinates().SetVisible(true);
  view.SetTargetBitmap(target.get());
  view.Redraw();
  // The X axis runs right from the centre in red, the Y axis up in green.
  int red = 0, green = 0;
  for (int along = 55; along < 75; ++along)
    for (int across = 48; across <= 52; ++across) {
      red += target->Pixel(along, across) == clRed;
      green += target->Pixel(across, 100 - along) == clGreen;
    }
  EXPECT_GT(red, 10);
  EXPECT_GT(green, 10);
}

TEST_F(QelViewProjection, TheBoxFollowsTheAspectAndTheCameraPlacesTheModelView) {
  TQelView view;
  view.SetClientSize(400, 200);
  TQelCamera camera;
  camera.SetViewOrtho(2);
  camera.Position().SetXYZ(1, 2, 3);
  view.SetCamera(&camera);
  view.SetProjectionType(ptOrthographic);
  const Seen seen = Painted(view);
  // glOrtho(-2, 2, -1, 1, ...): x scale 2 / 4, y scale 2 / 2.
  EXPECT_FLOAT_EQ(seen.projection[0], 0.5f);
  EXPECT_FLOAT_EQ(seen.projection[5], 1.0f);
  EXPECT_EQ(std::pair(seen.viewport[2], seen.viewport[3]), std::pair(400, 200));
  EXPECT_EQ(std::tuple(seen.modelView[12], seen.modelView[13], seen.modelView[14]), std::tuple(-1.0f, -2.0f, -3.0f));
  // Without a camera the projection stays the identity.
  TQelView bare;
  const Seen identity = Painted(bare);
  EXPECT_EQ(identity.projection[0], 1.0f);
  EXPECT_EQ(identity.projection[10], 1.0f);
}

TEST_F(QelViewProjection, GLReachesOSMesaAndAFrameWithoutHeightHasAFiniteProjection) {
  TQelView view;
  TQelCamera camera;
  view.SetCamera(&camera);
  view.HandleCreated();
  ASSERT_TRUE(view.MakeCurrent(true));
  EXPECT_NE(glGetString(GL_VERSION), nullptr);
  view.SetupProjection(100, 0);
  for (float v : GLMatrix(GL_PROJECTION_MATRIX)) EXPECT_TRUE(std::isfinite(v));
  view.MakeCurrent(false);
}

TEST_F(QelViewModes, WindowModeRendersAtTheClientSizeAndAsksForRepaintsOnlyWithAContextWhenVisible) {
  TQelView view;
  int invalidations = 0;
  view.OnInvalidate = [&] { ++invalidations; };
  view.SetBackgroundColor(0x204080);
  EXPECT_EQ(invalidations, 0);
  EXPECT_TRUE(view.Image().isNull());
  view.HandleCreated();
  EXPECT_FALSE(view.InBitmapMode());
  view.SetClientSize(120, 30);
  view.Paint();
  EXPECT_EQ(view.Image().size(), QSize(120, 30));
  EXPECT_EQ(view.Image().pixelColor(119, 29), QColor(0x80, 0x40, 0x20));
  invalidations = 0;
  view.SetBackgroundColor(clGreen);
  view.SetVisible(false);
  view.SetBackgroundColor(clBlue);
  EXPECT_EQ(invalidations, 1);
  view.SetClientSize(100000, -5);  // kept within the viewport limit
  EXPECT_EQ(std::pair(view.ClientWidth(), view.ClientHeight()), std::pair(TQelView::kMaxClientSize, 0));
}

TEST_F(QelViewModes, BitmapModeRedrawsAtOnceWithSystemColoursResolvedAndTheContextOutlivesTheTarget) {
  auto target = MakeBitmap(10, 6);
  TQelView view;
  view.SetSmoothBitmap(true);  // needs a target
  EXPECT_FALSE(view.SmoothBitmap());
  int redraws = 0;
  view.OnBitmapRedraw = [&](TPersistent&) { ++redraws; };
  view.SetTargetBitmap(target.get());
  view.SetTargetBitmap(target.get());  // unchanged: kept
  EXPECT_TRUE(view.InBitmapMode());
  view.SetBackgroundColor(clYellow);
  view.Fog().SetDensity(0.5f);
  EXPECT_EQ(redraws, 2);
  EXPECT_EQ(target->Pixel(9, 5), clYellow);
  target->SetSize(30, 20);
  view.Redraw();
  EXPECT_EQ(target->Pixel(29, 19), clYellow);
  view.SetBackgroundColor(clBtnFace);
  EXPECT_EQ(target->Pixel(1, 1), ColorToRGB(clBtnFace));
  view.SetSmoothBitmap(true);
  EXPECT_TRUE(view.SmoothBitmap());
  view.SetTargetBitmap(nullptr);
  EXPECT_FALSE(view.InBitmapMode());
  EXPECT_TRUE(view.HasContext());
  view.SetActive(false);
  view.SetDoubleBuffer(false);  // makes no context while inactive
  EXPECT_FALSE(view.HasContext());
}

TEST_F(QelViewModes, RenderToBitmapKeepsTheCurrentContext) {
  auto target = MakeBitmap(6, 6);
  TQelView view;
  view.SetBackgroundColor(clLime);
  bool toBitmap = false;
  view.OnRender = [&](TPersistent&) { toBitmap = view.RenderingToBitmap(); };
  auto other = TGLContext::Create(TGLContextPurpose::Window, 2, 2);
  ASSERT_TRUE(other->MakeCurrent());
  view.RenderToBitmap(*target);
  EXPECT_TRUE(toBitmap);
  EXPECT_FALSE(view.RenderingToBitmap());
  EXPECT_EQ(target->Pixel(5, 5), clLime);
  EXPECT_TRUE(other->IsCurrent());
}

TEST_F(QelViewFailures, FailingBitmapContextsSwitchToWindowModeForGood) {
  GLFaultInjection().failBitmapContexts = true;
  auto target = MakeBitmap(8, 8);
  TQelView view;
  view.SetBackgroundColor(clAqua);
  view.SetTargetBitmap(target.get());
  EXPECT_TRUE(QelOffScreenFailed);
  ASSERT_TRUE(view.HasContext());
  EXPECT_FALSE(view.InBitmapMode());
  // The target is filled through a temporary context.
  view.Redraw();
  EXPECT_EQ(target->Pixel(7, 7), clAqua);
  EXPECT_FALSE(QelTempContextFailed);
  // Activation changes nothing any more once a context exists.
  view.SetActive(false);
  EXPECT_TRUE(view.HasContext());
}

TEST_F(QelViewFailures, AFailingTemporaryContextFillsTheBackgroundAndSetsTheFlag) {
  GLFaultInjection().failTemporaryContexts = true;
  auto target = MakeBitmap(8, 8, pf8bit);
  TQelView view;
  view.SetBackgroundColor(clRed);
  int renders = 0;
  view.OnRender = [&](TPersistent&) { ++renders; };
  view.RenderToBitmap(*target);
  EXPECT_TRUE(QelTempContextFailed);
  EXPECT_EQ(renders, 0);
  EXPECT_EQ(CountPixelsOtherThan(*target, clRed), 0);
}

TEST_F(QelViewFailures, AFailedReleaseSetsTheFlagAndAFailingWindowContextLeavesNone) {
  TQelView view;
  view.HandleCreated();
  GLFaultInjection().failRelease = true;
  view.HandleDestroyed();
  EXPECT_FALSE(view.HasContext());
  EXPECT_TRUE(QelReleaseFailed);
  GLFaultInjection().failWindowContexts = true;
  TQelView other;
  EXPECT_FALSE(other.CreateContext());
  EXPECT_FALSE(other.HasContext());
  other.Paint();  // nothing to render with
}

TEST_F(QelViewFailures, ATargetLargerThanAnyBufferShowsTheBackgroundAndKeepsBitmapContexts) {
  const int tooLarge = TQelView::kMaxClientSize + 1;
  auto wide = MakeBitmap(tooLarge, 2);
  TQelView view;
  view.SetBackgroundColor(clAqua);
  view.SetTargetBitmap(wide.get());
  EXPECT_FALSE(QelOffScreenFailed);
  EXPECT_FALSE(view.HasContext());
  EXPECT_EQ(wide->Pixel(tooLarge - 1, 1), clAqua);
  auto tall = MakeBitmap(2, tooLarge);
  view.RenderToBitmap(*tall);
  EXPECT_EQ(tall->Pixel(1, tooLarge - 1), clAqua);
  EXPECT_FALSE(QelTempContextFailed);
  // A target of usual size still gets its bitmap context.
  auto usual = MakeBitmap(8, 8);
  view.SetTargetBitmap(usual.get());
  EXPECT_TRUE(view.InBitmapMode());
}

TEST_F(QelViewRendering, ViewSettingsAndZerosSurviveAStreamRoundTrip) {
  TQelView view;
  view.SetClientSize(230, 80);
  view.SetBackgroundColor(0x112233);
  view.SetCullFace(cfBack);
  view.SetProjectionType(ptOrthographic);
  view.Fog().SetDensity(0);
  view.Fog().Color().SetColor(0);
  view.Fog().Color().SetAlpha(0);
  view.Coordinates().SetLength(0);
  view.ColorAmbient().SetColor(0x010203);
  auto copy = StreamRoundTrip(view);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(std::tuple(copy->ClientWidth(), copy->BackgroundColor(), copy->CullFace(), copy->ProjectionType()),
            std::tuple(230, TColor(0x112233), cfBack, ptOrthographic));
  EXPECT_EQ(std::tuple(copy->Fog().Density(), copy->Fog().Color().Alpha(), copy->Coordinates().Length()),
            std::tuple(0.0f, 0.0f, 0.0f));
  EXPECT_EQ(std::pair(copy->Fog().Color().Color(), copy->ColorAmbient().Color()), std::pair(TColor(0), TColor(0x010203)));
}
