#include "app/core/FrameDefaults.h"

#include "platform/Graphics.h"
#include "scene/Frame.h"

namespace {

constexpr TColor kGreen = 0x0000FF00;
constexpr TColor kGrey = 0x00808080;

// The shape integers that rectangles and ellipses share; only the bevel style differs.
TShapeParams NewShapeParams(std::int32_t bevelStyle) {
  TShapeParams shape;
  shape.GradientStyle = 0;
  shape.FillColor1 = static_cast<std::int32_t>(kGreen);
  shape.FillColor2 = static_cast<std::int32_t>(kGreen);
  shape.BackgroundColor = static_cast<std::int32_t>(clWhite);
  shape.GradientAngle = 90;
  shape.BevelStyle = bevelStyle;
  shape.BevelWidth = 0;
  shape.BevelColor1 = static_cast<std::int32_t>(clWhite);
  shape.BevelColor2 = static_cast<std::int32_t>(kGrey);
  shape.BorderWidth = 0;
  shape.BorderColor = static_cast<std::int32_t>(clBlack);
  shape.CornerSize = 0;
  return shape;
}

}  // namespace

TShapeFrameDefaults DefaultRectangleFrame() {
  TShapeFrameDefaults frame;
  frame.Kind = fkRectangle;
  frame.Width = 50;
  frame.Height = 50;
  frame.Shape = NewShapeParams(0);
  frame.Transparent = false;
  frame.TransparentColor = clWhite;
  return frame;
}

TShapeFrameDefaults DefaultEllipseFrame() {
  TShapeFrameDefaults frame;
  frame.Kind = fkEllipse;
  frame.Width = 100;
  frame.Height = 50;
  frame.Shape = NewShapeParams(1);
  frame.Transparent = true;
  frame.TransparentColor = clWhite;
  return frame;
}

TLineFrameDefaults DefaultLineFrame() { return TLineFrameDefaults{}; }

TPlainTextDefaults DefaultPlainText() {
  // The page's canvas font starts as every new font does: 8 points of "MS Sans Serif".
  const TFont font;
  TPlainTextDefaults text;
  text.Text = "Your Text Here";
  text.FontName = font.Name;
  text.SizeText = "8";
  text.Params.Charset = font.Charset;
  text.Params.TextColor = static_cast<std::int32_t>(font.Color);
  text.Params.FontHeight = font.Height();
  text.Params.FontName = font.Name;
  text.Params.Pitch = static_cast<std::uint8_t>(font.Pitch);
  text.Params.Style = font.Style;
  text.Params.BackgroundColor = static_cast<std::int32_t>(clWhite);
  text.Params.Mode = tdmPlain;
  return text;
}

T3DTextState Default3DTextState() {
  T3DTextState state;
  state.Text = "Text";
  state.FontName = "Arial";
  state.Depth = 0.2;
  state.CameraPositionZ = 3.0;
  state.ViewAngle = 20.0;

  T3DLightState& light1 = state.Lights[0];
  light1.Enabled = 1;
  light1.Kind = 1;
  light1.Color = 0x00808000;
  light1.DirectionX = 0.2;
  light1.DirectionY = 0.2;
  light1.DirectionZ = 1.0;
  light1.CutOff = 45.0;
  light1.PositionZ = -0.5;
  state.Lights[1].DirectionZ = 0.3;

  state.MaterialOn = 1.0;
  state.MaterialColor = 0x00CE6700;
  state.Shininess = 25.0;
  state.TextureRotationY = 180.0;
  state.TextureRotationZ = 180.0;
  state.TextureScaleX = 1.0;
  state.TextureScaleY = 1.0;
  state.ImageWidth = 230;
  state.ImageHeight = 80;
  // The third 4-byte word of the reserved bytes holds -1.
  for (std::size_t i = 8; i < 12; ++i) state.Reserved[i] = 0xFF;
  return state;
}
