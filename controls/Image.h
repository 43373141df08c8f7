// The class library's image control: a graphic control that shows its own
// picture, at its top-left corner or, with Stretch, scaled to fill it
// (nearest neighbour, as the canvas stretches).
#pragma once

#include "controls/GraphicControl.h"
#include "platform/Graphics.h"

class TImage : public TGraphicControl {
  Q_OBJECT

 public:
  explicit TImage(QWidget* parent = nullptr);

  // The picture shown; a caller that draws on it repaints the control.
  TBitmap& Picture() { return picture_; }
  const TBitmap& Picture() const { return picture_; }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);

 protected:
  void Paint() override;

 private:
  TBitmap picture_;
  bool stretch_ = false;
};
