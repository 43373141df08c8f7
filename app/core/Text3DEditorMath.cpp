#include "app/core/Text3DEditorMath.h"

#include "imaging/utils.h"
#include "platform/Graphics.h"
#include "platform/Numeric.h"
#include "platform/SysUtils.h"

#include <charconv>
#include <cmath>
#include <numbers>

namespace {

constexpr double kSizeOrigin = 70.001;

double Degrees(double radians) { return radians * 180.0 / std::numbers::pi; }

double WrapAngle(double angle) {
  if (angle < 0) angle += 360;
  if (angle > 360) angle -= 360;
  return angle;
}

int LightType(const T3DLightState& light) {
  if (light.Enabled == 0) return ltOff;
  return light.Kind == 1 ? ltDirect : ltOmni;
}

}  // namespace

// ---- Conversions of single controls ------------------------------------------------------------

double CameraZForSize(int size) { return kSizeOrigin - size; }

int SizeForCameraZ(double cameraZ) {
  if (cameraZ >= 0 && cameraZ <= 70) return Round(kSizeOrigin - cameraZ);
  return Round(cameraZ);
}

std::optional<int> ParseTextSize(std::string_view text) {
  int size = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  if (size < 0 || size > 70) return std::nullopt;
  return size;
}

int ShininessForBar(int position) { return Round((100 - position) / 100.0 * 128); }
int ShininessBarPosition(double shininess) { return Round((128 - shininess) / 128.0 * 100); }
double TextureScaleForBar(int position) { return position / 100.0; }
int TextureScaleBarPosition(double scale) { return Round(scale * 100); }
double HundredthsForBar(int position) { return position / 100.0; }
int BarPositionForHundredths(double value) { return Round(value * 100); }
double TextureRotationZForBar(int position) { return position + 180.0; }
int TextureRotationZBarPosition(double rotationZ) { return Round(rotationZ - 180); }

double ParseDepthText(std::string_view text) {
  double depth = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), depth);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(depth)) return 0.1;
  return depth;
}

std::string FormatDepth(double depth) {
  std::string text = FormatStr("%.2f", FiniteOrZero(depth));
  while (!text.empty() && text.back() == '0') text.pop_back();
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

TSize TextureSizeFor(int width, int height) { return {TextureSide(width), TextureSide(height)}; }

// ---- Lights ---------------------------------------------------------------------------------------

TLightDirection LightDirectionFromBars(double rotationX, double rotationY) {
  TMatrix4 m;
  MatIdentity(m);
  m[3][2] = 0.5;
  MatRotateX(m, rotationX);
  MatRotateY(m, rotationY);
  return {0.5 * m[2][0] + m[3][0], 0.5 * m[2][1] + m[3][1], 0.5 * m[2][2] + m[3][2]};
}

TLightDirection DirectionalLampOffset(double rotationX, double rotationY) {
  const TLightDirection d = LightDirectionFromBars(rotationX, rotationY);
  // The view turns a point p to Rx(Rx angle) Ry(Ry angle) p; undo both turns.
  const double ax = rotationX * std::numbers::pi / 180.0, ay = rotationY * std::numbers::pi / 180.0;
  const double y1 = d.Y * std::cos(ax) + d.Z * std::sin(ax);
  const double z1 = -d.Y * std::sin(ax) + d.Z * std::cos(ax);
  return {d.X * std::cos(ay) - z1 * std::sin(ay), y1, d.X * std::sin(ay) + z1 * std::cos(ay)};
}

void DirectionToLightAngles(double x, double y, double z, double& angleX, double& angleY) {
  const double zs = z - 0.5;
  const double f = Degrees(std::atan2(zs, y));
  const double h = Degrees(std::atan2(std::sqrt(zs * zs + y * y), x));
  if (y > 0) {
    angleX = f + 90;
    angleY = h + 90;
  } else if (x <= 0 && zs <= 0) {
    angleX = f + 450;
    angleY = h + 90;
  } else if (x > 0 && zs <= 0) {
    angleX = f + 270;
    angleY = 90 - h;
  } else if (x <= 0) {
    angleX = f - 90;
    angleY = 450 - h;
  } else {
    angleX = f - 90;
    angleY = 90 - h;
  }
  angleX = WrapAngle(angleX);
  angleY = WrapAngle(angleY);
}

// ---- The seven tabs and a 3D text state ---------------------------------------------------------

T3DEditorControls ControlsFromState(const T3DTextState& state) {
  T3DEditorControls c;
  c.Text = state.Text;
  c.FontName = state.FontName;
  c.Bold = (state.FontStyle & fsBold) != 0;
  c.Italic = (state.FontStyle & fsItalic) != 0;
  c.Charset = state.Charset;
  c.DepthText = FormatDepth(state.Depth);
  c.TextRotationX = Round(state.TextRotationX);
  c.TextRotationY = Round(state.TextRotationY);
  c.TextRotationZ = Round(state.TextRotationZ);
  c.CameraX = BarPositionForHundredths(state.CameraPositionX);
  c.CameraY = BarPositionForHundredths(state.CameraPositionY);
  c.SizeText = IntToStr(SizeForCameraZ(state.CameraPositionZ));
  c.ViewAngle = Round(state.ViewAngle);
  for (std::size_t i = 0; i < c.Lights.size(); ++i) {
    const T3DLightState& light = state.Lights[i];
    T3DLightControls& lc = c.Lights[i];
    lc.Type = LightType(light);
    lc.Color = StateColor(light.Color);
    double angleX = 0, angleY = 0;
    DirectionToLightAngles(light.DirectionX, light.DirectionY, light.DirectionZ, angleX, angleY);
    lc.RotationX = Round(angleX);
    lc.RotationY = Round(angleY);
    lc.X = BarPositionForHundredths(light.PositionX);
    lc.Y = BarPositionForHundredths(light.PositionY);
    lc.Z = BarPositionForHundredths(light.PositionZ);
  }
  c.MaterialColor = StateColor(state.MaterialColor);
  c.ShininessBar = ShininessBarPosition(state.Shininess);
  c.TextureEnabled = state.TextureOn >= 1;
  c.TextureFileName = state.TextureFileName;
  c.TextureRotationZBar = TextureRotationZBarPosition(state.TextureRotationZ);
  c.TextureScaleXBar = TextureScaleBarPosition(state.TextureScaleX);
  c.TextureScaleYBar = TextureScaleBarPosition(state.TextureScaleY);
  c.BackgroundColor = StateColor(state.BackgroundColor);
  return c;
}

void StateFromControls(const T3DEditorControls& c, T3DTextState& state) {
  state.Text = c.Text;
  state.FontName = c.FontName;
  state.FontStyle = static_cast<std::uint8_t>((state.FontStyle & ~(fsBold | fsItalic)) | (c.Bold ? fsBold : 0) |
                                              (c.Italic ? fsItalic : 0));
  state.Charset = c.Charset;
  state.Depth = ParseDepthText(c.DepthText);
  state.TextRotationX = c.TextRotationX;
  state.TextRotationY = c.TextRotationY;
  state.TextRotationZ = c.TextRotationZ;
  state.CameraPositionX = HundredthsForBar(c.CameraX);
  state.CameraPositionY = HundredthsForBar(c.CameraY);
  if (const std::optional<int> size = ParseTextSize(c.SizeText)) state.CameraPositionZ = CameraZForSize(*size);
  state.ViewAngle = c.ViewAngle;
  for (std::size_t i = 0; i < c.Lights.size(); ++i) {
    const T3DLightControls& lc = c.Lights[i];
    T3DLightState& light = state.Lights[i];
    light.Enabled = lc.Type == ltOff ? 0 : 1;
    if (lc.Type == ltDirect) {
      light.Kind = 1;
      const TLightDirection d = LightDirectionFromBars(lc.RotationX, lc.RotationY);
      light.DirectionX = d.X;
      light.DirectionY = d.Y;
      light.DirectionZ = d.Z;
    } else if (lc.Type == ltOmni) {
      light.Kind = 0;
      light.PositionX = HundredthsForBar(lc.X);
      light.PositionY = HundredthsForBar(lc.Y);
      light.PositionZ = HundredthsForBar(lc.Z);
    }
    light.Color = lc.Color;
  }
  state.MaterialOn = 1.0;
  state.MaterialColor = c.MaterialColor;
  state.Shininess = ShininessForBar(c.ShininessBar);
  state.TextureOn = c.TextureEnabled ? 1.0 : 0.0;
  state.TextureFileName = c.TextureFileName;
  state.TextureRotationZ = TextureRotationZForBar(c.TextureRotationZBar);
  state.TextureScaleX = TextureScaleForBar(c.TextureScaleXBar);
  state.TextureScaleY = TextureScaleForBar(c.TextureScaleYBar);
  state.BackgroundColor = c.BackgroundColor;
}

void StoreEditorState(const T3DTextState& editor, T3DTextState& start, T3DTextState& end, bool editEnd) {
  for (T3DTextState* both : {&start, &end}) {
    both->Text = editor.Text;
    both->FontName = editor.FontName;
    both->FontStyle = editor.FontStyle;
    both->Charset = editor.Charset;
    both->TextPositionX = editor.TextPositionX;
    both->TextPositionY = editor.TextPositionY;
    both->TextPositionZ = editor.TextPositionZ;
    for (std::size_t i = 0; i < both->Lights.size(); ++i) {
      both->Lights[i].Enabled = editor.Lights[i].Enabled;
      both->Lights[i].Kind = editor.Lights[i].Kind;
    }
    both->MaterialOn = 1.0;
    both->TextureOn = editor.TextureOn;
    both->TextureFileName = editor.TextureFileName;
    both->BackgroundColor = editor.BackgroundColor;
    both->ImageWidth = editor.ImageWidth;
    both->ImageHeight = editor.ImageHeight;
  }
  T3DTextState& selected = editEnd ? end : start;
  selected.Depth = editor.Depth;
  selected.TextRotationX = editor.TextRotationX;
  selected.TextRotationY = editor.TextRotationY;
  selected.TextRotationZ = editor.TextRotationZ;
  selected.CameraPositionX = editor.CameraPositionX;
  selected.CameraPositionY = editor.CameraPositionY;
  selected.CameraPositionZ = editor.CameraPositionZ;
  selected.CameraRotationX = editor.CameraRotationX;
  selected.CameraRotationY = editor.CameraRotationY;
  selected.CameraRotationZ = editor.CameraRotationZ;
  selected.ViewAngle = editor.ViewAngle;
  for (std::size_t i = 0; i < selected.Lights.size(); ++i) {
    const T3DLightState& from = editor.Lights[i];
    T3DLightState& to = selected.Lights[i];
    to.Color = from.Color;
    to.DirectionX = from.DirectionX;
    to.DirectionY = from.DirectionY;
    to.DirectionZ = from.DirectionZ;
    to.CutOff = from.CutOff;
    to.PositionX = from.PositionX;
    to.PositionY = from.PositionY;
    to.PositionZ = from.PositionZ;
  }
  selected.MaterialColor = editor.MaterialColor;
  selected.Shininess = editor.Shininess;
  selected.TextureRotationX = editor.TextureRotationX;
  selected.TextureRotationY = editor.TextureRotationY;
  selected.TextureRotationZ = editor.TextureRotationZ;
  selected.TextureScaleX = editor.TextureScaleX;
  selected.TextureScaleY = editor.TextureScaleY;
}

bool EditsEndState(bool animationOn, int changesItem) { return animationOn && changesItem == 1; }
