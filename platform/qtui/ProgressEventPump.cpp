#include "platform/qtui/ProgressEventPump.h"

#include "platform/Messages.h"
#include "platform/Timer.h"

#include <QApplication>
#include <QKeyEvent>
#include <QObject>

namespace {

int pumping = 0;

bool IsUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::InputMethod:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
      return true;
    default:
      return false;
  }
}

// Drops the user's input (telling Esc presses to the caller) and refuses
// every close while the pending events run.
class TProgressInputFilter : public QObject {
 public:
  explicit TProgressInputFilter(const std::function<void()>& onEscape) : onEscape_(onEscape) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    (void)watched;
    if (event->type() == QEvent::Close) {
      event->ignore();
      return true;
    }
    if (!IsUserInput(event->type())) return false;
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
        !static_cast<QKeyEvent*>(event)->isAutoRepeat() && onEscape_) {
      onEscape_();
    }
    return true;
  }

 private:
  const std::function<void()>& onEscape_;
};

}  // namespace

void PumpProgressEvents(const std::function<void()>& onEscape) {
  QCoreApplication* application = QCoreApplication::instance();
  if (application == nullptr) return;
  TTimerTickHold timers;
  TMessageDeliveryHold messages;
  TProgressInputFilter filter(onEscape);
  application->installEventFilter(&filter);
  ++pumping;
  QCoreApplication::processEvents();
  --pumping;
  application->removeEventFilter(&filter);
}

bool ProgressEventsPumping() { return pumping > 0; }
