// Checked reading of the scene model's stream records. Project files,
// clipboard blobs and undo snapshots are read with the same care: every size
// and count is checked against the bytes that remain before anything is
// allocated, reals are finite, image sizes are bounded, and a violation is a
// read error (EReadError).
#pragma once

#include "platform/Streams.h"

#include <cstdint>
#include <memory>
#include <vector>

class TMoving;
class TMovingStep;

// Largest side and pixel count of an image whose size a record states
// without the pixels that would back it (scene canvas, generated frames).
constexpr std::int64_t kMaxRecordImageSide = 65535;
constexpr std::int64_t kMaxRecordImagePixels = std::int64_t{1} << 26;

// A byte count: at least 0 and at most the bytes that remain.
std::int32_t ReadRecordSize(TStream& stream);
// A record count: at least 0 and no more records than the remaining bytes
// can hold when each takes at least minRecordSize bytes.
std::int32_t ReadRecordCount(TStream& stream, std::int64_t minRecordSize);
// An 8-byte real; NaN and infinities read as 0.
double ReadFiniteDouble(TStream& stream);
// Raises a read error unless width and height are within the record limits
// (each side from minSide to kMaxRecordImageSide, the area at most kMaxRecordImagePixels).
void RequireRecordImageSize(std::int64_t width, std::int64_t height, std::int64_t minSide);
bool RecordImageSizeFits(std::int64_t width, std::int64_t height, std::int64_t minSide);
// Raises a read error unless the path's values can be worked with: its
// positions and speeds (in pixels, as a read path holds them), opacities and
// shadow values within 2^24, its zooms within 1024 and its hot spot within
// 2^24 pixels or 1000 per cent, so that no step of its calculations leaves
// the 32-bit range.
void RequirePlausiblePath(const TMoving& path);
// The same check for one step, before the step is prepared.
void RequirePlausibleStep(const TMovingStep& step);
// Skips count bytes, which must remain.
void SkipRecordBytes(TStream& stream, std::int64_t count);

// The next size bytes of a stream as a stream of their own, so that a
// decoder handed them can never read past them. Over a memory stream the
// bytes are not copied.
class TRecordBlock {
 public:
  TRecordBlock(TStream& stream, std::int64_t size);
  TRecordBlock(const TRecordBlock&) = delete;
  TRecordBlock& operator=(const TRecordBlock&) = delete;

  TStream& Stream() { return *view_; }
  const std::uint8_t* Data() const { return data_; }
  std::int64_t Size() const { return size_; }

 private:
  std::vector<std::uint8_t> copy_;
  const std::uint8_t* data_ = nullptr;
  std::int64_t size_ = 0;
  std::unique_ptr<TReadOnlyMemoryStream> view_;
};

// Writes a 4-byte size, then what write puts into the stream, and patches the
// size to the bytes written.
template <typename Write>
void WriteSizedRecordBlock(TStream& stream, Write write) {
  const std::int64_t sizeAt = stream.Position();
  stream.WriteInt32(0);
  write();
  const std::int64_t end = stream.Position();
  const std::int64_t size = end - sizeAt - 4;
  if (size > INT32_MAX) throw EWriteError("A block of a record exceeds 2 GiB");
  stream.SetPosition(sizeAt);
  stream.WriteInt32(static_cast<std::int32_t>(size));
  stream.SetPosition(end);
}
