// Program entry of the editor: the application object with its exception
// barrier, the user-interface, shell and modal-form services, the main
// window, and the message loop.
#include "app/EditorUiServices.h"
#include "app/MainFormU.h"
#include "platform/qtui/Application.h"
#include "platform/qtui/QtModalFormRunner.h"
#include "platform/qtui/QtShellServices.h"

#include <QCoreApplication>
#include <QStringList>

int main(int argc, char* argv[]) {
  TApplication application(argc, argv);
  TEditorUiServices uiServices;
  SetUiServices(&uiServices);
  QtShellServices shellServices;
  SetShellServices(&shellServices);
  QtModalFormRunner modalForms;
  SetModalFormRunner(&modalForms);

  int result = 0;
  {
    TMainForm mainForm;
    MainForm = &mainForm;
    // The deferred start opens the file named first on the command line.
    if (const QStringList arguments = QCoreApplication::arguments(); arguments.size() > 1)
      mainForm.SetStartupFileArgument(arguments[1].toStdString());
    mainForm.show();
    result = TApplication::exec();
  }

  SetModalFormRunner(nullptr);
  SetShellServices(nullptr);
  SetUiServices(nullptr);
  return result;
}
