#include "platform/qtui/ProgressEventPump.h"

#include "platform/Messages.h"
#include "platform/Timer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include <vector>

namespace {

TEST(ProgressEventPump, EscIsSeenWhileOtherInputIsDropped) {
  QLineEdit edit;
  edit.show();
  edit.setFocus();
  int escapes = 0;
  QCoreApplication::postEvent(&edit, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
  QCoreApplication::postEvent(&edit, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
  QCoreApplication::postEvent(&edit, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
  PumpProgressEvents([&] { ++escapes; });
  EXPECT_EQ(escapes, 2);
  EXPECT_TRUE(edit.text().isEmpty());
  EXPECT_FALSE(ProgressEventsPumping());
  // Afterwards input reaches the controls again.
  QTest::keyClick(&edit, Qt::Key_B);
  EXPECT_EQ(edit.text(), "b");
}

TEST(ProgressEventPump, NoWindowClosesAndNoPostedWorkRunsMeanwhile) {
  QWidget window;
  window.show();
  std::vector<UINT> received;
  TWindowHandle handle([&](TMessage& m) { received.push_back(m.Msg); });
  PostMessage(handle.Handle(), 1002, 0, 0);
  QCoreApplication::postEvent(&window, new QCloseEvent);
  bool pumpingSeen = false;
  PumpProgressEvents([] {});
  pumpingSeen = received.empty();
  EXPECT_TRUE(pumpingSeen);
  EXPECT_TRUE(window.isVisible());
  QCoreApplication::processEvents();
  EXPECT_EQ(received, (std::vector<UINT>{1002}));
}

}  // namespace
