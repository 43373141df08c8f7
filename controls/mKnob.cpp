#include "controls/mKnob.h"

#include "platform/Numeric.h"

#include <QEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

// The knob's bound check: below Min gives Min, else above Max gives Max
// (never a clamp whose bounds are the wrong way round).
int Bounded(int value, int low, int high) {
  if (value < low) return low;
  if (value > high) return high;
  return value;
}

}  // namespace

TmKnob::TmKnob(QWidget* parent) : TGraphicControl(parent) { SetBounds(0, 0, 60, 60); }

void TmKnob::SetPosition(int value) {
  if (value == position_) return;
  position_ = Bounded(value, min_, max_);
  Repaint();
  if (OnChange) OnChange(this, position_);
}

void TmKnob::SetMax(int value) {
  if (value == max_) return;
  max_ = value;
  Repaint();
}

void TmKnob::SetFaceColor(TColor value) {
  faceColor_ = value;
  Repaint();
}

void TmKnob::SetTickColor(TColor value) {
  if (value == tickColor_) return;
  tickColor_ = value;
  Repaint();
}

void TmKnob::SetAllowUserDrag(bool value) {
  if (value == allowUserDrag_) return;
  allowUserDrag_ = value;
  Repaint();
}

void TmKnob::SetMarkStyle(TMarkStyle value) {
  if (value == markStyle_) return;
  markStyle_ = value;
  Repaint();
}

void TmKnob::changeEvent(QEvent* event) {
  TGraphicControl::changeEvent(event);
  if (event->type() == QEvent::EnabledChange) Repaint();
}

// ---- Dragging -----------------------------------------------------------------------

int TmKnob::AngleAt(int X, int Y) const {
  const int cx = Width() / 2, cy = Height() / 2;
  const double dx = static_cast<double>(X) - cx, dy = static_cast<double>(Y) - cy;
  double d = Round(std::sqrt(dx * dx + dy * dy));
  if (d == 0) d = 0.0001;
  // d is never below |dx| (rounding keeps the order), so the sine stays within -1..1.
  auto asinDegrees = [](double sine) { return std::asin(std::clamp(sine, -1.0, 1.0)) * 180 / kPi; };
  const double angle = Y < cy ? 90 - asinDegrees(dx / d) : 270 - asinDegrees(-dx / d);
  return Round(angle);
}

void TmKnob::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (allowUserDrag_) {
    dragging_ = true;
    SetPosition(AngleAt(X, Y));
    Repaint();
  }
  TGraphicControl::MouseDown(Button, Shift, X, Y);
}

void TmKnob::MouseMove(TShiftState Shift, int X, int Y) {
  if (allowUserDrag_ && dragging_) {
    SetPosition(AngleAt(X, Y));
    Repaint();
  }
  TGraphicControl::MouseMove(Shift, X, Y);
}

void TmKnob::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  dragging_ = false;
  TGraphicControl::MouseUp(Button, Shift, X, Y);
}

// ---- Painting ---------------------------------------------------------------------------

void TmKnob::Paint() {
  TCanvas& canvas = Canvas();
  canvas.Brush().Color = clBtnFace;
  canvas.Brush().Style = bsSolid;
  canvas.FillRect(ClientRect());
  const int w = Width() - 4;
  // The knob wobbles by a pixel as it turns.
  const int h = rotationEffect_ && (position_ % 2 != 0) ? Height() - 3 : Height() - 4;

  canvas.Brush().Color = Enabled() ? faceColor_ : clBtnFace;
  canvas.Pen().Style = psSolid;
  canvas.Pen().Mode = pmCopy;
  canvas.Pen().Width = 2;
  canvas.Pen().Color = cl3DLight;
  canvas.Ellipse(1, 1, w - 1, h - 1);
  canvas.Pen().Color = clBtnShadow;
  canvas.Ellipse(3, 3, w + 2, h + 2);
  canvas.Pen().Width = 1;
  canvas.Pen().Color = clBtnFace;
  canvas.RoundRect(2, 2, w, h, w, h);

  canvas.Pen().Width = 3;
  if (position_ >= 0) DrawMark(w, h);
}

void TmKnob::DrawMark(int w, int h) {
  TCanvas& canvas = Canvas();
  const double a = position_ * kPi / 180;
  const double c = std::cos(a), s = std::sin(a);
  const TColor markColor = Enabled() ? tickColor_ : clBtnShadow;
  if (markStyle_ == msLine) {
    const int cx = w / 2, cy = h / 2;
    canvas.Pen().Color = markColor;
    canvas.MoveTo(Round(cx + (cx - w / 6) * c), Round(cy - (cy - h / 6) * s));
    canvas.LineTo(Round(cx + (cx - w / 32) * c), Round(cy - (cy - h / 32) * s));
    return;
  }
  const int cx = w / 2 + 2, cy = h / 2 + 2;
  const int mx = Round(cx + (cx - 8) * c), my = Round(cy - (cy - 8) * s);
  canvas.Brush().Color = clWhite;
  canvas.Pen().Color = clWhite;
  canvas.RoundRect(mx - 4, my - 4, mx + 2, my + 2, 6, 6);
  canvas.Brush().Color = markColor;
  canvas.Pen().Color = markColor;
  canvas.RoundRect(mx - 3, my - 3, mx + 3, my + 3, 6, 6);
}
