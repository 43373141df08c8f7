#include "app/MainFormU.h"

#include "imaging/utils.h"
#include "platform/CodePages.h"

#include <QApplication>
#include <QMdiArea>
#include <QMenuBar>
#include <QScreen>

TMainForm* MainForm = nullptr;

namespace {
constexpr int kMinimumWidth = 630;
constexpr int kMinimumHeight = 480;
}  // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
  mdiArea_ = new QMdiArea(this);
  setCentralWidget(mdiArea_);
  Window1 = menuBar()->addMenu(tr("&Window"));
  setMinimumSize(kMinimumWidth, kMinimumHeight);
  FormCreate();
}

TMainForm::~TMainForm() {
  if (MainForm == this) MainForm = nullptr;
}

void TMainForm::FormCreate() { ProgramName = "Gleamcraft"; }

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!shown_) {
    shown_ = true;
    FormShow();
  }
}

void TMainForm::FormShow() {
  // Centre on the desktop, halves rounded towards zero.
  if (const QScreen* screen = this->screen()) {
    const QRect desktop = screen->availableGeometry();
    move(desktop.left() + desktop.width() / 2 - width() / 2, desktop.top() + desktop.height() / 2 - height() / 2);
  }
  UpdateMainCaption();
}

void TMainForm::UpdateMainCaption() {
  const QString caption = AnsiToQString(ProgramName);
  setWindowTitle(caption);
  QApplication::setApplicationName(caption);
}
