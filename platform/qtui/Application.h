// The application object of the editor and the Uninstaller, with the one
// exception barrier of the program: an exception that escapes an event
// handler is shown in an error box (through UiServices) instead of reaching
// Qt's event loop, which cannot pass exceptions on. The program goes on
// after the box: an exception in one handler does not end the program.
#pragma once

#include <QApplication>

#include <exception>

class TApplication : public QApplication {
 public:
  TApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;

  // Shows the text of an escaped exception in an error box with the caption
  // "Error": an Exception's Message, another exception's what().
  static void ShowException(const std::exception& error);
};
