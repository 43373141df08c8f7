// Helpers of the control tests: a shown window driven with the mouse and
// the keyboard through Qt's window system, as a user would (events go to the
// widget under the pointer, a press grabs the mouse until the release), and
// a recorder of the controls' events.
#pragma once

#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>
#include <QWindow>

#include <string>
#include <vector>

class TestWindow : public QWidget {
 public:
  explicit TestWindow(int width = 600, int height = 240) {
    resize(width, height);
    setAutoFillBackground(true);
  }
  // Shows the window and waits until the window system can deliver input to it.
  void Open() {
    show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(this));
  }

  // The pointer, in window coordinates.
  void Press(QPoint p, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers keys = {}) {
    QTest::mousePress(windowHandle(), button, keys, p);
  }
  void Move(QPoint p) { QTest::mouseMove(windowHandle(), p); }
  void Release(QPoint p, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers keys = {}) {
    QTest::mouseRelease(windowHandle(), button, keys, p);
  }
  void Click(QPoint p) {
    Press(p);
    Release(p);
  }
  // Hovers at the start, presses, moves to the end and releases there.
  void Drag(QPoint from, QPoint to) {
    Move(from);
    Press(from);
    Move(to);
    Release(to);
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers keys = {}) { QTest::keyClick(windowHandle(), key, keys); }
};

// A list of the events raised, by name.
struct EventLog {
  std::vector<std::string> names;
  int Count(const std::string& name) const {
    int n = 0;
    for (const std::string& s : names) n += s == name ? 1 : 0;
    return n;
  }
  auto Recorder(const std::string& name) {
    return [this, name](auto&&...) { names.push_back(name); };
  }
};
