#include "app/core/MainFormDisplays.h"

#include "imaging/utils.h"
#include "platform/Graphics.h"
#include "platform/Numeric.h"
#include "platform/SysUtils.h"

#include <cstdio>
#include <set>

// ---- Progress -------------------------------------------------------------------------------

std::int32_t ProgressPercentOf(int done, int total) {
  if (total == 0) return 0;
  return Round(static_cast<double>(done) / total * 100);
}

std::string ProgressText(std::int32_t percent) { return IntToStr(percent) + "% done"; }

// ---- Step display and speed --------------------------------------------------------------------

std::string StepDisplayText(std::int32_t sceneCurrentStep) {
  const std::int32_t shown = sceneCurrentStep >= 2 ? sceneCurrentStep - 1 : sceneCurrentStep;
  return " " + PadLeftStr('0', 5, IntToStr(shown));
}

std::optional<std::string> TStepSpeedMeter::StepShown(std::int32_t now) {
  ++StepCounter;
  if (StepClockStart == 0) StepClockStart = now;
  const std::uint32_t elapsed = static_cast<std::uint32_t>(now) - static_cast<std::uint32_t>(StepClockStart);
  if (elapsed <= 500000) return std::nullopt;
  const double stepsPerSecond = StepCounter / (elapsed / 1000000.0);
  StepClockStart = now;
  StepCounter = 0;
  return PadLeftStr(' ', 5, FloatToShortStr(stepsPerSecond, 5, 1));
}

// ---- 3D text lists ---------------------------------------------------------------------------

namespace {

// The shortest text of a value as the class library writes a real (15
// significant digits), so 0.1 * 3 reads "0.3".
std::string ShortestText(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.15g", value);
  return buffer;
}

}  // namespace

std::vector<std::string> DepthListItems() {
  std::vector<std::string> items{"0"};
  for (int i = 1; i <= 9; ++i) items.push_back(ShortestText(i * 0.01));
  for (int i = 1; i <= 30; ++i) items.push_back(ShortestText(i * 0.1));
  return items;
}

std::vector<std::string> SizeListItems() {
  std::vector<std::string> items;
  for (int size = 1; size <= 70; ++size) items.push_back(IntToStr(size));
  return items;
}

// ---- Presets menu ----------------------------------------------------------------------------

TColor PresetMaskColor(const TBitmap& picture) {
  constexpr TColor kStep = 15;
  constexpr TColor kEnd = 0x1000000;
  std::set<TColor> used;
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) used.insert(picture.Pixel(x, y) & 0x00FFFFFF);
  TColor candidate = kStep;
  while (candidate < kEnd && used.count(candidate) != 0) candidate += kStep;
  return candidate;
}

// ---- Paste commands from the clipboard ------------------------------------------------------

TPasteStates PasteStatesOf(bool hasBitmap, const std::optional<std::string>& privateBlock) {
  constexpr std::size_t kKindOffset = 4;
  constexpr std::size_t kObjectMinimum = 8;
  const bool hasObject = privateBlock && privateBlock->size() >= kObjectMinimum;
  TPasteStates states;
  states.Paste = hasObject || hasBitmap;
  states.PasteTexture = hasBitmap;
  states.PasteAsNewSprite = hasBitmap;
  if (hasObject) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(privateBlock->data()) + kKindOffset;
    const std::int32_t kind =
        static_cast<std::int32_t>(bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (std::uint32_t{bytes[3]} << 24));
    if (kind == 2) states.PasteAsNewSprite = true;  // a frame
  }
  return states;
}
