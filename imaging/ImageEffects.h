// Neighbourhood filters applied to a bitmap in place. One engine,
// ApplyConvolution, runs a filter description (a kernel of up to 15 x 15
// integer weights with an anchor, a divisor, per-channel offsets, a grayscale
// switch and a mode) over every pixel of a 24-bit bitmap; the filter routines
// build the descriptions of the filters the effects dialog offers. All return
// a result code.
#pragma once

#include "platform/Colors.h"

#include <array>
#include <cstdint>

class TBitmap;

// Result codes.
constexpr int kFilterDone = 0;
constexpr int kFilterAnchorOutside = 1;     // anchor outside the kernel
constexpr int kFilterKernelEmpty = 2;       // kernel width or height of 0 or less
constexpr int kFilterDivisorZero = 3;       // divisor 0
constexpr int kFilterKernelTooLarge = 4;    // kernel not smaller than the picture (nothing changed)
constexpr int kFilterKernelOverLimit = 5;   // kernel wider or higher than kMaxKernelSize
constexpr int kFilterNoBitmap = 6;          // no bitmap given

constexpr int kMaxKernelSize = 15;

// Modes of a filter description.
enum TFilterMode : std::uint8_t {
  fmWeightedSum = 0,      // weighted sum divided by the divisor (so are 1, 6, 7 and unknown modes)
  fmSumNoDivision = 2,    // weighted sum without division
  fmBrightest = 3,        // the brightest pixel under the kernel
  fmDarkest = 4,          // the darkest pixel under the kernel
};

struct TFilterDescription {
  std::int32_t KernelWidth = 0;
  std::int32_t KernelHeight = 0;
  std::int32_t AnchorColumn = 0;  // 0-based: the kernel cell over the pixel being computed
  std::int32_t AnchorRow = 0;
  // A negative divisor divides by its absolute value and inverts the result.
  std::int32_t Divisor = 1;
  std::int32_t RedOffset = 0;
  std::int32_t GreenOffset = 0;
  std::int32_t BlueOffset = 0;
  std::uint8_t Grayscale = 0;  // work on luminance only
  std::uint8_t Mode = 0;
  // Row-major and 1-based: cell (row r, column c), both from 1, is entry
  // (r - 1) * width + c; entry 0 is not used. The 15 x 15 centre is entry 113.
  std::array<std::int32_t, 256> Weights{};
};

// 2 for a width or height of 0 or less, 5 for one above 15, 1 for an anchor
// outside the kernel, 3 for a divisor of 0, else 0 (checked in this order).
int ValidateFilter(const TFilterDescription& description);
// Rewrites every pixel of bitmap (made 24-bit) with the filter. Returns the
// validation code, 6 without a bitmap, or 4 when the kernel is not smaller
// than the picture in both directions.
int ApplyConvolution(TBitmap* bitmap, const TFilterDescription& description);

// Sets weight w in every cell of the 15 x 15 kernel other than the centre
// whose squared distance from the centre is at most q (q clamped to at most
// 100; 0 or less counts as 1). Returns the sum of the weights set.
int MakeDiscKernel(std::array<std::int32_t, 256>& weights, int q, int w);

// The filters. Each returns 6 when bitmap is nullptr.
int BlurBitmap(TBitmap* bitmap, int percent);               // 0 does nothing; up to 100
int SharpenBitmap(TBitmap* bitmap, int squaredRadius);
int DilateBitmap(TBitmap* bitmap, int squaredRadius);
int ErodeBitmap(TBitmap* bitmap, int squaredRadius);
int InvertBitmap(TBitmap* bitmap);
int BrightnessBitmap(TBitmap* bitmap, int percent);          // -100 .. 100
int AdjustColorChannels(TBitmap* bitmap, int red, int green, int blue);  // each -100 .. 100
int ContrastBitmap(TBitmap* bitmap, int percent);            // -100 .. 100; 0 does nothing
// depth 1..14; angle in degrees clockwise from up; color gives the offsets.
int EmbossBitmap(TBitmap* bitmap, int depth, TColor color, int angle);
