#include "platform/FileSearch.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using Names = std::vector<std::string>;

TEST(FileMasks, StarsAndQuestionMarksMatchInAnyCase) {
  EXPECT_TRUE(MatchesFileMask("Intro.GLM", "*.glm"));
  EXPECT_TRUE(MatchesFileMask("intro.glm", "*.GLM"));
  EXPECT_TRUE(MatchesFileMask(".glm", "*.glm"));
  EXPECT_FALSE(MatchesFileMask("intro.glm.bak", "*.glm"));
  EXPECT_FALSE(MatchesFileMask("intro.gl", "*.glm"));
  EXPECT_TRUE(MatchesFileMask("a.glm.glm", "*.glm"));
  EXPECT_TRUE(MatchesFileMask("Star1.gif", "Star?.GIF"));
  EXPECT_FALSE(MatchesFileMask("Star10.gif", "Star?.gif"));
  EXPECT_TRUE(MatchesFileMask("banner_a_b.gif", "*_*_*.gif"));
  EXPECT_FALSE(MatchesFileMask("banner_a.gif", "*_*_*.gif"));
  EXPECT_TRUE(MatchesFileMask("anything", "*"));
  EXPECT_FALSE(MatchesFileMask("x", ""));
}

TEST(FileSearch, ListsTheMatchingFilesOfTheFolderByTheirRealNamesSorted) {
  TempDir temp;
  for (const char* name : {"b.GLM", "a.glm", "C.Glm", "d.gif", "e.glm.bak", "\xC3\xA9t\xC3\xA9.glm"})
    temp.WriteFile(name, "x");
  std::filesystem::create_directory(temp.File("folder.glm"));
  std::filesystem::create_symlink(temp.File("a.glm"), temp.File("link.glm"));
  std::filesystem::create_symlink(temp.File("folder.glm"), temp.File("folderlink.glm"));
  const Names expected{"C.Glm", "a.glm", "b.GLM", "link.glm", "\xC3\xA9t\xC3\xA9.glm"};
  EXPECT_EQ(FindFiles(temp.Path() + "/*.glm"), expected);
  EXPECT_EQ(FindFiles(temp.Path() + "/*.GIF"), Names{"d.gif"});
  EXPECT_EQ(FindFiles(temp.Path() + "/*.avi"), Names{});
}

TEST(FileSearch, AMissingOrUnreadableFolderGivesNothing) {
  TempDir temp;
  EXPECT_TRUE(FindFiles(temp.File("missing") + "/*.glm").empty());
  temp.WriteFile("plain", "x");
  EXPECT_TRUE(FindFiles(temp.File("plain") + "/*.glm").empty()) << "a file is no folder";
}
