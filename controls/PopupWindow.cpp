#include "controls/PopupWindow.h"

#include "platform/SystemValues.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QWindow>

#include <algorithm>

TPopupWindow::TPopupWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  // A pop-up is no reason for the program to go on or to end.
  setAttribute(Qt::WA_QuitOnClose, false);
}

TPopupWindow::~TPopupWindow() = default;

QPoint TPopupWindow::AnchorOf(const QWidget* control) {
  if (control == nullptr) return QCursor::pos();
  return control->mapToGlobal(QPoint(control->width() / 2, control->height() / 2));
}

QPoint TPopupWindow::KeptOnDesktop(QPoint topLeft, QSize size) {
  const TSize desktop = System().ScreenSize();
  int x = topLeft.x();
  int y = topLeft.y();
  if (x + size.width() > desktop.cx) x = desktop.cx - size.width();
  if (y + size.height() > desktop.cy) y = desktop.cy - size.height();
  return {std::max(x, 0), std::max(y, 0)};
}

void TPopupWindow::PopupAt(const QWidget* control) { ShowAt(KeptOnDesktop(AnchorOf(control), size())); }

void TPopupWindow::ShowAt(QPoint topLeft) {
  move(topLeft);
  open_ = true;
  hiddenOnPurpose_ = false;
  activeSinceShown_ = false;
  show();
  Activate();
}

void TPopupWindow::ClosePopup() {
  if (!open_) return;
  // Cleared before hide(): the deactivation that hide() delivers finds the
  // pop-up closed already.
  open_ = false;
  hiddenOnPurpose_ = false;
  activeSinceShown_ = false;
  hide();
  emit Closed();
}

void TPopupWindow::HideOnPurpose() {
  if (!open_ || hiddenOnPurpose_) return;
  hiddenOnPurpose_ = true;
  activeSinceShown_ = false;
  hide();
}

void TPopupWindow::ShowAgain() {
  if (!open_ || !hiddenOnPurpose_) return;
  hiddenOnPurpose_ = false;
  show();
  Activate();
}

void TPopupWindow::Activate() {
  activateWindow();
  // A window that was hidden while active stays the window system's focus
  // window where no other window took the activation (the offscreen
  // platform); asking it again then changes nothing, so the application is
  // told directly.
  if (QGuiApplication::focusWindow() == windowHandle() && QApplication::activeWindow() != this)
    QApplication::setActiveWindow(this);
  // A pop-up hidden while active, with no other window taking the activation,
  // is still the active window when shown again: no activation change comes,
  // yet it has the activation that its loss must close.
  if (isActiveWindow()) activeSinceShown_ = open_ && !hiddenOnPurpose_;
}

void TPopupWindow::RequestClose() {
  if (OnCloseRequest) {
    OnCloseRequest(this);
  } else {
    ClosePopup();
  }
}

void TPopupWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && open_) {
    event->accept();
    RequestClose();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TPopupWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::ActivationChange) return;
  if (isActiveWindow()) {
    activeSinceShown_ = open_ && !hiddenOnPurpose_;
    return;
  }
  if (open_ && !hiddenOnPurpose_ && activeSinceShown_) RequestClose();
}

void TPopupWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  if (open_) RequestClose();
}
