#include "platform/SysUtils.h"
#include "platform/qtui/Application.h"
#include "tests/support/ScriptedUiServices.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QTest>
#include <QWidget>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include <functional>
#include <stdexcept>

namespace {

// Throws from its event handling whatever the test asks for.
class Thrower : public QObject {
 public:
  std::function<void()> raise;
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User) raise();
    return QObject::event(e);
  }
};

class ThrowingWidget : public QWidget {
 protected:
  void mousePressEvent(QMouseEvent*) override { throw Exception("Cannot read data from file."); }
};

// Allocations made during its lifetime are not reported as leaks.
struct LeaksExpected {
#if defined(__SANITIZE_ADDRESS__)
  LeaksExpected() { __lsan_disable(); }
  ~LeaksExpected() { __lsan_enable(); }
#else
  ~LeaksExpected() {}  // not trivial, so the guard counts as used
#endif
};

std::string Shown(const ScriptedUiServices& ui) { return ui.messages.empty() ? "" : ui.messages.back().text; }

}  // namespace

TEST(ExceptionBarrier, IsTheApplicationOfEveryTestProgram) {
  EXPECT_NE(dynamic_cast<TApplication*>(QCoreApplication::instance()), nullptr);
}

TEST(ExceptionBarrier, ShowsAnEscapedExceptionInAnErrorBox) {
  ScriptedUiServices ui;
  Thrower thrower;
  thrower.raise = [] { throw Exception("Wrong checksum."); };
  QEvent event(QEvent::User);
  EXPECT_TRUE(QCoreApplication::sendEvent(&thrower, &event));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Wrong checksum.");
  EXPECT_EQ(ui.messages[0].caption, "Error");
  EXPECT_EQ(ui.messages[0].flags, unsigned(MB_OK | MB_ICONERROR));
}

TEST(ExceptionBarrier, NamesOtherExceptionsToo) {
  ScriptedUiServices ui;
  Thrower thrower;
  QEvent event(QEvent::User);
  thrower.raise = [] { throw std::runtime_error("disk full"); };
  QCoreApplication::sendEvent(&thrower, &event);
  EXPECT_EQ(Shown(ui), "disk full");
  thrower.raise = [] { throw std::bad_alloc(); };
  QCoreApplication::sendEvent(&thrower, &event);
  EXPECT_EQ(Shown(ui), "Out of memory");
  thrower.raise = [] { throw 42; };
  QCoreApplication::sendEvent(&thrower, &event);
  EXPECT_EQ(Shown(ui), "Unknown error");
}

TEST(ExceptionBarrier, CatchesPostedEventsAndUserInput) {
  ScriptedUiServices ui;
  Thrower thrower;
  thrower.raise = [] { throw Exception("posted"); };
  QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
  QCoreApplication::processEvents();
  EXPECT_EQ(Shown(ui), "posted");

  {
    // Qt's widget code is built without exception support: an exception that
    // passes its frames (here the mouse handling of QApplication::notify)
    // cannot release their locals, such as a guard of the widget. The barrier
    // keeps the program running at the cost of those few bytes, which the
    // leak checker is told about.
    LeaksExpected qtFrames;
    ThrowingWidget widget;
    widget.resize(20, 20);
    widget.show();
    QTest::mouseClick(&widget, Qt::LeftButton, {}, QPoint(5, 5));
  }
  EXPECT_EQ(Shown(ui), "Cannot read data from file.");
  EXPECT_EQ(ui.messages.size(), 2u);
}
