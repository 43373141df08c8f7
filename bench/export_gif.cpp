// GIF export speed: a 468 x 60 banner with 10 moving sprites and a 640 x 480
// scene with 30, 100 steps each, exported to GIF with the adaptive, optimized
// and per-frame palettes (shrink and identical-frame removal on, as a new
// session has them), plus one scaled export. Prints seconds per export (best
// of three, each from a freshly built scene) and per frame, the share of each
// stage: render (composing the steps), resample (scaling), optimise (crop,
// key, drop), palette (palette creation and colour reduction), encode (GIF
// assembly, LZW, writing) and readback (frames taken back from the GIF
// images), and a digest of the file written.
//
// With --compare it prints the export goals side by side, as the wizard's
// Finish path meets them: the banner and the 640 x 480 scene exported the
// way the wizard does it (Next on the reductions page, then Finish, and
// Finish again after a delay was edited), each in a process of its own, LZW writing against giflib on
// banner-like and photographic frames, and the peak memory of a 400-step
// 640 x 480 export and how much each kept frame adds (400 against 200 steps,
// each export in a process of its own). The banner and the
// scene also go through the wizard's own window (TExportFrm, offscreen): its
// Next buttons to the frames page, one frame's delay changed there, and its
// Finish button, with the progress display and its event processing on the
// way (--wizard runs this part alone). Its times are the
// thread's processor time, so that other programs on a busy machine do not
// decide them; the wall-clock time is printed beside.
#include "bench/BenchScenes.h"
#include "bench/GifCodecComparison.h"
#include "controls/DrawGrid.h"
#include "controls/My_SpinEdit.h"
#include "dialogs/ExportFrmU.h"
#include "dialogs/core/ExportEngine.h"
#include "dialogs/core/ExportSettings.h"
#include "imaging/utils.h"
#include "platform/Graphics.h"
#include "platform/SystemValues.h"
#include "scene/SpriteU.h"

#include <QApplication>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

extern char** environ;

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

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Processor time of this thread: the machine's other programs do not count.
double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// A scene as a new session loads it: each export starts from one, since the
// first composition of a scene settles state that later ones reuse.
struct TBenchScene {
  TBenchScene(int width, int height, int sprites, int steps) {
    RandSeed = 20240601;
    scene = std::make_unique<TAnimatedScene>();
    RandSeed = 20240601;
    BuildScene(*scene, width, height, sprites, steps);
    scene->Timer().SetInterval(67);
    output.SetPixelFormat(pf24bit);
    output.SetSize(width, height);
    scene->OutputBitmap = &output;
    scene->Rewind();
  }
  std::unique_ptr<TAnimatedScene> scene;
  TBitmap output;
};

std::uint64_t FileDigest(const std::string& name) {
  std::uint64_t digest = 1469598103934665603ull;
  FILE* f = std::fopen(name.c_str(), "rb");
  for (int ch; f != nullptr && (ch = std::fgetc(f)) != EOF;) digest = (digest ^ static_cast<std::uint64_t>(ch)) * 1099511628211ull;
  if (f != nullptr) std::fclose(f);
  return digest;
}

void Run(const TCase& c, const std::string& folder) {
  TExportSettings settings;
  settings.PaletteType = c.paletteType;
  double seconds = 1e30;
  TGifSizeEstimate estimate;
  TExportOutcome outcome = TExportOutcome::Done;
  TExportStageTimes t;
  std::size_t images = 0;
  int steps = 0;
  const std::string name = folder + "/bench_export.gif";
  for (int run = 0; run < 3; ++run) {
    TBenchScene bench(c.width, c.height, c.sprites, 100);
    TExportEngine engine(*bench.scene, settings);
    engine.OutputWidth = c.outputWidth;
    engine.OutputHeight = c.outputHeight;
    engine.SetExportName(name);
    const auto start = std::chrono::steady_clock::now();
    estimate = engine.BuildGifFrames(false);
    outcome = engine.SaveGif();
    const double elapsed = SecondsSince(start);
    if (elapsed < seconds) {
      seconds = elapsed;
      t = engine.Times;
    }
    images = engine.Frames().size();
    steps = engine.StepsToExport();
  }
  const double staged = t.Total() > 0 ? t.Total() : 1;
  std::printf("%-7s %4d x %-4d -> %4d x %-4d %2d sprites %-20s %6.3f s/export %6.2f ms/frame | "
              "render %4.1f%% resample %4.1f%% optimise %4.1f%% palette %4.1f%% encode %4.1f%% readback %4.1f%% | "
              "%3zu images %7lld bytes, digest %016llx%s\n",
              c.name, c.width, c.height, c.outputWidth, c.outputHeight, c.sprites, PaletteName(c.paletteType),
              seconds, 1000.0 * seconds / steps, 100 * t.Render / staged, 100 * t.Resample / staged,
              100 * t.Optimize / staged, 100 * t.Palette / staged, 100 * t.Encode / staged, 100 * t.Readback / staged,
              images, static_cast<long long>(estimate.Bytes), static_cast<unsigned long long>(FileDigest(name)),
              outcome == TExportOutcome::Done ? "" : " (not written)");
}

// ---- The goals, side by side ------------------------------------------------------------------------

// The wizard's steps for a GIF: Finish reuses what the estimate coded, also
// after an edit that leaves the pixels as they are.
struct TFinishTimes {
  double next = 0;     // Next on the reductions page: frames, reduction, palette, estimate
  double finish = 0;   // Finish: the file written
  double edited = 0;   // Finish again after one frame's delay was changed
  double wall = 0;     // Next and Finish by the clock on the wall
  std::size_t images = 0;
  std::int64_t bytes = 0;
};

TFinishTimes ExportAsTheWizardDoes(int width, int height, int sprites, const std::string& folder) {
  TFinishTimes best;
  best.next = best.finish = best.edited = best.wall = 1e30;
  TExportSettings settings;  // a new session's: adaptive palette, shrink and identical-frame removal
  for (int run = 0; run < 5; ++run) {
    TBenchScene bench(width, height, sprites, 100);
    TExportEngine engine(*bench.scene, settings);
    engine.SetExportName(folder + "/finish.gif");
    const auto wall = std::chrono::steady_clock::now();
    double start = ThreadSeconds();
    const TGifSizeEstimate estimate = engine.BuildGifFrames(false);
    const double next = ThreadSeconds() - start;
    start = ThreadSeconds();
    engine.Finish();
    const double finish = ThreadSeconds() - start;
    best.wall = std::min(best.wall, SecondsSince(wall));
    engine.Frames()[engine.Frames().size() / 2]->Delay += 7;
    start = ThreadSeconds();
    engine.Finish();
    const double edited = ThreadSeconds() - start;
    if (next + finish < best.next + best.finish) {
      best.next = next;
      best.finish = finish;
    }
    best.edited = std::min(best.edited, edited);
    best.images = engine.Frames().size();
    best.bytes = estimate.Bytes;
  }
  return best;
}

void PrintFinishGoal(const char* what, int width, int height, int sprites, double goal, const std::string& folder) {
  const TFinishTimes t = ExportAsTheWizardDoes(width, height, sprites, folder);
  std::printf("%-7s %d x %d, 100 steps, adaptive, default reduction: %.3f s per export (goal below %.2f s: %s; "
              "%.3f s by the wall clock)\n"
              "        Next on the reductions page %.3f s, Finish %.3f s, Finish after a delay edit %.3f s; "
              "%zu images, %lld bytes\n",
              what, width, height, t.next + t.finish, goal, t.next + t.finish < goal ? "met" : "NOT MET", t.wall,
              t.next, t.finish, t.edited, t.images, static_cast<long long>(t.bytes));
}

// The same export through the wizard's window, as the user clicks it: Next
// on the first two pages, Next on the reductions page, a delay edited on the
// frames page, Finish.
struct TWizardTimes {
  double next = 1e30;    // Next on the reductions page
  double finish = 1e30;  // Finish with one frame's delay edited
  double wall = 1e30;    // both by the clock on the wall
  double engine = 0;     // of which the engine's own stages (wall clock)
  std::size_t images = 0;
  long long bytes = 0;
};

TWizardTimes ExportThroughTheWizard(int width, int height, int sprites, const std::string& folder) {
  TWizardTimes best;
  TExportSettings settings;  // a new session's: adaptive palette, shrink and identical-frame removal
  const std::string name = folder + "/wizard.gif";
  for (int run = 0; run < 5; ++run) {
    TBenchScene bench(width, height, sprites, 100);
    TExportFrm wizard(nullptr, *bench.scene, settings);
    wizard.SetExportFileName(name);
    wizard.show();
    QCoreApplication::processEvents();
    wizard.NextBtnClick();
    wizard.NextBtnClick();
    const auto wall = std::chrono::steady_clock::now();
    double start = ThreadSeconds();
    wizard.NextBtnClick();
    const double next = ThreadSeconds() - start;
    start = ThreadSeconds();
    const int middle = wizard.FrameList().Count() / 2;
    wizard.GIF_PicturesGrid->SetRow(middle + 1);
    wizard.GIF_PicturesGridClick();
    wizard.StepsPerFrameEdit->SetValue(wizard.StepsPerFrameEdit->Value() + 7);
    wizard.FinishButtonClick();
    const double finish = ThreadSeconds() - start;
    const double elapsed = SecondsSince(wall);
    if (next + finish < best.next + best.finish) {
      best.next = next;
      best.finish = finish;
    }
    if (elapsed < best.wall) best.engine = wizard.Engine().Times.Total();
    best.wall = std::min(best.wall, elapsed);
    best.images = wizard.FrameList().Count();
    FILE* f = std::fopen(name.c_str(), "rb");
    if (f != nullptr) {
      std::fseek(f, 0, SEEK_END);
      best.bytes = std::ftell(f);
      std::fclose(f);
    }
    std::remove(name.c_str());
  }
  return best;
}

void PrintWizardGoal(const char* what, int width, int height, int sprites, double goal, const std::string& folder) {
  const TWizardTimes t = ExportThroughTheWizard(width, height, sprites, folder);
  std::printf("%-7s %d x %d through the wizard's window: %.3f s per export (goal below %.2f s: %s; %.3f s by the wall "
              "clock)\n"
              "        Next on the reductions page %.3f s, a delay edited and Finish %.3f s, the engine's stages %.3f s "
              "of the wall clock's; %zu images, %lld bytes\n",
              what, width, height, t.next + t.finish, goal, t.next + t.finish < goal ? "met" : "NOT MET", t.wall,
              t.next, t.finish, t.engine, t.images, t.bytes);
}

// The peak resident memory of this process so far, in megabytes: the
// high-water mark of its own memory since it started (a spawned process's
// rusage would also count the memory of the process that spawned it).
double PeakMegabytes() {
  FILE* f = std::fopen("/proc/self/status", "r");
  if (f == nullptr) return -1;
  char line[256];
  long kilobytes = -1;
  while (std::fgets(line, sizeof line, f) != nullptr)
    if (std::sscanf(line, "VmHWM: %ld kB", &kilobytes) == 1) break;
  std::fclose(f);
  return static_cast<double>(kilobytes) / 1024.0;
}

// The export whose peak memory is measured, in a process of its own; the
// figure goes to a file in the folder.
int ExportForPeakMemory(const std::string& folder, int steps) {
  TBenchScene bench(640, 480, 30, steps);
  TExportSettings settings;
  TExportEngine engine(*bench.scene, settings);
  engine.SetExportName(folder + "/peak.gif");
  engine.BuildGifFrames(false);
  const bool written = engine.Finish() == TExportOutcome::Done;
  FILE* out = std::fopen((folder + "/peak.txt").c_str(), "w");
  if (out == nullptr) return 1;
  std::fprintf(out, "%.1f %zu\n", PeakMegabytes(), engine.Frames().size());
  std::fclose(out);
  return written ? 0 : 1;
}

// The peak memory and the number of images of an export of the steps, run in
// a process of its own; megabytes below 0 when it failed.
std::pair<double, std::size_t> MeasurePeakMemory(const std::string& folder, int steps) {
  char self[] = "/proc/self/exe";
  std::string mode = "--peak-memory", where = folder, count = std::to_string(steps);
  char* args[] = {self, mode.data(), where.data(), count.data(), nullptr};
  pid_t child = 0;
  std::fflush(stdout);
  if (posix_spawn(&child, self, nullptr, nullptr, args, environ) != 0) return {-1, 0};
  int status = 0;
  waitpid(child, &status, 0);
  double megabytes = -1;
  std::size_t images = 0;
  FILE* in = std::fopen((folder + "/peak.txt").c_str(), "r");
  if (in != nullptr) {
    if (std::fscanf(in, "%lf %zu", &megabytes, &images) != 2) megabytes = -1;
    std::fclose(in);
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) megabytes = -1;
  return {megabytes, images};
}

// The peak of a 400-step export, and how much each kept frame adds: the
// difference to a 200-step export per image, against half an 8-bit frame.
void PrintPeakMemoryGoal(const std::string& folder) {
  const auto [peak, images] = MeasurePeakMemory(folder, 400);
  const auto [half, halfImages] = MeasurePeakMemory(folder, 200);
  std::printf("peak memory of a 400-step 640 x 480 export: %.0f MB (goal below 120 MB: %s), %zu images%s\n", peak,
              peak >= 0 && peak < 120 ? "met" : "NOT MET", images, peak < 0 ? " (failed)" : "");
  const double frameMegabytes = 640.0 * 480.0 / (1024.0 * 1024.0);
  if (peak >= 0 && half >= 0 && images > halfImages) {
    const double growth = (peak - half) / static_cast<double>(images - halfImages);
    std::printf("growth per kept frame (400 against 200 steps): %.3f MB = %.2f of an 8-bit frame (goal below 0.5: %s)\n",
                growth, growth / frameMegabytes, growth / frameMegabytes < 0.5 ? "met" : "NOT MET");
  }
}

// The export goal of the banner or the scene, printed by a process of its
// own: what one export costs does not depend on what ran before it.
void PrintFinishGoalApart(const char* what, const std::string& folder) {
  char self[] = "/proc/self/exe";
  std::string mode = "--finish-goal", name = what, where = folder;
  char* args[] = {self, mode.data(), name.data(), where.data(), nullptr};
  pid_t child = 0;
  std::fflush(stdout);
  if (posix_spawn(&child, self, nullptr, nullptr, args, environ) != 0) {
    std::printf("%-7s export goal: the process could not be started\n", what);
    return;
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::printf("%-7s export goal: the process failed\n", what);
}

int RunFinishGoal(const std::string& what, const std::string& folder) {
  if (what == "banner") PrintFinishGoal("banner", 468, 60, 10, 0.08, folder);
  else if (what == "scene") PrintFinishGoal("scene", 640, 480, 30, 0.35, folder);
  else return 1;
  std::remove((folder + "/finish.gif").c_str());
  return 0;
}

void PrintGoals(const std::string& folder) {
  std::printf("Goals, measured side by side (seconds of processor time, best of five, each from a fresh scene):\n");
  PrintFinishGoalApart("banner", folder);
  PrintFinishGoalApart("scene", folder);
  PrintWizardGoal("banner", 468, 60, 10, 0.08, folder);
  PrintWizardGoal("scene", 640, 480, 30, 0.35, folder);
  std::printf("LZW writing against giflib (goal: at least 1.5 times its speed on both kinds of frames):\n");
  namespace codec = gif_codec_comparison;
  const double banner = codec::Compare("banner-like", codec::MakeFrames());
  const double photo = codec::Compare("photographic", codec::MakePhotoFrames());
  if (banner > 0)
    std::printf("LZW writing: %.2f and %.2f times giflib's speed (%s)\n", banner, photo,
                banner >= 1.5 && photo >= 1.5 ? "met" : "NOT MET");
  PrintPeakMemoryGoal(folder);
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);  // fonts for the text sprites, the wizard's window
  if (argc == 4 && std::strcmp(argv[1], "--peak-memory") == 0) return ExportForPeakMemory(argv[2], std::atoi(argv[3]));
  if (argc == 4 && std::strcmp(argv[1], "--finish-goal") == 0) return RunFinishGoal(argv[2], argv[3]);
  char folder[] = "/tmp/gc-bench-export-XXXXXX";
  if (::mkdtemp(folder) == nullptr) return 1;
  if (argc == 2 && std::strcmp(argv[1], "--compare") == 0) {
    PrintGoals(folder);
  } else if (argc == 2 && std::strcmp(argv[1], "--wizard") == 0) {
    // The wizard's part of the comparison alone.
    PrintWizardGoal("banner", 468, 60, 10, 0.08, folder);
    PrintWizardGoal("scene", 640, 480, 30, 0.35, folder);
  } else {
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
    // One case when its name is given ("banner adaptive").
    for (const TCase& c : cases)
      if (argc < 2 || std::string(c.name) + " " + PaletteName(c.paletteType) == argv[1]) Run(c, folder);
  }
  for (const char* file : {"/bench_export.gif", "/finish.gif", "/peak.gif", "/peak.txt"}) std::remove((std::string(folder) + file).c_str());
  ::rmdir(folder);
  return 0;
}
