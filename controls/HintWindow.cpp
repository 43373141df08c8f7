#include "controls/HintWindow.h"

#include "platform/BitmapImages.h"

#include <QPainter>

#include <algorithm>

THintWindow::THintWindow(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_QuitOnClose, false);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
}

THintWindow::~THintWindow() = default;

void THintWindow::SetColor(TColor value) {
  color_ = value;
  update();
}

void THintWindow::SetFont(const TFont& value) {
  font_ = value;
  update();
}

void THintWindow::ActivateHint(const TRect& Rect, const std::string& AHint) {
  rect_ = Rect;
  caption_ = AHint;
  setGeometry(Rect.Left, Rect.Top, std::max(1, Rect.Width()), std::max(1, Rect.Height()));
  show();
  update();
}

void THintWindow::ReleaseHint() { hide(); }

void THintWindow::PaintPicture(TBitmap& picture) const {
  picture.SetPixelFormat(pf24bit);
  picture.SetSize(width(), height());
  TCanvas& canvas = picture.Canvas();
  canvas.Brush().Style = bsSolid;
  canvas.Brush().Color = color_;
  canvas.FillRect(Rect(0, 0, width(), height()));
  canvas.Brush().Color = clBlack;
  canvas.FrameRect(Rect(0, 0, width(), height()));
  canvas.Font() = font_;
  canvas.Brush().Style = bsClear;
  canvas.TextOut(3, 3, caption_);
}

void THintWindow::paintEvent(QPaintEvent*) {
  TBitmap picture;
  PaintPicture(picture);
  QPainter painter(this);
  painter.drawImage(0, 0, BitmapToQImage(picture));
}
