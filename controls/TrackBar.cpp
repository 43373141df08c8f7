#include "controls/TrackBar.h"

#include "platform/Numeric.h"

#include <algorithm>

namespace {
constexpr int kMargin = 2;
}  // namespace

TTrackBar::TTrackBar(QWidget* parent) : TGraphicControl(parent) {
  // Track bars take the keyboard focus (and their place in the tab order).
  setFocusPolicy(Qt::StrongFocus);
  SetBounds(0, 0, 150, 45);
}

void TTrackBar::SetMin(int value) {
  if (value > max_ || value == min_) return;
  min_ = value;
  Repaint();
  SetPosition(position_);
}

void TTrackBar::SetMax(int value) {
  if (value < min_ || value == max_) return;
  max_ = value;
  Repaint();
  SetPosition(position_);
}

void TTrackBar::SetPosition(int value) {
  value = std::clamp(value, min_, max_);
  if (value == position_) return;
  position_ = value;
  Repaint();
  Fire(OnChange, this);
}

void TTrackBar::SetSelStart(int value) {
  if (value == selStart_) return;
  selStart_ = value;
  Repaint();
}

void TTrackBar::SetSelEnd(int value) {
  if (value == selEnd_) return;
  selEnd_ = value;
  Repaint();
}

void TTrackBar::SetFrequency(int value) {
  frequency_ = value;
  Repaint();
}

void TTrackBar::SetTickStyle(TTickStyle value) {
  tickStyle_ = value;
  Repaint();
}

void TTrackBar::SetThumbLength(int value) {
  thumbLength_ = std::max(4, value);
  Repaint();
}

// ---- Geometry -----------------------------------------------------------------------

// Half the thumb length, made odd so that the thumb has a centre column.
int TTrackBar::ThumbWidth() const { return (thumbLength_ / 2) | 1; }

int TTrackBar::ChannelStart() const { return kMargin + ThumbWidth() / 2; }

int TTrackBar::ChannelEnd() const { return std::max(ChannelStart(), Width() - 1 - kMargin - ThumbWidth() / 2); }

int TTrackBar::PositionX(int value) const {
  if (max_ <= min_) return ChannelStart();
  value = std::clamp(value, min_, max_);
  return ChannelStart() + MulDiv(value - min_, ChannelEnd() - ChannelStart(), max_ - min_);
}

int TTrackBar::ValueAtX(int x) const {
  const int span = ChannelEnd() - ChannelStart();
  if (span <= 0 || max_ <= min_) return min_;
  const int offset = std::clamp(x - ChannelStart(), 0, span);
  return min_ + MulDiv(offset, max_ - min_, span);
}

TRect TTrackBar::ThumbRect() const {
  const int centre = PositionX(position_);
  const int half = ThumbWidth() / 2;
  return Rect(centre - half, ThumbTop(), centre + half + 1, ThumbTip() + 1);
}

// The channel runs under the thumb's whole travel, 4 pixels tall, centred on
// the thumb's straight part.
TRect TTrackBar::ChannelRect() const {
  const int half = ThumbWidth() / 2;
  const int bodyBottom = ThumbTip() - half;
  const int middle = (ThumbTop() + bodyBottom) / 2;
  return Rect(ChannelStart() - half, middle - 2, ChannelEnd() + half + 1, middle + 2);
}

// ---- Painting ---------------------------------------------------------------------------

void TTrackBar::Paint() {
  TCanvas& canvas = Canvas();
  canvas.Pen().Width = 1;
  canvas.Pen().Style = psSolid;
  canvas.Pen().Mode = pmCopy;
  canvas.Brush().Style = bsSolid;
  canvas.Brush().Color = clBtnFace;
  canvas.FillRect(ClientRect());
  PaintChannel(canvas);
  if (tickStyle_ == tsAuto) PaintTicks(canvas);
  PaintThumb(canvas);
}

// A sunken channel with a window-coloured inside; the selection range is
// filled with the highlight colour.
void TTrackBar::PaintChannel(TCanvas& canvas) {
  const TRect r = ChannelRect();
  canvas.Brush().Color = clWindow;
  canvas.FillRect(Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1));
  canvas.Pen().Color = clBtnShadow;
  canvas.Polyline({Point(r.Left, r.Bottom - 1), Point(r.Left, r.Top), Point(r.Right, r.Top)});
  canvas.Pen().Color = clBtnHighlight;
  canvas.Polyline({Point(r.Left, r.Bottom - 1), Point(r.Right - 1, r.Bottom - 1), Point(r.Right - 1, r.Top)});
  if (selEnd_ > selStart_) {
    canvas.Brush().Color = clHighlight;
    canvas.FillRect(Rect(PositionX(selStart_), r.Top + 1, PositionX(selEnd_) + 1, r.Bottom - 1));
  }
}

void TTrackBar::PaintTicks(TCanvas& canvas) {
  canvas.Pen().Color = Enabled() ? clBtnText : clBtnShadow;
  const int top = ThumbTip() + 2;
  auto tick = [&](int value) {
    const int x = PositionX(value);
    canvas.MoveTo(x, top);
    canvas.LineTo(x, top + 3);
  };
  if (frequency_ >= 1) {
    for (long long value = min_; value < max_; value += frequency_) tick(static_cast<int>(value));
  } else {
    tick(min_);
  }
  tick(max_);
}

// The thumb points down to the ticks: a face with a lit left and top edge and
// a dark right edge.
void TTrackBar::PaintThumb(TCanvas& canvas) {
  const TRect r = ThumbRect();
  const int left = r.Left, right = r.Right - 1, top = r.Top;
  const int centre = (left + right) / 2;
  const int tip = ThumbTip();
  const int bodyBottom = tip - ThumbWidth() / 2;
  const std::vector<TPoint> outline = {Point(left, top), Point(right, top), Point(right, bodyBottom), Point(centre, tip),
                                       Point(left, bodyBottom)};
  canvas.Brush().Color = clBtnFace;
  canvas.Pen().Color = clBtnFace;
  canvas.Polygon(outline);
  canvas.Pen().Color = clBtnHighlight;
  canvas.Polyline({Point(centre, tip), Point(left, bodyBottom), Point(left, top), Point(right, top)});
  canvas.Pen().Color = cl3DDkShadow;
  canvas.Polyline({Point(right, top), Point(right, bodyBottom), Point(centre, tip), Point(centre - 1, tip + 1)});
}

// ---- Mouse and keys -------------------------------------------------------------------

void TTrackBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && Enabled()) {
    setFocus(Qt::MouseFocusReason);
    const TRect thumb = ThumbRect();
    if (PtInRect(thumb, Point(X, Y))) {
      dragging_ = true;
      grabOffset_ = X - PositionX(position_);
    } else if (X < thumb.Left) {
      SetPosition(position_ - pageSize_);
    } else if (X >= thumb.Right) {
      SetPosition(position_ + pageSize_);
    }
  }
  TGraphicControl::MouseDown(Button, Shift, X, Y);
}

void TTrackBar::MouseMove(TShiftState Shift, int X, int Y) {
  if (dragging_) SetPosition(ValueAtX(X - grabOffset_));
  TGraphicControl::MouseMove(Shift, X, Y);
}

void TTrackBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) dragging_ = false;
  TGraphicControl::MouseUp(Button, Shift, X, Y);
}

void TTrackBar::KeyDown(WORD& Key, TShiftState Shift) {
  TGraphicControl::KeyDown(Key, Shift);
  switch (Key) {
    case VK_LEFT:
    case VK_UP: SetPosition(position_ - lineSize_); break;
    case VK_RIGHT:
    case VK_DOWN: SetPosition(position_ + lineSize_); break;
    case VK_PRIOR: SetPosition(position_ - pageSize_); break;
    case VK_NEXT: SetPosition(position_ + pageSize_); break;
    case VK_HOME: SetPosition(min_); break;
    case VK_END: SetPosition(max_); break;
    default: return;
  }
  Key = 0;
}
