// The Uninstaller's entry point: started with the product's registry key path
// on its command line.
#include "platform/qtui/QtUiServices.h"
#include "uninstaller/UninstallWindow.h"
#include "uninstaller/core/ScriptedAnswers.h"
#include "uninstaller/core/Zorvan_Uninstal.h"

#include <QApplication>

#include <memory>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  QApplication application(argc, argv);  // takes Qt's own options out of argv
  // Tests answer the message boxes through a file (see ScriptedAnswers.h).
  std::unique_ptr<UiServices> services = TScriptedAnswers::FromEnvironment();
  if (!services) services = std::make_unique<QtUiServices>();
  SetUiServices(services.get());

  const std::vector<std::string> arguments(argv + 1, argv + argc);
  int result = 0;
  {
    TUninstaller uninstaller;
    result = uninstaller.RunUninstaller(arguments, MakeUninstallWindow);
  }
  SetUiServices(nullptr);
  return result;
}
