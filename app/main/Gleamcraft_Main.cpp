// Program entry of the editor: the application object with its exception
// barrier, the user-interface services and modal-form runner, the main
// window, and the message loop.
#include "app/MainFormU.h"
#include "platform/qtui/Application.h"
#include "platform/qtui/QtModalFormRunner.h"
#include "platform/qtui/QtUiServices.h"

int main(int argc, char* argv[]) {
  TApplication application(argc, argv);
  QtUiServices uiServices;
  SetUiServices(&uiServices);
  QtModalFormRunner modalForms;
  SetModalFormRunner(&modalForms);

  TMainForm mainForm;
  MainForm = &mainForm;
  mainForm.resize(800, 600);
  mainForm.show();
  const int result = TApplication::exec();

  SetModalFormRunner(nullptr);
  SetUiServices(nullptr);
  return result;
}
