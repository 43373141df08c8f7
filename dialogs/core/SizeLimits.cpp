#include "dialogs/core/SizeLimits.h"

#include "scene/RecordReading.h"

std::string SizeRefusedMessage(std::int64_t width, std::int64_t height) {
  return FormatStr("The size %lld x %lld cannot be used: a picture may be at most %lld pixels wide and high "
                   "and hold at most %lld pixels.",
                   static_cast<long long>(width), static_cast<long long>(height),
                   static_cast<long long>(kMaxRecordImageSide), static_cast<long long>(kMaxRecordImagePixels));
}

void RequireSavableImageSize(std::int64_t width, std::int64_t height) {
  if (!RecordImageSizeFits(width, height, 1)) throw ESizeRefused(SizeRefusedMessage(width, height));
}
