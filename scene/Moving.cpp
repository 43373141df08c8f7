#include "scene/Moving.h"
#include "scene/RecordReading.h"

#include "platform/Messages.h"
#include "platform/Numeric.h"
#include "platform/Streams.h"
#include "platform/SystemValues.h"
#include "scene/Frame.h"
#include "scene/SceneGlobals.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"
#include "scene/Text3DFrame.h"
#include "scene/UndoRecorder.h"

#include <algorithm>
#include <cmath>
#include <numbers>

std::int32_t RandInt(std::int32_t n) { return n <= 0 ? 0 : Random(n); }

double RandReal() { return RandomReal(); }

namespace {

constexpr double kDegrees = std::numbers::pi / 180.0;

// The slope of a direction given in degrees; 1.0 when the cosine is exactly 0.
double SlopeOf(double degrees) {
  const double radians = degrees * kDegrees;
  if (std::cos(radians) == 0.0) return 1.0;
  return std::tan(radians);
}

// Smallest size of one stored step record (the oldest layout).
constexpr std::int64_t kMinStepRecordSize = 4 + 6 * 6 + 4 + 4 * 6 + 4 + 4 + 6;

}  // namespace

// ---- TMovingStep ------------------------------------------------------------------

TMovingStep::TMovingStep(TMoving* path) : path_(path) {}

TMovingStep::~TMovingStep() = default;

TMovingStepValues TMovingStep::Values() const {
  TMovingStepValues v;
  v.Kind = Kind;
  v.X1 = X1;
  v.Y1 = Y1;
  v.X2 = X2;
  v.Y2 = Y2;
  v.StartX = StartX;
  v.StartY = StartY;
  v.Angle = Angle;
  v.SpeedStart = SpeedStart;
  v.SpeedEnd = SpeedEnd;
  v.ZoomXStart = ZoomXStart;
  v.ZoomXEnd = ZoomXEnd;
  v.ZoomYStart = ZoomYStart;
  v.ZoomYEnd = ZoomYEnd;
  v.Duration = Duration;
  v.CloneCount = CloneCount;
  v.Reserved = Reserved;
  v.EffectAngle = EffectAngle;
  v.Hide = Hide;
  v.EffectDelay = EffectDelay;
  v.OpacityStart = OpacityStart;
  v.OpacityEnd = OpacityEnd;
  v.ShadowOn = ShadowOn;
  v.ShadowBlurStart = ShadowBlurStart;
  v.ShadowBlurEnd = ShadowBlurEnd;
  v.ShadowOpacityStart = ShadowOpacityStart;
  v.ShadowOpacityEnd = ShadowOpacityEnd;
  v.ShadowOffsetStartX = ShadowOffsetStartX;
  v.ShadowOffsetStartY = ShadowOffsetStartY;
  v.ShadowOffsetEndX = ShadowOffsetEndX;
  v.ShadowOffsetEndY = ShadowOffsetEndY;
  v.ShadowColorStart = ShadowColorStart;
  v.ShadowColorEnd = ShadowColorEnd;
  return v;
}

void TMovingStep::SetValues(const TMovingStepValues& v) {
  Kind = v.Kind;
  X1 = v.X1;
  Y1 = v.Y1;
  X2 = v.X2;
  Y2 = v.Y2;
  StartX = v.StartX;
  StartY = v.StartY;
  Angle = v.Angle;
  SpeedStart = v.SpeedStart;
  SpeedEnd = v.SpeedEnd;
  ZoomXStart = v.ZoomXStart;
  ZoomXEnd = v.ZoomXEnd;
  ZoomYStart = v.ZoomYStart;
  ZoomYEnd = v.ZoomYEnd;
  Duration = v.Duration;
  CloneCount = v.CloneCount;
  Reserved = v.Reserved;
  EffectAngle = v.EffectAngle;
  Hide = v.Hide;
  EffectDelay = v.EffectDelay;
  OpacityStart = v.OpacityStart;
  OpacityEnd = v.OpacityEnd;
  ShadowOn = v.ShadowOn;
  ShadowBlurStart = v.ShadowBlurStart;
  ShadowBlurEnd = v.ShadowBlurEnd;
  ShadowOpacityStart = v.ShadowOpacityStart;
  ShadowOpacityEnd = v.ShadowOpacityEnd;
  ShadowOffsetStartX = v.ShadowOffsetStartX;
  ShadowOffsetStartY = v.ShadowOffsetStartY;
  ShadowOffsetEndX = v.ShadowOffsetEndX;
  ShadowOffsetEndY = v.ShadowOffsetEndY;
  ShadowColorStart = v.ShadowColorStart;
  ShadowColorEnd = v.ShadowColorEnd;
}

void TMovingStep::WriteRecord(TStream& s, std::int32_t version) const {
  s.WriteInt32(Kind);
  s.WriteReal48(X1);
  s.WriteReal48(Y1);
  s.WriteReal48(X2);
  s.WriteReal48(Y2);
  s.WriteReal48(StartX);
  s.WriteReal48(StartY);
  s.WriteInt32(Angle);
  s.WriteReal48(SpeedStart);
  s.WriteReal48(SpeedEnd);
  s.WriteReal48(ZoomXStart);
  s.WriteReal48(ZoomXEnd);
  if (version > 12) {
    s.WriteReal48(ZoomYStart);
    s.WriteReal48(ZoomYEnd);
  }
  s.WriteInt32(Duration);
  s.WriteInt32(CloneCount);
  s.WriteReal48(Reserved);
  if (version > 9) {
    s.WriteInt32(EffectAngle);
    s.WriteByte(Hide);
    s.WriteInt32(EffectDelay);
  }
  if (version > 12) {
    s.WriteInt32(OpacityStart);
    s.WriteInt32(OpacityEnd);
    s.WriteByte(ShadowOn);
    s.WriteInt32(ShadowBlurStart);
    s.WriteInt32(ShadowBlurEnd);
    s.WriteInt32(ShadowOpacityStart);
    s.WriteInt32(ShadowOpacityEnd);
    s.WriteInt32(ShadowOffsetStartX);
    s.WriteInt32(ShadowOffsetStartY);
    s.WriteInt32(ShadowOffsetEndX);
    s.WriteInt32(ShadowOffsetEndY);
    s.WriteInt32(static_cast<std::int32_t>(ShadowColorStart));
    s.WriteInt32(static_cast<std::int32_t>(ShadowColorEnd));
  }
}

void TMovingStep::ReadRecord(TStream& s, std::int32_t version) {
  Kind = s.ReadInt32();
  X1 = s.ReadReal48();
  Y1 = s.ReadReal48();
  X2 = s.ReadReal48();
  Y2 = s.ReadReal48();
  StartX = s.ReadReal48();
  StartY = s.ReadReal48();
  Angle = s.ReadInt32();
  SpeedStart = s.ReadReal48();
  SpeedEnd = s.ReadReal48();
  ZoomXStart = s.ReadReal48();
  ZoomXEnd = s.ReadReal48();
  if (version > 12) {
    ZoomYStart = s.ReadReal48();
    ZoomYEnd = s.ReadReal48();
  } else {
    ZoomYStart = static_cast<double>(ZoomXStart);
    ZoomYEnd = static_cast<double>(ZoomXEnd);
  }
  Duration = s.ReadInt32();
  CloneCount = s.ReadInt32();
  Reserved = s.ReadReal48();
  if (version > 9) {
    EffectAngle = s.ReadInt32();
    Hide = s.ReadByte();
    EffectDelay = s.ReadInt32();
  }
  if (version > 12) {
    OpacityStart = s.ReadInt32();
    OpacityEnd = s.ReadInt32();
    ShadowOn = s.ReadByte();
    ShadowBlurStart = s.ReadInt32();
    ShadowBlurEnd = s.ReadInt32();
    ShadowOpacityStart = s.ReadInt32();
    ShadowOpacityEnd = s.ReadInt32();
    ShadowOffsetStartX = s.ReadInt32();
    ShadowOffsetStartY = s.ReadInt32();
    ShadowOffsetEndX = s.ReadInt32();
    ShadowOffsetEndY = s.ReadInt32();
    ShadowColorStart = static_cast<TColor>(s.ReadInt32());
    ShadowColorEnd = static_cast<TColor>(s.ReadInt32());
  }
}

void TMovingStep::SaveToStream(TStream& stream) const { WriteRecord(stream, SaveVersion); }

void TMovingStep::LoadFromStream(TStream& stream) { ReadRecord(stream, ReadVersion); }

void TMovingStep::ClearEffectSprites() { effectSprites_.clear(); }

void TMovingStep::AddEffectSprite(std::unique_ptr<TEffectSprite> clone) { effectSprites_.push_back(std::move(clone)); }

// ---- TMoving: life cycle and editing ------------------------------------------------

TMoving::TMoving(TAnimatedScene* scene) : Id(NewObjectId()), scene_(scene) {}

TMoving::~TMoving() = default;

int TMoving::SceneWidth() const { return scene_ != nullptr ? scene_->Width : 0; }
int TMoving::SceneHeight() const { return scene_ != nullptr ? scene_->Height : 0; }

std::int32_t TMoving::PositionXToPixels(double value) const {
  return PositionUnits != 0 ? Round(value) : Round(value * SceneWidth() / 100.0);
}

std::int32_t TMoving::PositionYToPixels(double value) const {
  return PositionUnits != 0 ? Round(value) : Round(value * SceneHeight() / 100.0);
}

double TMoving::SpeedToPixels(double speed) const {
  return SpeedUnits != 0 ? speed : static_cast<double>(Round(speed * SceneWidth() / 100.0));
}

void TMoving::RecordPathUndo(const char* caption) const {
  RecordUndo(urkSpriteEdit, caption, true, 0, Id, uokPath, [this](TStream& stream) { SaveToStream(stream); });
}

int TMoving::AddStep() {
  if (scene_ != nullptr && scene_->NotifyWindow != 0) PostMessage(scene_->NotifyWindow, WM_MOTIONSTEPADDED, 0, 0);
  RecordPathUndo("Add Motion");
  steps_.push_back(std::make_unique<TMovingStep>(this));
  return StepCount() - 1;
}

int TMoving::AddStepWith(const TMovingStepValues& values, TSprite* sprite) {
  steps_.push_back(std::make_unique<TMovingStep>(this));
  SetStep(*steps_.back(), values, sprite);
  return StepCount() - 1;
}

void TMoving::ChangeStep(int index, const TMovingStepValues& values, TSprite* sprite) {
  if (index < 0 || index >= StepCount()) return;
  RecordPathUndo("Change Motion");
  SetStep(Step(index), values, sprite);
}

void TMoving::SetStep(TMovingStep& step, const TMovingStepValues& values, TSprite* sprite) {
  step.SetValues(values);
  PrepareStep(step, sprite);
  LastX = step.StartXPx;
  LastY = step.StartYPx;
}

void TMoving::DeleteStep(int index) {
  if (index < 0 || index >= StepCount()) return;
  RecordPathUndo("Delete Motion");
  steps_.erase(steps_.begin() + index);
}

void TMoving::MoveStep(int from, int to) {
  if (from < 0 || from >= StepCount() || to < 0 || to >= StepCount() || from == to) return;
  auto step = std::move(steps_[static_cast<std::size_t>(from)]);
  steps_.erase(steps_.begin() + from);
  steps_.insert(steps_.begin() + to, std::move(step));
}

void TMoving::SetPositionUnits(std::uint8_t value) {
  if (value == PositionUnits) return;
  RecordPathUndo("Change Position Units");
  PositionUnits = value;
}

void TMoving::SetSpeedUnits(std::uint8_t value) {
  if (value == SpeedUnits) return;
  RecordPathUndo("Change Speed Units");
  SpeedUnits = value;
}

int TMoving::CurrentStepIndex() {
  if (CurrentIndex < 0 || CurrentIndex >= StepCount()) CurrentIndex = 0;
  return CurrentIndex;
}

void TMoving::SetCurrentStepIndex(int index) { CurrentIndex = (index < 0 || index >= StepCount()) ? 0 : index; }

TMovingStep* TMoving::CurrentStep() {
  if (steps_.empty()) return nullptr;
  return &Step(CurrentStepIndex());
}

void TMoving::PrepareSteps(TSprite* sprite) {
  for (auto& step : steps_) SetStep(*step, step->Values(), sprite);
  LastX += 1;
}

void TMoving::RestartSteps() {
  CurrentIndex = 0;
  StepCounter = 0;
  Travelled = 0.0;
}

void TMoving::NextStep() {
  Travelled = 0.0;
  StepCounter = 0;
  CurrentIndex = CurrentIndex + 1;
  if (CurrentIndex >= StepCount()) CurrentIndex = 0;
}

// ---- Step preparation -----------------------------------------------------------------

void TMoving::PrepareBounceStart(TMovingStep& step) {
  if (step.StartX == -1.0) {
    step.RandomStart = 1;
    const double width = std::abs(step.X2 - step.X1);
    const double height = std::abs(step.Y2 - step.Y1);
    switch (RandInt(4)) {
      case 0:
        step.StartX = static_cast<double>(step.X1);
        step.StartY = step.Y1 + RandReal() * height;
        break;
      case 1:
        step.StartX = static_cast<double>(step.X2);
        step.StartY = step.Y1 + RandReal() * height;
        break;
      case 2:
        step.StartY = static_cast<double>(step.Y1);
        step.StartX = step.X1 + RandReal() * width;
        break;
      default:
        step.StartY = static_cast<double>(step.Y2);
        step.StartX = step.X1 + RandReal() * width;
        break;
    }
  } else {
    step.RandomStart = 0;
  }
  // Each rule overrides the ones before; a start strictly inside keeps the old directions.
  if (step.StartX <= step.X1) step.DirectionX = 1, step.DirectionY = 1;
  if (step.StartX >= step.X2) step.DirectionX = -1, step.DirectionY = 1;
  if (step.StartY >= step.Y2) step.DirectionX = 1, step.DirectionY = -1;
  if (step.StartY <= step.Y1) step.DirectionX = 1, step.DirectionY = 1;
}

namespace {

// Values both steps of a clone's path share with the effect step; the
// clones draw no shadow of their own.
TMovingStepValues CloneStepValues(const TMovingStep& effect) {
  TMovingStepValues v = effect.Values();
  v.OpacityStart = 100;
  v.OpacityEnd = 100;
  const TMovingStepValues plain;
  v.ShadowOn = plain.ShadowOn;
  v.ShadowBlurStart = plain.ShadowBlurStart;
  v.ShadowBlurEnd = plain.ShadowBlurEnd;
  v.ShadowOpacityStart = plain.ShadowOpacityStart;
  v.ShadowOpacityEnd = plain.ShadowOpacityEnd;
  v.ShadowOffsetStartX = plain.ShadowOffsetStartX;
  v.ShadowOffsetStartY = plain.ShadowOffsetStartY;
  v.ShadowOffsetEndX = plain.ShadowOffsetEndX;
  v.ShadowOffsetEndY = plain.ShadowOffsetEndY;
  v.ShadowColorStart = plain.ShadowColorStart;
  v.ShadowColorEnd = plain.ShadowColorEnd;
  return v;
}

struct CloneStart {
  double x, y;
  int dirX, dirY;
};

// The start point and direction signs of one clone of a directional effect.
CloneStart DirectionalStart(const TMovingStep& step, int angle) {
  const double x1 = step.X1, y1 = step.Y1, x2 = step.X2, y2 = step.Y2;
  const int r = RandInt(45);
  auto leftEdge = [&] { return std::pair{x1, y1 + RandInt(std::abs(Round(y2 - y1)))}; };
  auto rightEdge = [&] { return std::pair{x2, y1 + RandInt(std::abs(Round(y2 - y1)))}; };
  auto bottomFromLeft = [&] { return std::pair{x1 + RandInt(std::abs(Round(x2 - x1))), y2}; };
  auto bottomFromRight = [&] { return std::pair{x2 - RandInt(std::abs(Round(x2 - x1))), y2}; };
  auto topFromLeft = [&] { return std::pair{x1 + RandInt(std::abs(Round(x2 - x1))), y1}; };
  auto topFromRight = [&] { return std::pair{x2 - RandInt(std::abs(Round(x2 - x1))), y1}; };
  std::pair<double, double> p;
  int dirX, dirY;
  if (angle <= 45) {
    dirX = 1, dirY = -1;
    p = (angle / 2 < r) ? leftEdge() : bottomFromLeft();
  } else if (angle <= 90) {
    dirX = 1, dirY = -1;
    p = ((90 - angle) / 2 < r) ? bottomFromLeft() : leftEdge();
  } else if (angle <= 135) {
    dirX = -1, dirY = -1;
    p = ((angle - 91) / 2 < r) ? bottomFromRight() : rightEdge();
  } else if (angle <= 180) {
    dirX = -1, dirY = -1;
    p = ((180 - angle) / 2 < r) ? rightEdge() : bottomFromRight();
  } else if (angle <= 225) {
    dirX = -1, dirY = 1;
    p = ((angle - 181) / 2 < r) ? rightEdge() : topFromRight();
  } else if (angle <= 270) {
    dirX = -1, dirY = 1;
    p = ((270 - angle) / 2 < r) ? topFromRight() : rightEdge();
  } else if (angle <= 314) {
    dirX = 1, dirY = 1;
    p = ((angle - 271) / 2 < r) ? topFromLeft() : leftEdge();
  } else {
    dirX = 1, dirY = 1;
    p = ((360 - angle) / 2 < r) ? leftEdge() : topFromLeft();
  }
  return {p.first, p.second, dirX, dirY};
}

}  // namespace

void TMoving::MakeClones(TMovingStep& step, TSprite* sprite) {
  step.ClearEffectSprites();
  if (step.Kind == mskDirectional && (step.EffectAngle < 0 || step.EffectAngle > 360)) step.EffectAngle = 270;
  int othersClones = 0;
  for (const auto& other : steps_) othersClones += static_cast<int>(other->EffectSprites().size());
  const int count = std::min(step.CloneCount, kMaxClonesPerPath - othersClones);
  for (int i = 0; i < count; ++i) {
    auto clone = std::make_unique<TEffectSprite>(sprite);
    TMoving& path = clone->Motion();
    path.PositionUnits = PositionUnits;
    path.SpeedUnits = SpeedUnits;

    TMovingStepValues wait = CloneStepValues(step);
    TMovingStepValues move = wait;
    wait.Kind = mskHold;
    wait.Hide = 1;
    if (step.Kind == mskRandomPoints) {
      move.Kind = mskRandomPoints;
      move.Duration = step.Duration;
      move.Hide = step.Hide;
    } else if (step.Kind == mskDirectional) {
      const CloneStart start = DirectionalStart(step, step.EffectAngle);
      const std::int32_t a = std::abs(Round(step.Y2 - step.Y1));
      const std::int32_t b = std::abs(Round(step.X2 - step.X1));
      const double d = Round(std::sqrt(static_cast<double>(a) * a + static_cast<double>(b) * b));
      const double slope = SlopeOf(step.EffectAngle);
      const double endX = start.x + Round(std::sqrt(d * d / (slope * slope + 1)) * start.dirX);
      const double endY =
          slope == 0 ? start.y : start.y + Round(std::sqrt(d * d / (1 / (slope * slope) + 1)) * start.dirY);
      move.Kind = mskLine;
      move.Hide = step.Hide;
      move.X1 = start.x, move.Y1 = start.y, move.X2 = endX, move.Y2 = endY;
      move.StartX = start.x, move.StartY = start.y;
      wait.X1 = move.X1, wait.Y1 = move.Y1, wait.X2 = move.X2, wait.Y2 = move.Y2;
      wait.StartX = start.x, wait.StartY = start.y;
    } else {  // burst
      const double x1 = step.X1, y1 = step.Y1, x2 = step.X2, y2 = step.Y2;
      const double cx = x1 + Round(std::abs(x2 - x1) / 2);
      const double cy = y1 + Round(std::abs(y2 - y1) / 2);
      const int edge = RandInt(4);
      double px, py;
      if (edge <= 1) {
        px = edge == 0 ? x1 : x2;
        py = y1 + RandReal() * std::abs(y2 - y1);
        move.X1 = cx, move.X2 = px;
        move.Y1 = std::min(cy, py), move.Y2 = std::max(cy, py);
      } else {
        py = edge == 2 ? y1 : y2;
        px = x1 + RandReal() * std::abs(x2 - x1);
        move.Y1 = cy, move.Y2 = py;
        move.X1 = std::min(cx, px), move.X2 = std::max(cx, px);
      }
      move.Kind = mskLine;
      move.Hide = step.Hide;
      move.StartX = cx, move.StartY = cy;
      wait.X1 = move.X1, wait.Y1 = move.Y1, wait.X2 = move.X2, wait.Y2 = move.Y2;
      wait.StartX = cx, wait.StartY = cy;
    }
    wait.Duration = RandInt(step.EffectDelay);
    // The clones' steps get no sprite, so that they make no clones of their own.
    path.AddStepWith(wait, nullptr);
    path.AddStepWith(move, nullptr);
    step.AddEffectSprite(std::move(clone));
  }
}

void TMoving::PrepareStep(TMovingStep& step, TSprite* sprite) {
  if (step.Kind == mskBounce) PrepareBounceStart(step);
  if (step.Kind >= mskRandomPoints && step.Kind <= mskBurst && sprite != nullptr) MakeClones(step, sprite);
  step.StartXPx = PositionXToPixels(step.StartX);
  step.StartYPx = PositionYToPixels(step.StartY);
  step.RandomPointX = step.StartXPx;
  step.RandomPointY = step.StartYPx;
}

// ---- Position calculation ---------------------------------------------------------------

TPoint TMoving::CalcBounce(TMovingStep& step, const PixelRect& r, bool advancing) {
  const double dx = r.x2 - r.x1, dy = r.y2 - r.y1;
  const double length = std::sqrt(dx * dx + dy * dy);
  if (length == 0) return {r.x1, r.y1};
  const double t = Travelled / length;
  const double speed = step.SpeedStart + (step.SpeedEnd - step.SpeedStart) * t;
  ZoomX = step.ZoomXStart + (step.ZoomXEnd - step.ZoomXStart) * t;
  ZoomY = step.ZoomYStart + (step.ZoomYEnd - step.ZoomYStart) * t;
  Opacity = step.OpacityStart + static_cast<double>(step.OpacityEnd - step.OpacityStart) * t;
  const double m = Travelled + SpeedToPixels(speed);
  const double slope = SlopeOf(step.Angle);
  std::int32_t x = Round(std::sqrt(m * m / (slope * slope + 1)) * step.DirectionX) + step.StartXPx;
  std::int32_t y = slope == 0 ? step.StartYPx
                              : Round(std::sqrt(m * m / (1 / (slope * slope) + 1)) * step.DirectionY) + step.StartYPx;
  Changed = 1;
  if (advancing) {
    bool bounced = false;
    if (x < r.x1) x = r.x1, step.DirectionX = -step.DirectionX, bounced = true;
    if (x > r.x2) x = r.x2, step.DirectionX = -step.DirectionX, bounced = true;
    if (y > r.y2) y = r.y2, step.DirectionY = -step.DirectionY, bounced = true;
    if (y < r.y1) y = r.y1, step.DirectionY = -step.DirectionY, bounced = true;
    LastX = x;
    LastY = y;
    Travelled = m;
    if (bounced) {
      NextStep();
      step.StartXPx = x;
      step.StartYPx = y;
    }
  }
  return {x, y};
}

TPoint TMoving::CalcLine(TMovingStep& step, const PixelRect& r, bool advancing) {
  step.DirectionX = r.x1 < step.StartXPx ? -1 : 1;
  step.DirectionY = r.y1 < step.StartYPx ? -1 : 1;
  const double dx = r.x2 - r.x1, dy = r.y2 - r.y1;
  const double length = std::sqrt(dx * dx + dy * dy);
  std::int32_t x, y;
  double m = 0;
  if (length != 0) {
    const double t = Travelled / length;
    const double speed = step.SpeedStart + (step.SpeedEnd - step.SpeedStart) * t;
    ZoomX = step.ZoomXStart + (step.ZoomXEnd - step.ZoomXStart) * t;
    ZoomY = step.ZoomYStart + (step.ZoomYEnd - step.ZoomYStart) * t;
    Opacity = step.OpacityStart + static_cast<double>(step.OpacityEnd - step.OpacityStart) * t;
    auto along = [&](std::int32_t start, std::int32_t end) {
      return Round(Travelled * (static_cast<double>(end) - start) / length) + start;
    };
    ShadowBlur = along(step.ShadowBlurStart, step.ShadowBlurEnd);
    ShadowOffsetX = along(step.ShadowOffsetStartX, step.ShadowOffsetEndX);
    ShadowOffsetY = along(step.ShadowOffsetStartY, step.ShadowOffsetEndY);
    ShadowOpacity = along(step.ShadowOpacityStart, step.ShadowOpacityEnd);
    ShadowColor = InterpolateColor(step.ShadowColorStart, step.ShadowColorEnd, static_cast<double>(TReal6(t)));
    m = std::min(static_cast<double>(Travelled) + SpeedToPixels(speed), length);
    x = Round(m / length * dx) * step.DirectionX + step.StartXPx;
    y = Round(m / length * dy) * step.DirectionY + step.StartYPx;
  } else {
    // A segment of length 0 shows its point once and ends at the first advancing calculation.
    x = r.x1;
    y = r.y1;
    Opacity = static_cast<double>(step.OpacityStart);
    ShadowBlur = step.ShadowBlurStart;
    ShadowOffsetX = step.ShadowOffsetStartX;
    ShadowOffsetY = step.ShadowOffsetStartY;
    ShadowOpacity = step.ShadowOpacityStart;
    ShadowColor = step.ShadowColorStart;
  }
  Changed = 1;
  if (advancing) {
    Travelled = m;
    LastX = x;
    LastY = y;
    if (length <= m) NextStep();
  }
  NewRandomPoint = 1;
  return {x, y};
}

TPoint TMoving::CalcHold(TMovingStep& step, bool advancing) {
  const std::int32_t counter = StepCounter;
  const std::int32_t duration = step.Duration;
  const bool zoomSteady = step.ZoomXStart == step.ZoomXEnd && step.ZoomYStart == step.ZoomYEnd;
  if (duration < 1 || zoomSteady) {
    ZoomX = static_cast<double>(step.ZoomXStart);
    ZoomY = static_cast<double>(step.ZoomYStart);
  } else {
    const double f = static_cast<double>(counter) / duration;
    ZoomX = step.ZoomXStart + (step.ZoomXEnd - step.ZoomXStart) * f;
    ZoomY = step.ZoomYStart + (step.ZoomYEnd - step.ZoomYStart) * f;
    Changed = 1;
  }
  if (duration > 0) {
    const double f = static_cast<double>(counter) / duration;
    auto blend = [&](std::int32_t start, std::int32_t end) {
      if (start != end) Changed = 1;
      return start + Round((static_cast<double>(end) - start) * f);
    };
    if (step.OpacityStart != step.OpacityEnd) Changed = 1;
    Opacity = step.OpacityStart + (static_cast<double>(step.OpacityEnd) - step.OpacityStart) * f;
    ShadowBlur = blend(step.ShadowBlurStart, step.ShadowBlurEnd);
    ShadowOpacity = blend(step.ShadowOpacityStart, step.ShadowOpacityEnd);
    ShadowOffsetX = blend(step.ShadowOffsetStartX, step.ShadowOffsetEndX);
    ShadowOffsetY = blend(step.ShadowOffsetStartY, step.ShadowOffsetEndY);
    if (step.ShadowColorStart != step.ShadowColorEnd) Changed = 1;
    ShadowColor = InterpolateColor(step.ShadowColorStart, step.ShadowColorEnd, static_cast<double>(TReal6(f)));
  } else {
    Opacity = static_cast<double>(step.OpacityStart);
    ShadowBlur = step.ShadowBlurStart;
    ShadowOpacity = step.ShadowOpacityStart;
    ShadowOffsetX = step.ShadowOffsetStartX;
    ShadowOffsetY = step.ShadowOffsetStartY;
    ShadowColor = step.ShadowColorStart;
  }
  const TPoint position{step.StartXPx, step.StartYPx};
  if (step.Hide == 0 && (position.X != LastX || position.Y != LastY)) Changed = 1;
  if (duration != 0 && counter == 0) Changed = 1;
  if (advancing) {
    LastX = position.X;
    LastY = position.Y;
    StepCounter = StepCounter + 1;
    if ((duration < StepCounter && duration != -1) || duration == 1) NextStep();
  }
  NewRandomPoint = 1;
  return position;
}

TPoint TMoving::CalcRandom(TMovingStep& step, const PixelRect& r, bool advancing) {
  ZoomX = static_cast<double>(step.ZoomXStart);
  ZoomY = static_cast<double>(step.ZoomYStart);
  Opacity = static_cast<double>(step.OpacityStart);
  auto drawPoint = [&] {
    step.RandomPointX = RandInt(r.x2 - r.x1) + r.x1;
    step.RandomPointY = RandInt(r.y2 - r.y1) + r.y1;
  };
  if (NewRandomPoint != 0) {
    drawPoint();
    NewRandomPoint = 0;
    Changed = 1;
  }
  const TPoint position{step.RandomPointX, step.RandomPointY};
  const std::int32_t duration = step.Duration;
  if ((duration < StepCounter + 1 && duration != -1) || StepCounter == 0) Changed = 1;
  if (advancing) {
    LastX = position.X;
    LastY = position.Y;
    StepCounter = StepCounter + 1;
    if (duration < StepCounter && duration != -1) {
      drawPoint();
      NextStep();
    }
  }
  return position;
}

TPoint TMoving::ApplySprite(TPoint point, bool advancing) {
  if (Sprite == nullptr || Sprite->FrameCount() == 0) return point;
  const TFrame& frame = *Sprite->CurrentFrame();
  const int w = frame.ImageWidth;
  const int h = frame.ImageHeight;
  const double sceneWidth = SceneWidth();
  const double sceneHeight = SceneHeight();
  // A picture without area cannot be fitted; it keeps the zoom of the step.
  if (FitToScene != 0 && w > 0 && h > 0) {
    if (KeepAspect != 0) {
      const double factor = sceneHeight >= sceneWidth / w * h ? sceneWidth / w : sceneHeight / h;
      ZoomX = factor;
      ZoomY = factor;
    } else {
      ZoomX = sceneWidth / w;
      ZoomY = sceneHeight / h;
    }
  }
  std::int32_t hx = HotSpotX, hy = HotSpotY;
  if (HotSpotInPercent != 0) {
    hx = Round(ZoomX * w * HotSpotX / 100.0);
    hy = Round(ZoomY * h * HotSpotY / 100.0);
  }
  point.X -= hx;
  point.Y -= hy;
  if (Sprite->FrameCount() > 1) {
    if (Sprite->FrameStepCounter + 1 >= frame.Duration()) Changed = 1;
    if (advancing && Sprite->AdvanceFrame()) Changed = 1;
  }
  return point;
}

TPoint TMoving::CalcPosition(bool advancing) {
  Changed = 0;
  TPoint point{0, 0};
  if (steps_.empty()) {
    if (LastX != 0 || LastY != 0) Changed = 1;
    if (advancing) LastX = 0, LastY = 0;
  } else {
    TMovingStep& step = Step(CurrentStepIndex());
    PixelRect r{PositionXToPixels(step.X1), PositionYToPixels(step.Y1), PositionXToPixels(step.X2),
                PositionYToPixels(step.Y2)};
    step.X1Px = r.x1, step.Y1Px = r.y1, step.X2Px = r.x2, step.Y2Px = r.y2;
    switch (step.Kind) {
      case mskBounce:
        point = CalcBounce(step, r, advancing);
        break;
      case mskLine:
        point = CalcLine(step, r, advancing);
        break;
      case mskHold:
        point = CalcHold(step, advancing);
        break;
      case mskRandomPoints:
        point = CalcRandom(step, r, advancing);
        break;
      default:  // effect steps: the clones stand for the sprite
        break;
    }
  }
  point = ApplySprite(point, advancing);
  if (advancing) NeedsRedraw = 0;
  if (Changed != 0) NeedsRedraw = 1;
  return point;
}

// ---- Records ------------------------------------------------------------------------------

void TMoving::WriteRecord(TStream& s, std::int32_t version, bool withId) const {
  s.WriteInt32(StepCount());
  for (const auto& step : steps_) step->WriteRecord(s, version);
  s.WriteInt32(LoopLimit);
  if (version > 1) {
    s.WriteByte(PositionUnits);
    s.WriteByte(SpeedUnits);
  }
  if (version > 5) {
    s.WriteByte(HotSpotInPercent);
    s.WriteInt32(HotSpotX);
    s.WriteInt32(HotSpotY);
    s.WriteByte(FitToScene);
  }
  if (version > 6) s.WriteByte(KeepAspect);
  if (withId) s.WriteInt32(Id);
}

void TMoving::ReadRecord(TStream& s, TSprite* sprite, std::int32_t version, bool withId) {
  steps_.clear();
  const std::int32_t count = s.ReadInt32();
  if (count < 0) throw EReadError("Invalid motion step count");
  // Every step record takes at least the oldest layout's bytes.
  s.RequireAvailable(static_cast<std::int64_t>(count) * kMinStepRecordSize);
  for (std::int32_t i = 0; i < count; ++i) {
    steps_.push_back(std::make_unique<TMovingStep>(this));
    TMovingStep& step = *steps_.back();
    step.ReadRecord(s, version);
    // Paths come from files, the clipboard and undo snapshots alike: values
    // beyond any scene are refused before the step is worked with.
    RequirePlausibleStep(step);
    PrepareStep(step, sprite);
    LastX = step.StartXPx;
    LastY = step.StartYPx;
  }
  LoopLimit = s.ReadInt32();
  if (version > 1) {
    PositionUnits = s.ReadByte();
    SpeedUnits = s.ReadByte();
  }
  if (version > 5) {
    HotSpotInPercent = s.ReadByte();
    HotSpotX = s.ReadInt32();
    HotSpotY = s.ReadInt32();
    FitToScene = s.ReadByte();
  }
  if (version > 6) KeepAspect = s.ReadByte();
  if (withId) Id = s.ReadInt32();
  RequirePlausiblePath(*this);
  if (scene_ != nullptr && sprite != nullptr) ConvertToPixels();
}

// A loaded path always works in pixels of the scene it was loaded into.
void TMoving::ConvertToPixels() {
  const double w = SceneWidth(), h = SceneHeight();
  for (auto& step : steps_) {
    if (PositionUnits == 0) {
      step->X1 = Round(step->X1 * w / 100.0);
      step->X2 = Round(step->X2 * w / 100.0);
      step->StartX = Round(step->StartX * w / 100.0);
      step->Y1 = Round(step->Y1 * h / 100.0);
      step->Y2 = Round(step->Y2 * h / 100.0);
      step->StartY = Round(step->StartY * h / 100.0);
    }
    if (SpeedUnits == 0) {
      step->SpeedStart = Round(step->SpeedStart * w / 100.0);
      step->SpeedEnd = Round(step->SpeedEnd * w / 100.0);
    }
  }
  // A hot spot given against per-cent positions does not carry over to pixels.
  if (PositionUnits == 0) HotSpotX = 0, HotSpotY = 0;
  PositionUnits = 1;
  SpeedUnits = 1;
}

void TMoving::SaveToStream(TStream& stream) const { WriteRecord(stream, SaveVersion, UndoMode != 0); }

void TMoving::LoadFromStream(TStream& stream, TSprite* sprite) {
  Sprite = sprite != nullptr ? sprite : Sprite;
  ReadRecord(stream, sprite, ReadVersion, UndoMode != 0);
}

void TMoving::CopyFrom(const TMoving& other) {
  // The copy goes through the newest record layout whatever format a save
  // or read in progress uses, and never carries the id.
  TMemoryStream buffer;
  other.WriteRecord(buffer, kNewestFormatVersion, false);
  buffer.SetPosition(0);
  ReadRecord(buffer, Sprite, kNewestFormatVersion, false);
}
