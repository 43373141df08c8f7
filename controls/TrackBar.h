// The track bar of the pickers and property pages (the class library's
// horizontal TTrackBar with ticks at the bottom): a thumb that slides along a
// channel between Min and Max, and a selection range (SelStart..SelEnd)
// highlighted in the channel. Painted through TCanvas.
//
//   bar->SetMax(255); bar->SetFrequency(64); bar->SetPageSize(64);
//   bar->OnChange = [this](QObject* Sender) { ... bar->Position() ... };
//
// OnChange fires on every change of Position, by the user or by code
// (SetPosition, and SetMin/SetMax when they move the position); a caller
// that moves a bar while filling a page checks its own loading guard.
//
// The user moves the thumb by dragging it, by a press on either side of it
// (one PageSize towards the press), and with the keys: Left/Up and Right/Down
// by LineSize, Page Up/Page Down by PageSize, Home and End to Min and Max.
//
// Layout (W the width): the thumb is ThumbLength pixels tall from y = 2 and
// ThumbWidth() wide; its centre runs from x = ChannelStart() (Min) to
// ChannelEnd() (Max); ticks are 3 pixels long, 2 pixels below the thumb.
#pragma once

#include "controls/GraphicControl.h"

enum TTickStyle { tsNone, tsAuto };

class TTrackBar : public TGraphicControl {
  Q_OBJECT

 public:
  explicit TTrackBar(QWidget* parent = nullptr);

  // ---- Range and position ----
  int Min() const { return min_; }
  // A minimum above Max is refused; the position is kept within the range.
  void SetMin(int value);
  int Max() const { return max_; }
  // A maximum below Min is refused; the position is kept within the range.
  void SetMax(int value);
  int Position() const { return position_; }
  // Clamped to Min..Max; a change repaints and fires OnChange.
  void SetPosition(int value);
  int LineSize() const { return lineSize_; }
  void SetLineSize(int value) { lineSize_ = value; }
  int PageSize() const { return pageSize_; }
  void SetPageSize(int value) { pageSize_ = value; }

  // ---- Selection range (drawn when SelEnd > SelStart) ----
  int SelStart() const { return selStart_; }
  void SetSelStart(int value);
  int SelEnd() const { return selEnd_; }
  void SetSelEnd(int value);

  // ---- Look ----
  // A tick every Frequency positions from Min, and one at Max (none below 1).
  int Frequency() const { return frequency_; }
  void SetFrequency(int value);
  TTickStyle TickStyle() const { return tickStyle_; }
  void SetTickStyle(TTickStyle value);
  int ThumbLength() const { return thumbLength_; }
  void SetThumbLength(int value);

  // ---- Geometry (client coordinates) ----
  int ThumbWidth() const;
  int ChannelStart() const;
  int ChannelEnd() const;
  // The x of the thumb's centre at a position.
  int PositionX(int value) const;
  // The position whose thumb centre is nearest to x, within Min..Max.
  int ValueAtX(int x) const;
  // The thumb's bounding rectangle at the current position.
  TRect ThumbRect() const;

  TNotifyEvent OnChange;

  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;

 protected:
  void Paint() override;

 private:
  int ThumbTop() const { return 2; }
  int ThumbTip() const { return ThumbTop() + thumbLength_ - 1; }
  TRect ChannelRect() const;
  void PaintChannel(TCanvas& canvas);
  void PaintTicks(TCanvas& canvas);
  void PaintThumb(TCanvas& canvas);

  int min_ = 0;
  int max_ = 10;
  int position_ = 0;
  int lineSize_ = 1;
  int pageSize_ = 2;
  int selStart_ = 0;
  int selEnd_ = 0;
  int frequency_ = 1;
  TTickStyle tickStyle_ = tsAuto;
  int thumbLength_ = 20;
  bool dragging_ = false;
  int grabOffset_ = 0;
};
