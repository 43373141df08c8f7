#include "controls/URL.h"

#include "platform/ShellServices.h"
#include "platform/UiServices.h"
#include "platform/qtui/ScreenCursors.h"

#include <QMouseEvent>

TURL::TURL(QWidget* parent) : QLineEdit(parent) {
  setReadOnly(true);
  setFrame(false);
  // Blue and underlined, on the parent's colour.
  QFont linkFont = font();
  linkFont.setUnderline(true);
  setFont(linkFont);
  QPalette colours = palette();
  colours.setColor(QPalette::Text, QColor(0, 0, 255));
  colours.setColor(QPalette::Base, Qt::transparent);
  setPalette(colours);
  setAutoFillBackground(false);

  browserCommand_ = RegisteredBrowserCommand();
  if (!browserCommand_.empty()) ApplyCursor(*this, crHandCursor);
}

void TURL::Click() {
  Fire(OnClick, this);
  if (browserCommand_.empty() || text().isEmpty()) return;
  const TBusyCursor busy;
  ShellOpen(text().toStdString());
}

void TURL::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) clickPending_ = true;
  QLineEdit::mousePressEvent(event);
}

// A left press and release inside the field is a click.
void TURL::mouseReleaseEvent(QMouseEvent* event) {
  QLineEdit::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton || !clickPending_) return;
  clickPending_ = false;
  if (rect().contains(event->position().toPoint())) Click();
}
