#include "app/core/StarterSet.h"

#include "app/core/GalleryRules.h"
#include "dialogs/core/TemplateThumbnails.h"
#include "imaging/GifUnit.h"
#include "imaging/utils.h"
#include "scene/Frame.h"
#include "tests/app/core/AppCoreTestSupport.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// The set is written once for all tests of this file.
class StarterSet : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder = new TempDir();
    WriteStarterSet(folder->Path());
  }
  static void TearDownTestSuite() {
    delete folder;
    folder = nullptr;
  }
  static std::string Path(const char* subfolder) { return folder->Path() + "/" + subfolder; }

  // Loads every project file of the folder after checking its trailer.
  std::vector<std::unique_ptr<TAnimatedScene>> LoadAll(const char* subfolder) {
    std::vector<std::unique_ptr<TAnimatedScene>> scenes;
    for (const std::string& name : ListProjectFiles(Path(subfolder))) {
      const std::string file = Path(subfolder) + name;
      EXPECT_TRUE(CheckFileChecksum(file, false)) << name;
      auto scene = std::make_unique<TAnimatedScene>();
      scene->LoadFromFile(file);
      EXPECT_EQ(scene->Failed, 0) << name;
      EXPECT_NE(scene->PreviewBitmap, nullptr) << name << " has a stored preview";
      scenes.push_back(std::move(scene));
    }
    return scenes;
  }

  FormatVersionsGuard guard;
  ScriptedUiServices ui;
  static TempDir* folder;
};
TempDir* StarterSet::folder = nullptr;

TEST_F(StarterSet, EachTemplateSetHoldsAFewScenesOfItsSizeWithSprites) {
  const std::vector<std::pair<const char*, int>> sets = {{kBannersFolder, 60}, {kButtonsFolder, 40}, {kLogosFolder, 150}};
  for (const auto& [set, height] : sets) {
    const auto scenes = LoadAll(set);
    EXPECT_GE(scenes.size(), 3u) << set;
    for (const auto& scene : scenes) {
      EXPECT_GE(scene->SpriteCount(), 2) << set;
      EXPECT_LE(scene->Height, height) << set;
      EXPECT_GE(scene->Height, height * 4 / 5) << set;
      for (int i = 0; i < scene->SpriteCount(); ++i) {
        EXPECT_GT(scene->Sprite(i).FrameCount(), 0);
        EXPECT_GT(scene->Sprite(i).Motion().StepCount(), 0);
      }
    }
  }
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(StarterSet, TheGalleriesLoadAsPresetsOfTheirKind) {
  for (const char* set : {k3DAnimationPresetsFolder, kColorPresetsFolder}) {
    const auto names = ListProjectFiles(Path(set));
    EXPECT_GE(names.size(), 3u) << set;
    for (const std::string& name : names) {
      std::unique_ptr<TAnimatedScene> preset = LoadGalleryPreset(Path(set) + name);
      ASSERT_NE(preset, nullptr) << name;
      TFrame* frame = PresetFirstFrame(*preset);
      ASSERT_NE(frame, nullptr) << name;
      EXPECT_EQ(frame->Kind, fkText3D) << name;
      if (std::string(set) == k3DAnimationPresetsFolder) {
        EXPECT_FALSE(frame->StartState == frame->EndState) << name << " animates something";
      }
    }
  }
  const auto motions = LoadAll(kMotionPresetsFolder);
  EXPECT_GE(motions.size(), 3u);
  for (const auto& scene : motions) EXPECT_GT(scene->Sprite(0).Motion().StepCount(), 0);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(StarterSet, PresetPicturesAreSmallGifs) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(Path(kPicturePresetsFolder))) {
    ASSERT_EQ(entry.path().extension(), ".gif");
    TGifFile gif;
    gif.LoadFromFile(entry.path().string());
    EXPECT_GE(gif.ImageCount(), 1);
    EXPECT_LE(gif.GetSubImage(1)->GetBitmap()->Width(), 64);
    ++count;
  }
  EXPECT_GE(count, 3);
}

TEST_F(StarterSet, WritingAgainReplacesTheFilesUnchangedInNumber) {
  const auto before = ListProjectFiles(Path(kBannersFolder));
  WriteStarterSet(folder->Path() + "/");
  EXPECT_EQ(ListProjectFiles(Path(kBannersFolder)), before);
}

}  // namespace
