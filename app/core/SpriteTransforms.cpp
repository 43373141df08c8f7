#include "app/core/SpriteTransforms.h"

#include "app/core/SizeLimits.h"
#include "app/core/SpriteSnapshot.h"
#include "dialogs/core/EffectFrames.h"
#include "imaging/RotateBitmapU.h"
#include "imaging/resample.h"
#include "imaging/utils.h"
#include "platform/Graphics.h"
#include "platform/SysUtils.h"
#include "scene/Frame.h"
#include "scene/Sprite.h"

namespace {

void Report(const TProgressCallback& progress, int position, int total) {
  if (progress) progress(position, total);
}

// The compatibility mask is made afresh from the new picture when needed.
void ResetMask(TFrame& frame) {
  RestoreFrameImage(frame.Mask);
  frame.Mask.SetSize(1, 1);
  ReleaseFrameImage(frame.Mask);
}

// Gives the frame a new picture that keeps its transparency: the colour it
// keyed out before is picked again by colour, wherever it now lies.
void ReplacePicture(TFrame& frame, const TBitmap& picture, TColor key) {
  frame.SetPicture(picture, frame.Transparent(), key, -1, -1);
  ResetMask(frame);
  frame.ReleaseImages();
}

// The colour the frame keys out (meaningful while it is transparent).
TColor KeyColor(TFrame& frame) { return frame.Transparent() ? frame.SourceKeyColor() : frame.TransparentColor(); }

void Mirror(const TBitmap& source, TBitmap& target, bool horizontal) {
  target.Assign(&source);
  const int w = source.Width(), h = source.Height();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      target.SetPixel(x, y, horizontal ? source.Pixel(w - x - 1, y) : source.Pixel(x, h - y - 1));
}

// Runs change on each frame chosen, reporting progress and stopping on the cancel flag.
template <typename Change>
void ForEachFrame(TSprite& sprite, bool onlyCurrentFrame, const TProgressCallback& progress, Change change) {
  const int count = sprite.FrameCount();
  const int current = sprite.GetCurrentFrameIndex();
  for (int i = 0; i < count; ++i) {
    if (onlyCurrentFrame && i != current) continue;
    TFrame& frame = sprite.Frame(i);
    RestoreFrameImage(frame.Picture);
    change(frame);
    Report(progress, i, count - 1);
    if (CancelFlag != 0) break;
  }
  Report(progress, 1, 1);
}

}  // namespace

void FlipSpriteFrames(TSprite& sprite, bool horizontal, const TProgressCallback& progress) {
  if (sprite.FrameCount() == 0) return;
  RecordSpriteSnapshot(sprite, horizontal ? "Flip Horizontally" : "Flip Vertically");
  CancelFlag = 0;
  Report(progress, 0, 1);
  ForEachFrame(sprite, false, progress, [horizontal](TFrame& frame) {
    const TColor key = KeyColor(frame);
    TBitmap mirrored;
    Mirror(frame.Picture, mirrored, horizontal);
    ReplacePicture(frame, mirrored, key);
  });
}

TColor RotationPaperColor(TFrame& frame) {
  if (frame.Transparent()) return frame.SourceKeyColor();
  RestoreFrameImage(frame.Picture);
  const TColor color = frame.Picture.Pixel(0, 0) & 0xFFFFFF;
  ReleaseFrameImage(frame.Picture);
  return color;
}

void RotateFrames(TSprite& sprite, double angle, const TProgressCallback& progress) {
  TFrame* current = sprite.CurrentFrame();
  if (current == nullptr) return;
  RotateFrameByAngle(sprite, false, angle, 0, RotationPaperColor(*current), progress);
}

void RotateFrameByAngle(TSprite& sprite, bool onlyCurrentFrame, double angle, int direction, TColor color,
                        const TProgressCallback& progress) {
  if (sprite.CurrentFrame() == nullptr) return;
  const double applied = angle * (1 - 2 * direction);
  const int current = sprite.GetCurrentFrameIndex();
  for (int i = 0; i < sprite.FrameCount(); ++i) {
    if (onlyCurrentFrame && i != current) continue;
    const TFrame& frame = sprite.Frame(i);
    int w = 0, h = 0;
    RotatedBitmapSize(frame.ImageWidth, frame.ImageHeight, applied, w, h);
    if (frame.ImageWidth > 0 && frame.ImageHeight > 0) RequireSavableImageSize(w, h);
  }
  RecordSpriteSnapshot(sprite, "Rotation");
  CancelFlag = 0;
  ForEachFrame(sprite, onlyCurrentFrame, progress, [applied, color](TFrame& frame) {
    const TColor key = KeyColor(frame);
    TBitmap rotated;
    RotateBitmap(frame.Picture, rotated, color, applied);
    ReplacePicture(frame, rotated, key);
  });
}

void ResizeSpriteFrames(TSprite& sprite, int width, int height, int typeOfResize, const TProgressCallback& progress) {
  if (sprite.FrameCount() == 0) return;
  RequireSavableImageSize(width, height);
  RecordSpriteSnapshot(sprite, "Resize Frames");
  CancelFlag = 0;
  ForEachFrame(sprite, false, progress, [width, height, typeOfResize](TFrame& frame) {
    const TColor key = KeyColor(frame);
    TBitmap resized;
    resized.Assign(&frame.Picture);
    resized.SetSize(width, height);
    if (typeOfResize != 0) {
      resized.Canvas().StretchDraw(Rect(0, 0, width, height), frame.Picture);
    } else {
      ResampleBitmapDefault(frame.Picture, resized, frame.Transparent(), key);
    }
    ReplacePicture(frame, resized, key);
  });
}

int ApplyEffectResults(TSprite& sprite, int frameIndex, int kind, const TFrameList& results,
                       const std::string& listText) {
  if (frameIndex < 0 || frameIndex >= sprite.FrameCount() || results.empty()) return 0;
  if (IsTransitionKind(kind)) {
    RecordSpriteSnapshot(sprite, "Change Sprite");
    int position = frameIndex;
    for (const auto& result : results) {
      ++position;
      auto frame = std::make_unique<TFrame>(&sprite);
      frame->Assign(*result);
      frame->SetFileName(listText + IntToStr(position + 1));
      frame->Kind = fkPicture;
      sprite.InsertFrame(position, std::move(frame));
    }
    return static_cast<int>(results.size());
  }
  if (IsFilterKind(kind)) {
    RecordSpriteSnapshot(sprite, "Change Sprite");
    TFrame& frame = sprite.Frame(frameIndex);
    const TColor key = KeyColor(frame);
    RestoreFrameImage(results.front()->Picture);
    ReplacePicture(frame, results.front()->Picture, key);
  }
  return 0;
}

int ApplyEffect(TSprite& sprite, int frameIndex, int kind, const TEffectParameters& parameters) {
  if (frameIndex < 0 || frameIndex >= sprite.FrameCount()) return 0;
  TFrame& source = sprite.Frame(frameIndex);
  TFrame* next = frameIndex + 1 < sprite.FrameCount() ? &sprite.Frame(frameIndex + 1) : nullptr;
  const TFrameList results = CreateEffectFrames(kind, parameters, source, next, source.Transparent());
  return ApplyEffectResults(sprite, frameIndex, kind, results, EffectListText(kind));
}
