#include "scene/RecordReading.h"

#include <cmath>

std::int32_t ReadRecordSize(TStream& stream) {
  const std::int32_t size = stream.ReadInt32();
  if (size < 0 || size > stream.Remaining()) throw EReadError("A record states more bytes than the stream holds");
  return size;
}

std::int32_t ReadRecordCount(TStream& stream, std::int64_t minRecordSize) {
  const std::int32_t count = stream.ReadInt32();
  if (count < 0) throw EReadError("A record states a negative count");
  if (minRecordSize > 0 && static_cast<std::int64_t>(count) > stream.Remaining() / minRecordSize)
    throw EReadError("A record states more items than the stream holds");
  return count;
}

double ReadFiniteDouble(TStream& stream) {
  const double value = stream.ReadDouble();
  return std::isfinite(value) ? value : 0.0;
}

bool RecordImageSizeFits(std::int64_t width, std::int64_t height, std::int64_t minSide) {
  return width >= minSide && height >= minSide && width <= kMaxRecordImageSide &&
         height <= kMaxRecordImageSide && width * height <= kMaxRecordImagePixels;
}

void RequireRecordImageSize(std::int64_t width, std::int64_t height, std::int64_t minSide) {
  if (!RecordImageSizeFits(width, height, minSide)) throw EReadError("A record states an impossible image size");
}

void SkipRecordBytes(TStream& stream, std::int64_t count) {
  stream.RequireAvailable(count);
  stream.Seek(count, TSeekOrigin::soCurrent);
}

TRecordBlock::TRecordBlock(TStream& stream, std::int64_t size) : size_(size) {
  stream.RequireAvailable(size);
  if (size == 0) {
    view_ = std::make_unique<TReadOnlyMemoryStream>(nullptr, 0);
    return;
  }
  if (auto* memory = dynamic_cast<TMemoryStream*>(&stream)) {
    data_ = memory->Memory() + memory->Position();
    memory->Seek(size, TSeekOrigin::soCurrent);
  } else {
    copy_.resize(static_cast<std::size_t>(size));
    stream.ReadBuffer(copy_.data(), size);
    data_ = copy_.data();
  }
  view_ = std::make_unique<TReadOnlyMemoryStream>(data_, size_);
}
