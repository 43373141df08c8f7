#include "app/core/GalleryRules.h"

#include "imaging/utils.h"
#include "platform/SysUtils.h"
#include "scene/Frame.h"
#include "scene/Moving.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"
#include "scene/UndoRecorder.h"

#include <algorithm>
#include <optional>

namespace {

// Copies a field of the preset when the preset animates it.
template <typename T>
void CopyAnimated(const T& presetStart, const T& presetEnd, T& start, T& end) {
  if (presetStart == presetEnd) return;
  start = presetStart;
  end = presetEnd;
}

void CopyAnimatedLight(const T3DLightState& ps, const T3DLightState& pe, T3DLightState& s, T3DLightState& e) {
  if (ps.Enabled != 0) {
    s.Enabled = 1;
    e.Enabled = 1;
  }
  s.Kind = ps.Kind;
  e.Kind = pe.Kind;
  CopyAnimated(ps.Color, pe.Color, s.Color, e.Color);
  CopyAnimated(ps.DirectionX, pe.DirectionX, s.DirectionX, e.DirectionX);
  CopyAnimated(ps.DirectionY, pe.DirectionY, s.DirectionY, e.DirectionY);
  CopyAnimated(ps.DirectionZ, pe.DirectionZ, s.DirectionZ, e.DirectionZ);
  CopyAnimated(ps.CutOff, pe.CutOff, s.CutOff, e.CutOff);
  CopyAnimated(ps.PositionX, pe.PositionX, s.PositionX, e.PositionX);
  CopyAnimated(ps.PositionY, pe.PositionY, s.PositionY, e.PositionY);
  CopyAnimated(ps.PositionZ, pe.PositionZ, s.PositionZ, e.PositionZ);
}

void CopyColorSpan(const T3DTextState& from, T3DTextState& to) {
  to.Lights = from.Lights;
  to.MaterialOn = from.MaterialOn;
  to.MaterialColor = from.MaterialColor;
  to.Shininess = from.Shininess;
  to.TextureOn = from.TextureOn;
  to.TextureFileName = from.TextureFileName;
  to.TextureRotationX = from.TextureRotationX;
  to.TextureRotationY = from.TextureRotationY;
  to.TextureRotationZ = from.TextureRotationZ;
  to.TextureScaleX = from.TextureScaleX;
  to.TextureScaleY = from.TextureScaleY;
}

using TStateCopy = void (*)(const T3DTextState&, const T3DTextState&, T3DTextState&, T3DTextState&);

bool ApplyStateCopy(TSprite& sprite, int frameIndex, const TFrame& preset, TStateCopy copy) {
  if (frameIndex < 0 || frameIndex >= sprite.FrameCount() || preset.Kind != fkText3D) return false;
  TFrame& frame = sprite.Frame(frameIndex);
  T3DTextState start = frame.StartState, end = frame.EndState;
  copy(preset.StartState, preset.EndState, start, end);
  if (start == frame.StartState && end == frame.EndState) return false;
  RecordUndo(urkSpriteEdit, "Change 3D Text", true, frameIndex, sprite.Id, uokFrame,
             [&frame](TStream& stream) { frame.SaveToStream(stream); });
  frame.StartState = start;
  frame.EndState = end;
  return true;
}

// The fixed position of a path's first step, when it has one.
struct TAnchor {
  double X = 0, Y = 0, Width = 1, Height = 1;
};

std::optional<TAnchor> FirstFixedPosition(TMoving& path) {
  if (path.StepCount() == 0 || path.Step(0).Kind != mskHold) return std::nullopt;
  const TMovingStep& step = path.Step(0);
  return TAnchor{step.StartX, step.StartY, step.ZoomXStart, step.ZoomYStart};
}

double AtLeastFloor(double size) { return std::max(size, 0.05); }

void Reanchor(TMoving& path, const TAnchor& anchor) {
  const TMovingStep& first = path.Step(0);
  const double mx = std::min<double>(first.X1, first.X2), my = std::min<double>(first.Y1, first.Y2);
  const double dw = first.ZoomXStart - anchor.Width, dh = first.ZoomYStart - anchor.Height;
  for (int i = 0; i < path.StepCount(); ++i) {
    TMovingStep& step = path.Step(i);
    step.X1 = step.X1 - mx + anchor.X;
    step.X2 = step.X2 - mx + anchor.X;
    step.Y1 = step.Y1 - my + anchor.Y;
    step.Y2 = step.Y2 - my + anchor.Y;
    step.StartX = double(step.X1);
    step.StartY = double(step.Y1);
    step.ZoomXStart = AtLeastFloor(step.ZoomXStart - dw);
    step.ZoomXEnd = AtLeastFloor(step.ZoomXEnd - dw);
    step.ZoomYStart = AtLeastFloor(step.ZoomYStart - dh);
    step.ZoomYEnd = AtLeastFloor(step.ZoomYEnd - dh);
  }
}

}  // namespace

// ---- Presets -----------------------------------------------------------------------------------------

std::unique_ptr<TAnimatedScene> LoadGalleryPreset(const std::string& fileName) {
  if (!CheckFileChecksum(fileName, true)) return nullptr;
  auto scene = std::make_unique<TAnimatedScene>();
  scene->LoadFromFile(fileName);
  if (scene->Failed != 0 || scene->SpriteCount() == 0) return nullptr;
  return scene;
}

TFrame* PresetFirstFrame(TAnimatedScene& preset) {
  if (preset.SpriteCount() == 0 || preset.Sprite(0).FrameCount() == 0) return nullptr;
  return &preset.Sprite(0).Frame(0);
}

// ---- 3D animation and colour galleries ---------------------------------------------------------------

void CopyAnimatedFields(const T3DTextState& ps, const T3DTextState& pe, T3DTextState& s, T3DTextState& e) {
  CopyAnimated(ps.Depth, pe.Depth, s.Depth, e.Depth);
  CopyAnimated(ps.TextRotationX, pe.TextRotationX, s.TextRotationX, e.TextRotationX);
  CopyAnimated(ps.TextRotationY, pe.TextRotationY, s.TextRotationY, e.TextRotationY);
  CopyAnimated(ps.TextRotationZ, pe.TextRotationZ, s.TextRotationZ, e.TextRotationZ);
  CopyAnimated(ps.CameraPositionX, pe.CameraPositionX, s.CameraPositionX, e.CameraPositionX);
  CopyAnimated(ps.CameraPositionY, pe.CameraPositionY, s.CameraPositionY, e.CameraPositionY);
  CopyAnimated(ps.CameraPositionZ, pe.CameraPositionZ, s.CameraPositionZ, e.CameraPositionZ);
  CopyAnimated(ps.CameraRotationX, pe.CameraRotationX, s.CameraRotationX, e.CameraRotationX);
  CopyAnimated(ps.CameraRotationY, pe.CameraRotationY, s.CameraRotationY, e.CameraRotationY);
  CopyAnimated(ps.CameraRotationZ, pe.CameraRotationZ, s.CameraRotationZ, e.CameraRotationZ);
  CopyAnimated(ps.ViewAngle, pe.ViewAngle, s.ViewAngle, e.ViewAngle);
  for (std::size_t i = 0; i < s.Lights.size(); ++i) CopyAnimatedLight(ps.Lights[i], pe.Lights[i], s.Lights[i], e.Lights[i]);
  if (ps.MaterialOn == 1.0) {
    s.MaterialOn = ps.MaterialOn;
    e.MaterialOn = pe.MaterialOn;
  }
  CopyAnimated(ps.MaterialColor, pe.MaterialColor, s.MaterialColor, e.MaterialColor);
  CopyAnimated(ps.Shininess, pe.Shininess, s.Shininess, e.Shininess);
  if (ps.TextureOn == 1.0) {
    s.TextureOn = ps.TextureOn;
    e.TextureOn = pe.TextureOn;
  }
  if (!ps.TextureFileName.empty()) {
    s.TextureFileName = ps.TextureFileName;
    e.TextureFileName = pe.TextureFileName;
  }
  CopyAnimated(ps.TextureRotationX, pe.TextureRotationX, s.TextureRotationX, e.TextureRotationX);
  CopyAnimated(ps.TextureRotationY, pe.TextureRotationY, s.TextureRotationY, e.TextureRotationY);
  CopyAnimated(ps.TextureRotationZ, pe.TextureRotationZ, s.TextureRotationZ, e.TextureRotationZ);
  CopyAnimated(ps.TextureScaleX, pe.TextureScaleX, s.TextureScaleX, e.TextureScaleX);
  CopyAnimated(ps.TextureScaleY, pe.TextureScaleY, s.TextureScaleY, e.TextureScaleY);
}

void CopyColorFields(const T3DTextState& ps, const T3DTextState& pe, T3DTextState& s, T3DTextState& e) {
  CopyColorSpan(ps, s);
  CopyColorSpan(pe, e);
}

bool ApplyAnimationPreset(TSprite& sprite, int frameIndex, const TFrame& preset) {
  return ApplyStateCopy(sprite, frameIndex, preset, &CopyAnimatedFields);
}

bool ApplyColorPreset(TSprite& sprite, int frameIndex, const TFrame& preset) {
  return ApplyStateCopy(sprite, frameIndex, preset, &CopyColorFields);
}

// ---- Motion gallery ---------------------------------------------------------------------------------

void ApplyMotionPreset(TSprite& sprite, const TMoving& preset) {
  TMoving& path = sprite.Motion();
  const std::optional<TAnchor> anchor = FirstFixedPosition(path);
  RecordUndo(urkSpriteEdit, "Change Motion", true, 0, path.Id, uokPath,
             [&path](TStream& stream) { path.SaveToStream(stream); });
  path.CopyFrom(preset);
  if (anchor && path.StepCount() > 0) {
    Reanchor(path, *anchor);
    path.PrepareSteps(&sprite);
  }
}
