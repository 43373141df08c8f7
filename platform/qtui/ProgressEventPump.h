// Running the event loop while a long operation reports progress. The
// windows repaint and Esc is seen, but nothing else reaches the program in
// the middle of the operation: user input other than Esc is dropped, no
// window closes, no timer's work starts and posted messages wait until the
// operation reports again or ends.
#pragma once

#include <functional>

// Processes the pending events once under those rules; onEscape runs for
// each Esc key pressed meanwhile.
void PumpProgressEvents(const std::function<void()>& onEscape);

// Whether PumpProgressEvents is running now.
bool ProgressEventsPumping();
