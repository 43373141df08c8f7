// Composition speed of the scene: 1,000 steps of a banner (468 x 60, 10
// moving sprites) and of a larger scene (640 x 480, 30 moving sprites), with
// pictures, text, shapes, transparency, opacity and soft shadows. Prints steps
// per second and how much of the picture the dirty rectangles covered.
#include "bench/BenchScenes.h"
#include "platform/Graphics.h"
#include "platform/SystemValues.h"
#include "scene/Frame.h"
#include "scene/Moving.h"
#include "scene/Painters.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"

#include <QGuiApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using bench_scenes::BuildScene;

void Run(const char* name, int width, int height, int sprites) {
  RandSeed = 20240601;
  TAnimatedScene scene;
  RandSeed = 20240601;
  BuildScene(scene, width, height, sprites, 1000);
  TBitmap output;
  output.SetPixelFormat(pf24bit);
  output.SetSize(width, height);
  scene.OutputBitmap = &output;
  scene.Rewind();
  constexpr int kSteps = 1000;
  double dirtyArea = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kSteps; ++i) {
    scene.NextFrame();
    for (const TOutputRect& r : scene.LastDirtyRects()) {
      TRect clipped;
      IntersectRect(clipped, r.Rect, Rect(0, 0, width, height));
      dirtyArea += static_cast<double>(clipped.Width()) * clipped.Height();
    }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%-28s %4d x %-4d %2d sprites: %8.0f steps/s (%.3f ms per step), dirty area %.1f%% of the picture\n",
              name, width, height, sprites, kSteps / seconds, 1000.0 * seconds / kSteps,
              100.0 * dirtyArea / (static_cast<double>(width) * height * kSteps));
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication application(argc, argv);  // fonts for the text sprites
  Run("banner", 468, 60, 10);
  Run("large scene", 640, 480, 30);
  return 0;
}
