#include "scene/Sounds.h"

#include "platform/Streams.h"
#include "scene/RecordReading.h"
#include "scene/SceneGlobals.h"
#include "scene/SpriteU.h"
#include "scene/Undo.h"
#include "scene/UndoRecorder.h"

#include <cstdint>

// ---- TAudioItem -------------------------------------------------------------------

TAudioItem::TAudioItem(TAudioFile* file) : Id(NewObjectId()), file_(file) {}

void TAudioItem::SaveToStream(TStream& stream) const {
  stream.WriteInt32(StartStep);
  stream.WriteInt32(StopStep);
  stream.WriteByte(StopFlag);
  if (UndoMode != 0) stream.WriteInt32(Id);
}

void TAudioItem::LoadFromStream(TStream& stream) {
  StartStep = stream.ReadInt32();
  StopStep = stream.ReadInt32();
  StopFlag = stream.ReadByte();
  if (UndoMode != 0) Id = stream.ReadInt32();
}

std::int64_t TAudioItem::RecordSize() { return UndoMode != 0 ? 13 : 9; }

// ---- TAudioFile ---------------------------------------------------------------------

TAudioFile::TAudioFile(TAnimatedScene* scene) : Id(NewObjectId()), scene_(scene) {}

TAudioFile::~TAudioFile() = default;

int TAudioFile::Index() const {
  if (scene_ == nullptr) return -1;
  for (std::size_t i = 0; i < scene_->Sounds.size(); ++i)
    if (scene_->Sounds[i].get() == this) return static_cast<int>(i);
  return -1;
}

void TAudioFile::RecordChange(const char* caption) {
  RecordUndo(urkSound, caption, true, Index(), Id, uokSoundFile, [this](TStream& stream) { SaveToStream(stream); });
}

void TAudioFile::SetFile(const std::string& fileName, std::uint8_t deviceType) {
  RecordChange("Change Playing");
  FileName = fileName;
  DeviceType = deviceType;
}

TAudioItem* TAudioFile::AddItem(std::int32_t start, std::int32_t stop, std::uint8_t stopFlag) {
  RecordChange("Add Start/Stop position");
  items_.push_back(std::make_unique<TAudioItem>(this));
  TAudioItem* item = items_.back().get();
  item->StartStep = start;
  item->StopStep = stop;
  item->StopFlag = stopFlag;
  return item;
}

namespace {

// Copies the whole file behind its 4-byte size; size 0 and no bytes when the
// file cannot be read or does not fit a 4-byte size.
void WriteEmbeddedFile(TStream& stream, const std::string& fileName) {
  TMemoryStream bytes;
  try {
    TFileStream file(fileName, fmOpenRead | fmShareDenyNone);
    const std::int64_t size = file.Size();
    if (size > 0 && size < (std::int64_t{1} << 31)) {
      bytes.SetSize(size);
      file.ReadBuffer(bytes.Memory(), size);
    }
  } catch (const std::exception&) {
    bytes.Clear();
  }
  stream.WriteInt32(static_cast<std::int32_t>(bytes.Size()));
  if (bytes.Size() > 0) stream.WriteBuffer(bytes.Memory(), bytes.Size());
}

}  // namespace

void TAudioFile::SaveToStream(TStream& stream) const {
  stream.WriteShortString(FileName);
  stream.WriteByte(DeviceType);
  if (UndoMode != 0) {
    stream.WriteInt32(0);
  } else {
    WriteEmbeddedFile(stream, FileName);
  }
  stream.WriteInt32(static_cast<std::int32_t>(items_.size()));
  for (const auto& item : items_) item->SaveToStream(stream);
  if (UndoMode != 0) stream.WriteInt32(Id);
}

std::int64_t TAudioFile::MinRecordSize() { return 1 + 1 + 4 + 4 + (UndoMode != 0 ? 4 : 0); }

void TAudioFile::LoadFromStream(TStream& stream) {
  FileName = stream.ReadShortString();
  DeviceType = stream.ReadByte();
  // The embedded bytes are passed over: the file on disk is never touched.
  SkipRecordBytes(stream, ReadRecordSize(stream));
  items_.clear();
  const std::int32_t count = ReadRecordCount(stream, TAudioItem::RecordSize());
  {
    TUndoRecordingPause pause;
    for (std::int32_t i = 0; i < count; ++i) AddItem(0, 0, 0)->LoadFromStream(stream);
  }
  if (UndoMode != 0) Id = stream.ReadInt32();
}
