#include "platform/XdgFolders.h"

#include "tests/support/ScopedEnvironment.h"

#include <gtest/gtest.h>

TEST(XdgFolders, AbsoluteVariablesNameTheFolders) {
  ScopedEnvironment vars({{"HOME", "/home/u"}, {"XDG_CONFIG_HOME", "/cfg/"}, {"XDG_DATA_HOME", "/data"},
                          {"XDG_DESKTOP_DIR", "/home/u/Schreibtisch"}});
  EXPECT_EQ(XdgConfigHome(), "/cfg");
  EXPECT_EQ(UserAutostartFolder(), "/cfg/autostart");
  EXPECT_EQ(XdgDataHome(), "/data");
  EXPECT_EQ(UserApplicationsFolder(), "/data/applications");
  EXPECT_EQ(UserDesktopFolder(), "/home/u/Schreibtisch");
}

TEST(XdgFolders, UnsetEmptyOrRelativeVariablesFallBackToTheHomeFolder) {
  ScopedEnvironment vars({{"HOME", "/home/u"}, {"XDG_CONFIG_HOME", "relative/cfg"}, {"XDG_DATA_HOME", ""},
                          {"XDG_DESKTOP_DIR", std::nullopt}});
  EXPECT_EQ(XdgConfigHome(), "/home/u/.config");
  EXPECT_EQ(XdgDataHome(), "/home/u/.local/share");
  EXPECT_EQ(UserDesktopFolder(), "/home/u/Desktop");
}
