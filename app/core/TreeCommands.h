// The model side of Delete, Up and Down on the scene tree and of a picture
// dropped on a document as a new sprite: each changes the scene and records
// its undo entry in the current undo log; the window's handlers ask, stop
// playback and update the tree around them.
#pragma once

#include "app/core/AddCommands.h"
#include "platform/Geometry.h"

#include <functional>

class TAnimatedScene;
class TSprite;

// Sprite_Move_Up: the sprite at index swaps with the one drawn after it
// (toward the front), recorded as "Move Sprite Up". Sprite_Move_Down: with
// the one drawn before it, "Move Sprite Down". False, and nothing done, when
// there is no sprite to swap with.
bool MoveSpriteUp(TAnimatedScene& scene, int index);
bool MoveSpriteDown(TAnimatedScene& scene, int index);

// Frame_Up and Frame_Down: the frame at index swaps with the one before or
// after it, recorded as "Move Frame Up" or "Move Frame Down". False, and
// nothing done, when there is none.
bool MoveFrameUp(TSprite& sprite, int index);
bool MoveFrameDown(TSprite& sprite, int index);

// Every visibility interval of the sprite cleared at once, recorded as one
// "Delete Appearance" that gives them all back.
void ClearAppearances(TSprite& sprite);

// Delete Frame: the frame at index goes and the one now at its place (or the
// last) becomes current. A sprite keeps at least one frame: false, and
// nothing done, for a one-frame sprite or an index out of range.
bool DeleteFrameKeepingOne(TSprite& sprite, int index);

// A picture file dropped on a document: a new sprite is appended and
// addFrames reads the picture into it, with recording paused; a sprite that
// got its frames and has no motion step gets one holding it at the drop
// point. Then "Add Sprite" is recorded. When addFrames returns false or
// raises, forget runs while the sprite still exists, the sprite is removed
// with whatever frames it got and nothing is recorded: the result has no
// sprite.
TAddedItem AddDroppedPictureSprite(TAnimatedScene& scene, TPoint dropPoint,
                                   const std::function<bool(TSprite&)>& addFrames,
                                   const std::function<void()>& forget);
