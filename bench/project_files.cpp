// Project file speed: saves and loads a project of 50 sprites with 500
// frames in all (pictures, texts and shapes), and a large one of 50 sprites
// with 500 frames each, to memory and through a file. Prints the times, the
// file sizes and how many reads the loader made on the file stream.
#include "platform/Graphics.h"
#include "platform/Streams.h"
#include "scene/Frame.h"
#include "scene/Moving.h"
#include "scene/Painters.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"

#include <QGuiApplication>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Counts the reads that reach the file.
class CountingFileStream : public TFileStream {
 public:
  using TFileStream::TFileStream;
  std::int64_t Read(void* buffer, std::int64_t count) override {
    ++reads;
    return TFileStream::Read(buffer, count);
  }
  int reads = 0;
};

void AddFrames(TSprite& sprite, int count, int w, int h, int seed) {
  TText2DParams text;
  text.FontName = "DejaVu Sans";
  text.FontHeight = -12;
  text.Mode = tdmPlain;
  TShapeParams shape;
  shape.FillColor1 = static_cast<std::int32_t>(clRed);
  shape.FillColor2 = static_cast<std::int32_t>(clYellow);
  shape.BackgroundColor = static_cast<std::int32_t>(clWhite);
  shape.GradientAngle = 30;
  shape.BorderWidth = 1;
  for (int i = 0; i < count; ++i) {
    const int k = seed + i;
    if (k % 7 == 3) {
      sprite.AddShape(k % 2 == 0 ? fkRectangle : fkEllipse, w, h, shape, true, clWhite);
    } else if (k % 5 == 2) {
      TBitmap picture;
      const std::string words = "Frame " + std::to_string(k);
      DrawText2D(picture, words, text);
      sprite.AddFrame();
      sprite.ChangeText(sprite.FrameCount() - 1, words, text, picture, true, clWhite);
    } else {
      TBitmap picture;
      picture.SetPixelFormat(pf24bit);
      picture.Canvas().Brush().Color = static_cast<TColor>(0x102030 * (k % 8));
      picture.SetSize(w, h);
      picture.Canvas().Brush().Color = clFuchsia;
      picture.Canvas().Ellipse(k % w, 0, w, h - k % h);
      TFrame& frame = *sprite.AddFrame();
      frame.SetPicture(picture, true, clFuchsia, -1, -1);
      frame.Kind = fkPicture;
      frame.SetFileName("picture" + std::to_string(k) + ".bmp");
    }
  }
}

void BuildProject(TAnimatedScene& scene, int sprites, int framesPerSprite, int w, int h) {
  scene.Width = 468;
  scene.Height = 60;
  for (int s = 0; s < sprites; ++s) {
    int index = 0;
    TSprite& sprite = *scene.AddSprite(index);
    AddFrames(sprite, framesPerSprite, w, h, s * framesPerSprite);
    sprite.AddInterval(1 + s, 100 + s);
    TMovingStepValues line;
    line.Kind = mskLine;
    line.X2 = 400, line.Y2 = 30, line.SpeedStart = 2, line.SpeedEnd = 3;
    sprite.Motion().AddStepWith(line, &sprite);
  }
}

void Run(const char* title, int sprites, int framesPerSprite, int w, int h) {
  TAnimatedScene scene;
  auto start = Clock::now();
  BuildProject(scene, sprites, framesPerSprite, w, h);
  const double built = MillisecondsSince(start);

  TMemoryStream memory;
  start = Clock::now();
  scene.SaveToStream(memory, 0, 1024);
  const double savedToMemory = MillisecondsSince(start);

  const std::string path = (std::filesystem::temp_directory_path() / "bench_project_files.glm").string();
  start = Clock::now();
  {
    TFileStream file(path, fmCreate);
    scene.SaveToStream(file, 0, 1024);
  }
  const double savedToFile = MillisecondsSince(start);

  TAnimatedScene fromMemory;
  memory.SetPosition(0);
  start = Clock::now();
  fromMemory.LoadFromStream(memory);
  const double loadedFromMemory = MillisecondsSince(start);

  TAnimatedScene fromFile;
  start = Clock::now();
  fromFile.LoadFromFile(path);
  const double loadedFromFile = MillisecondsSince(start);

  TAnimatedScene counted;
  CountingFileStream stream(path, fmOpenRead);
  start = Clock::now();
  counted.LoadFromStream(stream);
  const double loadedFromStream = MillisecondsSince(start);
  std::filesystem::remove(path);

  int frames = 0;
  for (int i = 0; i < fromFile.SpriteCount(); ++i) frames += fromFile.Sprite(i).FrameCount();
  std::printf("%s: %d sprites, %d frames of %d x %d, file %.1f KiB (built in %.0f ms)%s\n", title, sprites,
              frames, w, h, memory.Size() / 1024.0, built, fromFile.Failed != 0 ? " READ FAILED" : "");
  std::printf("  save to memory %8.1f ms   save to file %8.1f ms\n", savedToMemory, savedToFile);
  std::printf("  load from memory %6.1f ms   LoadFromFile %8.1f ms   file stream %8.1f ms (%d reads)\n",
              loadedFromMemory, loadedFromFile, loadedFromStream, stream.reads);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QGuiApplication application(argc, argv);  // fonts for the text frames
  Run("Project", 50, 10, 48, 32);
  Run("Large project", 50, 500, 24, 16);
  return 0;
}
