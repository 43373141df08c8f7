// Helpers of the dialog tests: typing into a field as a user does, and a
// program folder with help pages whose opening is recorded.
#pragma once

#include "controls/My_SpinEdit.h"
#include "tests/support/FakeSystemValues.h"
#include "tests/support/RecordingShellServices.h"
#include "tests/support/TempDir.h"

#include <QTest>

#include <sys/stat.h>

#include <string>

// Replaces the field's text by typing, key by key, as a user does: every
// character typed fires the field's change handling.
inline void TypeInto(TSpinEdit& field, const char* text) {
  field.setFocus();
  field.selectAll();
  if (*text == '\0') {
    QTest::keyClick(&field, Qt::Key_Delete);
    return;
  }
  QTest::keyClicks(&field, text);
}

// A program folder holding the help pages of some topics; the pages the
// program opens are recorded.
struct HelpPages {
  TempDir program;
  FakeSystemValues system;
  RecordingShellServices shell;

  explicit HelpPages(std::initializer_list<const char*> topics) {
    system.programFolder = program.Path() + "/";
    ::mkdir(program.File("help").c_str(), 0700);
    for (const char* topic : topics) program.WriteFile(std::string("help/") + topic + ".html", "<html/>");
  }
  std::string Page(const char* topic) const { return program.Path() + "/help/" + topic + ".html"; }
};
