// The time line: a horizontal scale of the scene's steps with a five-sided
// slider for the current step, over which the visibility intervals of a
// sprite are drawn as bars. The user drags the slider to seek, and a bar's
// body, start grip or end grip to move or resize a visibility interval; the
// interval's own setters record the undo entries.
//
// Geometry: the scale runs from x = 10 to x = Width - 10 (span = Width - 20);
// step s lies at x = 10 + round(s * span / Max). The background (bars,
// groove, ticks) is cached and redrawn only by a full Repaint; a change of
// Position only draws the slider over the cached background.
#pragma once

#include "controls/GraphicControl.h"

#include <functional>
#include <string>

class TSprite;

// DurationNumber is the index of the interval in the sprite's list.
using TTimeLineEvent = std::function<void(QObject* Sender, int DurationNumber)>;

// What lies under an x: nothing, the slider, or an interval's body, start
// grip or end grip.
enum TTimelinePart : int { tlpNothing = 0, tlpSlider = 1, tlpBody = 2, tlpStartGrip = 3, tlpEndGrip = 4 };

struct TTimelineHit {
  TTimelinePart part = tlpNothing;
  int interval = -1;  // for tlpBody, tlpStartGrip and tlpEndGrip
  friend bool operator==(const TTimelineHit&, const TTimelineHit&) = default;
};

class TTimelineSlider : public TGraphicControl {
  Q_OBJECT

 public:
  static constexpr int kLeftMargin = 10;
  static constexpr int kRightMargin = 10;
  static constexpr int kGripHalfWidth = 3;

  explicit TTimelineSlider(QWidget* parent = nullptr);
  ~TTimelineSlider() override;

  // ---- The intervals shown (not owned; read by index at each use) ----
  // Null shows no bars; a sprite without intervals shows one full-length bar.
  TSprite* TimeLineCollection() const { return collection_; }
  void SetTimeLineCollection(TSprite* value);

  // ---- Scale and slider ----
  int Max() const { return max_; }
  // Values of 0 or less become 1. Position is not re-clamped.
  void SetMax(int value);
  int Position() const { return position_; }
  // Kept within 0 .. Max; repaints the slider only.
  void SetPosition(int value);
  int Frequency() const { return frequency_; }
  // Steps per scale tick; values of 0 or less become 1.
  void SetFrequency(int value);
  int SliderWidth() const { return sliderWidth_; }
  void SetSliderWidth(int value);
  int SliderHeight() const { return sliderHeight_; }
  void SetSliderHeight(int value);

  // ---- Look ----
  bool Border() const { return border_; }
  void SetBorder(bool value);
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  TColor ColorOfScale() const { return colorOfScale_; }
  void SetColorOfScale(TColor value);
  TColor ColorOfDuration() const { return colorOfDuration_; }
  void SetColorOfDuration(TColor value);
  TColor ColorOfSlider() const { return colorOfSlider_; }
  void SetColorOfSlider(TColor value);
  // Windows-1252 words of the interval hints ("<start hint> 20").
  std::string HintForStartStep;
  std::string HintForFinishStep;

  // ---- Events ----
  // On every move while the slider is dragged.
  TNotifyEvent OnChange;
  // At a release when Position changed since the previous release (code counts too).
  TNotifyEvent OnChanged;
  // After every accepted drag step of an interval.
  TTimeLineEvent OnTimelineListChange;
  // At the release when an interval changed during the drag.
  TTimeLineEvent OnTimelineListChanged;

  // ---- Geometry ----
  // Width - 20; drags change nothing while it is 0 or less.
  int Span() const { return Width() - kLeftMargin - kRightMargin; }
  int StepToX(int step) const;
  int SliderCenter() const { return StepToX(position_); }
  // What a press at x would take hold of (y does not matter), without side effects.
  TTimelineHit HitTest(int X) const;

  // ---- State ----
  TTimelinePart HoverState() const { return hoverState_; }
  int HoveredInterval() const { return hoveredInterval_; }
  bool Dragging() const { return dragging_; }

  // Repaints everything, the cached background included.
  void Repaint() override;

  // ---- Handlers ----
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

 protected:
  void Paint() override;

 private:
  void Hover(TShiftState Shift, int X, int Y);
  void DragSlider(int X);
  void DragInterval(int X);
  void DrawBackground();
  void DrawBar(TCanvas& canvas, int x1, int x2);
  void DrawSlider();
  const std::string& SavedHint();
  // A pixel distance as steps.
  int StepsOf(int pixels) const;

  int referenceX_ = 0;
  int referenceY_ = 0;
  bool dragging_ = false;
  bool positionChanged_ = false;
  TCursor savedCursor_ = crDefault;
  TTimelinePart hoverState_ = tlpNothing;
  int hoveredInterval_ = 0;
  bool intervalChanged_ = false;
  TBitmap background_;
  bool backgroundStale_ = true;
  std::string savedHint_ = "-1";
  TSprite* collection_ = nullptr;
  int max_ = 100;
  int position_ = 1;
  bool border_ = true;
  TColor color_ = 0x00FF0000;
  TColor colorOfScale_ = 0x0000FFFF;
  TColor colorOfDuration_ = 0x00800000;
  TColor colorOfSlider_ = 0x00C0C0C0;
  int frequency_ = 10;
  int sliderWidth_ = 15;
  int sliderHeight_ = 20;
};
