// The model side of the Insert and Sprite commands that add a generated
// frame: a new sprite holding one default frame, or a default frame appended
// to a sprite, each with the default motion step a sprite without steps gets
// and with one undo entry. A failing add leaves the scene as it was and
// records nothing.
#pragma once

#include <functional>
#include <string>

class TAnimatedScene;
class TSprite;
class TBitmap;

enum TNewFrameKind { nfkRectangle, nfkEllipse, nfkLine, nfkText3D };

// What an add made: the sprite (new or given), its index in the scene (-1
// when not asked), the new frame's index, and whether the sprite is new.
struct TAddedItem {
  TSprite* Sprite = nullptr;
  int SpriteIndex = -1;
  int FrameIndex = -1;
  bool SpriteCreated = false;
};

// The undo caption of an added frame: "Add Frame with Rectangle", "Add Frame
// with Ellipse", "Add Frame with Line", "Add Text Frame".
std::string AddFrameCaption(TNewFrameKind kind);

// Gives the sprite's path one default motion step (hold at (0, 0)-(40, 40),
// zoom 1, 9 steps) when it has none, without undo. True when one was added.
bool AddDefaultStepWhenNone(TSprite& sprite);

// Sprite_Add_Rectangle, _Ellipse, _Line and _3DText: appends the kind's
// default frame (3D text: the default state in both states, a blank 230 x 80
// picture for the editor to render into, the state's text as the frame's
// text). Records one entry under AddFrameCaption: removing the frame when the
// sprite keeps other frames and already had motion steps, else a snapshot of
// the whole sprite, so that Undo always gives back the sprite as it was.
TAddedItem AddDefaultFrame(TSprite& sprite, TNewFrameKind kind);

// Appends a frame through append (which returns its index) and, with
// addDefaultStep, a default step when the path has none, both with recording
// paused; when either raises, both are taken back and the error goes to the caller.
int AppendFrameAndStep(TSprite& sprite, const std::function<int(TSprite&)>& append, bool addDefaultStep = true);
// AppendFrameAndStep, then one undo entry with the caption, chosen as
// AddDefaultFrame chooses it.
TAddedItem AppendFrameRecorded(TSprite& sprite, const std::string& caption,
                               const std::function<int(TSprite&)>& append, bool addDefaultStep = true);

// Scene_Add_Rectangle, _Ellipse, _Line and _3DText: a new sprite named
// "Sprite n" at the end of the scene with the kind's default frame and one
// default step. Records only "Add Sprite", whose Undo removes it all.
TAddedItem AddSpriteWithDefaultFrame(TAnimatedScene& scene, TNewFrameKind kind);

// Appends a new sprite ("Sprite n") to the scene, runs fill on it with
// recording paused, and records "Add Sprite" once fill succeeded; when fill
// raises, the sprite is removed again and the error goes to the caller.
TAddedItem AddSpriteThen(TAnimatedScene& scene, const std::function<void(TSprite&, TAddedItem&)>& fill);
