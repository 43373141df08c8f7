#include "qel3d/qelcam.h"
#include "qel3d/qelview.h"
#include "tests/qel3d/QelTestSupport.h"

#include <tuple>

using QelCameraStoring = QelTest;

TEST(QelCameraValues, SettersKeepTheirRangesAndCallBackOnlyOnAChange) {
  TQelCamera camera;
  int changes = 0;
  camera.OnChange = [&](TPersistent&) { ++changes; };
  camera.SetViewNear(0);
  camera.SetViewNear(-1);
  EXPECT_EQ(camera.ViewNear(), 0.1f);
  camera.SetViewAngle(180);
  camera.SetViewAngle(180.5f);
  camera.SetViewAngle(-1);
  EXPECT_EQ(camera.ViewAngle(), 180.0f);
  camera.SetViewOrtho(0);
  camera.SetViewOrtho(-0.5f);
  EXPECT_EQ(camera.ViewOrtho(), 0.0f);
  camera.SetViewFar(-3);
  camera.SetViewFar(-3);
  EXPECT_EQ(camera.ViewFar(), -3.0f);
  EXPECT_EQ(changes, 3);
  camera.Rotation().SetX(10);
  EXPECT_EQ(changes, 4);
}

TEST_F(QelCameraStoring, AnExplicitZeroIsStoredOnceUnderItsOwnNameAndReadBack) {
  TQelCamera camera;
  camera.SetViewOrtho(0);
  camera.Position().SetXYZ(0, 0, 0);
  camera.SetViewFar(0);
  TMemoryStream stream;
  WriteComponentToStream(stream, camera, "Camera1");
  const std::string bytes(stream.Bytes().begin(), stream.Bytes().end());
  const std::string name = std::string("\x09") + "ViewOrtho";
  const std::size_t at = bytes.find(name);
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(bytes.find(name, at + 1), std::string::npos);
  EXPECT_EQ(bytes[at + name.size()], static_cast<char>(vaExtended));
  auto copy = StreamRoundTrip(camera);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(std::tuple(copy->ViewOrtho(), copy->ViewFar(), copy->Position().Y(), copy->Position().Z(), copy->ViewAngle()),
            std::tuple(0.0f, 0.0f, 0.0f, 0.0f, 45.0f));
}

class QelCameraViews : public QelTest {
 protected:
  // A view in bitmap mode, counting the frames it renders.
  std::unique_ptr<TQelView> MakeView(int& frames) {
    auto view = std::make_unique<TQelView>();
    view->OnBitmapRedraw = [&frames](TPersistent&) { ++frames; };
    view->SetTargetBitmap(target_.get());
    return view;
  }
  std::unique_ptr<TBitmap> target_ = MakeBitmap(8, 8);
};

TEST_F(QelCameraViews, TheLastViewGivenACameraRedrawsOnItsChangesAndUnhooksItWhenGone) {
  int framesA = 0, framesB = 0;
  auto a = MakeView(framesA);
  auto b = MakeView(framesB);
  TQelCamera camera;
  a->SetCamera(&camera);
  int beforeA = framesA;
  camera.Position().SetZ(5);
  EXPECT_EQ(framesA, beforeA + 1);
  b->SetCamera(&camera);
  beforeA = framesA;
  const int beforeB = framesB;
  camera.SetViewAngle(60);
  EXPECT_EQ(framesA, beforeA);
  EXPECT_EQ(framesB, beforeB + 1);
  // A letting go of the camera does not take B's hook away; B going does.
  a->SetCamera(nullptr);
  camera.SetViewAngle(70);
  EXPECT_EQ(framesB, beforeB + 2);
  b.reset();
  EXPECT_FALSE(static_cast<bool>(camera.OnChange));
  camera.SetViewAngle(20);  // must not reach the destroyed view
}

TEST_F(QelCameraViews, AGoneCameraIsDroppedByItsViewWithoutRendering) {
  int frames = 0;
  auto view = MakeView(frames);
  int invalidations = 0;
  view->OnInvalidate = [&] { ++invalidations; };
  {
    TQelCamera camera;
    view->SetCamera(&camera);
    frames = 0;
  }
  EXPECT_EQ(view->Camera(), nullptr);
  // The scene objects drawn by OnRender may be going too: no frame now, a repaint request.
  EXPECT_EQ(frames, 0);
  EXPECT_EQ(invalidations, 1);
  view->Redraw();  // renders without a camera
}
