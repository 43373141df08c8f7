// What the main window's time line and property pages compute without a
// window: the step display while the slider moves, the loop count typed in
// the looping box, the playback interval of a speed, the bounded seek
// targets and the texts of the motion list's rows.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

class TMovingStep;

// The most steps a scene page accepts; seeks never walk further than this.
inline constexpr std::int32_t kMaxSceneSteps = 100000;
// The largest loop count a GIF can hold.
inline constexpr std::int32_t kMaxLoopCount = 65535;

// " " + the step before the slider position, five digits with leading
// zeros; never below step 1.
std::string SliderStepText(std::int32_t sliderPosition);

// The loop count of the looping box's text: "Forever" in any case is -1
// (endless); a whole number is itself, negatives -1, at most 65535; any
// other text gives nothing (the count stays).
std::optional<std::int32_t> LoopCountFromText(const std::string& text);
// The looping box's text for a loop count.
std::string LoopCountText(std::int32_t loops);

// The playback interval in ms for steps per second: round(1000 / value),
// 1000 for 0.
std::int32_t StepIntervalOf(std::int32_t stepsPerSecond);
// The steps per second the scene page shows for an interval: round(1000 /
// interval), 1 for an interval of 0.
std::int32_t StepsPerSecondOf(std::int32_t interval);

// The GotoFrame target that shows the last step: step count + 1, with the
// step count cut to kMaxSceneSteps (a hostile count must not hang a seek).
std::int32_t LastStepSeekTarget(std::int32_t stepCount);
// The most single steps a walk through the scene may take.
std::int32_t SeekStepLimit(std::int32_t stepCount);

// The five texts of a motion row after its marker: type, start position,
// finish position, start speed, finish speed. pixelUnits chooses " pxs "
// over "% " in the bounds texts.
std::array<std::string, 5> MotionRowTexts(const TMovingStep& step, bool pixelUnits);
// A position or speed as the motion page shows it: up to two decimals,
// trailing zeros dropped ("10", "0.5", "12.25").
std::string MotionFieldText(double value);
