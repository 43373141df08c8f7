#include "platform/Help.h"

#include "platform/CodePages.h"
#include "platform/ShellServices.h"
#include "platform/SysUtils.h"
#include "platform/SystemValues.h"
#include "platform/UiServices.h"

std::string HelpTopicFile(const std::string& topic) { return System().ProgramFolder() + "help/" + topic + ".html"; }

std::string HelpPageMissingText(const std::string& page) {
  return "The help pages are not installed.\r\rThe page looked for: " + Utf8ToAnsi(page);
}

bool HelpJump(const std::string& topic) {
  const std::string page = HelpTopicFile(topic);
  if (!FileExists(page)) {
    // Without a word the Help command would look broken.
    Ui().MessageBox(0, HelpPageMissingText(page), "Information", MB_OK | MB_ICONINFORMATION);
    return false;
  }
  return ShellOpen(page);
}
