// Finds a window's widgets and actions by their objectName, as a user's
// tools find them; a missing one fails the test where it is asked for.
#pragma once

#include <QAction>
#include <QObject>
#include <QString>

#include <stdexcept>
#include <string>

template <class T = QWidget>
T* Child(const QObject& root, const char* name) {
  T* found = root.findChild<T*>(QString::fromLatin1(name));
  if (found == nullptr) throw std::runtime_error(std::string("no child named \"") + name + "\"");
  return found;
}

inline QAction* Command(const QObject& window, const char* name) { return Child<QAction>(window, name); }
