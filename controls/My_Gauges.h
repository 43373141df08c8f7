// TGauge (module My_Gauges): a progress display as text, horizontal or
// vertical bar, pie or needle, with the percentage written over it in
// inverted colours; and TBltBitmap, its work bitmap.
//
// Public interface (besides TGraphicControl's bounds, hint, events):
//   MinValue / SetMinValue(v)   0; a value above MaxValue raises
//                               EInvalidOperation "Value must be between
//                               -2147483647 and <MaxValue - 1>"; Progress is
//                               raised to a new MinValue
//   MaxValue / SetMaxValue(v)   100; a value below MinValue raises
//                               "Value must be between <MinValue + 1> and
//                               2147483647"; Progress is lowered to it
//   Progress / SetProgress(v)   0; clamped into MinValue..MaxValue; repaints
//                               only when the percentage changes
//   PercentDone()               trunc((Progress - MinValue) * 100 /
//                               (MaxValue - MinValue)) in 64 bits; 0 for an empty range
//   Kind                        gkText, gkHorizontalBar (default), gkVerticalBar, gkPie, gkNeedle
//   ShowText                    true: "<percentage>%" in the font, inverted over the figure
//   BorderStyle                 bsSingle (a 1-pixel black frame) or bsNone
//   ForeColor, BackColor        black and white: the figure and its ground
//   Color                       clBtnFace: around the pie and the needle
//   Font / SetFont              TFont (MS Sans Serif 8)
// 100 x 100 at creation.
#pragma once

#include "controls/GraphicControl.h"

enum TGaugeKind { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };
enum TBorderStyle { bsNone, bsSingle };

// A bitmap that can take another's size, filled with clWindowFrame.
class TBltBitmap : public TBitmap {
 public:
  void MakeLike(const TBitmap& ATemplate);
};

class TGauge : public TGraphicControl {
  Q_OBJECT

 public:
  explicit TGauge(QWidget* parent = nullptr);

  int MinValue() const { return minValue_; }
  void SetMinValue(int value);
  int MaxValue() const { return maxValue_; }
  void SetMaxValue(int value);
  int Progress() const { return progress_; }
  void SetProgress(int value);
  int PercentDone() const;

  TGaugeKind Kind() const { return kind_; }
  void SetKind(TGaugeKind value);
  bool ShowText() const { return showText_; }
  void SetShowText(bool value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  TColor ForeColor() const { return foreColor_; }
  void SetForeColor(TColor value);
  TColor BackColor() const { return backColor_; }
  void SetBackColor(TColor value);
  TColor Color() const { return color_; }
  void SetColor(TColor value);
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& value);

 protected:
  void Paint() override;

 private:
  TRect PaintRect() const;
  void PaintAsNothing(TBitmap& image, const TRect& rect) const;
  void PaintAsBar(TBitmap& image, const TRect& rect) const;
  void PaintAsPie(TBitmap& image, const TRect& rect) const;
  void PaintAsNeedle(TBitmap& image, const TRect& rect) const;
  void PaintAsText(TBitmap& image, const TRect& rect) const;

  int minValue_ = 0;
  int maxValue_ = 100;
  int progress_ = 0;
  TGaugeKind kind_ = gkHorizontalBar;
  bool showText_ = true;
  TBorderStyle borderStyle_ = bsSingle;
  TColor foreColor_ = clBlack;
  TColor backColor_ = clWhite;
  TColor color_ = clBtnFace;
  TFont font_;
};
