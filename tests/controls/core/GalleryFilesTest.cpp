#include "controls/core/GalleryFiles.h"

#include "scene/SceneGlobals.h"
#include "tests/controls/core/PreviewTestFiles.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace preview_files;

namespace {

class GalleryFilesTest : public testing::Test {
 protected:
  ~GalleryFilesTest() override {
    SaveVersion = kNewestFormatVersion;
    ReadVersion = kNewestFormatVersion;
  }
  ScriptedUiServices ui;
  TempDir temp;
};

}  // namespace

TEST_F(GalleryFilesTest, ListsTheFolderFilesOfTheExtensionInAnyCaseAsFullPaths) {
  for (const char* name : {"b.GLM", "a.glm", "C.Glm", "d.gif", "e.glm.bak"}) temp.WriteFile(name, "x");
  const std::vector<std::string> expected{temp.File("C.Glm"), temp.File("a.glm"), temp.File("b.GLM")};
  EXPECT_EQ(GalleryFileNames(temp.Path(), ".glm"), expected);
  EXPECT_EQ(GalleryFileNames(temp.Path() + "/", ".GLM"), expected);
  EXPECT_EQ(GalleryFileNames(temp.Path(), ".gif"), std::vector<std::string>{temp.File("d.gif")});
  EXPECT_TRUE(GalleryFileNames(temp.File("missing"), ".glm").empty());
}

TEST_F(GalleryFilesTest, TheChecksumIsCheckedWithoutAnyMessage) {
  EXPECT_TRUE(GalleryFileIntact(Project(temp, "good.glm", {})));
  EXPECT_FALSE(GalleryFileIntact(ProjectWithWrongChecksum(temp, "bad.glm", {})));
  EXPECT_FALSE(GalleryFileIntact(temp.File("missing.glm")));
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(GalleryFilesTest, APreviewReadStopsAtTheStoredPreview) {
  TAnimatedScene scene;
  ASSERT_TRUE(ReadGalleryFile(scene, Project(temp, "stored.glm", {.width = 50, .height = 30}), true));
  ASSERT_NE(scene.PreviewBitmap, nullptr);
  EXPECT_EQ(scene.PreviewBitmap->Width(), 50);
  EXPECT_EQ(scene.SpriteCount(), 0);
  EXPECT_EQ(scene.IncludeSprites, 1) << "the scene reads sprites again afterwards";

  TAnimatedScene whole;
  ASSERT_TRUE(ReadGalleryFile(whole, temp.File("stored.glm"), false));
  EXPECT_EQ(whole.SpriteCount(), 1);
  EXPECT_EQ(whole.Width, 50);
}

TEST_F(GalleryFilesTest, FailedReadsAreReportedByTheirResultAlone) {
  const std::string damaged = ProjectWithDamagedBody(temp, "damaged.glm", {.storedPreview = true});
  TAnimatedScene preview;
  EXPECT_TRUE(ReadGalleryFile(preview, damaged, true)) << "the stored preview is intact";
  TAnimatedScene whole;
  EXPECT_FALSE(ReadGalleryFile(whole, damaged, false));
  TAnimatedScene junk;
  EXPECT_FALSE(ReadGalleryFile(junk, temp.WriteFile("junk.glm", std::string(64, '\x01')), true));
  TAnimatedScene missing;
  EXPECT_FALSE(ReadGalleryFile(missing, temp.File("missing.glm"), true));
  EXPECT_TRUE(ui.messages.empty());
}
