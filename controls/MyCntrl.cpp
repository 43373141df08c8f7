#include "controls/MyCntrl.h"

#include "platform/Numeric.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Marks, for its lifetime, that the receiver handles an event the sender
// forwarded, so the receiver does not hand it back.
template <typename Sender>
class ForwardedEvent {
 public:
  ForwardedEvent(const Sender*& slot, const Sender* sender) : slot_(slot), previous_(slot) { slot_ = sender; }
  ~ForwardedEvent() { slot_ = previous_; }
  ForwardedEvent(const ForwardedEvent&) = delete;
  ForwardedEvent& operator=(const ForwardedEvent&) = delete;

 private:
  const Sender*& slot_;
  const Sender* previous_;
};

// Stores a new value; false when it is the old one.
template <typename T>
bool Change(T& field, const T& value) {
  if (field == value) return false;
  field = value;
  return true;
}

// The extent of a path's axis: the distance of its points plus a handle.
int Span(int from, int to, int extra) {
  return SaturatingCast<int>(std::abs(static_cast<std::int64_t>(to) - from) + extra);
}

}  // namespace

// =====================================================================================
// TSelectionBox
// =====================================================================================

TSelectionBox::TSelectionBox(QWidget* parent) : TGraphicControl(parent), gliph_(std::make_unique<TBitmap>()) {
  gliph_->SetSize(1, 1);
  // In place of a hidden one-pixel edit, the box itself takes the keys.
  setFocusPolicy(Qt::StrongFocus);
  SetTransparent(true);
  SetBounds(0, 0, 105, 105);
  savedCursor_ = Cursor();
  moved_ = false;
  resized_ = false;
}

TSelectionBox::~TSelectionBox() = default;

// ---- Properties ------------------------------------------------------------------------

// The Box setters place the box: the new value is recorded as the last one,
// so that placing counts as neither a move nor a resize at the next release.
void TSelectionBox::SetBoxLeft(int value) {
  lastLeft_ = value - BoxDeltaX() - boxShift_;
  SetLeft(lastLeft_);
}

void TSelectionBox::SetBoxTop(int value) {
  lastTop_ = value - BoxDeltaY() - boxShift_;
  SetTop(lastTop_);
}

void TSelectionBox::SetBoxWidth(int value) {
  lastWidth_ = value + 2 * BoxDeltaX() + 2 * boxShift_;
  SetWidth(lastWidth_);
  Repaint();
}

void TSelectionBox::SetBoxHeight(int value) {
  lastHeight_ = value + 2 * BoxDeltaY() + 2 * boxShift_;
  SetHeight(lastHeight_);
  Repaint();
}

void TSelectionBox::SetCenterPointX(int value) {
  if (Change(centerPointX_, value)) Repaint();
}
void TSelectionBox::SetCenterPointY(int value) {
  if (Change(centerPointY_, value)) Repaint();
}
void TSelectionBox::SetRotateable(bool value) {
  if (Change(rotateable_, value)) Repaint();
}
void TSelectionBox::SetHasProportionalResize(bool value) {
  if (Change(hasProportionalResize_, value)) Repaint();
}
void TSelectionBox::SetHasVertHorResize(bool value) {
  if (Change(hasVertHorResize_, value)) Repaint();
}
void TSelectionBox::SetColorOfHorizontalResizeBox(TColor value) {
  if (Change(colorOfHorizontalResizeBox_, value)) Repaint();
}
void TSelectionBox::SetColorOfRotationPoint(TColor value) {
  if (Change(colorOfRotationPoint_, value)) Repaint();
}
void TSelectionBox::SetColorOfProportionalResizeBox(TColor value) {
  if (Change(colorOfProportionalResizeBox_, value)) Repaint();
}
void TSelectionBox::SetCaption(const std::string& value) {
  if (Change(caption_, value)) Repaint();
}

void TSelectionBox::SetFont(const TFont& value) {
  font_ = value;
  Repaint();
}

void TSelectionBox::SetShadowColor(TColor value) {
  shadowColor_ = value;
  Repaint();
}

void TSelectionBox::SetGliph(const TBitmap& value) {
  gliph_->Assign(&value);
  Repaint();
}

void TSelectionBox::SetMotionPathVisible(bool value) {
  if (motionPath_ == nullptr) return;
  motionPath_->SetVisible(value);
  motionPathVisible_ = value;
}

// ---- Painting --------------------------------------------------------------------------

const std::string& TSelectionBox::SavedHint() {
  // Captured once: at the first paint, or at the first mouse move of a box
  // that was never painted.
  if (savedHint_ == "-1") savedHint_ = Hint().substr(0, 255);
  return savedHint_;
}

void TSelectionBox::Paint() {
  SavedHint();
  const int W = Width(), H = Height(), D = BoxDeltaX();
  TCanvas& canvas = Canvas();
  canvas.Pen().Color = clBlack;
  canvas.Pen().Style = psDot;
  canvas.Pen().Width = 1;
  canvas.Brush().Color = clWhite;
  canvas.Brush().Style = bsSolid;
  canvas.Polyline({{D, D}, {W - D, D}, {W - D, H - D}, {D, H - D}, {D, D}});
  if (gliph_->Width() > 1 && gliph_->Height() > 1) canvas.Draw(D, D, *gliph_);
  if (!caption_.empty()) {
    canvas.Brush().Style = bsClear;
    canvas.Font() = font_;
    canvas.Font().Color = shadowColor_;
    canvas.TextOut(D + 1, D + 1, caption_);
    canvas.Font().Color = font_.Color;
    canvas.TextOut(D, D, caption_);
  }
  canvas.Pen().Style = psSolid;
  PaintHandles(W, H, D);
}

void TSelectionBox::PaintHandles(int W, int H, int D) {
  TCanvas& canvas = Canvas();
  canvas.Brush().Style = bsSolid;
  const int midX = W / 2, midY = H / 2;
  if (hasVertHorResize_) {
    canvas.Brush().Color = colorOfHorizontalResizeBox_;
    canvas.Rectangle(D - 2, midY - 3, D + 3, midY + 4);
    canvas.Rectangle(W - D - 2, midY - 3, W - D + 3, midY + 4);
    canvas.Rectangle(midX - 3, D - 2, midX + 4, D + 3);
    canvas.Rectangle(midX - 3, H - D - 2, midX + 4, H - D + 3);
  }
  if (rotateable_) {
    canvas.Brush().Color = colorOfRotationPoint_;
    canvas.MoveTo(0, midY);
    canvas.LineTo(D, midY);
    canvas.Ellipse(0, midY - 4, 8, midY + 5);
    canvas.MoveTo(W - D, midY);
    canvas.LineTo(W, midY);
    canvas.Ellipse(W - 8, midY - 4, W, midY + 5);
    canvas.MoveTo(midX, 0);
    canvas.LineTo(midX, D);
    canvas.Ellipse(midX - 4, 0, midX + 5, 8);
    canvas.MoveTo(midX, H);
    canvas.LineTo(midX, H - D);
    canvas.Ellipse(midX - 4, H - 8, midX + 5, H);
  }
  if (hasProportionalResize_) {
    canvas.Brush().Color = colorOfProportionalResizeBox_;
    canvas.Pen().Color = clRed;
    for (const TPoint corner : {Point(D, D), Point(W - D, D), Point(W - D, H - D), Point(D, H - D)})
      canvas.Rectangle(corner.X - 3, corner.Y - 3, corner.X + 3, corner.Y + 3);
  }
}

// ---- Bounds ------------------------------------------------------------------------------

void TSelectionBox::Resize() {
  TGraphicControl::Resize();
  if (Left() != lastLeft_ || Top() != lastTop_) {
    moved_ = true;
    lastLeft_ = Left();
    lastTop_ = Top();
  }
  if (Width() != lastWidth_ || Height() != lastHeight_) {
    resized_ = true;
    lastWidth_ = Width();
    lastHeight_ = Height();
  }
}

// ---- Mouse -------------------------------------------------------------------------------

TSelectionBox::Hit TSelectionBox::HitTest(int X, int Y) const {
  const int W = Width(), H = Height(), D = BoxDeltaX(), h = kHandleHalfSize;
  auto near = [h](int a, int b) { return std::abs(a - b) < h; };
  // Each test that matches overrides the earlier ones: the last match wins.
  Hit hit{savedCursor_, sdsNone};
  auto match = [&hit](bool matches, TCursor cursor, int state) {
    if (matches) hit = {cursor, state};
  };
  match(D < X && X < W - D && D < Y && Y < H - D && moveable_, crMove, sdsMove);
  match(near(X, D) && near(Y, D) && hasProportionalResize_, crSizeNWSE, sdsTopLeft);
  match(near(X, W / 2) && near(Y, D) && hasVertHorResize_, crSizeNS, sdsTop);
  match(near(X, W - D) && near(Y, D) && hasProportionalResize_, crSizeNESW, sdsTopRight);
  match(near(X, W - D) && near(Y, H / 2) && hasVertHorResize_, crSizeWE, sdsRight);
  match(near(X, W - D) && near(Y, H - D) && hasProportionalResize_, crSizeNWSE, sdsBottomRight);
  match(near(X, W / 2) && near(Y, H - D) && hasVertHorResize_, crSizeNS, sdsBottom);
  match(near(X, D) && near(Y, H - D) && hasProportionalResize_, crSizeNESW, sdsBottomLeft);
  match(near(X, D) && near(Y, H / 2) && hasVertHorResize_, crSizeWE, sdsLeft);
  return hit;
}

void TSelectionBox::Hover(TShiftState Shift, int X, int Y) {
  const Hit hit = HitTest(X, Y);
  SetCursor(hit.cursor);
  // Where nothing matches the drag state stays; the cursor alone tells that no drag may start.
  if (hit.state != sdsNone) dragState_ = hit.state;
  TGraphicControl::MouseMove(Shift, X, Y);
}

bool TSelectionBox::HandsToPath() const {
  return motionPath_ != nullptr && motionPath_->Visible() && forwardedFrom_ != motionPath_;
}

bool TSelectionBox::PathTookEvent(bool takeHint) {
  if (motionPath_->HoverState() == 0) return false;
  SetCursor(motionPath_->Cursor());
  if (takeHint) SetHint(motionPath_->Hint());
  return true;
}

void TSelectionBox::MouseMove(TShiftState Shift, int X, int Y) {
  // While the box is dragged, its moves are its own.
  if (!dragging_ && HandsToPath()) {
    ForwardedEvent<TSelectionBox> forwarded(motionPath_->forwardedFrom_, this);
    motionPath_->MouseMove(Shift, X + Left() - motionPath_->Left(), Y + Top() - motionPath_->Top());
    if (PathTookEvent(true)) return;
  }
  SetHint(SavedHint());
  if (dragging_) {
    DragTo(X, Y);  // no OnMouseMove during a drag
    return;
  }
  Hover(Shift, X, Y);
}

void TSelectionBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (!dragging_ && HandsToPath()) {
    ForwardedEvent<TSelectionBox> forwarded(motionPath_->forwardedFrom_, this);
    motionPath_->MouseDown(Button, Shift, X + Left() - motionPath_->Left(), Y + Top() - motionPath_->Top());
    if (PathTookEvent(false)) return;
  }
  if (focusPolicy() != Qt::NoFocus) setFocus(Qt::MouseFocusReason);
  // The press decides by its own point, not by the last hover: a press handed
  // over by a motion path comes without a hover before it.
  const Hit hit = HitTest(X, Y);
  SetCursor(hit.cursor);
  if (hit.state != sdsNone) dragState_ = hit.state;
  if (Button == mbLeft && Cursor() != savedCursor_) {
    dragging_ = true;
    referenceX_ = X;
    referenceY_ = Y;
  }
  TGraphicControl::MouseDown(Button, Shift, X, Y);
}

void TSelectionBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (motionPath_ != nullptr && forwardedFrom_ != motionPath_) {
    {
      ForwardedEvent<TSelectionBox> forwarded(motionPath_->forwardedFrom_, this);
      motionPath_->MouseUp(Button, Shift, X + Left() - motionPath_->Left(), Y + Top() - motionPath_->Top());
    }
    // A drag of the box itself always ends at its release.
    if (!dragging_ && PathTookEvent(false)) return;
  }
  dragging_ = false;
  if (moved_) Fire(OnMoved, this);
  moved_ = false;
  if (resized_) Fire(OnResized, this);
  resized_ = false;
  TGraphicControl::MouseUp(Button, Shift, X, Y);
}

void TSelectionBox::MouseDoubleClick(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDoubleClick(Button, Shift, X, Y);
  if (Button == mbLeft) dragging_ = false;
}

// One drag step. Corner drags keep the ratio of the whole control; a step that
// would make the control smaller than the minimum is dropped as a whole.
void TSelectionBox::DragTo(int X, int Y) {
  const int W = Width(), H = Height(), D = BoxDeltaX();
  const int m = 2 * D + kInnerMinimum;
  switch (dragState_) {
    case sdsTopLeft: {
      if (H == 0) break;
      const int dy = Y - referenceY_;
      const int dx = Round(static_cast<double>(W) / H * dy);
      if (W - dx > m && H - dy > m) {
        SetLeft(Left() + dx);
        SetTop(Top() + dy);
        SetWidth(Width() - dx);
        SetHeight(Height() - dy);
      }
      break;
    }
    case sdsTop: {
      const int dy = Y - referenceY_;
      if (H - dy > m) {
        SetTop(Top() + dy);
        SetHeight(Height() - dy);
      }
      break;
    }
    case sdsTopRight: {
      if (W == 0) break;
      const int w = X + D;
      if (w <= m) break;
      const int h = Round(static_cast<double>(H) / W * w);
      if (h > m) {
        SetTop(Top() - (h - H));
        SetHeight(h);
        SetWidth(w);
      }
      break;
    }
    case sdsRight: {
      const int w = X + D;
      if (w > m) SetWidth(w);
      break;
    }
    case sdsBottomRight: {
      if (W == 0 || H == 0) break;
      const int w = X + D;
      if (w <= m) break;
      const int h = Round(static_cast<double>(H) / W * w);
      if (h > m) {
        SetHeight(h);
        SetWidth(w);
      }
      break;
    }
    case sdsBottom: {
      const int h = Y + D;
      if (h > m) SetHeight(h);
      break;
    }
    case sdsBottomLeft: {
      if (W == 0 || H == 0) break;
      const int h = Y + D;
      const int w = Round(static_cast<double>(W) / H * h);
      if (w > m && h > m) {
        SetLeft(Left() - (w - W));
        SetWidth(w);
        SetHeight(h);
      }
      break;
    }
    case sdsLeft: {
      const int dx = X - referenceX_;
      if (W - dx > m) {
        SetLeft(Left() + dx);
        SetWidth(Width() - dx);
      }
      break;
    }
    case sdsMove:
      SetLeft(Left() + X - referenceX_);
      SetTop(Top() + Y - referenceY_);
      break;
    default:
      break;
  }
}

// =====================================================================================
// TMotionPath
// =====================================================================================

TMotionPath::TMotionPath(QWidget* parent) : TGraphicControl(parent) {
  SetTransparent(true);
  SetBounds(0, 0, 8, 8);
  SetBeginPointX(10);
  SetBeginPointY(100);
  SetEndPointX(100);
  SetEndPointY(10);
  savedCursor_ = Cursor();
  moved_ = false;
}

TMotionPath::~TMotionPath() = default;

// ---- Points and look -------------------------------------------------------------------

void TMotionPath::SetBeginPointX(int value) {
  if (value == beginPointX_) return;
  beginPointX_ = value;
  SetLeft(std::min(value, endPointX_) - circleSize_ / 2);
  SetWidth(Span(value, endPointX_, circleSize_));
}

void TMotionPath::SetBeginPointY(int value) {
  if (value == beginPointY_) return;
  beginPointY_ = value;
  SetTop(std::min(value, endPointY_) - circleSize_ / 2);
  SetHeight(Span(value, endPointY_, circleSize_));
}

void TMotionPath::SetEndPointX(int value) {
  if (value == endPointX_) return;
  endPointX_ = value;
  SetLeft(std::min(beginPointX_, value) - circleSize_ / 2);
  SetWidth(Span(beginPointX_, value, circleSize_));
}

void TMotionPath::SetEndPointY(int value) {
  if (value == endPointY_) return;
  endPointY_ = value;
  SetTop(std::min(beginPointY_, value) - circleSize_ / 2);
  SetHeight(Span(beginPointY_, value, circleSize_));
}

void TMotionPath::SetColorOfBeginPoint(TColor value) {
  if (Change(colorOfBeginPoint_, value)) Repaint();
}
void TMotionPath::SetColorOfEndPoint(TColor value) {
  if (Change(colorOfEndPoint_, value)) Repaint();
}
void TMotionPath::SetColorOfVector(TColor value) {
  if (Change(colorOfVector_, value)) Repaint();
}
void TMotionPath::SetCircleSize(int value) {
  if (Change(circleSize_, value)) Repaint();
}
void TMotionPath::SetCircleType(TCircleType value) {
  if (Change(circleType_, value)) Repaint();
}

// The begin handle sits at the left (top) edge while its point is the smaller
// one, the end handle at the other; on a shared coordinate both sit at 0.
TPoint TMotionPath::BeginHandle() const {
  return {beginPointX_ < endPointX_ ? 0 : (beginPointX_ > endPointX_ ? Width() - circleSize_ : 0),
          beginPointY_ < endPointY_ ? 0 : (beginPointY_ > endPointY_ ? Height() - circleSize_ : 0)};
}

TPoint TMotionPath::EndHandle() const {
  return {beginPointX_ < endPointX_ ? Width() - circleSize_ : 0,
          beginPointY_ < endPointY_ ? Height() - circleSize_ : 0};
}

void TMotionPath::Paint() {
  const int cs = circleSize_;
  const TPoint b = BeginHandle(), e = EndHandle();
  TCanvas& canvas = Canvas();
  canvas.Pen().Color = colorOfVector_;
  canvas.Pen().Style = psDash;
  canvas.Pen().Width = 1;
  canvas.MoveTo(b.X + cs / 2, b.Y + cs / 2);
  canvas.LineTo(e.X + cs / 2, e.Y + cs / 2);
  canvas.Pen().Style = psSolid;
  canvas.Pen().Color = clBlack;
  canvas.Brush().Style = bsSolid;
  for (const auto& [corner, color] : {std::pair{b, colorOfBeginPoint_}, std::pair{e, colorOfEndPoint_}}) {
    canvas.Brush().Color = color;
    if (circleType_ == ctCircle) {
      canvas.Ellipse(corner.X, corner.Y, corner.X + cs, corner.Y + cs);
    } else {
      canvas.Rectangle(corner.X, corner.Y, corner.X + cs, corner.Y + cs);
    }
  }
}

void TMotionPath::Resize() {
  TGraphicControl::Resize();
  moved_ = true;
}

// ---- Mouse -------------------------------------------------------------------------------

bool TMotionPath::OnTheLine(int X, int Y) const {
  const TPoint b = BeginHandle(), e = EndHandle();
  const int W = Width(), H = Height();
  // Distances from the begin handle's side.
  const int rx = e.X > b.X ? X : W - X;
  const int ry = e.Y > b.Y ? Y : H - Y;
  if (ry == 0 || H == 0 || b.X == e.X || b.Y == e.Y) return true;
  const double s = static_cast<double>(rx) / ry;
  const double ratio = static_cast<double>(W) / H;
  return s - 0.1 * s < ratio && ratio < s + 0.1 * s;
}

void TMotionPath::Hover(TShiftState Shift, int X, int Y) {
  SetCursor(savedCursor_);
  hoverState_ = 0;
  SetHint("");
  const int cs = circleSize_;
  auto onHandle = [X, Y, cs](TPoint h) { return h.X < X && X < h.X + cs && h.Y < Y && Y < h.Y + cs; };
  if (onHandle(BeginHandle())) {
    SetCursor(crCross);
    hoverState_ = 1;
    TGraphicControl::MouseMove(Shift, X, Y);
    SetHint(HintAtBeginPoint);
  } else if (onHandle(EndHandle())) {
    SetCursor(crCross);
    hoverState_ = 2;
    TGraphicControl::MouseMove(Shift, X, Y);
    SetHint(HintAtEndPoint);
  } else if (OnTheLine(X, Y)) {
    SetCursor(crMove);
    hoverState_ = 3;
    TGraphicControl::MouseMove(Shift, X, Y);
  }
}

TPoint TMotionPath::InBottomControl(int X, int Y) const {
  return {X + Left() - bottomControl_->Left(), Y + Top() - bottomControl_->Top()};
}

bool TMotionPath::HandsToBottomControl() const {
  return bottomControl_ != nullptr && forwardedFrom_ != bottomControl_;
}

void TMotionPath::ForwardPress(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (!HandsToBottomControl()) return;
  const TPoint p = InBottomControl(X, Y);
  if (p.X < 0 || p.X > bottomControl_->Width() || p.Y < 0 || p.Y > bottomControl_->Height()) return;
  ForwardedEvent<TMotionPath> forwarded(bottomControl_->forwardedFrom_, this);
  bottomControl_->MouseDown(Button, Shift, p.X, p.Y);
  pressForwarded_ = true;
}

void TMotionPath::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (!Visible()) return;
  if (Button != mbLeft) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    return;
  }
  Hover(Shift, X, Y);
  switch (hoverState_) {
    case 1: Fire(BeginPointClick, this); break;
    case 2: Fire(EndPointClick, this); break;
    case 3: break;
    default: ForwardPress(Button, Shift, X, Y); break;
  }
  dragging_ = true;
  referenceX_ = X;
  referenceY_ = Y;
  TGraphicControl::MouseDown(Button, Shift, X, Y);
}

void TMotionPath::MouseMove(TShiftState Shift, int X, int Y) {
  if (!Visible()) return;
  if (!dragging_) {
    Hover(Shift, X, Y);
    return;
  }
  if (hoverState_ != 0) {
    DragTo(X, Y);
  } else if (pressForwarded_ && HandsToBottomControl()) {
    // A drag that began on nothing stays on nothing; the control below,
    // which took the press, follows the mouse.
    const TPoint p = InBottomControl(X, Y);
    ForwardedEvent<TMotionPath> forwarded(bottomControl_->forwardedFrom_, this);
    bottomControl_->MouseMove(Shift, p.X, p.Y);
  }
}

void TMotionPath::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  // The control below finishes a press it took even when this path was hidden meanwhile.
  if (pressForwarded_) {
    pressForwarded_ = false;
    if (HandsToBottomControl()) {
      const TPoint p = InBottomControl(X, Y);
      ForwardedEvent<TMotionPath> forwarded(bottomControl_->forwardedFrom_, this);
      bottomControl_->MouseUp(Button, Shift, p.X, p.Y);
    }
  }
  if (!Visible()) {
    dragging_ = false;
    return;
  }
  if (dragging_) {
    dragging_ = false;
    if (moved_) Fire(OnMoved, this);
    moved_ = false;
  }
  TGraphicControl::MouseUp(Button, Shift, X, Y);
}

void TMotionPath::DragTo(int X, int Y) {
  const int dx = X - referenceX_, dy = Y - referenceY_;
  switch (hoverState_) {
    case 1:
      SetBeginPointX(beginPointX_ + dx);
      SetBeginPointY(beginPointY_ + dy);
      // The origin follows the dragged point only while it is the smaller one;
      // otherwise the reference moves to the mouse.
      if (beginPointX_ > endPointX_) referenceX_ = X;
      if (beginPointY_ > endPointY_) referenceY_ = Y;
      break;
    case 2:
      SetEndPointX(endPointX_ + dx);
      SetEndPointY(endPointY_ + dy);
      if (beginPointX_ < endPointX_) referenceX_ = X;
      if (beginPointY_ < endPointY_) referenceY_ = Y;
      break;
    case 3:
      SetBeginPointX(beginPointX_ + dx);
      SetBeginPointY(beginPointY_ + dy);
      SetEndPointX(endPointX_ + dx);
      SetEndPointY(endPointY_ + dy);
      break;
    default:
      break;
  }
}
