// TmKnob (module mKnob): a round knob that sets an angle in degrees: a
// bevelled disc with a mark (a radial line or a dot) pointing in the
// direction of Position; the user drags anywhere on it and the mark turns
// towards the mouse. Angles run counter-clockwise from 3 o'clock: 90 up,
// 180 left, 270 down, 360 just below 3 o'clock.
//
// Public interface (besides TGraphicControl's bounds, hint, events):
//   Position / SetPosition(v)   0; a new value is clamped into Min..Max,
//                               repainted, and reported by OnChange (also
//                               when the clamped value equals the old one);
//                               a negative Position draws no mark
//   Min / SetMin(v)             0; stored only (Position is not re-clamped)
//   Max / SetMax(v)             360; stored and repainted (not re-clamped)
//   FaceColor, TickColor        clBtnFace, clActiveCaption
//   MarkStyle                   msLine (a 3-pixel radial line) or msCircle (a dot)
//   AllowUserDrag               true: a press, and each move while pressed,
//                               turns the knob towards the mouse
//   RotationEffect              false: true makes an odd Position one pixel lower
//   OnChange(Sender, Value)     TKnobChangeEvent, Value the new Position
//   AngleAt(X, Y)               the angle a press at (X, Y) sets, before clamping
// 60 x 60 and opaque at creation.
#pragma once

#include "controls/GraphicControl.h"

#include <functional>

enum TMarkStyle { msLine, msCircle };

using TKnobChangeEvent = std::function<void(QObject* Sender, int Value)>;

class TmKnob : public TGraphicControl {
  Q_OBJECT

 public:
  explicit TmKnob(QWidget* parent = nullptr);

  int Position() const { return position_; }
  void SetPosition(int value);
  int Min() const { return min_; }
  void SetMin(int value) { min_ = value; }
  int Max() const { return max_; }
  void SetMax(int value);
  TColor FaceColor() const { return faceColor_; }
  void SetFaceColor(TColor value);
  TColor TickColor() const { return tickColor_; }
  void SetTickColor(TColor value);
  bool AllowUserDrag() const { return allowUserDrag_; }
  void SetAllowUserDrag(bool value);
  TMarkStyle MarkStyle() const { return markStyle_; }
  void SetMarkStyle(TMarkStyle value);
  bool RotationEffect() const { return rotationEffect_; }
  void SetRotationEffect(bool value) { rotationEffect_ = value; }
  bool Dragging() const { return dragging_; }

  TKnobChangeEvent OnChange;

  int AngleAt(int X, int Y) const;

  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

 protected:
  void Paint() override;
  void changeEvent(QEvent* event) override;

 private:
  void DrawMark(int w, int h);

  int max_ = 360;
  int min_ = 0;
  int position_ = 0;
  TColor faceColor_ = clBtnFace;
  TColor tickColor_ = clActiveCaption;
  bool allowUserDrag_ = true;
  bool dragging_ = false;
  TMarkStyle markStyle_ = msLine;
  bool rotationEffect_ = false;
};
