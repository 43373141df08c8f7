#include "platform/qtui/QtModalFormRunner.h"

#include <QDialog>

TModalResult QtModalFormRunner::ShowModal(QDialog& form) {
  const int result = form.exec();
  // QDialog's Rejected is 0, which is mrNone among the modal results: a closed form is a Cancel.
  return result == QDialog::Rejected ? mrCancel : result;
}
