#include "controls/Image.h"

TImage::TImage(QWidget* parent) : TGraphicControl(parent) {}

void TImage::SetStretch(bool value) {
  if (value == stretch_) return;
  stretch_ = value;
  Invalidate();
}

void TImage::Paint() {
  if (picture_.Empty()) return;
  if (stretch_) {
    Canvas().StretchDraw(ClientRect(), picture_);
  } else {
    Canvas().Draw(0, 0, picture_);
  }
}
