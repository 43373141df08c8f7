#include "dialogs/core/EffectSamples.h"

#include "dialogs/core/EffectFrames.h"
#include "platform/Numeric.h"
#include "scene/Frame.h"

namespace {

void FillWith(TBitmap& bitmap, TColor color) {
  bitmap.Canvas().Brush().Style = bsSolid;
  bitmap.Canvas().Brush().Color = color;
  bitmap.Canvas().FillRect(Rect(0, 0, bitmap.Width(), bitmap.Height()));
}

void NewPicture(TBitmap& bitmap, int width, int height, TColor color) {
  bitmap.SetPixelFormat(pf24bit);
  bitmap.Canvas().Brush().Color = color;
  bitmap.SetSize(width, height);
  FillWith(bitmap, color);
}

std::unique_ptr<TFrame> SampleFrame(bool next) {
  TBitmap picture;
  MakeEffectSamplePicture(picture, next);
  auto frame = std::make_unique<TFrame>(nullptr);
  frame->SetPicture(picture, false, 0, -1, -1);
  return frame;
}

// Parameters that show each effect well on a small picture.
TEffectParameters SampleParameters(int kind) {
  TEffectParameters p;
  // Blend makes one frame more than its rate.
  p.FrameCount = kind == ekBlend ? kEffectSampleFrames - 1 : kEffectSampleFrames;
  p.StepsPerFrame = 1;
  p.BackgroundColor = clWhite;
  p.Transparent = false;
  p.BlendToNextFrame = true;
  p.BlindCount = 4;
  p.FingerCount = 4;
  p.DissolveSeed = 1;
  return p;
}

}  // namespace

void MakeEffectSamplePicture(TBitmap& picture, bool next) {
  const int w = kEffectSampleWidth, h = kEffectSampleHeight;
  TCanvas& canvas = picture.Canvas();
  if (!next) {
    NewPicture(picture, w, h, clNavy);
    canvas.Pen().Color = clYellow;
    canvas.Brush().Color = clYellow;
    canvas.Ellipse(6, 6, 36, 36);
    canvas.Pen().Color = clRed;
    canvas.Brush().Color = clRed;
    canvas.Rectangle(30, 20, 58, 42);
  } else {
    NewPicture(picture, w, h, clGreen);
    canvas.Pen().Color = clWhite;
    canvas.Brush().Color = clWhite;
    canvas.Polygon({Point(w / 2, 4), Point(w - 8, h / 2), Point(w / 2, h - 4), Point(8, h / 2)});
  }
}

void MakeEffectSampleStrip(int kind, TBitmap& strip) {
  const int w = kEffectSampleWidth, h = kEffectSampleHeight;
  NewPicture(strip, w * kEffectSampleFrames, h, clBlack);
  if (!IsTransitionKind(kind)) return;

  const auto source = SampleFrame(false);
  const auto next = SampleFrame(true);
  const TFrameList frames = CreateEffectFrames(kind, SampleParameters(kind), *source, next.get(), false);
  if (frames.empty()) return;
  // An effect that made another number of frames (a dissolve whose rate
  // does not divide the pixels) is sampled evenly.
  const int count = static_cast<int>(frames.size());
  for (int i = 0; i < kEffectSampleFrames; ++i) {
    const int index = count == kEffectSampleFrames ? i : Round(i * (count - 1) / double(kEffectSampleFrames - 1));
    const TBitmap& picture = frames[static_cast<std::size_t>(index)]->Picture;
    strip.Canvas().StretchDraw(Bounds(i * w, 0, w, h), picture);
  }
}
