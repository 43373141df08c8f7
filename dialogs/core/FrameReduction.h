// Reduction of the rendered export frames before they become a GIF: the
// composition of one frame over the frames before it (as a GIF viewer shows
// it, with the previous frame's disposal), and the pass that crops each frame
// to the rectangle that changed, makes unchanged pixels transparent with a
// free key colour and drops frames that change nothing. Each frame is
// compared with what a viewer shows after the frames kept before it, so that
// changes below the threshold can never pile up into stale pixels.
#pragma once

#include "imaging/CreatePaletteU.h"
#include "platform/Colors.h"
#include "platform/Geometry.h"
#include "platform/Graphics.h"

#include <cstdint>
#include <functional>
#include <memory>
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

// The first byte in which the n bytes at a and b differ, eight bytes at a
// time; n when none does.
std::size_t FirstDifferentByte(const std::uint8_t* a, const std::uint8_t* b, std::size_t n);
// The last byte in which they differ; n when none does.
std::size_t LastDifferentByte(const std::uint8_t* a, const std::uint8_t* b, std::size_t n);

// The state the compositions share: the offset of every frame position, and
// the image kept for frames that leave or restore the previous one.
struct TExportComposition {
  TExportComposition();
  TPoint Origin{0, 0};
  TBitmap SavedImage;  // 10 x 10 until the first frame is drawn
  TPoint SavedPosition{0, 0};
};

// What a composition needs of the frame shown before another: its place,
// its disposal and whether it is transparent.
struct TPreviousFrame {
  explicit TPreviousFrame(const TSetOfBitmapsItem& item);
  std::int32_t Left, Top, Width, Height;
  std::uint8_t Disposal;
  std::uint8_t Transparent;
};

// (0, 0, largest frame width, largest frame height).
TRect GetMaxFrameRect(const TSetOfBitmaps& frames);

// Draws frame index of the list into target over what target shows, as the
// frame follows the one before it (the last frame for index 0): the previous
// frame's disposal fills its area, a transparent frame leaves out the pixels
// of its transparent colour. With clear, target is first filled with bg.
void DrawExportFrame(TBitmap& target, bool clear, TColor bg, int index, const TSetOfBitmaps& frames,
                     TExportComposition& composition);
// The same for a frame and the one shown before it; first tells that the
// frame starts the animation (it then restores no saved image).
void DrawExportFrame(TBitmap& target, bool clear, TColor bg, const TSetOfBitmapsItem& frame,
                     const TPreviousFrame& previous, bool first, TExportComposition& composition);

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

// One reduction pass over frames that come one at a time, as the export
// renders them. The first frame is never cropped, keyed or removed. A later
// frame is compared with what a viewer shows after the frames kept before
// it (as they were kept); a frame is handed on once it is final, that is
// when the frame after it was kept or the pass ends, since a later frame may
// still add its delay or change its disposal.
class TFrameReducer {
 public:
  using TSink = std::function<void(std::unique_ptr<TSetOfBitmapsItem>)>;

  // A pass whose compositions are width x height (the largest frame);
  // finished frames go to sink, in order.
  TFrameReducer(const TOptimizeOptions& options, TExportComposition& composition, int width, int height,
                TSink sink);
  ~TFrameReducer();
  TFrameReducer(const TFrameReducer&) = delete;
  TFrameReducer& operator=(const TFrameReducer&) = delete;

  // The frame a viewer shows before the first one (the last one of a looping
  // list); without one the first frame counts as its own predecessor.
  void SetFirstPredecessor(const TPreviousFrame& previous) { firstPredecessor_ = previous; }
  // Maps every frame to the export's palette before it is shown, so that
  // each later frame is compared with what the viewer really shows (the
  // palette's colours) and its keyed pixels are handed to the mapper as a
  // mask instead of being painted with a key colour.
  void SetMapper(TFrameColorMapper* mapper) { mapper_ = mapper; }
  // Takes the next frame (made 24-bit).
  void Add(std::unique_ptr<TSetOfBitmapsItem> frame);
  // Hands on the last frame held back.
  void Finish();
  // Frames taken so far.
  int Taken() const { return taken_; }

 private:
  void Reduce(TSetOfBitmapsItem& frame, bool& dropped, bool& reshaped);
  void ShowKept(const TSetOfBitmapsItem& frame, bool reshaped);
  bool CoversComposition(const TSetOfBitmapsItem& frame) const;
  void RememberWanted(const TSetOfBitmapsItem& frame);

  TOptimizeOptions options_;
  TFrameColorMapper* mapper_ = nullptr;
  TExportComposition& composition_;
  TSink sink_;
  std::optional<TPreviousFrame> firstPredecessor_;
  std::unique_ptr<TSetOfBitmapsItem> previous_;  // the last frame kept, not yet final
  TBitmap compositions_[2];
  TBitmap* shown_ = &compositions_[0];           // what a viewer shows after it
  TBitmap* trial_ = &compositions_[1];           // that with the next frame drawn as rendered
  const TBitmap* after_ = nullptr;               // the trial, or a frame that covers it all
  TRect keptRect_{0, 0, 0, 0};                   // the previous crop of a transparent scene
  TBitmap wanted_;                               // the last frame as rendered (with a mapper), or empty
  int taken_ = 0;
};

// One pass over a list (the first is never cropped, keyed or removed).
// currentFrame, when given, follows the frame being worked on. Stops at the
// next frame when the cancel flag is set, keeping the frames not reached.
// Every frame bitmap is released to its memory copy afterwards, also after a
// failure.
void OptimizeFrames(TSetOfBitmaps& frames, const TOptimizeOptions& options, TExportComposition& composition,
                    TExportProgress* progress, int* currentFrame = nullptr);
