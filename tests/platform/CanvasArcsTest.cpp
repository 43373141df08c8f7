// Arcs, pies and the focus rectangle on the canvas.
#include "platform/Graphics.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The bitmap as text: '.' white, 'P' the pen colour (black), 'B' the brush
// colour (red), '?' anything else; rows separated by '|'.
std::string Picture(const TBitmap& b) {
  std::string s;
  for (int y = 0; y < b.Height(); ++y) {
    if (y) s += '|';
    for (int x = 0; x < b.Width(); ++x) {
      const TColor c = b.Pixel(x, y);
      s += c == clWhite ? '.' : c == clBlack ? 'P' : c == clRed ? 'B' : '?';
    }
  }
  return s;
}

template <typename Draw>
std::string Drawn(int w, int h, Draw draw) {
  TBitmap b;
  b.Canvas().Brush().Color = clWhite;
  b.SetSize(w, h);
  b.Canvas().Pen().Color = clBlack;
  b.Canvas().Brush().Color = clRed;
  draw(b.Canvas());
  return Picture(b);
}

const char kEllipse10[] =
    "...PPPP...|.PPBBBBPP.|.PBBBBBBP.|PBBBBBBBBP|PBBBBBBBBP|PBBBBBBBBP|PBBBBBBBBP|.PBBBBBBP.|.PPBBBBPP.|...PPPP...";

}  // namespace

TEST(CanvasArcs, APieRunsCounterClockwiseFromTheFirstRayToTheSecond) {
  // From 3 o'clock up to 12 o'clock: the top right quarter, closed by its radii.
  EXPECT_EQ(Drawn(10, 10, [](TCanvas& c) { c.Pie(0, 0, 10, 10, 10, 4, 4, 0); }),
            "....PPP...|....PBBPP.|....PBBBP.|....PBBBBP|....PPPPPP|..........|..........|..........|..........|"
            "..........");
  // From 3 o'clock to 9 o'clock: the upper half, its base the two radii.
  EXPECT_EQ(Drawn(10, 10, [](TCanvas& c) { c.Pie(0, 0, 10, 10, 10, 4, 0, 4); }),
            "...PPPP...|.PPBBBBPP.|.PBBBBBBP.|PBBBBBBBBP|PPPPPPPPPP|..........|..........|..........|..........|"
            "..........");
}

TEST(CanvasArcs, APieStaysInsideTheEllipseOfItsBounds) {
  // Every pixel a pie draws is a pixel of the ellipse of the same bounds.
  const std::string ellipse = kEllipse10;
  for (const auto& [x3, y3, x4, y4] : {std::tuple{10, 4, 4, 0}, std::tuple{0, 9, 9, 9}, std::tuple{4, 0, 10, 4}}) {
    const std::string pie = Drawn(10, 10, [&](TCanvas& c) { c.Pie(0, 0, 10, 10, x3, y3, x4, y4); });
    for (std::size_t i = 0; i < pie.size(); ++i) {
      if (pie[i] != '.') {
        EXPECT_NE(ellipse[i], '.') << "pixel " << i << " of the pie from " << x3 << "," << y3;
      }
    }
  }
}

TEST(CanvasArcs, RaysOfOneDirectionGiveTheWholeEllipseWithOneRadius) {
  const std::string pie = Drawn(10, 10, [](TCanvas& c) { c.Pie(0, 0, 10, 10, 20, 20, 9, 9); });
  EXPECT_EQ(pie, "...PPPP...|.PPBBBBPP.|.PBBBBBBP.|PBBBBBBBBP|PBBBPBBBBP|PBBBBPBBBP|PBBBBBPBBP|.PBBBBBPP.|.PPBBBBPP.|"
                 "...PPPP...");
}

TEST(CanvasArcs, AnArcDrawsOnlyItsPartOfTheOutline) {
  // From 9 o'clock down and round to 3 o'clock: the lower half of the outline.
  EXPECT_EQ(Drawn(10, 10, [](TCanvas& c) { c.Arc(0, 0, 10, 10, 0, 5, 10, 5); }),
            "..........|..........|..........|..........|..........|P........P|P........P|.P......P.|.PP....PP.|"
            "...PPPP...");
  // The whole arc is the ellipse's outline.
  const std::string ring = Drawn(10, 10, [](TCanvas& c) { c.Arc(0, 0, 10, 10, 9, 5, 9, 5); });
  std::string outline = kEllipse10;
  for (char& ch : outline) {
    if (ch == 'B') ch = '.';
  }
  EXPECT_EQ(ring, outline);
}

TEST(CanvasArcs, APieWithoutAPenIsFilledOnlyAndAClearBrushLeavesItsInside) {
  EXPECT_EQ(Drawn(10, 10, [](TCanvas& c) { c.Pen().Style = psClear; c.Pie(0, 0, 10, 10, 10, 4, 0, 4); }),
            "..BBBBB...|.BBBBBBB..|BBBBBBBBB.|BBBBBBBBB.|BBBBBBBBB.|..........|..........|..........|..........|"
            "..........")
      << "the upper half of the 9 x 9 ellipse a pen-less Ellipse fills";
  const std::string outlined = Drawn(10, 10, [](TCanvas& c) { c.Brush().Style = bsClear; c.Pie(0, 0, 10, 10, 10, 4, 0, 4); });
  EXPECT_EQ(outlined.find('B'), std::string::npos);
  EXPECT_EQ(outlined.substr(0, 10), "...PPPP...");
}

TEST(CanvasArcs, AnXorPieInvertsEachPixelOnce) {
  // Outline and radii overlap at the centre; XOR must still touch each pixel once.
  TBitmap b;
  b.Canvas().Brush().Color = clWhite;
  b.SetSize(12, 12);
  b.Canvas().Pen().Mode = pmXor;
  b.Canvas().Pen().Color = clWhite;
  b.Canvas().Brush().Style = bsClear;
  b.Canvas().Pie(0, 0, 12, 12, 12, 5, 5, 0);
  b.Canvas().Pie(0, 0, 12, 12, 12, 5, 5, 0);
  EXPECT_EQ(Picture(b).find_first_not_of(".|"), std::string::npos) << "drawing twice restores every pixel";
}

TEST(CanvasArcs, DegenerateBoundsDrawNothingOutsideThem) {
  EXPECT_EQ(Drawn(4, 3, [](TCanvas& c) { c.Pie(1, 1, 1, 3, 0, 0, 4, 4); }), "....|....|....");
  EXPECT_EQ(Drawn(4, 3, [](TCanvas& c) { c.Arc(2, 2, 2, 2, 0, 0, 0, 0); }), "....|....|....");
  // Huge bounds cost no more than the bitmap: the lower right quarter of an
  // ellipse centred on (0, 0), its radii along the top row and the left column.
  const std::string big =
      Drawn(4, 3, [](TCanvas& c) { c.Pie(-1000000, -1000000, 1000000, 1000000, 0, 1000, 1000, 0); });
  EXPECT_EQ(big, "PPPP|PBBB|PBBB");
  const std::string huge = Drawn(4, 3, [](TCanvas& c) { c.Pie(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 0, 9, 9, 0); });
  EXPECT_EQ(huge, "....|....|....") << "beyond 2^30 pixels across: nothing";
}

TEST(CanvasFocusRect, InvertsEveryOtherPixelOfTheFrameAndASecondCallRemovesIt) {
  TBitmap b;
  b.Canvas().Brush().Color = clWhite;
  b.SetSize(8, 6);
  b.Canvas().DrawFocusRect(Rect(1, 1, 7, 5));
  EXPECT_EQ(Picture(b), "........|.P.P.P..|......P.|.P......|..P.P.P.|........");
  b.Canvas().DrawFocusRect(Rect(1, 1, 7, 5));
  EXPECT_EQ(Picture(b), "........|........|........|........|........|........");
  // An empty rectangle draws nothing; a one-pixel-high one draws one row.
  b.Canvas().DrawFocusRect(Rect(3, 3, 3, 5));
  b.Canvas().DrawFocusRect(Rect(0, 2, 4, 3));
  EXPECT_EQ(Picture(b), "........|........|P.P.....|........|........|........");
}

TEST(CanvasFocusRect, FollowsTheClipAndInvertsColours) {
  TBitmap b;
  b.Canvas().Brush().Color = clRed;
  b.SetSize(4, 4);
  b.Canvas().SetClipRegion(CreateRectRgn(0, 0, 4, 1));
  b.Canvas().DrawFocusRect(Rect(0, 0, 4, 4));
  EXPECT_EQ(b.Pixel(0, 0), RGB(0, 255, 255)) << "red inverted";
  EXPECT_EQ(b.Pixel(2, 0), RGB(0, 255, 255));
  EXPECT_EQ(b.Pixel(1, 0), clRed);
  EXPECT_EQ(b.Pixel(0, 2), clRed) << "outside the clip";
}
