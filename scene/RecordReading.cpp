#include "scene/RecordReading.h"

#include "scene/Moving.h"

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

namespace {

constexpr double kMaxPathMeasure = 1 << 24;
constexpr double kMaxZoom = 1024;
constexpr std::int32_t kMaxHotSpotPercent = 1000;

bool Within(double value, double limit) { return value >= -limit && value <= limit; }

bool StepPlausible(const TMovingStep& s) {
  for (double v : {static_cast<double>(s.X1), static_cast<double>(s.Y1), static_cast<double>(s.X2),
                   static_cast<double>(s.Y2), static_cast<double>(s.StartX), static_cast<double>(s.StartY),
                   static_cast<double>(s.SpeedStart), static_cast<double>(s.SpeedEnd)})
    if (!Within(v, kMaxPathMeasure)) return false;
  for (double v : {static_cast<double>(s.ZoomXStart), static_cast<double>(s.ZoomXEnd),
                   static_cast<double>(s.ZoomYStart), static_cast<double>(s.ZoomYEnd)})
    if (!Within(v, kMaxZoom)) return false;
  for (std::int32_t v : {s.OpacityStart, s.OpacityEnd, s.ShadowBlurStart, s.ShadowBlurEnd, s.ShadowOpacityStart,
                         s.ShadowOpacityEnd, s.ShadowOffsetStartX, s.ShadowOffsetStartY, s.ShadowOffsetEndX,
                         s.ShadowOffsetEndY})
    if (!Within(v, kMaxPathMeasure)) return false;
  return true;
}

}  // namespace

void RequirePlausibleStep(const TMovingStep& step) {
  if (!StepPlausible(step)) throw EReadError("A motion step states values beyond any scene");
}

void RequirePlausiblePath(const TMoving& path) {
  for (int i = 0; i < path.StepCount(); ++i)
    if (!StepPlausible(path.Step(i))) throw EReadError("A motion step states values beyond any scene");
  const double hotSpotLimit = path.HotSpotInPercent != 0 ? kMaxHotSpotPercent : kMaxPathMeasure;
  if (!Within(path.HotSpotX, hotSpotLimit) || !Within(path.HotSpotY, hotSpotLimit))
    throw EReadError("A motion path states a hot spot beyond any scene");
}
