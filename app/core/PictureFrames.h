// The model side of the commands that add picture files as frames (Insert
// Image as a new sprite, Add Image to the current sprite): the frames, the
// motion step a sprite without steps gets, one undo entry, and the new
// sprite taken out again when no file gave it a frame.
#pragma once

#include <functional>
#include <string>
#include <vector>

class TAnimatedScene;
class TSprite;

// The undo caption of frames added from picture files: that of the first
// file's kind ("Add .GIF Frame", "Add .JPG Image", "Add .AVI Frame", else
// "Add .BMP picture"), as the sprite records a single file of that kind.
std::string AddPicturesCaption(const std::string& fileName);

// What adding picture files did.
struct TPictureFramesAdded {
  int FramesAdded = 0;
  // The file that could not be read (empty: every file was read).
  std::string FailedFile;
  // The new sprite had no frame and is no longer in the scene.
  bool SpriteRemoved = false;
};

// Adds the files in order as frames of the sprite, each through addFile
// (which appends the file's frames and returns false when it cannot read
// it), with recording paused: a file that fails leaves no frame and ends
// the adding, and reportFailed is called with it before anything is
// recorded. A sprite that has frames and no motion step gets one step.
// Then one undo entry: a snapshot of a sprite that had frames before, under
// AddPicturesCaption; "Add Sprite" for a new sprite (newSpriteIndex >= 0, its
// index in the scene). When no frame was added nothing is recorded, and a
// new sprite is taken out of the scene (RemoveSpriteWithoutFrames).
TPictureFramesAdded AddPictureFrames(TAnimatedScene& scene, TSprite& sprite, int newSpriteIndex,
                                     const std::vector<std::string>& fileNames,
                                     const std::function<bool(const std::string&)>& addFile,
                                     const std::function<void(const std::string&)>& reportFailed);

// Takes a sprite made for picture frames out of the scene when it holds
// none; true when it did (the sprite is then gone).
bool RemoveSpriteWithoutFrames(TAnimatedScene& scene, TSprite& sprite, bool spriteIsNew);
