// Ending the program at once, without the usual shut-down (used when a 3D
// rendering context failed to release). It goes through a replaceable
// handler so that tests survive it: the default handler ends the process
// with the exit code; a test installs one that records the call and returns. Callers therefore
// return normally after TerminateProcess, as if the process had gone on.
#pragma once

#include <cstdint>
#include <functional>

using TProcessExitHandler = std::function<void(std::uint32_t exitCode)>;

// Ends the process at once (through the installed handler).
void TerminateProcess(std::uint32_t exitCode);
// Installs a handler; an empty one restores the default. Returns the previous one.
TProcessExitHandler SetProcessExitHandler(TProcessExitHandler handler);
