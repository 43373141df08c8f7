// The model side of the commands that put a sprite in front of or behind all others.
#include "app/core/SpriteOrder.h"

#include "scene/SpriteU.h"
#include "scene/UndoRecorder.h"

namespace {

// The undo entry of a move keeps the old index; its object kind says where
// the sprite went, so that Undo takes it back from there.
bool MoveSpriteRecorded(TAnimatedScene& scene, int index, int to, const char* caption, int objectKind) {
  if (index < 0 || index >= scene.SpriteCount() || index == to) return false;
  RecordUndo(urkSpriteList, caption, true, index, 0, objectKind, nullptr);
  scene.MoveSprite(index, to);
  return true;
}

}  // namespace

bool MoveSpriteToFrontOfAll(TAnimatedScene& scene, int index) {
  return MoveSpriteRecorded(scene, index, scene.SpriteCount() - 1, "Move to Front of all Sprites",
                            uokSpriteLastToIndex);
}

bool MoveSpriteToBackOfAll(TAnimatedScene& scene, int index) {
  return MoveSpriteRecorded(scene, index, 0, "Move to Back of all Sprites", uokSpriteFirstToIndex);
}
