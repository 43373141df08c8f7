#include "controls/Image.h"

#include "platform/BitmapImages.h"

#include <QPainter>

TImage::TImage(QWidget* parent) : TGraphicControl(parent) { setAttribute(Qt::WA_OpaquePaintEvent, false); }

TImage::~TImage() = default;

void TImage::SetStretch(bool value) {
  if (value == stretch_) return;
  stretch_ = value;
  Repaint();
}

void TImage::Paint() {
  if (bitmap_.Width() <= 0 || bitmap_.Height() <= 0) return;
  if (stretch_) {
    Canvas().StretchDraw(ClientRect(), bitmap_);
  } else {
    Canvas().Draw(0, 0, bitmap_);
  }
}

// The bitmap goes to the screen directly: a scene's picture is repainted at
// every step, and a copy through the control's own picture would be wasted.
void TImage::paintEvent(QPaintEvent*) {
  if (Width() <= 0 || Height() <= 0 || bitmap_.Width() <= 0 || bitmap_.Height() <= 0) return;
  const QImage image = BitmapToQImage(bitmap_);
  QPainter painter(this);
  if (stretch_) {
    painter.drawImage(QRect(0, 0, Width(), Height()), image);
  } else {
    painter.drawImage(0, 0, image);
  }
}
