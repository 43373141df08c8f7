// Row-wise pixel access and raster operations shared by the canvas code.
// Colours in spans are $00BBGGRR values with system colours resolved. Not
// for use outside platform/.
#pragma once

#include "platform/Graphics.h"

#include <array>
#include <cstdint>
#include <vector>

// A colour as drawn: system colours resolved, the top byte cleared.
TColor ResolvedColor(TColor color);

// Reads runs of pixels of a bitmap (which must hold its pixels) as colours.
class TSpanReader {
 public:
  explicit TSpanReader(const TBitmap& bitmap);
  void Read(int y, int x0, int n, TColor* out) const;
  // The palette index of a pixel of a palette format.
  int Index(int y, int x) const;

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
};

// Ternary raster operations (BitBlt codes) and binary ones (pen modes) on colours.
bool RopUsesSource(std::uint32_t rop);
bool RopUsesDest(std::uint32_t rop);
TColor ApplyRop3(std::uint32_t rop, TColor pattern, TColor source, TColor dest);
TColor ApplyPenMode(TPenMode mode, TColor pen, TColor dest);

// The part [x0, x1) of row y that belongs to the region; false when none.
bool RegionRowSpan(const TRegion& region, int y, int& x0, int& x1);
