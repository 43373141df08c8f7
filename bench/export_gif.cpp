// GIF export speed: a 468 x 60 banner with 10 moving sprites and a 640 x 480
// scene with 30, 100 steps each, exported to GIF with the adaptive, optimized
// and per-frame palettes (shrink and identical-frame removal on, as a new
// session has them), plus one scaled export. Prints seconds per export and
// per frame and the share of each stage: render (composing the steps),
// resample (scaling), optimise (crop, key, drop), palette (palette creation
// and colour reduction), encode (GIF assembly, LZW, writing) and readback
// (frames taken back from the GIF images).
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

void AddPictureSprite(TAnimatedScene& scene, int w, int h, TColor color) {
  int index = 0;
  TSprite& sprite = *scene.AddSprite(index);
  TBitmap picture;
  picture.SetPixelFormat(pf24bit);
  picture.Canvas().Brush().Color = color;
  picture.SetSize(w, h);
  picture.Canvas().Brush().Color = clFuchsia;
  picture.Canvas().Ellipse(0, 0, w / 2, h / 2);
  sprite.AddFrame()->SetPicture(picture, true, clFuchsia, 0, 0);
  picture.Canvas().Brush().Color = clYellow;
  picture.Canvas().Rectangle(w / 3, h / 3, w, h);
  sprite.AddFrame()->SetPicture(picture, true, clFuchsia, 0, 0);
}

void AddTextSprite(TAnimatedScene& scene, const std::string& text) {
  int index = 0;
  TSprite& sprite = *scene.AddSprite(index);
  TText2DParams params;
  params.FontName = "Arial";
  params.FontHeight = -18;
  params.TextColor = static_cast<std::int32_t>(clNavy);
  params.BackgroundColor = static_cast<std::int32_t>(clWhite);
  params.Mode = tdmShadow;
  params.ShadowDistance = 2;
  params.ShadowPosition = 3;
  params.ShadowColor = static_cast<std::int32_t>(clGray);
  TBitmap picture;
  DrawText2D(picture, text, params);
  sprite.AddFrame();
  sprite.ChangeText(0, text, params, picture, true, clWhite);
}

void AddShapeSprite(TAnimatedScene& scene, int kind, int w, int h) {
  int index = 0;
  TSprite& sprite = *scene.AddSprite(index);
  TShapeParams shape;
  shape.FillColor1 = static_cast<std::int32_t>(clRed);
  shape.FillColor2 = static_cast<std::int32_t>(clYellow);
  shape.GradientAngle = 45;
  shape.BackgroundColor = static_cast<std::int32_t>(clLime);
  shape.BorderWidth = 2;
  shape.BorderColor = static_cast<std::int32_t>(clBlack);
  shape.BevelWidth = 3;
  shape.BevelColor1 = static_cast<std::int32_t>(clWhite);
  shape.BevelColor2 = static_cast<std::int32_t>(clGray);
  shape.CornerSize = kind == 4 ? 10 : 0;
  sprite.AddShape(kind, w, h, shape, true, clLime);
}

// Sets every sprite moving: lines and bounces, some zoomed or faded, half with soft shadows.
void SetMoving(TAnimatedScene& scene) {
  for (int i = 0; i < scene.SpriteCount(); ++i) {
    TSprite& sprite = scene.Sprite(i);
    TMovingStepValues v;
    v.X1 = Random(scene.Width / 2), v.Y1 = Random(scene.Height / 2);
    v.X2 = scene.Width - 20 - Random(scene.Width / 3), v.Y2 = scene.Height - 10 - Random(scene.Height / 3);
    v.StartX = v.X1, v.StartY = v.Y1;
    v.SpeedStart = v.SpeedEnd = 1 + Random(4);
    v.Angle = 10 + Random(70);
    if (i % 3 == 0) {
      v.Kind = mskBounce;
    } else {
      v.Kind = mskLine;
      v.ZoomXStart = v.ZoomYStart = 1.0;
      v.ZoomXEnd = v.ZoomYEnd = (i % 4 == 0) ? 1.5 : 1.0;
      v.OpacityEnd = (i % 5 == 0) ? 40 : 100;
    }
    sprite.Motion().AddStepWith(v, &sprite);
    TMovingStepValues back = v;
    back.Kind = mskLine;
    back.X1 = v.X2, back.Y1 = v.Y2, back.X2 = v.X1, back.Y2 = v.Y1;
    back.StartX = back.X1, back.StartY = back.Y1;
    sprite.Motion().AddStepWith(back, &sprite);
    for (int k = 0; k < 2; ++k) {
      TMovingStep& step = sprite.Motion().Step(k);
      step.ShadowOn = i % 2;
      step.ShadowBlurStart = step.ShadowBlurEnd = 3;
      step.ShadowOpacityStart = step.ShadowOpacityEnd = 60;
    }
  }
}

void BuildScene(TAnimatedScene& scene, int width, int height, int sprites) {
  scene.Width = width;
  scene.Height = height;
  scene.StepCount = 100;
  scene.FillColor = clWhite;
  for (int i = 0; i < sprites; ++i) {
    switch (i % 5) {
      case 0:
      case 1:
        AddPictureSprite(scene, 24 + (i * 7) % 40, 18 + (i * 5) % 30, RGB(40 * (i % 6), 90, 200));
        break;
      case 2:
        AddTextSprite(scene, i % 2 ? "Gleam" : "Sale 50%");
        break;
      case 3:
        AddShapeSprite(scene, 4, 40, 24);
        break;
      default:
        AddShapeSprite(scene, 5, 30, 30);
        break;
    }
  }
  SetMoving(scene);
  scene.SetBackground(false, bgmFillAndPicture, "", RGB(230, 240, 255), RGB(120, 160, 220), ppNone, nullptr);
}

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
  BuildScene(scene, c.width, c.height, c.sprites);
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
