// Canvas editing: selecting a sprite by a click, placing the selection box,
// the line handles and the motion path over the current sprite, and turning
// their drags and the arrow keys into changes of the current motion step,
// shape or line (each recorded by the scene model's change operations).
//
// The controls fire their moved and resized events also after a placement
// by code. Every handler therefore first compares with where UpdateSelection
// put the control for the model, and then with the model itself: an event
// without a real change records nothing and changes nothing.
#include "app/AnimationWindowU.h"

#include "app/core/SizeLimits.h"
#include "controls/Image.h"
#include "controls/MyCntrl.h"
#include "imaging/utils.h"
#include "platform/Numeric.h"
#include "platform/UiServices.h"
#include "scene/Frame.h"
#include "scene/Moving.h"
#include "scene/Sprite.h"

#include <algorithm>
#include <cstdlib>

struct TAnimationWindow::TEditTarget {
  TSprite* sprite = nullptr;
  TMoving* path = nullptr;
  TFrame* frame = nullptr;  // the host's current frame, may be null
};

namespace {

constexpr TColor kOtherStepLine = 0x00808080;
constexpr TColor kOtherStepLineBrush = 0x00C0C0C0;
constexpr TColor kOtherStepBegin = 0x00008000;
constexpr TColor kOtherStepEnd = 0x00000080;
constexpr int kOtherStepRadius = 4;

// A stored position of the path in scene pixels, and back (per cent of the
// scene's side when the path works in per cent).
int PixelsOf(const TMoving& path, double value, int side) {
  return path.PositionUnits != 0 ? Round(value) : Round(value * side / 100.0);
}

double StoredOf(const TMoving& path, int pixels, int side) {
  return path.PositionUnits != 0 ? static_cast<double>(pixels) : pixels * 100.0 / side;
}

// Whether the values give the step as it is: reals as the step stores them
// (6-byte reals), so a value that only differs beyond that precision is no change.
bool SameValues(const TMovingStepValues& a, const TMovingStepValues& b) {
  const auto same = [](double x, double y) { return static_cast<double>(TReal6(x)) == static_cast<double>(TReal6(y)); };
  return a.Kind == b.Kind && same(a.X1, b.X1) && same(a.Y1, b.Y1) && same(a.X2, b.X2) && same(a.Y2, b.Y2) &&
         same(a.StartX, b.StartX) && same(a.StartY, b.StartY) && same(a.ZoomXStart, b.ZoomXStart) &&
         same(a.ZoomYStart, b.ZoomYStart) && same(a.ZoomXEnd, b.ZoomXEnd) && same(a.ZoomYEnd, b.ZoomYEnd);
}

std::string MotionPointHint(const char* which, double x, double y) {
  return std::string(which) + ", X=" + FloatToShortStr(x, 4, 1) + " pxs" + ", Y=" + FloatToShortStr(y, 4, 1) + " pxs";
}

bool IsShapeFrame(const TFrame& frame) { return frame.Kind == fkRectangle || frame.Kind == fkEllipse; }

}  // namespace

// ---- Selecting ---------------------------------------------------------------------------------------

int TAnimationWindow::SpriteAtPoint(int x, int y) const {
  if (scene_ == nullptr) return -1;
  // The top of the drawing order is the end of the list.
  for (int i = scene_->SpriteCount() - 1; i >= 0; --i) {
    const TSprite& sprite = scene_->Sprite(i);
    if (sprite.Hidden != 0) continue;
    const TRect& r = sprite.DrawnRect;
    if (r.Left < x && x < r.Right && r.Top < y && y < r.Bottom) return i;
  }
  return -1;
}

void TAnimationWindow::HideSelection() {
  SpriteSelectionBox->SetVisible(false);
  LineSelection->SetVisible(false);
  MotionPath1->SetVisible(false);
}

void TAnimationWindow::PanelAnimationMouseDown(TMouseButton, TShiftState, int X, int Y) {
  if (Playing() || scene_ == nullptr) return;
  host_.ClearTreeChangeRunning();
  const int x = X + PanelAnimation->Left() - PanelAnimation->BoxLeft();
  const int y = Y + PanelAnimation->Top() - PanelAnimation->BoxTop();
  const int hit = SpriteAtPoint(x, y);
  if (hit < 0) {
    HideSelection();
    return;
  }
  host_.SelectTreeNode(hit, 2);
  UpdateSelection();
  SpriteSelectionBoxClick();
}

void TAnimationWindow::PanelAnimationMouseMove(TShiftState, int X, int Y) {
  const int x = std::max(0, X + PanelAnimation->Left() - PanelAnimation->BoxLeft());
  const int y = std::max(0, Y + PanelAnimation->Top() - PanelAnimation->BoxTop());
  host_.ShowStatusText(1, IntToStr(x) + ", " + IntToStr(y));
}

// The box takes the keyboard, so that the arrow keys nudge the sprite.
void TAnimationWindow::SpriteSelectionBoxClick() {
  if (SpriteSelectionBox->Visible()) SpriteSelectionBox->setFocus(Qt::OtherFocusReason);
}

void TAnimationWindow::SpriteSelectionBoxDblClick() { host_.ShowPropertiesPanel(); }

// ---- Placing the controls ----------------------------------------------------------------------------

void TAnimationWindow::UpdateSelection() {
  if (scene_ == nullptr) return;
  // A control the user is dragging keeps its place until the release.
  if (SpriteSelectionBox->Dragging() || MotionPath1->Dragging() || LineSelection->Dragging() ||
      PanelAnimation->Dragging())
    return;
  TSprite* sprite = host_.CurrentSprite();
  if (selectionBusy_ || Playing() || sprite == nullptr || sprite->Hidden != 0) {
    HideSelection();
    return;
  }
  selectionBusy_ = true;
  struct Done {
    bool& busy;
    ~Done() { busy = false; }
  } done{selectionBusy_};
  // Hiding a control takes the keyboard from it; the box placed again keeps it.
  const bool boxHadFocus = SpriteSelectionBox->hasFocus();
  HideSelection();

  TFrame* frame = host_.CurrentFrame();
  const TRect drawn = sprite->DrawnRect;
  const int canvasLeft = PanelAnimation->BoxLeft();
  const int canvasTop = PanelAnimation->BoxTop();
  if (frame != nullptr && frame->Kind == fkLine) {
    const int half = frame->Shape.BorderWidth / 2;
    LineSelection->SetBeginPointX(drawn.Left + canvasLeft + frame->LineStart.X + half);
    LineSelection->SetBeginPointY(drawn.Top + canvasTop + frame->LineStart.Y + half);
    LineSelection->SetEndPointX(drawn.Left + canvasLeft + frame->LineEnd.X + half);
    LineSelection->SetEndPointY(drawn.Top + canvasTop + frame->LineEnd.Y + half);
    LineSelection->SetVisible(true);
  } else {
    SpriteSelectionBox->SetMoveable(true);
    SpriteSelectionBox->SetHasProportionalResize(true);
    SpriteSelectionBox->SetHasVertHorResize(true);
    SpriteSelectionBox->SetCaption("");
    SpriteSelectionBox->SetBoxLeft(drawn.Left + canvasLeft);
    SpriteSelectionBox->SetBoxTop(drawn.Top + canvasTop);
    const bool drawnHasArea = drawn.Width() != 0 && drawn.Height() != 0;
    SpriteSelectionBox->SetBoxWidth(drawnHasArea ? drawn.Width() : (frame != nullptr ? frame->ImageWidth : 0));
    SpriteSelectionBox->SetBoxHeight(drawnHasArea ? drawn.Height() : (frame != nullptr ? frame->ImageHeight : 0));
    SpriteSelectionBox->SetVisible(SpriteSelectionBox->BoxWidth() >= 1 && SpriteSelectionBox->BoxHeight() >= 1);
  }
  DrawOtherMotionSteps();

  TMoving& path = sprite->Motion();
  if (path.StepCount() > 0) {
    const TMovingStep& step = path.Step(path.CurrentStepIndex());
    if (step.Kind == mskLine) {
      SpriteSelectionBox->SetMoveable(true);
      SpriteSelectionBox->SetHasProportionalResize(true);
      SpriteSelectionBox->SetHasVertHorResize(true);
      PlaceMotionPath({sprite, &path, frame});
      if (frame != nullptr) {
        const bool begin = BeginPointEdited;
        SpriteSelectionBox->SetCaption(begin ? " First Pos." : " Last Pos.");
        SpriteSelectionBox->SetLeft(begin ? MotionPath1->BeginPointX() : MotionPath1->EndPointX());
        SpriteSelectionBox->SetTop(begin ? MotionPath1->BeginPointY() : MotionPath1->EndPointY());
        SpriteSelectionBox->SetBoxWidth(Round((begin ? step.ZoomXStart : step.ZoomXEnd) * frame->ImageWidth));
        SpriteSelectionBox->SetBoxHeight(Round((begin ? step.ZoomYStart : step.ZoomYEnd) * frame->ImageHeight));
      }
    } else if (step.Kind == mskHold && frame != nullptr && step.Duration > 0) {
      SpriteSelectionBox->SetBoxWidth(Round(step.ZoomXStart * frame->ImageWidth));
      SpriteSelectionBox->SetBoxHeight(Round(step.ZoomYStart * frame->ImageHeight));
    }
  }
  if (boxHadFocus && SpriteSelectionBox->Visible()) SpriteSelectionBox->setFocus(Qt::OtherFocusReason);
  placedBoxControl_ = SpriteSelectionBox->BoundsRect();
  placedLineBegin_ = Point(LineSelection->BeginPointX(), LineSelection->BeginPointY());
  placedLineEnd_ = Point(LineSelection->EndPointX(), LineSelection->EndPointY());
  placedBegin_ = Point(MotionPath1->BeginPointX(), MotionPath1->BeginPointY());
  placedEnd_ = Point(MotionPath1->EndPointX(), MotionPath1->EndPointY());
}

void TAnimationWindow::PlaceMotionPath(const TEditTarget& target) {
  const TMoving& path = *target.path;
  const TMovingStep& step = path.Step(target.path->CurrentStepIndex());
  const int left = PanelAnimation->BoxLeft();
  const int top = PanelAnimation->BoxTop();
  MotionPath1->SetBeginPointX(left + PixelsOf(path, step.X1, scene_->Width));
  MotionPath1->SetBeginPointY(top + PixelsOf(path, step.Y1, scene_->Height));
  MotionPath1->SetEndPointX(left + PixelsOf(path, step.X2, scene_->Width));
  MotionPath1->SetEndPointY(top + PixelsOf(path, step.Y2, scene_->Height));
  MotionPath1->SetVisible(true);
  SetMotionPathHints(target);
}

void TAnimationWindow::SetMotionPathHints(const TEditTarget& target) {
  const TMovingStep& step = target.path->Step(target.path->CurrentStepIndex());
  MotionPath1->HintAtBeginPoint = MotionPointHint("First Motion Point", step.X1, step.Y1);
  MotionPath1->HintAtEndPoint = MotionPointHint("Last Motion Point", step.X2, step.Y2);
}

void TAnimationWindow::DrawOtherMotionSteps() {
  TSprite* sprite = host_.CurrentSprite();
  if (Playing() || sprite == nullptr || scene_->Width < 1 || scene_->Height < 1) return;
  TMoving& path = sprite->Motion();
  if (path.StepCount() < 1) return;
  const int current = path.CurrentStepIndex();
  TCanvas& canvas = PictureBackground->Bitmap().Canvas();
  const auto circle = [&canvas](int x, int y, TColor fill) {
    canvas.Brush().Color = fill;
    canvas.Brush().Style = bsSolid;
    canvas.Ellipse(x - kOtherStepRadius, y - kOtherStepRadius, x + kOtherStepRadius, y + kOtherStepRadius);
  };
  for (int i = 0; i < path.StepCount(); ++i) {
    if (i == current) continue;
    const TMovingStep& step = path.Step(i);
    const int x1 = PixelsOf(path, step.X1, scene_->Width), y1 = PixelsOf(path, step.Y1, scene_->Height);
    const int x2 = PixelsOf(path, step.X2, scene_->Width), y2 = PixelsOf(path, step.Y2, scene_->Height);
    canvas.Pen().Color = kOtherStepLine;
    canvas.Pen().Style = psDash;
    canvas.Pen().Width = 1;
    canvas.Brush().Color = kOtherStepLineBrush;
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
    canvas.Pen().Style = psSolid;
    circle(x1, y1, kOtherStepBegin);
    if (step.Kind != mskHold) circle(x2, y2, kOtherStepEnd);
  }
  PictureBackground->Repaint();
}

// ---- Editing -------------------------------------------------------------------------------------------

std::optional<TAnimationWindow::TEditTarget> TAnimationWindow::EditTarget() {
  if (selectionBusy_ || Playing() || scene_ == nullptr) return std::nullopt;
  TSprite* sprite = host_.CurrentSprite();
  if (sprite == nullptr || scene_->Width < 1 || scene_->Height < 1) return std::nullopt;
  return TEditTarget{sprite, &sprite->Motion(), host_.CurrentFrame()};
}

void TAnimationWindow::ChangeCurrentStep(const TEditTarget& target, const TMovingStepValues& values) {
  const int index = target.path->CurrentStepIndex();
  if (SameValues(values, target.path->Step(index).Values())) return;
  target.path->ChangeStep(index, values, target.sprite);
  if (!host_.MotionTimerRunning()) host_.RequestSceneRecompute();
}

// The position a hold step takes for an image whose top-left corner is at
// (left, top) of the scene: the corner plus the path's hot spot.
TPoint TAnimationWindow::ScenePositionForImageAt(const TEditTarget& target, int left, int top) const {
  const TMoving& path = *target.path;
  if (path.HotSpotInPercent == 0) return Point(left + path.HotSpotX, top + path.HotSpotY);
  const int width = target.frame != nullptr ? target.frame->ImageWidth : 0;
  const int height = target.frame != nullptr ? target.frame->ImageHeight : 0;
  return Point(left + Round(path.ZoomX * width * path.HotSpotX / 100.0),
               top + Round(path.ZoomY * height * path.HotSpotY / 100.0));
}

void TAnimationWindow::ApplyHoldPosition(const TEditTarget& target, TPoint position) {
  const TMoving& path = *target.path;
  TMovingStepValues values = path.Step(target.path->CurrentStepIndex()).Values();
  // Per cent positions of a dragged sprite are whole per cents.
  const double x = path.PositionUnits != 0 ? position.X : Round(position.X * 100.0 / scene_->Width);
  const double y = path.PositionUnits != 0 ? position.Y : Round(position.Y * 100.0 / scene_->Height);
  // A hold step stands at its start point: the same start is no move.
  if (TReal6(x) == values.StartX && TReal6(y) == values.StartY) return;
  values.X1 = values.X2 = values.StartX = x;
  values.Y1 = values.Y2 = values.StartY = y;
  ChangeCurrentStep(target, values);
}

void TAnimationWindow::SpriteSelectionBoxMoved() {
  const std::optional<TEditTarget> target = EditTarget();
  if (!target) return;
  const TRect box = SpriteSelectionBox->BoundsRect();
  if (box.Left == placedBoxControl_.Left && box.Top == placedBoxControl_.Top) return;
  host_.PrepareMotionPageReload();
  TMoving& path = *target->path;
  if (path.StepCount() == 0) path.AddStep();
  const TMovingStep& step = path.Step(path.CurrentStepIndex());
  if (step.Kind == mskLine) {
    if (BeginPointEdited) {
      MotionPath1->SetBeginPointX(SpriteSelectionBox->Left());
      MotionPath1->SetBeginPointY(SpriteSelectionBox->Top());
    } else {
      MotionPath1->SetEndPointX(SpriteSelectionBox->Left());
      MotionPath1->SetEndPointY(SpriteSelectionBox->Top());
    }
    MotionPath1Moved();
  } else if (step.Kind == mskHold) {
    const TPoint corner = Point(SpriteSelectionBox->BoxLeft() - PanelAnimation->BoxLeft(),
                                SpriteSelectionBox->BoxTop() - PanelAnimation->BoxTop());
    ApplyHoldPosition(*target, ScenePositionForImageAt(*target, corner.X, corner.Y));
  }
}

void TAnimationWindow::SpriteSelectionBoxResized() {
  const std::optional<TEditTarget> target = EditTarget();
  if (!target) return;
  const TRect box = SpriteSelectionBox->BoundsRect();
  if (box.Width() == placedBoxControl_.Width() && box.Height() == placedBoxControl_.Height()) return;
  TMoving& path = *target->path;
  TFrame* frame = target->frame;
  if (path.StepCount() == 0 || frame == nullptr) return;
  const int width = SpriteSelectionBox->BoxWidth();
  const int height = SpriteSelectionBox->BoxHeight();
  const TMovingStep& step = path.Step(path.CurrentStepIndex());
  // A frame without area gives no zoom: the change is skipped.
  const bool frameHasArea = frame->ImageWidth > 0 && frame->ImageHeight > 0;
  TMovingStepValues values = step.Values();
  if (step.Kind == mskLine) {
    if (!frameHasArea) return;
    const double zoomX = static_cast<double>(width) / frame->ImageWidth;
    const double zoomY = static_cast<double>(height) / frame->ImageHeight;
    (BeginPointEdited ? values.ZoomXStart : values.ZoomXEnd) = zoomX;
    (BeginPointEdited ? values.ZoomYStart : values.ZoomYEnd) = zoomY;
    ChangeCurrentStep(*target, values);
    host_.RefreshMotionPage();
  } else if ((step.Kind == mskHold || step.Kind == mskRandomPoints) && !IsShapeFrame(*frame)) {
    if (!frameHasArea) return;
    values.ZoomXStart = static_cast<double>(width) / frame->ImageWidth;
    values.ZoomYStart = static_cast<double>(height) / frame->ImageHeight;
    if (host_.FinishEqualsStart()) {
      values.ZoomXEnd = values.ZoomXStart;
      values.ZoomYEnd = values.ZoomYStart;
    }
    ChangeCurrentStep(*target, values);
    host_.RefreshMotionPage();
  } else if (step.Kind == mskHold || step.Kind == mskRandomPoints) {
    if (step.ZoomXStart == 0 || step.ZoomYStart == 0) return;
    const int shapeWidth = Round(width / step.ZoomXStart);
    const int shapeHeight = Round(height / step.ZoomYStart);
    if (shapeWidth == frame->ImageWidth && shapeHeight == frame->ImageHeight) return;
    try {
      RequireSavableImageSize(shapeWidth, shapeHeight);
    } catch (const ESizeRefused& refused) {
      Ui().MessageBox(host_.Handle(), refused.Message(), "Error", MB_ICONERROR);
      UpdateSelection();
      return;
    }
    target->sprite->ChangeShape(frame->Index(), frame->Kind, shapeWidth, shapeHeight, frame->Shape,
                                frame->Transparent(), frame->TransparentColor());
    host_.RefreshShapePage();
    host_.RequestSceneRecompute();
  }
}

void TAnimationWindow::MotionPath1Moved() {
  const std::optional<TEditTarget> target = EditTarget();
  if (!target) return;
  const TPoint begin = Point(MotionPath1->BeginPointX(), MotionPath1->BeginPointY());
  const TPoint end = Point(MotionPath1->EndPointX(), MotionPath1->EndPointY());
  if (begin == placedBegin_ && end == placedEnd_) return;
  TMoving& path = *target->path;
  if (path.StepCount() == 0 || path.Step(path.CurrentStepIndex()).Kind != mskLine) return;
  const int left = PanelAnimation->BoxLeft();
  const int top = PanelAnimation->BoxTop();
  TMovingStepValues values = path.Step(path.CurrentStepIndex()).Values();
  values.X1 = StoredOf(path, begin.X - left, scene_->Width);
  values.Y1 = StoredOf(path, begin.Y - top, scene_->Height);
  values.X2 = StoredOf(path, end.X - left, scene_->Width);
  values.Y2 = StoredOf(path, end.Y - top, scene_->Height);
  values.StartX = values.X1;
  values.StartY = values.Y1;
  ChangeCurrentStep(*target, values);
  SetMotionPathHints(*target);
}

void TAnimationWindow::MotionPath1BeginPointClick() {
  BeginPointEdited = true;
  host_.RequestSceneRecompute();
}

void TAnimationWindow::MotionPath1EndPointClick() {
  BeginPointEdited = false;
  host_.RequestSceneRecompute();
}

void TAnimationWindow::LineSelectionMoved() {
  const std::optional<TEditTarget> target = EditTarget();
  if (!target) return;
  const TPoint begin = Point(LineSelection->BeginPointX(), LineSelection->BeginPointY());
  const TPoint end = Point(LineSelection->EndPointX(), LineSelection->EndPointY());
  if (begin == placedLineBegin_ && end == placedLineEnd_) return;
  TFrame* frame = target->frame;
  if (frame == nullptr || frame->Kind != fkLine) return;
  const int lineWidth = frame->Shape.BorderWidth;
  TMoving& path = *target->path;
  const int kind = path.StepCount() > 0 ? path.Step(path.CurrentStepIndex()).Kind : 0;
  if (kind == mskHold && target->sprite->FrameCount() > 0) {
    // The image starts at the left-most and top-most handle, less half the line.
    const int left = std::min(begin.X, end.X) - PanelAnimation->BoxLeft() - lineWidth / 2;
    const int top = std::min(begin.Y, end.Y) - PanelAnimation->BoxTop() - lineWidth / 2;
    ApplyHoldPosition(*target, ScenePositionForImageAt(*target, left, top));
  }
  // The end further left is at x 0; the y values are relative to the higher end.
  const int span = std::abs(end.X - begin.X);
  TPoint start = Point(begin.X <= end.X ? 0 : span, begin.Y - PanelAnimation->BoxTop());
  TPoint finish = Point(begin.X <= end.X ? span : 0, end.Y - PanelAnimation->BoxTop());
  const int higher = std::min(start.Y, finish.Y);
  start.Y -= higher;
  finish.Y -= higher;
  if (start == frame->LineStart && finish == frame->LineEnd) return;
  target->sprite->ChangeLine(frame->Index(), start, finish, static_cast<TColor>(frame->Shape.BackgroundColor),
                             lineWidth, static_cast<TColor>(frame->Shape.BorderColor), frame->Transparent(),
                             frame->TransparentColor());
  host_.RequestSceneRecompute();
  host_.RefreshMotionPage();
}

// ---- Keys --------------------------------------------------------------------------------------------

void TAnimationWindow::NudgeBox(TSelectionBox& box, WORD key, TShiftState shift) {
  const int delta = key == VK_LEFT || key == VK_UP ? -1 : 1;
  const bool horizontal = key == VK_LEFT || key == VK_RIGHT;
  if (shift.Contains(ssShift)) {
    if (!box.HasProportionalResize()) return;
    if (horizontal) {
      box.SetBoxWidth(box.BoxWidth() + delta);
    } else {
      box.SetBoxHeight(box.BoxHeight() + delta);
    }
    Fire(box.OnResized, &box);
  } else {
    if (!box.Moveable()) return;
    if (horizontal) {
      box.SetLeft(box.Left() + delta);
    } else {
      box.SetTop(box.Top() + delta);
    }
    Fire(box.OnMoved, &box);
  }
}

void TAnimationWindow::HiddenEditKeyDown(QObject* Sender, WORD& Key, TShiftState Shift) {
  if (!SpriteSelectionBox->Visible() && !LineSelection->Visible()) return;
  auto* box = qobject_cast<TSelectionBox*>(Sender);
  switch (Key) {
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
      if (box != nullptr) NudgeBox(*box, Key, Shift);
      break;
    case VK_DELETE:
      host_.Sprite_DeleteExecute();
      break;
    default:
      break;
  }
  Key = 0;
}

// ---- Showing a sprite ------------------------------------------------------------------------------

bool TAnimationWindow::ShowSpriteStep() {
  TSprite* sprite = host_.CurrentSprite();
  if (sprite == nullptr || scene_ == nullptr) {
    HideSelection();
    return false;
  }
  StopPlayback();
  bool visible = sprite->Hidden == 0;
  if (scene_->StepCount > 8 && !visible) {
    const TBusyCursor busy;
    scene_->GotoFrame(sprite->IntervalCount() > 0 ? sprite->Interval(0).StartStep - 2 : 1);
    visible = sprite->Hidden == 0;
    std::int32_t stop = scene_->CurrentStep - 1;
    if (!visible) {
      if (scene_->CurrentStep == 1) {
        scene_->AdvanceNoDraw();
        stop = 1;
      }
      while (sprite->Hidden != 0 && scene_->CurrentStep != stop) scene_->AdvanceNoDraw();
      visible = sprite->Hidden == 0;
    }
    if (visible) {
      scene_->GotoFrame(scene_->CurrentStep + 2);
      if (!host_.MotionTimerRunning()) host_.RequestSceneRecompute();
    }
  }
  ResumePlayback();
  return visible;
}
