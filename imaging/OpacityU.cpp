#include "imaging/OpacityU.h"

#include "platform/Graphics.h"
#include "platform/Numeric.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>

namespace {

// A 24-bit view of a bitmap: the bitmap itself when it is 24-bit and not the
// target, else a converted copy (the caller's picture is left in its format).
class Rows24 {
 public:
  Rows24(const TBitmap& bitmap, const TBitmap& target) : bitmap_(&bitmap) {
    if (&bitmap == &target || bitmap.PixelFormat() != pf24bit) {
      copy_ = std::make_unique<TBitmap>();
      copy_->Assign(&bitmap);
      copy_->SetPixelFormat(pf24bit);
      bitmap_ = copy_.get();
    }
  }
  const std::uint8_t* Row(int y) const { return bitmap_->ScanLine(y); }

 private:
  const TBitmap* bitmap_;
  std::unique_ptr<TBitmap> copy_;
};

// The part of the target that a picture of width x height at (left, top)
// covers; empty when they do not overlap.
TRect CoveredArea(int left, int top, int width, int height, const TBitmap& target) {
  const auto clampInt = [](std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX)); };
  TRect area;
  area.Left = std::max(left, 0);
  area.Top = std::max(top, 0);
  area.Right = clampInt(std::min<std::int64_t>(static_cast<std::int64_t>(left) + width, target.Width()));
  area.Bottom = clampInt(std::min<std::int64_t>(static_cast<std::int64_t>(top) + height, target.Height()));
  return area;
}

// MulDiv(d, coverage, 255) for d in -255..255 and coverage in 0..255, halves
// away from zero, without a division: n / 255 equals (n * 0x8081) >> 23 for
// every n below 65536, and |d| * coverage + 127 stays below that.
inline int MulDiv255(int d, int coverage) {
  const auto magnitude = static_cast<std::uint32_t>(d < 0 ? -d : d);
  const auto n = magnitude * static_cast<std::uint32_t>(coverage) + 127u;
  const auto q = static_cast<int>((n * 0x8081u) >> 23);
  return d < 0 ? -q : q;
}

}  // namespace

void DrawBitmapOpacity(const TBitmap& source, TColor keyColor, bool useKey, int opacity, int left, int top,
                       TBitmap& target) {
  opacity = std::clamp(opacity, 0, 100);
  if (source.Empty() || target.Empty()) return;
  const Rows24 src(source, target);
  target.SetPixelFormat(pf24bit);
  const TRect area = CoveredArea(left, top, source.Width(), source.Height(), target);
  if (area.IsEmpty() || opacity == 0) return;
  const TColor key = keyColor & 0xFFFFFFu;
  for (int y = area.Top; y < area.Bottom; ++y) {
    const std::uint8_t* s = src.Row(y - top);
    std::uint8_t* t = target.ScanLine(y);
    for (int x = area.Left; x < area.Right; ++x) {
      const std::uint8_t* sp = s + 3 * (x - left);
      std::uint8_t* tp = t + 3 * x;
      if (useKey && RGB(sp[2], sp[1], sp[0]) == key) continue;
      for (int c = 0; c < 3; ++c) {
        tp[c] = opacity >= 100 ? sp[c] : static_cast<std::uint8_t>(tp[c] + MulDiv(sp[c] - tp[c], opacity, 100));
      }
    }
  }
}

void DrawColorThroughMask(TColor color, int opacity, const TBitmap& mask, int left, int top, TBitmap& target) {
  opacity = std::clamp(opacity, 0, 100);
  if (opacity == 0 || mask.Empty() || target.Empty()) return;
  const Rows24 m(mask, target);
  target.SetPixelFormat(pf24bit);
  const TRect area = CoveredArea(left, top, mask.Width(), mask.Height(), target);
  if (area.IsEmpty()) return;
  const TColor rgb = ColorToRGB(color);
  const int paint[3] = {GetBValue(rgb), GetGValue(rgb), GetRValue(rgb)};
  // The coverage of each mask level, worked out once.
  std::array<int, 256> coverageOf;
  for (int level = 0; level < 256; ++level) coverageOf[level] = MulDiv(255 - level, opacity, 100);
  for (int y = area.Top; y < area.Bottom; ++y) {
    const std::uint8_t* mr = m.Row(y - top);
    std::uint8_t* t = target.ScanLine(y);
    for (int x = area.Left; x < area.Right; ++x) {
      const int coverage = coverageOf[mr[3 * (x - left) + 2]];
      if (coverage <= 0) continue;
      std::uint8_t* tp = t + 3 * x;
      for (int c = 0; c < 3; ++c) {
        tp[c] = coverage >= 255 ? static_cast<std::uint8_t>(paint[c])
                                : static_cast<std::uint8_t>(tp[c] + MulDiv255(paint[c] - tp[c], coverage));
      }
    }
  }
}
