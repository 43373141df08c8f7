// Helpers of the scene model tests: an undo recorder that keeps what it was
// asked to record, solid bitmaps and small scenes.
#pragma once

#include "platform/Graphics.h"
#include "scene/UndoRecorder.h"

#include <cstdint>
#include <string>
#include <vector>

struct RecordedUndo {
  std::int32_t recordKind = 0;
  std::string caption;
  bool replace = false;
  std::int32_t index = 0;
  std::int32_t objectId = 0;
  std::int32_t objectKind = 0;
  bool hasWriter = false;
};

// Installs itself as the current undo log for its lifetime.
class RecordingUndo final : public TUndoRecorder {
 public:
  RecordingUndo() { CurrentUndo = this; }
  ~RecordingUndo() override { CurrentUndo = nullptr; }
  RecordingUndo(const RecordingUndo&) = delete;
  RecordingUndo& operator=(const RecordingUndo&) = delete;

  void AddRecord(std::int32_t recordKind, const std::string& caption, bool replace, std::int32_t index,
                 std::int32_t objectId, std::int32_t objectKind, const TSnapshotWriter& writer) override {
    records.push_back({recordKind, caption, replace, index, objectId, objectKind, static_cast<bool>(writer)});
    writers.push_back(writer);
  }
  std::vector<std::string> Captions() const {
    std::vector<std::string> out;
    for (const auto& r : records) out.push_back(r.caption);
    return out;
  }

  std::vector<RecordedUndo> records;
  std::vector<TSnapshotWriter> writers;
};

// A 24-bit bitmap of one colour.
inline void MakeSolid(TBitmap& bitmap, int width, int height, TColor color) {
  bitmap.SetPixelFormat(pf24bit);
  bitmap.Canvas().Brush().Color = color;
  bitmap.SetSize(width, height);
  bitmap.Canvas().FillRect(Rect(0, 0, width, height));
}
