#include "imaging/ImageEffects.h"

#include "platform/Graphics.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kCentre = 8;  // the centre row and column of a 15 x 15 kernel, 1-based

int Luminance(const std::int32_t* p) { return p[0] * 30 + p[1] * 59 + p[2] * 11; }

struct KernelCell {
  int column;  // 0-based
  int row;     // 0-based
  std::int32_t weight;
};

// The non-zero weights in row-major order.
std::vector<KernelCell> GatherCells(const TFilterDescription& d) {
  std::vector<KernelCell> cells;
  for (int r = 0; r < d.KernelHeight; ++r)
    for (int c = 0; c < d.KernelWidth; ++c) {
      const std::int32_t w = d.Weights[static_cast<std::size_t>(r * d.KernelWidth + c + 1)];
      if (w != 0) cells.push_back({c, r, w});
    }
  return cells;
}

// A picture row widened by the kernel: AnchorColumn copies of its first pixel
// on the left and KernelWidth - AnchorColumn - 1 copies of its last on the
// right, each pixel as red, green, blue (or as luminance, 0, 0 in grayscale).
void PrepareRow(const std::uint8_t* row, int width, const TFilterDescription& d, std::int32_t* out) {
  const int total = width + d.KernelWidth - 1;
  for (int i = 0; i < total; ++i) {
    const int x = std::clamp(i - d.AnchorColumn, 0, width - 1);
    const std::uint8_t* p = row + 3 * x;
    std::int32_t* q = out + 3 * i;
    if (d.Grayscale) {
      q[0] = (p[2] * 30 + p[1] * 59 + p[0] * 11) / 100;
      q[1] = 0;
      q[2] = 0;
    } else {
      q[0] = p[2];
      q[1] = p[1];
      q[2] = p[0];
    }
  }
}

std::uint8_t ClampByte(std::int64_t v) { return static_cast<std::uint8_t>(std::clamp<std::int64_t>(v, 0, 255)); }

// Rows of the picture in a ring of KernelHeight prepared rows: virtual row v
// (rows beyond the picture repeat its edge rows) lives in slot v mod height.
class RowRing {
 public:
  RowRing(const TBitmap& bitmap, const TFilterDescription& d)
      : bitmap_(bitmap), d_(d), stride_(3 * (static_cast<std::size_t>(bitmap.Width()) + d.KernelWidth - 1)),
        buffer_(stride_ * static_cast<std::size_t>(d.KernelHeight)) {}

  void Load(int virtualRow) {
    const int y = std::clamp(virtualRow, 0, bitmap_.Height() - 1);
    PrepareRow(bitmap_.ScanLine(y), bitmap_.Width(), d_, Slot(virtualRow));
  }
  std::int32_t* Slot(int virtualRow) {
    const int h = d_.KernelHeight;
    return &buffer_[stride_ * static_cast<std::size_t>(((virtualRow % h) + h) % h)];
  }

 private:
  const TBitmap& bitmap_;
  const TFilterDescription& d_;
  std::size_t stride_;
  std::vector<std::int32_t> buffer_;
};

// The weighted sums of one output row, channel by channel, accumulated a
// kernel cell at a time over the whole row (contiguous, so it vectorises).
template <typename Sum>
void AccumulateRow(const std::vector<KernelCell>& cells, const std::vector<const std::int32_t*>& rows, int width,
                   std::vector<Sum>& sums) {
  std::fill(sums.begin(), sums.end(), Sum{0});
  const std::size_t n = static_cast<std::size_t>(width) * 3;
  for (std::size_t k = 0; k < cells.size(); ++k) {
    const std::int32_t* p = rows[k] + 3 * cells[k].column;
    const Sum w = cells[k].weight;
    Sum* out = sums.data();
    for (std::size_t i = 0; i < n; ++i) out[i] += w * p[i];
  }
}

// Turns the sums of one row into pixels (stored blue, green, red).
template <typename Sum>
void FinishRow(const std::vector<Sum>& sums, int width, const TFilterDescription& d, std::int64_t divisor,
               bool inverting, std::uint8_t* out) {
  for (int x = 0; x < width; ++x) {
    std::int64_t value[3];
    for (int c = 0; c < 3; ++c) {
      const std::int64_t sum = sums[3 * static_cast<std::size_t>(x) + c];
      value[c] = sum;
      if (d.Mode != fmSumNoDivision) {
        // Rounded: the quotient grows by one when the remainder exceeds half.
        value[c] = sum / divisor + (sum % divisor > divisor / 2 ? 1 : 0);
      }
      if (inverting) value[c] = 255 - value[c];
    }
    if (d.Grayscale) value[1] = value[2] = value[0];
    out[3 * x + 2] = ClampByte(value[0] + d.RedOffset);
    out[3 * x + 1] = ClampByte(value[1] + d.GreenOffset);
    out[3 * x] = ClampByte(value[2] + d.BlueOffset);
  }
}

// One output pixel of the brightest and darkest modes: the cell's pixel with
// the largest (or smallest) luminance, the first on ties, as it is.
void PickPixel(const std::vector<KernelCell>& cells, const std::vector<const std::int32_t*>& rows, int x,
               const TFilterDescription& d, std::uint8_t* out) {
  const std::int32_t* best = nullptr;
  int bestLuminance = 0;
  for (std::size_t k = 0; k < cells.size(); ++k) {
    const std::int32_t* p = rows[k] + 3 * (x + cells[k].column);
    const int l = Luminance(p);
    if (best == nullptr || (d.Mode == fmBrightest ? l > bestLuminance : l < bestLuminance)) {
      best = p;
      bestLuminance = l;
    }
  }
  if (best == nullptr) return;  // no weights: the pixel stays
  // In grayscale the prepared pixel is (grey, 0, 0): every channel takes the grey.
  const std::int32_t r = best[0], g = d.Grayscale ? best[0] : best[1], b = d.Grayscale ? best[0] : best[2];
  out[2] = ClampByte(r);
  out[1] = ClampByte(g);
  out[0] = ClampByte(b);
}

}  // namespace

int ValidateFilter(const TFilterDescription& d) {
  if (d.KernelWidth <= 0 || d.KernelHeight <= 0) return kFilterKernelEmpty;
  if (d.KernelWidth > kMaxKernelSize || d.KernelHeight > kMaxKernelSize) return kFilterKernelOverLimit;
  if (d.AnchorColumn < 0 || d.AnchorColumn >= d.KernelWidth || d.AnchorRow < 0 || d.AnchorRow >= d.KernelHeight)
    return kFilterAnchorOutside;
  if (d.Divisor == 0) return kFilterDivisorZero;
  return kFilterDone;
}

int ApplyConvolution(TBitmap* bitmap, const TFilterDescription& d) {
  if (bitmap == nullptr) return kFilterNoBitmap;
  if (const int code = ValidateFilter(d); code != kFilterDone) return code;
  if (d.KernelWidth >= bitmap->Width() && d.KernelHeight >= bitmap->Height()) return kFilterKernelTooLarge;
  if (bitmap->Empty()) return kFilterDone;

  const bool inverting = d.Divisor < 0;
  const std::int64_t divisor = std::llabs(static_cast<std::int64_t>(d.Divisor));
  const bool picking = d.Mode == fmBrightest || d.Mode == fmDarkest;

  bitmap->SetPixelFormat(pf24bit);
  const int width = bitmap->Width(), height = bitmap->Height();
  const std::vector<KernelCell> cells = GatherCells(d);

  RowRing ring(*bitmap, d);
  for (int r = 0; r < d.KernelHeight; ++r) ring.Load(r - d.AnchorRow);

  // 32-bit sums suffice unless the weights could carry them past 2^31.
  std::int64_t weightMagnitude = 0;
  for (const KernelCell& cell : cells) weightMagnitude += std::llabs(static_cast<std::int64_t>(cell.weight));
  const bool narrowSums = weightMagnitude * 255 <= INT32_MAX;
  std::vector<std::int32_t> sums32(narrowSums ? static_cast<std::size_t>(width) * 3 : 0);
  std::vector<std::int64_t> sums64(narrowSums ? 0 : static_cast<std::size_t>(width) * 3);

  std::vector<const std::int32_t*> rows(cells.size());
  for (int y = 0; y < height; ++y) {
    for (std::size_t k = 0; k < cells.size(); ++k) rows[k] = ring.Slot(y - d.AnchorRow + cells[k].row);
    std::uint8_t* out = bitmap->ScanLine(y);
    if (picking) {
      for (int x = 0; x < width; ++x) PickPixel(cells, rows, x, d, out + 3 * x);
    } else if (narrowSums) {
      AccumulateRow(cells, rows, width, sums32);
      FinishRow(sums32, width, d, divisor, inverting, out);
    } else {
      AccumulateRow(cells, rows, width, sums64);
      FinishRow(sums64, width, d, divisor, inverting, out);
    }
    // The row entering the window below; it is at least one row below y, so
    // it has not been overwritten yet.
    if (y + 1 < height) ring.Load(y + 1 - d.AnchorRow + d.KernelHeight - 1);
  }
  return kFilterDone;
}

int MakeDiscKernel(std::array<std::int32_t, 256>& weights, int q, int w) {
  q = std::min(q, 100);
  if (q <= 0) q = 1;
  int sum = 0;
  for (int i = 1; i <= kMaxKernelSize; ++i)
    for (int j = 1; j <= kMaxKernelSize; ++j) {
      if (i == kCentre && j == kCentre) continue;
      if ((kCentre - i) * (kCentre - i) + (kCentre - j) * (kCentre - j) > q) continue;
      weights[static_cast<std::size_t>((i - 1) * kMaxKernelSize + j)] = w;
      sum += w;
    }
  return sum;
}

namespace {

constexpr std::size_t kCentreEntry = (kCentre - 1) * kMaxKernelSize + kCentre;  // 113

TFilterDescription SquareKernel(int divisor, std::uint8_t mode) {
  TFilterDescription d;
  d.KernelWidth = d.KernelHeight = kMaxKernelSize;
  d.AnchorColumn = d.AnchorRow = kCentre - 1;
  d.Divisor = divisor;
  d.Mode = mode;
  return d;
}

TFilterDescription SinglePixel(int weight, int divisor, std::uint8_t mode, int red, int green, int blue) {
  TFilterDescription d;
  d.KernelWidth = d.KernelHeight = 1;
  d.Weights[1] = weight;
  d.Divisor = divisor;
  d.RedOffset = red;
  d.GreenOffset = green;
  d.BlueOffset = blue;
  d.Mode = mode;
  return d;
}

}  // namespace

int BlurBitmap(TBitmap* bitmap, int percent) {
  if (bitmap == nullptr) return kFilterNoBitmap;
  if (percent == 0) return kFilterDone;
  percent = std::min(percent, 100);
  TFilterDescription d = SquareKernel(1, fmWeightedSum);
  const int sum = MakeDiscKernel(d.Weights, percent * 256 / 100, 1);
  d.Weights[kCentreEntry] = 1;
  d.Divisor = sum + 1;
  return ApplyConvolution(bitmap, d);
}

int SharpenBitmap(TBitmap* bitmap, int squaredRadius) {
  if (bitmap == nullptr) return kFilterNoBitmap;
  TFilterDescription d = SquareKernel(1, 1);
  const int sum = MakeDiscKernel(d.Weights, squaredRadius, -1);
  d.Weights[kCentreEntry] = 1 - sum;
  return ApplyConvolution(bitmap, d);
}

int DilateBitmap(TBitmap* bitmap, int squaredRadius) {
  if (bitmap == nullptr) return kFilterNoBitmap;
  TFilterDescription d = SquareKernel(1, fmBrightest);
  MakeDiscKernel(d.Weights, squaredRadius, 1);
  d.Weights[kCentreEntry] = 1;
  return ApplyConvolution(bitmap, d);
}

int ErodeBitmap(TBitmap* bitmap, int squaredRadius) {
  if (bitmap == nullptr) return kFilterNoBitmap;
  TFilterDescription d = SquareKernel(1, fmDarkest);
  MakeDiscKernel(d.Weights, squaredRadius, 1);
  d.Weights[kCentreEntry] = 1;
  return ApplyConvolution(bitmap, d);
}

int InvertBitmap(TBitmap* bitmap) {
  if (bitmap == nullptr) return kFilterNoBitmap;
  return ApplyConvolution(bitmap, SinglePixel(1, -1, 6, 0, 0, 0));
}

int BrightnessBitmap(TBitmap* bitmap, int percent) {
  if (bitmap == nullptr) return kFilterNoBitmap;
  const int offset = std::clamp(percent, -100, 100) * 256 / 100;
  return ApplyConvolution(bitmap, SinglePixel(1, 1, 7, offset, offset, offset));
}

int AdjustColorChannels(TBitmap* bitmap, int red, int green, int blue) {
  if (bitmap == nullptr) return kFilterNoBitmap;
  const auto offset = [](int percent) { return std::clamp(percent, -100, 100) * 256 / 100; };
  return ApplyConvolution(bitmap, SinglePixel(1, 1, 7, offset(red), offset(green), offset(blue)));
}

int ContrastBitmap(TBitmap* bitmap, int percent) {
  if (bitmap == nullptr) return kFilterNoBitmap;
  if (percent == 0) return kFilterDone;
  percent = std::clamp(percent, -100, 100);
  const int offset = percent * -2 / 5;
  const TFilterDescription d = SinglePixel(256, 256 - percent, 7, offset, offset, offset);
  int result = kFilterDone;
  for (int run = 0; run < std::abs(percent) / 10 + 1; ++run) result = ApplyConvolution(bitmap, d);
  return result;
}

int EmbossBitmap(TBitmap* bitmap, int depth, TColor color, int angle) {
  if (bitmap == nullptr) return kFilterNoBitmap;
  depth = std::clamp(depth, 1, 14);
  const int dy = angle < 68 || angle > 292 ? -1 : (angle > 112 && angle < 248 ? 1 : 0);
  const int dx = angle >= 23 && angle <= 157 ? 1 : (angle > 202 && angle < 338 ? -1 : 0);
  const int steps = (depth + 1) / 2;  // ceil(depth / 2)
  const TColor rgb = ColorToRGB(color);
  TFilterDescription d = SquareKernel(1, fmSumNoDivision);
  d.Weights[kCentreEntry] = 1;
  d.Weights[static_cast<std::size_t>((kCentre + dy * steps - 1) * kMaxKernelSize + kCentre + dx * steps)] = -1;
  d.RedOffset = GetRValue(rgb);
  d.GreenOffset = GetGValue(rgb);
  d.BlueOffset = GetBValue(rgb);
  d.Grayscale = 1;
  return ApplyConvolution(bitmap, d);
}
