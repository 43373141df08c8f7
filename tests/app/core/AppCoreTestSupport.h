// Helpers of the main window's model tests: a scene with a real undo log
// installed as the current one, and byte snapshots of sprites and scenes.
#pragma once

#include "scene/Sprite.h"
#include "scene/SpriteU.h"
#include "scene/Undo.h"
#include "tests/scene/ProjectTestSupport.h"

#include <gtest/gtest.h>

#include <string>

// A sprite's record with ids, as an undo snapshot holds it.
inline std::string SpriteSnapshot(TSprite& sprite) {
  const TUndoModeScope mode(1);
  SaveVersion = kNewestFormatVersion;
  TMemoryStream stream;
  sprite.SaveToStream(stream);
  return StreamBytes(stream);
}

// A document: a 200 x 100 scene and its undo log, installed as the current one.
class DocumentTest : public testing::Test {
 protected:
  DocumentTest() : undo([this] { return &scene; }) {
    scene.Width = 200;
    scene.Height = 100;
    CurrentUndo = &undo;
  }
  ~DocumentTest() override { CurrentUndo = nullptr; }

  // The number of records in the log.
  int RecordCount() {
    int count = 0;
    if (undo.Log().Size() == 0) return 0;
    std::int64_t at = undo.LastRecordPosition();
    for (;;) {
      ++count;
      if (at == 0) return count;
      std::int32_t previous;
      std::memcpy(&previous, undo.Log().Memory() + at + TUndo::kPreviousAt, 4);
      at = previous;
    }
  }
  std::int32_t LastInt(std::int64_t field) {
    std::int32_t value;
    std::memcpy(&value, undo.Log().Memory() + undo.LastRecordPosition() + field, 4);
    return value;
  }

  FormatVersionsGuard guard;
  TAnimatedScene scene;
  TUndo undo;
};
