#include "controls/PaintBox.h"

TPaintBox::TPaintBox(QWidget* parent) : TGraphicControl(parent) {}

void TPaintBox::SetColor(TColor value) {
  if (value == color_) return;
  color_ = value;
  Invalidate();
}

void TPaintBox::Paint() {
  Canvas().Brush().Color = color_;
  Canvas().Brush().Style = bsSolid;
  Canvas().FillRect(ClientRect());
  Fire(OnPaint, this);
}
