#include "controls/MyCntrlMovie.h"

#include <algorithm>

TMovie::TMovie(QWidget* parent) : TGraphicControl(parent) {
  SetBounds(0, 0, 105, 105);
  // Only the frame is painted: the rest shows what lies below.
  TGraphicControl::SetTransparent(true);
  frameTimer_.SetInterval(50);
  frameTimer_.SetOnTimer([this] { FrameTimerTimer(); });
}

void TMovie::SetPicture(const TBitmap& strip) {
  picture_.Assign(&strip);
  Invalidate();
}

void TMovie::SetNumFrames(int value) {
  numFrames_ = std::max(1, value);
  Restart();
}

int TMovie::FramesPerSecond() const {
  const int interval = frameTimer_.Interval();
  return interval <= 0 ? 0 : 1000 / interval;
}

void TMovie::SetFramesPerSecond(int value) {
  // Above 1000 frames a second the interval stays at 1 ms: 0 would stop the timer.
  frameTimer_.SetInterval(value <= 0 ? 50 : std::max(1, 1000 / value));
}

void TMovie::SetMovieEnabled(bool value) {
  frameTimer_.SetEnabled(value);
  Restart();
}

void TMovie::SetTransparent(bool value) {
  keyed_ = value;
  Invalidate();
}

void TMovie::SetColor(TColor value) {
  color_ = value;
  Invalidate();
}

void TMovie::SetCenter(bool value) {
  center_ = value;
  Invalidate();
}

void TMovie::Restart() {
  currentFrame_ = 1;
  Invalidate();
}

void TMovie::FrameTimerTimer() {
  ++currentFrame_;
  if (currentFrame_ > numFrames_) {
    currentFrame_ = 1;
    if (animateWhenMouseMove_) frameTimer_.SetEnabled(false);
  }
  Repaint();
}

void TMovie::MouseMove(TShiftState Shift, int X, int Y) {
  if (animateWhenMouseMove_) SetMovieEnabled(true);
  TGraphicControl::MouseMove(Shift, X, Y);
}

int TMovie::FrameWidth() const { return picture_.Width() / numFrames_; }

TRect TMovie::FrameRect() const {
  const int width = FrameWidth(), height = picture_.Height();
  if (!center_) return Rect(0, 0, width, height);
  return Bounds((Width() - width) / 2, (Height() - height) / 2, width, height);
}

void TMovie::Paint() {
  if (picture_.Empty()) return;
  const int width = FrameWidth();
  const TRect cell = Bounds(width * (currentFrame_ - 1), 0, width, picture_.Height());
  if (!keyed_) {
    Canvas().CopyRect(FrameRect(), picture_.Canvas(), cell);
    return;
  }
  // The strip over Color, leaving out the colour of its top-left pixel.
  TBitmap work;
  work.Canvas().Brush().Color = color_;
  work.SetSize(picture_.Width(), picture_.Height());
  TBitmap keyed;
  keyed.Assign(&picture_);
  keyed.SetTransparentColor(picture_.Pixel(0, 0));
  keyed.SetTransparent(true);
  work.Canvas().Draw(0, 0, keyed);
  Canvas().CopyRect(FrameRect(), work.Canvas(), cell);
}
