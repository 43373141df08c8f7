// The sprite, frame and background pages of the main window and the adding
// of picture frames, driven through the pages' controls and the commands.
#include "tests/app/MainFormPagesFixture.h"
#include "tests/support/FindChild.h"

#include "controls/Image.h"
#include "controls/My_SpinEdit.h"
#include "imaging/utils.h"
#include "platform/Clipboard.h"
#include "platform/Streams.h"
#include "platform/SysUtils.h"

#include "app/core/AddCommands.h"

#include <QAction>
#include <QAbstractButton>
#include <QGroupBox>
#include <QCheckBox>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>

namespace {

TColor Quadrants(int x, int y) {
  if (y < 4) return x < 4 ? 0x0000FF : 0x00FF00;
  return x < 4 ? 0xFF0000 : 0x00FFFF;
}
TColor Grey(int, int) { return 0x808080; }

class MainFormPages : public MainFormPagesTest {
 protected:
  ~MainFormPages() override { CancelFlag = 0; }
};

// ---- Sprite page ----

TEST_F(MainFormPages, RenamingTheSpriteChangesItsNameAndMarksTheDocument) {
  TPagesMainForm& form = StartPages();
  TSprite& sprite = SpriteWithPictures(form, {WriteBmp("a.bmp", 8, 8, Quadrants)});
  Editor(form).FramePages().LoadSpritePage();
  EXPECT_EQ(Child<QLineEdit>(form, "Edit_SpriteName")->text(), QString::fromStdString(sprite.Name));
  Document().SetModified(false);
  Child<QLineEdit>(form, "Edit_SpriteName")->selectAll();
  QTest::keyClicks(Child<QLineEdit>(form, "Edit_SpriteName"), "Logo");
  EXPECT_EQ(sprite.Name, "Logo");
  EXPECT_TRUE(Document().Modified());
}

// ---- Frame page ----

TEST_F(MainFormPages, LoadingTheFramePageShowsTheFrameAndWritesNothing) {
  TPagesMainForm& form = StartPages();
  TSprite& sprite = SpriteWithPictures(form, {WriteBmp("a.bmp", 8, 8, Quadrants)});
  sprite.Frame(0).StoreTransparency(true, 0x00FF00);
  sprite.Frame(0).StoreDuration(6);
  Editor(form).FramePages().LoadFramePage();
  EXPECT_TRUE(Child<QCheckBox>(form, "TransparencyCheckBox")->isChecked());
  EXPECT_TRUE(Child<QToolButton>(form, "ImageColorPanel")->isEnabled());
  EXPECT_EQ(Child<QToolButton>(form, "ImageColorPanel")->property("Color").toUInt(), 0x00FF00u);
  EXPECT_EQ(Child<TSpinEdit>(form, "StepsPerFrameEdit")->Value(), 6);
  EXPECT_EQ(Child<TSpinEdit>(form, "StepsPerFrameEdit")->MaxValue(), 100000);
  EXPECT_EQ(Child<QStackedWidget>(form, "NotebookFramePreview")->currentIndex(), 0);
  EXPECT_TRUE(Log().Empty());
}

TEST_F(MainFormPages, ThePreviewDrawsThePictureInsideAOnePixelBorder) {
  TPagesMainForm& form = StartPages();
  SpriteWithPictures(form, {WriteBmp("a.bmp", 8, 8, Quadrants)});
  Editor(form).FramePages().LoadFramePage();
  const TBitmap& preview = Child<TImage>(form, "NativeImage")->Bitmap();
  ASSERT_EQ(preview.Width(), 10);
  ASSERT_EQ(preview.Height(), 10);
  EXPECT_EQ(preview.Pixel(0, 0), clBlack);
  EXPECT_EQ(preview.Pixel(1, 1), 0x0000FFu);
  EXPECT_EQ(preview.Pixel(8, 1), 0x00FF00u);
  EXPECT_EQ(preview.Pixel(1, 8), 0xFF0000u);
  EXPECT_EQ(preview.Pixel(8, 8), 0x00FFFFu);
}

TEST_F(MainFormPages, TheTransparencyBoxRecordsAndUndoes) {
  TPagesMainForm& form = StartPages();
  TSprite& sprite = SpriteWithPictures(form, {WriteBmp("a.bmp", 8, 8, Quadrants)});
  Editor(form).FramePages().LoadFramePage();
  QTest::mouseClick(Child<QCheckBox>(form, "TransparencyCheckBox"), Qt::LeftButton, {},
                    QPoint(5, Child<QCheckBox>(form, "TransparencyCheckBox")->height() / 2));
  EXPECT_TRUE(sprite.Frame(0).Transparent());
  EXPECT_EQ(Log().Caption(), "Change Transparency");
  Log().Undo();
  EXPECT_FALSE(sprite.Frame(0).Transparent());
}

TEST_F(MainFormPages, ThePickUpToolKeysTheClickedColourAndIgnoresTheBorder) {
  system_.bitsPerPixel = 32;
  TPagesMainForm& form = StartPages();
  TSprite& sprite = SpriteWithPictures(form, {WriteBmp("a.bmp", 8, 8, Quadrants)});
  Editor(form).FramePages().LoadFramePage();

  // The border is not the picture: nothing is picked.
  Command(form, "Sprite_PickTransparentColor")->trigger();
  EXPECT_TRUE(Editor(form).FramePages().PickUpToolOn());
  QTest::mouseClick(Child<TImage>(form, "NativeImage"), Qt::LeftButton, {}, QPoint(9, 9));
  EXPECT_FALSE(sprite.Frame(0).Transparent());
  EXPECT_FALSE(Editor(form).FramePages().PickUpToolOn());
  EXPECT_FALSE(Child<QToolButton>(form, "ToolButton_PickUpColor")->isChecked());

  // Preview (6, 2) is picture pixel (5, 1): green.
  QTest::mouseClick(Child<QToolButton>(form, "ToolButton_PickUpColor"), Qt::LeftButton);
  QTest::mouseClick(Child<TImage>(form, "NativeImage"), Qt::LeftButton, {}, QPoint(6, 2));
  EXPECT_TRUE(sprite.Frame(0).Transparent());
  EXPECT_EQ(sprite.Frame(0).TransparentColor(), 0x00FF00u);
  EXPECT_TRUE(Child<QCheckBox>(form, "TransparencyCheckBox")->isChecked());
  EXPECT_EQ(Editor(form).FramePages().PreviewPressPoint(), (TPoint{6, 2}));
  EXPECT_TRUE(ui_.notes.empty());
}

TEST_F(MainFormPages, ThePickUpToolOnAPlainTextFrameKeysTheColourOfItsPreview) {
  system_.bitsPerPixel = 32;
  TPagesMainForm& form = StartPages();
  TAddedItem added;
  {
    const TUndoRecordingPause pause;
    added = AddSpriteWithDefaultFrame(Scene(), nfkText3D);
  }
  form.ChooseSprite(added.Sprite);
  QAbstractButton* simpleText =
      Child<QGroupBox>(form, "RadioGroup_3DorSimpleText")->findChildren<QAbstractButton*>().at(1);
  QTest::mouseClick(simpleText, Qt::LeftButton, {}, QPoint(5, simpleText->height() / 2));
  TFrame& frame = added.Sprite->Frame(0);
  ASSERT_EQ(frame.Kind, fkText);
  const TColor shown = Child<TImage>(form, "SimpleText_Image")->Bitmap().Pixel(1, 1);

  Command(form, "Sprite_PickTransparentColor")->trigger();
  QTest::mouseClick(Child<TImage>(form, "SimpleText_Image"), Qt::LeftButton, {}, QPoint(1, 1));
  EXPECT_TRUE(frame.Transparent());
  EXPECT_EQ(frame.TransparentColor(), shown);
  EXPECT_FALSE(Child<QToolButton>(form, "ToolButton_PickUpColor")->isChecked());
  EXPECT_EQ(Child<TImage>(form, "SimpleText_Image")->Cursor(), crDefault);
}

TEST_F(MainFormPages, ThePickUpToolOnALowColourDisplayShowsTheTrueColourNoteOnce) {
  system_.bitsPerPixel = 16;
  ui_.noteAnswers = {true};
  TPagesMainForm& form = StartPages();
  SpriteWithPictures(form, {WriteBmp("a.bmp", 8, 8, Quadrants)});
  Editor(form).FramePages().LoadFramePage();
  ui_.notes.clear();
  Command(form, "Sprite_PickTransparentColor")->trigger();
  QTest::mouseClick(Child<TImage>(form, "NativeImage"), Qt::LeftButton, {}, QPoint(2, 2));
  ASSERT_EQ(ui_.notes.size(), 1u);
  EXPECT_EQ(ui_.notes[0].caption, "Warning");
  EXPECT_EQ(ui_.notes[0].text.substr(0, 40), "Your display supports 16 bit colors\rbut ");
  EXPECT_TRUE(Editor(form).UserSettings().NeverAskAbout24BitColors);
  Command(form, "Sprite_PickTransparentColor")->trigger();
  QTest::mouseClick(Child<TImage>(form, "NativeImage"), Qt::LeftButton, {}, QPoint(2, 2));
  EXPECT_EQ(ui_.notes.size(), 1u);
}

TEST_F(MainFormPages, TheDurationEditRecordsChangeDuration) {
  TPagesMainForm& form = StartPages();
  TSprite& sprite = SpriteWithPictures(form, {WriteBmp("a.bmp", 8, 8, Quadrants)});
  Editor(form).FramePages().LoadFramePage();
  Child<TSpinEdit>(form, "StepsPerFrameEdit")->SetText("5");
  EXPECT_EQ(sprite.Frame(0).Duration(), 5);
  EXPECT_EQ(Log().Caption(), "Change Duration");
}

TEST_F(MainFormPages, TheDurationOfAllFramesIsOneUndoEntry) {
  TPagesMainForm& form = StartPages();
  TSprite& sprite =
      SpriteWithPictures(form, {WriteBmp("a.bmp", 8, 8, Quadrants), WriteBmp("b.bmp", 4, 4, Grey)});
  ASSERT_EQ(sprite.FrameCount(), 2);
  const std::int32_t before = sprite.Frame(1).Duration();
  Editor(form).FramePages().LoadFramePage();
  Editor(form).FramePages().FillingFramePage() = true;
  Child<TSpinEdit>(form, "StepsPerFrameEdit")->SetValue(7);
  Editor(form).FramePages().FillingFramePage() = false;
  Command(form, "Sprite_SetDurationToAllFrames")->trigger();
  EXPECT_EQ(sprite.Frame(0).Duration(), 7);
  EXPECT_EQ(sprite.Frame(1).Duration(), 7);
  EXPECT_EQ(form.ProgressPercent, -1);
  Log().Undo();
  EXPECT_TRUE(Log().Empty());
  TSprite& restored = Scene().Sprite(0);
  EXPECT_EQ(restored.Frame(1).Duration(), before);
}

TEST_F(MainFormPages, TransparencyToAllFramesIsOneUndoEntry) {
  TPagesMainForm& form = StartPages();
  TSprite& sprite =
      SpriteWithPictures(form, {WriteBmp("a.bmp", 8, 8, Quadrants), WriteBmp("b.bmp", 4, 4, Grey)});
  Editor(form).FramePages().LoadFramePage();
  Editor(form).FramePages().FillingFramePage() = true;
  Child<QCheckBox>(form, "TransparencyCheckBox")->setChecked(true);
  Editor(form).FramePages().FillingFramePage() = false;
  Command(form, "Sprite_SetTransparencyToAllFrames")->trigger();
  EXPECT_TRUE(sprite.Frame(0).Transparent());
  EXPECT_TRUE(sprite.Frame(1).Transparent());
  Log().Undo();
  EXPECT_TRUE(Log().Empty());
  EXPECT_FALSE(Scene().Sprite(0).Frame(1).Transparent());
}

// ---- Background page ----

TEST_F(MainFormPages, ABackgroundFileAndAnUntickedPictureBoxEachUndo) {
  TPagesMainForm& form = StartPages();
  const std::string file = WriteBmp("back.bmp", 20, 10, Grey);
  Editor(form).FramePages().LoadBackgroundPage();
  EXPECT_FALSE(Child<QCheckBox>(form, "PictureCheckBox")->isChecked());
  Child<QLineEdit>(form, "FileNameEdit")->setFocus();
  QTest::keyClicks(Child<QLineEdit>(form, "FileNameEdit"), QString::fromStdString(file));
  EXPECT_TRUE(Log().Empty());  // applied when editing ends
  QTest::keyClick(Child<QLineEdit>(form, "FileNameEdit"), Qt::Key_Return);
  EXPECT_EQ(Scene().BackgroundFile, file);
  EXPECT_TRUE(Child<QCheckBox>(form, "PictureCheckBox")->isChecked());
  EXPECT_EQ(Log().Caption(), "Change Background");

  QTest::mouseClick(Child<QCheckBox>(form, "PictureCheckBox"), Qt::LeftButton, {},
                    QPoint(5, Child<QCheckBox>(form, "PictureCheckBox")->height() / 2));
  EXPECT_EQ(Scene().BackgroundFile, "");
  EXPECT_EQ(Child<QLineEdit>(form, "FileNameEdit")->text(), "");
  Log().Undo();
  EXPECT_EQ(Document().Scene()->BackgroundFile, file);
  Log().Undo();
  EXPECT_EQ(Document().Scene()->BackgroundFile, "");
  EXPECT_TRUE(Log().Empty());
}

TEST_F(MainFormPages, PastingABackgroundNeedsAClipboardImageAndUndoes) {
  TPagesMainForm& form = StartPages();
  Clipboard().Clear();
  Command(form, "Scene_Paste_Background")->trigger();
  EXPECT_TRUE(Log().Empty());
  EXPECT_FALSE(Child<QCheckBox>(form, "PictureCheckBox")->isChecked());

  TBitmap picture;
  picture.SetPixelFormat(pf24bit);
  picture.SetSize(12, 6);
  Clipboard().SetBitmap(picture);
  Command(form, "Scene_Paste_Background")->trigger();
  EXPECT_EQ(Scene().BackgroundFile, "Clipboard");
  EXPECT_EQ(Log().Caption(), "Paste Background");
  Log().Undo();
  EXPECT_EQ(Document().Scene()->BackgroundFile, "");
}

TEST_F(MainFormPages, CopyBackgroundToWritesABmpName) {
  TPagesMainForm& form = StartPages();
  ui_.fileAnswers.push_back(FileDialogResult{data_.File("copy"), 1, {data_.File("copy")}});
  Command(form, "Scene_BackgroundCopyTo")->trigger();
  EXPECT_TRUE(FileExists(data_.File("copy.bmp")));
}

// ---- Adding picture frames ----

TEST_F(MainFormPages, InsertImageMakesOneSpriteThatOneUndoRemoves) {
  TPagesMainForm& form = StartPages();
  const std::string a = WriteBmp("a.bmp", 8, 8, Quadrants);
  const std::string b = WriteBmp("b.bmp", 4, 4, Grey);
  ui_.fileAnswers.push_back(FileDialogResult{a, 1, {a, b}});
  Command(form, "Scene_Add_Image")->trigger();
  ASSERT_EQ(Scene().SpriteCount(), 1);
  EXPECT_EQ(Scene().Sprite(0).FrameCount(), 2);
  EXPECT_EQ(Scene().Sprite(0).Motion().StepCount(), 1);
  EXPECT_FALSE(Editor(form).FramePages().AddingPictureFrames());
  EXPECT_EQ(Log().Caption(), "Add Sprite");
  Log().Undo();
  EXPECT_EQ(Scene().SpriteCount(), 0);
  EXPECT_TRUE(Log().Empty());
}

TEST_F(MainFormPages, ACancelledOrUnreadableInsertLeavesNoSpriteAndNoRecord) {
  TPagesMainForm& form = StartPages();
  ui_.fileAnswers.push_back(std::nullopt);
  Command(form, "Scene_Add_Image")->trigger();
  EXPECT_EQ(Scene().SpriteCount(), 0);
  EXPECT_TRUE(Log().Empty());

  const std::string broken = data_.File("broken.bmp");
  { TFileStream(broken, fmCreate).WriteBuffer("BMxx", 4); }
  ui_.fileAnswers.push_back(FileDialogResult{broken, 1, {broken}});
  Command(form, "Scene_Add_Image")->trigger();
  EXPECT_EQ(Scene().SpriteCount(), 0);
  EXPECT_TRUE(Log().Empty());
  EXPECT_FALSE(Editor(form).FramePages().AddingPictureFrames());
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].caption, "Error");
}

TEST_F(MainFormPages, FramesAddedToASpriteWithFramesAreOneSpriteSnapshot) {
  TPagesMainForm& form = StartPages();
  TSprite& sprite = SpriteWithPictures(form, {WriteBmp("a.bmp", 8, 8, Quadrants)});
  const std::string b = WriteBmp("b.bmp", 4, 4, Grey);
  const std::string broken = data_.File("broken.bmp");
  { TFileStream(broken, fmCreate).WriteBuffer("BMxx", 4); }
  ui_.fileAnswers.push_back(FileDialogResult{b, 1, {b, broken}});
  Command(form, "Sprite_Add_Image")->trigger();
  // The readable file's frame stays; the unreadable one adds no placeholder.
  EXPECT_EQ(sprite.FrameCount(), 2);
  EXPECT_EQ(Log().Caption(), "Add .BMP picture");
  Log().Undo();
  EXPECT_TRUE(Log().Empty());
  EXPECT_EQ(Scene().Sprite(0).FrameCount(), 1);
}

}  // namespace
