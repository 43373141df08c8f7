#include "app/core/SpriteSnapshot.h"

#include "scene/SceneGlobals.h"
#include "scene/Sprite.h"
#include "scene/Undo.h"
#include "scene/UndoRecorder.h"

TSpriteSnapshot::TSpriteSnapshot(TSprite& sprite) : sprite_(sprite) {
  const TUndoModeScope mode(1);
  // Written as the undo log writes its own snapshots: in the newest format.
  const TFormatVersionScope version(TFormatVersionScope::kUseNewest);
  sprite.SaveToStream(bytes_);
}

void TSpriteSnapshot::Record(const std::string& caption) const {
  const TMemoryStream& bytes = bytes_;
  RecordUndo(urkSpriteEdit, caption, false, 0, sprite_.Id, uokSpriteInPlace,
             [&bytes](TStream& stream) { stream.WriteBuffer(bytes.Memory(), static_cast<std::int64_t>(bytes.Bytes().size())); });
}

void RecordSpriteSnapshot(TSprite& sprite, const std::string& caption) {
  RecordUndo(urkSpriteEdit, caption, false, 0, sprite.Id, uokSpriteInPlace,
             [&sprite](TStream& stream) { sprite.SaveToStream(stream); });
}
