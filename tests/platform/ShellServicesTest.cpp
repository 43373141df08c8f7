// Opening links and documents: what may reach the shell, the registered
// browser, and the desktop's default http handler.
#include "platform/Registry.h"
#include "platform/ShellServices.h"
#include "platform/UiServices.h"
#include "platform/qtui/QtShellServices.h"
#include "tests/support/RecordingShellServices.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// A private registry and a private desktop: configuration, data and the
// system folders all under one temporary folder.
class ShellServicesTest : public testing::Test {
 protected:
  ShellServicesTest()
      : environment_({{kRegistryFolderVariable, dir.Path() + "/registry"},
                      {"XDG_CONFIG_HOME", dir.Path() + "/config"},
                      {"XDG_CONFIG_DIRS", dir.Path() + "/etc"},
                      {"XDG_DATA_HOME", dir.Path() + "/data"},
                      {"XDG_DATA_DIRS", dir.Path() + "/usr"},
                      {"XDG_CURRENT_DESKTOP", std::nullopt}}) {
    for (const char* folder : {"registry", "config", "etc", "data/applications/vendor", "usr/applications"})
      std::filesystem::create_directories(dir.File(folder));
  }

  void WriteBrowserKey(const std::string& command) {
    TRegistry registry;
    registry.SetRootKey(HKEY_CLASSES_ROOT);
    ASSERT_TRUE(registry.OpenKey(kBrowserCommandKey, true));
    registry.WriteString("", command);
  }
  void WriteEntry(const std::string& name, const std::string& exec, const std::string& extra = "") {
    dir.WriteFile("data/applications/" + name, "[Desktop Entry]\nType=Application\nName=Web\n" + extra + "Exec=" + exec + "\n");
  }

  TempDir dir;

 private:
  ScopedEnvironment environment_;
};

}  // namespace

TEST_F(ShellServicesTest, OnlyWebAndMailLinksAndExistingFilesMayBeOpened) {
  for (const char* link : {"http://example.com/", "https://example.com/gleamcraft/", "HTTPS://EXAMPLE.COM",
                           "ftp://example.com/file.gif", "mailto:someone@example.com"})
    EXPECT_TRUE(IsShellOpenable(link)) << link;
  for (const char* refused : {"", "http://", "mailto:", "javascript:alert(1)", "file:///no/such/file", "/no/such/file",
                              "www.example.com", "smb://host/share", "http://example.com/\nrm", "data:text/html,x"})
    EXPECT_FALSE(IsShellOpenable(refused)) << refused;

  const std::string file = dir.WriteFile("readme.txt", "read me");
  EXPECT_TRUE(IsShellOpenable(file));
  EXPECT_TRUE(IsShellOpenable("file://" + file));
  EXPECT_FALSE(IsShellOpenable(dir.Path())) << "a folder is no document";
}

TEST_F(ShellServicesTest, ShellOpenHandsOnlyAllowedTargetsToTheShell) {
  RecordingShellServices shell;
  EXPECT_FALSE(ShellOpen("javascript:alert(1)"));
  EXPECT_FALSE(ShellOpen("/no/such/file"));
  EXPECT_TRUE(shell.opened.empty());

  EXPECT_TRUE(ShellOpen("https://example.com/gleamcraft/"));
  shell.openResult = false;
  EXPECT_FALSE(ShellOpen("mailto:a@example.com")) << "the shell's failure is reported";
  EXPECT_EQ(shell.opened, (std::vector<std::string>{"https://example.com/gleamcraft/", "mailto:a@example.com"}));
}

TEST_F(ShellServicesTest, WithoutServicesNothingOpensAndNoBrowserIsKnown) {
  EXPECT_FALSE(ShellOpen("https://example.com/"));
  EXPECT_EQ(Shell().DefaultBrowserCommand(), "");
  EXPECT_EQ(RegisteredBrowserCommand(), "");
}

TEST_F(ShellServicesTest, TheRegistrysBrowserWinsOverTheDesktops) {
  RecordingShellServices shell;
  shell.browserCommand = "firefox %u";
  EXPECT_EQ(RegisteredBrowserCommand(), "firefox %u") << "no registry entry: the desktop's handler";
  EXPECT_EQ(shell.browserQueries, 1);

  WriteBrowserKey("\"C:\\Program Files\\Browser\\browser.exe\" -nohome");
  EXPECT_EQ(RegisteredBrowserCommand(), "\"C:\\Program Files\\Browser\\browser.exe\" -nohome");
  EXPECT_EQ(shell.browserQueries, 1) << "the desktop is not asked";

  WriteBrowserKey("");
  EXPECT_EQ(RegisteredBrowserCommand(), "firefox %u") << "an empty value names no browser";
  shell.browserCommand.clear();
  EXPECT_EQ(RegisteredBrowserCommand(), "");
}

TEST_F(ShellServicesTest, TheDesktopsHandlerIsTheFirstInstalledEntryOfTheFirstList) {
  EXPECT_EQ(DesktopDefaultHandlerCommand("x-scheme-handler/http"), "") << "no lists at all";
  WriteEntry("web.desktop", "web-browser %u");
  dir.WriteFile("usr/applications/defaults.list", "[Default Applications]\nx-scheme-handler/http=web.desktop\n");
  EXPECT_EQ(DesktopDefaultHandlerCommand("x-scheme-handler/http"), "web-browser %u") << "the old defaults.list";

  // The user's list comes first; an entry that is not installed is passed over.
  WriteEntry("other.desktop", "other %u");
  dir.WriteFile("config/mimeapps.list", "# mine\n[Added Associations]\nx-scheme-handler/http=web.desktop;\n"
                                        "[Default Applications]\nX-Scheme-Handler/HTTP = gone.desktop;other.desktop;\n");
  EXPECT_EQ(DesktopDefaultHandlerCommand("x-scheme-handler/http"), "other %u");

  // A desktop's own list comes before the general one.
  dir.WriteFile("config/lxqt-mimeapps.list", "[Default Applications]\nx-scheme-handler/http=vendor-web.desktop\n");
  dir.WriteFile("data/applications/vendor/web.desktop", "[Desktop Entry]\nExec=vendor-web --new %U\n");
  {
    ScopedEnvironment desktop({{"XDG_CURRENT_DESKTOP", std::string("GNOME:LXQt")}});
    EXPECT_EQ(DesktopDefaultHandlerCommand("x-scheme-handler/http"), "vendor-web --new %U")
        << "an id with a dash is found in a sub-folder";
  }
  // A hidden entry counts as not installed.
  WriteEntry("other.desktop", "other %u", "Hidden=true\n");
  EXPECT_EQ(DesktopDefaultHandlerCommand("x-scheme-handler/http"), "web-browser %u");
  EXPECT_EQ(DesktopDefaultHandlerCommand("x-scheme-handler/ftp"), "");
}

TEST_F(ShellServicesTest, DesktopEntryIdsCannotLeaveTheApplicationFolders) {
  dir.WriteFile("data/evil.desktop", "[Desktop Entry]\nExec=evil\n");
  dir.WriteFile("config/mimeapps.list", "[Default Applications]\nx-scheme-handler/http=../evil.desktop;..;\n");
  EXPECT_EQ(DesktopDefaultHandlerCommand("x-scheme-handler/http"), "");
}

TEST_F(ShellServicesTest, TheQtShellAsksTheDesktopAndRefusesWhatIsNotAllowed) {
  WriteEntry("web.desktop", "web-browser %u");
  dir.WriteFile("config/mimeapps.list", "[Default Applications]\nx-scheme-handler/http=web.desktop\n");
  QtShellServices shell;
  EXPECT_EQ(shell.DefaultBrowserCommand(), "web-browser %u");
  EXPECT_FALSE(shell.OpenDocument("javascript:alert(1)"));
  EXPECT_FALSE(shell.OpenDocument("/no/such/file"));
}

TEST(MessageBeep, SoundsThroughTheServicesInUse) {
  MessageBeep(0);  // the silent services: nothing to hear, nothing to fail
  ScriptedUiServices ui;
  MessageBeep(0);
  MessageBeep(0x30);
  EXPECT_EQ(ui.beeps, 2);
}
