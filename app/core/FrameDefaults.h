// The looks every new generated frame starts from: rectangle, ellipse, line,
// plain text and 3D text, as the Insert and Sprite commands and the text page
// create them.
#pragma once

#include "platform/Colors.h"
#include "platform/Geometry.h"
#include "scene/Painters.h"
#include "scene/Text3DFrame.h"

#include <cstdint>
#include <string>

// A new rectangle or ellipse frame: its kind, image size, shape integers and transparency.
struct TShapeFrameDefaults {
  std::int32_t Kind = 0;
  std::int32_t Width = 0, Height = 0;
  TShapeParams Shape;
  bool Transparent = false;
  TColor TransparentColor = clWhite;
};

// A new line frame: its ends, width, colours and transparency (the background is the key).
struct TLineFrameDefaults {
  TPoint Start{10, 10};
  TPoint End{50, 50};
  std::int32_t Width = 2;
  TColor LineColor = 0x0000FF00;
  TColor Background = clWhite;
  bool Transparent = true;
};

// What the plain text page shows before any frame fills it.
struct TPlainTextDefaults {
  std::string Text;
  std::string FontName;
  std::string SizeText;  // the point size box's text
  TText2DParams Params;  // the page's canvas font as frame parameters
};

TShapeFrameDefaults DefaultRectangleFrame();
TShapeFrameDefaults DefaultEllipseFrame();
TLineFrameDefaults DefaultLineFrame();
TPlainTextDefaults DefaultPlainText();
// The 3D text state of a new 3D text frame: all zero, then "Text" in Arial,
// the camera, one directional light, the material and a 230 x 80 image.
T3DTextState Default3DTextState();
