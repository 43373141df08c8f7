// Row-wise pixel access and raster operations shared by the canvas code.
// Colours in spans are $00BBGGRR values with system colours resolved. Not
// for use outside platform/.
#pragma once

#include "platform/BitmapAccess.h"
#include "platform/Graphics.h"

#include <array>
#include <optional>
#include <cstdint>
#include <vector>

// A colour as drawn: system colours resolved, the top byte cleared.
TColor ResolvedColor(TColor color);

// Reads runs of pixels of a bitmap (which must hold its pixels) as colours.
class TSpanReader {
 public:
  explicit TSpanReader(const TBitmap& bitmap);
  void Read(int y, int x0, int n, TColor* out) const;

 private:
  const TBitmap& bitmap_;
  int bits_;
  std::array<TColor, 256> colors_{};
};

// Writes runs of pixels; palette formats store the nearest palette index.
class TSpanWriter {
 public:
  explicit TSpanWriter(TBitmap& bitmap);
  void Write(int y, int x0, int n, const TColor* colors);
  void Fill(int y, int x0, int n, TColor color);
  void PutIndexAt(int y, int x, int index);
  int IndexOf(TColor color);

 private:
  static constexpr std::size_t kCacheSize = 4096;
  TBitmap& bitmap_;
  int bits_;
  const TPalette& palette_;
  std::vector<std::uint32_t> cacheKeys_;
  std::vector<std::uint8_t> cacheIndices_;
  std::optional<TNearestColorFinder> finder_;  // prepared on the first cache miss
};

// Ternary raster operations (BitBlt codes) and binary ones (pen modes) on colours.
bool RopUsesSource(std::uint32_t rop);
bool RopUsesDest(std::uint32_t rop);
TColor ApplyRop3(std::uint32_t rop, TColor pattern, TColor source, TColor dest);
TColor ApplyPenMode(TPenMode mode, TColor pen, TColor dest);

// The part [x0, x1) of row y that belongs to the region; false when none.
bool RegionRowSpan(const TRegion& region, int y, int& x0, int& x1);

// ---- The painter: one drawing operation -------------------------------------------------------

// Prepares the bitmap for writing, writes spans through the clip region with
// the brush, the pen and its mode, and marks the bitmap changed once at the end.
class TCanvas::Painter {
 public:
  explicit Painter(TCanvas& canvas) : canvas_(canvas) {
    TBitmapPixels::Prepare(canvas.bitmap_, true);
    ready_ = TBitmapPixels::HasPixels(canvas.bitmap_) && !canvas.bitmap_.Empty();
    if (ready_) {
      writer_.emplace(canvas.bitmap_);
      reader_.emplace(canvas.bitmap_);
    }
  }
  ~Painter() {
    if (drawn_) canvas_.bitmap_.Changed();
  }
  Painter(const Painter&) = delete;
  Painter& operator=(const Painter&) = delete;

  bool Ready() const { return ready_; }
  TSpanWriter& Writer() { return *writer_; }
  TSpanReader& Reader() { return *reader_; }

  // Fills [x0, x1) of row y with a colour through the clip, with the pen mode
  // applied when withMode is set.
  void FillSpan(int y, int x0, int x1, TColor color, bool withMode) {
    if (!ready_ || !canvas_.VisibleSpan(y, x0, x1)) return;
    drawn_ = true;
    const TPenMode mode = canvas_.pen_.Mode;
    if (!withMode || mode == pmCopy) {
      writer_->Fill(y, x0, x1 - x0, color);
      return;
    }
    buffer_.resize(static_cast<std::size_t>(x1 - x0));
    reader_->Read(y, x0, x1 - x0, buffer_.data());
    for (TColor& c : buffer_) c = ApplyPenMode(mode, color, c);
    writer_->Write(y, x0, x1 - x0, buffer_.data());
  }

  // Fills a span with the brush: solid, or the hatch lines of a hatched brush.
  void BrushSpan(int y, int x0, int x1, bool withMode) {
    const TBrush& brush = canvas_.brush_;
    if (brush.Style == bsClear) return;
    const TColor color = ResolvedColor(brush.Color);
    if (brush.Style == bsSolid) {
      FillSpan(y, x0, x1, color, withMode);
      return;
    }
    for (int x = x0; x < x1; ++x)
      if (HatchCovers(brush.Style, x, y)) FillSpan(y, x, x + 1, color, withMode);
  }

  void Plot(int x, int y, TColor color) { FillSpan(y, x, x + 1, color, true); }
  // For writes that went straight to the rows.
  void MarkDrawn() { drawn_ = true; }

 private:
  // 8 x 8 hatch patterns aligned to the bitmap's origin; the space between
  // the lines is left alone, as a hatched brush draws with a transparent background.
  static bool HatchCovers(TBrushStyle style, int x, int y) {
    const int u = x & 7, v = y & 7;
    switch (style) {
      case bsHorizontal: return v == 7;
      case bsVertical: return u == 7;
      case bsFDiagonal: return u == v;
      case bsBDiagonal: return u + v == 7;
      case bsCross: return u == 7 || v == 7;
      case bsDiagCross: return u == v || u + v == 7;
      default: return true;
    }
  }

  TCanvas& canvas_;
  bool ready_ = false;
  bool drawn_ = false;
  std::optional<TSpanWriter> writer_;
  std::optional<TSpanReader> reader_;
  std::vector<TColor> buffer_;
};
