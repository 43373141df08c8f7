// Build step: writes the starter set of templates, gallery presets and preset
// pictures into the folder given as the only argument (the program's folder).
#include "app/core/StarterSet.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <exception>

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <program folder>\n", argv[0]);
    return 2;
  }
  // Text is drawn with Qt's fonts, which need an application object but no screen.
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication application(argc, argv);
  try {
    WriteStarterSet(argv[1]);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "The starter set could not be written: %s\n", error.what());
    return 1;
  }
  return 0;
}
