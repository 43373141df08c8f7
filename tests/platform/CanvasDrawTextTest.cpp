// Formatted text: the layout DrawText computes (measured against TextWidth
// and TextHeight, never against glyph pixels) and where it puts the ink.
#include "platform/Fonts.h"
#include "platform/Graphics.h"

#include <gtest/gtest.h>

#include <QFontMetrics>

#include <string>

namespace {

class CanvasDrawTextTest : public testing::Test {
 protected:
  CanvasDrawTextTest() {
    bitmap.Canvas().Brush().Color = clWhite;
    bitmap.SetSize(200, 80);
    canvas().Font().Color = clBlack;
    canvas().Brush().Style = bsClear;
  }
  TCanvas& canvas() { return bitmap.Canvas(); }
  int Width(const std::string& text) { return canvas().TextWidth(text); }
  int LineHeight() { return canvas().TextHeight("Ag"); }

  TRect Measured(const std::string& text, TRect rect, unsigned format) {
    canvas().DrawText(text, rect, format | DT_CALCRECT);
    return rect;
  }
  // The smallest rectangle holding every pixel that is not white.
  TRect Ink() const {
    TRect ink = Rect(bitmap.Width(), bitmap.Height(), 0, 0);
    for (int y = 0; y < bitmap.Height(); ++y)
      for (int x = 0; x < bitmap.Width(); ++x)
        if (bitmap.Pixel(x, y) != clWhite) ink = Rect(std::min(ink.Left, x), std::min(ink.Top, y),
                                                      std::max(ink.Right, x + 1), std::max(ink.Bottom, y + 1));
    return ink;
  }
  void Clear() {
    const std::optional<TRegion> clip = canvas().ClipRegion();
    canvas().SetClipRegion(std::nullopt);
    canvas().Brush().Style = bsSolid;
    canvas().Brush().Color = clWhite;
    canvas().FillRect(Rect(0, 0, bitmap.Width(), bitmap.Height()));
    canvas().Brush().Style = bsClear;
    canvas().SetClipRegion(clip);
  }
  TRect InkOf(const std::string& text, TRect rect, unsigned format) {
    Clear();
    canvas().DrawText(text, rect, format);
    return Ink();
  }

  TBitmap bitmap;
};

}  // namespace

TEST_F(CanvasDrawTextTest, MeasuringGivesTheTextsExtentAndDrawsNothing) {
  const TRect r = Measured("Gauge", Rect(10, 5, 11, 6), DT_SINGLELINE);
  EXPECT_EQ(r, Rect(10, 5, 10 + Width("Gauge"), 5 + LineHeight()));
  EXPECT_EQ(Ink(), Rect(200, 80, 0, 0)) << "nothing drawn";
  TRect empty = Rect(3, 4, 50, 60);
  EXPECT_EQ(canvas().DrawText("", empty, DT_CALCRECT), 0);
  EXPECT_EQ(empty, Rect(3, 4, 3, 4)) << "an empty text is 0 wide and 0 high";
}

TEST_F(CanvasDrawTextTest, AmpersandsMarkAcceleratorsUnlessPrefixesAreOff) {
  EXPECT_EQ(Measured("&File", Rect(0, 0, 0, 0), 0).Right, Width("File"));
  EXPECT_EQ(Measured("Save && Exit", Rect(0, 0, 0, 0), 0).Right, Width("Save & Exit"));
  EXPECT_EQ(Measured("&File", Rect(0, 0, 0, 0), DT_NOPREFIX).Right, Width("&File"));
  // A lone "&" shows nothing: it measures as an empty text.
  EXPECT_EQ(Measured("&", Rect(0, 0, 0, 0), 0), Rect(0, 0, 0, 0));
  EXPECT_EQ(Measured("& ", Rect(0, 0, 0, 0), 0), Rect(0, 0, Width(" "), LineHeight()));
}

TEST_F(CanvasDrawTextTest, TheAcceleratorIsUnderlinedUnderItsCharacter) {
  const int ascent = QFontMetrics(ToQFont(canvas().Font())).ascent();
  TRect r = Rect(10, 10, 190, 70);
  canvas().DrawText("x&ax", r, 0);
  const int row = 10 + ascent + 1;
  const int from = 10 + Width("x"), to = 10 + Width("xa");
  for (int x = from; x < to; ++x) EXPECT_EQ(bitmap.Pixel(x, row), clBlack) << "underline at " << x;
  EXPECT_EQ(bitmap.Pixel(from - 1, row), clWhite) << "the x before has no line";
  EXPECT_EQ(bitmap.Pixel(to, row), clWhite) << "nor the x after";
  // Without prefix processing there is no line.
  Clear();
  r = Rect(10, 10, 190, 70);
  canvas().DrawText("xax", r, DT_NOPREFIX);
  for (int x = from; x < to; ++x) EXPECT_EQ(bitmap.Pixel(x, row), clWhite);
}

TEST_F(CanvasDrawTextTest, LinesBreakAtCarriageReturnsAndLineFeeds) {
  const TRect r = Measured("ab\r\ncd\nlonger\rx", Rect(0, 0, 0, 0), 0);
  EXPECT_EQ(r.Bottom, 4 * LineHeight());
  EXPECT_EQ(r.Right, Width("longer"));
  EXPECT_EQ(Measured("ab\r\ncd", Rect(0, 0, 0, 0), DT_SINGLELINE).Bottom, LineHeight()) << "one line";
}

TEST_F(CanvasDrawTextTest, WordBreakWrapsBetweenWordsToTheWidth) {
  const int fits = Width("one two");
  TRect r = Measured("one two three", Rect(0, 0, fits, 0), DT_WORDBREAK);
  EXPECT_EQ(r.Bottom, 2 * LineHeight());
  EXPECT_EQ(r.Right, std::max(fits, Width("three")));
  // A word wider than the rectangle keeps a line of its own and widens it.
  r = Measured("a verylongword b", Rect(0, 0, Width("a b"), 0), DT_WORDBREAK);
  EXPECT_EQ(r.Bottom, 3 * LineHeight());
  EXPECT_EQ(r.Right, Width("verylongword"));
  // Without DT_WORDBREAK nothing wraps.
  EXPECT_EQ(Measured("one two three", Rect(0, 0, fits, 0), 0).Bottom, LineHeight());
}

TEST_F(CanvasDrawTextTest, TabsExpandToStopsOfEightAverageCharacters) {
  const int stop = 8 * QFontMetrics(ToQFont(canvas().Font())).averageCharWidth();
  EXPECT_EQ(Measured("a\tb", Rect(0, 0, 0, 0), DT_EXPANDTABS).Right, stop + Width("b"));
  EXPECT_EQ(Measured("a\t\tb", Rect(0, 0, 0, 0), DT_EXPANDTABS).Right, 2 * stop + Width("b"));
  EXPECT_NE(Measured("a\tb", Rect(0, 0, 0, 0), 0).Right, stop + Width("b"));
}

TEST_F(CanvasDrawTextTest, AlignmentMovesTheInkByTheSpareRoom) {
  const TRect box = Rect(20, 10, 180, 70);
  const int w = Width("Mix"), h = LineHeight();
  const TRect left = InkOf("Mix", box, DT_SINGLELINE);
  ASSERT_FALSE(left.IsEmpty());
  EXPECT_GE(left.Left, 20);
  EXPECT_LE(left.Right, 20 + w);
  EXPECT_GE(left.Top, 10);
  EXPECT_LE(left.Bottom, 10 + h);

  TRect centred = left;
  OffsetRect(centred, (160 - w) / 2, (60 - h) / 2);
  EXPECT_EQ(InkOf("Mix", box, DT_SINGLELINE | DT_CENTER | DT_VCENTER), centred);
  TRect bottomRight = left;
  OffsetRect(bottomRight, 160 - w, 60 - h);
  EXPECT_EQ(InkOf("Mix", box, DT_SINGLELINE | DT_RIGHT | DT_BOTTOM), bottomRight);

  TRect r = box;
  EXPECT_EQ(canvas().DrawText("Mix", r, DT_SINGLELINE | DT_VCENTER), (60 - h) / 2 + h)
      << "from the rectangle's top to the text's bottom";
  EXPECT_EQ(r, box) << "drawing leaves the rectangle as it was";
}

TEST_F(CanvasDrawTextTest, TextIsClippedToTheRectangleUnlessToldNotTo) {
  const TRect narrow = Rect(20, 10, 24, 40);
  const TRect clipped = InkOf("WWWW", narrow, 0);
  EXPECT_GE(clipped.Left, 20);
  EXPECT_LE(clipped.Right, 24);
  EXPECT_GT(InkOf("WWWW", narrow, DT_NOCLIP).Right, 24);
  // A clip already set still holds.
  canvas().SetClipRegion(CreateRectRgn(0, 0, 22, 80));
  EXPECT_LE(InkOf("WWWW", narrow, DT_NOCLIP).Right, 22);
  EXPECT_LE(InkOf("WWWW", narrow, 0).Right, 22);
  ASSERT_TRUE(canvas().ClipRegion().has_value());
  EXPECT_EQ(canvas().ClipRegion()->bounds, Rect(0, 0, 22, 80)) << "the caller's clip is restored";
}

TEST_F(CanvasDrawTextTest, ASolidBrushFillsTheTextCells) {
  canvas().Brush().Style = bsSolid;
  canvas().Brush().Color = clRed;
  TRect r = Rect(10, 10, 190, 70);
  canvas().DrawText("a\tb", r, DT_EXPANDTABS);
  const int stop = 8 * QFontMetrics(ToQFont(canvas().Font())).averageCharWidth();
  EXPECT_EQ(bitmap.Pixel(10 + stop - 1, 10), clRed) << "the tab's room takes the brush too";
  EXPECT_EQ(bitmap.Pixel(10 + stop + Width("b"), 10), clWhite);
  EXPECT_EQ(bitmap.Pixel(10, 10 + LineHeight()), clWhite);
}

TEST_F(CanvasDrawTextTest, RectanglesAtTheEndsOfTheIntegerRangeAreSafe) {
  TRect r = Rect(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
  canvas().DrawText("far\r\naway", r, DT_RIGHT | DT_WORDBREAK);
  r = Rect(INT32_MAX - 2, INT32_MAX - 2, INT32_MAX, INT32_MAX);
  canvas().DrawText("far", r, DT_CALCRECT);
  EXPECT_EQ(r.Right, INT32_MAX) << "the extent stops at the end of the range";
  r = Rect(INT32_MIN, 0, INT32_MIN + 1, 10);
  canvas().DrawText("far", r, DT_SINGLELINE | DT_RIGHT | DT_BOTTOM);
  EXPECT_EQ(Ink(), Rect(200, 80, 0, 0)) << "nothing lands on the bitmap";
}
