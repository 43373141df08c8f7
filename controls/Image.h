// The class library's picture control (TImage): a graphic control that shows
// a bitmap it owns, at its top-left corner or stretched over the control.
// Whatever draws on the bitmap calls Repaint (or Invalidate) to show it.
#pragma once

#include "controls/GraphicControl.h"

class TImage : public TGraphicControl {
  Q_OBJECT

 public:
  explicit TImage(QWidget* parent = nullptr);
  ~TImage() override;

  // The picture's bitmap.
  TBitmap& Bitmap() { return bitmap_; }
  const TBitmap& Bitmap() const { return bitmap_; }
  // Stretched over the control (nearest neighbour) instead of shown at its size.
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);

 protected:
  void Paint() override;
  void paintEvent(QPaintEvent* event) override;

 private:
  TBitmap bitmap_;
  bool stretch_ = false;
};
