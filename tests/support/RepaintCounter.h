// Counts the paint, resize and layout-request events that the widgets of one
// window receive: a window at rest receives none (a widget that resizes
// itself or asks for a layout from its own resize keeps the loop busy).
#pragma once

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QWidget>

#include <map>
#include <string>

class RepaintCounter : public QObject {
 public:
  // The caret of a focused field blinks by design: it is stopped meanwhile.
  explicit RepaintCounter(QWidget& window) : window_(&window), flashTime_(QApplication::cursorFlashTime()) {
    QApplication::setCursorFlashTime(0);
    qApp->installEventFilter(this);
  }
  ~RepaintCounter() override {
    qApp->removeEventFilter(this);
    QApplication::setCursorFlashTime(flashTime_);
  }

  // Lets the posted events of a change run, then counts for the time given;
  // the events counted, one line per kind and widget ("" when none).
  std::string CountAfterSettling(int settleMs, int watchMs) {
    QTest::qWait(settleMs);
    counts_.clear();
    QTest::qWait(watchMs);
    std::string report;
    for (const auto& [name, count] : counts_) report += name + " x" + std::to_string(count) + "\n";
    return report;
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    auto* widget = qobject_cast<QWidget*>(watched);
    if ((type == QEvent::Paint || type == QEvent::Resize || type == QEvent::LayoutRequest) && widget != nullptr &&
        widget->window() == window_)
      ++counts_[std::string(type == QEvent::Paint ? "paint" : type == QEvent::Resize ? "resize" : "layout") +
                " on " + widget->metaObject()->className() + " '" + widget->objectName().toStdString() + "'"];
    return false;
  }

 private:
  QPointer<QWidget> window_;
  int flashTime_ = 0;
  std::map<std::string, int> counts_;
};
