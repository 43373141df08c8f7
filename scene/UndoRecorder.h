// The one seam through which the scene model records undo entries. Every
// editing operation calls RecordUndo before it changes the model; nothing is
// recorded while no undo log is installed (CurrentUndo is null).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class TStream;

// Writes the snapshot of the object about to change (empty: no snapshot).
using TSnapshotWriter = std::function<void(TStream&)>;

// Record kinds: what part of the document a record belongs to.
enum : std::int32_t {
  urkSpriteEdit = 1,     // intervals, motion, frames
  urkSpriteList = 2,     // sprites added or deleted
  urkSceneSettings = 3,  // background
  urkSound = 4,
};

// Object kinds: what an undo restores, and from which snapshot.
enum : std::int32_t {
  uokSprite = 1,             // sprite record; a new sprite is inserted at the index
  uokFrame = 2,              // frame record; the sprite by id gets the frame back
  uokPath = 3,               // path record of the path with the id
  uokIntervals = 4,          // intervals of the sprite with the id
  uokSceneSettings = 5,
  uokWholeScene = 6,
  uokSoundFile = 7,
  uokAddedSprite = 101,      // no snapshot: the sprite with the id is removed
  uokAddedFrame = 102,       // no snapshot: the frame with the id is removed
  uokSpriteInPlace = 201,    // sprite record re-read in place
  uokMovedFrame = 202,
  uokSpriteMovedLater = 301,
  uokFrameInPlace = 302,     // frame record re-read in place
  uokSpriteFirstToIndex = 311,
  uokSpriteMovedEarlier = 401,
  uokSpriteLastToIndex = 411,
  uokAddedSound = 701,
  uokDeletedSound = 702,
};

// What the undo log offers to the model. The log decides itself whether
// recording is allowed and enabled.
class TUndoRecorder {
 public:
  virtual ~TUndoRecorder() = default;
  virtual void AddRecord(std::int32_t recordKind, const std::string& caption, bool replace, std::int32_t index,
                         std::int32_t objectId, std::int32_t objectKind, const TSnapshotWriter& writer) = 0;
};

// The undo log of the active document, or null when there is none.
extern TUndoRecorder* CurrentUndo;

// Records through CurrentUndo when a log is installed.
void RecordUndo(std::int32_t recordKind, const std::string& caption, bool replace, std::int32_t index,
                std::int32_t objectId, std::int32_t objectKind, const TSnapshotWriter& writer);
