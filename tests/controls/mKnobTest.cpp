// The angle knob: angles from the mouse, clamping, OnChange, and the mark's pixels.
#include "controls/mKnob.h"

#include <gtest/gtest.h>

#include <QTest>

#include <vector>

namespace {

class KnobTest : public testing::Test {
 protected:
  KnobTest() {
    knob = new TmKnob(&window);
    knob->OnChange = [this](QObject* sender, int value) {
      EXPECT_EQ(sender, knob);
      changes.push_back(value);
    };
    window.resize(100, 100);
    window.show();
  }
  int PressAt(int x, int y) {
    QTest::mousePress(knob, Qt::LeftButton, {}, QPoint(x, y));
    QTest::mouseRelease(knob, Qt::LeftButton, {}, QPoint(x, y));
    return knob->Position();
  }

  QWidget window;
  TmKnob* knob = nullptr;
  std::vector<int> changes;
};

int CountColour(const TBitmap& b, TColor colour) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) n += b.Pixel(x, y) == colour;
  return n;
}

int LowestRowOf(const TBitmap& b, TColor colour) {
  for (int y = b.Height() - 1; y >= 0; --y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.Pixel(x, y) == colour) return y;
  return -1;
}

}  // namespace

TEST_F(KnobTest, StartsAsA60By60KnobAtZeroDegrees) {
  EXPECT_EQ(knob->BoundsRect(), Bounds(0, 0, 60, 60));
  EXPECT_EQ(knob->Position(), 0);
  EXPECT_EQ(knob->Min(), 0);
  EXPECT_EQ(knob->Max(), 360);
  EXPECT_EQ(knob->FaceColor(), clBtnFace);
  EXPECT_EQ(knob->TickColor(), clActiveCaption);
  EXPECT_TRUE(knob->AllowUserDrag());
  EXPECT_EQ(knob->MarkStyle(), msLine);
}

TEST_F(KnobTest, APressSetsTheAngleCounterClockwiseFromThreeOClock) {
  EXPECT_EQ(PressAt(30, 5), 90) << "above the centre";
  EXPECT_EQ(PressAt(5, 30), 180) << "left";
  EXPECT_EQ(PressAt(30, 55), 270) << "below";
  EXPECT_EQ(PressAt(55, 29), 0) << "right, just above the centre";
  EXPECT_EQ(PressAt(55, 31), 360) << "right, just below";
  EXPECT_EQ(PressAt(30, 30), 270) << "the centre itself";
  EXPECT_EQ(changes, (std::vector<int>{90, 180, 270, 0, 360, 270}));
}

TEST_F(KnobTest, AnglesAreClampedToMinAndMax) {
  knob->SetMax(180);
  EXPECT_EQ(PressAt(50, 50), 180) << "315 degrees";
  EXPECT_EQ(PressAt(30, 55), 180) << "270 degrees";
  EXPECT_EQ(PressAt(5, 40), 180) << "just below the left";
  EXPECT_EQ(PressAt(50, 10), 44) << "the distance is rounded to 28 first: 90 - asin(20 / 28)";
  changes.clear();
  knob->SetPosition(180);
  knob->SetPosition(500);
  EXPECT_EQ(knob->Position(), 180);
  EXPECT_EQ(changes, (std::vector<int>{180, 180})) << "reported even when clamping leaves it unchanged";
  knob->SetPosition(180);
  EXPECT_EQ(changes.size(), 2u) << "an unchanged value is not set";
}

TEST_F(KnobTest, DraggingFollowsTheMouseUntilTheRelease) {
  QTest::mousePress(knob, Qt::LeftButton, {}, QPoint(30, 5));
  EXPECT_TRUE(knob->Dragging());
  QTest::mouseMove(knob, QPoint(5, 30));
  EXPECT_EQ(knob->Position(), 180);
  QTest::mouseRelease(knob, Qt::LeftButton, {}, QPoint(5, 30));
  EXPECT_FALSE(knob->Dragging());
  QTest::mouseMove(knob, QPoint(30, 55));
  EXPECT_EQ(knob->Position(), 180) << "moves without a press change nothing";
}

TEST_F(KnobTest, WithoutUserDragTheMouseChangesNothing) {
  knob->SetAllowUserDrag(false);
  EXPECT_EQ(PressAt(30, 5), 0);
  QTest::mousePress(knob, Qt::LeftButton, {}, QPoint(30, 5));
  QTest::mouseMove(knob, QPoint(5, 30));
  QTest::mouseRelease(knob, Qt::LeftButton, {}, QPoint(5, 30));
  EXPECT_EQ(knob->Position(), 0);
  EXPECT_TRUE(changes.empty());
}

TEST_F(KnobTest, MinIsStoredWithoutClampingAndMaxWithout) {
  knob->SetPosition(300);
  knob->SetMax(100);
  EXPECT_EQ(knob->Position(), 300) << "not re-clamped";
  knob->SetMin(-10);
  knob->SetPosition(-1);
  EXPECT_EQ(knob->Position(), -1);
}

TEST_F(KnobTest, TheLineMarkAt90DegreesRunsFrom28_9To28_1) {
  knob->SetTickColor(clRed);
  knob->SetPosition(90);
  const TBitmap& picture = knob->PaintPicture(clWhite);
  for (int y = 1; y <= 9; ++y) {
    EXPECT_EQ(picture.Pixel(28, y), clRed) << y;
    EXPECT_EQ(picture.Pixel(27, y), clRed) << "three pixels wide";
    EXPECT_EQ(picture.Pixel(29, y), clRed);
  }
  EXPECT_NE(picture.Pixel(28, 11), clRed);
  EXPECT_NE(picture.Pixel(26, 5), clRed);
  EXPECT_EQ(picture.Pixel(0, 0), ColorToRGB(clBtnFace)) << "the knob's ground";
  EXPECT_EQ(picture.Pixel(28, 28), ColorToRGB(clBtnFace)) << "the face";
}

TEST_F(KnobTest, ANegativePositionDrawsNoMarkAndADisabledKnobAGreyOne) {
  knob->SetTickColor(clRed);
  knob->SetMin(-10);
  knob->SetPosition(-1);
  EXPECT_EQ(CountColour(knob->PaintPicture(clWhite), clRed), 0);
  knob->SetPosition(0);
  const int marked = CountColour(knob->PaintPicture(clWhite), clRed);
  EXPECT_GT(marked, 20);
  knob->SetEnabled(false);
  EXPECT_EQ(CountColour(knob->PaintPicture(clWhite), clRed), 0);
  knob->SetFaceColor(clLime);
  EXPECT_EQ(CountColour(knob->PaintPicture(clWhite), clLime), 0) << "a disabled face is clBtnFace";
}

TEST_F(KnobTest, TheDotMarkSitsEightPixelsInsideTheRim) {
  knob->SetTickColor(clRed);
  knob->SetMarkStyle(msCircle);
  knob->SetPosition(0);
  const TBitmap& picture = knob->PaintPicture(clWhite);
  // cx = cy = 56 div 2 + 2 = 30: the dot's centre is (30 + 22, 30).
  EXPECT_EQ(picture.Pixel(52, 30), clRed);
  EXPECT_NE(picture.Pixel(52, 38), clRed);
  EXPECT_GT(CountColour(picture, clWhite), 0) << "the white dot under it";
  knob->SetFaceColor(clLime);
  EXPECT_EQ(knob->PaintPicture(clWhite).Pixel(28, 28), clLime);
}

TEST_F(KnobTest, TheRotationEffectMakesOddPositionsOnePixelLower) {
  knob->SetRotationEffect(true);
  knob->SetTickColor(clRed);
  knob->SetPosition(90);
  const int evenBottom = LowestRowOf(knob->PaintPicture(clWhite), ColorToRGB(clBtnShadow));
  knob->SetPosition(91);
  const int oddBottom = LowestRowOf(knob->PaintPicture(clWhite), ColorToRGB(clBtnShadow));
  EXPECT_EQ(oddBottom, evenBottom + 1) << "the rim's shadow reaches one row lower";
  knob->SetPosition(92);
  EXPECT_EQ(LowestRowOf(knob->PaintPicture(clWhite), ColorToRGB(clBtnShadow)), evenBottom);
}
