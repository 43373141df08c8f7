// Command lines of programs started without a shell.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Splits a command line at blanks and tabs outside double quotes; the quotes
// themselves are removed, and "" stands for an empty argument.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);
