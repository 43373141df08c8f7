#include "imaging/resample.h"

#include "platform/Graphics.h"
#include "platform/Numeric.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <numbers>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Weights are 16-bit fixed-point numbers with this many fraction bits at
// most: 1.0 is 16384, and a Lanczos window's weights (whose magnitudes add
// up to about 1.3) stay below 32768, so two of them fit one 32-bit word for
// the multiply-add of two taps at once.
constexpr int kMaxWeightBits = 14;
constexpr int kWeightLimit = 32767;

// Folds a source index into 0 .. n - 1: reflected at the edges (-j before
// the start, 2n - 1 - j past the end) and then clamped, so that windows wider
// than the image still land on real pixels.
int SourceIndex(std::int64_t j, int n) {
  if (j < 0) j = -j;
  if (j >= n) j = 2 * static_cast<std::int64_t>(n) - 1 - j;
  return static_cast<int>(std::clamp<std::int64_t>(j, 0, n - 1));
}

// The window of one target position in float: the weight of the unfolded
// source indices first, first + 1, ..., normalised to add up to one.
struct FloatWindow {
  std::int64_t first = 0;
  std::vector<float> weights;
};

std::vector<FloatWindow> ComputeFloatWindows(int targetSize, int sourceSize, TResampleFilter filter, float support) {
  // The plain stretch handles sizes of 3 and less, so sourceSize - 1 > 0 here;
  // the single-pixel rule is kept for completeness.
  const float scale = sourceSize == 1 ? static_cast<float>(targetSize) / static_cast<float>(sourceSize)
                                      : static_cast<float>(targetSize - 1) / static_cast<float>(sourceSize - 1);
  const bool enlarging = scale >= 1.0f;
  const float width = enlarging ? support : support / scale;
  const float factor = enlarging ? 1.0f : 1.0f / scale;

  std::vector<FloatWindow> windows(static_cast<std::size_t>(targetSize));
  for (int i = 0; i < targetSize; ++i) {
    FloatWindow& window = windows[static_cast<std::size_t>(i)];
    const float centre = static_cast<float>(i) / scale;
    window.first = static_cast<std::int64_t>(std::floor(centre - width));
    const auto last = static_cast<std::int64_t>(std::ceil(centre + width));
    float sum = 0.0f;
    for (std::int64_t j = window.first; j <= last; ++j) {
      const float distance = centre - static_cast<float>(j);
      float w = enlarging ? filter(distance) : filter(distance / factor) / factor;
      if (!std::isfinite(w)) w = 0.0f;  // a filter's poles add nothing
      window.weights.push_back(w);
      sum += w;
    }
    // Weights that add up to one keep flat areas at exactly their colour.
    if (sum != 0.0f)
      for (float& w : window.weights) w /= sum;
  }
  return windows;
}

// The fixed-point weights of every target position along one axis, computed
// once: position i reads the unfolded source indices first[i], first[i] + 1,
// ..., weighted in pairs: pairs[pairBegin[i] + m] holds the weights of taps
// 2m (low half) and 2m + 1 (high half); an odd window ends with a zero weight.
struct AxisWeights {
  int bits = 0;
  std::vector<std::int64_t> first;
  std::vector<std::int32_t> pairBegin;  // one more than there are positions
  std::vector<std::int32_t> pairs;
  std::int64_t lowest = 0, highest = 0;  // the unfolded indices any pair reads

  int PairCount(int i) const { return pairBegin[i + 1] - pairBegin[i]; }
};

// The most fraction bits (up to kMaxWeightBits) that keep every position's
// summed weight magnitudes within a 16-bit weight.
int WeightBits(const std::vector<FloatWindow>& windows) {
  float largest = 0.0f;
  for (const FloatWindow& window : windows) {
    float magnitude = 0.0f;
    for (float w : window.weights) magnitude += std::fabs(w);
    largest = std::max(largest, magnitude);
  }
  int bits = kMaxWeightBits;
  while (bits > 0 && largest * static_cast<float>(1 << bits) > kWeightLimit) --bits;
  return bits;
}

// Rounds a window's weights to fixed point so that they add up to exactly what
// the float weights add up to (one, or zero for a filter that cancels out).
std::vector<std::int32_t> QuantiseWindow(const std::vector<float>& weights, int bits) {
  const float unit = static_cast<float>(1 << bits);
  float magnitude = 0.0f, sum = 0.0f;
  for (float w : weights) magnitude += std::fabs(w), sum += w;
  // Only a filter whose weights nearly cancel each other needs this: shrink
  // them so that no sum of weighted bytes can overflow.
  const float shrink = magnitude * unit > kWeightLimit ? kWeightLimit / (magnitude * unit) : 1.0f;
  std::vector<std::int32_t> q(weights.size());
  std::int64_t total = 0;
  std::size_t largest = 0;
  for (std::size_t k = 0; k < weights.size(); ++k) {
    q[k] = static_cast<std::int32_t>(std::lrint(weights[k] * unit * shrink));
    total += q[k];
    if (std::fabs(weights[k]) > std::fabs(weights[largest])) largest = k;
  }
  if (!q.empty()) {
    const std::int64_t wanted = std::lrint(sum * unit * shrink);
    q[largest] = static_cast<std::int32_t>(std::clamp<std::int64_t>(q[largest] + wanted - total, -kWeightLimit, kWeightLimit));
  }
  return q;
}

std::int32_t WeightPair(std::int32_t low, std::int32_t high) {
  return static_cast<std::int32_t>((static_cast<std::uint32_t>(static_cast<std::uint16_t>(high)) << 16) |
                                   static_cast<std::uint16_t>(low));
}

AxisWeights ComputeAxisWeights(int targetSize, int sourceSize, TResampleFilter filter, float support) {
  const std::vector<FloatWindow> windows = ComputeFloatWindows(targetSize, sourceSize, filter, support);
  AxisWeights axis;
  axis.bits = WeightBits(windows);
  axis.first.reserve(static_cast<std::size_t>(targetSize));
  axis.pairBegin.reserve(static_cast<std::size_t>(targetSize) + 1);
  axis.lowest = INT64_MAX;
  axis.highest = INT64_MIN;
  for (const FloatWindow& window : windows) {
    std::vector<std::int32_t> q = QuantiseWindow(window.weights, axis.bits);
    // Taps whose weight rounds to zero at the window's ends cost time only.
    std::size_t begin = 0, end = q.size();
    while (begin < end && q[begin] == 0) ++begin;
    while (end > begin && q[end - 1] == 0) --end;
    if (begin == end) begin = 0, end = std::min<std::size_t>(1, q.size());  // keep one tap to read
    const std::int64_t first = window.first + static_cast<std::int64_t>(begin);
    axis.first.push_back(first);
    axis.pairBegin.push_back(static_cast<std::int32_t>(axis.pairs.size()));
    for (std::size_t k = begin; k < end; k += 2)
      axis.pairs.push_back(WeightPair(q[k], k + 1 < end ? q[k + 1] : 0));
    const auto pairCount = static_cast<std::int64_t>(axis.pairs.size()) - axis.pairBegin.back();
    axis.lowest = std::min(axis.lowest, first);
    axis.highest = std::max(axis.highest, first + 2 * pairCount - 1);
  }
  axis.pairBegin.push_back(static_cast<std::int32_t>(axis.pairs.size()));
  return axis;
}

// ---- The horizontal pass -----------------------------------------------------------------------------

// A source row laid out so that every window of the axis reads contiguous
// pixels: pixel t of the padded row is source pixel SourceIndex(lowest + t).
class PaddedRow {
 public:
  PaddedRow(const AxisWeights& columns, int sourceWidth)
      : lowest_(columns.lowest), width_(sourceWidth),
        // Two bytes of slack: the pair loads read 8 bytes for 6.
        bytes_(3 * static_cast<std::size_t>(columns.highest - columns.lowest + 1) + 8) {}

  const std::uint8_t* Fill(const std::uint8_t* sourceRow) {
    const std::int64_t count = static_cast<std::int64_t>(bytes_.size() - 8) / 3;
    std::int64_t t = 0;
    // Before the start, the whole row and past the end: only the two ends fold.
    for (; t < count && lowest_ + t < 0; ++t) CopyPixel(sourceRow, t);
    const std::int64_t inside = std::min<std::int64_t>(count, width_ - lowest_);
    if (inside > t) {
      std::memcpy(&bytes_[3 * t], sourceRow + 3 * (lowest_ + t), static_cast<std::size_t>(3 * (inside - t)));
      t = inside;
    }
    for (; t < count; ++t) CopyPixel(sourceRow, t);
    return bytes_.data();
  }

 private:
  void CopyPixel(const std::uint8_t* sourceRow, std::int64_t t) {
    std::memcpy(&bytes_[3 * t], sourceRow + 3 * static_cast<std::int64_t>(SourceIndex(lowest_ + t, width_)), 3);
  }

  std::int64_t lowest_;
  int width_;
  std::vector<std::uint8_t> bytes_;
};

// The work image between the passes keeps 7 fraction bits per channel (in
// 16-bit words, clamped to 0 .. 255 like a byte). Rounded to whole bytes,
// the few work pixels that fixed-point and float sums round apart add up
// along a column, and a result could land 2 levels from a float resampler's;
// with the fraction kept it stays within 1 level.
constexpr int kWorkBits = 7;
constexpr std::int16_t kWorkMax = 255 << kWorkBits;

// One row of the horizontal pass: out receives targetWidth pixels of three
// work words plus one word of slack (each pixel is stored as 4 words, the
// next one overwriting the fourth).
void ResampleRow(const std::uint8_t* padded, const AxisWeights& columns, int targetWidth, std::int16_t* out) {
  // From the weights' fraction bits to the work's, rounding to nearest
  // (a filter weighted with fewer bits than the work has is shifted up).
  const int down = std::max(columns.bits - kWorkBits, 0), up = std::max(kWorkBits - columns.bits, 0);
  const std::int32_t half = down > 0 ? 1 << (down - 1) : 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128(), top = _mm_set1_epi16(kWorkMax);
  const __m128i downCount = _mm_cvtsi32_si128(down), upCount = _mm_cvtsi32_si128(up);
  for (int x = 0; x < targetWidth; ++x) {
    const std::uint8_t* p = padded + 3 * (columns.first[x] - columns.lowest);
    const std::int32_t* w = &columns.pairs[columns.pairBegin[x]];
    __m128i sum = _mm_set1_epi32(half);
    for (int m = 0, n = columns.PairCount(x); m < n; ++m, p += 6) {
      // Bytes b0 g0 r0 b1 g1 r1 as words, paired channel by channel: b0 b1 g0 g1 r0 r1.
      const __m128i words = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), zero);
      const __m128i pairs = _mm_unpacklo_epi16(words, _mm_srli_si128(words, 6));
      sum = _mm_add_epi32(sum, _mm_madd_epi16(pairs, _mm_set1_epi32(w[m])));
    }
    const __m128i scaled = _mm_sll_epi32(_mm_sra_epi32(sum, downCount), upCount);
    const __m128i clamped = _mm_min_epi16(_mm_max_epi16(_mm_packs_epi32(scaled, zero), zero), top);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 3 * x), clamped);
  }
#else
  for (int x = 0; x < targetWidth; ++x) {
    const std::uint8_t* p = padded + 3 * (columns.first[x] - columns.lowest);
    const std::int32_t* w = &columns.pairs[columns.pairBegin[x]];
    std::int32_t sum[3] = {half, half, half};
    for (int m = 0, n = columns.PairCount(x); m < n; ++m, p += 6) {
      const std::int32_t w0 = static_cast<std::int16_t>(w[m] & 0xFFFF), w1 = static_cast<std::int16_t>(w[m] >> 16);
      for (int c = 0; c < 3; ++c) sum[c] += w0 * p[c] + w1 * p[3 + c];
    }
    for (int c = 0; c < 3; ++c)
      out[3 * x + c] = static_cast<std::int16_t>(std::clamp<std::int32_t>((sum[c] >> down) * (1 << up), 0, kWorkMax));
  }
#endif
}

// ---- The vertical pass -------------------------------------------------------------------------------

// One target row from the work rows of its window, over `count` channels (a
// multiple of 16; the work rows and out have that many).
void ResampleColumns(const std::int16_t* const* lines, const std::int32_t* w, int pairCount, int bits,
                     std::size_t count, std::uint8_t* out) {
  const int shift = bits + kWorkBits;
  const std::int32_t half = 1 << (shift - 1);
#if defined(__SSE2__)
  const __m128i shiftCount = _mm_cvtsi32_si128(shift);
  for (std::size_t i = 0; i < count; i += 16) {
    __m128i s0 = _mm_set1_epi32(half), s1 = s0, s2 = s0, s3 = s0;
    for (int m = 0; m < pairCount; ++m) {
      const auto* a = reinterpret_cast<const __m128i*>(lines[2 * m] + i);
      const auto* b = reinterpret_cast<const __m128i*>(lines[2 * m + 1] + i);
      const __m128i a0 = _mm_loadu_si128(a), a1 = _mm_loadu_si128(a + 1);
      const __m128i b0 = _mm_loadu_si128(b), b1 = _mm_loadu_si128(b + 1);
      const __m128i weights = _mm_set1_epi32(w[m]);
      // Channel k of both lines side by side: a0 b0 a1 b1 ...
      s0 = _mm_add_epi32(s0, _mm_madd_epi16(_mm_unpacklo_epi16(a0, b0), weights));
      s1 = _mm_add_epi32(s1, _mm_madd_epi16(_mm_unpackhi_epi16(a0, b0), weights));
      s2 = _mm_add_epi32(s2, _mm_madd_epi16(_mm_unpacklo_epi16(a1, b1), weights));
      s3 = _mm_add_epi32(s3, _mm_madd_epi16(_mm_unpackhi_epi16(a1, b1), weights));
    }
    const __m128i first = _mm_packs_epi32(_mm_sra_epi32(s0, shiftCount), _mm_sra_epi32(s1, shiftCount));
    const __m128i second = _mm_packs_epi32(_mm_sra_epi32(s2, shiftCount), _mm_sra_epi32(s3, shiftCount));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(first, second));
  }
#else
  for (std::size_t i = 0; i < count; ++i) {
    std::int32_t sum = half;
    for (int m = 0; m < pairCount; ++m) {
      const std::int32_t w0 = static_cast<std::int16_t>(w[m] & 0xFFFF), w1 = static_cast<std::int16_t>(w[m] >> 16);
      sum += w0 * lines[2 * m][i] + w1 * lines[2 * m + 1][i];
    }
    out[i] = static_cast<std::uint8_t>(std::clamp(sum >> shift, 0, 255));
  }
#endif
}

// Where the plain stretch over the target would take each target pixel from:
// nearest neighbour through pixel centres, as StretchDraw samples.
std::vector<int> StretchSamples(int targetSize, int sourceSize) {
  std::vector<int> samples(static_cast<std::size_t>(targetSize));
  for (int k = 0; k < targetSize; ++k)
    samples[k] = static_cast<int>(((2 * std::int64_t{k} + 1) * sourceSize) / (2 * std::int64_t{targetSize}));
  return samples;
}

// Pixels of the key colour in the plain stretch of the source keep that
// colour in the target: the stretch is never drawn, only its samples read.
class KeyKeeper {
 public:
  KeyKeeper(const TBitmap& source, int targetWidth, int targetHeight, TColor key)
      : source_(source), columns_(StretchSamples(targetWidth, source.Width())),
        rows_(StretchSamples(targetHeight, source.Height())),
        key_{GetBValue(key), GetGValue(key), GetRValue(key)},
        rowHasKey_(static_cast<std::size_t>(source.Height())) {
    for (int y = 0; y < source.Height(); ++y) {
      const std::uint8_t* row = source.ScanLine(y);
      for (int x = 0; x < source.Width() && !rowHasKey_[y]; ++x) rowHasKey_[y] = IsKey(row + 3 * x);
    }
  }

  void Apply(int targetY, std::uint8_t* out) const {
    const int sourceY = rows_[targetY];
    if (!rowHasKey_[sourceY]) return;
    const std::uint8_t* row = source_.ScanLine(sourceY);
    for (std::size_t x = 0; x < columns_.size(); ++x)
      if (IsKey(row + 3 * columns_[x])) std::memcpy(out + 3 * x, key_, 3);
  }

 private:
  bool IsKey(const std::uint8_t* p) const { return p[0] == key_[0] && p[1] == key_[1] && p[2] == key_[2]; }

  const TBitmap& source_;
  std::vector<int> columns_, rows_;
  std::uint8_t key_[3];
  std::vector<std::uint8_t> rowHasKey_;
};

std::size_t RoundUpTo16(std::size_t n) { return (n + 15) / 16 * 16; }

void ResampleWithWeights(const TBitmap& source, TBitmap& target, const AxisWeights& columns, const AxisWeights& rows,
                         const KeyKeeper* keeper) {
  const int sourceHeight = source.Height();
  const int targetWidth = target.Width(), targetHeight = target.Height();
  const std::size_t channels = 3 * static_cast<std::size_t>(targetWidth);
  // Work rows padded to whole blocks of 16 channels, with slack for the 4-word stores.
  const std::size_t stride = RoundUpTo16(channels + 1);

  // Horizontal pass into a work image of target width x source height.
  std::vector<std::int16_t> work(stride * static_cast<std::size_t>(sourceHeight));
  PaddedRow padded(columns, source.Width());
  for (int y = 0; y < sourceHeight; ++y)
    ResampleRow(padded.Fill(source.ScanLine(y)), columns, targetWidth, &work[stride * y]);

  // Vertical pass, a whole target row at a time.
  std::vector<const std::int16_t*> lines;
  std::vector<std::uint8_t> out(stride);
  for (int y = 0; y < targetHeight; ++y) {
    const int pairCount = rows.PairCount(y);
    lines.resize(2 * static_cast<std::size_t>(pairCount));
    for (int k = 0; k < 2 * pairCount; ++k)
      lines[k] = &work[stride * static_cast<std::size_t>(SourceIndex(rows.first[y] + k, sourceHeight))];
    ResampleColumns(lines.data(), &rows.pairs[rows.pairBegin[y]], pairCount, rows.bits, stride, out.data());
    if (keeper != nullptr) keeper->Apply(y, out.data());
    std::memcpy(target.ScanLine(y), out.data(), channels);
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
  const int sourceWidth = src->Width(), sourceHeight = src->Height();
  if (sourceWidth <= 3 || sourceHeight <= 3 || targetWidth <= 3 || targetHeight <= 3 || filter == nullptr) {
    target.Canvas().StretchDraw(Rect(0, 0, targetWidth, targetHeight), *src);
    return;
  }

  if (!(support >= 0.0f)) support = 0.0f;  // also NaN
  support = std::min(support, kMaxSupport);
  const AxisWeights columns = ComputeAxisWeights(targetWidth, sourceWidth, filter, support);
  const AxisWeights rows = ComputeAxisWeights(targetHeight, sourceHeight, filter, support);
  std::unique_ptr<KeyKeeper> keeper;
  if (keepKey) keeper = std::make_unique<KeyKeeper>(*src, targetWidth, targetHeight, keyColor & 0xFFFFFFu);
  ResampleWithWeights(*src, target, columns, rows, keeper.get());
}

void ResampleBitmapDefault(const TBitmap& source, TBitmap& target, bool keepKey, TColor keyColor) {
  ResampleBitmap(source, target, LanczosKernel3, 3.0f, keepKey, keyColor);
}
