// TMovie (module MyCntrl): plays a horizontal strip of equally wide frames
// held in its picture, driven by its own timer. With AnimateWhenMouseMove it
// plays one cycle each time the mouse moves over it.
//
// Public interface (besides TGraphicControl's bounds, hint, events):
//   Picture / SetPicture(strip)     the strip (copied); frames side by side
//   NumFrames / SetNumFrames(n)     1; restarts at frame 1; below 1 counts as 1
//   FramesPerSecond / SetFramesPerSecond(v)
//                                   read: 1000 div the interval (0 for 0);
//                                   write: interval 1000 div v ms (at least
//                                   1 ms), 50 ms when v <= 0
//   MovieEnabled / SetMovieEnabled  the timer's state (on, 50 ms, at creation);
//                                   setting it restarts at frame 1
//   AnimateWhenMouseMove            false; true: each mouse move restarts the
//                                   movie, which stops on frame 1 after one cycle
//   Transparent / SetTransparent    false; true: pixels of the strip's top-left
//                                   pixel's colour show Color
//   Color / SetColor                clBtnFace
//   Center / SetCenter              false: the frame at the top left; true: centred
//   CurrentFrame()                  1-based
//   FrameTimer()                    the timer; FrameTimerTimer() is its tick
// Only the frame's rectangle is painted; the rest of the control shows what
// lies below it.
#pragma once

#include "controls/GraphicControl.h"
#include "platform/Timer.h"

class TMovie : public TGraphicControl {
  Q_OBJECT

 public:
  explicit TMovie(QWidget* parent = nullptr);

  const TBitmap& Picture() const { return picture_; }
  void SetPicture(const TBitmap& strip);
  int NumFrames() const { return numFrames_; }
  void SetNumFrames(int value);
  int FramesPerSecond() const;
  void SetFramesPerSecond(int value);
  bool MovieEnabled() const { return frameTimer_.Enabled(); }
  void SetMovieEnabled(bool value);
  bool AnimateWhenMouseMove() const { return animateWhenMouseMove_; }
  void SetAnimateWhenMouseMove(bool value) { animateWhenMouseMove_ = value; }
  // The colour key of the strip, not the control's see-through surround.
  bool Transparent() const { return keyed_; }
  void SetTransparent(bool value);
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  bool Center() const { return center_; }
  void SetCenter(bool value);
  int CurrentFrame() const { return currentFrame_; }
  // The frame's width and where it is shown in the control.
  int FrameWidth() const;
  TRect FrameRect() const;

  TTimer& FrameTimer() { return frameTimer_; }
  // The timer's tick: the next frame; past the last, frame 1 again (and a
  // stop when AnimateWhenMouseMove is set); then a repaint.
  void FrameTimerTimer();

  void MouseMove(TShiftState Shift, int X, int Y) override;

 protected:
  void Paint() override;

 private:
  void Restart();

  TBitmap picture_;
  bool keyed_ = false;
  int numFrames_ = 1;
  TTimer frameTimer_;
  bool animateWhenMouseMove_ = false;
  int currentFrame_ = 1;
  TColor color_ = clBtnFace;
  bool center_ = false;
};
