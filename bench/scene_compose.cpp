// Composition speed of the scene: 1,000 steps of a banner (468 x 60, 10
// moving sprites) and of a larger scene (640 x 480, 30 moving sprites), with
// pictures, text, shapes, transparency, opacity and soft shadows. Prints steps
// per second (processor time of the thread, best of five) and how much of
// the picture the dirty rectangles covered.
#include "bench/BenchScenes.h"
#include "platform/Graphics.h"
#include "platform/SystemValues.h"
#include "scene/Frame.h"
#include "scene/Moving.h"
#include "scene/Painters.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

using bench_scenes::BuildScene;

// Processor time of this thread: other programs running on the machine do not count.
double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The same scene every time, from the same seed, composing into output from its first step.
void PrepareScene(TAnimatedScene& scene, TBitmap& output, int width, int height, int sprites, int steps) {
  RandSeed = 20240601;
  BuildScene(scene, width, height, sprites, steps);
  output.SetPixelFormat(pf24bit);
  output.SetSize(width, height);
  scene.OutputBitmap = &output;
  scene.Rewind();
}

// A digest of every composed step's pixels (FNV-1a over the rows), so that
// a change of speed can be checked to leave the pictures as they were.
std::uint64_t StepsDigest(int width, int height, int sprites, int steps) {
  RandSeed = 20240601;
  TAnimatedScene scene;
  TBitmap output;
  PrepareScene(scene, output, width, height, sprites, steps);
  std::uint64_t digest = 14695981039346656037ull;
  for (int i = 0; i < steps; ++i) {
    scene.NextFrame();
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* row = output.ScanLine(y);
      for (int x = 0; x < 3 * width; ++x) digest = (digest ^ row[x]) * 1099511628211ull;
    }
  }
  return digest;
}

void Run(const char* name, int width, int height, int sprites) {
  constexpr int kSteps = 1000;
  double best = 1e30;
  double dirtyArea = 0;
  // Best of five, each from a freshly built scene.
  for (int run = 0; run < 5; ++run) {
    RandSeed = 20240601;
    TAnimatedScene scene;
    TBitmap output;
    PrepareScene(scene, output, width, height, sprites, kSteps);
    dirtyArea = 0;
    const double start = ThreadSeconds();
    for (int i = 0; i < kSteps; ++i) {
      scene.NextFrame();
      for (const TOutputRect& r : scene.LastDirtyRects()) {
        TRect clipped;
        IntersectRect(clipped, r.Rect, Rect(0, 0, width, height));
        dirtyArea += static_cast<double>(clipped.Width()) * clipped.Height();
      }
    }
    best = std::min(best, ThreadSeconds() - start);
  }
  std::printf("%-28s %4d x %-4d %2d sprites: %8.0f steps/s (%.3f ms of processor time per step, best of 5), "
              "dirty area %.1f%% of the picture, digest %016llx\n",
              name, width, height, sprites, kSteps / best, 1000.0 * best / kSteps,
              100.0 * dirtyArea / (static_cast<double>(width) * height * kSteps),
              static_cast<unsigned long long>(StepsDigest(width, height, sprites, kSteps)));
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication application(argc, argv);  // fonts for the text sprites
  Run("banner", 468, 60, 10);
  Run("large scene", 640, 480, 30);
  return 0;
}
