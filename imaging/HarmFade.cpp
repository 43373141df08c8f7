#include "imaging/HarmFade.h"

#include "platform/Graphics.h"
#include "platform/Numeric.h"
#include "platform/SystemValues.h"

#include <algorithm>
#include <utility>

TEffectItemBitmap::TEffectItemBitmap() : bitmap_(std::make_unique<TBitmap>()) {}
TEffectItemBitmap::~TEffectItemBitmap() = default;

THarmFade::THarmFade()
    : source_(std::make_unique<TBitmap>()),
      target_(std::make_unique<TBitmap>()),
      start_(std::make_unique<TBitmap>()),
      end_(std::make_unique<TBitmap>()),
      blendBase_(std::make_unique<TBitmap>()) {
  start_->Canvas().Brush().Color = clBlack;
  end_->Canvas().Brush().Color = backgroundColor_;
}

THarmFade::~THarmFade() = default;

// The work pictures are prepared again by every generator, so that changes
// to the pictures, the colour or the size always take effect.
void THarmFade::SetSourceBitmap(const TBitmap* bitmap) { source_->Assign(bitmap); }
void THarmFade::SetTargetBitmap(const TBitmap* bitmap) { target_->Assign(bitmap); }

void THarmFade::SetBackgroundColor(TColor color) {
  if (color == backgroundColor_) return;
  backgroundColor_ = color;
  end_->Canvas().Brush().Color = color;
}

void THarmFade::SetDissolveRate(std::int32_t n) {
  const std::int64_t pixels = static_cast<std::int64_t>(width_) * height_;
  dissolveRate_ = static_cast<std::int32_t>(std::clamp<std::int64_t>(n, 1, std::min<std::int64_t>(pixels, INT32_MAX)));
}

void THarmFade::SetBlendRate(std::int32_t n) { blendRate_ = std::clamp(n, 1, 255); }
void THarmFade::SetWidth(std::int32_t w) { width_ = std::max(w, 1); }
void THarmFade::SetHeight(std::int32_t h) { height_ = std::max(h, 1); }

void THarmFade::Prepare() {
  start_->SetPixelFormat(pf24bit);
  end_->SetPixelFormat(pf24bit);
  blendBase_->SetPixelFormat(pf24bit);
  const TRect all = Rect(0, 0, width_, height_);

  // Each picture is filled with its brush first, so that nothing of an earlier
  // run shows where a transparent picture leaves pixels undrawn.
  start_->SetSize(width_, height_);
  TCanvas& startCanvas = start_->Canvas();
  startCanvas.Brush().Style = bsSolid;
  startCanvas.FillRect(all);
  if (!source_->Empty()) startCanvas.StretchDraw(all, *source_);

  end_->SetSize(width_, height_);
  TCanvas& endCanvas = end_->Canvas();
  endCanvas.Brush().Style = bsSolid;
  endCanvas.FillRect(all);
  if (!target_->Empty()) endCanvas.StretchDraw(all, *target_);

  blendBase_->SetSize(start_->Width(), start_->Height());
}

void THarmFade::AppendCopyOfStart(TEffectItemBitmaps& items) const {
  auto item = std::make_unique<TEffectItemBitmap>();
  item->Bitmap().Assign(start_.get());
  items.push_back(std::move(item));
}

TEffectItemBitmaps THarmFade::Dissolve() {
  Prepare();
  const std::int64_t pixels = static_cast<std::int64_t>(width_) * height_;
  const std::int64_t perFrame = pixels / dissolveRate_;
  if (perFrame == 0) throw EHarmFade("DisolvRate cannot be > Width * Height!");

  // The pixels in random order (as row * width + column).
  std::vector<std::int32_t> order(static_cast<std::size_t>(pixels));
  for (std::int64_t i = 0; i < pixels; ++i) order[i] = static_cast<std::int32_t>(i);
  if (randomSeed_) RandSeed = *randomSeed_;
  else Randomize();
  const auto range = static_cast<std::int32_t>(pixels);
  for (std::int32_t j = 0; j < range; ++j) std::swap(order[j], order[Random(range)]);

  std::vector<std::uint8_t*> startRows(static_cast<std::size_t>(height_));
  std::vector<const std::uint8_t*> endRows(static_cast<std::size_t>(height_));
  for (int y = 0; y < height_; ++y) {
    startRows[y] = start_->ScanLine(y);
    endRows[y] = std::as_const(*end_).ScanLine(y);
  }

  TEffectItemBitmaps items;
  const std::int64_t frames = pixels / perFrame;
  for (std::int64_t frame = 0; frame < frames; ++frame) {
    // The last frame also takes the pixels left over, so that it shows the target.
    const std::int64_t first = frame * perFrame;
    const std::int64_t last = frame == frames - 1 ? pixels : first + perFrame;
    for (std::int64_t i = first; i < last; ++i) {
      const int y = order[i] / width_, x = order[i] % width_;
      std::copy_n(endRows[y] + 3 * x, 3, startRows[y] + 3 * x);
    }
    start_->Changed();
    AppendCopyOfStart(items);
  }
  return items;
}

TEffectItemBitmaps THarmFade::Blend() {
  Prepare();
  if (blendRate_ <= 0) throw EHarmFade("BlendRate must be between 0 and 256");
  blendBase_->Assign(start_.get());

  const std::int64_t rowBytes = static_cast<std::int64_t>(width_) * 3;
  TEffectItemBitmaps items;
  for (std::int32_t step = 0; step <= blendRate_; ++step) {
    for (int y = 0; y < height_; ++y) {
      const std::uint8_t* base = std::as_const(*blendBase_).ScanLine(y);
      const std::uint8_t* end = std::as_const(*end_).ScanLine(y);
      std::uint8_t* out = start_->ScanLine(y);
      for (std::int64_t i = 0; i < rowBytes; ++i)
        out[i] = static_cast<std::uint8_t>(base[i] + MulDiv(step, end[i] - base[i], blendRate_));
    }
    AppendCopyOfStart(items);
  }
  return items;
}
