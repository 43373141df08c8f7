#include "scene/UndoRecorder.h"

TUndoRecorder* CurrentUndo = nullptr;

void RecordUndo(std::int32_t recordKind, const std::string& caption, bool replace, std::int32_t index,
                std::int32_t objectId, std::int32_t objectKind, const TSnapshotWriter& writer) {
  if (CurrentUndo == nullptr) return;
  CurrentUndo->AddRecord(recordKind, caption, replace, index, objectId, objectKind, writer);
}
