#include "app/core/PictureFrames.h"

#include "app/core/SpriteSnapshot.h"
#include "platform/SysUtils.h"
#include "scene/Moving.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"
#include "scene/Undo.h"

#include <optional>

std::string AddPicturesCaption(const std::string& fileName) {
  const std::string extension = UpperCaseAscii(ExtractFileExt(fileName));
  if (extension == ".GIF") return "Add .GIF Frame";
  if (extension == ".JPG" || extension == ".JPEG") return "Add .JPG Image";
  if (extension == ".AVI") return "Add .AVI Frame";
  return "Add .BMP picture";
}

bool RemoveSpriteWithoutFrames(TAnimatedScene& scene, TSprite& sprite, bool spriteIsNew) {
  if (!spriteIsNew || sprite.FrameCount() > 0) return false;
  for (int i = 0; i < scene.SpriteCount(); ++i)
    if (&scene.Sprite(i) == &sprite) {
      scene.ExtractSprite(i);
      return true;
    }
  return false;
}

TPictureFramesAdded AddPictureFrames(TAnimatedScene& scene, TSprite& sprite, int newSpriteIndex,
                                     const std::vector<std::string>& fileNames,
                                     const std::function<bool(const std::string&)>& addFile,
                                     const std::function<void(const std::string&)>& reportFailed) {
  const int framesBefore = sprite.FrameCount();
  // Taken before the first change: Undo gives back the sprite as it was.
  std::optional<TSpriteSnapshot> snapshot;
  if (framesBefore > 0) snapshot.emplace(sprite);
  TPictureFramesAdded added;
  {
    const TUndoRecordingPause pause;
    for (const std::string& fileName : fileNames) {
      const int framesNow = sprite.FrameCount();
      if (!addFile(fileName)) {
        // A file that could not be read adds no placeholder frame.
        while (sprite.FrameCount() > framesNow) sprite.DeleteFrameSilently(sprite.FrameCount() - 1);
        added.FailedFile = fileName;
        break;
      }
    }
    if (sprite.FrameCount() > 0 && sprite.Motion().StepCount() == 0) sprite.Motion().AddStep();
  }
  if (!added.FailedFile.empty()) reportFailed(added.FailedFile);
  added.FramesAdded = sprite.FrameCount() - framesBefore;
  if (added.FramesAdded == 0) {
    added.SpriteRemoved = RemoveSpriteWithoutFrames(scene, sprite, newSpriteIndex >= 0);
    return added;
  }
  if (snapshot) {
    snapshot->Record(AddPicturesCaption(fileNames.front()));
  } else if (newSpriteIndex >= 0) {
    RecordUndo(urkSpriteList, "Add Sprite", false, newSpriteIndex, sprite.Id, uokAddedSprite, nullptr);
  }
  return added;
}
