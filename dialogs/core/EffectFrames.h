// Frames made by the effects dialog from one frame of a sprite: the eleven
// transitions (a run of frames from the frame to the background colour or to
// the next frame) and the nine filters (one changed frame). The geometry of
// each transition is given by small functions, so that it can be checked
// without drawing.
#pragma once

#include "platform/Colors.h"
#include "platform/Geometry.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class TFrame;
using TFrameList = std::vector<std::unique_ptr<TFrame>>;

// The effects, numbered as the dialog's list (item index + 1).
enum TEffectKind : int {
  ekAperture = 1,
  ekBlend = 2,
  ekBlind = 3,
  ekCross = 4,
  ekDissolve = 5,
  ekFade = 6,
  ekFingers = 7,
  ekGrow = 8,
  ekRotation = 9,
  ekSweep = 10,
  ekWipe = 11,
  ekBlur = 12,
  ekSharpen = 13,
  ekDilate = 14,
  ekErode = 15,
  ekInvert = 16,
  ekBrightness = 17,
  ekContrast = 18,
  ekEmboss = 19,
  ekGammaCorrection = 20,
};

inline bool IsTransitionKind(int kind) { return kind >= ekAperture && kind <= ekWipe; }
inline bool IsFilterKind(int kind) { return kind >= ekBlur && kind <= ekGammaCorrection; }
// The text of the effect in the dialog's effect list ("Aperture", "Blend", ...,
// "Gamma Correction"); empty for a kind outside 1..20.
const char* EffectListText(int kind);

// Directions of the direction buttons.
enum TEffectDirection : int { edRight = 0, edLeft = 1, edTop = 2, edBottom = 3 };

// The dialog's parameters. Each effect reads only its own; the two-way
// choices are named after their first item's meaning.
struct TEffectParameters {
  int FrameCount = 10;            // frames of a transition
  int StepsPerFrame = 2;          // duration of each transition frame
  TColor BackgroundColor = clWhite;
  bool Transparent = true;        // the background colour is transparent in the results
  // The direction the buttons show (Blind, Fade, Fingers, Grow, Sweep); a
  // value outside 0..3 counts as Right.
  int Direction = edRight;

  bool ApertureOut = false;             // "In" / "Out"
  bool BlendToNextFrame = false;        // "Color" / "Next Frame" (when there is a next frame)
  TColor BlendColor = clWhite;          // the target colour of Blend
  bool BlendDissolveAppearance = false; // "Disappearance" / "Appearance" of Blend and Dissolve
  bool DissolveToNextFrame = false;     // "Background Color" / "Next Frame"
  int BlindCount = 10;                  // Blind (Fade has one)
  bool BlindAppearance = true;          // Blind and Fade: "Appearance" / "Disappearance"
  bool CrossAppearance = true;
  int FingerCount = 10;
  bool FingersAppearance = true;
  bool GrowAppearance = true;
  bool SweepAppearance = true;
  bool WipeToEdges = false;             // "To Center" / "To Edges"
  int StartAngle = 0;
  int FinishAngle = 180;
  bool Clockwise = true;

  int Radius = 0;        // Blur, Sharpen, Dilate, Erode: 0..100
  int Brightness = 0;    // Brightness and Contrast: -100..100
  int EmbossDepth = 1;   // 1..14
  TColor EmbossColor = clGray;
  int EmbossAngle = 135;
  int GammaRed = 0, GammaGreen = 0, GammaBlue = 0;  // -100..100

  // The seed of the dissolve's pixel order; none seeds from the clock.
  std::optional<std::int32_t> DissolveSeed;
};

// ---- Geometry ---------------------------------------------------------------------------------

// The direction an effect works in: the buttons' direction, Right when the
// value is not one of the four.
int UsableDirection(int direction);
// The areas filled with the background colour in frame m (1..N) of Aperture,
// Blind, Fade, Cross, Fingers and Wipe, as their rules give them (a rectangle
// may come reversed; it covers its normalised area). Empty for other kinds.
std::vector<TRect> TransitionFillRects(int kind, const TEffectParameters& p, int w, int h, int m);
// Where Grow draws the scaled frame in frame m.
TRect GrowRect(const TEffectParameters& p, int w, int h, int m);
// Where Sweep draws the frame in frame m.
TPoint SweepOffset(const TEffectParameters& p, int w, int h, int m);
// The turn of Rotation in frame m, in degrees (clockwise positive); one frame shows the start angle.
double RotationAngle(const TEffectParameters& p, int m);
// The side of Rotation's square frames for a w x h frame.
int RotationSide(int w, int h);
// True when the effect puts each new frame in front of the ones before (the
// "Appearance" runs that play the disappearance backwards).
bool EmitsInReverse(int kind, const TEffectParameters& p);
// The rectangle with left <= right and top <= bottom.
TRect NormalizedRect(const TRect& r);

// ---- Generation -------------------------------------------------------------------------------

// The frames of the effect, made from source (and next, which may be null).
// sourceTransparent is the source frame's own transparency, which Grow uses
// (the dialog shows the frames without theirs). Both frames are left exactly
// as they were. results is emptied first and, should a step fail, keeps the
// frames made so far. The new frames belong to no sprite and record no undo.
void CreateEffectFrames(int kind, const TEffectParameters& p, TFrame& source, TFrame* next, bool sourceTransparent,
                        TFrameList& results);
// The same, handing the frames to the caller.
TFrameList CreateEffectFrames(int kind, const TEffectParameters& p, TFrame& source, TFrame* next,
                              bool sourceTransparent);

// Gives every result frame its picture again with the transparency and
// transparent colour (the dialog's transparency box and background colour).
void ApplyResultTransparency(TFrameList& results, bool transparent, TColor color);
// Sets the duration of every result frame (no undo).
void SetResultDurations(TFrameList& results, int steps);
