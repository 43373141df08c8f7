// The editing frames that lie over the canvas: the selection box, with which
// the user moves and resizes a rectangle, and the motion path, a pair of
// point handles joined by a line. Both are graphic controls that leave their
// interior unpainted.
//
// The two may be linked: a box hands mouse events to its MotionPath first,
// and a path hands a press on nothing to its BottomControl. An event that one
// of them forwarded is never handed back by the other, so a box and a path
// naming each other cannot recurse.
#pragma once

#include "controls/GraphicControl.h"

#include <memory>
#include <string>

class TMotionPath;

// ---- Selection box -----------------------------------------------------------------------

// The box's drag states: the handles in clockwise order from the top-left
// corner, and moving.
enum TSelectionDragState : int {
  sdsNone = 0,
  sdsTopLeft = 1,
  sdsTop = 2,
  sdsTopRight = 3,
  sdsRight = 4,
  sdsBottomRight = 5,
  sdsBottom = 6,
  sdsBottomLeft = 7,
  sdsLeft = 8,
  sdsMove = 9,
};

// A dotted frame with edge and corner handles (and, when rotateable, four
// knobs on stalks that are only drawn), an optional glyph and caption in its
// top-left corner. The frame lies BoxDeltaX/Y inside the control's bounds,
// the box BoxShift further in. The box takes the keyboard focus when it is
// pressed and raises its key events with itself as Sender.
//
// OnMoved and OnResized fire at a mouse release when the position or the size
// changed since the previous release; a change of Left, Top, Width, Height or
// SetBounds made by code counts too, while the Box... setters place the box
// without counting as a move or resize.
class TSelectionBox : public TGraphicControl {
  Q_OBJECT

 public:
  explicit TSelectionBox(QWidget* parent = nullptr);
  ~TSelectionBox() override;

  // ---- The box ----
  // The inset of the dotted frame: 17 when Rotateable, else 4.
  int BoxDeltaX() const { return rotateable_ ? 17 : 4; }
  int BoxDeltaY() const { return BoxDeltaX(); }
  int BoxLeft() const { return Left() + BoxDeltaX() + boxShift_; }
  int BoxTop() const { return Top() + BoxDeltaY() + boxShift_; }
  int BoxWidth() const { return Width() - 2 * BoxDeltaX() - 2 * boxShift_; }
  int BoxHeight() const { return Height() - 2 * BoxDeltaY() - 2 * boxShift_; }
  void SetBoxLeft(int value);
  void SetBoxTop(int value);
  void SetBoxWidth(int value);
  void SetBoxHeight(int value);
  int BoxShift() const { return boxShift_; }
  void SetBoxShift(int value) { boxShift_ = value; }

  // ---- Properties ----
  int CenterPointX() const { return centerPointX_; }
  void SetCenterPointX(int value);
  int CenterPointY() const { return centerPointY_; }
  void SetCenterPointY(int value);
  bool Rotateable() const { return rotateable_; }
  void SetRotateable(bool value);
  bool HasProportionalResize() const { return hasProportionalResize_; }
  void SetHasProportionalResize(bool value);
  bool HasVertHorResize() const { return hasVertHorResize_; }
  void SetHasVertHorResize(bool value);
  bool Moveable() const { return moveable_; }
  void SetMoveable(bool value) { moveable_ = value; }
  TColor ColorOfHorizontalResizeBox() const { return colorOfHorizontalResizeBox_; }
  void SetColorOfHorizontalResizeBox(TColor value);
  TColor ColorOfRotationPoint() const { return colorOfRotationPoint_; }
  void SetColorOfRotationPoint(TColor value);
  TColor ColorOfProportionalResizeBox() const { return colorOfProportionalResizeBox_; }
  void SetColorOfProportionalResizeBox(TColor value);
  // Windows-1252 text drawn in the frame's top-left corner over its shadow.
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& value);
  TColor ShadowColor() const { return shadowColor_; }
  void SetShadowColor(TColor value);
  // Drawn in the frame's corner when larger than 1 x 1; the box keeps a copy.
  const TBitmap& Gliph() const { return *gliph_; }
  void SetGliph(const TBitmap& value);
  // Stored only; the box does not use it.
  TCursor CursorWhenMoving() const { return cursorWhenMoving_; }
  void SetCursorWhenMoving(TCursor value) { cursorWhenMoving_ = value; }

  // ---- The linked motion path (not owned) ----
  TMotionPath* MotionPath() const { return motionPath_; }
  void SetMotionPath(TMotionPath* value) { motionPath_ = value; }
  bool MotionPathVisible() const { return motionPathVisible_; }
  // Shows or hides the linked path; nothing without one.
  void SetMotionPathVisible(bool value);

  // ---- Events ----
  TNotifyEvent OnMoved;
  TNotifyEvent OnResized;

  // ---- State ----
  int DragState() const { return dragState_; }
  bool Dragging() const { return dragging_; }

  // ---- Handlers ----
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // Runs the inherited handling and ends any drag.
  void MouseDoubleClick(TMouseButton Button, TShiftState Shift, int X, int Y) override;

 protected:
  void Paint() override;
  // The bounds check: OnResize, then the moved and resized flags.
  void Resize() override;

 private:
  friend class TMotionPath;
  struct Hit {
    TCursor cursor;
    int state;  // sdsNone: no handle, keep the state there was
  };
  Hit HitTest(int X, int Y) const;
  // The hover test: cursor and drag state of the point, then OnMouseMove.
  void Hover(TShiftState Shift, int X, int Y);
  void DragTo(int X, int Y);
  const std::string& SavedHint();
  // Whether the event goes to the linked path first; false for an event the path forwarded.
  bool HandsToPath() const;
  // After an event handed to the path: whether the path took it (it reports
  // a handle or the line under the mouse), and if so the box takes its cursor.
  bool PathTookEvent(bool takeHint);
  void PaintHandles(int W, int H, int D);

  int centerPointX_ = 0;
  int centerPointY_ = 0;
  TCursor savedCursor_ = crDefault;
  int referenceX_ = 0;
  int referenceY_ = 0;
  static constexpr int kHandleHalfSize = 4;
  static constexpr int kInnerMinimum = 10;
  int dragState_ = sdsNone;
  bool rotateable_ = true;
  bool hasProportionalResize_ = true;
  bool hasVertHorResize_ = true;
  bool moveable_ = true;
  TColor colorOfHorizontalResizeBox_ = 0x0000FFFF;
  TColor colorOfRotationPoint_ = 0x0000FF00;
  TColor colorOfProportionalResizeBox_ = 0x00FFFFFF;
  bool motionPathVisible_ = false;
  bool moved_ = false;
  bool resized_ = false;
  int boxShift_ = 3;
  int lastWidth_ = 0;
  int lastHeight_ = 0;
  int lastLeft_ = 0;
  int lastTop_ = 0;
  std::unique_ptr<TBitmap> gliph_;
  std::string savedHint_ = "-1";
  TCursor cursorWhenMoving_ = crDefault;
  std::string caption_;
  TFont font_;
  TColor shadowColor_ = 0x00000000;
  TMotionPath* motionPath_ = nullptr;
  bool dragging_ = false;
  // The path whose forwarded event is being handled, so it is not handed back.
  const TMotionPath* forwardedFrom_ = nullptr;
};

// ---- Motion path -----------------------------------------------------------------------

enum TCircleType : int { ctCircle, ctRectangle };

// Two point handles (begin and end) joined by a dashed line. The points are
// in the parent's coordinates, and the control's bounds always hug them:
// Left = min(BeginPointX, EndPointX) - CircleSize / 2, Width = |EndPointX -
// BeginPointX| + CircleSize, and likewise on the Y axis. The user drags a
// handle or the whole line; a press on nothing goes to BottomControl when it
// lies inside it, and while such a press lasts the moves and the release go
// there too. An invisible path ignores the mouse.
class TMotionPath : public TGraphicControl {
  Q_OBJECT

 public:
  explicit TMotionPath(QWidget* parent = nullptr);
  ~TMotionPath() override;

  // ---- The points (each setter re-bounds its axis) ----
  int BeginPointX() const { return beginPointX_; }
  int BeginPointY() const { return beginPointY_; }
  int EndPointX() const { return endPointX_; }
  int EndPointY() const { return endPointY_; }
  void SetBeginPointX(int value);
  void SetBeginPointY(int value);
  void SetEndPointX(int value);
  void SetEndPointY(int value);

  // ---- Look ----
  TColor ColorOfBeginPoint() const { return colorOfBeginPoint_; }
  void SetColorOfBeginPoint(TColor value);
  TColor ColorOfEndPoint() const { return colorOfEndPoint_; }
  void SetColorOfEndPoint(TColor value);
  TColor ColorOfVector() const { return colorOfVector_; }
  void SetColorOfVector(TColor value);
  // The side of a handle; a change repaints in the old bounds (the next point change re-bounds).
  int CircleSize() const { return circleSize_; }
  void SetCircleSize(int value);
  TCircleType CircleType() const { return circleType_; }
  void SetCircleType(TCircleType value);
  // Windows-1252 hints shown over each handle.
  std::string HintAtBeginPoint;
  std::string HintAtEndPoint;

  // ---- The control below (not owned) ----
  TSelectionBox* BottomControl() const { return bottomControl_; }
  void SetBottomControl(TSelectionBox* value) { bottomControl_ = value; }

  // ---- Events ----
  TNotifyEvent OnMoved;
  TNotifyEvent BeginPointClick;
  TNotifyEvent EndPointClick;

  // ---- State ----
  // 0 nothing, 1 the begin handle, 2 the end handle, 3 the line.
  int HoverState() const { return hoverState_; }
  bool Dragging() const { return dragging_; }
  // The handles' left and top edges in control coordinates.
  TPoint BeginHandle() const;
  TPoint EndHandle() const;

  // ---- Handlers ----
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

 protected:
  void Paint() override;
  // The bounds check: every change of the bounds marks the path moved.
  void Resize() override;

 private:
  friend class TSelectionBox;
  void Hover(TShiftState Shift, int X, int Y);
  bool OnTheLine(int X, int Y) const;
  void DragTo(int X, int Y);
  // The point in the bottom control's coordinates.
  TPoint InBottomControl(int X, int Y) const;
  bool HandsToBottomControl() const;
  void ForwardPress(TMouseButton Button, TShiftState Shift, int X, int Y);

  int referenceX_ = 0;
  int referenceY_ = 0;
  bool dragging_ = false;
  TCursor savedCursor_ = crDefault;
  TColor colorOfBeginPoint_ = 0x000000FF;
  TColor colorOfEndPoint_ = 0x0000FF00;
  TColor colorOfVector_ = 0x00000000;
  int beginPointX_ = 0;
  int beginPointY_ = 0;
  int endPointX_ = 0;
  int endPointY_ = 0;
  int circleSize_ = 8;
  bool moved_ = false;
  TSelectionBox* bottomControl_ = nullptr;
  TCircleType circleType_ = ctCircle;
  int hoverState_ = 0;
  // A press on nothing that went to the bottom control: its moves and release follow it.
  bool pressForwarded_ = false;
  // The box whose forwarded event is being handled, so it is not handed back.
  const TSelectionBox* forwardedFrom_ = nullptr;
};
