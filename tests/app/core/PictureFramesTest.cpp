#include "app/core/PictureFrames.h"

#include "app/core/AddCommands.h"
#include "scene/Moving.h"
#include "tests/app/core/AppCoreTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A picture file as the window reads it: "bad" files fail after leaving a
// placeholder frame, others add as many line frames as their name's first digit.
bool AddFakeFile(TSprite& sprite, const std::string& fileName) {
  const int frames = fileName[0] - '0';
  for (int i = 0; i < std::max(frames, 1); ++i)
    sprite.AddLine(TPoint{0, 0}, TPoint{10 + i, 10}, clWhite, 1, clBlack, false);
  return fileName.find("bad") == std::string::npos;
}

class PictureFrames : public DocumentTest {
 protected:
  TSprite& NewSprite(int& index) {
    const TUndoRecordingPause pause;
    return *scene.AddSprite(index);
  }
  TPictureFramesAdded Add(TSprite& sprite, int newSpriteIndex, const std::vector<std::string>& files) {
    return AddPictureFrames(
        scene, sprite, newSpriteIndex, files, [&sprite](const std::string& name) { return AddFakeFile(sprite, name); },
        [this](const std::string& failed) {
          reported.push_back(failed);
          recordsWhenReported = RecordCount();
        });
  }
  std::vector<std::string> reported;
  int recordsWhenReported = -1;
};

TEST(PictureFramesCaption, TheFirstFilesKindNamesTheEntryInAnyLetterCase) {
  EXPECT_EQ(AddPicturesCaption("/a/b.gif"), "Add .GIF Frame");
  EXPECT_EQ(AddPicturesCaption("x.Jpeg"), "Add .JPG Image");
  EXPECT_EQ(AddPicturesCaption("x.JPG"), "Add .JPG Image");
  EXPECT_EQ(AddPicturesCaption("clip.AvI"), "Add .AVI Frame");
  EXPECT_EQ(AddPicturesCaption("x.png"), "Add .BMP picture");
  EXPECT_EQ(AddPicturesCaption("noextension"), "Add .BMP picture");
}

TEST_F(PictureFrames, ANewSpriteGetsEveryFileOneStepAndOneAddSpriteThatUndoRemoves) {
  int index = -1;
  TSprite& sprite = NewSprite(index);
  const TPictureFramesAdded added = Add(sprite, index, {"2.gif", "1.bmp"});
  EXPECT_EQ(added.FramesAdded, 3);
  EXPECT_TRUE(added.FailedFile.empty());
  EXPECT_FALSE(added.SpriteRemoved);
  EXPECT_TRUE(reported.empty());
  EXPECT_EQ(sprite.FrameCount(), 3);
  EXPECT_EQ(sprite.Motion().StepCount(), 1);
  EXPECT_EQ(RecordCount(), 1);
  EXPECT_EQ(undo.Caption(), "Add Sprite");
  undo.Undo();
  EXPECT_EQ(scene.SpriteCount(), 0);
  EXPECT_TRUE(undo.Empty());
}

TEST_F(PictureFrames, AnUnreadableFileEndsTheAddingLeavesNoFrameAndIsReportedBeforeTheSnapshotIsRecorded) {
  AddSpriteWithDefaultFrame(scene, nfkRectangle);
  TSprite& sprite = scene.Sprite(0);
  const std::string before = SpriteSnapshot(sprite);
  const int records = RecordCount();
  const TPictureFramesAdded added = Add(sprite, -1, {"1.jpeg", "3bad.gif", "1.bmp"});
  EXPECT_EQ(added.FramesAdded, 1);
  EXPECT_EQ(added.FailedFile, "3bad.gif");
  EXPECT_EQ(reported, std::vector<std::string>{"3bad.gif"});
  EXPECT_EQ(recordsWhenReported, records);
  EXPECT_EQ(sprite.FrameCount(), 2);
  EXPECT_EQ(sprite.Motion().StepCount(), 1);
  EXPECT_EQ(RecordCount(), records + 1);
  EXPECT_EQ(undo.Caption(), "Add .JPG Image");
  undo.Undo();
  EXPECT_EQ(SpriteSnapshot(scene.Sprite(0)), before);
}

TEST_F(PictureFrames, ANewSpriteWithoutFramesLeavesTheSceneAndNothingIsRecorded) {
  int index = -1;
  TSprite& sprite = NewSprite(index);
  const TPictureFramesAdded added = Add(sprite, index, {"2bad.bmp"});
  EXPECT_EQ(added.FramesAdded, 0);
  EXPECT_TRUE(added.SpriteRemoved);
  EXPECT_EQ(scene.SpriteCount(), 0);
  EXPECT_TRUE(undo.Empty());

  // A sprite that was there before stays, without frames as with them.
  int kept = -1;
  TSprite& old = NewSprite(kept);
  EXPECT_FALSE(RemoveSpriteWithoutFrames(scene, old, false));
  EXPECT_FALSE(Add(old, -1, {"1bad.gif"}).SpriteRemoved);
  EXPECT_EQ(scene.SpriteCount(), 1);
  EXPECT_TRUE(RemoveSpriteWithoutFrames(scene, old, true));
  EXPECT_EQ(scene.SpriteCount(), 0);
}

}  // namespace
