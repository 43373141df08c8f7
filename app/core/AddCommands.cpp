#include "app/core/AddCommands.h"

#include "app/core/FrameDefaults.h"
#include "app/core/SpriteSnapshot.h"
#include "platform/Graphics.h"
#include "scene/Frame.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"
#include "scene/Undo.h"
#include "scene/UndoRecorder.h"

#include <optional>

namespace {

// Appends the kind's default frame; returns its index.
int AppendDefaultFrame(TSprite& sprite, TNewFrameKind kind) {
  switch (kind) {
    case nfkRectangle:
    case nfkEllipse: {
      const TShapeFrameDefaults shape = kind == nfkRectangle ? DefaultRectangleFrame() : DefaultEllipseFrame();
      return sprite.AddShape(shape.Kind, shape.Width, shape.Height, shape.Shape, shape.Transparent,
                             shape.TransparentColor);
    }
    case nfkLine: {
      const TLineFrameDefaults line = DefaultLineFrame();
      return sprite.AddLine(line.Start, line.End, line.Background, line.Width, line.LineColor, line.Transparent);
    }
    case nfkText3D: {
      const T3DTextState state = Default3DTextState();
      TBitmap blank;
      blank.SetPixelFormat(pf24bit);
      blank.SetSize(state.ImageWidth, state.ImageHeight);
      const int index = sprite.Add3DText(state, blank, false, clWhite);
      TFrame& frame = sprite.Frame(index);
      frame.StoreTransparency(false, clWhite);
      frame.EndState = state;
      frame.Text = state.Text;
      return index;
    }
  }
  return -1;
}

}  // namespace

int AppendFrameAndStep(TSprite& sprite, const std::function<int(TSprite&)>& append, bool addDefaultStep) {
  const TUndoRecordingPause pause;
  const int framesBefore = sprite.FrameCount();
  const int stepsBefore = sprite.Motion().StepCount();
  const std::int32_t frameIndexBefore = sprite.FrameIndex;
  try {
    const int index = append(sprite);
    if (addDefaultStep) AddDefaultStepWhenNone(sprite);
    return index;
  } catch (...) {
    while (sprite.FrameCount() > framesBefore) sprite.DeleteFrameSilently(sprite.FrameCount() - 1);
    while (sprite.Motion().StepCount() > stepsBefore) sprite.Motion().DeleteStep(sprite.Motion().StepCount() - 1);
    sprite.FrameIndex = frameIndexBefore;
    throw;
  }
}

std::string AddFrameCaption(TNewFrameKind kind) {
  switch (kind) {
    case nfkRectangle:
      return "Add Frame with Rectangle";
    case nfkEllipse:
      return "Add Frame with Ellipse";
    case nfkLine:
      return "Add Frame with Line";
    case nfkText3D:
      return "Add Text Frame";
  }
  return {};
}

bool AddDefaultStepWhenNone(TSprite& sprite) {
  if (sprite.Motion().StepCount() > 0) return false;
  const TUndoRecordingPause pause;
  sprite.Motion().AddStep();
  return true;
}

TAddedItem AddDefaultFrame(TSprite& sprite, TNewFrameKind kind) {
  return AppendFrameRecorded(sprite, AddFrameCaption(kind),
                             [kind](TSprite& target) { return AppendDefaultFrame(target, kind); });
}

TAddedItem AppendFrameRecorded(TSprite& sprite, const std::string& caption,
                               const std::function<int(TSprite&)>& append, bool addDefaultStep) {
  // Removing the new frame gives the sprite back exactly only when it keeps
  // another frame (the log never removes a last frame) and no step was added.
  const bool frameUndoSuffices =
      sprite.FrameCount() > 0 && (sprite.Motion().StepCount() > 0 || !addDefaultStep);
  std::optional<TSpriteSnapshot> before;
  if (!frameUndoSuffices && CurrentUndo != nullptr) before.emplace(sprite);

  TAddedItem added;
  added.Sprite = &sprite;
  added.FrameIndex = AppendFrameAndStep(sprite, append, addDefaultStep);
  if (frameUndoSuffices) {
    RecordUndo(urkSpriteEdit, caption, false, added.FrameIndex, sprite.Frame(added.FrameIndex).Id, uokAddedFrame,
               nullptr);
  } else if (before) {
    before->Record(caption);
  }
  return added;
}

TAddedItem AddSpriteWithDefaultFrame(TAnimatedScene& scene, TNewFrameKind kind) {
  return AddSpriteThen(scene, [kind](TSprite& sprite, TAddedItem& added) {
    added.FrameIndex = AppendFrameAndStep(sprite, [kind](TSprite& target) { return AppendDefaultFrame(target, kind); });
  });
}

TAddedItem AddSpriteThen(TAnimatedScene& scene, const std::function<void(TSprite&, TAddedItem&)>& fill) {
  TAddedItem added;
  {
    const TUndoRecordingPause pause;
    added.Sprite = scene.AddSprite(added.SpriteIndex);
    added.SpriteCreated = true;
    try {
      fill(*added.Sprite, added);
    } catch (...) {
      scene.ExtractSprite(added.SpriteIndex);
      throw;
    }
  }
  RecordUndo(urkSpriteList, "Add Sprite", false, added.SpriteIndex, added.Sprite->Id, uokAddedSprite, nullptr);
  return added;
}
