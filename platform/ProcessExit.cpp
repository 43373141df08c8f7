#include "platform/ProcessExit.h"

#include <cstdlib>
#include <utility>

namespace {

// Skips destructors and atexit handlers, as ending a process from outside would.
void EndProcessNow(std::uint32_t exitCode) { std::_Exit(static_cast<int>(exitCode)); }

TProcessExitHandler& Handler() {
  static TProcessExitHandler handler = EndProcessNow;
  return handler;
}

}  // namespace

void TerminateProcess(std::uint32_t exitCode) { Handler()(exitCode); }

TProcessExitHandler SetProcessExitHandler(TProcessExitHandler handler) {
  if (!handler) handler = EndProcessNow;
  return std::exchange(Handler(), std::move(handler));
}
