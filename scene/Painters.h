// The four routines that draw the images of generated frames: a two-colour
// gradient or stripe fill at an angle, a rectangle or ellipse with border,
// bevel band and gradient fill, a line, and a line of plain, shadowed or
// extruded text.
#pragma once

#include "platform/Colors.h"
#include "platform/Geometry.h"
#include "platform/Graphics.h"

#include <cstdint>
#include <optional>
#include <string>

// The 12 shape integers of a frame, in their stored order. A line frame uses
// the background, the border width (line width) and border colour (line colour).
struct TShapeParams {
  std::int32_t GradientStyle = 0;  // 0 smooth blend, 1 alternating one-pixel lines
  std::int32_t FillColor1 = 0;
  std::int32_t FillColor2 = 0;
  std::int32_t BackgroundColor = 0;  // the image around the shape
  std::int32_t GradientAngle = 0;    // degrees
  std::int32_t BevelStyle = 0;       // 0 two-colour bevel, 1 gradient band
  std::int32_t BevelWidth = 0;
  std::int32_t BevelColor1 = 0;  // upper left, or gradient start
  std::int32_t BevelColor2 = 0;  // lower right, or gradient end
  std::int32_t BorderWidth = 0;
  std::int32_t BorderColor = 0;
  std::int32_t CornerSize = 0;  // 0 or less: square corners
  friend bool operator==(const TShapeParams&, const TShapeParams&) = default;
};

// Text drawing modes.
enum : std::int32_t { tdmPlain = 1, tdmShadow = 2, tdmExtruded = 3 };

// The 2D text parameters of a frame, in their stored order.
struct TText2DParams {
  std::uint8_t Charset = 0;
  std::int32_t TextColor = 0;
  std::int32_t FontHeight = 0;
  std::string FontName;
  std::uint8_t Pitch = 0;
  std::uint8_t Style = 0;  // TFontStyle bits
  std::int32_t BackgroundColor = 0xFFFFFF;
  std::int32_t Mode = 0;
  std::int32_t ShadowDistance = 0;
  std::int32_t ShadowPosition = 0;  // 1 to 4: top left, top right, bottom right, bottom left
  std::int32_t ShadowColor = 0;
  std::int32_t Depth = 0;
  std::int32_t ExtrusionAngle = 0;
  std::int32_t ExtrusionColor = 0;
  friend bool operator==(const TText2DParams&, const TText2DParams&) = default;
};

// Fills the bitmap (within region, when given) with lines at the angle: a
// smooth blend from colour1 to colour2 (style 0) or alternating lines (style 1).
void FillGradient(TBitmap& bitmap, std::int32_t style, std::int32_t angle, TColor color1, TColor color2,
                  const std::optional<TRegion>& region);

// Draws a rectangle (kind 4) or ellipse (kind 5) over the whole bitmap, which
// the caller has sized and filled with the background colour. The shape's
// background colour is not used here. Errors are swallowed.
void DrawShape(std::int32_t kind, TBitmap& bitmap, const TShapeParams& shape);

// Sizes the bitmap to hold the line and draws it.
void DrawLineImage(TBitmap& bitmap, TPoint start, TPoint end, TColor background, std::int32_t width, TColor color);

// Sizes the bitmap to the text and draws it; an unknown mode leaves it 0 x 0.
void DrawText2D(TBitmap& bitmap, const std::string& text, const TText2DParams& params);
