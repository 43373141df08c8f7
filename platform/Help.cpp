#include "platform/Help.h"

#include "platform/ShellServices.h"
#include "platform/SysUtils.h"
#include "platform/SystemValues.h"

std::string HelpTopicFile(const std::string& topic) { return System().ProgramFolder() + "help/" + topic + ".html"; }

bool HelpJump(const std::string& topic) {
  const std::string page = HelpTopicFile(topic);
  return FileExists(page) && ShellOpen(page);
}
