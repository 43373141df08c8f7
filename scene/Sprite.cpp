#include "scene/Sprite.h"

#include "imaging/utils.h"
#include "platform/Numeric.h"
#include "platform/Streams.h"
#include "platform/SysUtils.h"
#include "scene/Frame.h"
#include "scene/SceneGlobals.h"
#include "scene/SpriteU.h"
#include "scene/UndoRecorder.h"

#include <algorithm>
#include <limits>

// ---- Life cycle ---------------------------------------------------------------------

TSprite::TSprite(TAnimatedScene* scene)
    : Id(NewObjectId()),
      scene_(scene),
      ownIntervals_(std::make_unique<TIntervalList>()),
      ownFrames_(std::make_unique<TFrameList>()),
      intervals_(ownIntervals_.get()),
      frames_(ownFrames_.get()),
      motion_(std::make_unique<TMoving>(scene)) {
  motion_->Sprite = this;
}

TSprite::TSprite(TSprite* parent)
    : Id(NewObjectId()),
      scene_(parent->scene_),
      parent_(parent),
      intervals_(parent->intervals_),
      frames_(parent->frames_),
      motion_(std::make_unique<TMoving>(parent->scene_)) {
  motion_->Sprite = this;
}

TSprite::~TSprite() {
  // The path first: its effect steps own clones that point at these lists.
  motion_.reset();
  ownFrames_.reset();
  ownIntervals_.reset();
}

TEffectSprite::TEffectSprite(TSprite* parent) : TSprite(parent) {}

TEffectSprite::~TEffectSprite() = default;

// ---- Undo -------------------------------------------------------------------------------

void TSprite::RecordSpriteUndo(const char* caption, std::int32_t objectKind, bool replace, std::int32_t index) {
  RecordUndo(urkSpriteEdit, caption, replace, index, Id, objectKind,
             [this](TStream& stream) { SaveToStream(stream); });
}

void TSprite::RecordIntervalsUndo(const char* caption) {
  RecordUndo(urkSpriteEdit, caption, true, 0, Id, uokIntervals,
             [this](TStream& stream) { SaveAppearances(stream); });
}

void TSprite::RecordFrameRecordUndo(const char* caption, int frameIndex) {
  TFrame* frame = &Frame(frameIndex);
  RecordUndo(urkSpriteEdit, caption, true, frameIndex, Id, uokFrame,
             [frame](TStream& stream) { frame->SaveToStream(stream); });
}

void TSprite::RecordAddedFrame(const char* caption, int frameIndex) {
  RecordUndo(urkSpriteEdit, caption, false, frameIndex, Frame(frameIndex).Id, uokAddedFrame, nullptr);
}

// ---- Frames -------------------------------------------------------------------------------

TFrame* TSprite::AddFrame() {
  // Frames belong to the sprite that owns the list (an effect sprite's parent).
  TSprite* owner = parent_ != nullptr ? parent_ : this;
  frames_->push_back(std::make_unique<TFrame>(owner));
  return frames_->back().get();
}

int TSprite::AppendFrame() {
  AddFrame();
  return FrameCount() - 1;
}

void TSprite::DeleteFrame(int index) {
  if (index < 0 || index >= FrameCount()) return;
  TFrame* frame = &Frame(index);
  RecordUndo(urkSpriteEdit, "Delete Frame", false, index, Id, uokFrame,
             [frame](TStream& stream) { frame->SaveToStream(stream); });
  frames_->erase(frames_->begin() + index);
}

void TSprite::DeleteFrameSilently(int index) {
  if (index < 0 || index >= FrameCount()) return;
  frames_->erase(frames_->begin() + index);
}

void TSprite::MoveFrame(int from, int to) {
  if (from < 0 || from >= FrameCount() || to < 0 || to >= FrameCount() || from == to) return;
  auto frame = std::move((*frames_)[static_cast<std::size_t>(from)]);
  frames_->erase(frames_->begin() + from);
  frames_->insert(frames_->begin() + to, std::move(frame));
}

int TSprite::GetCurrentFrameIndex() const {
  if (FrameIndex >= 0 && FrameIndex < FrameCount()) return FrameIndex;
  return FrameCount() - 1;
}

void TSprite::SetCurrentFrameIndex(int index) { FrameIndex = (index >= 0 && index < FrameCount()) ? index : 0; }

TFrame* TSprite::CurrentFrame() const {
  if (FrameCount() == 0) return nullptr;
  return &Frame(GetCurrentFrameIndex());
}

void TSprite::NextFrameIndex() {
  FrameIndex = GetCurrentFrameIndex() + 1;
  if (FrameIndex >= FrameCount()) FrameIndex = 0;
}

void TSprite::ReleaseImages() {
  for (auto& frame : *frames_) frame->ReleaseImages();
}

// ---- Intervals ------------------------------------------------------------------------------

TStartAndFinish* TSprite::AddAppearance() {
  RecordIntervalsUndo("Add Appearance");
  intervals_->push_back(std::make_unique<TStartAndFinish>(this));
  return intervals_->back().get();
}

void TSprite::DeleteAppearance(int index) {
  if (index < 0 || index >= IntervalCount()) return;
  RecordIntervalsUndo("Delete Appearance");
  intervals_->erase(intervals_->begin() + index);
}

TStartAndFinish* TSprite::AddInterval(std::int32_t start, std::int32_t end) {
  intervals_->push_back(std::make_unique<TStartAndFinish>(this));
  TStartAndFinish* interval = intervals_->back().get();
  interval->StartStep = start;
  interval->EndStep = end;
  return interval;
}

void TSprite::SetContinueMoving(std::uint8_t value) {
  if (value == continueMoving_) return;
  RecordIntervalsUndo("Sprite's Moving when it appearances");
  continueMoving_ = value;
}

void TSprite::SaveAppearances(TStream& stream) const {
  stream.WriteInt32(IntervalCount());
  for (const auto& interval : *intervals_) interval->SaveToStream(stream);
  stream.WriteByte(continueMoving_);
  stream.WriteByte(AppearanceFlag);
}

void TSprite::LoadAppearances(TStream& stream) {
  intervals_->clear();
  const std::int32_t count = stream.ReadInt32();
  if (count < 0) throw EReadError("Invalid interval count");
  stream.RequireAvailable(static_cast<std::int64_t>(count) * TStartAndFinish::RecordSize());
  for (std::int32_t i = 0; i < count; ++i) {
    intervals_->push_back(std::make_unique<TStartAndFinish>(this));
    intervals_->back()->LoadFromStream(stream);
  }
  continueMoving_ = stream.ReadByte();
  AppearanceFlag = stream.ReadByte();
}

// ---- Adding and changing frames ------------------------------------------------------------------

int TSprite::Add3DText(const T3DTextState& state, const TBitmap& bitmap, bool transparent, TColor color) {
  FrameIndex = 0;
  const int index = AppendFrame();
  RecordAddedFrame("Add 3D Text", index);
  TFrame& frame = Frame(index);
  frame.SetPicture(bitmap, transparent, color, -1, -1);
  frame.Kind = fkText3D;
  frame.StartState = state;
  return index;
}

int TSprite::AddShape(std::int32_t kind, std::int32_t width, std::int32_t height, const TShapeParams& shape,
                      bool transparent, TColor color) {
  FrameIndex = 0;
  const int index = AppendFrame();
  RecordAddedFrame("Add Shape", index);
  TFrame& frame = Frame(index);
  frame.ImageWidth = width;
  frame.ImageHeight = height;
  frame.Kind = kind;
  frame.Shape = shape;
  frame.SetTransparent(transparent);
  frame.SetTransparentColor(color);
  frame.RebuildImage();
  return index;
}

int TSprite::AddLine(TPoint start, TPoint end, TColor background, std::int32_t width, TColor color,
                     bool transparent) {
  FrameIndex = 0;
  const int index = AppendFrame();
  RecordAddedFrame("Add Line", index);
  TFrame& frame = Frame(index);
  TBitmap picture;
  DrawLineImage(picture, start, end, background, width, color);
  frame.StoreTransparency(transparent, background);
  frame.SetPicture(picture, transparent, background, -1, -1);
  frame.Kind = fkLine;
  frame.Shape.BorderColor = static_cast<std::int32_t>(color);
  frame.Shape.BorderWidth = width;
  frame.Shape.BackgroundColor = static_cast<std::int32_t>(background);
  frame.LineStart = start;
  frame.LineEnd = end;
  return index;
}

int TSprite::AddPictureFile(const std::string& fileName, bool transparent, TColor color, int first, int count,
                            bool keepSource) {
  const std::string extension = UpperCaseAscii(ExtractFileExt(fileName));
  int result = -1;
  try {
    if (extension == ".BMP") {
      result = AddBmpFile(fileName, transparent, color);
    } else if (extension == ".GIF") {
      result = AddGifFile(fileName, transparent, color, first, count, keepSource);
    } else if (extension == ".JPG") {
      result = AddJpegFile(fileName, transparent, color);
    } else if (extension == ".AVI") {
      result = AddAviFile(fileName, transparent, color, first, count, keepSource);
    }
  } catch (const std::exception&) {
    // A file that cannot be read adds nothing more; the frames added so far stay.
  }
  if (FrameCount() == 0) AddFrame();
  return result;
}

int TSprite::AddBmpFile(const std::string& fileName, bool transparent, TColor color) {
  TBitmap picture;
  picture.LoadFromFile(fileName);
  const int index = AppendFrame();
  RecordUndo(urkSpriteEdit, "Add .BMP picture", false, index, Frame(index).Id, uokAddedFrame, nullptr);
  TFrame& frame = Frame(index);
  frame.SetPicture(picture, transparent, color, -1, -1);
  frame.Kind = fkPicture;
  frame.SetFileName(fileName);
  return index;
}

void TSprite::ChangeText(int index, const std::string& text, const TText2DParams& params, const TBitmap& bitmap,
                         bool transparent, TColor color) {
  if (index < 0 || index >= FrameCount()) return;
  RecordFrameRecordUndo("Change Text", index);
  FrameIndex = 0;
  TFrame& frame = Frame(index);
  frame.SetPicture(bitmap, transparent, color, -1, -1);
  frame.Kind = fkText;
  frame.Text = text;
  frame.TextParams = params;
  frame.Animation3D = 0;
}

void TSprite::Change3DText(int index, const T3DTextState& state, int selector, const TBitmap& bitmap,
                           bool transparent, TColor color) {
  if (index < 0 || index >= FrameCount()) return;
  RecordFrameRecordUndo("Change 3D Text", index);
  TFrame& frame = Frame(index);
  frame.SetPicture(bitmap, transparent, color, -1, -1);
  frame.Kind = fkText3D;
  if (frame.Animation3D == 0 || selector == 2) {
    frame.StartState = state;
    frame.EndState = state;
  } else if (selector == 0) {
    frame.StartState = state;
  } else if (selector == 1) {
    frame.EndState = state;
  }
  if (frame.HasView()) RebuildFrame3DText(frame, *frame.Objects3D);
}

void TSprite::ChangeShape(int index, std::int32_t kind, std::int32_t width, std::int32_t height,
                          const TShapeParams& shape, bool transparent, TColor color) {
  if (index < 0 || index >= FrameCount()) return;
  RecordFrameRecordUndo("Change Shape", index);
  TFrame& frame = Frame(index);
  frame.Kind = kind;
  frame.ImageWidth = width;
  frame.ImageHeight = height;
  frame.Shape = shape;
  frame.StoreTransparency(transparent, color);
  frame.RebuildImage();
}

void TSprite::ChangeLine(int index, TPoint start, TPoint end, TColor background, std::int32_t width, TColor color,
                         bool transparent, TColor transparentColor) {
  if (index < 0 || index >= FrameCount()) return;
  RecordFrameRecordUndo("Change Line", index);
  TFrame& frame = Frame(index);
  TBitmap picture;
  DrawLineImage(picture, start, end, background, width, color);
  frame.SetPicture(picture, transparent, transparentColor, -1, -1);
  frame.Kind = fkLine;
  frame.Shape.BackgroundColor = static_cast<std::int32_t>(background);
  frame.Shape.BorderWidth = width;
  frame.Shape.BorderColor = static_cast<std::int32_t>(color);
  frame.LineStart = start;
  frame.LineEnd = end;
}

void TSprite::Set3DTextAnimation(int index, const T3DTextState& start, const T3DTextState& end,
                                 std::int32_t subFrameCount, std::uint8_t loop) {
  if (index < 0 || index >= FrameCount()) return;
  RecordFrameRecordUndo("Change 3D Text", index);
  TFrame& frame = Frame(index);
  frame.StartState = start;
  frame.EndState = end;
  frame.SubFrameCount = subFrameCount;
  frame.Loop = loop;
  frame.Animation3D = 1;
}

// ---- Visibility -----------------------------------------------------------------------------------

bool TSprite::CurrentStepHides() {
  const TMovingStep* step = motion_->CurrentStep();
  return step != nullptr && step->Kind == mskHold && step->Hide != 0;
}

void TSprite::RestartWhileHidden() {
  motion_->RestartSteps();
  FrameStepCounter = 0;
  FrameIndex = 0;
  for (auto& frame : *frames_) {
    frame->SubFrameCounter = 0;
    frame->Countdown = frame->Duration() + 1;
    frame->RenderNext3D();
  }
}

bool TSprite::UpdateHidden() {
  const std::int32_t step = scene_ != nullptr ? scene_->CurrentStep : 1;
  bool hidden = !intervals_->empty();
  for (const auto& interval : *intervals_) {
    if (interval->StartStep <= step && step <= interval->EndStep) hidden = false;
    if (interval->StartStep == step)
      for (auto& frame : *frames_) frame->AdvanceSource(1);
  }
  restartedWhileHidden_ = hidden && continueMoving_ == 0;
  if (restartedWhileHidden_) RestartWhileHidden();
  if (CurrentStepHides()) hidden = true;
  // An effect sprite counts the loops of its parent's path.
  const TMoving& limitPath = parent_ != nullptr ? parent_->Motion() : *motion_;
  if (scene_ != nullptr && limitPath.LoopLimit >= 0 && limitPath.LoopLimit < scene_->LoopsDone) hidden = true;
  if (Hidden != 0 && !hidden) {
    Hidden = 0;
    motion_->MarkMoved();
  } else if (Hidden == 0 && hidden) {
    motion_->MarkMoved();
  }
  HiddenNow = hidden ? 1 : 0;
  return hidden;
}

void TSprite::StepMotion(bool advancing) {
  UpdateHidden();
  RectCommitted = 0;
  motion_->CalcPosition(advancing);
  if (restartedWhileHidden_) RestartWhileHidden();
}

// ---- Stepping ---------------------------------------------------------------------------------------

TSpriteLook TSprite::CurrentLook() {
  TSpriteLook look;
  look.hidden = HiddenNow != 0;
  look.rect = GetRect();
  look.shadowRect = GetShadowRect();
  look.zoomX = motion_->ZoomX;
  look.zoomY = motion_->ZoomY;
  look.opacity = motion_->Opacity;
  look.shadowBlur = motion_->ShadowBlur;
  look.shadowOpacity = motion_->ShadowOpacity;
  look.shadowColor = motion_->ShadowColor;
  look.frame = CurrentFrame();
  return look;
}

bool TSprite::NeedsRedraw(bool repaintOnly) {
  if (FrameCount() == 0) return false;
  if (repaintOnly) return motion_->NeedsRedraw != 0;
  TFrame& frame = *CurrentFrame();
  if (Hidden == 0) {
    if (frame.HasSource()) frame.AdvanceSource(-1);
    if (frame.Animation3D != 0) {
      frame.RenderNext3D();
      // A finished animation keeps counting; the count stops at its top
      // rather than wrapping after years of play.
      if (frame.Countdown < std::numeric_limits<std::int32_t>::max()) frame.Countdown = frame.Countdown + 1;
    }
  }
  bool result = motion_->Changed != 0 || frame.ImageChanged != 0 || NeedsRedrawByte != 0;
  // Whatever else changed what the sprite looks like since it was painted
  // (a step change that moved, faded or hid it) needs a repaint as well.
  if (!result) result = !paintedLook_ || *paintedLook_ != CurrentLook();
  if (result) motion_->NeedsRedraw = 1;
  NeedsRedrawAnswer = result ? 1 : 0;
  return result;
}

bool TSprite::AdvanceFrame() {
  if (FrameCount() == 0) return false;
  PreviousFrameIndex = GetCurrentFrameIndex();
  TFrame& frame = *CurrentFrame();
  bool moved = false;
  if (frame.PlaysKeptSource()) {
    if (!frame.TakeSourceWrap()) return false;
    FrameStepCounter = 0;
    NextFrameIndex();
    frame.RestartSourceAfterWrap();
    moved = true;
  } else {
    FrameStepCounter = FrameStepCounter + 1;
    if (FrameStepCounter < frame.Duration()) return false;
    FrameStepCounter = 0;
    NextFrameIndex();
  }
  CurrentFrame()->ShowFirstClipFrame();
  return moved;
}

void TSprite::AdvanceNoDraw() {
  if (Hidden != 0 || FrameCount() == 0) return;
  if (UpdateHidden()) {
    Hidden = 1;
    return;
  }
  CurrentRect = GetRect();
  ImageDrawn = 1;
  if (RectCommitted != 0) DrawnRect = CurrentRect;
  // The path's advancing calculation has already moved the frame on for this
  // step, exactly as in playback; advancing it here too would run the frames
  // twice as fast while jumping.
  PreviousFrameIndex = GetCurrentFrameIndex();
}

TRect TSprite::GetRect() {
  const TPoint p = motion_->CalcPosition(false);
  const TFrame* frame = CurrentFrame();
  if (frame == nullptr) return Rect(p.X, p.Y, p.X + 1, p.Y + 1);
  return Rect(p.X, p.Y, p.X + Round(motion_->ZoomX * frame->ImageWidth),
              p.Y + Round(motion_->ZoomY * frame->ImageHeight));
}

TRect TSprite::GetShadowRect() {
  if (FrameCount() == 0 || motion_->StepCount() == 0) return {};
  TRect r = GetRect();
  const TMovingStep* step = motion_->CurrentStep();
  if (step->ShadowOn == 0) return {};
  const TFrame& frame = *CurrentFrame();
  const int blur = std::max(motion_->ShadowBlur, 0);
  OffsetRect(r, motion_->ShadowOffsetX - blur, motion_->ShadowOffsetY - blur);
  r.Right = r.Left + Round(frame.ImageWidth * motion_->ZoomX) + 2 * blur;
  r.Bottom = r.Top + Round(frame.ImageHeight * motion_->ZoomY) + 2 * blur;
  return r;
}

bool TSprite::HasEffectStep() const {
  const TMovingStep* step = motion_->CurrentStep();
  return step != nullptr && step->Kind > mskHold;
}

void TSprite::SetRectCommitted(std::uint8_t value) {
  RectCommitted = value;
  if (value != 0 && ImageDrawn != 0) DrawnRect = CurrentRect;
}

void TSprite::SetShadowRectCommitted(std::uint8_t value) {
  ShadowRectCommitted = value;
  if (value != 0 && ShadowDrawn != 0) DrawnShadowRect = CurrentShadowRect;
}

// ---- Drawing ------------------------------------------------------------------------------------------

void TSprite::PaintImage(TBitmap& target, TPoint position) {
  TFrame* frame = CurrentFrame();
  if (frame == nullptr) return;
  const int w = scene_ != nullptr ? scene_->Width : 0;
  const int h = scene_ != nullptr ? scene_->Height : 0;
  frame->Draw(target, position.X, motion_->ZoomX, motion_->ZoomY, position.Y, w, h, motion_->Opacity);
}

void TSprite::PaintShadow(TBitmap& target, TPoint position) {
  TFrame* frame = CurrentFrame();
  if (frame == nullptr) return;
  const int w = Round(motion_->ZoomX * frame->ImageWidth);
  const int h = Round(motion_->ZoomY * frame->ImageHeight);
  if (w <= 0 || h <= 0) return;
  const int sceneWidth = scene_ != nullptr ? scene_->Width : 0;
  const int sceneHeight = scene_ != nullptr ? scene_->Height : 0;
  // The frame on its own transparent colour, at its zoomed size: the shape
  // that casts the shadow.
  TBitmap image;
  image.SetPixelFormat(pf24bit);
  image.Canvas().Brush().Color = frame->SourceKeyColor();
  image.SetSize(w, h);
  frame->Draw(image, 0, motion_->ZoomX, motion_->ZoomY, 0, sceneWidth, sceneHeight, 100);
  frame->DrawShadow(target, image, *motion_, position.X, position.Y, sceneWidth, sceneHeight);
}

void TSprite::Draw(TBitmap& target, bool repaintOnly) {
  CurrentRect = GetRect();
  if (Hidden != 0) return;
  if (UpdateHidden()) {
    Hidden = 1;
    paintedLook_.reset();
    return;
  }
  const TPoint position = repaintOnly ? DrawnRect.TopLeft() : CurrentRect.TopLeft();
  ImageDrawn = 1;
  if (RectCommitted != 0) DrawnRect = CurrentRect;
  if (FrameCount() == 0 || CurrentStepHides()) return;
  try {
    PaintImage(target, position);
    NeedsRedrawByte = 0;
  } catch (const std::exception& e) {
    // The sprite does not appear in this step.
    NoteDrawFailure(e);
  }
  if (!repaintOnly) paintedLook_ = CurrentLook();
}

void TSprite::DrawShadow(TBitmap& target, bool repaintOnly) {
  CurrentShadowRect = GetShadowRect();
  if (UpdateHidden()) return;
  const TPoint position = repaintOnly ? DrawnShadowRect.TopLeft() : CurrentShadowRect.TopLeft();
  ShadowDrawn = 1;
  if (ShadowRectCommitted != 0) DrawnShadowRect = CurrentShadowRect;
  if (FrameCount() == 0 || motion_->StepCount() == 0) return;
  const TMovingStep* step = motion_->CurrentStep();
  if (step->ShadowOn == 0 || CurrentStepHides()) return;
  try {
    PaintShadow(target, position);
  } catch (const std::exception& e) {
    // The shadow does not appear in this step.
    NoteDrawFailure(e);
  }
}

void TSprite::NoteDrawFailure(const std::exception& failure) {
  if (scene_ != nullptr && scene_->DrawFailure.empty()) scene_->DrawFailure = failure.what();
}
