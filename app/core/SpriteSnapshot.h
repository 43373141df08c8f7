// A sprite's record taken now and recorded later as one undo entry that
// re-reads it in place (record kind 1, object kind 201), so that an operation
// records its entry only once it has succeeded and the entry still holds the
// sprite as it was before the operation began.
#pragma once

#include "platform/Streams.h"

#include <string>

class TSprite;

class TSpriteSnapshot {
 public:
  // Writes the sprite's record as an undo snapshot (with ids, newest format).
  explicit TSpriteSnapshot(TSprite& sprite);
  TSpriteSnapshot(const TSpriteSnapshot&) = delete;
  TSpriteSnapshot& operator=(const TSpriteSnapshot&) = delete;

  // Adds the entry with the caption to the current undo log.
  void Record(const std::string& caption) const;

 private:
  TSprite& sprite_;
  TMemoryStream bytes_;
};

// Records a snapshot of the sprite as it is now (kind 1, object kind 201).
void RecordSpriteSnapshot(TSprite& sprite, const std::string& caption);
