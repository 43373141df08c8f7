// The scenes the benchmarks compose and export: pictures, text and shapes
// moving on lines and bounces, some zoomed or faded, half with soft shadows.
#pragma once

#include "platform/Graphics.h"
#include "platform/SystemValues.h"
#include "scene/Frame.h"
#include "scene/Moving.h"
#include "scene/Painters.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"

#include <string>

namespace bench_scenes {

inline void AddPictureSprite(TAnimatedScene& scene, int w, int h, TColor color) {
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

// A text sprite in Arial of the font height (negative: pixels), with a shadow
// that grows with the font.
inline void AddTextSprite(TAnimatedScene& scene, const std::string& text, int fontHeight = -18) {
  int index = 0;
  TSprite& sprite = *scene.AddSprite(index);
  TText2DParams params;
  params.FontName = "Arial";
  params.FontHeight = fontHeight;
  params.TextColor = static_cast<std::int32_t>(clNavy);
  params.BackgroundColor = static_cast<std::int32_t>(clWhite);
  params.Mode = tdmShadow;
  params.ShadowDistance = 2 * fontHeight / -18;
  params.ShadowPosition = 3;
  params.ShadowColor = static_cast<std::int32_t>(clGray);
  TBitmap picture;
  DrawText2D(picture, text, params);
  sprite.AddFrame();
  sprite.ChangeText(0, text, params, picture, true, clWhite);
}

inline void AddShapeSprite(TAnimatedScene& scene, int kind, int w, int h) {
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
inline void SetMoving(TAnimatedScene& scene) {
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

inline void BuildScene(TAnimatedScene& scene, int width, int height, int sprites, int steps) {
  scene.Width = width;
  scene.Height = height;
  scene.StepCount = steps;
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

}  // namespace bench_scenes
