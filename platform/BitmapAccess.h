// Direct access to a bitmap's pixel buffer for the canvas and the BMP code,
// which work over whole rows and notify the bitmap once per operation instead
// of once per row or pixel. Not for use outside platform/.
#pragma once

#include "platform/Graphics.h"

#include <utility>

struct TBitmapPixels {
  // Lets a bitmap that released its image rebuild it before the buffer is used.
  static void Prepare(const TBitmap& bitmap, bool mutating) { bitmap.BeforeAccess(mutating); }
  static bool HasPixels(const TBitmap& bitmap) { return !bitmap.pixels_.empty(); }
  static std::uint8_t* Row(TBitmap& bitmap, int y) {
    return bitmap.pixels_.data() + static_cast<std::int64_t>(y) * bitmap.RowBytes();
  }
  static const std::uint8_t* Row(const TBitmap& bitmap, int y) {
    return bitmap.pixels_.data() + static_cast<std::int64_t>(y) * bitmap.RowBytes();
  }
  static const TPalette& Palette(const TBitmap& bitmap) { return bitmap.palette_; }
  static TPixelFormat Format(const TBitmap& bitmap) { return bitmap.format_; }
  // Moves source's image (size, format, pixels, palette) into target; the
  // target keeps its own transparency settings.
  static void TakeImage(TBitmap& target, TBitmap& source) {
    target.width_ = source.width_;
    target.height_ = source.height_;
    target.format_ = source.format_;
    target.pixels_ = std::move(source.pixels_);
    target.palette_ = std::move(source.palette_);
    source.pixels_.clear();
    source.width_ = source.height_ = 0;
  }
};
