// The real Uninstaller program, run on a temporary home with its message
// boxes answered through the scripted-answers hook.
#include "tests/uninstaller/UninstallerFixture.h"

#include "uninstaller/core/ScriptedAnswers.h"
#include "uninstaller/core/utils.h"

namespace {

struct RecordedMessage {
  std::string caption;
  std::string flags;
  std::string text;
};

class UninstallerProgramTest : public UninstallerFixture {
 protected:
  // Runs the program with the arguments and "Yes" to its question; returns its exit code.
  int RunProgram(const std::string& commandTail) {
    Write(Home() + "/answers", "Yes\n");
    ::unlink(Shown().c_str());
    ScopedEnvironment hook({{kAnswersVariable, Home() + "/answers"}, {kMessagesVariable, Shown()}});
    return RunAndWait(GC_UNINSTALLER_PROGRAM, "Uninstaller " + commandTail);
  }
  std::string Shown() const { return Home() + "/shown"; }
  std::vector<RecordedMessage> Messages() const {
    std::vector<RecordedMessage> messages;
    for (const std::string& line : Lines(Shown())) {
      const std::size_t first = line.find('\t'), second = line.find('\t', first + 1);
      messages.push_back({UnescapeRecordedField(line.substr(0, first)), line.substr(first + 1, second - first - 1),
                          UnescapeRecordedField(line.substr(second + 1))});
    }
    return messages;
  }
};

}  // namespace

TEST_F(UninstallerProgramTest, ASeededInstallIsRemovedByTheRealProgram) {
  // The install: a folder with three files, a menu folder with the product's
  // entry, two autostart entries, the helper programs and the machine's entry.
  const std::string files[3] = {Write(Install() + "/tool", "#!/bin/sh\n"), Write(Install() + "/readme.txt", "r"),
                                Write(Install() + "/data.bin", "d")};
  const std::string menu = Applications() + "/Tool";
  Folder(menu);
  const std::string menuEntry = Write(menu + "/tool.desktop", "[Desktop Entry]\nExec=" + files[0] + "\n");
  const std::string autostartEntry =
      Write(Autostart() + "/tool.desktop", "[Desktop Entry]\nExec=\"" + Install() + "/../inst/tool\" --tray\n");
  const std::string autostartLink = Autostart() + "/tool-data.desktop";
  ASSERT_EQ(::symlink(files[2].c_str(), autostartLink.c_str()), 0);
  const std::string precious = Write(Home() + "/precious.txt", "keep");
  const std::string check =
      "[ -e '" + files[0] + "' ] && echo present >> '" + Markers() + "' || echo gone >> '" + Markers() + "'\n";
  Seed({{"Name", "Tool"}, {"Location", Install()}, {"MenuFolder", menu},
        {"NumbOfExec", "1"}, {"Exec1", Stub("exec.sh", "exec", check)}, {"ExecComLine1", "--before"},
        {"NumbOfProg", "4"}, {"Prog0", files[0]}, {"Shortcut0", menuEntry}, {"Prog1", files[1]},
        {"Prog2", files[2]}, {"Prog3", precious},
        {"NumbOfPostExec", "1"}, {"PostExec1", Stub("post.sh", "post", check)}},
       "Vendor\\Tool Version 2");
  TRegistry machine(store_);
  machine.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(machine.CreateKey("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool"));

  ASSERT_EQ(RunProgram("Vendor\\Tool Version 2"), 0);

  EXPECT_EQ(Lines(Markers()), (std::vector<std::string>{"exec|--before", "present", "post", "gone"}));
  for (const std::string& file : files) EXPECT_FALSE(Exists(file)) << file;
  EXPECT_FALSE(Exists(autostartEntry));
  EXPECT_FALSE(Exists(autostartLink));
  EXPECT_FALSE(Exists(menuEntry));
  EXPECT_FALSE(Exists(menu));
  EXPECT_TRUE(Exists(precious));
  EXPECT_FALSE(UserKeyExists("Vendor\\Tool Version 2"));
  EXPECT_TRUE(UserKeyExists("Vendor"));
  EXPECT_FALSE(machine.KeyExists("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool"));
  // The install folder had only the listed files: it is gone and not named.
  EXPECT_FALSE(Exists(Install()));
  const std::vector<RecordedMessage> messages = Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].caption, "Uninstall Tool");
  EXPECT_EQ(messages[0].text, "Do you really want to completely remove Tool and all of its components?");
  EXPECT_EQ(messages[0].flags, "144");  // Yes and No, No the default, information icon
  EXPECT_EQ(messages[1].caption, "Success");
  EXPECT_EQ(messages[1].text, "Uninstall successfully completed.\r");
}

TEST_F(UninstallerProgramTest, AFolderThatRemainsIsNamedInTheResult) {
  const std::string listed = Write(Install() + "/tool", "x");
  const std::string unlisted = Write(Install() + "/user settings.ini", "x");
  Seed({{"Name", "Tool"}, {"Location", Install()}, {"NumbOfProg", "1"}, {"Prog0", listed}});
  ASSERT_EQ(RunProgram("Vendor\\Tool"), 0);
  EXPECT_FALSE(Exists(listed));
  EXPECT_TRUE(Exists(unlisted));
  const std::vector<RecordedMessage> messages = Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1].text,
            "Uninstall successfully completed.\rSome components must be erased manually from directory: \r" + Install());
}

TEST_F(UninstallerProgramTest, TheProgramWithoutArgumentsOnlyShowsTheInstructions) {
  ASSERT_EQ(RunProgram(""), 0);
  const std::vector<RecordedMessage> messages = Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].caption, "Error");
  EXPECT_EQ(messages[0].text.substr(0, 18), "To remove program:");
}
