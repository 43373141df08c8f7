// Commands of the real main window at their edges: a sprite without frames,
// Cut on a motion node, and Paste As New Sprite with a bitmap that the
// project reader could not read back.
#include "tests/app/MainFormEffectsFixture.h"
#include "tests/support/FindChild.h"

#include "dialogs/core/SizeLimits.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>

namespace {

class MainFormCommandEdges : public MainFormEffectsFixture {
 protected:
  // The three sprites' project with a fourth sprite "E" that has a motion
  // step but no frame left.
  std::string WriteWithFramelessSprite() {
    const std::string path = WriteThreeSprites("frameless.GLM");
    const TUndoRecordingPause pause;
    TAnimatedScene scene;
    scene.LoadFromFile(path);
    int index = 0;
    TSprite& empty = *scene.AddSprite(index);
    empty.Name = "E";
    empty.Motion().AddStepWith(HoldAt(5, 5), &empty);
    {
      TFileStream file(path, fmCreate);
      scene.SaveToStream(file, 0, 1024);
    }
    EXPECT_TRUE(StampFileChecksum(path));
    return path;
  }
};

const char* const kFrameCommands[] = {"Frame_Up",
                                      "Frame_Down",
                                      "Frame_CopyAsBMP",
                                      "Frame_CopyAsBMP_To",
                                      "Sprite_Delete_Frame",
                                      "Sprite_SetTransparencyToAllFrames",
                                      "Sprite_SetDurationToAllFrames"};

}  // namespace

TEST_F(MainFormCommandEdges, ASpriteWithoutFramesOffersNoFrameCommandButCanBeDeletedOrGivenAFrame) {
  TMainForm& form = StartShown();
  TAnimatedScene& scene = *OpenThroughCommand(WriteWithFramelessSprite())->Scene();
  ASSERT_EQ(scene.SpriteCount(), 4);
  ASSERT_EQ(scene.Sprite(3).FrameCount(), 0);
  ClickNode(Node({"A"}));
  for (const char* name : kFrameCommands) EXPECT_TRUE(Command(form, name)->isEnabled()) << name << " on a sprite with a frame";

  ClickNode(Node({"E"}));
  ASSERT_EQ(Tree().currentItem(), Node({"E"}));
  for (const char* name : kFrameCommands) EXPECT_FALSE(Command(form, name)->isEnabled()) << name;
  EXPECT_TRUE(Command(form, "Sprite_Delete")->isEnabled());
  EXPECT_TRUE(Command(form, "Sprite_Add_Line")->isEnabled());
}

// Cut is Copy and Delete: on the motion node it would delete the sprite.
TEST_F(MainFormCommandEdges, OnTheMotionNodeCopyIsOfferedAndCutIsNot) {
  TMainForm& form = StartShown();
  TAnimationWindow* window = OpenThroughCommand(WriteThreeSprites("motion.GLM"));
  ClickNode(Node({"B", "Pos./Size/Speed"}));
  EXPECT_TRUE(Command(form, "Edit_Copy")->isEnabled());
  EXPECT_FALSE(Command(form, "Edit_Cut")->isEnabled());
  CtrlKey(Qt::Key_X);
  EXPECT_EQ(window->Scene()->SpriteCount(), 3);
  EXPECT_TRUE(window->Undo()->Empty());
}

// The clipboard takes larger pictures than a project file can hold again
// (2^26 pixels): Paste As New Sprite refuses such a picture before it makes
// the sprite, so no empty sprite and no undo record stay behind.
TEST_F(MainFormCommandEdges, PasteAsNewSpriteRefusesAPictureTheProjectReaderCouldNotReadBack) {
  TAnimationWindow* window = OpenTwoFrames();
  ClickNode(Node({"A"}));
  constexpr int kWidth = 65535, kHeight = 1025;  // each side fits; the pixels do not
  {
    QImage image(kWidth, kHeight, QImage::Format_Mono);
    image.fill(1);
    QApplication::clipboard()->setImage(image);
  }
  ASSERT_TRUE(Command(Form(), "Edit_PasteAsNewSprite")->isEnabled());
  Command(Form(), "Edit_PasteAsNewSprite")->trigger();
  Settle();
  QApplication::clipboard()->clear();
  EXPECT_EQ(window->Scene()->SpriteCount(), 1);
  EXPECT_TRUE(UndoOf(window).empty());
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, SizeRefusedMessage(kWidth, kHeight));
}
