// A sprite's motion path: an ordered list of motion steps worked through one
// after another and wrapping back to the first. Each composed step of the
// scene asks the path for the sprite's position, and a running step
// interpolates zoom, opacity and the drop shadow between its start and end
// values. Effect steps replace the sprite by clones with small paths of their own.
#pragma once

#include "platform/Colors.h"
#include "platform/Geometry.h"
#include "platform/Real48.h"

#include <cstdint>
#include <memory>
#include <vector>

class TAnimatedScene;
class TSprite;
class TEffectSprite;
class TMoving;
class TStream;

// A real kept with the precision of the 6-byte real that project files store:
// every assignment rounds to it, as the stored motion values always were.
class TReal6 {
 public:
  TReal6() = default;
  TReal6(double value) : value_(Real48(value).ToDouble()) {}  // NOLINT: converts like a real
  operator double() const { return value_; }                  // NOLINT

 private:
  double value_ = 0.0;
};

// Kinds of motion steps.
enum : std::int32_t {
  mskBounce = 1,
  mskLine = 2,
  mskHold = 3,
  mskRandomPoints = 4,   // also the clones' own random steps
  mskDirectional = 5,    // effect: clones fly in one direction
  mskBurst = 6,          // effect: clones fly out from the centre
};

// The values that the step editors set together.
struct TMovingStepValues {
  std::int32_t Kind = mskHold;
  double X1 = 0, Y1 = 0, X2 = 40, Y2 = 40;
  double StartX = 0, StartY = 0;
  std::int32_t Angle = 30;
  double SpeedStart = 1.0, SpeedEnd = 1.0;
  double ZoomXStart = 1.0, ZoomXEnd = 1.0;
  double ZoomYStart = 1.0, ZoomYEnd = 1.0;
  std::int32_t Duration = 9;
  std::int32_t CloneCount = 1;
  double Reserved = 100.0;
  std::int32_t EffectAngle = 270;
  std::uint8_t Hide = 0;
  std::int32_t EffectDelay = 10;
  std::int32_t OpacityStart = 100, OpacityEnd = 100;
  std::uint8_t ShadowOn = 0;
  std::int32_t ShadowBlurStart = 3, ShadowBlurEnd = 3;
  std::int32_t ShadowOpacityStart = 50, ShadowOpacityEnd = 50;
  std::int32_t ShadowOffsetStartX = 3, ShadowOffsetStartY = 3;
  std::int32_t ShadowOffsetEndX = 3, ShadowOffsetEndY = 3;
  TColor ShadowColorStart = 0, ShadowColorEnd = 0;
};

class TMovingStep {
 public:
  explicit TMovingStep(TMoving* path);
  ~TMovingStep();
  TMovingStep(const TMovingStep&) = delete;
  TMovingStep& operator=(const TMovingStep&) = delete;

  TMovingStepValues Values() const;
  void SetValues(const TMovingStepValues& values);
  bool IsEffect() const { return Kind > mskHold; }

  // The step record; gates compare the given format version.
  void WriteRecord(TStream& stream, std::int32_t version) const;
  void ReadRecord(TStream& stream, std::int32_t version);
  void SaveToStream(TStream& stream) const;
  void LoadFromStream(TStream& stream);

  // Frees the clones of an effect step.
  void ClearEffectSprites();
  const std::vector<std::unique_ptr<TEffectSprite>>& EffectSprites() const { return effectSprites_; }
  void AddEffectSprite(std::unique_ptr<TEffectSprite> clone);
  TMoving* Path() const { return path_; }

  std::int32_t Kind = mskHold;
  TReal6 X1 = 0.0, Y1 = 0.0, X2 = 40.0, Y2 = 40.0;
  std::int32_t X1Px = 0, Y1Px = 0, X2Px = 0, Y2Px = 0;
  TReal6 StartX = 0.0, StartY = 0.0;
  std::int32_t Angle = 30;
  TReal6 SpeedStart = 1.0, SpeedEnd = 1.0;
  TReal6 ZoomXStart = 1.0, ZoomXEnd = 1.0;
  TReal6 ZoomYStart = 1.0, ZoomYEnd = 1.0;
  std::int32_t StartXPx = 0, StartYPx = 0;
  std::uint8_t RandomStart = 0;
  std::int32_t DirectionX = 0, DirectionY = 0;
  std::int32_t Duration = 9;
  std::int32_t CloneCount = 1;
  TReal6 Reserved = 100.0;
  std::int32_t EffectAngle = 270;
  std::uint8_t Hide = 0;
  std::int32_t EffectDelay = 10;
  std::int32_t OpacityStart = 100, OpacityEnd = 100;
  std::uint8_t ShadowOn = 0;
  std::int32_t ShadowBlurStart = 3, ShadowBlurEnd = 3;
  std::int32_t ShadowOpacityStart = 50, ShadowOpacityEnd = 50;
  std::int32_t ShadowOffsetStartX = 3, ShadowOffsetStartY = 3;
  std::int32_t ShadowOffsetEndX = 3, ShadowOffsetEndY = 3;
  TColor ShadowColorStart = 0, ShadowColorEnd = 0;
  std::int32_t RandomPointX = 0, RandomPointY = 0;

 private:
  std::vector<std::unique_ptr<TEffectSprite>> effectSprites_;
  TMoving* path_;
};

class TMoving {
 public:
  // Most clones one path makes over all its effect steps; larger stored
  // counts are cut to it, so that a damaged file cannot exhaust memory.
  static constexpr std::int32_t kMaxClonesPerPath = 5000;

  explicit TMoving(TAnimatedScene* scene);
  ~TMoving();
  TMoving(const TMoving&) = delete;
  TMoving& operator=(const TMoving&) = delete;

  // Appends a default step (posts 1007 to the scene's notify window and
  // records "Add Motion"); returns its index.
  int AddStep();
  // Appends a step set from the values, without undo; returns its index.
  int AddStepWith(const TMovingStepValues& values, TSprite* sprite);
  // Records "Change Motion", then sets the step at the index.
  void ChangeStep(int index, const TMovingStepValues& values, TSprite* sprite);
  // Stores the values into the step, prepares it and moves the remembered
  // last position to its start.
  void SetStep(TMovingStep& step, const TMovingStepValues& values, TSprite* sprite);
  // Records "Delete Motion" and frees the step.
  void DeleteStep(int index);
  // Moves the step at from to the index to (the others close up), without
  // undo: the caller records the path first. Out-of-range indices do nothing.
  void MoveStep(int from, int to);
  void SetPositionUnits(std::uint8_t value);
  void SetSpeedUnits(std::uint8_t value);

  int StepCount() const { return static_cast<int>(steps_.size()); }
  TMovingStep& Step(int index) { return *steps_.at(static_cast<std::size_t>(index)); }
  const TMovingStep& Step(int index) const { return *steps_.at(static_cast<std::size_t>(index)); }
  // The running step's index, reset to 0 first when out of range.
  int CurrentStepIndex();
  void SetCurrentStepIndex(int index);
  // The running step, or null when the path has no steps.
  TMovingStep* CurrentStep();

  // Prepares every step again (new clones and random starts) and makes the
  // sprite count as moved.
  void PrepareSteps(TSprite* sprite);
  // Takes the other path's steps and settings through its record.
  void CopyFrom(const TMoving& other);

  // The sprite's position in scene pixels at this step; advancing moves the path on.
  TPoint CalcPosition(bool advancing);

  // The path record at the save version (and read version), with the id in undo mode.
  void SaveToStream(TStream& stream) const;
  void LoadFromStream(TStream& stream, TSprite* sprite);
  void WriteRecord(TStream& stream, std::int32_t version, bool withId) const;
  void ReadRecord(TStream& stream, TSprite* sprite, std::int32_t version, bool withId);

  // Resets the running step, its counter and the travelled distance (rewinding).
  void RestartSteps();
  // Makes the sprite count as moved at the next calculation.
  void MarkMoved() { LastX -= 1; }

  TAnimatedScene* Scene() const { return scene_; }
  void SetScene(TAnimatedScene* scene) { scene_ = scene; }

  TReal6 Travelled = 0.0;
  std::int32_t StepCounter = 0;
  std::uint8_t NewRandomPoint = 1;
  std::int32_t ShadowOffsetX = 6, ShadowOffsetY = 6;
  std::int32_t CurrentIndex = 0;  // index of the running step
  std::uint8_t PositionUnits = 1;  // 1 pixels, 0 per cent of the scene size
  std::uint8_t SpeedUnits = 1;     // 1 pixels per step, 0 per cent of the scene width
  std::int32_t HotSpotX = 0, HotSpotY = 0;
  std::uint8_t HotSpotInPercent = 1;
  std::uint8_t FitToScene = 0;
  std::uint8_t KeepAspect = 0;
  std::int32_t ShadowBlur = 8;
  TColor ShadowColor = 0;
  std::int32_t ShadowOpacity = 50;
  TSprite* Sprite = nullptr;
  std::int32_t LoopLimit = -1;
  std::int32_t LastX = 0, LastY = 0;
  std::uint8_t Changed = 1;
  TReal6 ZoomX = 1.0, ZoomY = 1.0;
  TReal6 Opacity = 100.0;
  std::uint8_t NeedsRedraw = 0;
  std::int32_t Id;

 private:
  struct PixelRect {
    std::int32_t x1, y1, x2, y2;
  };
  int SceneWidth() const;
  int SceneHeight() const;
  std::int32_t PositionXToPixels(double value) const;
  std::int32_t PositionYToPixels(double value) const;
  double SpeedToPixels(double speed) const;
  void NextStep();
  void RecordPathUndo(const char* caption) const;
  void PrepareStep(TMovingStep& step, TSprite* sprite);
  void PrepareBounceStart(TMovingStep& step);
  void MakeClones(TMovingStep& step, TSprite* sprite);
  void ConvertToPixels();

  TPoint CalcBounce(TMovingStep& step, const PixelRect& r, bool advancing);
  TPoint CalcLine(TMovingStep& step, const PixelRect& r, bool advancing);
  TPoint CalcHold(TMovingStep& step, bool advancing);
  TPoint CalcRandom(TMovingStep& step, const PixelRect& r, bool advancing);
  TPoint ApplySprite(TPoint point, bool advancing);

  TAnimatedScene* scene_;
  std::vector<std::unique_ptr<TMovingStep>> steps_;
};

// A random integer from 0 to n - 1; 0 for n of 0 or less.
std::int32_t RandInt(std::int32_t n);
// A random real in [0, 1).
double RandReal();
