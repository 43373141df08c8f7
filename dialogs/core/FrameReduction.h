// Reduction of the rendered export frames before they become a GIF: the
// composition of one frame over the frames before it (as a GIF viewer shows
// it, with the previous frame's disposal), and the pass that crops each frame
// to the rectangle that changed, makes unchanged pixels transparent with a
// free key colour and drops frames that change nothing.
#pragma once

#include "imaging/CreatePaletteU.h"
#include "platform/Colors.h"
#include "platform/Geometry.h"
#include "platform/Graphics.h"

#include <cstdint>
#include <optional>

class TExportProgress;

// A pixel differs visibly from another when their colour difference is above this.
constexpr std::int32_t kChangedPixelDifference = 112550;
// A key colour must be at least this far from every pixel of its frame.
constexpr std::int32_t kKeyColorDifference = 1125500;

// (30 dR)^2 + (59 dG)^2 + (11 dB)^2 of two pixels of 24-bit scan lines
// (bytes blue, green, red).
inline std::int32_t ColorDifference(const std::uint8_t* a, const std::uint8_t* b) {
  const std::int32_t db = 11 * (a[0] - b[0]);
  const std::int32_t dg = 59 * (a[1] - b[1]);
  const std::int32_t dr = 30 * (a[2] - b[2]);
  return dr * dr + dg * dg + db * db;
}

// The state the compositions share: the offset of every frame position, and
// the image kept for frames that leave or restore the previous one.
struct TExportComposition {
  TExportComposition();
  TPoint Origin{0, 0};
  TBitmap SavedImage;  // 10 x 10 until the first frame is drawn
  TPoint SavedPosition{0, 0};
};

// (0, 0, largest frame width, largest frame height).
TRect GetMaxFrameRect(const TSetOfBitmaps& frames);

// Draws frame index of the list into target over what target shows, as the
// frame follows the one before it (the last frame for index 0): the previous
// frame's disposal fills its area, a transparent frame leaves out the pixels
// of its transparent colour. With clear, target is first filled with bg.
void DrawExportFrame(TBitmap& target, bool clear, TColor bg, int index, const TSetOfBitmaps& frames,
                     TExportComposition& composition);

// The first key colour candidate (255, 510, ... below $1000000) that is at
// least kKeyColorDifference from every pixel of the 24-bit bitmap; none when
// every candidate is too close.
std::optional<TColor> ChooseKeyColor(const TBitmap& frame);

struct TOptimizeOptions {
  bool Shrink = false;               // crop to the changed rectangle
  bool RemoveIdenticalPixels = false;
  bool RemoveIdenticalFrames = false;
  bool SceneTransparent = false;     // crops of a transparent scene also cover the previous crop
};

// One pass over the frames (the first is never cropped, keyed or removed).
// currentFrame, when given, follows the frame being worked on. Stops at the
// next frame when the cancel flag is set. Every frame bitmap is released to
// its memory copy afterwards, also after a failure.
void OptimizeFrames(TSetOfBitmaps& frames, const TOptimizeOptions& options, TExportComposition& composition,
                    TExportProgress* progress, int* currentFrame = nullptr);
