#include "platform/Help.h"

#include "tests/support/FakeSystemValues.h"
#include "tests/support/RecordingShellServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

TEST(Help, ATopicIsAPageBesideTheProgramOpenedWhenItExists) {
  TempDir program;
  FakeSystemValues system;
  system.programFolder = program.Path() + "/";
  RecordingShellServices shell;
  EXPECT_EQ(HelpTopicFile("FAQs"), program.Path() + "/help/FAQs.html");
  EXPECT_FALSE(HelpJump("FAQs"));
  EXPECT_TRUE(shell.opened.empty());
  mkdir(program.File("help").c_str(), 0700);
  program.WriteFile("help/FAQs.html", "<html/>");
  EXPECT_TRUE(HelpJump("FAQs"));
  EXPECT_EQ(shell.opened, std::vector<std::string>{program.Path() + "/help/FAQs.html"});
  shell.openResult = false;
  EXPECT_FALSE(HelpJump("FAQs"));
}

}  // namespace
