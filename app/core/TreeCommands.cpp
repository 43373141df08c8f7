#include "app/core/TreeCommands.h"

#include "scene/Frame.h"
#include "scene/Moving.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"
#include "scene/Undo.h"
#include "scene/UndoRecorder.h"

#include <algorithm>
#include <exception>

bool MoveSpriteUp(TAnimatedScene& scene, int index) {
  if (index < 0 || index >= scene.SpriteCount() - 1) return false;
  RecordUndo(urkSpriteList, "Move Sprite Up", false, index + 1, 0, uokSpriteMovedEarlier, nullptr);
  scene.MoveSprite(index, index + 1);
  return true;
}

bool MoveSpriteDown(TAnimatedScene& scene, int index) {
  if (index <= 0 || index >= scene.SpriteCount()) return false;
  RecordUndo(urkSpriteList, "Move Sprite Down", false, index - 1, 1, uokSpriteMovedLater, nullptr);
  scene.MoveSprite(index, index - 1);
  return true;
}

bool MoveFrameUp(TSprite& sprite, int index) {
  if (index <= 0 || index >= sprite.FrameCount()) return false;
  RecordUndo(urkSpriteEdit, "Move Frame Up", false, index, sprite.Frame(index).Id, uokMovedFrame, nullptr);
  sprite.MoveFrame(index, index - 1);
  return true;
}

bool MoveFrameDown(TSprite& sprite, int index) {
  if (index < 0 || index >= sprite.FrameCount() - 1) return false;
  RecordUndo(urkSpriteEdit, "Move Frame Down", false, index, sprite.Frame(index).Id, uokMovedFrame, nullptr);
  sprite.MoveFrame(index, index + 1);
  return true;
}

void ClearAppearances(TSprite& sprite) {
  RecordUndo(urkSpriteEdit, "Delete Appearance", true, 0, sprite.Id, uokIntervals,
             [&sprite](TStream& stream) { sprite.SaveAppearances(stream); });
  const TUndoRecordingPause pause;
  while (sprite.IntervalCount() > 0) sprite.DeleteAppearance(sprite.IntervalCount() - 1);
}

bool DeleteFrameKeepingOne(TSprite& sprite, int index) {
  if (sprite.FrameCount() <= 1 || index < 0 || index >= sprite.FrameCount()) return false;
  sprite.DeleteFrame(index);
  sprite.SetCurrentFrameIndex(std::min(index, sprite.FrameCount() - 1));
  return true;
}

namespace {

// A held sprite stands at its start point: one step from and to the drop point.
void HoldAtDropPoint(TSprite& sprite, TPoint dropPoint) {
  TMoving& motion = sprite.Motion();
  TMovingStep& step = motion.Step(motion.AddStep());
  TMovingStepValues values = step.Values();
  values.StartX = values.X1 = dropPoint.X;
  values.StartY = values.Y1 = dropPoint.Y;
  motion.SetStep(step, values, &sprite);
}

}  // namespace

TAddedItem AddDroppedPictureSprite(TAnimatedScene& scene, TPoint dropPoint,
                                   const std::function<bool(TSprite&)>& addFrames,
                                   const std::function<void()>& forget) {
  TAddedItem added;
  bool filled = false;
  {
    // The sprite and its frames are recorded as one "Add Sprite" once the
    // picture was read.
    const TUndoRecordingPause pause;
    added.Sprite = scene.AddSprite(added.SpriteIndex);
    added.SpriteCreated = true;
    try {
      filled = addFrames(*added.Sprite);
    } catch (const std::exception&) {
      filled = false;
    }
    if (filled && added.Sprite->Motion().StepCount() == 0) HoldAtDropPoint(*added.Sprite, dropPoint);
  }
  if (!filled) {
    forget();
    scene.ExtractSprite(added.SpriteIndex);  // freed here, with whatever frames it got
    return TAddedItem{};
  }
  RecordUndo(urkSpriteList, "Add Sprite", false, added.SpriteIndex, added.Sprite->Id, uokAddedSprite, nullptr);
  added.FrameIndex = added.Sprite->FrameCount() - 1;
  return added;
}
