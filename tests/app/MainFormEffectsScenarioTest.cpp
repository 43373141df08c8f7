// A user works on a sprite of two frames through the real main window: a
// blend made in the effects dialog and undone, a horizontal flip, a blur and
// a resize of frames of two sizes; then the sprite is copied into a second
// document, undone there, an image from another program is pasted, and a
// damaged clipboard object is refused.
#include "tests/app/MainFormEffectsFixture.h"
#include "tests/support/FindChild.h"

#include "app/core/ClipboardBlob.h"
#include "controls/RadioGroup.h"
#include "dialogs/StretchFormU.h"
#include "platform/Clipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMenu>
#include <QMenuBar>

namespace {

class MainFormEffectsScenario : public MainFormEffectsFixture {
 protected:
  // A command of the menu bar, found through the menus as a user finds it,
  // and chosen.
  void Choose(const char* name) {
    QAction* command = FindInMenus(Form().menuBar()->actions(), name);
    ASSERT_NE(command, nullptr) << name;
    ASSERT_TRUE(command->isEnabled()) << name;
    command->trigger();
    Settle();
  }
  static QAction* FindInMenus(const QList<QAction*>& actions, const char* name) {
    for (QAction* action : actions) {
      if (action->objectName() == name) return action;
      if (action->menu() != nullptr)
        if (QAction* found = FindInMenus(action->menu()->actions(), name)) return found;
    }
    return nullptr;
  }
  // A command's shortcut typed on the main window, which is the active
  // window again once a dialog closed.
  void Shortcut(Qt::Key key) {
    QApplication::setActiveWindow(&Form());
    CtrlKey(key);
  }
  // The frame as drawn on white: keyed-out pixels show the white.
  static TColor DrawnPixel(TFrame& frame, int x, int y) {
    TBitmap target;
    MakeSolid(target, frame.ImageWidth, frame.ImageHeight, clWhite);
    frame.Draw(target, 0, 1.0, 1.0, 0, 0, 0, 100);
    return target.Pixel(x, y) & 0xFFFFFF;
  }
  std::string Int32Bytes(std::int32_t value) { return std::string(reinterpret_cast<const char*>(&value), 4); }
};

TEST_F(MainFormEffectsScenario, EffectsTransformsAndTheClipboardThroughTheMainWindow) {
  // "first" keys out its blue pixel.
  TAnimationWindow* document = OpenTwoFrames(true);
  ASSERT_NE(document, nullptr);
  ClickNode(Node({"A", "first"}));

  // Blend, 5 frames (a blend rate of 4), with Auto Create on and OK pressed
  // before the pause is over: the frames are made all the same.
  forms_.Expect("EffectsForm").Fill("AutoCreateCheckBox", true).Fill("NumberOfFramesSpin", 4).Press("OkBtn");
  Choose("Scene_Blend_Effect");
  EXPECT_EQ(FrameNames(SpriteA()),
            (std::vector<std::string>{"first", "Blend2", "Blend3", "Blend4", "Blend5", "Blend6", "second"}));
  EXPECT_EQ(UndoOf(document), (std::vector<std::string>{"Change Sprite"}));
  EXPECT_EQ(Command(Form(), "Edit_Undo")->text(), QString("Undo \"Change Sprite\""));
  EXPECT_TRUE(Editor(Form()).Text3DEditor().SkipNext3DRender());
  EXPECT_TRUE(Editor(Form()).UserSettings().AutocreateEffect);
  // The tree shows the new frames, the sprite's first frame selected.
  EXPECT_EQ(Captions(Node({"A"})).size(), 7u + 3u);
  EXPECT_EQ(Tree().currentItem(), Node({"A", "first"}));
  Shortcut(Qt::Key_Z);
  EXPECT_EQ(FrameNames(SpriteA()), (std::vector<std::string>{"first", "second"}));
  EXPECT_TRUE(UndoOf(document).empty());

  // A horizontal flip: the blue pixel moves to the right and stays keyed out.
  ClickNode(Node({"A", "first"}));
  Choose("Sprite_Flip_Hor");
  TFrame& first = SpriteA().Frame(0);
  EXPECT_EQ(PixelOf(first, 39, 0), clBlue);
  EXPECT_EQ(PixelOf(first, 0, 0), clRed);
  EXPECT_TRUE(first.Transparent());
  EXPECT_EQ(first.TransparentColor() & 0xFFFFFF, clBlue);
  EXPECT_EQ(DrawnPixel(first, 39, 0), clWhite);
  EXPECT_EQ(DrawnPixel(first, 0, 0), clRed);
  EXPECT_EQ(UndoOf(document), (std::vector<std::string>{"Flip Horizontally"}));

  // Blur: still two frames, the first still transparent on blue.
  ClickNode(Node({"A", "first"}));
  forms_.Expect("EffectsForm").Fill("RadiusEdit", 2).Press("OkBtn");
  Choose("Scene_Blur_Effect");
  EXPECT_EQ(SpriteA().FrameCount(), 2);
  EXPECT_TRUE(SpriteA().Frame(0).Transparent());
  EXPECT_EQ(SpriteA().Frame(0).TransparentColor() & 0xFFFFFF, clBlue);
  EXPECT_EQ(UndoOf(document), (std::vector<std::string>{"Flip Horizontally", "Change Sprite"}));

  // Frames of 40 x 20 and 10 x 10 resized to 30 x 30.
  ClickNode(Node({"A"}));
  forms_.Expect("StretchForm")
      .Fill("MaintainRatio", false)
      .Fill("WidthPixels", "30")
      .Fill("HeightPixels", "30")
      .Press("OkBtn");
  Choose("Effects_Resize");
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(SpriteA().Frame(i).Picture.Width(), 30) << i;
    EXPECT_EQ(SpriteA().Frame(i).Picture.Height(), 30) << i;
  }
  EXPECT_EQ(Command(Form(), "Edit_Undo")->text(), QString("Undo \"Resize Frames\""));

  // The sprite copied here pastes equal into a second document opened
  // through File Open; one Undo takes it out again.
  ClickNode(Node({"A"}));
  Shortcut(Qt::Key_C);
  const TClipboardBlob copied = SpriteBlob(SpriteA());
  TAnimationWindow* second = OpenThroughCommand(WriteThreeSprites("three.GLM"));
  ASSERT_NE(second, document);
  TAnimatedScene& scene = *second->Scene();
  ASSERT_EQ(scene.SpriteCount(), 3);
  Shortcut(Qt::Key_V);
  ASSERT_EQ(scene.SpriteCount(), 4);
  EXPECT_EQ(SpriteBlob(scene.Sprite(3)), copied);
  EXPECT_EQ(UndoOf(second), (std::vector<std::string>{"Add Sprite"}));
  EXPECT_FALSE(Editor(Form()).Shapes().AddInProgress());
  EXPECT_EQ(Editor(Form()).CurrentSprite(), &scene.Sprite(3));
  EXPECT_EQ(Tree().currentItem()->text(0).toStdString(), "first");
  Shortcut(Qt::Key_Z);
  EXPECT_EQ(scene.SpriteCount(), 3);
  EXPECT_TRUE(UndoOf(second).empty());

  // An image from another program, pasted with the scene selected, becomes
  // the frame "Clipboard 1" of a new sprite with one motion step.
  ClickNode(Root());
  QImage image(6, 4, QImage::Format_RGB32);
  image.fill(Qt::red);
  QApplication::clipboard()->setImage(image);
  Shortcut(Qt::Key_V);
  ASSERT_EQ(scene.SpriteCount(), 4);
  TSprite& pasted = scene.Sprite(3);
  ASSERT_EQ(pasted.FrameCount(), 1);
  EXPECT_EQ(pasted.Frame(0).FileName, "Clipboard 1");
  EXPECT_EQ(pasted.Frame(0).Picture.Width(), 6);
  EXPECT_EQ(pasted.Motion().StepCount(), 1);
  EXPECT_EQ(Tree().currentItem()->text(0).toStdString(), "Clipboard 1");
  EXPECT_FALSE(Editor(Form()).Shapes().AddInProgress());

  // An object claiming 1000 bytes in a block of 12 pastes nothing.
  ClickNode(Node({"B"}));
  const std::string before = ProjectBytes(scene);
  const std::vector<std::string> undoBefore = UndoOf(second);
  Clipboard().SetBlock(Editor(Form()).ClipboardFormat(), Int32Bytes(1000) + Int32Bytes(cbkPath) + Int32Bytes(1));
  Shortcut(Qt::Key_V);
  EXPECT_EQ(ProjectBytes(scene), before);
  EXPECT_EQ(UndoOf(second), undoBefore);
  EXPECT_FALSE(Editor(Form()).Shapes().AddInProgress());
  EXPECT_TRUE(ui_.messages.empty());
}

}  // namespace
