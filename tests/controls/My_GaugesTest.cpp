// The gauge: percentages, range errors, repaints, and the pixels of each kind.
#include "controls/My_Gauges.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <climits>

namespace {

// A gauge that counts its paints.
class CountingGauge : public TGauge {
 public:
  using TGauge::TGauge;
  int paints = 0;

 protected:
  void Paint() override {
    ++paints;
    TGauge::Paint();
  }
};

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EInvalidOperation& e) {
    return e.Message();
  }
  return "(nothing raised)";
}

// A gauge with distinct colours and no text, for exact pixels.
void PlainColours(TGauge& gauge) {
  gauge.SetShowText(false);
  gauge.SetForeColor(clRed);
  gauge.SetBackColor(clWhite);
  gauge.SetColor(clLime);
}

}  // namespace

TEST(Gauge, StartsAsA100By100HorizontalBarFrom0To100) {
  TGauge gauge;
  EXPECT_EQ(gauge.BoundsRect(), Bounds(0, 0, 100, 100));
  EXPECT_EQ(gauge.MinValue(), 0);
  EXPECT_EQ(gauge.MaxValue(), 100);
  EXPECT_EQ(gauge.Progress(), 0);
  EXPECT_EQ(gauge.Kind(), gkHorizontalBar);
  EXPECT_TRUE(gauge.ShowText());
  EXPECT_EQ(gauge.BorderStyle(), bsSingle);
  EXPECT_EQ(gauge.ForeColor(), clBlack);
  EXPECT_EQ(gauge.BackColor(), clWhite);
}

TEST(Gauge, ThePercentageIsTruncatedAndComputedIn64Bits) {
  TGauge gauge;
  gauge.SetMaxValue(3);
  gauge.SetProgress(1);
  EXPECT_EQ(gauge.PercentDone(), 33);
  gauge.SetProgress(2);
  EXPECT_EQ(gauge.PercentDone(), 66);
  gauge.SetMaxValue(0);
  EXPECT_EQ(gauge.PercentDone(), 0) << "an empty range";
  gauge.SetMaxValue(INT_MAX);
  gauge.SetMinValue(INT_MIN);
  gauge.SetProgress(0);
  EXPECT_EQ(gauge.PercentDone(), 50);
  gauge.SetProgress(INT_MAX);
  EXPECT_EQ(gauge.PercentDone(), 100);
}

TEST(Gauge, ProgressIsClampedIntoTheRange) {
  TGauge gauge;
  gauge.SetProgress(-5);
  EXPECT_EQ(gauge.Progress(), 0);
  gauge.SetProgress(500);
  EXPECT_EQ(gauge.Progress(), 100);
  gauge.SetMinValue(40);
  EXPECT_EQ(gauge.Progress(), 100);
  gauge.SetProgress(10);
  EXPECT_EQ(gauge.Progress(), 40);
  gauge.SetMinValue(60);
  EXPECT_EQ(gauge.Progress(), 60) << "raised with the minimum";
  gauge.SetProgress(90);
  gauge.SetMaxValue(70);
  EXPECT_EQ(gauge.Progress(), 70) << "lowered with the maximum";
}

TEST(Gauge, BoundsBeyondTheOtherBoundAreRefused) {
  TGauge gauge;
  EXPECT_EQ(MessageOf([&] { gauge.SetMinValue(200); }), "Value must be between -2147483647 and 99");
  EXPECT_EQ(gauge.MinValue(), 0);
  gauge.SetMinValue(50);
  EXPECT_EQ(MessageOf([&] { gauge.SetMaxValue(10); }), "Value must be between 51 and 2147483647");
  EXPECT_EQ(gauge.MaxValue(), 100);
  gauge.SetMinValue(INT_MIN);
  gauge.SetMaxValue(INT_MIN);
  EXPECT_EQ(MessageOf([&] { gauge.SetMinValue(0); }), "Value must be between -2147483647 and -2147483649")
      << "the bound minus one in 64 bits";
}

TEST(Gauge, RepaintsOnlyWhenThePercentageChanges) {
  QWidget window;
  auto* gauge = new CountingGauge(&window);
  gauge->SetMaxValue(1000);
  gauge->SetProgress(100);
  window.show();
  QApplication::processEvents();
  const int settled = gauge->paints;
  ASSERT_GT(settled, 0);
  gauge->SetProgress(105);  // 10 % both times
  QApplication::processEvents();
  EXPECT_EQ(gauge->paints, settled);
  gauge->SetProgress(110);  // 11 %
  QApplication::processEvents();
  EXPECT_EQ(gauge->paints, settled + 1);
}

TEST(Gauge, AHorizontalBarAtHalfFillsUpToItsFillEdge) {
  TGauge gauge;
  PlainColours(gauge);
  gauge.SetBounds(0, 0, 100, 20);
  gauge.SetProgress(50);
  const TBitmap& picture = gauge.PaintPicture(clBlue);
  // The paint rectangle is (1, 1, 99, 19): W = 99, fill = 49.
  EXPECT_EQ(picture.Pixel(1, 1), clRed);
  EXPECT_EQ(picture.Pixel(48, 18), clRed);
  EXPECT_EQ(picture.Pixel(49, 1), clWhite) << "the fill's right edge is exclusive";
  EXPECT_EQ(picture.Pixel(98, 18), clWhite);
  EXPECT_EQ(picture.Pixel(0, 0), clBlack) << "the frame stays black";
  EXPECT_EQ(picture.Pixel(99, 19), clBlack);
  gauge.SetBorderStyle(bsNone);
  const TBitmap& frameless = gauge.PaintPicture(clBlue);
  EXPECT_EQ(frameless.Pixel(0, 0), clRed);
  EXPECT_EQ(frameless.Pixel(49, 19), clRed) << "W = 101, fill = 50";
  EXPECT_EQ(frameless.Pixel(50, 0), clWhite);
}

TEST(Gauge, AVerticalBarFillsFromTheBottom) {
  TGauge gauge;
  PlainColours(gauge);
  gauge.SetKind(gkVerticalBar);
  gauge.SetBounds(0, 0, 20, 100);
  gauge.SetProgress(50);
  const TBitmap& picture = gauge.PaintPicture(clBlue);
  // H = 99, fill = 49: rows 50 to 98.
  EXPECT_EQ(picture.Pixel(1, 50), clRed);
  EXPECT_EQ(picture.Pixel(18, 98), clRed);
  EXPECT_EQ(picture.Pixel(1, 49), clWhite);
  gauge.SetProgress(100);
  // fill = 99 is cut to H - 1 = 98: from row 1, the paint rectangle's top, down.
  EXPECT_EQ(gauge.PaintPicture(clBlue).Pixel(5, 1), clRed);
  EXPECT_EQ(gauge.PaintPicture(clBlue).Pixel(5, 0), clBlack);
}

TEST(Gauge, APieGrowsClockwiseFromTwelveOClock) {
  TGauge gauge;
  PlainColours(gauge);
  gauge.SetKind(gkPie);
  gauge.SetProgress(25);
  const TBitmap& quarter = gauge.PaintPicture(clBlue);
  EXPECT_EQ(quarter.Pixel(70, 30), clRed) << "the top right quarter";
  EXPECT_EQ(quarter.Pixel(30, 30), clWhite);
  EXPECT_EQ(quarter.Pixel(70, 70), clWhite);
  EXPECT_EQ(quarter.Pixel(3, 3), clLime) << "outside the ellipse: Color";
  gauge.SetProgress(75);
  const TBitmap& most = gauge.PaintPicture(clBlue);
  EXPECT_EQ(most.Pixel(30, 70), clRed);
  EXPECT_EQ(most.Pixel(30, 30), clWhite);
  gauge.SetProgress(0);
  EXPECT_EQ(gauge.PaintPicture(clBlue).Pixel(70, 30), clWhite);
}

TEST(Gauge, ANeedlePointsAlongTheUpperHalf) {
  TGauge gauge;
  PlainColours(gauge);
  gauge.SetKind(gkNeedle);
  gauge.SetProgress(50);
  const TBitmap& picture = gauge.PaintPicture(clBlue);
  EXPECT_EQ(picture.Pixel(50, 60), clRed) << "straight up at 50 %";
  EXPECT_EQ(picture.Pixel(50, 97), clRed);
  EXPECT_EQ(picture.Pixel(30, 60), clWhite) << "inside the half ellipse";
  EXPECT_EQ(picture.Pixel(3, 3), clLime);
  EXPECT_EQ(picture.Pixel(20, 99), clRed) << "the base line on the bottom row";
  gauge.SetProgress(0);
  EXPECT_EQ(gauge.PaintPicture(clBlue).Pixel(50, 60), clWhite);
}

TEST(Gauge, TheTextIsInvertedOverTheBarAndOverItsGround) {
  TGauge gauge;
  gauge.SetForeColor(clRed);
  gauge.SetBounds(0, 0, 100, 30);
  gauge.SetProgress(50);
  const TBitmap& picture = gauge.PaintPicture(clBlue);
  int overBar = 0, overGround = 0;
  for (int y = 1; y < 29; ++y)
    for (int x = 1; x < 99; ++x) {
      overBar += picture.Pixel(x, y) == RGB(0, 255, 255);   // white xor red
      overGround += picture.Pixel(x, y) == clBlack;         // white xor white
    }
  EXPECT_GT(overBar, 0);
  EXPECT_GT(overGround, 0);
  gauge.SetShowText(false);
  EXPECT_EQ(gauge.PaintPicture(clBlue).Pixel(50, 15), clWhite);
}

TEST(Gauge, TheTextKindShowsOnlyTheGroundAndThePercentage) {
  TGauge gauge;
  gauge.SetKind(gkText);
  gauge.SetBackColor(clYellow);
  gauge.SetProgress(80);
  const TBitmap& picture = gauge.PaintPicture(clBlue);
  EXPECT_EQ(picture.Pixel(5, 5), clYellow);
  EXPECT_EQ(picture.Pixel(95, 95), clYellow);
}

TEST(BltBitmap, MakeLikeTakesTheSizeAndTheWindowFrameColour) {
  TBitmap model;
  model.SetSize(7, 3);
  TBltBitmap work;
  work.MakeLike(model);
  EXPECT_EQ(work.Width(), 7);
  EXPECT_EQ(work.Height(), 3);
  EXPECT_EQ(work.Pixel(6, 2), ColorToRGB(clWindowFrame));
}
