#include "app/core/PropertyPageRules.h"

#include "imaging/utils.h"
#include "scene/Moving.h"

#include <algorithm>
#include <cmath>

std::string SliderStepText(std::int32_t sliderPosition) {
  const std::int64_t step = std::max<std::int64_t>(static_cast<std::int64_t>(sliderPosition) - 1, 1);
  return " " + PadLeftStr('0', 5, IntToShortStr(step));
}

namespace {

bool IsWholeNumber(const std::string& text) {
  std::size_t at = 0;
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
  if (at == text.size()) return false;
  return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(at), text.end(),
                     [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::optional<std::int32_t> LoopCountFromText(const std::string& text) {
  if (UpCaseStr(text) == "FOREVER") return -1;
  if (!IsWholeNumber(text)) return std::nullopt;
  // Long digit strings only need to be known as large.
  const bool negative = text[0] == '-';
  const std::string digits = text.substr(text[0] == '-' || text[0] == '+' ? 1 : 0);
  const std::size_t firstNonZero = std::min(digits.find_first_not_of('0'), digits.size());
  const std::string significant = digits.substr(firstNonZero);
  if (negative && !significant.empty()) return -1;
  if (significant.size() > 5) return kMaxLoopCount;
  const std::int32_t value = significant.empty() ? 0 : std::stoi(significant);
  return std::min(value, kMaxLoopCount);
}

std::string LoopCountText(std::int32_t loops) { return loops == -1 ? "Forever" : IntToShortStr(loops); }

std::int32_t StepIntervalOf(std::int32_t stepsPerSecond) {
  if (stepsPerSecond == 0) return 1000;
  return static_cast<std::int32_t>(std::lround(1000.0 / stepsPerSecond));
}

std::int32_t StepsPerSecondOf(std::int32_t interval) {
  if (interval == 0) return 1;
  return static_cast<std::int32_t>(std::lround(1000.0 / interval));
}

std::int32_t LastStepSeekTarget(std::int32_t stepCount) { return SeekStepLimit(stepCount) + 1; }

std::int32_t SeekStepLimit(std::int32_t stepCount) { return std::clamp(stepCount, 1, kMaxSceneSteps); }

std::string MotionFieldText(double value) {
  std::string text = FloatToShortStr(value, 0, 2);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  return text == "-0" ? "0" : text;
}

namespace {

std::string Rounded(double value) { return IntToShortStr(std::llround(value)); }

std::string TwoDecimals(double value) { return FloatToShortStr(value, 0, 2); }

std::string NoDecimals(double value) { return FloatToShortStr(value, 0, 0); }

std::string BoundsText(const char* label, const TMovingStep& step, const std::string& unit) {
  return std::string(label) + TwoDecimals(step.X1) + unit + ", Right:" + TwoDecimals(step.X2) + unit +
         ", Top:" + TwoDecimals(step.Y1) + unit + ", Bottom:" + TwoDecimals(step.Y2) + unit;
}

}  // namespace

std::array<std::string, 5> MotionRowTexts(const TMovingStep& step, bool pixelUnits) {
  const std::string unit = pixelUnits ? " pxs " : "% ";
  const std::string none = "-----";
  const std::string startSpeed = NoDecimals(step.SpeedStart);
  const std::string finishSpeed = NoDecimals(step.SpeedEnd);
  switch (step.Kind) {
    case mskBounce: {
      const std::string start = step.RandomStart != 0 ? "Random first point"
                                                      : "X:" + TwoDecimals(step.StartX) + unit + ", Y:" +
                                                            TwoDecimals(step.StartY) + unit;
      return {"Bounce", start, BoundsText("Moving bounds: Left:", step, unit), startSpeed, finishSpeed};
    }
    case mskLine: {
      const double finishX = step.StartX <= step.X1 ? step.X2 : step.X1;
      const double finishY = step.StartY <= step.Y1 ? step.Y2 : step.Y1;
      return {"Linear", Rounded(step.StartX) + ", " + Rounded(step.StartY), Rounded(finishX) + ", " + Rounded(finishY),
              startSpeed, finishSpeed};
    }
    case mskHold:
      return {"Fixed Position", Rounded(step.StartX) + ", " + Rounded(step.StartY), none, none, none};
    case mskRandomPoints:
      return {"Random", none, BoundsText("Bounds: Left:", step, unit), none, none};
    case mskDirectional:
      return {"Rain", none, BoundsText("Bounds: Left:", step, unit), startSpeed, finishSpeed};
    case mskBurst:
      return {"Stars", none, BoundsText("Bounds: Left:", step, unit), startSpeed, finishSpeed};
    default:
      return {"", "", "", "", ""};
  }
}
