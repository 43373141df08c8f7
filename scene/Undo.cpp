#include "scene/Undo.h"

#include "platform/SystemValues.h"
#include "scene/Frame.h"
#include "scene/Moving.h"
#include "scene/RecordReading.h"
#include "scene/SceneGlobals.h"
#include "scene/Sounds.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"

#include <algorithm>
#include <cstring>

// ---- Scopes ----------------------------------------------------------------------------------

TUndoRecordingPause::TUndoRecordingPause() {
  undo_ = dynamic_cast<TUndo*>(CurrentUndo);
  if (undo_ != nullptr) {
    allowed_ = undo_->RecordingAllowed;
    undo_->RecordingAllowed = 0;
  } else {
    setAside_ = CurrentUndo;
    CurrentUndo = nullptr;
  }
}

TUndoRecordingPause::~TUndoRecordingPause() {
  if (undo_ != nullptr) {
    undo_->RecordingAllowed = allowed_;
  } else if (setAside_ != nullptr) {
    CurrentUndo = setAside_;
  }
}

TUndoModeScope::TUndoModeScope(std::uint8_t mode) : previous_(UndoMode) { UndoMode = mode; }

TUndoModeScope::~TUndoModeScope() { UndoMode = previous_; }

// ---- The log ------------------------------------------------------------------------------------

TUndo::TUndo(TSceneReference scene) : scene_(std::move(scene)) {}

TUndo::~TUndo() = default;

std::int32_t TUndo::HeaderInt(std::int64_t at) const {
  std::int32_t value;
  std::memcpy(&value, header_.data() + at, 4);
  return value;
}

void TUndo::SetHeaderInt(std::int64_t at, std::int32_t value) { std::memcpy(header_.data() + at, &value, 4); }

std::string TUndo::Caption() const {
  const std::size_t length = header_[kCaptionAt];
  return std::string(reinterpret_cast<const char*>(header_.data() + kCaptionAt + 1), length);
}

void TUndo::EmptyLog() {
  log_.Clear();
  lastRecordPosition_ = 0;
}

void TUndo::Clear() { EmptyLog(); }

void TUndo::SetEnabled(std::uint8_t value) {
  if (value == enabled_) return;
  enabled_ = value;
  if (value == 0) Clear();
}

void TUndo::AddRecord(std::int32_t recordKind, const std::string& caption, bool replace, std::int32_t index,
                      std::int32_t objectId, std::int32_t objectKind, const TSnapshotWriter& writer) {
  if (RecordingAllowed == 0 || enabled_ == 0) return;
  // A log that outgrew its share of the memory loses its older history.
  if (log_.Size() > static_cast<std::int64_t>(PhysicalMemoryCapped() / 8)) EmptyLog();

  const auto previousHeader = header_;
  const std::int32_t previousLast = lastRecordPosition_;
  SetHeaderInt(kRecordKindAt, recordKind);
  SetHeaderInt(kPreviousAt, lastRecordPosition_);
  const std::size_t length = std::min<std::size_t>(caption.size(), 255);
  header_[kCaptionAt] = static_cast<std::uint8_t>(length);
  std::memcpy(header_.data() + kCaptionAt + 1, caption.data(), length);
  std::memset(header_.data() + kCaptionAt + 1 + length, 0, 255 - length);
  SetHeaderInt(kObjectKindAt, objectKind);
  SetHeaderInt(kObjectIdAt, objectId);
  SetHeaderInt(kIndexAt, index);
  header_[kReplaceAt] = replace ? 1 : 0;

  const std::int64_t position = log_.Size();
  lastRecordPosition_ = static_cast<std::int32_t>(position);
  log_.SetPosition(position);
  log_.WriteBuffer(header_.data(), kHeaderSize);
  if (!writer) return;
  const TUndoModeScope mode(1);
  // Snapshots are written and read in the newest format, whatever a save or
  // read around them uses; the versions in use come back afterwards.
  const TFormatVersionScope format(TFormatVersionScope::kUseNewest);
  try {
    writer(log_);
  } catch (...) {
    // A record without its whole snapshot could not be undone: it is taken back.
    log_.SetSize(position);
    lastRecordPosition_ = previousLast;
    header_ = previousHeader;
    throw;
  }
}

void TUndo::ReadHeaderAt(std::int64_t position) {
  if (position < 0 || position + kHeaderSize > log_.Size()) throw EReadError("The undo log is damaged");
  std::memcpy(header_.data(), log_.Memory() + position, static_cast<std::size_t>(kHeaderSize));
}

void TUndo::Undo() {
  if (log_.Size() == 0) return;
  const TUndoModeScope mode(1);
  ReadHeaderAt(lastRecordPosition_);
  if (TAnimatedScene* scene = scene_ ? scene_() : nullptr) {
    // Restoring never records; what a restore might record would be dropped with the record anyway.
    const std::uint8_t allowed = RecordingAllowed;
    RecordingAllowed = 0;
    struct AllowAgain {
      TUndo& undo;
      std::uint8_t allowed;
      ~AllowAgain() { undo.RecordingAllowed = allowed; }
    } allowAgain{*this, allowed};
    const std::int64_t snapshotAt = lastRecordPosition_ + kHeaderSize;
    log_.SetPosition(snapshotAt);
    TRecordBlock snapshot(log_, log_.Size() - snapshotAt);
    const TFormatVersionScope format(TFormatVersionScope::kUseNewest);
    Restore(*scene, snapshot.Stream());
  }

  const std::int32_t previous = HeaderInt(kPreviousAt);
  log_.SetSize(lastRecordPosition_);
  if (log_.Size() == 0) {
    lastRecordPosition_ = 0;
    return;
  }
  if (previous < 0 || previous + kHeaderSize > log_.Size()) {
    EmptyLog();
    return;
  }
  lastRecordPosition_ = previous;
  // The header copy names the record now last; its other fields stay those of the one undone.
  std::memcpy(header_.data() + kCaptionAt, log_.Memory() + previous + kCaptionAt, 256);
}

// ---- Restoring ------------------------------------------------------------------------------------

namespace {

TSprite* SpriteById(TAnimatedScene& scene, std::int32_t id) {
  for (int i = 0; i < scene.SpriteCount(); ++i)
    if (scene.Sprite(i).Id == id) return &scene.Sprite(i);
  return nullptr;
}

int SpriteIndex(TAnimatedScene& scene, const TSprite* sprite) {
  for (int i = 0; i < scene.SpriteCount(); ++i)
    if (&scene.Sprite(i) == sprite) return i;
  return -1;
}

TSprite* SpriteByPathId(TAnimatedScene& scene, std::int32_t id) {
  for (int i = 0; i < scene.SpriteCount(); ++i)
    if (scene.Sprite(i).Motion().Id == id) return &scene.Sprite(i);
  return nullptr;
}

TFrame* FrameById(TAnimatedScene& scene, std::int32_t id) {
  for (int i = 0; i < scene.SpriteCount(); ++i) {
    TSprite& sprite = scene.Sprite(i);
    for (int f = 0; f < sprite.FrameCount(); ++f)
      if (sprite.Frame(f).Id == id) return &sprite.Frame(f);
  }
  return nullptr;
}

int SoundIndexById(TAnimatedScene& scene, std::int32_t id) {
  for (std::size_t i = 0; i < scene.Sounds.size(); ++i)
    if (scene.Sounds[i]->Id == id) return static_cast<int>(i);
  return -1;
}

// Reads a snapshot twice: first into a scratch object, which proves that
// the whole record reads, then into the object itself, which is thus never
// left half restored and keeps its identity for whoever points at it.
template <typename Scratch, typename InPlace>
void ReadProvenInPlace(TStream& snapshot, Scratch scratch, InPlace inPlace) {
  const std::int64_t start = snapshot.Position();
  scratch(snapshot);
  snapshot.SetPosition(start);
  inPlace(snapshot);
}

void RestoreNewFrame(TSprite& sprite, TStream& snapshot, int index, bool replace) {
  auto frame = std::make_unique<TFrame>(&sprite);
  frame->LoadFromStream(snapshot, true);
  TFrame* restored = frame.get();
  // With replace the restored frame stands for the one now at the index.
  if (replace && index >= 0 && index < sprite.FrameCount()) sprite.DeleteFrameSilently(index);
  sprite.InsertFrame(index, std::move(frame));
  restored->RebuildImage();
}

}  // namespace

void TUndo::Restore(TAnimatedScene& scene, TStream& snapshot) {
  const std::int32_t objectKind = HeaderInt(kObjectKindAt);
  const std::int32_t id = HeaderInt(kObjectIdAt);
  const std::int32_t index = HeaderInt(kIndexAt);
  const bool replace = header_[kReplaceAt] != 0;
  const int count = scene.SpriteCount();
  switch (objectKind) {
    case uokSprite:
      scene.RestoreSpriteFromUndo(snapshot, index, replace);
      break;
    case uokFrame:
      if (TSprite* sprite = SpriteById(scene, id)) RestoreNewFrame(*sprite, snapshot, index, replace);
      break;
    case uokPath:
      if (TSprite* sprite = SpriteByPathId(scene, id)) {
        ReadProvenInPlace(
            snapshot, [&](TStream& s) { TMoving(&scene).LoadFromStream(s, sprite); },
            [&](TStream& s) { sprite->Motion().LoadFromStream(s, sprite); });
      }
      break;
    case uokIntervals:
      if (TSprite* sprite = SpriteById(scene, id)) {
        ReadProvenInPlace(
            snapshot, [&](TStream& s) { scene.CreateSprite()->LoadAppearances(s); },
            [&](TStream& s) { sprite->LoadAppearances(s); });
      }
      break;
    case uokSceneSettings:
      scene.LoadSettings(snapshot);
      if (scene.Failed != 0) throw EReadError("The scene settings could not be restored");
      break;
    case uokWholeScene:
      scene.LoadFromStream(snapshot);
      if (scene.Failed != 0) throw EReadError("The scene could not be restored");
      break;
    case uokSoundFile: {
      const int at = SoundIndexById(scene, id);
      if (at >= 0) {
        TAudioFile& sound = *scene.Sounds[static_cast<std::size_t>(at)];
        ReadProvenInPlace(
            snapshot, [&](TStream& s) { TAudioFile(&scene).LoadFromStream(s); },
            [&](TStream& s) { sound.LoadFromStream(s); });
      }
      break;
    }
    case uokAddedSprite:
      if (TSprite* sprite = SpriteById(scene, id)) scene.ExtractSprite(SpriteIndex(scene, sprite));
      break;
    case uokAddedFrame:
      if (TFrame* frame = FrameById(scene, id)) {
        TSprite* sprite = frame->Sprite();
        if (sprite != nullptr && sprite->FrameCount() > 1) sprite->DeleteFrameSilently(frame->Index());
      }
      break;
    case uokSpriteInPlace:
      if (TSprite* sprite = SpriteById(scene, id)) {
        ReadProvenInPlace(
            snapshot, [&](TStream& s) { scene.CreateSprite()->LoadFromStream(s); },
            [&](TStream& s) { sprite->LoadFromStream(s); });
      }
      break;
    case uokMovedFrame:
      if (TFrame* frame = FrameById(scene, id)) {
        TSprite* sprite = frame->Sprite();
        if (sprite != nullptr && index >= 0 && index < sprite->FrameCount()) sprite->MoveFrame(frame->Index(), index);
      }
      break;
    case uokSpriteMovedLater:
      if (index >= 0 && index + 1 < count) scene.MoveSprite(index, index + 1);
      break;
    case uokFrameInPlace:
      if (TFrame* frame = FrameById(scene, id)) {
        ReadProvenInPlace(
            snapshot, [&](TStream& s) { TFrame(frame->Sprite()).LoadFromStream(s, true); },
            [&](TStream& s) { frame->LoadFromStream(s, true); });
      }
      break;
    case uokSpriteFirstToIndex:
      if (index >= 0 && index < count) scene.MoveSprite(0, index);
      break;
    case uokSpriteMovedEarlier:
      if (index >= 1 && index < count) scene.MoveSprite(index, index - 1);
      break;
    case uokSpriteLastToIndex:
      if (index >= 0 && index < count) scene.MoveSprite(count - 1, index);
      break;
    case uokAddedSound: {
      const int at = SoundIndexById(scene, id);
      if (at >= 0) scene.Sounds.erase(scene.Sounds.begin() + at);
      break;
    }
    case uokDeletedSound: {
      auto sound = std::make_unique<TAudioFile>(&scene);
      sound->LoadFromStream(snapshot);
      const int at = std::clamp(index, 0, static_cast<int>(scene.Sounds.size()));
      scene.Sounds.insert(scene.Sounds.begin() + at, std::move(sound));
      break;
    }
    default:
      break;
  }
}
