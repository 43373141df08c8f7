// The look of a 3D text frame as one record, the colour blend shared with the
// motion path, and the seam through which a frame gets its hidden 3D view,
// camera, lights, material, texture and text object and renders 3D sub-frames.
#pragma once

#include "platform/Colors.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class TFrame;
class TAnimatedScene;
class TQelView;
class TBitmap;

// One light of a 3D text state.
struct T3DLightState {
  std::uint8_t Enabled = 0;
  std::int32_t Kind = 0;
  double Color = 0;  // a $00BBGGRR colour held as a number
  double DirectionX = 0, DirectionY = 0, DirectionZ = 0;
  double CutOff = 0;
  double PositionX = 0, PositionY = 0, PositionZ = 0;
  friend bool operator==(const T3DLightState&, const T3DLightState&) = default;
};

// The look of a 3D text frame, copied whole between the 3D text editor and a frame.
struct T3DTextState {
  std::string Text;      // at most 255 bytes when stored
  std::string FontName;  // at most 255 bytes when stored
  std::uint8_t FontStyle = 0;  // TFontStyle bits
  std::int32_t Charset = 0;
  double Depth = 0;
  double TextPositionX = 0, TextPositionY = 0, TextPositionZ = 0;
  double TextRotationX = 0, TextRotationY = 0, TextRotationZ = 0;
  double CameraPositionX = 0, CameraPositionY = 0, CameraPositionZ = 0;
  double CameraRotationX = 0, CameraRotationY = 0, CameraRotationZ = 0;
  double ViewAngle = 0;
  std::array<T3DLightState, 3> Lights{};
  double MaterialOn = 0;  // on when at least 1
  double MaterialColor = 0;
  double Shininess = 0;
  double TextureOn = 0;  // on when at least 1
  std::string TextureFileName;
  double TextureRotationX = 0, TextureRotationY = 0, TextureRotationZ = 0;
  double TextureScaleX = 0, TextureScaleY = 0;
  double BackgroundColor = 0;
  std::int32_t ImageWidth = 0, ImageHeight = 0;
  std::array<std::uint8_t, 16> Reserved{};
  friend bool operator==(const T3DTextState&, const T3DTextState&) = default;
};

// Blends two $00BBGGRR colours channel by channel (each channel its low 8
// bits): c1 + round(t x (c2 - c1)).
TColor InterpolateColor(TColor c1, TColor c2, double t);

// A colour held as a number in a 3D state: rounded, and its low 32 bits taken,
// so that a system colour stored as a negative number (as the editor's
// signed colours give) and one stored as $80000000 + n both come back as
// $80000000 + n. NaN gives black.
TColor StateColor(double value);

// The font style bits (bold, italic, underline, strikeout) and the character
// set (0 .. 255; another value counts as the default set 1) of a state.
std::uint8_t StateFontStyle(const T3DTextState& state);
std::uint8_t StateFontCharset(const T3DTextState& state);

// A value of a 3D state interpolated at t: s + t x (e - s), exactly s at
// t <= 0 and exactly e at t >= 1.
double InterpolateStateValue(double s, double e, double t);

// The side of a texture for a picture side: the largest power of two not
// above it (1 and 2 stay as they are), as OpenGL 1.1 textures need.
int TextureSide(int size);
// Stretches the picture into texture, made 24-bit with each side cut to TextureSide.
void MakeTextureBitmap(const TBitmap& picture, TBitmap& texture);

// The 3D objects of a frame (view, camera, three lights, material, texture,
// text object). Their layout belongs to the 3D rendering code.
struct TFrame3DObjects;
struct TFrame3DObjectsDeleter {
  void operator()(TFrame3DObjects* objects) const;
};
using TFrame3DObjectsPtr = std::unique_ptr<TFrame3DObjects, TFrame3DObjectsDeleter>;

// Creates the 3D objects of a new frame; its hidden view belongs to the given
// scene (null: no parent). Null when 3D rendering is not available; the frame
// then never renders 3D sub-frames and its other kinds work as usual.
TFrame3DObjectsPtr CreateFrame3DObjects(TFrame& frame, TAnimatedScene* scene);

// Renders the frame's 3D text interpolated at t (0 = start state, 1 = end
// state) into its display image: binds the view to the display image, sets
// the objects from the two states, builds the glyphs again when the text or
// font changed, and redraws. Returns whether a sub-frame was rendered.
bool RenderFrame3DSubFrame(TFrame& frame, TFrame3DObjects& objects, double t);

// Makes the frame's text object build its glyph lists again (after the text changed).
void RebuildFrame3DText(TFrame& frame, TFrame3DObjects& objects);

// True while temporary rendering contexts can be made (3D sub-frames render).
bool Frame3DRenderingAvailable();

// The program's one output view that frames render through when bitmap
// rendering contexts cannot be made. The main window owns it and sets it
// here (null when it goes); frames look it up each time they render.
void SetShared3DOutputView(TQelView* view);
TQelView* Shared3DOutputView();
