#include "tests/uninstaller/UninstallerFixture.h"

#include "platform/CodePages.h"
#include "uninstaller/core/InstanceChannel.h"

namespace {

constexpr unsigned kQuestionFlags = MB_YESNO | MB_DEFBUTTON2 | MB_ICONINFORMATION;

using Texts = std::vector<std::string>;

}  // namespace

// ---- Start: key path, checks and confirmation ----------------------------------------------

TEST_F(UninstallerFixture, TheArgumentsJoinedWithBlanksAreTheKeyPath) {
  Seed({{"Name", "Tool"}}, "Vendor\\Tool Version 2");
  Run({"Vendor\\Tool", "Version", "2"}, {IDNO});
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, "Do you really want to completely remove Tool and all of its components?");
  EXPECT_EQ(ui_.messages[0].caption, "Uninstall Tool");
  EXPECT_EQ(ui_.messages[0].flags, kQuestionFlags);
  EXPECT_EQ(ui_.messages[0].owner, 0u);
  EXPECT_EQ(TUninstaller::JoinArguments({"Vendor\\Tool", "Version", "2"}), "Vendor\\Tool Version 2");
  EXPECT_EQ(TUninstaller::JoinArguments({"a", "", "b"}), "a  b");
}

TEST_F(UninstallerFixture, NoArgumentsShowTheInstructions) {
  Run({});
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text,
            "To remove program:\r1. Click the Start button\r2. Click Settings\r3. Click Control Panel\r"
            "4. Double-click Add/Remove Programs\r5. Select the program and click the Add/Remove... button\r"
            "6. Click the Yes button to confirm deletion");
  EXPECT_EQ(ui_.messages[0].caption, "Error");
  EXPECT_EQ(ui_.messages[0].flags, unsigned{MB_ICONERROR});
  EXPECT_TRUE(events_.empty());
}

TEST_F(UninstallerFixture, AMissingInstallKeyIsReported) {
  TRegistry(store_).CreateKey("Vendor\\Tool");
  Run({"Vendor\\Tool"});
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, "Can not open the registry key:\rVendor\\Tool\\install");
  EXPECT_EQ(ui_.messages[0].caption, "Error");
  EXPECT_EQ(ui_.messages[0].flags, unsigned{MB_ICONERROR});
  EXPECT_TRUE(UserKeyExists("Vendor\\Tool"));
}

TEST_F(UninstallerFixture, AMissingNameIsReported) {
  Seed({{"Location", Install()}});
  Run({"Vendor\\Tool"});
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, "Can not read installation data from the registry.");
  EXPECT_EQ(ui_.messages[0].caption, "Error");
  EXPECT_TRUE(UserKeyExists("Vendor\\Tool\\install"));
}

TEST_F(UninstallerFixture, AnsweringNoRemovesNothing) {
  const std::string file = Write(Install() + "/tool.bin", "x");
  Seed({{"Name", "Tool"}, {"Location", Install()}, {"NumbOfProg", "1"}, {"Prog0", file},
        {"NumbOfExec", "1"}, {"Exec1", Stub("exec.sh", "exec")}});
  Run({"Vendor\\Tool"}, {IDNO});
  EXPECT_TRUE(Exists(file));
  EXPECT_FALSE(Exists(Markers()));
  EXPECT_TRUE(UserKeyExists("Vendor\\Tool\\install"));
  EXPECT_TRUE(events_.empty());  // no window
  EXPECT_EQ(ui_.messages.size(), 1u);
}

TEST_F(UninstallerFixture, TheConfirmationDefaultsToNo) {
  const std::string file = Write(Install() + "/tool.bin", "x");
  Seed({{"Name", "Tool"}, {"Location", Install()}, {"NumbOfProg", "1"}, {"Prog0", file}});
  Run({"Vendor\\Tool"}, {});  // the user just accepts the box
  EXPECT_TRUE(Exists(file));
}

TEST_F(UninstallerFixture, AKeyPathOfOneComponentIsRefused) {
  Seed({{"Name", "Tool"}}, "Vendor");
  Run({"Vendor"});
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, "Can not open the registry key:\rVendor\\install");
  EXPECT_TRUE(UserKeyExists("Vendor\\install"));
}

TEST_F(UninstallerFixture, TheEditorsSettingsKeyIsNeverRemoved) {
  for (const std::string path : {"SOFTWARE\\ZorvanSoft\\Glowsmith", "Software\\ZorvanSoft",
                                 "SOFTWARE\\zorvansoft\\GLOWSMITH\\Fonts", "\\SOFTWARE\\ZorvanSoft",
                                 "\xc5\xbfOFTWARE\\ZorvanSoft"}) {
    SCOPED_TRACE(path);
    ui_.messages.clear();
    Seed({{"Name", "Tool"}}, path);
    Run({path});
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].text, "Can not open the registry key:\r" + Utf8ToAnsi(path) + "\\install");
  }
  EXPECT_TRUE(UserKeyExists("SOFTWARE\\ZorvanSoft\\Glowsmith\\install"));
  EXPECT_TRUE(TUninstaller::KeyPathAllowed("SOFTWARE\\ZorvanSoftware"));
  EXPECT_FALSE(TUninstaller::KeyPathAllowed("Vendor\\\\Tool"));
  EXPECT_FALSE(TUninstaller::KeyPathAllowed("Vendor\\"));
}

// ---- Programs --------------------------------------------------------------------------

TEST_F(UninstallerFixture, ProgramsRunWithTheirCommandLinesAndArgumentZeroOne) {
  Seed({{"Name", "Tool"}, {"Location", Install()}, {"NumbOfExec", "3"}, {"Exec1", BinaryStub("exec1")},
        {"ExecComLine1", "-q \"two words\""}, {"Exec2", Home() + "/missing"}, {"Exec3", BinaryStub("exec3")},
        {"NumbOfPostExec", "1"}, {"PostExec1", BinaryStub("post1")}, {"PostExecComLine1", "x"}});
  Run({"Vendor\\Tool"});
  // A program that cannot be started is passed over.
  EXPECT_EQ(Lines(Markers()), (Texts{"exec1|1|-q|two words", "exec3|1", "post1|1|x"}));
}

TEST_F(UninstallerFixture, CountsOutsideOneTo999RunNothing) {
  for (const std::string count : {"1000", "0", "-1", "many"}) {
    SCOPED_TRACE(count);
    Seed({{"Name", "Tool"}, {"Location", Install()}, {"NumbOfExec", count}, {"Exec1", Stub("a.sh", "exec")},
          {"NumbOfPostExec", count}, {"PostExec1", Stub("b.sh", "post")}});
    Run({"Vendor\\Tool"});
    EXPECT_FALSE(Exists(Markers()));
  }
}

TEST_F(UninstallerFixture, AnEmptyLocationSkipsProgramsAndFiles) {
  const std::string file = Write(Install() + "/tool.bin", "x");
  Seed({{"Name", "Tool"}, {"NumbOfExec", "1"}, {"Exec1", Stub("a.sh", "exec")}, {"NumbOfProg", "1"},
        {"Prog0", file}});
  Run({"Vendor\\Tool"});
  EXPECT_FALSE(Exists(Markers()));
  EXPECT_TRUE(Exists(file));
  EXPECT_FALSE(UserKeyExists("Vendor\\Tool"));
  // The result names no folder.
  EXPECT_EQ(ui_.messages.back().text, "Uninstall successfully completed.\r");
}

// ---- Files, progress and status ---------------------------------------------------------------

TEST_F(UninstallerFixture, OneFileNeverMovesTheProgressBar) {
  const std::string file = Write(Install() + "/tool.bin", "x");
  Seed({{"Name", "Tool"}, {"Location", Install()}, {"NumbOfProg", "1"}, {"Prog0", file}});
  Run({"Vendor\\Tool"});
  EXPECT_FALSE(Exists(file));
  EXPECT_TRUE(progress_.empty());
  EXPECT_EQ(finalStatus_, file);
}

TEST_F(UninstallerFixture, ThreeFilesMoveTheBarTo0_50And100WithTheirStatus) {
  std::map<std::string, std::string> values = {{"Name", "Tool"}, {"Location", Install()}, {"NumbOfProg", "3"}};
  for (int k = 0; k < 3; ++k) values["Prog" + std::to_string(k)] = Write(Install() + "/f" + std::to_string(k), "x");
  Seed(values);
  Run({"Vendor\\Tool"});
  EXPECT_EQ(progress_, (std::vector<ProgressStep>{{0, Install() + "/f0"}, {50, Install() + "/f1"},
                                                  {100, Install() + "/f2"}}));
}

TEST_F(UninstallerFixture, TheStatusLineStandsOneLineAboveTheProgressBarInWindows1252) {
  Seed({{"Name", "Tool"}, {"Location", Install()}, {"NumbOfProg", "2"}, {"Prog0", Install() + "/a"},
        {"Prog1", Install() + "/caf\xc3\xa9.bin"}});
  Run({"Vendor\\Tool"});
  ASSERT_EQ(shownLines_.size(), 2u);
  EXPECT_GT(lineHeight_, 10);
  EXPECT_LT(lineHeight_, 20);
  ASSERT_EQ(shownLines_[1].size(), 8u);
  EXPECT_EQ(shownLines_[1].back(), (TUninstallWindow::TextLine{{10, 188 - lineHeight_}, Install() + "/caf\xe9.bin"}));
  EXPECT_EQ(barValue_, 100);
}

TEST_F(UninstallerFixture, AnEmptyProgStillDeletesItsShortcutAndClearsTheStatusLine) {
  const std::string shortcut = Write(Applications() + "/tool.desktop", "[Desktop Entry]\n");
  Seed({{"Name", "Tool"}, {"Location", Install()}, {"NumbOfProg", "3"}, {"Prog0", Write(Install() + "/a", "")},
        {"Prog1", Write(Install() + "/b", "")}, {"Prog2", ""}, {"Shortcut2", shortcut}});
  Run({"Vendor\\Tool"});
  EXPECT_FALSE(Exists(shortcut));
  ASSERT_EQ(progress_.size(), 3u);
  EXPECT_EQ(progress_[2], (ProgressStep{100, ""}));
  EXPECT_EQ(shownLines_[2].size(), 7u);  // no status line
  EXPECT_EQ(finalStatus_, "");
}

TEST_F(UninstallerFixture, AutostartEntriesOfAnInstalledFileGoWhateverPathTheyUse) {
  Folder(Install() + "/bin");
  const std::string program = Write(Install() + "/bin/tool", "#!/bin/sh\n");
  ASSERT_EQ(::symlink(Install().c_str(), (Home() + "/inst-link").c_str()), 0);
  const std::string viaOtherPath =
      Write(Autostart() + "/tool.desktop", "[Desktop Entry]\nName=Tool\nExec=\"" + Home() + "/inst-link/bin/../bin/tool\" --tray\n");
  const std::string upperCase = Write(Autostart() + "/TOOL2.DESKTOP", "[Desktop Entry]\nExec=" + program + "\n");
  const std::string asLink = Autostart() + "/linked.desktop";
  ASSERT_EQ(::symlink(program.c_str(), asLink.c_str()), 0);
  const std::string other = Write(Autostart() + "/other.desktop", "[Desktop Entry]\nExec=/usr/bin/other\n");
  const std::string notAnEntry = Write(Autostart() + "/tool.txt", "Exec=" + program + "\n");
  Seed({{"Name", "Tool"}, {"Location", Install()}, {"NumbOfProg", "1"}, {"Prog0", program}});
  Run({"Vendor\\Tool"});
  EXPECT_FALSE(Exists(program));
  EXPECT_FALSE(Exists(viaOtherPath));
  EXPECT_FALSE(Exists(upperCase));
  EXPECT_FALSE(Exists(asLink));
  EXPECT_TRUE(Exists(other));
  EXPECT_TRUE(Exists(notAnEntry));
}

TEST_F(UninstallerFixture, ProgramsRunFirstThenFilesGoThenTheLastProgramsRun) {
  const std::string file = Write(Install() + "/tool.bin", "x");
  const std::string check = "[ -e '" + file + "' ] && echo present >> '" + Markers() + "' || echo gone >> '" +
                            Markers() + "'\n";
  Seed({{"Name", "Tool"}, {"Location", Install()}, {"NumbOfExec", "1"}, {"Exec1", Stub("a.sh", "exec", check)},
        {"NumbOfProg", "1"}, {"Prog0", file}, {"NumbOfPostExec", "1"}, {"PostExec1", Stub("b.sh", "post", check)}});
  Run({"Vendor\\Tool"});
  EXPECT_EQ(Lines(Markers()), (Texts{"exec", "present", "post", "gone"}));
  EXPECT_EQ(Captions(), (Texts{"Uninstall Tool", "Success"}));
}

TEST_F(UninstallerFixture, NothingOutsideWhatWasInstalledIsDeleted) {
  const std::string homeFile = Write(Home() + "/precious.txt", "keep");
  Folder(Home() + "/elsewhere");
  const std::string outsideTarget = Write(Home() + "/elsewhere/target", "keep");
  ASSERT_EQ(::symlink((Home() + "/elsewhere").c_str(), (Install() + "/escape").c_str()), 0);
  const std::string installedLink = Install() + "/link-to-target";
  ASSERT_EQ(::symlink(outsideTarget.c_str(), installedLink.c_str()), 0);
  Folder(Install() + "/subfolder");
  Write(Install() + "/subfolder/kept", "x");
  const std::string desktopFile = Write(Home() + "/Desktop/tool.desktop", "[Desktop Entry]\n");
  const std::string foreignShortcut = Write(Home() + "/other.desktop", "[Desktop Entry]\n");
  Seed({{"Name", "Tool"}, {"Location", Install()}, {"NumbOfProg", "7"},
        {"Prog0", homeFile},                              // outside the install folder
        {"Prog1", Install() + "/../precious.txt"},         // leaves it through ".."
        {"Prog2", Install() + "/escape/target"},           // leaves it through a link
        {"Prog3", "inst/relative"},                        // not absolute
        {"Prog4", Install() + "/subfolder"},               // a folder
        {"Prog5", installedLink},                          // an installed link: the link goes, not its target
        {"Prog6", Install() + "/missing"},
        {"Shortcut0", foreignShortcut},                    // a shortcut outside the user's folders
        {"Shortcut1", desktopFile}});
  Run({"Vendor\\Tool"});
  EXPECT_TRUE(Exists(homeFile));
  EXPECT_TRUE(Exists(outsideTarget));
  EXPECT_TRUE(Exists(Install() + "/subfolder/kept"));
  EXPECT_FALSE(Exists(installedLink));
  EXPECT_TRUE(Exists(foreignShortcut));
  EXPECT_FALSE(Exists(desktopFile));
}

TEST_F(UninstallerFixture, TheRootAndTheHomeFolderAreNoInstallFolders) {
  const std::string homeFile = Write(Home() + "/precious.txt", "keep");
  for (const std::string& location : {std::string("/"), Home(), Home() + "/"}) {
    EXPECT_FALSE(TUninstaller::IsInstalledFile(homeFile, location)) << location;
  }
  EXPECT_FALSE(TUninstaller::IsInstalledFile(homeFile, Home() + "/../" + ExtractFileName(Home()) + "/inst/.."));
  EXPECT_TRUE(TUninstaller::IsInstalledFile(Write(Install() + "/a", ""), Install() + "/"));
}

// ---- Folders, keys and the result ------------------------------------------------------------

TEST_F(UninstallerFixture, TheMenuFolderGoesOnlyWhenEmptyAndInTheMenu) {
  const std::string menu = Applications() + "/Tool";
  Folder(menu);
  const std::string shortcut = Write(menu + "/tool.desktop", "[Desktop Entry]\n");
  Seed({{"Name", "Tool"}, {"Location", Install()}, {"NumbOfProg", "1"}, {"Prog0", ""}, {"Shortcut0", shortcut},
        {"MenuFolder", menu}});
  Run({"Vendor\\Tool"});
  EXPECT_FALSE(Exists(menu));

  const std::string full = Applications() + "/Full";
  Folder(full);
  Write(full + "/keep.desktop", "x");
  const std::string outside = Home() + "/EmptyFolder";
  Folder(outside);
  for (const std::string& folder : {full, outside}) {
    Seed({{"Name", "Tool"}, {"MenuFolder", folder}});
    Run({"Vendor\\Tool"});
    EXPECT_TRUE(Exists(folder)) << folder;
  }
}

TEST_F(UninstallerFixture, TheProductsKeysAndTheMachinesEntryGoAndNothingElse) {
  Seed({{"Name", "Tool"}});
  TRegistry reg(store_);
  ASSERT_TRUE(reg.CreateKey("Vendor\\Tool\\Options\\Deep"));
  ASSERT_TRUE(reg.CreateKey("Vendor\\ToolBox\\install"));
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.CreateKey("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool"));
  ASSERT_TRUE(reg.CreateKey("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ToolBox"));
  Run({"Vendor\\Tool"});
  EXPECT_FALSE(UserKeyExists("Vendor\\Tool"));
  EXPECT_TRUE(UserKeyExists("Vendor\\ToolBox\\install"));
  EXPECT_FALSE(reg.KeyExists("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool"));
  EXPECT_TRUE(reg.KeyExists("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ToolBox"));
}

TEST_F(UninstallerFixture, TheResultNamesTheInstallFolderOnlyWhileItRemains) {
  Seed({{"Name", "Tool"}, {"Location", Install()}, {"NumbOfProg", "1"}, {"Prog0", Write(Install() + "/a", "")}});
  Write(Install() + "/not listed", "x");
  Run({"Vendor\\Tool"});
  ASSERT_EQ(ui_.messages.size(), 2u);
  EXPECT_EQ(ui_.messages[1].text, "Uninstall successfully completed.\rSome components must be erased manually from "
                                  "directory: \r" + Install());
  EXPECT_EQ(ui_.messages[1].caption, "Success");
  EXPECT_EQ(ui_.messages[1].flags, unsigned{MB_ICONINFORMATION});
  EXPECT_EQ(ui_.messages[1].owner, windowHandle_);
  EXPECT_NE(windowHandle_, 0u);

  ::unlink((Install() + "/not listed").c_str());
  ui_.messages.clear();
  Seed({{"Name", "Tool"}, {"Location", Install()}});
  Run({"Vendor\\Tool"});
  EXPECT_EQ(ui_.messages.back().text, "Uninstall successfully completed.\r");
  EXPECT_FALSE(Exists(Install()));
}

// ---- A second uninstaller ------------------------------------------------------------------

TEST_F(UninstallerFixture, ASecondUninstallerClosesTheFirstBeforeItsWindowOpens) {
  TInstanceChannel first;
  ASSERT_TRUE(first.Listen("Tool", [this] { events_.push_back("first closed"); }));
  TInstanceChannel otherProduct;
  ASSERT_TRUE(otherProduct.Listen("Tool 2", [this] { events_.push_back("other closed"); }));
  Seed({{"Name", "Tool"}});
  Run({"Vendor\\Tool"});
  EXPECT_EQ(events_, (Texts{"first closed", "window"}));
}

TEST_F(UninstallerFixture, AChannelLeftByAnEndedUninstallerIsTakenOver) {
  Write(TInstanceChannel::ChannelPath("Tool").toStdString(), "");  // a stale file where the channel belongs
  EXPECT_FALSE(TInstanceChannel::RequestClose("Tool"));
  TInstanceChannel channel;
  int requests = 0;
  ASSERT_TRUE(channel.Listen("Tool", [&] { ++requests; }));
  EXPECT_TRUE(TInstanceChannel::RequestClose("Tool"));
  EXPECT_EQ(requests, 1);
  EXPECT_NE(TInstanceChannel::ChannelPath("Tool"), TInstanceChannel::ChannelPath("Tool!"));
}
