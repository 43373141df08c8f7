// Running the installer's helper programs.
#pragma once

#include <string>

// Starts a program (its path as given, no search, no shell) with the
// arguments of commandLine, split at blanks outside double quotes; the first
// of them is the program's argv[0]. Waits until the program ends and returns
// its exit code (128 + the signal number when a signal ended it), or -1 when
// it could not be started.
int RunAndWait(const std::string& program, const std::string& commandLine);
