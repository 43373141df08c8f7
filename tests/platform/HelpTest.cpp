#include "platform/Help.h"

#include "tests/support/FakeSystemValues.h"
#include "tests/support/RecordingShellServices.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

TEST(Help, ATopicIsAPageBesideTheProgramOpenedWhenItExistsAndAMissingOneIsNamedInOneBox) {
  TempDir program;
  FakeSystemValues system;
  system.programFolder = program.Path() + "/";
  RecordingShellServices shell;
  ScriptedUiServices ui;
  const std::string page = program.Path() + "/help/FAQs.html";
  EXPECT_EQ(HelpTopicFile("FAQs"), page);

  EXPECT_FALSE(HelpJump("FAQs"));
  EXPECT_TRUE(shell.opened.empty());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "The help pages are not installed.\r\rThe page looked for: " + page);
  EXPECT_EQ(ui.messages[0].caption, "Information");
  EXPECT_EQ(ui.messages[0].flags, unsigned{MB_OK | MB_ICONINFORMATION});

  mkdir(program.File("help").c_str(), 0700);
  program.WriteFile("help/FAQs.html", "<html/>");
  EXPECT_TRUE(HelpJump("FAQs"));
  EXPECT_EQ(shell.opened, std::vector<std::string>{page});
  shell.openResult = false;
  EXPECT_FALSE(HelpJump("FAQs"));
  EXPECT_EQ(ui.messages.size(), 1u) << "a page that exists is not reported missing";
}

}  // namespace
