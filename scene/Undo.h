// The undo log of a document: one memory stream of records, each a 281-byte
// header (record kind, position of the previous record, caption, object
// kind, object id, index, replace) followed by the snapshot that the changing
// object wrote of itself. Undo restores the last record and drops it.
#pragma once

#include "platform/Streams.h"
#include "scene/UndoRecorder.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

class TAnimatedScene;
class TSprite;
class TFrame;
class TAudioFile;

class TUndo : public TUndoRecorder {
 public:
  static constexpr std::int64_t kHeaderSize = 281;
  // Offsets of the header's fields.
  static constexpr std::int64_t kRecordKindAt = 0;
  static constexpr std::int64_t kPreviousAt = 4;
  static constexpr std::int64_t kCaptionAt = 8;
  static constexpr std::int64_t kObjectKindAt = 268;
  static constexpr std::int64_t kObjectIdAt = 272;
  static constexpr std::int64_t kIndexAt = 276;
  static constexpr std::int64_t kReplaceAt = 280;

  // The scene that records are restored into, asked afresh at each undo so
  // that a document that replaced its scene is served.
  using TSceneReference = std::function<TAnimatedScene*()>;

  explicit TUndo(TSceneReference scene = {});
  ~TUndo() override;
  TUndo(const TUndo&) = delete;
  TUndo& operator=(const TUndo&) = delete;

  // Appends a record unless recording is not allowed or the log is disabled;
  // a log grown past an eighth of the physical memory is emptied first. The
  // writer's snapshot is written in undo mode; when it fails, the record is
  // taken back and the error goes to the caller.
  void AddRecord(std::int32_t recordKind, const std::string& caption, bool replace, std::int32_t index,
                 std::int32_t objectId, std::int32_t objectKind, const TSnapshotWriter& writer) override;
  // Restores the last record and drops it; nothing on an empty log. An error
  // while restoring goes to the caller and keeps the record.
  virtual void Undo();
  // Empties the log.
  virtual void Clear();

  // The user's undo setting; switching it off empties the log. A document's
  // log overrides it, since losing the history is not saving the document.
  virtual void SetEnabled(std::uint8_t value);
  std::uint8_t Enabled() const { return enabled_; }
  bool Empty() { return log_.Size() == 0; }
  // The caption of the header copy: after an undo, that of the record now last.
  std::string Caption() const;
  std::int32_t LastRecordPosition() const { return lastRecordPosition_; }
  TMemoryStream& Log() { return log_; }
  void SetSceneReference(TSceneReference scene) { scene_ = std::move(scene); }

  // 0 while compound operations or stream readers must not record.
  std::uint8_t RecordingAllowed = 1;

 private:
  std::int32_t HeaderInt(std::int64_t at) const;
  void SetHeaderInt(std::int64_t at, std::int32_t value);
  void ReadHeaderAt(std::int64_t position);
  void Restore(TAnimatedScene& scene, TStream& snapshot);
  void EmptyLog();

  std::int32_t lastRecordPosition_ = 0;
  std::uint8_t enabled_ = 1;
  TMemoryStream log_;
  std::array<std::uint8_t, kHeaderSize> header_{};
  TSceneReference scene_;
};

// Switches undo recording off for its lifetime: the current log records
// nothing (the recording-allowed byte of a TUndo; any other recorder is set
// aside), and the previous state returns on every exit.
class TUndoRecordingPause {
 public:
  TUndoRecordingPause();
  ~TUndoRecordingPause();
  TUndoRecordingPause(const TUndoRecordingPause&) = delete;
  TUndoRecordingPause& operator=(const TUndoRecordingPause&) = delete;

 private:
  TUndo* undo_ = nullptr;
  std::uint8_t allowed_ = 1;
  TUndoRecorder* setAside_ = nullptr;
};

// Sets the program-wide undo mode for its lifetime and puts the previous value back.
class TUndoModeScope {
 public:
  explicit TUndoModeScope(std::uint8_t mode);
  ~TUndoModeScope();
  TUndoModeScope(const TUndoModeScope&) = delete;
  TUndoModeScope& operator=(const TUndoModeScope&) = delete;

 private:
  std::uint8_t previous_;
};
