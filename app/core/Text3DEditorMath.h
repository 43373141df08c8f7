// The 3D text editor's arithmetic without its widgets: how the controls of
// its seven tabs stand for the fields of a 3D text state and back, the size,
// shininess, scale and camera conversions, the light direction of the angle
// bars and its inverse, and the texture's power-of-two size.
#pragma once

#include "platform/Colors.h"
#include "platform/Geometry.h"
#include "scene/Text3DFrame.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

// ---- Conversions of single controls ------------------------------------------------------------

// ComboBoxSize: camera Z = 70.001 - size.
double CameraZForSize(int size);
// The size shown for a camera Z: round(70.001 - z) for z from 0 to 70, else round(z).
int SizeForCameraZ(double cameraZ);
// A size text that is a whole number from 0 to 70; nothing for any other text.
std::optional<int> ParseTextSize(std::string_view text);
// ScrollBarMaterialShininess: shininess = round((100 - position) / 100 x 128), and back.
int ShininessForBar(int position);
int ShininessBarPosition(double shininess);
// ScrollBarTextureScaleX/Y: scale = position / 100, and back.
double TextureScaleForBar(int position);
int TextureScaleBarPosition(double scale);
// ScrollBarCameraX/Y and the light position bars: value = position / 100, and back.
double HundredthsForBar(int position);
int BarPositionForHundredths(double value);
// ScrollBarTextureRotZ: rotation Z = position + 180, and back.
double TextureRotationZForBar(int position);
int TextureRotationZBarPosition(double rotationZ);
// ComboBoxDepth: the text as a real number; 0.1 for a text that is not a
// finite number (the whole text must be the number).
double ParseDepthText(std::string_view text);
// A depth as ComboBoxDepth shows it: two decimals, trailing zeros and a
// trailing point cut ("1.5", "0.2", "1").
std::string FormatDepth(double depth);
// SetTextureBitmap: each side the largest power of two not above it (300 x 100 gives 256 x 64).
TSize TextureSizeFor(int width, int height);

// ---- Lights ---------------------------------------------------------------------------------------

struct TLightDirection {
  double X = 0, Y = 0, Z = 0;
};

// LightPosChange for a directional light: the direction of the angle bars
// Light_Rot_X, Light_Rot_Y (degrees): a translation by (0, 0, 0.5) rotated
// about X and then Y; 0.5 x the matrix's third row + its fourth row.
TLightDirection LightDirectionFromBars(double rotationX, double rotationY);
// DirectionToLightAngles: the two angle bar values (0 to 360) of a direction.
void DirectionToLightAngles(double x, double y, double z, double& angleX, double& angleY);
// The lamp of a directional light is drawn turned by its two angles (about X,
// then about Y, as the view turns objects) and then moved along its turned
// axes by this offset, so that it stands where the light comes from: at the
// direction of the angle bars.
TLightDirection DirectionalLampOffset(double rotationX, double rotationY);

// ---- The seven tabs and a 3D text state ---------------------------------------------------------

enum TLightTypeItem { ltDirect = 0, ltOmni = 1, ltOff = 2 };

// The controls of one light on the Lights tab.
struct T3DLightControls {
  int Type = ltOff;          // LightType
  TColor Color = 0;          // LightColorButton
  int RotationX = 0, RotationY = 0;  // Light_Rot_X, Light_Rot_Y (0 to 360)
  int X = 0, Y = 0, Z = 0;   // LightX, LightY, LightZ (-1000 to 1000)
};

// The values of the editor's controls that stand for state fields.
struct T3DEditorControls {
  std::string Text;             // EditNewText
  std::string FontName;         // FontsList
  bool Bold = false, Italic = false;  // Bold_TextButton, Italic_Font_Button
  int Charset = 0;              // the character set of the chosen font
  std::string DepthText;        // ComboBoxDepth
  int TextRotationX = 0, TextRotationY = 0, TextRotationZ = 0;  // ScrollBarTextRotX/Y/Z
  int CameraX = 0, CameraY = 0;  // ScrollBarCameraX/Y
  std::string SizeText;         // ComboBoxSize
  int ViewAngle = 20;           // CameraFOVSpin
  std::array<T3DLightControls, 3> Lights;
  TColor MaterialColor = 0;     // Button_3DTextColor, LightMaterialColorButton
  int ShininessBar = 0;         // ScrollBarMaterialShininess
  bool TextureEnabled = false;  // CheckBoxTexture
  std::string TextureFileName;  // EditTextureFileName
  int TextureRotationZBar = 0;  // ScrollBarTextureRotZ
  int TextureScaleXBar = 100, TextureScaleYBar = 100;  // ScrollBarTextureScaleX/Y
  TColor BackgroundColor = 0;   // Button_3DBackground
  friend bool operator==(const T3DEditorControls&, const T3DEditorControls&) = default;
};

// LoadText3DEditor: the control values that show the state.
T3DEditorControls ControlsFromState(const T3DTextState& state);
// The state fields the controls stand for, written into state; fields
// without a control (text position, camera rotation, texture rotation X and
// Y, cut-off angles, the image size, reserved bytes) are left as they are. A
// size text that is no size leaves the camera Z; a directional light takes
// its direction from its bars, a point light its position.
void StateFromControls(const T3DEditorControls& controls, T3DTextState& state);
// Store3DSettings: the editor's state written into a frame's two states.
// Text, font, style, character set, text position, material on (always
// 1.0), texture on and file name, background colour, image size and the
// lights' enabled flags and kinds go into both; the other fields only into
// the selected one (the end state when editEnd, else the start state).
void StoreEditorState(const T3DTextState& editor, T3DTextState& start, T3DTextState& end, bool editEnd);
// The selected state of a frame: the end state for "La&st Position" (item 1)
// while its 3D animation is on, else the start state.
bool EditsEndState(bool animationOn, int changesItem);
