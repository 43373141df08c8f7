#include "controls/PopupModalLoop.h"

#include "controls/PopupWindow.h"

#include <QEventLoop>
#include <QPointer>

bool RunPopupModal(TPopupWindow& popup, QObject* owner) {
  if (!popup.IsOpen()) return false;
  QPointer<TPopupWindow> popupAlive(&popup);
  QPointer<QObject> ownerAlive(owner);
  QEventLoop loop;
  // The loop is the context of every connection: they end with it.
  QObject::connect(&popup, &TPopupWindow::Closed, &loop, &QEventLoop::quit);
  QObject::connect(&popup, &QObject::destroyed, &loop, &QEventLoop::quit);
  if (owner != nullptr) QObject::connect(owner, &QObject::destroyed, &loop, &QEventLoop::quit);
  loop.exec();
  if (popupAlive.isNull() || (owner != nullptr && ownerAlive.isNull())) return false;
  if (popup.IsOpen()) {
    // The application ended the loop (it is quitting): nothing was chosen.
    popup.ClosePopup();
    return false;
  }
  return true;
}
