#include "imaging/ImageEffects.h"
#include "tests/imaging/PictureHelpers.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

TColor Grey(int v) { return RGB(static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v)); }

// A black 20 x 20 picture with one pixel of color at (10, 10).
void SinglePixelPicture(TBitmap& b, TColor color, TColor field = clBlack) {
  MakeFilled(b, 20, 20, field);
  b.SetPixel(10, 10, color);
}

TFilterDescription OneByOne(int weight, int divisor, std::uint8_t mode) {
  TFilterDescription d;
  d.KernelWidth = d.KernelHeight = 1;
  d.Weights[1] = weight;
  d.Divisor = divisor;
  d.Mode = mode;
  return d;
}

}  // namespace

TEST(FilterResultCodes, ValidationIsCheckedInOrder) {
  TFilterDescription d = OneByOne(1, 1, 0);
  EXPECT_EQ(ValidateFilter(d), kFilterDone);
  d.Divisor = 0;
  EXPECT_EQ(ValidateFilter(d), kFilterDivisorZero);
  d.AnchorColumn = 1;
  EXPECT_EQ(ValidateFilter(d), kFilterAnchorOutside);
  d.KernelHeight = 0;
  EXPECT_EQ(ValidateFilter(d), kFilterKernelEmpty);

  TFilterDescription wide;
  wide.KernelWidth = wide.KernelHeight = 15;
  wide.AnchorColumn = 15;
  EXPECT_EQ(ValidateFilter(wide), kFilterAnchorOutside);
  wide.AnchorColumn = 14;
  wide.AnchorRow = -1;
  EXPECT_EQ(ValidateFilter(wide), kFilterAnchorOutside);
  // Kernels beyond 15 are refused, and nothing is drawn.
  d = OneByOne(1, 1, 0);
  d.KernelHeight = 17;
  TBitmap b;
  MakeFilled(b, 40, 40, clRed);
  EXPECT_EQ(ApplyConvolution(&b, d), kFilterKernelOverLimit);
  EXPECT_EQ(b.Pixel(0, 0), clRed);
}

TEST(FilterResultCodes, KernelNotSmallerThanThePictureChangesNothing) {
  TBitmap b;
  MakeFilled(b, 10, 10, RGB(10, 20, 30), pf8bit);
  const TColor before = b.Pixel(3, 3);
  EXPECT_EQ(BlurBitmap(&b, 100), kFilterKernelTooLarge);
  EXPECT_EQ(b.PixelFormat(), pf8bit);
  EXPECT_EQ(b.Pixel(3, 3), before);
  // Smaller in one direction is enough: the edge rows repeat.
  MakeFilled(b, 20, 10, clRed);
  EXPECT_EQ(BlurBitmap(&b, 100), kFilterDone);
  EXPECT_EQ(b.Pixel(5, 5), clRed);
}

TEST(FilterResultCodes, EveryRoutineReportsAMissingBitmap) {
  const int codes[] = {ApplyConvolution(nullptr, OneByOne(1, 1, 0)), BlurBitmap(nullptr, 10), BlurBitmap(nullptr, 0),
                       SharpenBitmap(nullptr, 1), DilateBitmap(nullptr, 1), ErodeBitmap(nullptr, 1), InvertBitmap(nullptr),
                       BrightnessBitmap(nullptr, 10), AdjustColorChannels(nullptr, 1, 2, 3), ContrastBitmap(nullptr, 0),
                       EmbossBitmap(nullptr, 3, clGray, 90)};
  for (int code : codes) EXPECT_EQ(code, kFilterNoBitmap);
}

TEST(FilterPointOperations, FlatPicturesChangeByTheirRule) {
  struct Case {
    const char* what;
    TColor before;
    std::function<int(TBitmap*)> filter;
    TColor after;
  } const cases[] = {
      {"invert", RGB(10, 20, 30), [](TBitmap* b) { return InvertBitmap(b); }, RGB(245, 235, 225)},
      {"brightness", RGB(10, 200, 127), [](TBitmap* b) { return BrightnessBitmap(b, 50); }, RGB(138, 255, 255)},
      {"brightness clamped to -100: -256", RGB(10, 200, 127), [](TBitmap* b) { return BrightnessBitmap(b, -500); }, clBlack},
      // 10 * 256 div 100 = 25, -25, 100 * 256 div 100 = 256.
      {"own offset per channel", Grey(100), [](TBitmap* b) { return AdjustColorChannels(b, 10, -10, 200); }, RGB(125, 75, 255)},
      {"contrast 0", Grey(100), [](TBitmap* b) { return ContrastBitmap(b, 0); }, Grey(100)},
      // Weight 256, divisor 281, offset 10, once per ten per cent plus one: 100 -> 101 -> 102 -> 103.
      {"contrast -25 runs three times", Grey(100), [](TBitmap* b) { return ContrastBitmap(b, -25); }, Grey(103)},
      // Unknown modes divide like mode 0: 101 / 2 = 50 remainder 1, not above half.
      {"unknown mode", Grey(101), [](TBitmap* b) { return ApplyConvolution(b, OneByOne(1, 2, 9)); }, Grey(50)},
      {"sum without division", Grey(50), [](TBitmap* b) { return ApplyConvolution(b, OneByOne(3, 2, fmSumNoDivision)); }, Grey(150)},
      // 7 / 4 = 1 r 3 > 2 -> 2; 8 / 4 = 2; 9 / 4 = 2 r 1 -> 2.
      {"the quotient rounds up only above half", RGB(7, 8, 9), [](TBitmap* b) { return ApplyConvolution(b, OneByOne(1, 4, 0)); }, RGB(2, 2, 2)},
  };
  for (const Case& c : cases) {
    TBitmap b;
    MakeFilled(b, 20, 20, c.before);
    EXPECT_EQ(c.filter(&b), kFilterDone) << c.what;
    EXPECT_EQ(b.Pixel(4, 4), c.after) << c.what;
  }
}

TEST(FilterNeighbourhoods, OnePixelSpreadsByTheKernel) {
  TFilterDescription brightestGrey;  // 3 x 3 ones picking the brightest, as grey
  brightestGrey.KernelWidth = brightestGrey.KernelHeight = 3;
  brightestGrey.AnchorColumn = brightestGrey.AnchorRow = 1;
  for (int i = 1; i <= 9; ++i) brightestGrey.Weights[i] = 1;
  brightestGrey.Divisor = 1;
  brightestGrey.Grayscale = 1;
  brightestGrey.Mode = fmBrightest;
  struct Case {
    const char* what;
    TColor pixel, field;
    std::function<int(TBitmap*)> filter;
    std::vector<std::pair<int, int>> points;
    std::vector<TColor> after;
  } const cases[] = {
      {"blur 1 per cent: squared radius 2, the 3 x 3 square, divisor 9", Grey(90), clBlack,
       [](TBitmap* b) { return BlurBitmap(b, 1); }, {{10, 10}, {9, 9}, {11, 10}, {12, 10}}, {Grey(10), Grey(10), Grey(10), 0}},
      {"blur 100 per cent: divisor 225 over all 15 x 15 cells", Grey(225), clBlack,
       [](TBitmap* b) { return BlurBitmap(b, 100); }, {{3, 3}, {17, 17}, {17, 3}, {2, 10}, {10, 18}},
       {Grey(1), Grey(1), Grey(1), 0, 0}},
      // 5 * 40 - 4 * 20; 5 * 20 - 40 - 3 * 20; the spike only diagonal; far away.
      {"sharpen weights the four neighbours", Grey(40), Grey(20), [](TBitmap* b) { return SharpenBitmap(b, 1); },
       {{10, 10}, {11, 10}, {11, 11}, {3, 3}}, {Grey(120), 0, Grey(20), Grey(20)}},
      {"dilate grows a plus", RGB(200, 10, 10), clBlack, [](TBitmap* b) { return DilateBitmap(b, 1); },
       {{10, 9}, {11, 10}, {11, 11}, {10, 12}}, {RGB(200, 10, 10), RGB(200, 10, 10), 0, 0}},
      {"erode grows a plus", clBlack, clWhite, [](TBitmap* b) { return ErodeBitmap(b, 1); }, {{9, 10}, {10, 11}, {9, 9}},
       {0, 0, clWhite}},
      {"grey picking: (200 * 30) div 100 in every channel", RGB(200, 0, 0), clBlack,
       [&](TBitmap* b) { return ApplyConvolution(b, brightestGrey); }, {{9, 9}, {10, 10}}, {Grey(60), Grey(60)}},
  };
  for (const Case& c : cases) {
    TBitmap b;
    SinglePixelPicture(b, c.pixel, c.field);
    EXPECT_EQ(c.filter(&b), kFilterDone) << c.what;
    for (std::size_t i = 0; i < c.points.size(); ++i)
      EXPECT_EQ(b.Pixel(c.points[i].first, c.points[i].second), c.after[i]) << c.what << " at " << i;
  }
}

TEST(FilterNeighbourhoods, EmbossComparesWithTheCellInTheAngleDirection) {
  TBitmap b;
  MakePattern(b, 24, 20, [](int x, int) { return x == 12 ? Grey(200) : Grey(100); });
  // Angle 90, depth 3: -1 two cells to the right; grey offsets 128.
  EXPECT_EQ(EmbossBitmap(&b, 3, RGB(128, 128, 128), 90), kFilterDone);
  // 100 - 200 + 128; 128; 200 - 100 + 128; 128.
  EXPECT_EQ(PixelsAt(b, {{10, 5}, {11, 5}, {12, 5}, {3, 5}}), (std::vector<TColor>{Grey(28), Grey(128), Grey(228), Grey(128)}));
  // Offsets come from the colour.
  MakeFilled(b, 20, 20, RGB(90, 10, 250));
  EXPECT_EQ(EmbossBitmap(&b, 20, RGB(100, 50, 0), 0), kFilterDone);  // depth clamped to 14
  EXPECT_EQ(b.Pixel(10, 10), RGB(100, 50, 0));
}

TEST(FilterNeighbourhoods, EdgesRepeatTheBorderPixels) {
  TBitmap b;
  MakePattern(b, 20, 20, [](int x, int) { return x == 0 ? Grey(90) : clBlack; });
  EXPECT_EQ(BlurBitmap(&b, 1), kFilterDone);
  // The left column sees itself three times over (the repeated edge) out of 9.
  EXPECT_EQ(PixelsAt(b, {{0, 5}, {1, 5}, {2, 5}}), (std::vector<TColor>{Grey(60), Grey(30), 0}));
}

TEST(DiscKernel, SquaredRadiusSelectsTheCells) {
  std::array<std::int32_t, 256> w{};
  EXPECT_EQ(MakeDiscKernel(w, 1, 1), 4);
  EXPECT_EQ(std::tuple(w[113 - 15], w[112], w[113]), std::tuple(1, 1, 0));
  std::array<std::int32_t, 256> all{};
  EXPECT_EQ(MakeDiscKernel(all, 256, 2), 2 * 224);  // clamped to 100: every cell but the centre
  std::array<std::int32_t, 256> one{};
  EXPECT_EQ(MakeDiscKernel(one, -5, -1), -4);
}
