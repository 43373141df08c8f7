// Lanczos resampling speed, side by side in one run, in processor time per
// frame (best of five batches): our resampler, a plain float reference (the
// separable float resampler that first draws the whole target with the plain
// stretch), and Pillow's Lanczos measured on this machine when Debian's
// python3 with PIL is installed (skipped otherwise). Sizes: 640 x 480 to
// 320 x 240 and to 1280 x 960, the 480 x 360 of the scaled export case, and a
// 468 x 60 banner halved. Each line also gives the largest channel difference
// between ours and the reference on the frame.
//
// Then the scaled export (goal: at most 1.5 times the native export at the
// larger size): a 640 x 480 scene (30 sprites, 100 steps, a new session's
// settings) exported at 1280 x 960, against the same animation composed at
// 1280 x 960 (sprites twice as large and as fast) exported at its own size;
// beside them the 640 x 480 export and the bench scenes' own 1280 x 960 scene
// (sprites of the same pixel size, so mostly background), with each export's
// stages. --no-export prints the resampling figures alone.
#include "bench/BenchScenes.h"
#include "dialogs/core/ExportEngine.h"
#include "dialogs/core/ExportSettings.h"
#include "imaging/resample.h"
#include "platform/Graphics.h"
#include "platform/SystemValues.h"
#include "scene/SpriteU.h"

#include <QGuiApplication>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

namespace {

double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Milliseconds of processor time per call: the best of five batches.
double BestMilliseconds(int runs, const std::function<void()>& work) {
  work();  // warm-up
  double best = 1e30;
  for (int batch = 0; batch < 5; ++batch) {
    const double start = ThreadSeconds();
    for (int i = 0; i < runs; ++i) work();
    best = std::min(best, (ThreadSeconds() - start) * 1000.0 / runs);
  }
  return best;
}

// Photographic-like content: every channel changes from pixel to pixel.
void FillNoise(TBitmap& b, int width, int height) {
  b.SetPixelFormat(pf24bit);
  b.SetSize(width, height);
  std::uint32_t state = 12345;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = b.ScanLine(y);
    for (int i = 0; i < width * 3; ++i) {
      state = state * 1664525u + 1013904223u;
      row[i] = static_cast<std::uint8_t>(state >> 24);
    }
  }
}

// ---- The plain float reference ----------------------------------------------------------------------

struct FloatTaps {
  std::vector<std::int32_t> begin, index;
  std::vector<float> weight;
};

FloatTaps ReferenceTaps(int targetSize, int sourceSize) {
  const float scale = static_cast<float>(targetSize - 1) / static_cast<float>(sourceSize - 1);
  const bool enlarging = scale >= 1.0f;
  const float width = enlarging ? 3.0f : 3.0f / scale, factor = enlarging ? 1.0f : 1.0f / scale;
  FloatTaps t;
  for (int i = 0; i < targetSize; ++i) {
    t.begin.push_back(static_cast<std::int32_t>(t.index.size()));
    const float centre = static_cast<float>(i) / scale;
    const std::size_t first = t.weight.size();
    float sum = 0;
    for (int j = static_cast<int>(std::floor(centre - width)); j <= static_cast<int>(std::ceil(centre + width)); ++j) {
      const float w = LanczosKernel3((centre - static_cast<float>(j)) / factor) / factor;
      if (w == 0.0f) continue;
      const int mirrored = j < 0 ? -j : j >= sourceSize ? 2 * sourceSize - 1 - j : j;
      t.index.push_back(std::clamp(mirrored, 0, sourceSize - 1));
      t.weight.push_back(w);
      sum += w;
    }
    for (std::size_t k = first; k < t.weight.size(); ++k) t.weight[k] /= sum;
  }
  t.begin.push_back(static_cast<std::int32_t>(t.index.size()));
  return t;
}

std::uint8_t ToByte(float v) { return static_cast<std::uint8_t>(std::clamp<long>(std::lrint(v), 0, 255)); }

void ReferenceResample(const TBitmap& source, TBitmap& target) {
  const int tw = target.Width(), th = target.Height(), sh = source.Height();
  target.Canvas().StretchDraw(Rect(0, 0, tw, th), source);
  const FloatTaps columns = ReferenceTaps(tw, source.Width()), rows = ReferenceTaps(th, sh);
  const std::size_t rowBytes = 3 * static_cast<std::size_t>(tw);
  std::vector<std::uint8_t> work(rowBytes * sh);
  for (int y = 0; y < sh; ++y) {
    const std::uint8_t* in = source.ScanLine(y);
    std::uint8_t* out = &work[rowBytes * y];
    for (int x = 0; x < tw; ++x) {
      float b = 0, g = 0, r = 0;
      for (std::int32_t k = columns.begin[x]; k < columns.begin[x + 1]; ++k) {
        const std::uint8_t* p = in + 3 * columns.index[k];
        b += columns.weight[k] * p[0], g += columns.weight[k] * p[1], r += columns.weight[k] * p[2];
      }
      out[3 * x] = ToByte(b), out[3 * x + 1] = ToByte(g), out[3 * x + 2] = ToByte(r);
    }
  }
  std::vector<float> sums(rowBytes);
  for (int y = 0; y < th; ++y) {
    std::fill(sums.begin(), sums.end(), 0.0f);
    for (std::int32_t k = rows.begin[y]; k < rows.begin[y + 1]; ++k) {
      const std::uint8_t* line = &work[rowBytes * rows.index[k]];
      for (std::size_t i = 0; i < rowBytes; ++i) sums[i] += rows.weight[k] * line[i];
    }
    std::uint8_t* out = target.ScanLine(y);
    for (std::size_t i = 0; i < rowBytes; ++i) out[i] = ToByte(sums[i]);
  }
}

int LargestDifference(const TBitmap& a, const TBitmap& b) {
  int worst = 0;
  for (int y = 0; y < a.Height(); ++y) {
    const std::uint8_t *p = a.ScanLine(y), *q = b.ScanLine(y);
    for (int i = 0; i < 3 * a.Width(); ++i) worst = std::max(worst, std::abs(p[i] - q[i]));
  }
  return worst;
}

// ---- Pillow ---------------------------------------------------------------------------------------------

struct TSizes {
  int sw, sh, tw, th, runs;
};

// Pillow's Lanczos times (ms per frame, processor time, best of five) by
// size, from Debian's python3 with PIL; empty when that is not installed.
std::map<std::string, double> PillowTimes(const std::vector<TSizes>& sizes) {
  std::map<std::string, double> times;
  const char* python = ::access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3" : nullptr;
  if (python == nullptr) return times;
  std::string script =
      "import os, time\n"
      "from PIL import Image\n"
      "for sw, sh, tw, th, runs in [";
  for (const TSizes& s : sizes)
    script += "(" + std::to_string(s.sw) + "," + std::to_string(s.sh) + "," + std::to_string(s.tw) + "," +
              std::to_string(s.th) + "," + std::to_string(s.runs) + "),";
  script +=
      "]:\n"
      "    im = Image.frombytes('RGB', (sw, sh), os.urandom(sw * sh * 3))\n"
      "    im.resize((tw, th), Image.LANCZOS)\n"
      "    best = 1e30\n"
      "    for batch in range(5):\n"
      "        t = time.process_time()\n"
      "        for i in range(runs): im.resize((tw, th), Image.LANCZOS)\n"
      "        best = min(best, (time.process_time() - t) * 1000 / runs)\n"
      "    print(sw, sh, tw, th, best, flush=True)\n";
  int pipeEnds[2];
  if (::pipe(pipeEnds) != 0) return times;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::string dashC = "-c", program = python;
  char* args[] = {program.data(), dashC.data(), script.data(), nullptr};
  pid_t child = 0;
  const bool started = posix_spawn(&child, python, &actions, nullptr, args, environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeEnds[1]);
  FILE* in = ::fdopen(pipeEnds[0], "r");
  if (in == nullptr) {
    ::close(pipeEnds[0]);
  } else {
    int sw, sh, tw, th;
    double ms;
    while (std::fscanf(in, "%d %d %d %d %lf", &sw, &sh, &tw, &th, &ms) == 5)
      times[std::to_string(sw) + "x" + std::to_string(sh) + ">" + std::to_string(tw) + "x" + std::to_string(th)] = ms;
    std::fclose(in);
  }
  if (started) ::waitpid(child, nullptr, 0);
  return times;
}

void PrintResampleTimes() {
  const std::vector<TSizes> sizes = {
      {640, 480, 320, 240, 40}, {640, 480, 1280, 960, 8}, {640, 480, 480, 360, 20}, {468, 60, 234, 30, 300}};
  const std::map<std::string, double> pillow = PillowTimes(sizes);
  std::printf("Lanczos resampling, ms of processor time per frame (best of five); goal: ours at most Pillow's, within "
              "1 level of the reference\n");
  if (pillow.empty()) std::printf("(Pillow not measured: /usr/bin/python3 with PIL is not installed)\n");
  for (const TSizes& s : sizes) {
    TBitmap source, ours, reference;
    FillNoise(source, s.sw, s.sh);
    for (TBitmap* b : {&ours, &reference}) {
      b->SetPixelFormat(pf24bit);
      b->SetSize(s.tw, s.th);
    }
    const double oursMs = BestMilliseconds(s.runs, [&] { ResampleBitmapDefault(source, ours, false, 0); });
    const double referenceMs = BestMilliseconds(std::max(1, s.runs / 4), [&] { ReferenceResample(source, reference); });
    const std::string key = std::to_string(s.sw) + "x" + std::to_string(s.sh) + ">" + std::to_string(s.tw) + "x" +
                            std::to_string(s.th);
    const auto found = pillow.find(key);
    char pillowText[96] = "Pillow not measured";
    if (found != pillow.end())
      std::snprintf(pillowText, sizeof pillowText, "Pillow's Lanczos %7.3f ms (ours %.2f times its speed: %s)",
                    found->second, found->second / oursMs, oursMs <= found->second ? "met" : "NOT MET");
    std::printf("%4d x %-4d -> %4d x %-4d  ours %7.3f ms  reference %7.3f ms  %s  largest difference %d level%s\n",
                s.sw, s.sh, s.tw, s.th, oursMs, referenceMs, pillowText, LargestDifference(ours, reference),
                LargestDifference(ours, reference) == 1 ? "" : "s");
  }
}

// ---- The scaled export ---------------------------------------------------------------------------------

struct TExportFigure {
  double seconds = 1e30;
  TExportStageTimes stages;
  std::size_t images = 0;
  long long bytes = 0;
};

// The stages' shares of an export, as bench_export_gif prints them.
std::string StageShares(const TExportFigure& f) {
  const TExportStageTimes& t = f.stages;
  const double total = t.Total() > 0 ? t.Total() : 1;
  char text[200];
  std::snprintf(text, sizeof text,
                "render %.0f%% resample %.0f%% optimise %.0f%% palette %.0f%% encode %.0f%% readback %.0f%%; %zu images, "
                "%lld bytes",
                100 * t.Render / total, 100 * t.Resample / total, 100 * t.Optimize / total, 100 * t.Palette / total,
                100 * t.Encode / total, 100 * t.Readback / total, f.images, f.bytes);
  return text;
}

// The bench scene composed at twice its size: a 1280 x 960 scene whose
// pictures, text and shapes are twice as large and move twice as far per
// step, with shadows twice as wide. Its export at its own size is the
// native export a scaled export is measured against: the same animation
// composed at the larger size instead of resampled to it.
void BuildDoubledScene(TAnimatedScene& scene, int sprites, int steps) {
  scene.Width = 1280;
  scene.Height = 960;
  scene.StepCount = steps;
  scene.FillColor = clWhite;
  for (int i = 0; i < sprites; ++i) {
    switch (i % 5) {
      case 0:
      case 1:
        bench_scenes::AddPictureSprite(scene, 2 * (24 + (i * 7) % 40), 2 * (18 + (i * 5) % 30),
                                       RGB(40 * (i % 6), 90, 200));
        break;
      case 2:
        bench_scenes::AddTextSprite(scene, i % 2 ? "Gleam" : "Sale 50%", -36);
        break;
      case 3:
        bench_scenes::AddShapeSprite(scene, 4, 80, 48);
        break;
      default:
        bench_scenes::AddShapeSprite(scene, 5, 60, 60);
        break;
    }
  }
  bench_scenes::SetMoving(scene);
  for (int i = 0; i < scene.SpriteCount(); ++i) {
    TMoving& motion = scene.Sprite(i).Motion();
    for (int k = 0; k < motion.StepCount(); ++k) {
      TMovingStepValues v = motion.Step(k).Values();
      v.SpeedStart *= 2, v.SpeedEnd *= 2;
      v.ShadowBlurStart *= 2, v.ShadowBlurEnd *= 2;
      v.ShadowOffsetStartX *= 2, v.ShadowOffsetStartY *= 2, v.ShadowOffsetEndX *= 2, v.ShadowOffsetEndY *= 2;
      motion.ChangeStep(k, v, &scene.Sprite(i));
    }
  }
  scene.SetBackground(false, bgmFillAndPicture, "", RGB(230, 240, 255), RGB(120, 160, 220), ppNone, nullptr);
}

// One export with a new session's settings from a freshly built scene (the
// bench scene, or with doubled the bench scene at twice its size), best of five.
TExportFigure ExportSeconds(int sceneWidth, int sceneHeight, int outputWidth, int outputHeight, const std::string& folder,
                            bool doubled = false) {
  TExportFigure best;
  for (int run = 0; run < 5; ++run) {
    RandSeed = 20240601;
    auto scene = std::make_unique<TAnimatedScene>();
    RandSeed = 20240601;
    if (doubled) {
      BuildDoubledScene(*scene, 30, 100);
    } else {
      bench_scenes::BuildScene(*scene, sceneWidth, sceneHeight, 30, 100);
    }
    scene->Timer().SetInterval(67);
    TBitmap output;
    output.SetPixelFormat(pf24bit);
    output.SetSize(sceneWidth, sceneHeight);
    scene->OutputBitmap = &output;
    scene->Rewind();
    TExportSettings settings;
    TExportEngine engine(*scene, settings);
    engine.OutputWidth = outputWidth;
    engine.OutputHeight = outputHeight;
    engine.SetExportName(folder + "/resample_export.gif");
    const double start = ThreadSeconds();
    const TGifSizeEstimate estimate = engine.BuildGifFrames(false);
    engine.SaveGif();
    const double seconds = ThreadSeconds() - start;
    if (seconds < best.seconds) {
      best.seconds = seconds;
      best.stages = engine.Times;
      best.images = engine.Frames().size();
      best.bytes = static_cast<long long>(estimate.Bytes);
    }
  }
  return best;
}

void PrintScaledExport(const std::string& folder) {
  const TExportFigure native = ExportSeconds(640, 480, 640, 480, folder);
  const TExportFigure scaled = ExportSeconds(640, 480, 1280, 960, folder);
  const TExportFigure doubled = ExportSeconds(1280, 960, 1280, 960, folder, true);
  const TExportFigure large = ExportSeconds(1280, 960, 1280, 960, folder);
  std::printf("Export, 30 sprites, 100 steps, default settings, s of processor time (best of five):\n"
              "  640 x 480 scene at its own size:                 %.3f s (%s)\n"
              "  640 x 480 scene at 1280 x 960:                   %.3f s (%s)\n"
              "  the same scene composed at 1280 x 960, at its own size: %.3f s (%s)\n"
              "  the bench's 1280 x 960 scene (sprites of the same pixel size), at its own size: %.3f s (%s)\n"
              "  scaled export / native export of the same animation at the larger size: %.2f (goal at most 1.5: %s)\n"
              "  scaled export / native export of the bench's 1280 x 960 scene: %.2f\n",
              native.seconds, StageShares(native).c_str(), scaled.seconds, StageShares(scaled).c_str(), doubled.seconds,
              StageShares(doubled).c_str(), large.seconds, StageShares(large).c_str(), scaled.seconds / doubled.seconds,
              scaled.seconds <= 1.5 * doubled.seconds ? "met" : "NOT MET", scaled.seconds / large.seconds);
  std::remove((folder + "/resample_export.gif").c_str());
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication application(argc, argv);  // fonts for the scenes' text sprites
  PrintResampleTimes();
  if (argc == 2 && std::strcmp(argv[1], "--no-export") == 0) return 0;
  char folder[] = "/tmp/gc-bench-resample-XXXXXX";
  if (::mkdtemp(folder) == nullptr) return 1;
  PrintScaledExport(folder);
  ::rmdir(folder);
  return 0;
}
