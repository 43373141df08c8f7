#include "imaging/OpacityU.h"

#include "platform/Graphics.h"
#include "platform/Numeric.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

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

// t + MulDiv(p - t, coverage, 255) for every byte, halves away from zero:
// coverage 0 keeps t and 255 gives p. The part toward p and the part away
// from it are worked out alike (one of them is 0) in 16 bits: |p - t| *
// coverage + 127 stays below 65536, and below that n / 255 is
// ((n * 0x8081) >> 16) >> 7. Plain arithmetic that the compiler turns into
// vector code.
__attribute__((optimize("tree-vectorize"))) void BlendRow(std::uint8_t* __restrict t,
                                                         const std::uint8_t* __restrict p,
                                                         const std::uint8_t* __restrict coverage, int n) {
  auto div255 = [](std::uint16_t v) {
    return static_cast<std::uint16_t>(static_cast<std::uint16_t>((static_cast<std::uint32_t>(v) * 0x8081u) >> 16) >> 7);
  };
  for (int i = 0; i < n; ++i) {
    const std::uint16_t up = p[i] > t[i] ? static_cast<std::uint16_t>(p[i] - t[i]) : 0;
    const std::uint16_t down = t[i] > p[i] ? static_cast<std::uint16_t>(t[i] - p[i]) : 0;
    const std::uint16_t toward = div255(static_cast<std::uint16_t>(up * coverage[i] + 127));
    const std::uint16_t away = div255(static_cast<std::uint16_t>(down * coverage[i] + 127));
    t[i] = static_cast<std::uint8_t>(t[i] + toward - away);
  }
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
  std::array<std::uint8_t, 256> coverageOf;
  for (int level = 0; level < 256; ++level)
    coverageOf[level] = static_cast<std::uint8_t>(std::clamp(MulDiv(255 - level, opacity, 100), 0, 255));
  // Each channel byte of a row is blended alike, with the coverage and the
  // paint of its pixel laid out beside it, so that the loop has no branch.
  const int width = area.Width();
  std::vector<std::uint8_t> paintBytes(3 * static_cast<std::size_t>(width));
  for (int i = 0; i < width; ++i)
    for (int c = 0; c < 3; ++c) paintBytes[3 * static_cast<std::size_t>(i) + c] = static_cast<std::uint8_t>(paint[c]);
  std::vector<std::uint8_t> coverageBytes(paintBytes.size());
  for (int y = area.Top; y < area.Bottom; ++y) {
    const std::uint8_t* mr = m.Row(y - top) + 3 * static_cast<std::int64_t>(area.Left - left);
    for (int i = 0; i < width; ++i) {
      const std::uint8_t coverage = coverageOf[mr[3 * i + 2]];
      for (int c = 0; c < 3; ++c) coverageBytes[3 * static_cast<std::size_t>(i) + c] = coverage;
    }
    BlendRow(target.ScanLine(y) + 3 * static_cast<std::int64_t>(area.Left), paintBytes.data(),
             coverageBytes.data(), 3 * width);
  }
}
