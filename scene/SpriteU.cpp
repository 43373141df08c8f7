#include "scene/SpriteU.h"

#include "imaging/resample.h"
#include "imaging/utils.h"
#include "platform/Numeric.h"
#include "platform/Streams.h"
#include "platform/SystemValues.h"
#include "scene/Frame.h"
#include "scene/Moving.h"
#include "scene/Painters.h"
#include "scene/SceneGlobals.h"
#include "scene/Sounds.h"
#include "scene/Sprite.h"
#include "scene/UndoRecorder.h"

#include <algorithm>

// ---- TStartAndFinish -------------------------------------------------------------------

TStartAndFinish::TStartAndFinish(TSprite* sprite) : Id(NewObjectId()), sprite_(sprite) {}

void TStartAndFinish::RecordChange(const char* caption) {
  if (sprite_ == nullptr) return;
  TSprite* sprite = sprite_;
  RecordUndo(urkSpriteEdit, caption, true, 0, sprite->Id, uokIntervals,
             [sprite](TStream& stream) { sprite->SaveAppearances(stream); });
}

void TStartAndFinish::SetStart(std::int32_t step) {
  if (step == StartStep || step < 0) return;
  RecordChange("Change Start Step");
  if (EndStep < step) EndStep = step;
  StartStep = step;
}

void TStartAndFinish::SetEnd(std::int32_t step) {
  if (step == EndStep || step < 0) return;
  RecordChange("Change End Step");
  if (step < StartStep) StartStep = step;
  EndStep = step;
  if (step < 2) EndStep = 2;
}

void TStartAndFinish::SaveToStream(TStream& stream) const {
  stream.WriteInt32(StartStep);
  stream.WriteInt32(EndStep);
  if (UndoMode != 0) stream.WriteInt32(Id);
}

void TStartAndFinish::LoadFromStream(TStream& stream) {
  StartStep = stream.ReadInt32();
  EndStep = stream.ReadInt32();
  if (UndoMode != 0) Id = stream.ReadInt32();
}

std::int64_t TStartAndFinish::RecordSize() { return UndoMode != 0 ? 12 : 8; }

// ---- Life cycle and sprites ----------------------------------------------------------------

TAnimatedScene::TAnimatedScene(TSceneOwner* owner) : owner_(owner) {
  const TSize screen = System().ScreenSize();
  Width = screen.cx;
  Height = screen.cy;
  Randomize();
  timer_.SetEnabled(false);
  timer_.SetInterval(50);
  timer_.SetOnTimer([this] { NextFrame(); });
  BackgroundPicture.SetSize(100, 100);
  BackgroundBitmap.SetSize(100, 100);
  CompositionBitmap.SetPixelFormat(pf24bit);
  CompositionBitmap.SetSize(100, 100);
}

TAnimatedScene::~TAnimatedScene() {
  timer_.SetEnabled(false);
  sprites_.clear();
}

std::unique_ptr<TSprite> TAnimatedScene::CreateSprite() { return std::make_unique<TSprite>(this); }

TSprite* TAnimatedScene::AddSprite(int& index) {
  sprites_.push_back(CreateSprite());
  index = SpriteCount() - 1;
  TSprite* sprite = sprites_.back().get();
  sprite->Name = "Sprite " + IntToStr(index + 1);
  RecordUndo(urkSpriteList, "Add Sprite", false, index, sprite->Id, uokAddedSprite, nullptr);
  return sprite;
}

void TAnimatedScene::DeleteSprite(int index) {
  if (index < 0 || index >= SpriteCount()) return;
  TSprite* sprite = &Sprite(index);
  RecordUndo(urkSpriteList, "Delete Sprite", false, index, 0, uokSprite,
             [sprite](TStream& stream) { sprite->SaveToStream(stream); });
  sprites_.erase(sprites_.begin() + index);
}

void TAnimatedScene::InsertSprite(int index, std::unique_ptr<TSprite> sprite) {
  index = std::clamp(index, 0, SpriteCount());
  sprites_.insert(sprites_.begin() + index, std::move(sprite));
}

std::unique_ptr<TSprite> TAnimatedScene::ExtractSprite(int index) {
  if (index < 0 || index >= SpriteCount()) return nullptr;
  auto sprite = std::move(sprites_[static_cast<std::size_t>(index)]);
  sprites_.erase(sprites_.begin() + index);
  return sprite;
}

void TAnimatedScene::MoveSprite(int from, int to) {
  if (from < 0 || from >= SpriteCount() || to < 0 || to >= SpriteCount() || from == to) return;
  auto sprite = ExtractSprite(from);
  sprites_.insert(sprites_.begin() + to, std::move(sprite));
}

void TAnimatedScene::ClearSprites() { sprites_.clear(); }

TSprite* TAnimatedScene::RestoreSpriteFromUndo(TStream& stream, int index, bool replace) {
  std::unique_ptr<TSprite> sprite = CreateSprite();
  sprite->LoadFromStream(stream);
  TSprite* restored = sprite.get();
  index = std::clamp(index, 0, SpriteCount());
  InsertSprite(index, std::move(sprite));
  if (replace && index + 1 < SpriteCount()) sprites_.erase(sprites_.begin() + index + 1);
  return restored;
}

void TAnimatedScene::RefreshOwnerWindow() { OwnerWindow = owner_ != nullptr ? owner_->Handle() : 0; }

// ---- Playback ---------------------------------------------------------------------------------

void TAnimatedScene::SetLoopCount(std::int32_t count) {
  LoopCount = count;
  LoopsLeft = count < 0 ? 1 : count + 1;
  LoopsDone = 0;
}

void TAnimatedScene::Play() {
  SetLoopCount(LoopCount);
  Busy = 0;
  timer_.SetEnabled(true);
}

void TAnimatedScene::Stop() {
  timer_.SetEnabled(false);
  ReleaseFrameCaches();
  SetLoopCount(LoopCount);
}

void TAnimatedScene::ReleaseFrameCaches() {
  for (auto& sprite : sprites_) sprite->ReleaseImages();
}

namespace {

// The clones of the sprite's running effect step (none when it runs no effect step).
const std::vector<std::unique_ptr<TEffectSprite>>* RunningClones(TSprite& sprite) {
  if (!sprite.HasEffectStep()) return nullptr;
  return &sprite.Motion().CurrentStep()->EffectSprites();
}

template <typename Action>
void ForEachClone(TSprite& sprite, Action action) {
  TMoving& path = sprite.Motion();
  for (int i = 0; i < path.StepCount(); ++i)
    for (const auto& clone : path.Step(i).EffectSprites()) action(*clone);
}

// R lies in D when the union of the two (as UnionRect makes it) is D: an
// empty R lies in every non-empty D. Worked out inline: every sprite asks it
// of every dirty rectangle.
inline bool LiesIn(const TRect& r, const TRect& d) {
  if (r.IsEmpty()) return d.IsEmpty() ? d == TRect{} : true;
  if (d.IsEmpty()) return r == d;
  return std::min(r.Left, d.Left) == d.Left && std::min(r.Top, d.Top) == d.Top &&
         std::max(r.Right, d.Right) == d.Right && std::max(r.Bottom, d.Bottom) == d.Bottom;
}

// IntersectRect's answer without the overlap: the merging asks it for every
// pair of rectangles.
inline bool Intersects(const TRect& a, const TRect& b) {
  return !a.IsEmpty() && !b.IsEmpty() && std::max(a.Left, b.Left) < std::min(a.Right, b.Right) &&
         std::max(a.Top, b.Top) < std::min(a.Bottom, b.Bottom);
}

}  // namespace

void TAnimatedScene::ClearSpriteRects() {
  for (auto& sprite : sprites_) {
    if (const auto* clones = RunningClones(*sprite)) {
      for (const auto& clone : *clones) {
        clone->DrawnRect = {};
        clone->ForgetPaintedLook();
      }
    } else {
      sprite->DrawnRect = {};
      sprite->ForgetPaintedLook();
    }
  }
}

void TAnimatedScene::MotionPass(bool repaintOnly) {
  auto step = [](TSprite& sprite, bool advancing) {
    sprite.ImageDrawn = 0;
    sprite.ShadowDrawn = 0;
    sprite.StepMotion(advancing);
  };
  for (auto& sprite : sprites_) {
    if (const auto* clones = RunningClones(*sprite)) {
      // The clones stand for the sprite; its own path stays where it is.
      if (repaintOnly) continue;
      for (const auto& clone : *clones) step(*clone, true);
    } else {
      step(*sprite, !repaintOnly);
    }
  }
}

std::vector<TOutputRect> TAnimatedScene::CollectDirtyRects(bool repaintOnly, bool fullRepaint) {
  std::vector<TOutputRect> rects;
  auto add = [&rects](const TRect& r) {
    if (!r.IsEmpty()) rects.push_back({r});
  };
  // What the picture still shows of a sprite that will not be painted again
  // is erased: its last place becomes dirty.
  auto erase = [&add](TSprite& sprite) {
    if (!sprite.OnScreen()) return;
    add(sprite.DrawnRect);
    add(sprite.DrawnShadowRect);
    sprite.ForgetPaintedLook();
  };
  for (auto& sprite : sprites_) {
    const auto* running = RunningClones(*sprite);
    if (!repaintOnly) {
      ForEachClone(*sprite, [&](TSprite& clone) {
        if (running == nullptr || std::none_of(running->begin(), running->end(),
                                               [&](const auto& c) { return c.get() == &clone; }))
          erase(clone);
      });
    }
    if (running != nullptr) {
      if (repaintOnly) continue;
      erase(*sprite);
      for (const auto& clone : *running) {
        if (clone->Hidden != 0) {
          erase(*clone);
          continue;
        }
        if (clone->NeedsRedraw(false)) {
          add(clone->DrawnRect);
          add(clone->GetRect());
        }
      }
      continue;
    }
    if (!repaintOnly && sprite->Hidden != 0) {
      erase(*sprite);
      continue;
    }
    // Over a freshly painted background a repaint shows every sprite again.
    const bool needsRedraw = sprite->NeedsRedraw(repaintOnly) || (repaintOnly && fullRepaint);
    if (needsRedraw && sprite->Hidden == 0) {
      add(sprite->DrawnRect);
      add(sprite->GetRect());
      add(sprite->DrawnShadowRect);
      add(sprite->GetShadowRect());
    }
  }
  return rects;
}

void TAnimatedScene::MergeDirtyRects(std::vector<TOutputRect>& rects, bool repaintOnly) {
  bool merged = true;
  // Grows every dirty rectangle that r touches; a growth counts as a merge,
  // so that whatever the grown rectangle now touches is taken in as well.
  auto grow = [&](const TRect& r) {
    if (r.Width() <= 0 || r.Height() <= 0) return;
    for (auto& dirty : rects) {
      if (!Intersects(r, dirty.Rect)) continue;
      // Both are non-empty here: their union is the bounding rectangle.
      const TRect u{std::min(r.Left, dirty.Rect.Left), std::min(r.Top, dirty.Rect.Top),
                    std::max(r.Right, dirty.Rect.Right), std::max(r.Bottom, dirty.Rect.Bottom)};
      if (!(u == dirty.Rect)) {
        dirty.Rect = u;
        merged = true;
      }
    }
  };
  // The rectangles the sprites grow the dirty ones by, in drawing order. They
  // stay the same while the dirty rectangles grow, and each costs a motion
  // calculation, so they are worked out once (a position asked for again
  // without advancing comes out the same).
  std::vector<TRect> growers;
  for (auto& sprite : sprites_) {
    if (const auto* clones = RunningClones(*sprite)) {
      if (repaintOnly) continue;
      for (const auto& clone : *clones)
        if (clone->Hidden == 0 && clone->NeedsRedrawAnswer == 0) growers.push_back(clone->GetRect());
      continue;
    }
    if (sprite->Hidden != 0) continue;
    growers.push_back(repaintOnly ? sprite->DrawnRect : sprite->GetRect());
    growers.push_back(repaintOnly ? sprite->DrawnShadowRect : sprite->GetShadowRect());
  }
  while (merged) {
    merged = false;
    for (int pass = 0; pass < 2; ++pass)
      for (const TRect& r : growers) grow(r);
    for (std::size_t a = 0; a < rects.size(); ++a) {
      for (std::size_t b = 0; b < rects.size(); ++b) {
        if (a == b || !Intersects(rects[a].Rect, rects[b].Rect)) continue;
        TRect u;
        UnionRect(u, rects[a].Rect, rects[b].Rect);
        rects[a].Rect = u;
        rects.erase(rects.begin() + static_cast<std::ptrdiff_t>(b));
        merged = true;
        break;
      }
    }
  }
}

bool TAnimatedScene::ClipToScene(const TRect& rect, TRect& clipped) const {
  if (!(rect.Left < Width && rect.Top < Height && rect.Right > 0 && rect.Bottom > 0)) return false;
  clipped = Rect(std::max(rect.Left, 0), std::max(rect.Top, 0), std::min(rect.Right, Width),
                 std::min(rect.Bottom, Height));
  return true;
}

void TAnimatedScene::CopyArea(TBitmap& destination, const TBitmap& source, const TRect& area) {
  TBitmap& from = const_cast<TBitmap&>(source);
  if (PaletteMode != 0) {
    destination.Canvas().CopyRect(area, from.Canvas(), area);
  } else {
    BitBlt(destination.Canvas(), area.Left, area.Top, area.Width(), area.Height(), from.Canvas(), area.Left,
           area.Top, SRCCOPY);
  }
}

void TAnimatedScene::RedrawRect(const TRect& rect, TBitmap& target, bool repaintOnly) {
  if (FreeResourcesPct(0) < 10 || rect.Width() < 1 || rect.Height() < 1) return;
  TRect clipped;
  const bool overlaps = ClipToScene(rect, clipped);
  if (overlaps) {
    if (PaletteMode != 0 && !BackgroundBitmap.Palette().IsNone() &&
        (!CompositionBitmap.PaletteModified() || BackgroundBitmap.PaletteModified())) {
      CompositionBitmap.SetPalette(BackgroundBitmap.Palette());
      BackgroundBitmap.SetPaletteModified(false);
    }
    CopyArea(CompositionBitmap, BackgroundBitmap, clipped);
  }
  for (auto& sprite : sprites_) {
    if (const auto* clones = RunningClones(*sprite)) {
      if (repaintOnly) continue;
      // Effect sprites draw no shadow.
      for (const auto& clone : *clones) {
        if (clone->Hidden != 0) continue;
        if (clone->ImageDrawn == 0 && LiesIn(clone->GetRect(), rect)) clone->Draw(CompositionBitmap, false);
        if (clone->RectCommitted == 0 && LiesIn(clone->DrawnRect, rect)) clone->SetRectCommitted(1);
      }
      continue;
    }
    if (sprite->Hidden != 0) continue;
    if (sprite->ShadowDrawn == 0 &&
        LiesIn(repaintOnly ? sprite->DrawnShadowRect : sprite->GetShadowRect(), rect))
      sprite->DrawShadow(CompositionBitmap, repaintOnly);
    if (sprite->ImageDrawn == 0 && LiesIn(repaintOnly ? sprite->DrawnRect : sprite->GetRect(), rect))
      sprite->Draw(CompositionBitmap, repaintOnly);
    if (sprite->ShadowRectCommitted == 0) sprite->DrawnShadowRect = sprite->GetShadowRect();
    if (sprite->RectCommitted == 0 && LiesIn(sprite->DrawnRect, rect)) sprite->SetRectCommitted(1);
  }
  if (overlaps && &target != &CompositionBitmap) CopyArea(target, CompositionBitmap, clipped);
}

void TAnimatedScene::NextFrame() {
  if (LoopsLeft == 0 || Busy != 0 || Locked != 0) return;
  Busy = 1;
  const bool repaintOnly = RepaintOnly != 0;
  // A failure must not leave the scene busy for good.
  struct EndOfComposition {
    TAnimatedScene& scene;
    ~EndOfComposition() {
      scene.Busy = 0;
      scene.RepaintOnly = 0;
    }
  } end{*this};
  DrawFailure.clear();

  MotionPass(repaintOnly);
  if (BackgroundDrawn == 0) {
    // The whole background goes over the picture: every sprite is painted anew.
    for (auto& sprite : sprites_) {
      sprite->ForgetPaintedLook();
      ForEachClone(*sprite, [](TSprite& clone) { clone.ForgetPaintedLook(); });
    }
  }
  std::vector<TOutputRect> rects = CollectDirtyRects(repaintOnly, BackgroundDrawn == 0);
  MergeDirtyRects(rects, repaintOnly);

  RefreshOwnerWindow();
  CompositionBitmap.SetPixelFormat(pf24bit);
  CompositionBitmap.SetSize(Width, Height);
  // Without an output bitmap the composition itself is the picture.
  TBitmap& target = OutputBitmap != nullptr ? *OutputBitmap : CompositionBitmap;
  if (BackgroundDrawn == 0) {
    target.Canvas().Draw(0, 0, BackgroundBitmap);
    if (PaletteMode != 0 && OutputBitmap != nullptr && !OutputBitmap->PaletteModified() &&
        !BackgroundBitmap.Palette().IsNone()) {
      OutputBitmap->SetPalette(BackgroundBitmap.Palette());
      OutputBitmap->SetPaletteModified(true);
    }
  }
  for (const TOutputRect& dirty : rects) RedrawRect(dirty.Rect, target, repaintOnly);
  BackgroundDrawn = 1;
  lastDirtyRects_ = std::move(rects);

  if (!repaintOnly) {
    CurrentStep = CurrentStep + 1;
    if (CurrentStep > StepCount) {
      CurrentStep = 1;
      LoopsDone = LoopsDone + 1;
      if (LoopCount >= 0) LoopsLeft = LoopsLeft - 1;
    }
  }
  if (NotifyWindow != 0) PostMessage(NotifyWindow, WM_STEPCHANGED, 0, 0);
}

void TAnimatedScene::Rewind() {
  CurrentStep = 1;
  for (auto& sprite : sprites_) {
    TMoving& path = sprite->Motion();
    path.RestartSteps();
    path.MarkMoved();
    sprite->FrameStepCounter = 0;
    sprite->FrameIndex = 0;
    for (int i = 0; i < sprite->FrameCount(); ++i) {
      TFrame& frame = sprite->Frame(i);
      frame.Countdown = frame.Duration() + 1;
      frame.SubFrameCounter = 0;
      frame.AdvanceSource(1);
      frame.RenderNext3D();
    }
  }
}

void TAnimatedScene::AdvanceNoDraw() {
  for (auto& sprite : sprites_) {
    if (sprite->HasEffectStep()) continue;
    sprite->ImageDrawn = 0;
    sprite->StepMotion(true);
  }
  for (auto& sprite : sprites_) {
    if (sprite->HasEffectStep() || sprite->Hidden != 0 || sprite->ImageDrawn != 0) continue;
    sprite->AdvanceNoDraw();
  }
  CurrentStep = CurrentStep + 1;
  if (CurrentStep > StepCount) CurrentStep = 1;
}

void TAnimatedScene::GotoFrame(std::int32_t n) {
  Rewind();
  for (std::int32_t i = 2; i < n; ++i) AdvanceNoDraw();
}

void TAnimatedScene::RenderFrameToBitmap(bool keepStretch, TBitmap& bitmap) {
  BackgroundDrawn = 0;
  auto refresh = [](TSprite& sprite) {
    sprite.Hidden = 0;
    sprite.Motion().MarkMoved();
    sprite.ForgetPaintedLook();
  };
  for (auto& sprite : sprites_) {
    refresh(*sprite);
    ForEachClone(*sprite, refresh);
  }
  NextFrame();
  TBitmap& output = OutputBitmap != nullptr ? *OutputBitmap : CompositionBitmap;
  if (!keepStretch && (bitmap.Width() != Width || bitmap.Height() != Height)) {
    ResampleBitmapDefault(output, bitmap, false, 0);
  } else {
    bitmap.Canvas().StretchDraw(Rect(0, 0, bitmap.Width(), bitmap.Height()), output);
  }
}

// ---- Background -------------------------------------------------------------------------------------

void TAnimatedScene::SelectPalette(TBitmap& bitmap) {
  const TFrame* chosen = nullptr;
  for (const auto& sprite : sprites_) {
    for (int i = 0; i < sprite->FrameCount() && chosen == nullptr; ++i) {
      const TFrame& frame = sprite->Frame(i);
      if (frame.Kind == fkPicture && frame.Picture.BitCount() == 8 && !frame.DisplayImage.Palette().IsNone())
        chosen = &frame;
    }
    if (chosen != nullptr) break;
  }
  if (chosen != nullptr) {
    bitmap.SetPalette(chosen->DisplayImage.Palette());
  } else {
    for (const auto& sprite : sprites_) {
      for (int i = 0; i < sprite->FrameCount() && chosen == nullptr; ++i)
        if (!sprite->Frame(i).Picture.Palette().IsNone()) chosen = &sprite->Frame(i);
      if (chosen != nullptr) break;
    }
    if (chosen != nullptr) bitmap.SetPalette(chosen->Picture.Palette());
  }
  bitmap.SetPaletteModified(true);
}

void TAnimatedScene::DrawBackgroundPicture() {
  const int pw = BackgroundPicture.Width();
  const int ph = BackgroundPicture.Height();
  // A picture without area can be neither placed nor tiled.
  if (pw <= 0 || ph <= 0) return;
  TCanvas& canvas = BackgroundBitmap.Canvas();
  switch (PicturePlacement) {
    case ppCentered: {
      const int x = pw < Width ? Width / 2 - pw / 2 : 0;
      const int y = ph < Height ? Height / 2 - ph / 2 : 0;
      canvas.Draw(x, y, BackgroundPicture);
      break;
    }
    case ppTiled:
      for (int i = 0; i <= Width / pw; ++i)
        for (int j = 0; j <= Height / ph; ++j) canvas.Draw(i * pw, j * ph, BackgroundPicture);
      break;
    case ppStretched:
      if (ResampledStretching != 0) {
        ResampleBitmapDefault(BackgroundPicture, BackgroundBitmap, false, 0);
      } else {
        canvas.StretchDraw(Rect(0, 0, Width, Height), BackgroundPicture);
      }
      break;
    default:
      break;
  }
}

void TAnimatedScene::SetBackground(bool keepSettings, std::int32_t mode, const std::string& fileName,
                                   TColor startColor, TColor finishColor, std::int32_t placement,
                                   const TBitmap* picture) {
  for (auto& sprite : sprites_) sprite->Motion().PrepareSteps(sprite.get());
  BackgroundDrawn = 0;
  if (!keepSettings) {
    BackgroundMode = mode;
    BackgroundFile = fileName;
    StartColor = startColor;
    FinishColor = finishColor;
    PicturePlacement = placement;
  }
  RefreshOwnerWindow();
  BackgroundBitmap.SetSize(Width, Height);
  if (PaletteMode != 0 && (BackgroundFile.empty() || BackgroundMode == bgmDesktop)) SelectPalette(BackgroundBitmap);
  TCanvas& canvas = BackgroundBitmap.Canvas();
  if (BackgroundMode == bgmDesktop) {
    const TColor desktop = System().DesktopColor();
    canvas.Brush().Color = desktop;
    canvas.Brush().Style = bsSolid;
    canvas.Pen().Color = desktop;
    canvas.Pen().Width = 1;
    canvas.Pen().Style = psSolid;
    canvas.Rectangle(0, 0, Width, Height);
  } else if (BackgroundMode == bgmFillAndPicture) {
    if (!keepSettings && !fileName.empty()) LoadBackgroundPicture(fileName);
    if (picture != nullptr) BackgroundPicture.Assign(picture);
    canvas.Brush().Color = FillColor;
    canvas.Brush().Style = bsSolid;
    canvas.Pen().Color = FillColor;
    canvas.Pen().Width = 1;
    canvas.Pen().Style = psSolid;
    canvas.Rectangle(0, 0, Width, Height);
    TShapeParams shape;
    shape.GradientStyle = VelvetFill;
    shape.FillColor1 = static_cast<std::int32_t>(StartColor);
    shape.FillColor2 = static_cast<std::int32_t>(FinishColor);
    shape.GradientAngle = FillAngle;
    shape.BevelStyle = FountainBevel;
    shape.BevelWidth = BevelDepth;
    shape.BevelColor1 = static_cast<std::int32_t>(BevelHighlight);
    shape.BevelColor2 = static_cast<std::int32_t>(BevelShadow);
    shape.BorderWidth = OutlineWidth;
    shape.BorderColor = static_cast<std::int32_t>(OutlineColor);
    shape.CornerSize = CornerRadius;
    DrawShape(fkRectangle, BackgroundBitmap, shape);
    if (!BackgroundFile.empty() || picture != nullptr) {
      if (PaletteMode != 0 && !BackgroundPicture.Palette().IsNone())
        BackgroundBitmap.SetPalette(BackgroundPicture.Palette());
      DrawBackgroundPicture();
    }
  }
  if (PaletteMode != 0) {
    BackgroundBitmap.SetPaletteModified(true);
    CompositionBitmap.SetPaletteModified(true);
  }
}
