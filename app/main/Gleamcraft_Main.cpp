// Program entry of the editor: the application object, the main window, and
// the message loop.
#include "app/MainFormU.h"
#include "platform/qtui/QtUiServices.h"

#include <QApplication>

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QtUiServices uiServices;
  SetUiServices(&uiServices);

  TMainForm mainForm;
  MainForm = &mainForm;
  mainForm.resize(800, 600);
  mainForm.show();
  const int result = QApplication::exec();

  SetUiServices(nullptr);
  return result;
}
