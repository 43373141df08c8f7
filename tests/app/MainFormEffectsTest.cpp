// The effect and transform commands and the clipboard commands of the real
// main window, on projects written by our own writer and opened through
// File Open, with the sprite and frame chosen by clicks on the scene tree.
#include "tests/app/MainFormEffectsFixture.h"
#include "tests/support/FindChild.h"

#include "app/core/ClipboardBlob.h"
#include "controls/Bitmpbtn.h"
#include "controls/My_SpinEdit.h"
#include "controls/RadioGroup.h"
#include "dialogs/EffectsFormU.h"
#include "dialogs/RotationFormU.h"
#include "dialogs/StretchFormU.h"
#include "dialogs/core/EffectFrames.h"
#include "imaging/utils.h"
#include "platform/BitmapImages.h"
#include "platform/Clipboard.h"
#include "scene/Frame.h"
#include "scene/Moving.h"
#include "scene/Sprite.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QPushButton>

#include <cstring>
#include <fstream>

namespace {

class MainFormEffects : public MainFormEffectsFixture {
 protected:
  void ExpectSpriteSnapshotRecord(TAnimationWindow* window, const char* caption) {
    EXPECT_EQ(UndoOf(window), (std::vector<std::string>{caption}));
    EXPECT_EQ(LastUndoInt(window, TUndo::kRecordKindAt), 1);
    EXPECT_EQ(LastUndoInt(window, TUndo::kObjectKindAt), 201);
    EXPECT_EQ(LastUndoInt(window, TUndo::kObjectIdAt), SpriteA().Id);
  }
  // The private format's block now on the clipboard.
  std::string Block() { return Clipboard().GetBlock(Editor(Form()).ClipboardFormat()).value_or(""); }
};

std::string Int32Bytes(std::int32_t value) { return std::string(reinterpret_cast<const char*>(&value), 4); }

// ---- The commands ----------------------------------------------------------------------------------

TEST_F(MainFormEffects, TheTwentyEffectCommandsHaveTheirCaptionsAndTheDialogsListTexts) {
  Create();
  const std::vector<std::string> captions{
      "&Apperture...", "&Blend...",     "Bl&ind...",  "&Cross...",     "&Dissolve...",
      "&Fade...",      "Fi&ngers...",   "&Grow...",   "&Rotation...",  "&Sweep...",
      "&Wipe...",      "&Blur...",      "&Sharpen...", "&Dilate...",   "&Erode...",
      "&Invert Colors...", "&Brightness...", "&Contrast...", "&Emboss...", "&Gamma Correction..."};
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(Editor(Form()).Commands().EffectCommands[i]->text().toStdString(), captions[i]) << i;
    EXPECT_TRUE(Editor(Form()).Commands().HasCommandHandler(Editor(Form()).Commands().EffectCommands[i])) << i;
  }
  EXPECT_STREQ(EffectListText(2), "Blend");
  EXPECT_STREQ(EffectListText(12), "Blur");
  for (QAction* command : {Command(Form(), "Sprite_Flip_Hor"), Command(Form(), "Sprite_Flip_Vert"), Command(Form(), "Effects_90Clockwise"),
                           Command(Form(), "Effects_90CounterClockwise"), Command(Form(), "Effects_180Rotation"), Command(Form(), "Edit_Copy"),
                           Command(Form(), "Edit_Cut"), Command(Form(), "Edit_Paste"), Command(Form(), "Edit_PasteAsNewSprite"), Command(Form(), "Frame_CopyAsBMP"),
                           Command(Form(), "Frame_CopyAsBMP_To"), Command(Form(), "Scene_SceneImageCopy"), Command(Form(), "Scene_SceneImageCopyTo"),
                           Command(Form(), "Scene_BackgroundCopy"), Command(Form(), "Scene_BackgroundCopyTo")})
    EXPECT_TRUE(Editor(Form()).Commands().HasCommandHandler(command)) << command->objectName().toStdString();
}

// ---- Effects ---------------------------------------------------------------------------------------

TEST_F(MainFormEffects, BlendOnTheFirstOfTwoFramesInsertsItsFramesAfterItAndOneUndoRestoresTwo) {
  TAnimationWindow* window = OpenTwoFrames();
  ClickNode(Node({"A", "first"}));
  forms_.Expect("EffectsForm")
      .Fill("NumberOfFramesSpin", 4)  // a blend of rate 4 is five frames
      .Do([](QDialog& form) { form.findChild<QPushButton*>("CreateButton")->click(); })
      .Press("OkBtn");
  Editor(Form()).Commands().EffectCommands[1]->trigger();
  Settle();

  EXPECT_EQ(FrameNames(SpriteA()),
            (std::vector<std::string>{"first", "Blend2", "Blend3", "Blend4", "Blend5", "Blend6", "second"}));
  ExpectSpriteSnapshotRecord(window, "Change Sprite");
  EXPECT_TRUE(Command(Form(), "Edit_Undo")->text().contains("\"Change Sprite\""));
  Command(Form(), "Edit_Undo")->trigger();
  Settle();
  EXPECT_EQ(FrameNames(SpriteA()), (std::vector<std::string>{"first", "second"}));
}

TEST_F(MainFormEffects, AnEffectOnTheLastFrameGetsNoSecondFrame) {
  OpenTwoFrames();
  ClickNode(Node({"A", "second"}));
  TFrame* next = reinterpret_cast<TFrame*>(1);
  forms_.Expect("EffectsForm").Do([&next](QDialog& form) { next = static_cast<TEffectsForm&>(form).NextFrame; })
      .Answer(mrCancel);
  Editor(Form()).Commands().EffectCommands[5]->trigger();
  EXPECT_EQ(next, nullptr);
  EXPECT_EQ(SpriteA().FrameCount(), 2);
}

TEST_F(MainFormEffects, CancelInTheDialogChangesNothingAndStillKeepsTheAutoCreateBox) {
  TAnimationWindow* window = OpenTwoFrames();
  ClickNode(Node({"A", "first"}));
  Editor(Form()).UserSettings().AutocreateEffect = false;
  forms_.Expect("EffectsForm").Fill("AutoCreateCheckBox", true).Answer(mrCancel);
  Editor(Form()).Commands().EffectCommands[1]->trigger();
  EXPECT_TRUE(Editor(Form()).UserSettings().AutocreateEffect);
  EXPECT_EQ(SpriteA().FrameCount(), 2);
  EXPECT_TRUE(UndoOf(window).empty());
}

// ---- Transforms ----------------------------------------------------------------------------------

TEST_F(MainFormEffects, AVerticalFlipRecordsItsCaption) {
  TAnimationWindow* window = OpenTwoFrames();
  ClickNode(Node({"A"}));
  Command(Form(), "Sprite_Flip_Vert")->trigger();
  Settle();
  EXPECT_EQ(PixelOf(SpriteA().Frame(0), 0, 19), clBlue);
  ExpectSpriteSnapshotRecord(window, "Flip Vertically");
}

TEST_F(MainFormEffects, NinetyDegreesClockwiseTurnsFortyByTwentyIntoTwentyByForty) {
  TAnimationWindow* window = OpenTwoFrames();
  ClickNode(Node({"A", "first"}));
  Command(Form(), "Effects_90Clockwise")->trigger();
  Settle();
  EXPECT_EQ(SpriteA().Frame(0).Picture.Width(), 20);
  EXPECT_EQ(SpriteA().Frame(0).Picture.Height(), 40);
  // The blue top-left corner is now at the top right.
  EXPECT_EQ(PixelOf(SpriteA().Frame(0), 19, 0), clBlue);
  ExpectSpriteSnapshotRecord(window, "Rotation");
  Command(Form(), "Edit_Undo")->trigger();
  Settle();
  EXPECT_EQ(SpriteA().Frame(0).Picture.Width(), 40);
}

TEST_F(MainFormEffects, EscPartWayKeepsTheFramesDoneAndOneUndoRestoresAll) {
  TAnimationWindow* window = OpenTwoFrames();
  ClickNode(Node({"A", "first"}));
  // Esc arrives while the first frame's progress is shown: the turn stops after it.
  QCoreApplication::postEvent(&Form(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
  Command(Form(), "Effects_90Clockwise")->trigger();
  EXPECT_EQ(SpriteA().Frame(0).Picture.Width(), 20);
  EXPECT_EQ(PixelOf(SpriteA().Frame(1), 0, 0), clBlack);  // the second frame was not turned
  EXPECT_EQ(UndoOf(window), (std::vector<std::string>{"Rotation"}));
  Command(Form(), "Edit_Undo")->trigger();
  Settle();
  EXPECT_EQ(SpriteA().Frame(0).Picture.Width(), 40);
  EXPECT_EQ(SpriteA().Frame(0).Picture.Height(), 20);
}

TEST_F(MainFormEffects, ACustomAngleFillsTheCornersWithThePaperColour) {
  OpenTwoFrames();
  ClickNode(Node({"A", "second"}));
  Editor(Form()).Effects().RotateFrameByAngle(true, 45, 0, clYellow);
  TFrame& second = SpriteA().Frame(1);
  EXPECT_GT(second.Picture.Width(), 10);
  EXPECT_EQ(PixelOf(second, 0, 0), clYellow);
  // Only the current frame turned.
  EXPECT_EQ(SpriteA().Frame(0).Picture.Width(), 40);
}

TEST_F(MainFormEffects, CustomRotationOffersThePaperColourAndTurnsWithTheDialogsValues) {
  TAnimationWindow* window = OpenTwoFrames();
  ClickNode(Node({"A", "first"}));
  TColor offered = clNone;
  forms_.Expect("RotationForm")
      .Do([&offered](QDialog& form) { offered = static_cast<TRotationForm&>(form).ButtonPaperColor->ButtonColor(); })
      .Fill("SpinAngle", "90")
      .Fill("RadioDirection_1", true)
      .Fill("CheckBoxOnlyCurrentFrame", true)
      .Press("OkBtn");
  Command(Form(), "Effects_CustomRotation")->trigger();
  Settle();
  EXPECT_EQ(offered & 0xFFFFFF, clBlue);  // the picture's pixel (0, 0): the frame is opaque
  TFrame& first = SpriteA().Frame(0);
  ASSERT_EQ(first.Picture.Width(), 20);
  // Counter-clockwise: the blue top-left corner goes to the bottom left.
  EXPECT_EQ(PixelOf(first, 0, 39), clBlue);
  EXPECT_EQ(PixelOf(SpriteA().Frame(1), 0, 0), clBlack);  // only the current frame
  ExpectSpriteSnapshotRecord(window, "Rotation");
}

TEST_F(MainFormEffects, ResizingFramesOfDifferentSizesGivesEveryFrameTheChosenSize) {
  TAnimationWindow* window = OpenTwoFrames();
  ClickNode(Node({"A"}));
  Editor(Form()).UserSettings().TypeOfResize = 1;
  int offeredWidth = 0;
  int offeredResize = -1;
  forms_.Expect("StretchForm")
      .Do([&](QDialog& form) {
        offeredWidth = static_cast<TStretchForm&>(form).WidthPixels->Value();
        offeredResize = static_cast<TStretchForm&>(form).TypeOfResizeRadio->ItemIndex();
      })
      .Fill("MaintainRatio", false)
      .Fill("WidthPixels", "30")
      .Fill("HeightPixels", "30")
      .Fill("TypeOfResizeRadio_0", true)
      .Press("OkBtn");
  Command(Form(), "Effects_Resize")->trigger();
  Settle();
  EXPECT_EQ(offeredWidth, 40);
  EXPECT_EQ(offeredResize, 1);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(SpriteA().Frame(i).Picture.Width(), 30) << i;
    EXPECT_EQ(SpriteA().Frame(i).Picture.Height(), 30) << i;
  }
  EXPECT_EQ(Editor(Form()).UserSettings().TypeOfResize, 0);
  ExpectSpriteSnapshotRecord(window, "Resize Frames");
  Command(Form(), "Edit_Undo")->trigger();
  Settle();
  EXPECT_EQ(SpriteA().Frame(1).Picture.Width(), 10);
}

TEST_F(MainFormEffects, AResizeCancelledInTheDialogChangesAndRecordsNothing) {
  TAnimationWindow* window = OpenTwoFrames();
  ClickNode(Node({"A"}));
  forms_.Expect("StretchForm").Fill("WidthPixels", "30").Answer(mrCancel);
  Command(Form(), "Effects_Resize")->trigger();
  EXPECT_EQ(SpriteA().Frame(0).Picture.Width(), 40);
  EXPECT_TRUE(UndoOf(window).empty());
}

// ---- Copy, cut and paste ---------------------------------------------------------------------------

TEST_F(MainFormEffects, CopyingTheBackgroundNodePutsAFourByteBlobHoldingFour) {
  OpenTwoFrames();
  ClickNode(Node({"Background"}));
  Editor(Form()).Effects().Edit_CopyExecute();
  EXPECT_FALSE(Clipboard().GetBlock(Editor(Form()).ClipboardFormat()).has_value());  // shorter than an object: no object
  const QMimeData* data = QApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  ASSERT_EQ(data->formats().size(), 1);
  EXPECT_EQ(data->data(data->formats().front()).toStdString(), Int32Bytes(4));
  const int sprites = Editor(Form()).CurrentScene()->SpriteCount();
  Editor(Form()).Effects().Edit_Paste1Execute();
  EXPECT_EQ(Editor(Form()).CurrentScene()->SpriteCount(), sprites);
}

TEST_F(MainFormEffects, CopyingAFramePutsItsBlobOnTheClipboard) {
  OpenTwoFrames();
  ClickNode(Node({"A", "second"}));
  Command(Form(), "Edit_Copy")->trigger();
  const std::string block = Block();
  ASSERT_GE(block.size(), 8u);
  EXPECT_EQ(block.substr(0, 4), Int32Bytes(static_cast<std::int32_t>(block.size())));
  EXPECT_EQ(block.substr(4, 4), Int32Bytes(cbkFrame));
  const TClipboardBlob expected = FrameBlob(SpriteA().Frame(1));
  EXPECT_EQ(block, std::string(expected.begin(), expected.end()));
}

TEST_F(MainFormEffects, AFramePastedWithNoCurrentSpriteMakesASpriteWithOneStep) {
  OpenTwoFrames();
  ClickNode(Node({"A", "second"}));
  Command(Form(), "Edit_Copy")->trigger();
  OpenThroughCommand(WriteThreeSprites("three.GLM"));
  ClickNode(Root());
  ASSERT_EQ(Editor(Form()).CurrentSprite(), nullptr);
  Editor(Form()).Effects().Edit_Paste1Execute();
  Settle();
  ASSERT_EQ(Editor(Form()).CurrentScene()->SpriteCount(), 4);
  TSprite& made = Editor(Form()).CurrentScene()->Sprite(3);
  EXPECT_EQ(made.FrameCount(), 1);
  EXPECT_EQ(made.Motion().StepCount(), 1);
  EXPECT_EQ(made.Frame(0).Picture.Width(), 10);
}

TEST_F(MainFormEffects, ACutFrameIsCopiedAndDeleted) {
  OpenTwoFrames();
  ClickNode(Node({"A", "second"}));
  const TClipboardBlob expected = FrameBlob(SpriteA().Frame(1));
  Command(Form(), "Edit_Cut")->trigger();
  Settle();
  EXPECT_EQ(Block(), std::string(expected.begin(), expected.end()));
  EXPECT_EQ(FrameNames(SpriteA()), (std::vector<std::string>{"first"}));
}

TEST_F(MainFormEffects, AnImageOnTheClipboardPastesAsClipboardFrames) {
  TAnimationWindow* window = OpenTwoFrames();
  ClickNode(Node({"A"}));
  QImage image(6, 4, QImage::Format_RGB32);
  image.fill(Qt::red);
  QApplication::clipboard()->setImage(image);
  ASSERT_TRUE(Command(Form(), "Edit_Paste")->isEnabled());
  Command(Form(), "Edit_Paste")->trigger();
  Settle();
  ASSERT_EQ(SpriteA().FrameCount(), 3);
  EXPECT_EQ(SpriteA().Frame(2).FileName, "Clipboard 3");
  EXPECT_EQ(SpriteA().Frame(2).Picture.Width(), 6);
  EXPECT_EQ(UndoOf(window), (std::vector<std::string>{"Add Frame"}));

  // As a new sprite, the frame is that sprite's first: "Clipboard 1".
  Command(Form(), "Edit_PasteAsNewSprite")->trigger();
  Settle();
  ASSERT_EQ(Editor(Form()).CurrentScene()->SpriteCount(), 2);
  TSprite& made = Editor(Form()).CurrentScene()->Sprite(1);
  ASSERT_EQ(made.FrameCount(), 1);
  EXPECT_EQ(made.Frame(0).FileName, "Clipboard 1");
  EXPECT_EQ(UndoOf(window), (std::vector<std::string>{"Add Frame", "Add Sprite"}));
}

TEST_F(MainFormEffects, AnImageBeyondTheReadersLimitsIsRefusedAndLeavesNoAddInProgress) {
  TAnimationWindow* window = OpenTwoFrames();
  ClickNode(Node({"A"}));
  QImage image(70000, 1, QImage::Format_RGB32);
  image.fill(Qt::red);
  QApplication::clipboard()->setImage(image);
  Command(Form(), "Edit_Paste")->trigger();
  Settle();
  EXPECT_EQ(SpriteA().FrameCount(), 2);
  EXPECT_TRUE(UndoOf(window).empty());
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, "Invalid bitmap: bad dimensions");
  EXPECT_FALSE(Editor(Form()).Shapes().AddInProgress());
}

// ---- Bitmap copies -------------------------------------------------------------------------------

TEST_F(MainFormEffects, TheFramesPictureGoesToTheClipboardAsABitmap) {
  OpenTwoFrames();
  ClickNode(Node({"A", "first"}));
  Command(Form(), "Frame_CopyAsBMP")->trigger();
  TBitmap bitmap;
  ASSERT_TRUE(Clipboard().GetBitmap(bitmap));
  EXPECT_EQ(bitmap.Width(), 40);
  EXPECT_EQ(bitmap.Height(), 20);
  EXPECT_EQ(bitmap.Pixel(0, 0) & 0xFFFFFF, clBlue);
}

TEST_F(MainFormEffects, CopyAsBitmapToWritesTheChosenNameWithTheBmpExtension) {
  OpenTwoFrames();
  ClickNode(Node({"A", "first"}));
  FileDialogResult chosen;
  chosen.fileName = data_.File("x.png");
  ui_.fileAnswers.push_back(chosen);
  Command(Form(), "Frame_CopyAsBMP_To")->trigger();
  EXPECT_FALSE(FileExists(data_.File("x.png")));
  ASSERT_TRUE(FileExists(data_.File("x.bmp")));
  TBitmap written;
  written.LoadFromFile(data_.File("x.bmp"));
  EXPECT_EQ(written.Width(), 40);
  EXPECT_EQ(Editor(Form()).Effects().SaveBmpDialog().initialDir, ExtractFilePath(data_.File("x.png")));
}

TEST_F(MainFormEffects, CopyAsBitmapToAsksBeforeReplacingABmpItWasNotGiven) {
  OpenTwoFrames();
  ClickNode(Node({"A", "first"}));
  { std::ofstream(data_.File("y.bmp")) << "kept"; }
  FileDialogResult chosen;
  chosen.fileName = data_.File("y.png");
  ui_.fileAnswers.push_back(chosen);
  ui_.messageAnswers.push_back(IDNO);
  Command(Form(), "Scene_BackgroundCopyTo")->trigger();
  std::ifstream kept(data_.File("y.bmp"));
  std::string text;
  kept >> text;
  EXPECT_EQ(text, "kept");
}

}  // namespace
