#include "imaging/RotateBitmapU.h"

#include "imaging/MaxMin.h"
#include "platform/Graphics.h"
#include "platform/Numeric.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <utility>
#include <vector>

namespace {

// The range of coordinates of n pixels around their centre: -(n div 2) to
// n div 2, the upper end one less when n is even.
struct Extent {
  int low = 0;
  int high = 0;
};
Extent CentredExtent(int n) { return {-(n / 2), n / 2 - (n % 2 == 0 ? 1 : 0)}; }

struct Turn {
  double sin = 0;
  double cos = 1;
};

// Exact values for the angles that round to a quarter turn, so that those
// turns move every pixel exactly.
Turn TurnOf(double angle) {
  double reduced = std::fmod(FiniteOrZero(angle), 360.0);
  if (reduced < 0) reduced += 360.0;
  switch (Round(reduced) % 360) {
    case 0: return {0, 1};
    case 90: return {1, 0};
    case 180: return {0, -1};
    case 270: return {-1, 0};
    default: {
      const double radians = reduced * std::numbers::pi / 180.0;
      return {std::sin(radians), std::cos(radians)};
    }
  }
}

// Where the corners of a width x height picture land when turned: the
// bounds of X = x cos - y sin, Y = x sin + y cos, truncated.
struct TurnedBounds {
  int xMin = 0, xMax = 0, yMin = 0, yMax = 0;
};
TurnedBounds BoundsOf(int width, int height, const Turn& t) {
  const Extent xs = CentredExtent(width), ys = CentredExtent(height);
  const long double cornerX[4] = {xs.low * t.cos - ys.low * t.sin, xs.high * t.cos - ys.low * t.sin,
                                  xs.low * t.cos - ys.high * t.sin, xs.high * t.cos - ys.high * t.sin};
  const long double cornerY[4] = {xs.low * t.sin + ys.low * t.cos, xs.high * t.sin + ys.low * t.cos,
                                  xs.low * t.sin + ys.high * t.cos, xs.high * t.sin + ys.high * t.cos};
  return {Trunc(static_cast<double>(MinValue(cornerX))), Trunc(static_cast<double>(MaxValue(cornerX))),
          Trunc(static_cast<double>(MinValue(cornerY))), Trunc(static_cast<double>(MaxValue(cornerY)))};
}

}  // namespace

void RotatedBitmapSize(int width, int height, double angle, int& rotatedWidth, int& rotatedHeight) {
  if (width <= 0 || height <= 0) {
    rotatedWidth = rotatedHeight = 0;
    return;
  }
  const TurnedBounds b = BoundsOf(width, height, TurnOf(angle));
  rotatedWidth = b.xMax - b.xMin + 1;
  rotatedHeight = b.yMax - b.yMin + 1;
}

void RotateBitmap(const TBitmap& source, TBitmap& target, TColor background, double angle) {
  // Work from a 24-bit copy: the source may be in any format, or be the target.
  TBitmap src;
  src.Assign(&source);
  src.SetPixelFormat(pf24bit);
  const int width = src.Empty() ? 0 : src.Width(), height = src.Empty() ? 0 : src.Height();

  const Turn t = TurnOf(angle);
  const Extent xs = CentredExtent(width), ys = CentredExtent(height);
  const TurnedBounds b = BoundsOf(width, height, t);
  const int xMin = b.xMin, xMax = b.xMax, yMin = b.yMin, yMax = b.yMax;
  target.SetPixelFormat(pfDevice);
  target.Canvas().Brush().Color = background;
  if (width == 0 || height == 0) {
    target.SetSize(0, 0);
    return;
  }
  target.SetSize(xMax - xMin + 1, yMax - yMin + 1);
  target.Canvas().Brush().Style = bsSolid;
  target.Canvas().FillRect(Rect(0, 0, target.Width(), target.Height()));

  std::vector<const std::uint8_t*> sourceRows(static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) sourceRows[y] = std::as_const(src).ScanLine(y);
  for (int y = yMin; y <= yMax; ++y) {
    std::uint8_t* out = target.ScanLine(y - yMin);
    for (int x = xMin; x <= xMax; ++x) {
      // The source point of target pixel (x, y), truncated toward zero.
      const int sx = Trunc(x * t.cos + y * t.sin);
      const int sy = Trunc(-x * t.sin + y * t.cos);
      if (sx < xs.low || sx > xs.high || sy < ys.low || sy > ys.high) continue;
      const std::uint8_t* in = sourceRows[sy - ys.low] + 3 * (sx - xs.low);
      std::uint8_t* p = out + 3 * (x - xMin);
      p[0] = in[0];
      p[1] = in[1];
      p[2] = in[2];
    }
  }
}
