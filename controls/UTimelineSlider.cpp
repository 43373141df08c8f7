#include "controls/UTimelineSlider.h"

#include "platform/Numeric.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"

#include <algorithm>

namespace {

template <typename T>
bool Change(T& field, const T& value) {
  if (field == value) return false;
  field = value;
  return true;
}

bool WithinSteps(std::int64_t step, int max) { return step > 0 && step <= max; }

}  // namespace

TTimelineSlider::TTimelineSlider(QWidget* parent) : TGraphicControl(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  background_.SetPixelFormat(pf24bit);
  SetBounds(0, 0, 200, 25);
  savedCursor_ = Cursor();
}

TTimelineSlider::~TTimelineSlider() = default;

// ---- Properties --------------------------------------------------------------------------

void TTimelineSlider::Repaint() {
  backgroundStale_ = true;
  TGraphicControl::Repaint();
}

void TTimelineSlider::SetTimeLineCollection(TSprite* value) {
  collection_ = value;
  Repaint();
}

void TTimelineSlider::SetMax(int value) {
  if (value == max_) return;
  max_ = std::max(value, 1);
  Repaint();
}

void TTimelineSlider::SetFrequency(int value) {
  if (value == frequency_) return;
  frequency_ = std::max(value, 1);
  Repaint();
}

void TTimelineSlider::SetPosition(int value) {
  if (value == position_) return;
  position_ = std::clamp(value, 0, max_);
  positionChanged_ = true;
  // Only the slider moves: the cached background stays.
  TGraphicControl::Repaint();
}

void TTimelineSlider::SetSliderWidth(int value) {
  if (Change(sliderWidth_, value)) Repaint();
}
void TTimelineSlider::SetSliderHeight(int value) {
  if (Change(sliderHeight_, value)) Repaint();
}
void TTimelineSlider::SetBorder(bool value) {
  if (Change(border_, value)) Repaint();
}
void TTimelineSlider::SetColor(TColor value) {
  if (Change(color_, value)) Repaint();
}
void TTimelineSlider::SetColorOfScale(TColor value) {
  if (Change(colorOfScale_, value)) Repaint();
}
void TTimelineSlider::SetColorOfDuration(TColor value) {
  if (Change(colorOfDuration_, value)) Repaint();
}
void TTimelineSlider::SetColorOfSlider(TColor value) {
  if (Change(colorOfSlider_, value)) Repaint();
}

// ---- Geometry ------------------------------------------------------------------------------

// Saturated: steps read from a file may lie far beyond the scale.
int TTimelineSlider::StepToX(int step) const {
  return SaturatingCast<int>(kLeftMargin + Round64(static_cast<double>(step) * Span() / max_));
}

int TTimelineSlider::StepsOf(int pixels) const { return Round(static_cast<double>(pixels) / Span() * max_); }

TTimelineHit TTimelineSlider::HitTest(int X) const {
  const int sx = SliderCenter(), half = sliderWidth_ / 2;
  if (sx - half < X && X < sx + half) return {tlpSlider, -1};
  if (collection_ == nullptr) return {};
  const std::int64_t g = kGripHalfWidth;
  for (int i = 0; i < collection_->IntervalCount(); ++i) {
    const TStartAndFinish& interval = collection_->Interval(i);
    const std::int64_t x1 = StepToX(interval.StartStep), x2 = StepToX(interval.EndStep);
    if (x1 + g < X && X < x2 - g) return {tlpBody, i};
    if (x1 - g < X && X <= x1 + g) return {tlpStartGrip, i};
    if (x2 - g <= X && X < x2 + g) return {tlpEndGrip, i};
  }
  return {};
}

// ---- Painting --------------------------------------------------------------------------------

const std::string& TTimelineSlider::SavedHint() {
  if (savedHint_ == "-1") savedHint_ = Hint();
  return savedHint_;
}

void TTimelineSlider::Paint() {
  SavedHint();
  if (background_.Width() != Width() || background_.Height() != Height()) {
    background_.SetSize(std::max(0, Width()), std::max(0, Height()));
    backgroundStale_ = true;
  }
  if (backgroundStale_) DrawBackground();
  backgroundStale_ = false;
  Canvas().Draw(0, 0, background_);
  DrawSlider();
}

void TTimelineSlider::DrawBar(TCanvas& canvas, int x1, int x2) {
  const int H = Height();
  canvas.Pen().Color = colorOfDuration_;
  canvas.Rectangle(x1, 1, x2, H - 1);
  canvas.Pen().Color = clWhite;
  canvas.MoveTo(x1, 1);
  canvas.LineTo(x1, H - 1);
  canvas.MoveTo(x2, 1);
  canvas.LineTo(x2, H - 1);
}

void TTimelineSlider::DrawBackground() {
  const int W = Width(), H = Height(), mid = H / 2;
  TCanvas& canvas = background_.Canvas();
  canvas.Pen().Width = 1;
  canvas.Pen().Style = psSolid;
  canvas.Pen().Color = border_ ? clBlack : color_;
  canvas.Brush().Color = color_;
  canvas.Brush().Style = bsSolid;
  canvas.Rectangle(0, 0, W, H);

  if (collection_ != nullptr) {
    canvas.Brush().Color = colorOfDuration_;
    if (collection_->IntervalCount() == 0) {
      // A sprite without intervals is visible throughout.
      canvas.Rectangle(kLeftMargin, 1, W - kRightMargin, H - 1);
    }
    for (int i = 0; i < collection_->IntervalCount(); ++i) {
      const TStartAndFinish& interval = collection_->Interval(i);
      DrawBar(canvas, StepToX(interval.StartStep), StepToX(interval.EndStep));
    }
  }

  // The groove.
  canvas.Pen().Width = 2;
  for (const auto& [color, y] : {std::pair{clGray, mid - 2}, std::pair{clBlack, mid}, std::pair{clWhite, mid + 2}}) {
    canvas.Pen().Color = color;
    canvas.MoveTo(kLeftMargin, y);
    canvas.LineTo(W - kRightMargin, y);
  }
  canvas.Pen().Width = 1;
  canvas.Pen().Color = clGray;
  canvas.MoveTo(kLeftMargin, mid + 2);
  canvas.LineTo(kLeftMargin, mid - 4);

  // The ticks, at least 4 pixels apart; they stop before x = Width - 10.
  const int n = Round(static_cast<double>(max_) / frequency_);
  double spacing = n > 0 ? static_cast<double>(Span()) / n : 0.0;
  if (spacing < 4.0) spacing = 4.0;
  for (int i = 1; i <= n - 1; ++i) {
    const int x = kLeftMargin + Round(spacing * i);
    if (x >= W - kLeftMargin) break;  // the ticks only go further right
    canvas.Pen().Color = clBlack;
    canvas.MoveTo(x, mid + 2);
    canvas.LineTo(x, mid + 6);
    canvas.Pen().Color = colorOfScale_;
    canvas.MoveTo(x + 1, mid + 2);
    canvas.LineTo(x + 1, mid + 6);
  }
}

// A box with a point downward, and its bevel.
void TTimelineSlider::DrawSlider() {
  const int H = Height(), mid = H / 2, T = (H / 3) * 2;
  const int sx = SliderCenter(), w = sliderWidth_ / 2, h = sliderHeight_ / 2;
  TCanvas& canvas = Canvas();
  canvas.Pen().Color = clBlack;
  canvas.Pen().Width = 1;
  canvas.Pen().Style = psSolid;
  canvas.Brush().Color = colorOfSlider_;
  canvas.Brush().Style = bsSolid;
  canvas.Polygon({{sx - w, mid - h}, {sx + w, mid - h}, {sx + w, T}, {sx, mid + h}, {sx - w, T}});
  canvas.Pen().Color = clWhite;
  canvas.MoveTo(sx - w + 1, mid - h + 1);
  canvas.LineTo(sx + w - 2, mid - h + 1);
  canvas.Pen().Width = 2;
  canvas.MoveTo(sx - w + 2, T);
  canvas.LineTo(sx - w + 2, mid - h + 2);
  canvas.LineTo(sx + w - 2, mid - h + 2);
  canvas.Pen().Color = clGray;
  canvas.MoveTo(sx + w - 1, mid - h + 2);
  canvas.LineTo(sx + w - 1, T - 1);
  canvas.LineTo(sx, mid + h - 2);
}

// ---- Mouse -------------------------------------------------------------------------------------

void TTimelineSlider::Hover(TShiftState Shift, int X, int Y) {
  SetCursor(crDefault);
  hoverState_ = tlpNothing;
  SetHint(SavedHint());
  const TTimelineHit hit = HitTest(X);
  if (hit.part == tlpNothing) return;
  hoverState_ = hit.part;
  if (hit.part != tlpSlider) {
    hoveredInterval_ = hit.interval;
    const TStartAndFinish& interval = collection_->Interval(hit.interval);
    const std::string start = IntToStr(interval.StartStep), end = IntToStr(interval.EndStep);
    if (hit.part == tlpBody) {
      SetCursor(crMoveDuration);
      SetHint("Duration " + IntToStr(static_cast<std::int64_t>(interval.EndStep) - interval.StartStep) +
              " steps, " + HintForStartStep + " " + start);
    } else if (hit.part == tlpStartGrip) {
      SetCursor(crMoveDurationLeft);
      SetHint(HintForStartStep + " " + start);
    } else {
      SetCursor(crMoveDurationRight);
      SetHint(HintForFinishStep + " " + end);
    }
  }
  TGraphicControl::MouseMove(Shift, X, Y);
}

void TTimelineSlider::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  referenceX_ = X;
  referenceY_ = Y;
  Hover(Shift, X, Y);
  dragging_ = true;
}

void TTimelineSlider::MouseMove(TShiftState Shift, int X, int Y) {
  if (!dragging_ || hoverState_ == tlpNothing) {
    Hover(Shift, X, Y);
    return;
  }
  if (hoverState_ == tlpSlider) {
    DragSlider(X);
    return;
  }
  if (collection_ == nullptr) {
    Hover(Shift, X, Y);
    return;
  }
  DragInterval(X);
  Repaint();
}

void TTimelineSlider::DragSlider(int X) {
  if (Span() <= 0) return;  // no scale to seek on
  SetPosition(StepsOf(X - kLeftMargin));
  Fire(OnChange, this);
}

// One drag step of an interval: its body moves both ends, a grip one end; a
// step that would leave 1 .. Max or cross the other end is refused. The
// reference follows the mouse in any case, so a movement that rounds to no
// step is dropped, not accumulated.
void TTimelineSlider::DragInterval(int X) {
  const int index = hoveredInterval_;
  if (Span() <= 0 || index < 0 || index >= collection_->IntervalCount()) return;
  TStartAndFinish& interval = collection_->Interval(index);
  const std::int64_t steps = StepsOf(X - referenceX_);
  const std::int64_t start = interval.StartStep + steps, end = interval.EndStep + steps;
  bool accepted = false;
  if (hoverState_ == tlpBody && WithinSteps(start, max_) && WithinSteps(end, max_)) {
    interval.SetStart(static_cast<std::int32_t>(start));
    interval.SetEnd(static_cast<std::int32_t>(end));
    accepted = true;
  } else if (hoverState_ == tlpStartGrip && WithinSteps(start, max_) && start < interval.EndStep) {
    interval.SetStart(static_cast<std::int32_t>(start));
    accepted = true;
  } else if (hoverState_ == tlpEndGrip && WithinSteps(end, max_) && interval.StartStep < end) {
    interval.SetEnd(static_cast<std::int32_t>(end));
    accepted = true;
  }
  referenceX_ = X;
  if (!accepted) return;
  intervalChanged_ = true;
  Fire(OnTimelineListChange, this, index);
}

void TTimelineSlider::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  dragging_ = false;
  if (positionChanged_) Fire(OnChanged, this);
  positionChanged_ = false;
  if (intervalChanged_) Fire(OnTimelineListChanged, this, hoveredInterval_);
  intervalChanged_ = false;
  TGraphicControl::MouseUp(Button, Shift, X, Y);
}
