#include "scene/SceneGlobals.h"

#include "imaging/utils.h"
#include "platform/SystemValues.h"

std::int32_t SaveVersion = kNewestFormatVersion;
std::int32_t ReadVersion = kNewestFormatVersion;
std::uint8_t UndoMode = 0;
std::uint8_t PaletteMode = 0;

std::int32_t NewObjectId() {
  // The sum wraps like the 32-bit arithmetic the stored ids were made with.
  const std::uint32_t sum = static_cast<std::uint32_t>(Random(1000000)) + static_cast<std::uint32_t>(MicroTime());
  return static_cast<std::int32_t>(sum);
}

TFormatVersionScope::TFormatVersionScope(TChange change)
    : change_(change), save_(SaveVersion), read_(ReadVersion) {
  if (change_ == kUseNewest) SaveVersion = ReadVersion = kNewestFormatVersion;
}

TFormatVersionScope::~TFormatVersionScope() {
  SaveVersion = change_ == kUseNewest ? save_ : kNewestFormatVersion;
  ReadVersion = change_ == kUseNewest ? read_ : kNewestFormatVersion;
}
