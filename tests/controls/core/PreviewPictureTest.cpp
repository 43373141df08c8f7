#include "controls/core/PreviewPicture.h"

#include "platform/Graphics.h"
#include "scene/SceneGlobals.h"
#include "tests/controls/core/PreviewTestFiles.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>

using namespace preview_files;

namespace {

struct Preview {
  bool handled = false;
  std::int32_t frames = -1;
  std::uint8_t code = 0;
  TBitmap picture;
};

// The preview of a file, starting from a frame count and code that the call must replace.
void Load(const std::string& file, Preview& preview, std::uint8_t codeBefore = 0) {
  preview.frames = -1;
  preview.code = codeBefore;
  preview.handled = LoadPreviewPicture(file, preview.picture, preview.frames, preview.code);
}

// A picture that a preview must leave untouched.
void MarkPicture(TBitmap& picture) { Solid(picture, 7, 5, clFuchsia); }
bool IsMarked(const TBitmap& picture) {
  return picture.Width() == 7 && picture.Height() == 5 && picture.Pixel(3, 2) == clFuchsia;
}

class PreviewPictureTest : public testing::Test {
 protected:
  ~PreviewPictureTest() override {
    SaveVersion = kNewestFormatVersion;
    ReadVersion = kNewestFormatVersion;
  }
  ScriptedUiServices ui;
  TempDir temp;
  Preview preview;
};

}  // namespace

// ---- Pictures ------------------------------------------------------------------------------------------

TEST_F(PreviewPictureTest, ATwelveImageGifGivesTwelveFramesAndCodeThree) {
  Load(Gif(temp, "anim.gif", 12, 320, 200), preview);
  EXPECT_TRUE(preview.handled);
  EXPECT_EQ(preview.frames, 12);
  EXPECT_EQ(preview.code, 3);
  EXPECT_EQ(preview.picture.Width(), 320);
  EXPECT_EQ(preview.picture.Height(), 200);
  EXPECT_EQ(preview.picture.Pixel(10, 10), RGB(0, 0, 0)) << "the first image, composed";
  EXPECT_EQ(PreviewDescription(preview.picture.Width(), preview.picture.Height(), preview.frames, preview.code),
            " (320x200),12 fr.,256 col.");
}

TEST_F(PreviewPictureTest, BitmapsNameTheBitCountTheirHeaderStores) {
  Load(Bmp24(temp, "true.BMP", 30, 20, clBlue), preview, 3);
  EXPECT_TRUE(preview.handled);
  EXPECT_EQ(preview.frames, 0);
  EXPECT_EQ(preview.code, 6);
  EXPECT_EQ(preview.picture.Pixel(0, 0), clBlue);
  EXPECT_EQ(ColorCountText(preview.code), "16 mil.");

  Load(Bmp16(temp, "high.bmp"), preview);
  EXPECT_EQ(preview.code, 5) << "16 bits, though the picture is widened to 24";
  EXPECT_EQ(preview.picture.PixelFormat(), pf24bit);
  EXPECT_EQ(preview.picture.Pixel(2, 1), clRed);
  EXPECT_EQ(ColorCountText(preview.code), "RGB");
}

TEST_F(PreviewPictureTest, JpegsGiveTheDecodedFormat) {
  Load(Jpeg(temp, "photo.jpg", 40, 30, false), preview);
  EXPECT_TRUE(preview.handled);
  EXPECT_EQ(preview.code, 6);
  EXPECT_EQ(ColorCountText(preview.code), "16 mil.");
  EXPECT_EQ(preview.picture.Width(), 40);

  Load(Jpeg(temp, "grey.JPG", 40, 30, true), preview);
  EXPECT_EQ(preview.code, 3);
  EXPECT_EQ(ColorCountText(preview.code), "256");
}

TEST_F(PreviewPictureTest, UnknownExtensionsAreNotHandledAndChangeNothing) {
  MarkPicture(preview.picture);
  for (const char* name : {"notes.txt", "photo.jpeg", "anim.gif.bak", "noextension"}) {
    Load(temp.WriteFile(name, "GIF89a"), preview, 4);
    EXPECT_FALSE(preview.handled) << name;
    EXPECT_EQ(preview.frames, 0) << "the count is set to 0 first";
    EXPECT_EQ(preview.code, 4);
    EXPECT_TRUE(IsMarked(preview.picture));
  }
}

TEST_F(PreviewPictureTest, ReaderErrorsPassToTheCallerWithTheHourglassRestored) {
  MarkPicture(preview.picture);
  for (const char* name : {"broken.bmp", "broken.gif", "broken.jpg"}) {
    ui.cursors.clear();
    const std::string file = temp.WriteFile(name, "not a picture at all");
    EXPECT_ANY_THROW(Load(file, preview)) << name;
    EXPECT_EQ(ui.cursors, (std::vector<TCursor>{crHourGlass, crDefault})) << name;
  }
  EXPECT_TRUE(IsMarked(preview.picture));
}

// ---- Videos --------------------------------------------------------------------------------------------

TEST_F(PreviewPictureTest, AnAviShowsFrameOneWithTheStreamsCountAndBitCount) {
  Load(Avi8(temp, "clip.avi", 5, 16, 8), preview);
  EXPECT_TRUE(preview.handled);
  EXPECT_EQ(preview.frames, 5);
  EXPECT_EQ(preview.code, 3);
  EXPECT_EQ(preview.picture.Width(), 16);
  EXPECT_EQ(preview.picture.Pixel(0, 0), clRed) << "frame 1 holds colour index 1";
}

TEST_F(PreviewPictureTest, AOneFrameAviShowsItsOnlyFrame) {
  Load(Avi8(temp, "still.avi", 1, 16, 8), preview);
  EXPECT_EQ(preview.frames, 1);
  EXPECT_EQ(preview.picture.Width(), 16);
  EXPECT_EQ(preview.picture.Pixel(0, 0), clBlack);
}

TEST_F(PreviewPictureTest, AnAviThatCannotBeOpenedIsHandledAndLeavesThePicture) {
  MarkPicture(preview.picture);
  Load(temp.WriteFile("garbage.avi", std::string(300, '\x17')), preview, 6);
  EXPECT_TRUE(preview.handled);
  EXPECT_EQ(preview.frames, 0);
  EXPECT_EQ(preview.code, 6);
  EXPECT_TRUE(IsMarked(preview.picture));
  EXPECT_TRUE(ui.messages.empty());
}

// ---- Projects ------------------------------------------------------------------------------------------

TEST_F(PreviewPictureTest, AProjectWithAStoredPreviewShowsItAndSetsNoCode) {
  Load(Project(temp, "stored.glm", {.width = 60, .height = 40, .steps = 20, .storedPreview = true}), preview, 2);
  EXPECT_TRUE(preview.handled);
  EXPECT_EQ(preview.picture.Width(), 60);
  EXPECT_EQ(preview.picture.Height(), 40);
  EXPECT_EQ(preview.code, 2) << "a stored preview sets no colour code";
  EXPECT_EQ(preview.frames, 1000) << "the preview read stops before the step count";
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PreviewPictureTest, AProjectWithoutPreviewIsComposedAndItsFirstFramesGiveTheCode) {
  Load(Project(temp, "eight.GLM", {.steps = 20, .storedPreview = false, .firstFrameFormat = pf8bit}), preview);
  EXPECT_TRUE(preview.handled);
  EXPECT_EQ(preview.frames, 20);
  EXPECT_EQ(preview.code, 3);
  EXPECT_EQ(ColorCountText(preview.code), "256");
  EXPECT_EQ(preview.picture.Width(), 60);
  EXPECT_EQ(preview.picture.Pixel(5, 5), clRed) << "the sprite's picture at the top left";

  Load(Project(temp, "true.gld", {.steps = 33, .storedPreview = false, .firstFrameFormat = pf24bit}), preview);
  EXPECT_EQ(preview.frames, 33);
  EXPECT_EQ(preview.code, 8);
  EXPECT_EQ(ColorCountText(preview.code), "RGB");
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(PreviewPictureTest, AProjectSpriteWithoutFramesDoesNotFailTheColourCheck) {
  TAnimatedScene scene;
  BuildScene(scene, {.storedPreview = false, .firstFrameFormat = pf8bit});
  int index = 0;
  scene.AddSprite(index);  // no frames
  const std::string file = temp.File("empty-sprite.glm");
  {
    TFileStream out(file, fmCreate);
    scene.SaveToStream(out, 0, 1024);
  }
  Load(file, preview);
  EXPECT_EQ(preview.code, 3);
  EXPECT_EQ(preview.frames, 20);
}

TEST_F(PreviewPictureTest, AnUnreadableProjectIsReportedByTheReaderAndLeavesThePicture) {
  MarkPicture(preview.picture);
  Load(temp.WriteFile("junk.glm", std::string(64, '\x01')), preview, 6);
  EXPECT_TRUE(preview.handled);
  EXPECT_TRUE(IsMarked(preview.picture));
  EXPECT_EQ(preview.code, 6);
  EXPECT_EQ(preview.frames, 0);
  ASSERT_FALSE(ui.messages.empty());
  EXPECT_EQ(ui.messages.back().text, "Cannot read data from file.");
}

TEST_F(PreviewPictureTest, AProjectWhoseSpritesCannotBeReadLeavesThePicture) {
  MarkPicture(preview.picture);
  Load(ProjectWithDamagedBody(temp, "cut.glm", {.storedPreview = false}), preview);
  EXPECT_TRUE(preview.handled);
  EXPECT_TRUE(IsMarked(preview.picture)) << "no picture of a background without its sprites";
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Cannot read data from file.");
}

// The loader takes scenes of up to 2^26 pixels from a file of a few hundred
// bytes, with the preview marker (the newest format) or without (version
// 14). A preview read draws no background, and a scene above 2^22 pixels is
// not composed: the preview stays as it was.
TEST_F(PreviewPictureTest, AHugeSceneWithoutStoredPreviewIsNotDrawnAndShowsTheEmptyPreview) {
  for (const std::int32_t version : {kNewestFormatVersion, 14}) {
    for (const auto& [width, height, composed] : {std::tuple{2048, 2048, true}, std::tuple{2049, 2048, false},
                                                 std::tuple{8192, 8192, false}}) {
      const std::string what = std::to_string(version) + ": " + std::to_string(width);
      TAnimatedScene scene;
      scene.Width = width;
      scene.Height = height;
      scene.StepCount = 5;
      scene.WritePreview = 0;
      const std::string file = temp.File("huge.glm");
      {
        TFileStream out(file, fmCreate);
        SaveVersion = version;
        scene.SaveToStream(out, 0, 1024);
      }
      ASSERT_LT(TempDir::ReadFile(file).size(), 1000u);
      TAnimatedScene gallery;
      const int backgroundWidth = gallery.BackgroundBitmap.Width();
      ASSERT_TRUE(ReadProject(gallery, file, true));
      EXPECT_EQ(gallery.BackgroundBitmap.Width(), backgroundWidth) << what << ": the background was not drawn";

      MarkPicture(preview.picture);
      Load(file, preview);
      EXPECT_TRUE(preview.handled);
      if (composed) {
        EXPECT_EQ(preview.picture.Width(), width) << what;
        EXPECT_EQ(preview.picture.Height(), height) << what;
        EXPECT_EQ(preview.frames, 5) << what;
      } else {
        EXPECT_TRUE(IsMarked(preview.picture)) << what;
        EXPECT_EQ(preview.frames, 0) << what;
      }
    }
  }
  EXPECT_TRUE(ui.messages.empty());
}

// ---- Description and placement -------------------------------------------------------------------------

TEST(PreviewDescriptionText, NamesSizeFramesAndColours) {
  EXPECT_EQ(PreviewDescription(320, 200, 12, 3), " (320x200),12 fr.,256 col.");
  EXPECT_EQ(PreviewDescription(30, 20, 0, 6), " (30x20),16 mil. col.");
  EXPECT_EQ(PreviewDescription(1, 1, 1, 1), " (1x1),1 fr.,2 col.");
  const std::pair<std::uint8_t, const char*> codes[] = {{0, "RGB"}, {1, "2"},       {2, "16"},        {3, "256"},
                                                        {4, "32K"}, {5, "RGB"},     {6, "16 mil."},   {7, "4.3 bil."},
                                                        {8, "RGB"}, {200, "RGB"}};
  for (const auto& [code, text] : codes) EXPECT_EQ(ColorCountText(code), text) << int{code};
}

TEST(PreviewPlacement, AFittingPictureIsCentredUnscaled) {
  EXPECT_EQ(PreviewPictureRect(53, 41, Rect(0, 0, 153, 141)), Rect(50, 50, 103, 91));
  EXPECT_EQ(PreviewPictureRect(153, 141, Rect(0, 0, 153, 141)), Rect(0, 0, 153, 141));
}

TEST(PreviewPlacement, ALargerPictureIsScaledToFitAtTheTopLeft) {
  // Wide: the width fills the box.
  EXPECT_EQ(PreviewPictureRect(320, 200, Rect(0, 0, 153, 141)), Rect(0, 0, 153, 96));
  // Tall: the height fills the box.
  EXPECT_EQ(PreviewPictureRect(100, 300, Rect(0, 0, 153, 141)), Rect(0, 0, 47, 141));
  // Nearly square but wider than tall: scaling by the width would pass the bottom.
  EXPECT_EQ(PreviewPictureRect(200, 190, Rect(0, 0, 153, 141)), Rect(0, 0, 148, 141));
}
