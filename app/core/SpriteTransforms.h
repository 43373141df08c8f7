// The commands that change the pictures of a sprite's frames in place
// (flip, rotate, resize) and put the effects dialog's results into a sprite.
// Each records one undo entry holding the whole sprite as it was (record
// kind 1, object kind 201), so one Undo gives back every frame. The frame
// loops report progress and stop after the frame in work when the program's
// cancel flag is set; the frames done keep the change.
#pragma once

#include "platform/Colors.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TSprite;
class TFrame;
struct TEffectParameters;
using TFrameList = std::vector<std::unique_ptr<TFrame>>;

// Progress of a frame loop: (frame index, frame count - 1); (1, 1) at the end.
using TProgressCallback = std::function<void(int position, int total)>;

// Sprite_Flip_Hor / Sprite_Flip_Vert: every frame's picture mirrored left to
// right (horizontal) or top to bottom, keyed again by the colour it keyed out
// before. Records "Flip Horizontally" or "Flip Vertically"; clears the cancel
// flag first. Nothing happens for a sprite without frames.
void FlipSpriteFrames(TSprite& sprite, bool horizontal, const TProgressCallback& progress = {});

// The colour of the corners a rotation uncovers: the frame's keyed colour
// when it is transparent, else its picture's pixel (0, 0).
TColor RotationPaperColor(TFrame& frame);

// RotateFrames (Effects_90Clockwise 90, Effects_90CounterClockwise -90,
// Effects_180Rotation 180): every frame turned clockwise by angle degrees on
// the paper colour of the current frame. Nothing happens without frames.
void RotateFrames(TSprite& sprite, double angle, const TProgressCallback& progress = {});

// RotateFrameByAngle: the current frame only (onlyCurrentFrame) or every
// frame turned by angle x (1 - 2 x direction) degrees, the uncovered corners
// in colour; each keeps its transparency flag and keyed colour. Records
// "Rotation"; clears the cancel flag first. Raises ESizeRefused, changing and
// recording nothing, when a turned picture would not fit the project reader's limits.
void RotateFrameByAngle(TSprite& sprite, bool onlyCurrentFrame, double angle, int direction, TColor color,
                        const TProgressCallback& progress = {});

// Effects_Resize: every frame's picture scaled to width x height, resampled
// (typeOfResize 0, keeping the keyed colour exact) or stretched (any other
// value). Records "Resize Frames"; clears the cancel flag first. Raises
// ESizeRefused, changing and recording nothing, for a size beyond the project reader's limits.
void ResizeSpriteFrames(TSprite& sprite, int width, int height, int typeOfResize,
                        const TProgressCallback& progress = {});

// ApplyEffect's model part, given the dialog's result frames for effect kind
// 1..20 on the frame at frameIndex. A transition's results (kinds 1 to 11)
// become picture frames inserted right after that frame, in order, each named
// listText followed by its 1-based position ("Blend2", "Blend3", ...); a
// filter's first result (kinds 12 to 20) replaces the frame's picture, which
// keeps its transparency flag and keyed colour. Records "Change Sprite" only
// when something changed. Returns the number of frames inserted.
int ApplyEffectResults(TSprite& sprite, int frameIndex, int kind, const TFrameList& results,
                       const std::string& listText);

// ApplyEffect without the dialog: the effect's frames made by
// CreateEffectFrames from the frame at frameIndex (and, for a transition,
// the frame after it when there is one), then ApplyEffectResults with the
// effect list's text. Returns the number of frames inserted.
int ApplyEffect(TSprite& sprite, int frameIndex, int kind, const TEffectParameters& parameters);
