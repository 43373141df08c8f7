// The model side of the commands that put a sprite in front of or behind all
// others: the move with its one undo entry, which gives the old order back.
#pragma once

class TAnimatedScene;

// Scene_MovetoFrontOfAllSprites: the sprite at index is drawn last, after a
// "Move to Front of all Sprites" entry. False, with nothing recorded, when
// the index is not a sprite's or the sprite is in front already.
bool MoveSpriteToFrontOfAll(TAnimatedScene& scene, int index);

// Scene_MoveToBackOfAllSprites: the sprite at index is drawn first, after a
// "Move to Back of all Sprites" entry. False, with nothing recorded, when the
// index is not a sprite's or the sprite is at the back already.
bool MoveSpriteToBackOfAll(TAnimatedScene& scene, int index);
