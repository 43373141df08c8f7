// What the main window shows, computed without a window: the progress
// percentage of status panel 2, the step display and the playback speed,
// the items of the 3D text depth and size lists, the mask colour of a
// preset picture and the paste commands' states from the clipboard.
#pragma once

#include "platform/Colors.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TBitmap;

// ---- Progress -------------------------------------------------------------------------------

// The percentage a progress report shows: round(done / total x 100), 0 for
// a total of 0.
std::int32_t ProgressPercentOf(int done, int total);
// The text of status panel 2 while progress shows: "<percent>% done".
std::string ProgressText(std::int32_t percent);

// ---- Step display and speed --------------------------------------------------------------------

// The step display after a playback step: " " + the step shown, five digits
// with leading zeros. The scene has already advanced, so the step shown is
// the current step - 1 from step 2 on, else the current step itself.
std::string StepDisplayText(std::int32_t sceneCurrentStep);

// Measures the playback speed from the microsecond clock (its low 32 bits,
// which wrap): every step counts; when more than half a second has passed
// since the measurement started, the speed is the steps counted divided by
// the seconds passed.
class TStepSpeedMeter {
 public:
  // Counts one step shown at the time now; returns the speed text
  // (one decimal, padded with blanks on the left to 5 characters) when a
  // measurement ends. The times are subtracted as unsigned 32-bit numbers,
  // so a wrap of the clock counts as the time that really passed; a sample
  // whose elapsed time is 0 gives no speed.
  std::optional<std::string> StepShown(std::int32_t now);
  std::int32_t StepCounter = 0;
  std::int32_t StepClockStart = 0;
};

// ---- 3D text lists ---------------------------------------------------------------------------

// "0", "0.01" ... "0.09", "0.1" ... "3": 40 items.
std::vector<std::string> DepthListItems();
// "1" ... "70".
std::vector<std::string> SizeListItems();

// ---- Presets menu ----------------------------------------------------------------------------

// The mask colour of a preset picture's 18 x 18 image: the first of 15, 30,
// 45, ... that no pixel has (pixels read from the 24-bit image as $00BBGGRR),
// or the first candidate at or beyond $1000000 when every one is used.
TColor PresetMaskColor(const TBitmap& picture);

// ---- Paste commands from the clipboard ------------------------------------------------------

struct TPasteStates {
  bool Paste = false;             // Edit_Paste: a private object or a bitmap
  bool PasteTexture = false;      // Texture_Paste: a bitmap
  bool PasteAsNewSprite = false;  // a bitmap, or a private object holding a frame
  friend bool operator==(const TPasteStates&, const TPasteStates&) = default;
};

// The states from what the clipboard holds: whether it has a bitmap, and the
// block of the private format (nullopt when there is none). A block shorter
// than 8 bytes (the size and the kind) is no private object.
TPasteStates PasteStatesOf(bool hasBitmap, const std::optional<std::string>& privateBlock);
