// A sprite: one animated object of a scene, with its frames shown one after
// another, its visibility intervals and the motion path that places, scales
// and fades it and gives it a drop shadow. An effect sprite is a clone made
// by an effect motion step; it shares its parent's frames and intervals.
#pragma once

#include "platform/Geometry.h"
#include "scene/Moving.h"
#include "scene/Painters.h"
#include "scene/Text3DFrame.h"

#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TAnimatedScene;
class TFrame;
class TStartAndFinish;
class TStream;
class TBitmap;
class TAVIObject;

using TFrameList = std::vector<std::unique_ptr<TFrame>>;
using TIntervalList = std::vector<std::unique_ptr<TStartAndFinish>>;

// Everything about a sprite that decides its pixels in a composed step. A
// sprite is repainted whenever its look differs from the look it was last
// painted with.
struct TSpriteLook {
  bool hidden = false;
  TRect rect;
  TRect shadowRect;
  double zoomX = 1, zoomY = 1, opacity = 100;
  std::int32_t shadowBlur = 0, shadowOpacity = 0;
  TColor shadowColor = 0;
  const TFrame* frame = nullptr;
  friend bool operator==(const TSpriteLook&, const TSpriteLook&) = default;
};

class TSprite {
 public:
  explicit TSprite(TAnimatedScene* scene);
  virtual ~TSprite();
  TSprite(const TSprite&) = delete;
  TSprite& operator=(const TSprite&) = delete;

  TAnimatedScene* Scene() const { return scene_; }
  TMoving& Motion() { return *motion_; }
  const TMoving& Motion() const { return *motion_; }
  // The parent of an effect sprite, else null.
  TSprite* Parent() const { return parent_; }

  // ---- Frames ----
  int FrameCount() const { return static_cast<int>(frames_->size()); }
  TFrame& Frame(int index) const { return *frames_->at(static_cast<std::size_t>(index)); }
  // Appends an empty frame linked to the sprite.
  virtual TFrame* AddFrame();
  // Records "Delete Frame" and frees the frame.
  void DeleteFrame(int index);
  // Moves the frame to another position (no undo).
  void MoveFrame(int from, int to);
  // Frees the frame without recording undo (undo restores).
  void DeleteFrameSilently(int index);
  // Puts a frame made for this sprite into the list at the index (clamped),
  // without undo (undo restores).
  void InsertFrame(int index, std::unique_ptr<TFrame> frame);
  // The frame index, or the last index when it is out of range.
  int GetCurrentFrameIndex() const;
  void SetCurrentFrameIndex(int index);
  // The current frame, or null without frames.
  TFrame* CurrentFrame() const;

  // ---- Intervals ----
  int IntervalCount() const { return static_cast<int>(intervals_->size()); }
  TStartAndFinish& Interval(int index) const { return *intervals_->at(static_cast<std::size_t>(index)); }
  TStartAndFinish* AddAppearance();
  void DeleteAppearance(int index);
  // Appends an interval without undo (animation import).
  TStartAndFinish* AddInterval(std::int32_t start, std::int32_t end);
  std::uint8_t ContinueMoving() const { return continueMoving_; }
  void SetContinueMoving(std::uint8_t value);
  // Interval count, interval records, continue moving and the appearance flag.
  void SaveAppearances(TStream& stream) const;
  void LoadAppearances(TStream& stream);

  // ---- Adding and changing frames (each records undo) ----
  int Add3DText(const T3DTextState& state, const TBitmap& bitmap, bool transparent, TColor color);
  virtual int AddShape(std::int32_t kind, std::int32_t width, std::int32_t height, const TShapeParams& shape,
                       bool transparent, TColor color);
  int AddLine(TPoint start, TPoint end, TColor background, std::int32_t width, TColor color, bool transparent);
  // Adds the frames of a picture file (.BMP, .GIF, .JPG or .AVI); returns the
  // index of the last frame added, or -1. Never leaves the sprite without frames.
  int AddPictureFile(const std::string& fileName, bool transparent, TColor color, int first, int count,
                     bool keepSource);
  void ChangeText(int index, const std::string& text, const TText2DParams& params, const TBitmap& bitmap,
                  bool transparent, TColor color);
  void Change3DText(int index, const T3DTextState& state, int selector, const TBitmap& bitmap, bool transparent,
                    TColor color);
  void ChangeShape(int index, std::int32_t kind, std::int32_t width, std::int32_t height, const TShapeParams& shape,
                   bool transparent, TColor color);
  void ChangeLine(int index, TPoint start, TPoint end, TColor background, std::int32_t width, TColor color,
                  bool transparent, TColor transparentColor);
  void Set3DTextAnimation(int index, const T3DTextState& start, const T3DTextState& end, std::int32_t subFrameCount,
                          std::uint8_t loop);

  // ---- Stepping and drawing ----
  // Whether the sprite is hidden at the scene's current step (with the resets
  // that hiding brings).
  bool UpdateHidden();
  // Moves the sprite along its path for one composed step: the visibility
  // test, then the path's advancing calculation. A sprite that restarts while
  // hidden ends the step restarted, however often its visibility is tested
  // afterwards, so that it shows again exactly as at the first step.
  void StepMotion(bool advancing);
  bool NeedsRedraw(bool repaintOnly);
  // Moves to the next frame when the current one has had its time; true when
  // a kept source's wrap moved the frame index.
  bool AdvanceFrame();
  // Takes one step without drawing (jumping to a step).
  void AdvanceNoDraw();
  // The image rectangle of the current step: the path's position (without
  // advancing) and the zoomed size of the current frame.
  virtual TRect GetRect();
  // The shadow rectangle of the current step; empty while the shadow is off.
  TRect GetShadowRect();
  bool HasEffectStep() const;
  TRect GetDrawnRect() const { return DrawnRect; }
  TRect GetDrawnShadowRect() const { return DrawnShadowRect; }
  void SetRectCommitted(std::uint8_t value);
  void SetShadowRectCommitted(std::uint8_t value);
  virtual void Draw(TBitmap& target, bool repaintOnly);
  virtual void DrawShadow(TBitmap& target, bool repaintOnly);
  // Paints the current frame's image or shadow at a position without
  // touching the sprite's drawing state.
  void PaintImage(TBitmap& target, TPoint position);
  void PaintShadow(TBitmap& target, TPoint position);
  // Tells the scene that a drawing failed (the first failure of a composition counts).
  void NoteDrawFailure(const std::exception& failure);
  void ReleaseImages();

  // ---- What is on the composed picture ----
  // True while the composed picture shows this sprite as last painted.
  bool OnScreen() const { return paintedLook_.has_value(); }
  // Forgets the painted look: the next composition paints the sprite again.
  void ForgetPaintedLook() { paintedLook_.reset(); }
  TSpriteLook CurrentLook();

  // ---- Records (written and read by the project file code) ----
  virtual void SaveToStream(TStream& stream);
  virtual void LoadFromStream(TStream& stream);
  // Smallest sprite record in a stream.
  static std::int64_t MinRecordSize();

  TRect DrawnRect;
  TRect DrawnShadowRect;
  TRect CurrentRect;
  std::uint8_t RectCommitted = 0;
  std::uint8_t ShadowRectCommitted = 0;
  std::uint8_t AppearanceFlag = 0;
  std::uint8_t NeedsRedrawByte = 0;
  // The answer of the last NeedsRedraw outside repaint-only compositions.
  std::uint8_t NeedsRedrawAnswer = 0;
  std::int32_t PreviousFrameIndex = -1;
  std::int32_t FrameStepCounter = 0;
  std::uint8_t ImageDrawn = 0;
  std::uint8_t ShadowDrawn = 0;
  std::uint8_t Hidden = 0;
  std::uint8_t DroppedFrame = 0;
  std::uint8_t HiddenNow = 0;
  std::int32_t Id;
  std::string Name;
  TRect CurrentShadowRect;
  std::int32_t FrameIndex = 0;

 protected:
  // An effect sprite: shares the parent's frames and intervals.
  explicit TSprite(TSprite* parent);

 private:
  void RecordSpriteUndo(const char* caption, std::int32_t objectKind, bool replace, std::int32_t index);
  void RecordIntervalsUndo(const char* caption);
  void RecordFrameRecordUndo(const char* caption, int frameIndex);
  int AppendFrame();
  void RecordAddedFrame(const char* caption, int frameIndex);
  void NextFrameIndex();
  // The name of an unnamed sprite: its first picture frame's file name
  // without folder and extension, or its first text frame's text.
  std::string NameFromFrames() const;
  bool CurrentStepHides();
  void RestartWhileHidden();
  int AddBmpFile(const std::string& fileName, bool transparent, TColor color);
  int AddGifFile(const std::string& fileName, bool transparent, TColor color, int first, int count,
                 bool keepSource);
  int AddJpegFile(const std::string& fileName, bool transparent, TColor color);
  int AddAviFile(const std::string& fileName, bool transparent, TColor color, int first, int count,
                 bool keepSource);
  int AddAviFrames(TAVIObject& avi, const std::string& fileName, bool transparent, TColor color, int first,
                   int count);

  TAnimatedScene* scene_;
  TSprite* parent_ = nullptr;
  std::uint8_t continueMoving_ = 0;
  std::unique_ptr<TIntervalList> ownIntervals_;
  std::unique_ptr<TFrameList> ownFrames_;
  TIntervalList* intervals_;
  TFrameList* frames_;
  std::unique_ptr<TMoving> motion_;
  std::optional<TSpriteLook> paintedLook_;
  bool restartedWhileHidden_ = false;
};

// A clone made by an effect motion step: it shows its parent's frames with
// its own path and leaves the shared lists to the parent.
class TEffectSprite : public TSprite {
 public:
  explicit TEffectSprite(TSprite* parent);
  ~TEffectSprite() override;
};
