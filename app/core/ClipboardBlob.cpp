#include "app/core/ClipboardBlob.h"

#include "app/core/AddCommands.h"
#include "app/core/SizeLimits.h"
#include "platform/Graphics.h"
#include "platform/Streams.h"
#include "scene/Frame.h"
#include "scene/Moving.h"
#include "scene/SceneGlobals.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"
#include "scene/Undo.h"
#include "scene/UndoRecorder.h"

#include <functional>

namespace {

constexpr std::int64_t kHeaderSize = 8;

// Clipboard records are written and read in the newest format and never carry ids.
class TClipboardFormatScope {
 public:
  TClipboardFormatScope() : versions_(TFormatVersionScope::kUseNewest), mode_(0) {}

 private:
  TFormatVersionScope versions_;
  TUndoModeScope mode_;
};

TClipboardBlob MakeBlob(std::int32_t kind, const std::function<void(TStream&)>& writeRecord) {
  const TClipboardFormatScope format;
  TMemoryStream stream;
  stream.WriteInt32(0);
  stream.WriteInt32(kind);
  writeRecord(stream);
  if (stream.Size() > INT32_MAX) throw EWriteError("The clipboard data exceeds 2 GiB");
  stream.SetPosition(0);
  stream.WriteInt32(static_cast<std::int32_t>(stream.Size()));
  return stream.Bytes();
}

// A blob of the size field alone, holding the value.
TClipboardBlob SizeFieldOnly(std::int32_t value) {
  TMemoryStream stream;
  stream.WriteInt32(value);
  return stream.Bytes();
}

// Reads the record with read, which must consume it exactly.
void ReadWhole(const std::vector<std::uint8_t>& record, const std::function<void(TStream&)>& read) {
  const TClipboardFormatScope format;
  TReadOnlyMemoryStream stream(record.data(), static_cast<std::int64_t>(record.size()));
  read(stream);
  if (stream.Position() != stream.Size()) throw EReadError("The clipboard record does not end at its stated size");
}

TPasteResult PasteDecoded(TAnimatedScene& scene, TSprite* currentSprite, const TClipboardContent& content) {
  TPasteResult result;
  const std::vector<std::uint8_t>& record = content.Record;
  const auto readFrame = [&record](TSprite& sprite) {
    TFrame* frame = sprite.AddFrame();
    ReadWhole(record, [frame](TStream& s) { frame->LoadFromStream(s, true); });
    return sprite.FrameCount() - 1;
  };
  switch (content.Kind) {
    case cbkSprite: {
      const TAddedItem added = AddSpriteThen(scene, [&record](TSprite& sprite, TAddedItem&) {
        ReadWhole(record, [&sprite](TStream& s) { sprite.LoadFromStream(s); });
      });
      result.Sprite = added.Sprite;
      result.SpriteCreated = true;
      result.FrameIndex = 0;
      break;
    }
    case cbkFrame: {
      const TAddedItem added =
          currentSprite != nullptr
              ? AppendFrameRecorded(*currentSprite, "Add Frame", readFrame, false)
              : AddSpriteThen(scene, [&readFrame](TSprite& sprite, TAddedItem& item) {
                  item.FrameIndex = AppendFrameAndStep(sprite, readFrame);
                });
      result.Sprite = added.Sprite;
      result.SpriteCreated = added.SpriteCreated;
      result.FrameIndex = added.FrameIndex;
      break;
    }
    case cbkPath: {
      if (currentSprite == nullptr) return result;
      TMoving& path = currentSprite->Motion();
      RecordUndo(urkSpriteEdit, "Change Motion", true, 0, path.Id, uokPath,
                 [&path](TStream& stream) { path.SaveToStream(stream); });
      ReadWhole(record, [&path, currentSprite](TStream& s) { path.LoadFromStream(s, currentSprite); });
      result.Sprite = currentSprite;
      result.FrameIndex = currentSprite->FrameCount() > 0 ? currentSprite->GetCurrentFrameIndex() : -1;
      break;
    }
    default:
      return result;
  }
  result.Kind = content.Kind;
  return result;
}

// The decoded blob, or nothing when it holds nothing or is damaged.
TClipboardContent DecodeOrNothing(const std::uint8_t* data, std::size_t size, TAnimatedScene& scene) {
  if (data == nullptr) return {};
  try {
    return DecodeClipboardBlob(data, size, scene);
  } catch (const std::exception&) {
    // A damaged or hostile blob pastes nothing, whatever its reader raised.
    return {};
  }
}

}  // namespace

TClipboardBlob SpriteBlob(TSprite& sprite) {
  return MakeBlob(cbkSprite, [&sprite](TStream& s) { sprite.SaveToStream(s); });
}

TClipboardBlob FrameBlob(TFrame& frame) {
  return MakeBlob(cbkFrame, [&frame](TStream& s) { frame.SaveToStream(s); });
}

TClipboardBlob PathBlob(const TMoving& path) {
  return MakeBlob(cbkPath, [&path](TStream& s) { path.SaveToStream(s); });
}

TClipboardBlob CopyBlobForNode(int imageIndex, TSprite& sprite, TFrame* frame) {
  switch (imageIndex) {
    case 1:
      return SpriteBlob(sprite);
    case 3:
    case 4:
    case 8:
    case 9:
    case 10:
      return frame != nullptr ? FrameBlob(*frame) : SizeFieldOnly(0);
    case 5:
    case 11:
    case 12:
      return PathBlob(sprite.Motion());
    default:
      return SizeFieldOnly(4);
  }
}

TClipboardContent DecodeClipboardBlob(const std::uint8_t* data, std::size_t size, TAnimatedScene& scene) {
  TClipboardContent content;
  TReadOnlyMemoryStream stream(data, static_cast<std::int64_t>(size));
  if (stream.Size() < 4) throw EReadError("The clipboard data is too short to hold its size");
  const std::int32_t stated = stream.ReadInt32();
  if (stated < kHeaderSize) return content;
  if (stated > stream.Size()) throw EReadError("The clipboard data is shorter than its size field states");
  const std::int32_t kind = stream.ReadInt32();
  if (kind != cbkSprite && kind != cbkFrame && kind != cbkPath) return content;

  content.Record.assign(data + kHeaderSize, data + stated);
  std::unique_ptr<TSprite> sprite = scene.CreateSprite();
  TSprite* owner = sprite.get();
  switch (kind) {
    case cbkSprite:
      ReadWhole(content.Record, [owner](TStream& s) { owner->LoadFromStream(s); });
      break;
    case cbkFrame: {
      TFrame* frame = owner->AddFrame();
      ReadWhole(content.Record, [frame](TStream& s) { frame->LoadFromStream(s, true); });
      content.Frame = frame;
      break;
    }
    case cbkPath:
      ReadWhole(content.Record, [owner](TStream& s) { owner->Motion().LoadFromStream(s, owner); });
      content.Path = &owner->Motion();
      break;
  }
  content.Sprite = std::move(sprite);
  content.Kind = kind;
  return content;
}

TPasteResult PasteClipboardBlob(TAnimatedScene& scene, TSprite* currentSprite, const std::uint8_t* data,
                                std::size_t size) {
  const TClipboardContent content = DecodeOrNothing(data, size, scene);
  return PasteDecoded(scene, currentSprite, content);
}

TPasteResult PasteAsNewSprite(TAnimatedScene& scene, const TBitmap* bitmap, const std::uint8_t* data,
                              std::size_t size) {
  const TClipboardContent content = DecodeOrNothing(data, size, scene);
  if (bitmap == nullptr && content.Kind == cbkNothing) return {};
  if (bitmap != nullptr) RequireSavableImageSize(bitmap->Width(), bitmap->Height());

  const TAddedItem added = AddSpriteThen(scene, [](TSprite& sprite, TAddedItem&) { AddDefaultStepWhenNone(sprite); });
  TPasteResult result;
  result.Sprite = added.Sprite;
  result.SpriteCreated = true;
  if (bitmap != nullptr) {
    const TUndoRecordingPause pause;
    result = PasteBitmapFrame(scene, added.Sprite, *bitmap);
    result.SpriteCreated = true;
  }
  if (content.Kind == cbkSprite) {
    const TPasteResult pasted = PasteDecoded(scene, added.Sprite, content);
    if (pasted.Kind != cbkNothing) result = pasted;
  } else if (content.Kind != cbkNothing) {
    const TUndoRecordingPause pause;
    TPasteResult pasted = PasteDecoded(scene, added.Sprite, content);
    pasted.SpriteCreated = true;
    if (pasted.Kind != cbkNothing) result = pasted;
  }
  return result;
}

TPasteResult PasteBitmapFrame(TAnimatedScene& scene, TSprite* currentSprite, const TBitmap& bitmap) {
  RequireSavableImageSize(bitmap.Width(), bitmap.Height());
  const auto appendPicture = [&bitmap](TSprite& sprite) {
    TFrame* frame = sprite.AddFrame();
    const int index = sprite.FrameCount() - 1;
    frame->SetPicture(bitmap, false, clWhite, -1, -1);
    frame->StoreTransparency(false, clWhite);
    frame->SetFileName("Clipboard " + IntToStr(index + 1));
    frame->Kind = fkPicture;
    frame->ReleaseImages();
    return index;
  };
  const TAddedItem added = currentSprite != nullptr
                               ? AppendFrameRecorded(*currentSprite, "Add Frame", appendPicture, false)
                               : AddSpriteThen(scene, [&appendPicture](TSprite& sprite, TAddedItem& item) {
                                   item.FrameIndex = AppendFrameAndStep(sprite, appendPicture);
                                 });
  TPasteResult result;
  result.Kind = cbkFrame;
  result.Sprite = added.Sprite;
  result.SpriteCreated = added.SpriteCreated;
  result.FrameIndex = added.FrameIndex;
  return result;
}
