#include "scene/Painters.h"

#include "tests/scene/SceneTestSupport.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// The bounding box of the pixels of one colour; empty when there are none.
TRect BoxOf(const TBitmap& bitmap, TColor color) {
  TRect box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  bool any = false;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      if (bitmap.Pixel(x, y) == color) {
        any = true;
        box.Left = std::min(box.Left, x);
        box.Top = std::min(box.Top, y);
        box.Right = std::max(box.Right, x + 1);
        box.Bottom = std::max(box.Bottom, y + 1);
      }
  return any ? box : TRect{};
}

TBitmap& Canvas24(TBitmap& bitmap, int w, int h, TColor color = clWhite) {
  MakeSolid(bitmap, w, h, color);
  return bitmap;
}

// ---- FillGradient ------------------------------------------------------------------------------

TEST(GradientFill, EqualColoursFillTheRegionWithOneColourWhateverStyleAndAngle) {
  for (int style : {0, 1, 7})
    for (int angle : {0, 33, 90, 200}) {
      TBitmap bitmap;
      Canvas24(bitmap, 20, 10);
      FillGradient(bitmap, style, angle, clRed, clRed, CreateRectRgn(5, 2, 15, 8));
      EXPECT_EQ(bitmap.Pixel(5, 2), clRed);
      EXPECT_EQ(bitmap.Pixel(14, 7), clRed);
      EXPECT_EQ(bitmap.Pixel(4, 2), clWhite);
      EXPECT_EQ(bitmap.Pixel(15, 7), clWhite);
      EXPECT_FALSE(bitmap.Canvas().ClipRegion().has_value());  // the clipping ends with the fill
    }
}

TEST(GradientFill, AngleNinetyBlendsLinesFromTheTopAndAngleZeroFromTheRightEdge) {
  TBitmap bitmap;
  Canvas24(bitmap, 8, 10);
  FillGradient(bitmap, 0, 90, RGB(0, 0, 0), RGB(200, 0, 100), std::nullopt);
  // n = height = 10 lines from the top: line f has colour1 + f x (colour2 - colour1) / 10.
  for (int y = 0; y < 10; ++y) {
    EXPECT_EQ(bitmap.Pixel(3, y), RGB(static_cast<std::uint8_t>(20 * y), 0, static_cast<std::uint8_t>(10 * y)));
    EXPECT_EQ(bitmap.Pixel(0, y), bitmap.Pixel(7, y));
  }
  Canvas24(bitmap, 10, 4);
  FillGradient(bitmap, 0, 0, RGB(0, 0, 0), RGB(100, 0, 0), std::nullopt);
  // Line f stands at x = width - f: colour1 lies just beyond the right edge.
  EXPECT_EQ(bitmap.Pixel(9, 0), RGB(10, 0, 0));
  EXPECT_EQ(bitmap.Pixel(0, 3), RGB(100, 0, 0));
  EXPECT_EQ(bitmap.Pixel(5, 0), bitmap.Pixel(5, 3));
}

TEST(GradientFill, StripesAt180AlternateFromColourTwo) {
  TBitmap bitmap;
  Canvas24(bitmap, 4, 3);
  FillGradient(bitmap, 1, 180, clRed, clBlue, std::nullopt);
  const std::vector<TColor> row{bitmap.Pixel(0, 1), bitmap.Pixel(1, 1), bitmap.Pixel(2, 1), bitmap.Pixel(3, 1)};
  EXPECT_EQ(row, (std::vector<TColor>{clBlue, clRed, clBlue, clRed}));
}

TEST(GradientFill, SlantedAnglesCoverTheWholeRegion) {
  for (int angle = -180; angle <= 540; angle += 15) {
    TBitmap bitmap;
    Canvas24(bitmap, 23, 17, clWhite);
    FillGradient(bitmap, 0, angle, clRed, clBlue, std::nullopt);
    EXPECT_EQ(BoxOf(bitmap, clWhite), TRect{}) << "angle " << angle;
  }
}

// ---- DrawShape ---------------------------------------------------------------------------------

TShapeParams Shape(int borderWidth, int bevelWidth, int bevelStyle, int corner) {
  TShapeParams s;
  s.GradientStyle = 0;
  s.FillColor1 = s.FillColor2 = static_cast<std::int32_t>(clBlue);
  s.BevelStyle = bevelStyle;
  s.BevelWidth = bevelWidth;
  s.BevelColor1 = static_cast<std::int32_t>(clYellow);
  s.BevelColor2 = static_cast<std::int32_t>(clGreen);
  s.BorderWidth = borderWidth;
  s.BorderColor = static_cast<std::int32_t>(clRed);
  s.CornerSize = corner;
  return s;
}

TEST(ShapePainter, SquareRectangleHasBorderTwoColourBevelAndFill) {
  TBitmap bitmap;
  Canvas24(bitmap, 40, 30, clWhite);
  DrawShape(4, bitmap, Shape(2, 3, 0, 0));
  EXPECT_EQ(bitmap.Pixel(39, 29), clRed);
  EXPECT_EQ(bitmap.Pixel(1, 15), clRed);
  EXPECT_EQ(bitmap.Pixel(2, 15), clYellow);  // upper-left band
  EXPECT_EQ(bitmap.Pixel(20, 2), clYellow);
  EXPECT_EQ(bitmap.Pixel(37, 15), clGreen);  // lower-right band
  EXPECT_EQ(bitmap.Pixel(20, 27), clGreen);
  EXPECT_EQ(bitmap.Pixel(5, 5), clBlue);
  EXPECT_FALSE(bitmap.Canvas().ClipRegion().has_value());
}

TEST(ShapePainter, GradientBevelBandBlendsTheBevelColours) {
  TBitmap bitmap;
  Canvas24(bitmap, 40, 30, clWhite);
  TShapeParams s = Shape(0, 4, 1, 0);
  s.GradientAngle = 90;
  DrawShape(4, bitmap, s);
  EXPECT_EQ(bitmap.Pixel(20, 0), clYellow);  // first line of the band: colour 1
  EXPECT_NE(bitmap.Pixel(20, 29), clYellow);
  EXPECT_EQ(bitmap.Pixel(20, 15), clBlue);
}

TEST(ShapePainter, RoundedCornersAndEllipsesKeepTheBackgroundInTheCorners) {
  // Rounded rectangle (4 with a corner size) and ellipse (5): kind, border, corner, a border pixel.
  for (auto [kind, border, corner, edge] : {std::tuple{4, 2, 16, Point(20, 0)}, {5, 3, 0, Point(1, 15)}}) {
    TBitmap bitmap;
    Canvas24(bitmap, 40, 30, clWhite);
    DrawShape(kind, bitmap, Shape(border, 0, 0, corner));
    EXPECT_EQ(bitmap.Pixel(0, 0), clWhite) << kind;
    EXPECT_EQ(bitmap.Pixel(39, 29), clWhite) << kind;
    EXPECT_EQ(bitmap.Pixel(edge.X, edge.Y), clRed) << kind;
    EXPECT_EQ(bitmap.Pixel(20, 15), clBlue) << kind;
  }
}

// ---- DrawLineImage -------------------------------------------------------------------------------

TEST(LinePainter, ALineImageHoldsTheLineWithHalfItsWidthAroundEvenWhenTheLineHasNoLength) {
  TBitmap bitmap;
  DrawLineImage(bitmap, Point(0, 0), Point(10, 0), clWhite, 3, clRed);
  EXPECT_EQ(std::pair(bitmap.Width(), bitmap.Height()), std::pair(13, 4));
  EXPECT_EQ(bitmap.Pixel(6, 1), clRed);
  EXPECT_EQ(bitmap.Pixel(12, 3), clWhite);
  DrawLineImage(bitmap, Point(5, 5), Point(5, 5), clBlack, 2, clRed);
  EXPECT_EQ(std::pair(bitmap.Width(), bitmap.Height()), std::pair(3, 3));
}

// ---- DrawText2D ---------------------------------------------------------------------------------

TText2DParams TextParams(int mode) {
  TText2DParams p;
  p.FontName = "Arial";
  p.FontHeight = -20;
  p.TextColor = static_cast<std::int32_t>(clBlue);
  p.BackgroundColor = static_cast<std::int32_t>(clWhite);
  p.Mode = mode;
  p.ShadowColor = static_cast<std::int32_t>(clGreen);
  p.ExtrusionColor = static_cast<std::int32_t>(clRed);
  return p;
}

TEST(TextPainter, PlainTextIsSizedToTheTextWithOneDigitMore) {
  TBitmap bitmap;
  DrawText2D(bitmap, "Ab", TextParams(tdmPlain));
  TBitmap probe;
  probe.Canvas().Font().Name = "Arial";
  probe.Canvas().Font().SetHeight(-20);
  EXPECT_EQ(bitmap.Width(), probe.Canvas().TextWidth("Ab0"));
  EXPECT_EQ(bitmap.Height(), probe.Canvas().TextHeight("Ab0"));
  const TRect text = BoxOf(bitmap, clBlue);
  EXPECT_FALSE(text.IsEmpty());
  EXPECT_GE(text.Left, 1);
}

TEST(TextPainter, ShadowAtPositionThreeFallsTwiceTheDistanceRightAndDownAndAtAnUnknownOneNotAtAll) {
  TBitmap bitmap;
  TText2DParams p = TextParams(tdmShadow);
  p.ShadowDistance = 2;
  p.ShadowPosition = 9;
  DrawText2D(bitmap, "H", p);
  EXPECT_EQ(BoxOf(bitmap, clGreen), TRect{});
  p.ShadowPosition = 3;
  DrawText2D(bitmap, "H", p);
  const TRect text = BoxOf(bitmap, clBlue);
  const TRect shadow = BoxOf(bitmap, clGreen);
  ASSERT_FALSE(text.IsEmpty());
  ASSERT_FALSE(shadow.IsEmpty());
  // The text at (2, 2), its shadow at (4, 4): the shadow sticks out by 2 at the lower right.
  EXPECT_EQ(shadow.Right, text.Right + 2);
  EXPECT_EQ(shadow.Bottom, text.Bottom + 2);
}

TEST(TextPainter, ExtrusionDrawsCopiesBehindTheFaceAlongItsAngle) {
  // The boxes of the face and of the extrusion that shows around it.
  const auto extrude = [](int depth, int angle) {
    TBitmap bitmap;
    TText2DParams p = TextParams(tdmExtruded);
    p.Depth = depth;
    p.ExtrusionAngle = angle;
    DrawText2D(bitmap, "I", p);
    return std::pair(BoxOf(bitmap, clBlue), BoxOf(bitmap, clRed));
  };
  // At 45 the copies run from 1 to round(sqrt(100 / 2)) = 7 pixels right and up of the face.
  const auto [face, extrusion] = extrude(10, 45);
  ASSERT_FALSE(face.IsEmpty());
  EXPECT_EQ(extrusion, Rect(face.Left + 1, face.Top - 7, face.Right + 7, face.Bottom - 1));
  // Straight down, the copies show below the face.
  const auto [bar, below] = extrude(6, 270);
  ASSERT_FALSE(bar.IsEmpty());
  EXPECT_EQ(below, Rect(bar.Left, bar.Bottom, bar.Right, bar.Bottom + 6));
}

TEST(TextPainter, AnUnknownModeLeavesAnEmptyImage) {
  TBitmap bitmap;
  MakeSolid(bitmap, 5, 5, clRed);
  DrawText2D(bitmap, "x", TextParams(0));
  EXPECT_EQ(bitmap.Width(), 0);
  EXPECT_EQ(bitmap.Height(), 0);
}

}  // namespace
