// Effect and transform commands, and the clipboard: the twenty effects
// through the effects dialog, flips, rotations and resizing of a sprite's
// frames; copy, cut and paste of sprites, frames and motion paths in the
// private format, bitmaps pasted as frames, and bitmap copies of the scene,
// its background and the current frame. The model work is in
// app/core/SpriteTransforms and app/core/ClipboardBlob.
#pragma once

#include "app/MainFormArea.h"
#include "platform/Colors.h"
#include "platform/UiServices.h"

#include <functional>

class TBitmap;
class TStretchForm;

class TEffectsArea : public TMainFormArea {
 public:
  using TMainFormArea::TMainFormArea;

  // Connects the area's commands and makes its dialogs.
  void FormCreateEffects();
  // The current frame only or every frame turned by angle x (1 - 2 x direction)
  // degrees, the uncovered corners in colour.
  void RotateFrameByAngle(bool onlyCurrentFrame, double angle, int direction, TColor color);
  // Copy and paste in the private format (Edit_Copy, Edit_Paste). A paste
  // sets AddInProgress until its message 1003 selects what it added; one
  // that adds nothing or fails clears it at once.
  void Edit_CopyExecute();
  void Edit_Paste1Execute();
  // The BMP save chooser of the "Copy as Bitmap To..." commands.
  FileDialogRequest& SaveBmpDialog() { return saveBmpDialog_; }

 private:
  // The effects dialog on the current frame (and the next one, for a
  // transition), its results put into the current sprite; effectIndex is
  // the effect's place in EffectCommands.
  void ApplyEffect(int effectIndex);
  // Every frame of the current sprite mirrored left to right or top to bottom.
  void Sprite_Flip_HorExecute();
  void Sprite_Flip_VertExecute();
  // Every frame turned clockwise by angle degrees (90, -90, 180) on the
  // current frame's paper colour.
  void RotateFrames(double angle);
  // The rotation dialog, then RotateFrameByAngle with its values.
  void Effects_CustomRotationExecute();
  // The resize dialog (made once, kept with its last size), then every
  // frame of the current sprite resized to the chosen size.
  void Effects_ResizeExecute();
  // Runs a loop over the frames with its progress shown; after it (also a
  // failed one) the progress is hidden and the frame page and the scene
  // show the new pictures.
  void RunFrameLoop(const std::function<void(const std::function<void(int, int)>&)>& work);
  void Edit_CutExecute();
  void Edit_PasteAsNewSpriteExecute();
  // The clipboard's bitmap as a "Clipboard n" frame of the current sprite
  // (or of a new one); returns the new frame's index, -1 when none was added.
  int PasteBitmapFrame();
  // The scene as last drawn, the scene's background and the current frame's
  // picture as a bitmap on the clipboard or in a BMP file.
  void Scene_SceneImageCopyExecute();
  void Scene_SceneImageCopyToExecute();
  void Scene_BackgroundCopyExecute();
  void Scene_BackgroundCopyToExecute();
  void Frame_CopyAsBMPExecute();
  void Frame_CopyAsBMP_ToExecute();
  // Runs the BMP save chooser and writes the picture as a BMP file.
  void SaveBitmapTo(const TBitmap& picture);

  TStretchForm* stretchForm_ = nullptr;
  FileDialogRequest saveBmpDialog_;
};
