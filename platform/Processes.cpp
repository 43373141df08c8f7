#include "platform/Processes.h"

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
  std::vector<std::string> args;
  std::string current;
  bool quoted = false;
  bool inToken = false;
  for (char c : commandLine) {
    if (c == '"') {
      quoted = !quoted;
      inToken = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inToken) args.push_back(current);
      current.clear();
      inToken = false;
    } else {
      current += c;
      inToken = true;
    }
  }
  if (inToken) args.push_back(current);
  return args;
}
