#include "platform/Timer.h"

#include <QTimer>

namespace {
int tickHolds = 0;
}  // namespace

TTimerTickHold::TTimerTickHold() { ++tickHolds; }
TTimerTickHold::~TTimerTickHold() { --tickHolds; }
bool TTimerTickHold::Active() { return tickHolds > 0; }

TTimer::TTimer() : timer_(std::make_unique<QTimer>()) {
  QObject::connect(timer_.get(), &QTimer::timeout, [this] {
    if (onTimer_ && !TTimerTickHold::Active()) onTimer_();
  });
}

TTimer::~TTimer() = default;

// As with the classic timer component, setting an unchanged value does not
// restart the interval; disabling and enabling again does.
void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Update();
}

void TTimer::SetInterval(int milliseconds) {
  if (milliseconds == interval_) return;
  interval_ = milliseconds;
  Update();
}

void TTimer::SetOnTimer(std::function<void()> handler) {
  onTimer_ = std::move(handler);
  Update();
}

bool TTimer::IsTicking() const { return timer_->isActive(); }

void TTimer::Update() {
  if (enabled_ && interval_ > 0 && onTimer_) {
    timer_->start(interval_);  // restarts the interval, as re-enabling a timer does
  } else {
    timer_->stop();
  }
}
