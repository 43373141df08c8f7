#include "imaging/resample.h"

#include "platform/Graphics.h"
#include "platform/Numeric.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <vector>

float SincValue(float x) {
  if (x == 0.0f) return 1.0f;
  const float px = std::numbers::pi_v<float> * x;
  return std::sin(px) / px;
}

float LanczosKernel3(float x) {
  const float ax = std::fabs(x);
  if (ax < 3.0f) return SincValue(ax) * SincValue(ax / 3.0f);
  return 0.0f;
}

namespace {

// A window wider than this many source pixels on each side adds nothing but
// time: beyond the image every index folds back onto the edge pixels.
constexpr float kMaxSupport = 4096.0f;

// The weights of every target position along one axis, computed once: the
// source indices and weights of position i are entries begin[i] .. begin[i + 1] - 1.
struct Contributions {
  std::vector<std::int32_t> begin;
  std::vector<std::int32_t> index;
  std::vector<float> weight;
};

// Folds a source index into 0 .. n - 1: reflected at the edges (-j before
// the start, 2n - 1 - j past the end) and then clamped, so that windows wider
// than the image still land on real pixels.
int SourceIndex(std::int64_t j, int n) {
  if (j < 0) j = -j;
  if (j >= n) j = 2 * static_cast<std::int64_t>(n) - 1 - j;
  return static_cast<int>(std::clamp<std::int64_t>(j, 0, n - 1));
}

Contributions ComputeContributions(int targetSize, int sourceSize, TResampleFilter filter, float support) {
  // The plain stretch handles sizes of 3 and less, so sourceSize - 1 > 0 here;
  // the single-pixel rule is kept for completeness.
  const float scale = sourceSize == 1 ? static_cast<float>(targetSize) / static_cast<float>(sourceSize)
                                      : static_cast<float>(targetSize - 1) / static_cast<float>(sourceSize - 1);
  const bool enlarging = scale >= 1.0f;
  const float width = enlarging ? support : support / scale;
  const float factor = enlarging ? 1.0f : 1.0f / scale;

  Contributions c;
  c.begin.reserve(static_cast<std::size_t>(targetSize) + 1);
  for (int i = 0; i < targetSize; ++i) {
    c.begin.push_back(static_cast<std::int32_t>(c.index.size()));
    const float centre = static_cast<float>(i) / scale;
    const auto left = static_cast<std::int64_t>(std::floor(centre - width));
    const auto right = static_cast<std::int64_t>(std::ceil(centre + width));
    const std::size_t first = c.weight.size();
    float sum = 0.0f;
    for (std::int64_t j = left; j <= right; ++j) {
      const float distance = centre - static_cast<float>(j);
      const float w = enlarging ? filter(distance) : filter(distance / factor) / factor;
      if (w == 0.0f) continue;
      c.index.push_back(SourceIndex(j, sourceSize));
      c.weight.push_back(w);
      sum += w;
    }
    // Weights that add up to one keep flat areas at exactly their colour.
    if (sum != 0.0f)
      for (std::size_t k = first; k < c.weight.size(); ++k) c.weight[k] /= sum;
  }
  c.begin.push_back(static_cast<std::int32_t>(c.index.size()));
  return c;
}

std::uint8_t ToByte(float value) {
  const long v = std::lrint(value);  // halves to even
  return static_cast<std::uint8_t>(std::clamp<long>(v, 0, 255));
}

// One row of the horizontal pass: sourceRow (24-bit) into out (24-bit).
void ResampleRow(const std::uint8_t* sourceRow, const Contributions& columns, int targetWidth, std::uint8_t* out) {
  for (int x = 0; x < targetWidth; ++x) {
    float b = 0.0f, g = 0.0f, r = 0.0f;
    for (std::int32_t k = columns.begin[x]; k < columns.begin[x + 1]; ++k) {
      const std::uint8_t* p = sourceRow + 3 * columns.index[k];
      const float w = columns.weight[k];
      b += w * p[0];
      g += w * p[1];
      r += w * p[2];
    }
    out[3 * x] = ToByte(b);
    out[3 * x + 1] = ToByte(g);
    out[3 * x + 2] = ToByte(r);
  }
}

}  // namespace

void ResampleBitmap(const TBitmap& source, TBitmap& target, TResampleFilter filter, float support, bool keepKey,
                    TColor keyColor) {
  const int targetWidth = target.Width(), targetHeight = target.Height();
  if (source.Empty() || targetWidth <= 0 || targetHeight <= 0) return;

  // A plain 24-bit copy when the source is in another format, is the target
  // itself, or is transparent (the stretch must replace every target pixel).
  std::unique_ptr<TBitmap> copy;
  const TBitmap* src = &source;
  if (&source == &target || source.PixelFormat() != pf24bit || source.Transparent()) {
    copy = std::make_unique<TBitmap>();
    copy->Assign(&source);
    copy->SetPixelFormat(pf24bit);
    copy->SetTransparent(false);
    src = copy.get();
  }

  target.SetPixelFormat(pf24bit);
  target.Canvas().StretchDraw(Rect(0, 0, targetWidth, targetHeight), *src);
  const int sourceWidth = src->Width(), sourceHeight = src->Height();
  if (sourceWidth <= 3 || sourceHeight <= 3 || targetWidth <= 3 || targetHeight <= 3) return;
  if (filter == nullptr) return;

  if (!(support >= 0.0f)) support = 0.0f;  // also NaN
  support = std::min(support, kMaxSupport);
  const Contributions columns = ComputeContributions(targetWidth, sourceWidth, filter, support);
  const Contributions rows = ComputeContributions(targetHeight, sourceHeight, filter, support);

  // Horizontal pass into a work image of target width x source height.
  const std::size_t workRowBytes = static_cast<std::size_t>(targetWidth) * 3;
  std::vector<std::uint8_t> work(workRowBytes * static_cast<std::size_t>(sourceHeight));
  for (int y = 0; y < sourceHeight; ++y) ResampleRow(src->ScanLine(y), columns, targetWidth, &work[workRowBytes * y]);

  // Vertical pass, a whole target row at a time.
  const TColor key = keyColor & 0xFFFFFFu;
  std::vector<float> sums(workRowBytes);
  for (int y = 0; y < targetHeight; ++y) {
    std::fill(sums.begin(), sums.end(), 0.0f);
    for (std::int32_t k = rows.begin[y]; k < rows.begin[y + 1]; ++k) {
      const std::uint8_t* line = &work[workRowBytes * rows.index[k]];
      const float w = rows.weight[k];
      for (std::size_t i = 0; i < workRowBytes; ++i) sums[i] += w * line[i];
    }
    std::uint8_t* out = target.ScanLine(y);
    for (int x = 0; x < targetWidth; ++x) {
      std::uint8_t* p = out + 3 * x;
      if (keepKey && RGB(p[2], p[1], p[0]) == key) continue;
      p[0] = ToByte(sums[3 * x]);
      p[1] = ToByte(sums[3 * x + 1]);
      p[2] = ToByte(sums[3 * x + 2]);
    }
  }
}

void ResampleBitmapDefault(const TBitmap& source, TBitmap& target, bool keepKey, TColor keyColor) {
  ResampleBitmap(source, target, LanczosKernel3, 3.0f, keepKey, keyColor);
}
