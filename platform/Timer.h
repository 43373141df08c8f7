// A timer that calls its handler from the event loop. It ticks only while it
// is enabled, its interval is above 0 and a handler is set.
#pragma once

#include <functional>
#include <memory>

class QTimer;

class TTimer {
 public:
  TTimer();
  ~TTimer();
  TTimer(const TTimer&) = delete;
  TTimer& operator=(const TTimer&) = delete;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  int Interval() const { return interval_; }
  void SetInterval(int milliseconds);
  void SetOnTimer(std::function<void()> handler);
  const std::function<void()>& OnTimer() const { return onTimer_; }
  // True while the underlying timer runs (enabled, interval above 0, handler set).
  bool IsTicking() const;

 private:
  void Update();

  bool enabled_ = true;
  int interval_ = 1000;
  std::function<void()> onTimer_;
  std::unique_ptr<QTimer> timer_;
};

// While one of these exists, no timer's handler runs: a tick that falls due
// is skipped (the timer keeps running, so its next tick comes one interval
// later). Used while a long operation lets the event loop run, so that no
// timer's work starts in the middle of it.
class TTimerTickHold {
 public:
  TTimerTickHold();
  ~TTimerTickHold();
  TTimerTickHold(const TTimerTickHold&) = delete;
  TTimerTickHold& operator=(const TTimerTickHold&) = delete;
  // Whether ticks are held now.
  static bool Active();
};
