// Records the program's attempts to end its process instead of ending it,
// for its lifetime; the previous handler returns afterwards.
#pragma once

#include "platform/ProcessExit.h"

#include <cstdint>
#include <vector>

class RecordedProcessExit {
 public:
  RecordedProcessExit()
      : previous_(SetProcessExitHandler([this](std::uint32_t code) { exitCodes.push_back(code); })) {}
  ~RecordedProcessExit() { SetProcessExitHandler(previous_); }
  RecordedProcessExit(const RecordedProcessExit&) = delete;
  RecordedProcessExit& operator=(const RecordedProcessExit&) = delete;

  std::vector<std::uint32_t> exitCodes;

 private:
  TProcessExitHandler previous_;
};
