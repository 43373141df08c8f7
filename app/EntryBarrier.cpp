#include "app/EntryBarrier.h"

#include "platform/SysUtils.h"
#include "platform/Timer.h"
#include "platform/qtui/Application.h"

#include <exception>

bool RunBarred(const std::function<void()>& entry) {
  // No timer's work starts while the box is shown: a failing tick would
  // stack box upon box.
  const auto show = [](const std::exception& error) {
    const TTimerTickHold hold;
    TApplication::ShowException(error);
  };
  try {
    entry();
    return true;
  } catch (const std::exception& error) {
    show(error);
  } catch (...) {
    show(Exception("Unknown error"));
  }
  return false;
}
