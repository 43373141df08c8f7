// The barrier every entry of the editor passes: a command, a timer's tick,
// a drop, a change of the clipboard. Qt's event loop cannot carry an
// exception on, so one that escapes an entry is shown in the error box
// ("Error") and stops there; the window goes on as the user left it.
#pragma once

#include <functional>

// Runs an entry; false when an exception escaped it (and was shown).
bool RunBarred(const std::function<void()>& entry);
