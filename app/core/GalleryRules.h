// What the 3D animation, colour and motion galleries take from a preset, and
// the loading of a preset project file. The template wizard's thumbnails and
// the folders' project file lists live beside the wizard and are reachable
// from here too.
#pragma once

#include "dialogs/core/TemplateThumbnails.h"
#include "platform/Colors.h"
#include "scene/Text3DFrame.h"

#include <memory>
#include <string>

class TAnimatedScene;
class TSprite;
class TFrame;
class TMoving;

// ---- Presets -----------------------------------------------------------------------------------------

// The preset in a gallery file, loaded into a scene of its own after its
// checksum trailer was checked (a failed check shows its message). Null when
// the check or the load fails or the scene has no sprite.
std::unique_ptr<TAnimatedScene> LoadGalleryPreset(const std::string& fileName);
// The first frame of the preset's first sprite, or null.
TFrame* PresetFirstFrame(TAnimatedScene& preset);

// ---- 3D animation and colour galleries ---------------------------------------------------------------

// The 3D animation gallery's copy: of the fields the preset animates (start
// differs from end), the preset's start into start and its end into end;
// the lights the preset enables are enabled, light kinds always copied;
// material on and texture on when the preset's start has them at 1.0, the
// texture file name when the preset names one. Text, text position, font,
// image size and background are never taken.
void CopyAnimatedFields(const T3DTextState& presetStart, const T3DTextState& presetEnd, T3DTextState& start,
                        T3DTextState& end);
// The colour gallery's copy: everything from light 1's enabled flag through
// texture scale Y (lights, material, texture), start from start and end from end.
void CopyColorFields(const T3DTextState& presetStart, const T3DTextState& presetEnd, T3DTextState& start,
                     T3DTextState& end);

// AnimationGalleryToolButtonClick and CollorGalleryToolButtonClick on the
// frame at frameIndex: the copy above from the preset frame, after a
// "Change 3D Text" frame snapshot. Only a preset whose frame is 3D text is
// taken; a copy that changes nothing records nothing. True when the frame
// changed (its picture is then to be rendered again, with recording paused).
bool ApplyAnimationPreset(TSprite& sprite, int frameIndex, const TFrame& preset);
bool ApplyColorPreset(TSprite& sprite, int frameIndex, const TFrame& preset);

// ---- Motion gallery ---------------------------------------------------------------------------------

// ShowMotionGallery: after a "Change Motion" snapshot the sprite's path
// becomes a copy of the preset path. When the old first step was a fixed
// position, the new path is moved so that its first step's smaller corner
// lies on the old start position, and every size loses the difference
// between the new and the old first start size (none below 0.05).
void ApplyMotionPreset(TSprite& sprite, const TMoving& preset);
