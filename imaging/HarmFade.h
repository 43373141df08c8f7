// Frames of two transitions from a source picture to a target picture at a
// fixed working size: a dissolve, in which the target's pixels replace the
// source's in random order, and a blend, a linear cross-fade.
#pragma once

#include "platform/Colors.h"
#include "platform/SysUtils.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class TBitmap;

class EHarmFade : public Exception {
 public:
  using Exception::Exception;
};

// One generated frame.
class TEffectItemBitmap {
 public:
  TEffectItemBitmap();
  ~TEffectItemBitmap();
  TBitmap& Bitmap() { return *bitmap_; }
  const TBitmap& Bitmap() const { return *bitmap_; }

 private:
  std::unique_ptr<TBitmap> bitmap_;
};

// The frames of one transition, in order; the caller owns them.
using TEffectItemBitmaps = std::vector<std::unique_ptr<TEffectItemBitmap>>;

class THarmFade {
 public:
  THarmFade();
  ~THarmFade();
  THarmFade(const THarmFade&) = delete;
  THarmFade& operator=(const THarmFade&) = delete;

  // Copies of the pictures to go from and to; nullptr empties them. An empty
  // source starts from black, an empty target ends on the background colour.
  void SetSourceBitmap(const TBitmap* bitmap);
  void SetTargetBitmap(const TBitmap* bitmap);
  const TBitmap& SourceBitmap() const { return *source_; }
  const TBitmap& TargetBitmap() const { return *target_; }

  TColor BackgroundColor() const { return backgroundColor_; }
  void SetBackgroundColor(TColor color);
  // Clamped to 1 .. width * height at the time of the call.
  std::int32_t DissolveRate() const { return dissolveRate_; }
  void SetDissolveRate(std::int32_t n);
  // Clamped to 1 .. 255.
  std::int32_t BlendRate() const { return blendRate_; }
  void SetBlendRate(std::int32_t n);
  // The working size; values below 1 count as 1.
  std::int32_t Width() const { return width_; }
  void SetWidth(std::int32_t w);
  std::int32_t Height() const { return height_; }
  void SetHeight(std::int32_t h);

  // The seed of the random pixel order; without one the generator is seeded
  // from the clock at each dissolve.
  void SetRandomSeed(std::optional<std::int32_t> seed) { randomSeed_ = seed; }

  // Dissolve rate frames (fewer when the rate does not divide the pixel
  // count); the last equals the target picture.
  TEffectItemBitmaps Dissolve();
  // Blend rate + 1 frames, from the source picture to the target picture.
  TEffectItemBitmaps Blend();

 private:
  void Prepare();
  void AppendCopyOfStart(TEffectItemBitmaps& items) const;

  std::unique_ptr<TBitmap> source_;
  std::unique_ptr<TBitmap> target_;
  std::unique_ptr<TBitmap> start_;
  std::unique_ptr<TBitmap> end_;
  std::unique_ptr<TBitmap> blendBase_;
  TColor backgroundColor_ = 0xFFFFFF;
  std::int32_t dissolveRate_ = 125;
  std::int32_t blendRate_ = 50;
  std::int32_t width_ = 75;
  std::int32_t height_ = 75;
  std::optional<std::int32_t> randomSeed_;
};
