// Memory of a project file's preview where the file stores none: the peak
// resident size that LoadPreviewPicture adds for scenes of 640 x 480, of
// 2048 x 2048 (the largest composed) and of 8192 x 8192 (2^26 pixels, the
// most the reader accepts), each file a few hundred bytes, beside the peak
// of reading such a scene whole and composing it at its size. Each case runs
// in a child process of its own, so that no peak hides another.
#include "controls/core/PreviewPicture.h"
#include "platform/Graphics.h"
#include "platform/Streams.h"
#include "scene/SpriteU.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

long PeakKilobytes() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

std::string WriteScene(int width, int height) {
  TAnimatedScene scene;
  scene.Width = width;
  scene.Height = height;
  scene.WritePreview = 0;
  const std::string file = "/tmp/gc_bench_preview_" + std::to_string(::getpid()) + ".glm";
  TFileStream out(file, fmCreate);
  scene.SaveToStream(out, 0, 1024);
  return file;
}

// The preview as the wizard and the galleries ask for it.
void Preview(const std::string& file) {
  TBitmap picture;
  std::int32_t frames = 0;
  std::uint8_t code = 0;
  LoadPreviewPicture(file, picture, frames, code);
}

// The scene read whole and composed at its own size.
void ComposeWhole(const std::string& file) {
  TAnimatedScene scene;
  ReadProject(scene, file, false);
  TBitmap composed;
  composed.SetSize(scene.Width, scene.Height);
  scene.OutputBitmap = &composed;
  scene.NextFrame();
  scene.OutputBitmap = nullptr;
}

void Measure(const char* what, int width, int height, void (*run)(const std::string&)) {
  const pid_t child = ::fork();
  if (child == 0) {
    const std::string file = WriteScene(width, height);
    const long before = PeakKilobytes();
    run(file);
    const long after = PeakKilobytes();
    std::printf("%-24s %5d x %-5d file %4ld bytes: peak grew by %8.1f MB\n", what, width, height,
                static_cast<long>(TFileStream(file, fmOpenRead).Size()), (after - before) / 1024.0);
    std::fflush(stdout);
    ::unlink(file.c_str());
    std::_Exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication application(argc, argv);
  for (const auto& [width, height] : {std::pair{640, 480}, std::pair{2048, 2048}, std::pair{8192, 8192}}) {
    Measure("preview", width, height, Preview);
    Measure("whole read and compose", width, height, ComposeWhole);
  }
  return 0;
}
