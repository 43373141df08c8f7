#include "platform/Graphics.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void Make(TBitmap& b, int w, int h, TPixelFormat f = pf24bit, TColor fill = clWhite) {
  b.SetPixelFormat(f);
  b.Canvas().Brush().Color = fill;
  b.SetSize(w, h);
}

// The bitmap as text: '.' for white, 'P' for the pen colour (black), 'B' for
// the brush colour (red), '?' otherwise. Rows are separated by '|'.
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

void PenAndBrush(TCanvas& c) {
  c.Pen().Color = clBlack;
  c.Brush().Color = clRed;
}

// The picture of a white w x h bitmap after drawing with a black pen and a red brush.
template <typename Draw>
std::string Drawn(int w, int h, Draw draw, TPixelFormat f = pf24bit) {
  TBitmap b;
  Make(b, w, h, f);
  PenAndBrush(b.Canvas());
  draw(b.Canvas());
  return Picture(b);
}

}  // namespace

TEST(CanvasRectangles, OutlineAndFillStopBeforeRightAndBottom) {
  EXPECT_EQ(Drawn(6, 5, [](TCanvas& c) { c.Rectangle(1, 1, 5, 4); }), "......|.PPPP.|.PBBP.|.PPPP.|......");
  EXPECT_EQ(Drawn(5, 4, [](TCanvas& c) { c.FrameRect(Rect(1, 0, 4, 3)); }), ".BBB.|.B.B.|.BBB.|.....");  // with the brush
}

TEST(CanvasRectangles, PenStylesDecideTheOutline) {
  // Without a pen the fill is one pixel smaller.
  EXPECT_EQ(Drawn(5, 4, [](TCanvas& c) { c.Pen().Style = psClear; c.Rectangle(0, 0, 4, 3); }), "BBB..|BBB..|.....|.....");
  // A clear brush draws only the outline; coordinates are normalised.
  EXPECT_EQ(Drawn(4, 4, [](TCanvas& c) { c.Brush().Style = bsClear; c.Rectangle(4, 4, 0, 0); }), "PPPP|P..P|P..P|PPPP");
  EXPECT_EQ(Drawn(6, 6, [](TCanvas& c) { c.Pen().Width = 2; c.Pen().Style = psInsideFrame; c.Rectangle(0, 0, 6, 6); }),
            "PPPPPP|PPPPPP|PPBBPP|PPBBPP|PPPPPP|PPPPPP");
}

TEST(CanvasRectangles, RoundRectCutsItsCorners) {
  EXPECT_EQ(Drawn(10, 10, [](TCanvas& c) { c.RoundRect(0, 0, 10, 10, 6, 6); }),
            ".PPPPPPPP.|PPBBBBBBPP|PBBBBBBBBP|PBBBBBBBBP|PBBBBBBBBP|PBBBBBBBBP|PBBBBBBBBP|PBBBBBBBBP|PPBBBBBBPP|.PPPPPPPP.");
}

TEST(CanvasEllipses, StayInsideTheirBoundsAndTouchEverySide) {
  for (const TRect r : {Rect(0, 0, 10, 6), Rect(2, 1, 9, 8), Rect(1, 1, 3, 3)}) {
    TBitmap b;
    Make(b, 12, 10);
    PenAndBrush(b.Canvas());
    b.Canvas().Ellipse(r);
    bool left = false, right = false, top = false, bottom = false;
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 12; ++x) {
        if (b.Pixel(x, y) == clWhite) continue;
        EXPECT_TRUE(PtInRect(r, Point(x, y))) << x << "," << y;
        left |= x == r.Left;
        right |= x == r.Right - 1;
        top |= y == r.Top;
        bottom |= y == r.Bottom - 1;
        // Symmetric about the centre of the bounds.
        EXPECT_EQ(b.Pixel(r.Left + r.Right - 1 - x, y), b.Pixel(x, y));
        EXPECT_EQ(b.Pixel(x, r.Top + r.Bottom - 1 - y), b.Pixel(x, y));
      }
    EXPECT_TRUE(left && right && top && bottom);
  }
}

TEST(CanvasEllipses, OutlineAroundABrushFilledInside) {
  EXPECT_EQ(Drawn(9, 9, [](TCanvas& c) { c.Ellipse(0, 0, 9, 9); }),
            "..PPPPP..|.PPBBBPP.|PPBBBBBPP|PBBBBBBBP|PBBBBBBBP|PBBBBBBBP|PPBBBBBPP|.PPBBBPP.|..PPPPP..");
}

TEST(CanvasLines, OnePixelLinesLeaveOutTheirLastPixel) {
  const TPoint ends[][2] = {{{1, 1}, {6, 3}}, {{6, 3}, {1, 1}}, {{2, 0}, {2, 5}}, {{0, 0}, {5, 5}}, {{5, 1}, {0, 1}}};
  for (const auto& e : ends) {
    TBitmap b;
    Make(b, 8, 7);
    b.Canvas().MoveTo(e[0].X, e[0].Y);
    b.Canvas().LineTo(e[1].X, e[1].Y);
    EXPECT_EQ(b.Canvas().PenPos(), e[1]);
    EXPECT_EQ(b.Pixel(e[0].X, e[0].Y), clBlack);
    EXPECT_EQ(b.Pixel(e[1].X, e[1].Y), clWhite);
    int count = 0;
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 8; ++x) count += b.Pixel(x, y) == clBlack;
    EXPECT_EQ(count, std::max(std::abs(e[1].X - e[0].X), std::abs(e[1].Y - e[0].Y)));
  }
}

TEST(CanvasLines, ABentLineMeetsWithoutGapsOrDoublePixels) {
  TBitmap b;
  Make(b, 5, 5, pf24bit, clRed);
  b.Canvas().Pen().Color = clWhite;
  b.Canvas().Pen().Mode = pmXor;
  b.Canvas().Polyline({Point(0, 0), Point(4, 0), Point(4, 4)});
  // XOR twice would restore red at the corner.
  EXPECT_EQ(Picture(b), "?????|BBBB?|BBBB?|BBBB?|BBBBB");
  EXPECT_EQ(b.Pixel(4, 0), clAqua);
}

TEST(CanvasLines, WideLinesHaveRoundCapsAndExactWidth) {
  EXPECT_EQ(Drawn(12, 7, [](TCanvas& c) { c.Pen().Width = 3; c.MoveTo(3, 3); c.LineTo(8, 3); }),
            "............|............|..PPPPPPPP..|..PPPPPPPP..|..PPPPPPPP..|............|............");
  EXPECT_EQ(Drawn(12, 6, [](TCanvas& c) { c.Pen().Width = 2; c.MoveTo(2, 3); c.LineTo(8, 3); }),
            "............|............|.PPPPPPPP...|.PPPPPPPP...|............|............");
}

TEST(CanvasLines, DottedPenFillsItsGapsWithASolidBrush) {
  EXPECT_EQ(Drawn(12, 2, [](TCanvas& c) {
              c.Pen().Style = psDot;
              c.MoveTo(0, 0); c.LineTo(12, 0);
              c.Brush().Style = bsClear;
              c.MoveTo(0, 1); c.LineTo(12, 1);
            }),
            "PPPBBBPPPBBB|PPP...PPP...");
}

TEST(CanvasLines, PenModes) {
  TBitmap b;
  Make(b, 3, 1, pf24bit, clRed);
  b.Canvas().Pen().Mode = pmNot;
  b.Canvas().MoveTo(0, 0);
  b.Canvas().LineTo(1, 0);
  EXPECT_EQ(b.Pixel(0, 0), clAqua);
  b.Canvas().Pen().Mode = pmNop;
  b.Canvas().LineTo(2, 0);
  EXPECT_EQ(b.Pixel(1, 0), clRed);
  b.Canvas().Pen().Mode = pmMerge;
  b.Canvas().Pen().Color = clBlue;
  b.Canvas().LineTo(3, 0);
  EXPECT_EQ(b.Pixel(2, 0), clFuchsia);
}

TEST(CanvasLines, LinesFarOutsideAreClipped) {
  TBitmap b;
  Make(b, 4, 4);
  b.Canvas().MoveTo(-100, 2);
  b.Canvas().LineTo(100, 2);
  EXPECT_EQ(Picture(b), "....|....|PPPP|....");
  b.Canvas().SetClipRegion(CreateRectRgn(1, 0, 3, 4));
  b.Canvas().MoveTo(-100, 1);
  b.Canvas().LineTo(100, 1);
  EXPECT_EQ(Picture(b), "....|.PP.|PPPP|....");
}

TEST(CanvasPolygons, FillAlternateLeavesEvenlyCrossedAreasOpen) {
  EXPECT_EQ(Drawn(9, 9, [](TCanvas& c) {
              c.Pen().Style = psClear;
              c.Polygon({Point(0, 0), Point(8, 0), Point(8, 8), Point(0, 8), Point(0, 2), Point(6, 2), Point(6, 6),
                         Point(2, 6), Point(2, 2), Point(0, 2)});
            }),
            "BBBBBBBB.|BBBBBBBB.|BB....BB.|BB....BB.|BB....BB.|BB....BB.|BBBBBBBB.|BBBBBBBB.|.........");
}

TEST(CanvasPolygons, TriangleFillAndOutline) {
  EXPECT_EQ(Drawn(5, 5, [](TCanvas& c) { c.Polygon({Point(0, 0), Point(4, 0), Point(0, 4)}); }),
            "PPPPP|PBBP.|PBP..|PP...|P....");
  EXPECT_EQ(Drawn(5, 5, [](TCanvas& c) { c.Pen().Style = psClear; c.Polygon({Point(0, 0), Point(4, 0), Point(0, 4)}); }),
            "BBBB.|BBB..|BB...|B....|.....");
}

TEST(CanvasFills, FillRectIsExclusiveAndClippedInEveryFormat) {
  EXPECT_EQ(Drawn(5, 4, [](TCanvas& c) { c.FillRect(Rect(1, 1, 3, 3)); }), ".....|.BB..|.BB..|.....");
  EXPECT_EQ(Drawn(5, 2, [](TCanvas& c) { c.FillRect(Rect(-10, -10, 100, 100)); }), "BBBBB|BBBBB");
  EXPECT_EQ(Drawn(7, 3, [](TCanvas& c) { c.FillRect(Rect(1, 0, 6, 3)); }, pf4bit), ".BBBBB.|.BBBBB.|.BBBBB.");
}

TEST(CanvasFills, HatchedBrushLeavesTheSpaceBetweenItsLines) {
  EXPECT_EQ(Drawn(8, 8, [](TCanvas& c) { c.Brush().Style = bsHorizontal; c.FillRect(Rect(0, 0, 8, 8)); }),
            "........|........|........|........|........|........|........|BBBBBBBB");
}

TEST(CanvasFills, EveryShapeAndPixelMarksTheBitmapChangedOnce) {
  TBitmap b;
  Make(b, 10, 10);
  b.SetModified(false);
  int changes = 0;
  b.OnChange = [&](TBitmap&) { ++changes; };
  b.Canvas().Ellipse(0, 0, 10, 10);
  b.Canvas().Polygon({Point(0, 0), Point(9, 0), Point(0, 9)});
  b.Canvas().Rectangle(0, 0, 5, 5);
  b.Canvas().FillRect(Rect(0, 0, 3, 3));
  b.SetPixel(0, 0, clRed);
  EXPECT_EQ(changes, 5);
  EXPECT_TRUE(b.Modified());
}

TEST(CanvasRegions, AnEllipticClipRegionLimitsTheFill) {
  TBitmap b;
  Make(b, 10, 10);
  b.Canvas().SetClipRegion(CreateEllipticRgn(0, 0, 10, 10));
  b.Canvas().Brush().Color = clBlack;
  b.Canvas().FillRect(Rect(0, 0, 10, 10));
  EXPECT_EQ(b.Pixel(0, 0), clWhite);
  EXPECT_EQ(b.Pixel(5, 5), clBlack);
  EXPECT_EQ(b.Pixel(0, 5), clBlack);
  EXPECT_EQ(b.Canvas().Pixel(0, 0), 0xFFFFFFFFu);
}

TEST(CanvasRegions, CurvedRegionsLeaveOutTheLastColumnAndRowOfTheirBounds) {
  const TRegion ellipse = CreateEllipticRgn(0, 0, 10, 10);
  EXPECT_TRUE(RegionContains(ellipse, 0, 4));
  EXPECT_TRUE(RegionContains(ellipse, 8, 4));
  EXPECT_FALSE(RegionContains(ellipse, 9, 4));
  EXPECT_TRUE(RegionContains(ellipse, 4, 8));
  EXPECT_FALSE(RegionContains(ellipse, 4, 9));
  EXPECT_TRUE(RegionContains(CreateRectRgn(0, 0, 10, 10), 9, 9));

  // A rounded region one larger than the image fills it with symmetric corners.
  EXPECT_EQ(Drawn(8, 6, [](TCanvas& c) { c.SetClipRegion(CreateRoundRectRgn(0, 0, 9, 7, 4, 4)); c.FillRect(Rect(0, 0, 8, 6)); }),
            ".BBBBBB.|BBBBBBBB|BBBBBBBB|BBBBBBBB|BBBBBBBB|.BBBBBB.");
}

TEST(CanvasExtremes, FiguresFarLargerThanTheBitmapCostOnlyTheBitmap) {
  TBitmap b;
  Make(b, 6, 4);
  PenAndBrush(b.Canvas());
  b.Canvas().Ellipse(-1000000000, -1000000000, 1000000000, 1000000000);
  EXPECT_EQ(Picture(b), "BBBBBB|BBBBBB|BBBBBB|BBBBBB");
  b.Canvas().MoveTo(-2000000000, 1);
  b.Canvas().LineTo(2000000000, 1);
  EXPECT_EQ(Picture(b), "BBBBBB|PPPPPP|BBBBBB|BBBBBB");
  b.Canvas().Pen().Width = 1000000;
  b.Canvas().Pen().Color = clWhite;
  b.Canvas().MoveTo(INT32_MIN, INT32_MIN);
  b.Canvas().LineTo(INT32_MAX, INT32_MAX);
  EXPECT_EQ(Picture(b), "......|......|......|......");
  b.Canvas().Pen().Style = psClear;
  // The long edge runs along x + y = 6.
  b.Canvas().Polygon({Point(-1000000000, -1000000000), Point(1000000006, -1000000000), Point(-1000000000, 1000000006)});
  EXPECT_EQ(Picture(b), "BBBBBB|BBBBB.|BBBB..|BBB...");
  b.Canvas().FrameRect(Rect(INT32_MIN, 2, INT32_MAX, INT32_MAX));
  b.Canvas().Brush().Color = clBlack;
  b.Canvas().FrameRect(Rect(INT32_MIN, 2, INT32_MAX, INT32_MAX));
  EXPECT_EQ(Picture(b), "BBBBBB|BBBBB.|PPPPPP|BBB...");
}

TEST(CanvasExtremes, DashesKeepTheirPhaseWhereALineEntersTheBitmap) {
  // A dotted pen: three on, three off.
  EXPECT_EQ(Drawn(8, 1, [](TCanvas& c) { c.Pen().Style = psDot; c.Brush().Style = bsClear; c.MoveTo(-100, 0); c.LineTo(100, 0); }),
            "..PPP...");
}
