#include "platform/qtui/Application.h"

#include "platform/SysUtils.h"
#include "platform/UiServices.h"

#include <new>
#include <string>

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

namespace {

std::string TextOf(const std::exception& error) {
  if (const auto* own = dynamic_cast<const Exception*>(&error)) return own->Message();
  if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) return "Out of memory";
  return error.what();
}

}  // namespace

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    ShowException(error);
  } catch (...) {
    ShowException(Exception("Unknown error"));
  }
  // The event counts as handled: it must not go on to a parent.
  return true;
}

void TApplication::ShowException(const std::exception& error) {
  try {
    Ui().MessageBox(0, TextOf(error), "Error", MB_OK | MB_ICONERROR);
  } catch (...) {
    // Nothing may leave the barrier, not even a failure of the box itself.
  }
}
