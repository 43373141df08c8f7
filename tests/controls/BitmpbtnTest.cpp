#include "controls/Bitmpbtn.h"

#include "tests/controls/ControlTestHelpers.h"

#include <gtest/gtest.h>

#include <QTest>

#include <vector>

namespace {

constexpr TColor kMarks[4] = {clRed, clLime, clBlue, clFuchsia};

// A strip of cells of cell x cell pixels on olive (the bottom-left pixel, so
// the transparent colour); cell i has a 2 x 2 block of kMarks[i] at (5, 5).
void MakeStrip(TBitmap& strip, int cells, int cell = 16, int width = -1) {
  strip.SetPixelFormat(pf24bit);
  strip.SetSize(width < 0 ? cells * cell : width, cell);
  strip.Canvas().Brush().Color = clOlive;
  strip.Canvas().FillRect(Rect(0, 0, strip.Width(), strip.Height()));
  for (int i = 0; i < cells; ++i) {
    strip.Canvas().Brush().Color = kMarks[i % 4];
    strip.Canvas().FillRect(Bounds(i * cell + 5, 5, 2, 2));
  }
}

class BitmapButtonTest : public testing::Test {
 protected:
  BitmapButtonTest() { window.resize(300, 200); }
  const TBitmap& Paint(TBitmapButton& b) { return b.PaintPicture(clBlack); }
  QWidget window;
  TBitmapButton* button = new TBitmapButton(&window);
};

}  // namespace

// ---- Glyph strips ----

TEST_F(BitmapButtonTest, StripWidthInWholeCellsSetsTheGlyphCount) {
  EXPECT_EQ(button->Width(), 25);
  EXPECT_EQ(button->Height(), 25);
  TBitmap strip;
  MakeStrip(strip, 3);
  button->SetGlyph(&strip);
  EXPECT_EQ(button->NumGlyphs(), 3);

  MakeStrip(strip, 6);
  button->SetGlyph(&strip);
  EXPECT_EQ(button->NumGlyphs(), 1) << "96 x 16: six cells are taken as one picture";

  button->SetNumGlyphs(2);
  MakeStrip(strip, 1, 16, 50);
  button->SetGlyph(&strip);
  EXPECT_EQ(button->NumGlyphs(), 2) << "50 x 16 leaves the count";
}

TEST_F(BitmapButtonTest, GlyphCountIsOneToFour) {
  button->SetNumGlyphs(7);
  EXPECT_EQ(button->NumGlyphs(), 4);
  button->SetNumGlyphs(0);
  EXPECT_EQ(button->NumGlyphs(), 4) << "no count below 1";
  button->SetNumGlyphs(-3);
  EXPECT_EQ(button->NumGlyphs(), 4);
  button->SetNumGlyphs(1);
  EXPECT_EQ(button->NumGlyphs(), 1);
}

TEST_F(BitmapButtonTest, UpStateShowsCellZeroCentredWithItsBackgroundInTheFace) {
  TBitmap strip;
  MakeStrip(strip, 3);
  button->SetGlyph(&strip);
  button->SetButtonColor(clAqua);
  const TBitmap& picture = Paint(*button);
  // 25 x 25: content (1, 1)-(23, 23), 22 x 22; the 16 x 16 glyph at (1 + 3, 1 + 3).
  EXPECT_EQ(picture.Pixel(9, 9), clRed);
  EXPECT_EQ(picture.Pixel(10, 10), clRed);
  EXPECT_EQ(picture.Pixel(4, 4), clAqua) << "olive background in the face colour";
  EXPECT_EQ(picture.Pixel(19, 19), clAqua);
  EXPECT_EQ(CountPixels(picture, clOlive), 0);

  button->SetButtonColor(clYellow);
  EXPECT_EQ(Paint(*button).Pixel(4, 4), clYellow) << "a colour change rebuilds the glyph images";
}

TEST_F(BitmapButtonTest, DownStateUsesTheThirdCellOrCellZeroAndMovesByOne) {
  window.show();
  TBitmap strip;
  MakeStrip(strip, 3);
  button->SetGlyph(&strip);
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(12, 12));
  EXPECT_EQ(button->State(), bsDown);
  EXPECT_EQ(Paint(*button).Pixel(10, 10), clBlue);
  EXPECT_EQ(Paint(*button).Pixel(9, 9), ColorToRGB(clBtnFace)) << "moved by (1, 1)";
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(12, 12));

  MakeStrip(strip, 2);
  button->SetGlyph(&strip);
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(12, 12));
  EXPECT_EQ(Paint(*button).Pixel(10, 10), clRed) << "fewer than three cells: the down state uses cell 0";
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(12, 12));
}

TEST_F(BitmapButtonTest, DisabledUsesTheSecondCellOrAnEmbossedImage) {
  TBitmap strip;
  MakeStrip(strip, 2);
  button->SetGlyph(&strip);
  button->SetEnabled(false);
  EXPECT_EQ(Paint(*button).Pixel(9, 9), clLime);
  EXPECT_EQ(button->State(), bsDisabled);

  // One cell: a single dark pixel at (3, 3) of the glyph.
  strip.SetSize(16, 16);
  strip.Canvas().Brush().Color = clOlive;
  strip.Canvas().FillRect(Rect(0, 0, 16, 16));
  strip.SetPixel(3, 3, clNavy);
  button->SetGlyph(&strip);
  button->SetShadowLight(clYellow);
  button->SetShadowDark(clGreen);
  const TBitmap& picture = Paint(*button);
  EXPECT_EQ(picture.Pixel(4 + 3, 4 + 3), clGreen) << "the shape in the dark colour in place";
  EXPECT_EQ(picture.Pixel(4 + 4, 4 + 4), clYellow) << "and in the light colour one pixel down and right";
  EXPECT_EQ(picture.Pixel(4 + 5, 4 + 5), ColorToRGB(clBtnFace));
  EXPECT_EQ(picture.Pixel(4 + 2, 4 + 2), ColorToRGB(clBtnFace));
  EXPECT_EQ(CountPixels(picture, clNavy), 0);

  button->SetEnabled(true);
  EXPECT_EQ(Paint(*button).Pixel(7, 7), clNavy);
  EXPECT_EQ(button->State(), bsUp);
}

TEST_F(BitmapButtonTest, DrawingOnTheStripRebuildsTheGlyph) {
  TBitmap strip;
  MakeStrip(strip, 1);
  button->SetGlyph(&strip);
  EXPECT_EQ(Paint(*button).Pixel(9, 9), clRed);
  button->Glyph().Canvas().Brush().Color = clTeal;
  button->Glyph().Canvas().FillRect(Bounds(5, 5, 2, 2));
  EXPECT_EQ(Paint(*button).Pixel(9, 9), clTeal);
}

TEST_F(BitmapButtonTest, GlyphListsAreSharedByGlyphSizeAndFreedWhenUnused) {
  TBitmap strip;
  MakeStrip(strip, 1);
  TBitmapButton other(&window);
  button->SetGlyph(&strip);
  other.SetGlyph(&strip);
  Paint(*button);
  Paint(other);
  ASSERT_NE(GlyphCache(), nullptr);
  EXPECT_EQ(GlyphCache()->ListCount(), 1);
  TBitmap large;
  MakeStrip(large, 1, 20);
  other.SetGlyph(&large);
  Paint(other);
  EXPECT_EQ(GlyphCache()->ListCount(), 2);
  button->SetGlyph(nullptr);
  Paint(*button);
  EXPECT_EQ(GlyphCache()->ListCount(), 1) << "the 16 x 16 list had no more users";
}

TEST_F(BitmapButtonTest, TheGlyphListReusesFreedSlots) {
  TGlyphList list(4, 4);
  TBitmap image;
  image.SetSize(4, 4);
  EXPECT_EQ(list.Add(image), 0);
  EXPECT_EQ(list.AddMasked(image, clWhite), 1);
  EXPECT_EQ(list.Count(), 2);
  list.Delete(0);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Add(image), 0);
  list.Delete(7);
  EXPECT_EQ(list.Count(), 2);
}

// ---- Face ----

TEST_F(BitmapButtonTest, ShadowWidthZeroIsAFlatFace) {
  button->SetShadowWidth(0);
  button->SetButtonColor(clYellow);
  EXPECT_EQ(CountPixels(Paint(*button), clYellow), 25 * 25);
}

TEST_F(BitmapButtonTest, RaisedBevelOfOnePixel) {
  button->SetShadowWidth(1);
  button->SetButtonColor(clYellow);
  button->SetShadowLight(clWhite);
  button->SetShadowDark(clGreen);
  const TBitmap& p = Paint(*button);
  EXPECT_EQ(p.Pixel(0, 0), clWhite);
  EXPECT_EQ(p.Pixel(24, 0), clWhite);
  EXPECT_EQ(p.Pixel(0, 23), clWhite);
  EXPECT_EQ(p.Pixel(24, 1), clGreen);
  EXPECT_EQ(p.Pixel(24, 24), clGreen);
  EXPECT_EQ(p.Pixel(1, 24), clGreen);
  EXPECT_EQ(p.Pixel(1, 1), clYellow);
  EXPECT_EQ(p.Pixel(23, 23), clYellow);
  EXPECT_EQ(CountPixels(p, clYellow), 23 * 23);
}

TEST_F(BitmapButtonTest, SunkenBevelWhilePressed) {
  window.show();
  button->SetShadowWidth(1);
  button->SetButtonColor(clYellow);
  button->SetShadowLight(clWhite);
  button->SetShadowDark(clGreen);
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
  const TBitmap& p = Paint(*button);
  EXPECT_EQ(p.Pixel(0, 0), clGreen);
  EXPECT_EQ(p.Pixel(23, 0), clGreen);
  EXPECT_EQ(p.Pixel(0, 24), clGreen);
  EXPECT_EQ(p.Pixel(24, 0), clWhite);
  EXPECT_EQ(p.Pixel(24, 24), clWhite);
  EXPECT_EQ(p.Pixel(1, 24), clWhite);
  EXPECT_EQ(CountPixels(p, clYellow), 23 * 23);
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
}

// ---- Caption ----

TEST_F(BitmapButtonTest, TextShadowShiftRules) {
  constexpr TColor kShadow = 0x00123456;
  constexpr TColor kText = 0x00654321;
  button->SetBounds(0, 0, 80, 30);
  button->SetCaption("Ab");
  button->SetButtonColor(clWhite);
  button->SetTextColor(kText);
  button->SetTextShadowColor(kShadow);
  button->SetTextShadowShift(0);
  EXPECT_GT(CountPixels(Paint(*button), kText), 0);
  EXPECT_EQ(CountPixels(Paint(*button), kShadow), 0) << "shift 0 draws the caption once";

  button->SetTextShadowShift(2);
  const TBitmap& p = Paint(*button);
  const TRect text = PixelBounds(p, kText);
  const TRect shadow = PixelBounds(p, kShadow);
  EXPECT_EQ(shadow.Right, text.Right + 2);
  EXPECT_EQ(shadow.Bottom, text.Bottom + 2);

  button->SetTextShadowShift(-1);
  EXPECT_EQ(button->TextShadowShift(), 2) << "a negative shift is refused";
  button->SetEnabled(false);
  EXPECT_EQ(CountPixels(Paint(*button), kText), 0) << "a disabled caption is etched in the bevel colours";
}

TEST_F(BitmapButtonTest, CaptionIsCentredWithoutAGlyph) {
  constexpr TColor kText = 0x00654321;
  button->SetBounds(0, 0, 81, 31);
  button->SetCaption("&Apply");
  button->SetTextColor(kText);
  button->SetTextShadowShift(0);
  const TRect text = PixelBounds(Paint(*button), kText);
  TCanvas& canvas = button->Glyph().Canvas();
  canvas.Font() = button->Font();
  const TSize extent = canvas.TextExtent("Apply");
  // Content (1, 1)-(79, 29), 78 x 28: the text cell at margin (78 - w + 1) div 2.
  const int left = 1 + (78 - extent.cx + 1) / 2;
  const int top = 1 + (28 - extent.cy + 1) / 2;
  EXPECT_GE(text.Left, left);
  EXPECT_LE(text.Right, left + extent.cx);
  EXPECT_GE(text.Top, top);
  EXPECT_LE(text.Bottom, top + extent.cy + 2) << "the accelerator's underline is just below the text";
}

TEST_F(BitmapButtonTest, MarginAndLayoutPlaceTheGlyph) {
  TBitmap strip;
  MakeStrip(strip, 1);
  button->SetGlyph(&strip);
  button->SetBounds(0, 0, 60, 25);
  button->SetMargin(2);
  EXPECT_EQ(Paint(*button).Pixel(1 + 2 + 5, 9), clRed);
  button->SetMargin(-5);
  EXPECT_EQ(button->Margin(), 2) << "margins below -1 are refused";
  button->SetLayout(blGlyphRight);
  // Right: at C - margin - G = 57 - 2 - 16 = 39, plus the content origin 1.
  EXPECT_EQ(Paint(*button).Pixel(40 + 5, 9), clRed);
}

// ---- Clicks and groups ----

TEST_F(BitmapButtonTest, AClickIsAReleaseInsideAfterAPress) {
  window.show();
  int clicks = 0;
  button->OnClick = [&](QObject* sender) {
    EXPECT_EQ(sender, button);
    ++clicks;
  };
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(button->State(), bsUp);
  EXPECT_FALSE(button->Down()) << "a button without a group never stays down";

  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseMove(button, QPoint(40, 5));
  EXPECT_EQ(button->State(), bsUp) << "dragged outside, the button looks up";
  QTest::mouseMove(button, QPoint(6, 6));
  EXPECT_EQ(button->State(), bsDown);
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(40, 5));
  EXPECT_EQ(clicks, 1) << "released outside";
  button->SetDown(true);
  EXPECT_FALSE(button->Down());
}

TEST_F(BitmapButtonTest, GroupedButtonsKeepOneDown) {
  window.show();
  TBitmapButton* second = new TBitmapButton(&window);
  second->SetLeft(30);
  button->SetGroupIndex(1);
  second->SetGroupIndex(1);
  int clicks = 0;
  button->OnClick = second->OnClick = [&](QObject*) { ++clicks; };

  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(button->Down());
  EXPECT_EQ(button->State(), bsExclusive);
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(button->Down()) << "the down button of a group stays down";
  EXPECT_EQ(button->State(), bsExclusive);
  QTest::mouseClick(second, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(second->Down());
  EXPECT_FALSE(button->Down());
  EXPECT_EQ(button->State(), bsUp);
  EXPECT_EQ(clicks, 3);

  second->SetAllowAllUp(true);
  EXPECT_TRUE(button->AllowAllUp()) << "the group takes AllowAllUp";
  EXPECT_TRUE(second->Down()) << "changing AllowAllUp of the down button raises nothing";
  QTest::mouseClick(second, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_FALSE(second->Down()) << "with AllowAllUp all may be up";
}

TEST_F(BitmapButtonTest, JoiningAGroupWhileUpLeavesItsDownButtonDown) {
  TBitmapButton* second = new TBitmapButton(&window);
  TBitmapButton* third = new TBitmapButton(&window);
  button->SetGroupIndex(2);
  second->SetGroupIndex(2);
  second->SetDown(true);
  third->SetGroupIndex(2);
  EXPECT_TRUE(second->Down());
  third->SetAllowAllUp(true);
  EXPECT_TRUE(second->Down());
  EXPECT_TRUE(second->AllowAllUp());
  button->SetDown(true);
  EXPECT_TRUE(button->Down());
  EXPECT_FALSE(second->Down());
  EXPECT_FALSE(third->Down());
}

TEST_F(BitmapButtonTest, DoubleClickCountsOnlyWhileDown) {
  window.show();
  int doubles = 0;
  button->OnDblClick = [&](QObject*) { ++doubles; };
  QTest::mouseDClick(button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(doubles, 0);
  button->SetGroupIndex(1);
  button->SetDown(true);
  QTest::mouseDClick(button, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(doubles, 1);
}

TEST_F(BitmapButtonTest, TheAcceleratorClicksAnEnabledButton) {
  ActivateWindow(window);
  int clicks = 0;
  button->OnClick = [&](QObject*) { ++clicks; };
  button->SetCaption("&Apply");
  QTest::keyClick(&window, Qt::Key_A, Qt::AltModifier);
  EXPECT_EQ(clicks, 1);
  button->SetEnabled(false);
  QTest::keyClick(&window, Qt::Key_A, Qt::AltModifier);
  EXPECT_EQ(clicks, 1);
  button->SetEnabled(true);
  button->SetCaption("Apply");
  QTest::keyClick(&window, Qt::Key_A, Qt::AltModifier);
  EXPECT_EQ(clicks, 1) << "a caption without an accelerator has none";
}

// ---- TBlackBitButton ----

namespace {

class BlackBitButtonTest : public testing::Test {
 protected:
  BlackBitButtonTest() {
    window.resize(300, 200);
    button->SetBounds(10, 10, 85, 31);
    button->SetLightWidth(30);
    button->SetLightHeight(4);
  }
  const TBitmap& Paint() { return button->PaintPicture(clBlack); }
  QWidget window;
  TBlackBitButton* button = new TBlackBitButton(&window);
};

const TColor kHighlight = ColorToRGB(clBtnHighlight);
const TColor kShadow = ColorToRGB(clBtnShadow);

}  // namespace

TEST_F(BlackBitButtonTest, DefaultsOfANewButton) {
  TBlackBitButton fresh(&window);
  EXPECT_EQ(fresh.Width(), 65);
  EXPECT_EQ(fresh.Height(), 35);
  EXPECT_EQ(fresh.LightWidth(), 15);
  EXPECT_EQ(fresh.LightHeight(), 8);
  EXPECT_EQ(fresh.BtnColor(), clBlack);
  EXPECT_EQ(fresh.OnColor(), clLime);
  EXPECT_EQ(fresh.OffColor(), clLime);
}

TEST_F(BlackBitButtonTest, TheLampOfAThirtyByFourLightOnAnEightyFiveByThirtyOneButton) {
  EXPECT_EQ(button->LampRect(), Rect(27, 6, 57, 10));
  button->SetOffColor(clRed);
  button->SetOnColor(clLime);
  const TBitmap& p = Paint();
  for (int x = 27; x <= 57; ++x) EXPECT_EQ(p.Pixel(x, 6), kShadow) << x;
  for (int y = 7; y <= 9; ++y) EXPECT_EQ(p.Pixel(27, y), kShadow) << y;
  for (int x = 27; x <= 56; ++x) EXPECT_EQ(p.Pixel(x, 10), kHighlight) << x;
  for (int y = 7; y <= 10; ++y) EXPECT_EQ(p.Pixel(57, y), kHighlight) << y;
  EXPECT_EQ(PixelBounds(p, clRed), Rect(28, 7, 57, 10)) << "the light fills (28, 7)-(57, 10)";
  EXPECT_EQ(CountPixels(p, clRed), 29 * 3);
  EXPECT_EQ(p.Pixel(58, 6), ColorToRGB(clBlack));

  button->SetIsOn(true);
  EXPECT_EQ(PixelBounds(Paint(), clLime), Rect(28, 7, 57, 10));
  button->SetEnabled(false);
  EXPECT_EQ(CountPixels(Paint(), clLime), 0);
  EXPECT_EQ(PixelBounds(Paint(), clBtnFace), Rect(28, 7, 57, 10)) << "a disabled lamp is grey";
}

TEST_F(BlackBitButtonTest, RaisedBevels) {
  const TBitmap& p = Paint();
  const TColor frame = ColorToRGB(clWindowFrame);
  EXPECT_EQ(p.Pixel(0, 0), frame);
  EXPECT_EQ(p.Pixel(84, 30), frame);
  EXPECT_EQ(p.Pixel(1, 1), kHighlight);
  EXPECT_EQ(p.Pixel(83, 1), kHighlight);
  EXPECT_EQ(p.Pixel(1, 29), kHighlight);
  EXPECT_EQ(p.Pixel(2, 2), kHighlight);
  EXPECT_EQ(p.Pixel(2, 28), kHighlight);
  EXPECT_EQ(p.Pixel(82, 2), kHighlight);
  EXPECT_EQ(p.Pixel(83, 2), kShadow);
  EXPECT_EQ(p.Pixel(83, 28), kShadow);
  EXPECT_EQ(p.Pixel(2, 29), kShadow);
  EXPECT_EQ(p.Pixel(82, 3), kShadow);
  EXPECT_EQ(p.Pixel(3, 28), kShadow);
  EXPECT_EQ(p.Pixel(3, 3), ColorToRGB(clBlack)) << "the face in BtnColor";
  EXPECT_EQ(p.Pixel(84, 0), frame);
}

TEST_F(BlackBitButtonTest, PressedLookSinksTheBevelAndMovesTheLamp) {
  button->SetDown(true);
  EXPECT_TRUE(button->Pressed());
  EXPECT_TRUE(button->IsOn());
  EXPECT_EQ(button->LampRect(), Rect(29, 8, 59, 12));
  const TBitmap& p = Paint();
  EXPECT_EQ(p.Pixel(1, 1), kShadow);
  EXPECT_EQ(p.Pixel(2, 2), kShadow);
  EXPECT_EQ(p.Pixel(83, 2), kShadow);
  EXPECT_EQ(p.Pixel(82, 3), ColorToRGB(clBlack)) << "no inner lower bevel when pressed";
  EXPECT_EQ(PixelBounds(p, clLime), Rect(30, 9, 59, 12));
}

TEST_F(BlackBitButtonTest, APlainButtonsLampIsLitWhileItsClickRuns) {
  window.show();
  std::vector<bool> lampDuringClick;
  button->OnClick = [&](QObject*) { lampDuringClick.push_back(button->IsOn()); };
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 20));
  EXPECT_TRUE(button->Pressed());
  QTest::mouseMove(button, QPoint(200, 20));
  EXPECT_FALSE(button->Pressed()) << "dragged outside";
  QTest::mouseMove(button, QPoint(21, 20));
  EXPECT_TRUE(button->Pressed());
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(21, 20));
  EXPECT_EQ(lampDuringClick, std::vector<bool>{true});
  EXPECT_FALSE(button->IsOn());
  EXPECT_FALSE(button->Pressed());
}

TEST_F(BlackBitButtonTest, AFixedButtonToggles) {
  window.show();
  int clicks = 0;
  button->OnClick = [&](QObject*) { ++clicks; };
  button->SetFixed(true);
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(20, 20));
  EXPECT_TRUE(button->Down());
  EXPECT_TRUE(button->IsOn());
  EXPECT_TRUE(button->Pressed());
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(20, 20));
  EXPECT_FALSE(button->Down());
  EXPECT_FALSE(button->IsOn());
  EXPECT_EQ(clicks, 2);
}

TEST_F(BlackBitButtonTest, CaptionSitsBelowTheLamp) {
  constexpr TColor kText = 0x00345678;
  TFont font;
  font.Color = kText;
  button->SetFont(font);
  button->SetCaption("Ok");
  const TRect text = PixelBounds(Paint(), kText);
  ASSERT_FALSE(text.IsEmpty());
  EXPECT_GE(text.Top, 10);
  EXPECT_LE(text.Bottom, 31);
  EXPECT_NEAR((text.Left + text.Right) / 2.0, 85 / 2.0, 3.0);
  button->SetEnabled(false);
  EXPECT_EQ(CountPixels(Paint(), kText), 0);
}
