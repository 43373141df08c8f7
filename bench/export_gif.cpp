// GIF export speed: a 468 x 60 banner with 10 moving sprites and a 640 x 480
// scene with 30, 100 steps each, exported to GIF with the adaptive, optimized
// and per-frame palettes (shrink and identical-frame removal on, as a new
// session has them), plus one scaled export. Prints seconds per export and
// per frame and the share of each stage: render (composing the steps),
// resample (scaling), optimise (crop, key, drop), palette (palette creation
// and colour reduction), encode (GIF assembly, LZW, writing) and readback
// (frames taken back from the GIF images).
#include "bench/BenchScenes.h"
#include "dialogs/core/ExportEngine.h"
#include "dialogs/core/ExportSettings.h"
#include "imaging/utils.h"
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
#include <string>
#include <unistd.h>

namespace {

using bench_scenes::BuildScene;

struct TCase {
  const char* name;
  int width, height, sprites;
  int paletteType;
  int outputWidth, outputHeight;
};

const char* PaletteName(int type) {
  switch (type) {
    case ptAdaptive: return "adaptive";
    case ptOptimized: return "optimized";
    case ptDifferentAdaptive: return "per-frame adaptive";
    case ptDifferentOptimized: return "per-frame optimized";
    default: return "other";
  }
}

void Run(const TCase& c, const std::string& folder) {
  RandSeed = 20240601;
  TAnimatedScene scene;
  RandSeed = 20240601;
  BuildScene(scene, c.width, c.height, c.sprites, 100);
  scene.Timer().SetInterval(67);
  TBitmap output;
  output.SetPixelFormat(pf24bit);
  output.SetSize(c.width, c.height);
  scene.OutputBitmap = &output;
  scene.Rewind();

  TExportSettings settings;
  settings.PaletteType = c.paletteType;
  TExportEngine engine(scene, settings);
  engine.OutputWidth = c.outputWidth;
  engine.OutputHeight = c.outputHeight;
  engine.SetExportName(folder + "/bench_export.gif");

  const auto start = std::chrono::steady_clock::now();
  const TGifSizeEstimate estimate = engine.BuildGifFrames(false);
  const TExportOutcome outcome = engine.SaveGif();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const int steps = engine.StepsToExport();
  const TExportStageTimes& t = engine.Times;
  const double staged = t.Total() > 0 ? t.Total() : 1;
  std::printf("%-7s %4d x %-4d -> %4d x %-4d %2d sprites %-20s %6.3f s/export %6.2f ms/frame | "
              "render %4.1f%% resample %4.1f%% optimise %4.1f%% palette %4.1f%% encode %4.1f%% readback %4.1f%% | "
              "%3zu images %7lld bytes%s\n",
              c.name, c.width, c.height, c.outputWidth, c.outputHeight, c.sprites, PaletteName(c.paletteType),
              seconds, 1000.0 * seconds / steps, 100 * t.Render / staged, 100 * t.Resample / staged,
              100 * t.Optimize / staged, 100 * t.Palette / staged, 100 * t.Encode / staged, 100 * t.Readback / staged,
              engine.Frames().size(), static_cast<long long>(estimate.Bytes),
              outcome == TExportOutcome::Done ? "" : " (not written)");
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication application(argc, argv);  // fonts for the text sprites
  char folder[] = "/tmp/gc-bench-export-XXXXXX";
  if (::mkdtemp(folder) == nullptr) return 1;
  const TCase cases[] = {
      {"banner", 468, 60, 10, ptAdaptive, 468, 60},
      {"banner", 468, 60, 10, ptOptimized, 468, 60},
      {"banner", 468, 60, 10, ptDifferentAdaptive, 468, 60},
      {"banner", 468, 60, 10, ptDifferentOptimized, 468, 60},
      {"scene", 640, 480, 30, ptAdaptive, 640, 480},
      {"scene", 640, 480, 30, ptOptimized, 640, 480},
      {"scene", 640, 480, 30, ptDifferentAdaptive, 640, 480},
      {"scene", 640, 480, 30, ptDifferentOptimized, 640, 480},
      {"scaled", 640, 480, 30, ptAdaptive, 480, 360},
  };
  for (const TCase& c : cases) Run(c, folder);
  std::remove((std::string(folder) + "/bench_export.gif").c_str());
  ::rmdir(folder);
  return 0;
}
