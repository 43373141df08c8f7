#include "controls/QelViewHost.h"

#include "platform/qtui/QtInput.h"
#include "qel3d/qelview.h"

#include <QMouseEvent>
#include <QPainter>

TQelViewHost::TQelViewHost(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

TQelViewHost::~TQelViewHost() { SetView(nullptr); }

void TQelViewHost::SetView(TQelView* view) {
  if (view_ == view) return;
  if (view_ != nullptr) {
    view_->OnInvalidate = nullptr;
    view_->HandleDestroyed();
  }
  view_ = view;
  if (view_ == nullptr) return;
  view_->SetClientSize(width(), height());
  view_->OnInvalidate = [this] { update(); };
  // The window exists as soon as the widget does: the view renders into its
  // own image even while the page is hidden, so its pictures are always ready.
  view_->HandleCreated();
}

void TQelViewHost::SetClientSize(int width, int height) {
  resize(width, height);
  // A hidden widget gets its resize event only when shown: the view takes the size now.
  if (view_ != nullptr) view_->SetClientSize(width, height);
}

void TQelViewHost::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (view_ == nullptr) {
    painter.fillRect(rect(), Qt::black);
    return;
  }
  view_->Paint();
  const QImage image = view_->Image();
  if (image.isNull()) {
    painter.fillRect(rect(), Qt::black);
    return;
  }
  painter.drawImage(0, 0, image);
}

void TQelViewHost::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (view_ != nullptr) view_->SetClientSize(width(), height());
}

void TQelViewHost::mousePressEvent(QMouseEvent* event) {
  const std::optional<TMouseButton> button = MouseButtonOf(event->button());
  if (!button || !OnMouseDown) return;
  const QPoint p = event->position().toPoint();
  OnMouseDown(*button, ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y());
}

void TQelViewHost::mouseMoveEvent(QMouseEvent* event) {
  if (!OnMouseMove) return;
  const QPoint p = event->position().toPoint();
  OnMouseMove(ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y());
}

void TQelViewHost::mouseReleaseEvent(QMouseEvent* event) {
  const std::optional<TMouseButton> button = MouseButtonOf(event->button());
  if (!button || !OnMouseUp) return;
  const QPoint p = event->position().toPoint();
  OnMouseUp(*button, ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y());
}
