// Counts the paint, resize and layout-request events that the widgets of one
// window receive, to show that a window at rest does no work: a widget that
// resizes itself or asks for a layout from its own resize or paint keeps the
// event loop busy for ever.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPointer>
#include <QTest>
#include <QWidget>

#include <map>
#include <string>

class RepaintCounter : public QObject {
 public:
  // The caret of a focused field blinks, the one repaint that a window at
  // rest makes by design: it is stopped while counting.
  explicit RepaintCounter(QWidget& window) : window_(&window), flashTime_(QApplication::cursorFlashTime()) {
    QApplication::setCursorFlashTime(0);
    qApp->installEventFilter(this);
  }
  ~RepaintCounter() override {
    qApp->removeEventFilter(this);
    QApplication::setCursorFlashTime(flashTime_);
  }
  RepaintCounter(const RepaintCounter&) = delete;
  RepaintCounter& operator=(const RepaintCounter&) = delete;

  // Lets the posted events run for a while (a page just shown lays itself
  // out), then forgets what was counted.
  void Settle(int milliseconds = 300) {
    QTest::qWait(milliseconds);
    counts_.clear();
  }
  // Runs the event loop for the time given, counting.
  void Watch(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) QTest::qWait(10);
  }
  int Total() const {
    int total = 0;
    for (const auto& [name, count] : counts_) total += count;
    return total;
  }
  // "event kind on class 'objectName'" and its count, for each widget that
  // received one: what a failing test names.
  std::string Report() const {
    std::string text;
    for (const auto& [name, count] : counts_) text += name + " x" + std::to_string(count) + "\n";
    return text;
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if (type != QEvent::Paint && type != QEvent::Resize && type != QEvent::LayoutRequest) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || window_ == nullptr || widget->window() != window_) return false;
    const char* kind = type == QEvent::Paint ? "paint" : type == QEvent::Resize ? "resize" : "layout request";
    ++counts_[std::string(kind) + " on " + widget->metaObject()->className() + " '" +
              widget->objectName().toStdString() + "'"];
    return false;
  }

 private:
  QPointer<QWidget> window_;
  int flashTime_ = 0;
  std::map<std::string, int> counts_;
};
