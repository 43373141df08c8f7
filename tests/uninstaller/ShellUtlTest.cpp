#include "tests/uninstaller/UninstallerFixture.h"

#include "uninstaller/core/ScriptedAnswers.h"
#include "uninstaller/core/ShellUtl.h"
#include "uninstaller/core/utils.h"

// ---- Shortcut targets -----------------------------------------------------------------------

TEST(DesktopEntries, TheProgramIsTheFirstArgumentOfTheEntrysExecLine) {
  EXPECT_EQ(DesktopEntryProgram("[Desktop Entry]\nName=T\nExec=/opt/t/tool --tray %U\n"), "/opt/t/tool");
  EXPECT_EQ(DesktopEntryProgram("[Desktop Entry]\r\nExec = \"/opt/my tool/run\" %f\r\n"), "/opt/my tool/run");
  // Inside quotes \" and \\\\ (a backslash escaped twice) stand for '"' and '\'.
  EXPECT_EQ(DesktopEntryProgram("[Desktop Entry]\nExec=\"/a\\\\\"b\\\\\\\\c\"\n"), "/a\"b\\c");
  EXPECT_EQ(DesktopEntryProgram("[Desktop Entry]\nExec=/a\\sb\n"), "/a");  // \s is a blank
}

TEST(DesktopEntries, OtherGroupsKeysAndBrokenLinesGiveNoProgram) {
  EXPECT_EQ(DesktopEntryProgram("[Desktop Action x]\nExec=/bin/x\n"), "");
  EXPECT_EQ(DesktopEntryProgram("Exec=/bin/x\n"), "");
  EXPECT_EQ(DesktopEntryProgram("[Desktop Entry]\nTryExec=/bin/x\nExec[de]=/bin/y\n"), "");
  EXPECT_EQ(DesktopEntryProgram("[Desktop Entry]\nExec=\"/unclosed\n"), "");
  EXPECT_EQ(DesktopEntryProgram(""), "");
  EXPECT_EQ(DesktopEntryProgram("[Desktop Entry]\nExec=/first\n[Other]\n[Desktop Entry]\nExec=/second\n"), "/first");
}

TEST_F(UninstallerFixture, ShortcutTargetsAreCanonicalPaths) {
  Folder(Home() + "/bin");
  const std::string program = Write(Home() + "/bin/tool", "");
  const std::string canonical = CanonicalPath(program);
  ASSERT_FALSE(canonical.empty());
  EXPECT_EQ(GetShortcutTarget(Write(Home() + "/a.desktop", "[Desktop Entry]\nExec=" + Home() + "/bin/../bin/tool\n")),
            canonical);
  const std::string link = Home() + "/l.desktop";
  ASSERT_EQ(::symlink(program.c_str(), link.c_str()), 0);
  EXPECT_EQ(GetShortcutTarget(link), canonical);
  EXPECT_EQ(GetShortcutTarget(Write(Home() + "/b.desktop", "[Desktop Entry]\nExec=tool\n")), "");  // no path
  EXPECT_EQ(GetShortcutTarget(Write(Home() + "/c.desktop", "[Desktop Entry]\nExec=/missing/x\n")), "");
  EXPECT_EQ(GetShortcutTarget(Home() + "/none.desktop"), "");
  EXPECT_EQ(GetShortcutTarget(Home() + "/bin"), "");  // a folder
  const std::string dangling = Home() + "/d.desktop";
  ASSERT_EQ(::symlink((Home() + "/gone").c_str(), dangling.c_str()), 0);
  EXPECT_EQ(GetShortcutTarget(dangling), "");
}

TEST_F(UninstallerFixture, AnOversizedEntryIsNotRead) {
  const std::string program = Write(Home() + "/tool", "");
  const std::string big = Write(Home() + "/big.desktop",
                                "[Desktop Entry]\nExec=" + program + "\n" + std::string(2 * 1024 * 1024, '#'));
  EXPECT_EQ(GetShortcutTarget(big), "");
}

// ---- Running programs -----------------------------------------------------------------------

TEST_F(UninstallerFixture, RunAndWaitPassesArgumentZeroAndTheArgumentsAndReturnsTheExitCode) {
  const std::string stub = BinaryStub("helper");
  ScopedEnvironment exitCode({{"GC_STUB_EXIT", std::string("7")}});
  EXPECT_EQ(RunAndWait(stub, "1 a \"b c\""), 7);
  EXPECT_EQ(Lines(Markers()), (std::vector<std::string>{"helper|1|a|b c"}));
}

TEST_F(UninstallerFixture, RunAndWaitGivesMinusOneForAProgramThatCannotStart) {
  EXPECT_EQ(RunAndWait(Home() + "/missing", "1"), -1);
  EXPECT_EQ(RunAndWait(Write(Home() + "/not-executable", "data"), "1"), -1);
  EXPECT_EQ(RunAndWait("", "1"), -1);
  EXPECT_EQ(RunAndWait(BinaryStub("helper"), ""), -1);  // no argument zero
}

TEST_F(UninstallerFixture, RunAndWaitReportsAProgramEndedByASignal) {
  const std::string script = Write(Home() + "/killer.sh", "#!/bin/sh\nkill -9 $$\n");
  ::chmod(script.c_str(), 0700);
  EXPECT_EQ(RunAndWait(script, "1"), 128 + 9);
}

// ---- The scripted answers of the test hook ----------------------------------------------------

TEST_F(UninstallerFixture, ScriptedAnswersAreTakenInOrderAndEveryMessageIsRecorded) {
  const std::string answers = Write(Home() + "/answers", "Yes\r\nno\nbogus\n2\n");
  const std::string record = Home() + "/shown";
  TScriptedAnswers services(answers, record);
  EXPECT_EQ(services.MessageBox(0, "a\rb\tc\\d\ne", "Cap", MB_YESNO | MB_ICONERROR), IDYES);
  EXPECT_EQ(services.MessageBox(0, "t", "c", MB_YESNO), IDNO);
  EXPECT_EQ(services.MessageBox(0, "t", "c", MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(services.MessageBox(0, "t", "c", MB_YESNO | MB_DEFBUTTON2), IDNO);  // answers ran out: the default
  const std::vector<std::string> lines = Lines(record);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "Cap\t14\ta\\rb\\tc\\\\d\\ne");
  EXPECT_EQ(UnescapeRecordedField("a\\rb\\tc\\\\d\\ne"), "a\rb\tc\\d\ne");
}

TEST_F(UninstallerFixture, ScriptedAnswersComeOnlyWithTheirVariable) {
  {
    ScopedEnvironment none({{kAnswersVariable, std::nullopt}});
    EXPECT_EQ(TScriptedAnswers::FromEnvironment(), nullptr);
  }
  ScopedEnvironment set({{kAnswersVariable, Write(Home() + "/answers", "OK\n")}, {kMessagesVariable, std::nullopt}});
  const std::unique_ptr<TScriptedAnswers> services = TScriptedAnswers::FromEnvironment();
  ASSERT_NE(services, nullptr);
  EXPECT_EQ(services->MessageBox(0, "t", "c", MB_OKCANCEL), IDOK);
}
