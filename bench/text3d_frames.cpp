// Renders 100 sub-frames of a 230 x 80 3D text frame through the frame
// (RenderNext3D), as playback does: a lit, extruded "Banner" turning and
// changing colour between its start and end states. Prints milliseconds per
// sub-frame. With a file name as argument the last sub-frame is saved there
// as a BMP file.
#include "platform/Graphics.h"
#include "qel3d/qelview.h"
#include "scene/Frame.h"
#include "scene/Frame3DObjects.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"

#include <QGuiApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kSubFrames = 100;
constexpr int kWidth = 230;
constexpr int kHeight = 80;

T3DTextState BannerState(double turn, TColor color) {
  T3DTextState s;
  s.Text = "Banner";
  s.FontName = "Arial";
  s.FontStyle = fsBold;
  s.Depth = 0.25;
  s.TextPositionX = -1.7;
  s.TextPositionY = -0.35;
  s.TextRotationY = turn;
  s.CameraPositionZ = 3;
  s.ViewAngle = 30;
  T3DLightState& light = s.Lights[0];
  light.Enabled = 1;
  light.Color = clWhite;
  light.DirectionZ = -1;
  light.CutOff = 180;
  light.PositionX = 2;
  light.PositionY = 2;
  light.PositionZ = 5;
  s.MaterialOn = 1;
  s.MaterialColor = color;
  s.Shininess = 40;
  s.TextureScaleX = s.TextureScaleY = 1;
  s.BackgroundColor = 0x402020;
  s.ImageWidth = kWidth;
  s.ImageHeight = kHeight;
  return s;
}

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication application(argc, argv);

  TAnimatedScene scene;
  int index = 0;
  TSprite& sprite = *scene.AddSprite(index);
  TBitmap picture;
  picture.SetPixelFormat(pf24bit);
  picture.SetSize(kWidth, kHeight);
  const T3DTextState start = BannerState(-30, 0x000060);
  const T3DTextState end = BannerState(30, 0x600000);
  const int frameIndex = sprite.Add3DText(start, picture, false, 0);
  sprite.Set3DTextAnimation(frameIndex, start, end, kSubFrames, 0);
  TFrame& frame = sprite.Frame(frameIndex);
  if (!frame.HasView()) {
    std::fprintf(stderr, "the frame has no 3D view\n");
    return 1;
  }

  frame.SubFrameCounter = 0;
  frame.Countdown = frame.Duration() + 1;
  const auto firstStart = std::chrono::steady_clock::now();
  frame.RenderNext3D();  // makes the context and builds the glyphs
  const double first = MillisecondsSince(firstStart);

  const auto start100 = std::chrono::steady_clock::now();
  frame.SubFrameCounter = 0;
  for (int i = 0; i < kSubFrames; ++i) {
    frame.Countdown = frame.Duration();
    frame.RenderNext3D();
  }
  const double perSubFrame = MillisecondsSince(start100) / kSubFrames;

  const TFrame3DObjects& objects = *frame.Objects3D;
  std::printf("3D text frame \"Banner\" %dx%d, %d sub-frames through RenderNext3D\n", kWidth, kHeight, kSubFrames);
  std::printf("first sub-frame (context and glyphs): %.2f ms\n", first);
  std::printf("per sub-frame:                        %.3f ms\n", perSubFrame);
  std::printf("renders of the view:                  %d\n", objects.ownView ? objects.ownView->RedrawCount() : -1);
  std::printf("glyphs built in all:                  %d\n", objects.text.GlyphsBuilt());
  if (argc > 1) frame.DisplayImage.SaveToFile(argv[1]);
  return QelReleaseFailed ? 1 : 0;
}
