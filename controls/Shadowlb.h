// TLabelWithShadow (module Shadowlb): a label whose text is drawn twice, a
// shadow copy moved down and right and the text itself over it.
//
// Public interface (besides TCustomLabel's Caption, Font, Color, Alignment,
// AutoSize, WordWrap, ShowAccelChar, Transparent, and the events):
//   ColorOfShadow / SetColorOfShadow   clBtnShadow
//   ShadowShift / SetShadowShift       2: the shadow's offset to the right and
//                                      down, in pixels (0 puts it under the text)
// A disabled label draws its text in clGrayText over the shadow. An
// auto-sized label takes the size of its text without the shadow.
#pragma once

#include "controls/CustomLabel.h"

class TLabelWithShadow : public TCustomLabel {
  Q_OBJECT

 public:
  explicit TLabelWithShadow(QWidget* parent = nullptr);

  TColor ColorOfShadow() const { return colorOfShadow_; }
  void SetColorOfShadow(TColor value);
  int ShadowShift() const { return shadowShift_; }
  void SetShadowShift(int value);

 protected:
  void DoDrawText(TRect& rect, unsigned format) override;

 private:
  TColor colorOfShadow_ = clBtnShadow;
  int shadowShift_ = 2;
};
