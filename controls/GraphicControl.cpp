#include "controls/GraphicControl.h"

#include "platform/BitmapImages.h"
#include "platform/qtui/QtHints.h"
#include "platform/qtui/QtInput.h"
#include "platform/qtui/ScreenCursors.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

QPoint PointOf(const QMouseEvent& event) { return event.position().toPoint(); }

}  // namespace

TGraphicControl::TGraphicControl(QWidget* parent) : QWidget(parent) {
  // Hover handling needs every move, not only those with a button held.
  setMouseTracking(true);
  setFocusPolicy(Qt::NoFocus);
  // A control is visible from its creation, as in the class library; a
  // parentless one would become a window, so it waits for its parent.
  if (parent != nullptr) QWidget::setVisible(true);
  ApplyGeometry();
}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (ALeft == left_ && ATop == top_ && AWidth == width_ && AHeight == height_) return;
  left_ = ALeft;
  top_ = ATop;
  width_ = AWidth;
  height_ = AHeight;
  ApplyGeometry();
  if (!takingGeometryFromQt_) update();
  Resize();
}

void TGraphicControl::ApplyGeometry() {
  applyingGeometry_ = true;
  setGeometry(left_, top_, std::max(0, width_), std::max(0, height_));
  applyingGeometry_ = false;
}

// Bounds that Qt set (a layout, a parent's resize) become the control's own,
// through the same setters as bounds set in code.
void TGraphicControl::TakeGeometryFromQt() {
  if (applyingGeometry_) return;
  const QRect g = geometry();
  if (g.x() == left_ && g.y() == top_ && g.width() == std::max(0, width_) && g.height() == std::max(0, height_))
    return;
  takingGeometryFromQt_ = true;
  SetBounds(g.x(), g.y(), g.width(), g.height());
  takingGeometryFromQt_ = false;
}

void TGraphicControl::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  TakeGeometryFromQt();
}

void TGraphicControl::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  TakeGeometryFromQt();
}

void TGraphicControl::Resize() { Fire(OnResize, this); }

void TGraphicControl::setVisible(bool visible) {
  visible_ = visible;
  // Without a parent the control is not shown as a window of its own.
  if (parentWidget() != nullptr || !visible) QWidget::setVisible(visible);
}

void TGraphicControl::SetCursor(TCursor value) {
  if (value == cursor_) return;
  cursor_ = value;
  ApplyCursor(*this, value);
}

void TGraphicControl::SetHint(const std::string& value) {
  hint_ = value;
  ApplyHint(*this, hint_, showHint_);
}

void TGraphicControl::SetShowHint(bool value) {
  showHint_ = value;
  ApplyHint(*this, hint_, showHint_);
}

void TGraphicControl::SetTransparent(bool value) {
  transparent_ = value;
  setAttribute(Qt::WA_OpaquePaintEvent, !value);
  update();
}

// ---- Painting ---------------------------------------------------------------------

const TBitmap& TGraphicControl::PaintPicture(TColor background) {
  if (picture_.PixelFormat() != pf24bit) picture_.SetPixelFormat(pf24bit);
  picture_.SetSize(std::max(0, width_), std::max(0, height_));
  TCanvas& canvas = picture_.Canvas();
  const TBrush brush = canvas.Brush();
  canvas.Brush().Color = background;
  canvas.Brush().Style = bsSolid;
  canvas.FillRect(ClientRect());
  canvas.Brush() = brush;
  Paint();
  return picture_;
}

// The picture as shown: a transparent control is painted over black and over
// white, and only the pixels that both paints agree on are drawn.
QImage TGraphicControl::ScreenImage() {
  if (!transparent_) return BitmapToQImage(PaintPicture(clBtnFace));
  // Both paints start from the same pen, brush and font, as one paint would.
  TCanvas& canvas = picture_.Canvas();
  const TPen pen = canvas.Pen();
  const TBrush brush = canvas.Brush();
  const TFont font = canvas.Font();
  const QImage overBlack = BitmapToQImage(PaintPicture(clBlack));
  canvas.Pen() = pen;
  canvas.Brush() = brush;
  canvas.Font() = font;
  const QImage overWhite = BitmapToQImage(PaintPicture(clWhite));
  QImage shown(overBlack.size(), QImage::Format_ARGB32);
  for (int y = 0; y < shown.height(); ++y) {
    const auto* black = reinterpret_cast<const QRgb*>(overBlack.constScanLine(y));
    const auto* white = reinterpret_cast<const QRgb*>(overWhite.constScanLine(y));
    auto* out = reinterpret_cast<QRgb*>(shown.scanLine(y));
    for (int x = 0; x < shown.width(); ++x) out[x] = black[x] == white[x] ? (black[x] | 0xFF000000u) : 0u;
  }
  return shown;
}

void TGraphicControl::paintEvent(QPaintEvent*) {
  if (width_ <= 0 || height_ <= 0) return;
  const QImage image = ScreenImage();
  QPainter painter(this);
  painter.drawImage(0, 0, image);
}

// ---- Mouse and keys -------------------------------------------------------------

void TGraphicControl::mousePressEvent(QMouseEvent* event) {
  const std::optional<TMouseButton> button = MouseButtonOf(event->button());
  if (!button) return QWidget::mousePressEvent(event);
  if (*button == mbLeft) clickPending_ = true;
  const QPoint p = PointOf(*event);
  MouseDown(*button, ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y());
}

void TGraphicControl::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = PointOf(*event);
  MouseMove(ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y());
}

void TGraphicControl::mouseReleaseEvent(QMouseEvent* event) {
  const std::optional<TMouseButton> button = MouseButtonOf(event->button());
  if (!button) return QWidget::mouseReleaseEvent(event);
  const QPoint p = PointOf(*event);
  if (*button == mbLeft && clickPending_) {
    clickPending_ = false;
    if (PtInRect(ClientRect(), Point(p.x(), p.y()))) Click();
  }
  MouseUp(*button, ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y());
}

void TGraphicControl::mouseDoubleClickEvent(QMouseEvent* event) {
  const std::optional<TMouseButton> button = MouseButtonOf(event->button());
  if (!button) return QWidget::mouseDoubleClickEvent(event);
  const QPoint p = PointOf(*event);
  MouseDoubleClick(*button, ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y());
}

void TGraphicControl::keyPressEvent(QKeyEvent* event) {
  const TShiftState shift = ShiftStateOf(event->modifiers());
  bool consumed = false;
  if (WORD key = VirtualKeyOf(*event); key != 0) {
    KeyDown(key, shift);
    consumed = key == 0;
  }
  if (const std::optional<char> typed = KeyPressCharOf(*event)) {
    char key = *typed;
    KeyPress(key);
    consumed = consumed || key == '\0';
  }
  // A key nobody consumed goes on to the parent.
  event->setAccepted(consumed);
}

void TGraphicControl::keyReleaseEvent(QKeyEvent* event) {
  WORD key = VirtualKeyOf(*event);
  if (key != 0) KeyUp(key, ShiftStateOf(event->modifiers()));
  event->setAccepted(key == 0);
}

// ---- The overridable handlers ----------------------------------------------------

void TGraphicControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  Fire(OnMouseDown, this, Button, Shift, X, Y);
}

void TGraphicControl::MouseMove(TShiftState Shift, int X, int Y) { Fire(OnMouseMove, this, Shift, X, Y); }

void TGraphicControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  Fire(OnMouseUp, this, Button, Shift, X, Y);
}

void TGraphicControl::Click() { Fire(OnClick, this); }

void TGraphicControl::DblClick() { Fire(OnDblClick, this); }

void TGraphicControl::MouseDoubleClick(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) DblClick();
  MouseDown(Button, Shift + TShiftState{ssDouble}, X, Y);
}

void TGraphicControl::KeyDown(WORD& Key, TShiftState Shift) { Fire(OnKeyDown, this, Key, Shift); }

void TGraphicControl::KeyUp(WORD& Key, TShiftState Shift) { Fire(OnKeyUp, this, Key, Shift); }

void TGraphicControl::KeyPress(char& Key) { Fire(OnKeyPress, this, Key); }
