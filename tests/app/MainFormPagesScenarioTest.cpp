// A user's session with the playback controls and the property pages of a
// document: playing with the keyboard, stepping and seeking, inserting
// pictures, editing a motion, its shadow and an appearance, keying a colour,
// editing the scene's colours and its background, then saving and reopening.
#include "tests/app/MainFormPagesFixture.h"
#include "tests/support/FindChild.h"

#include "app/core/PropertyPageRules.h"
#include "controls/Image.h"
#include "controls/MyCntrlDigitalDisplay.h"
#include "controls/My_SpinEdit.h"
#include "controls/UTimelineSlider.h"
#include "controls/mKnob.h"
#include "dialogs/EditPaletteFormU.h"
#include "imaging/GifUnit.h"
#include "platform/Clipboard.h"
#include "platform/Messages.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <set>
#include <string>

namespace {

constexpr TColor kLeft = 0x2030F0;
constexpr TColor kRight = 0x40C010;

TColor Halves(int x, int) { return x < 5 ? kLeft : kRight; }

class MainFormPagesScenario : public MainFormPagesTest {
 protected:
  // An 8-bit BMP of 10 x 6 pixels in two halves, with a palette of their two colours.
  std::string WriteEightBitHalves(const std::string& name) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf8bit);
    bitmap.SetPalette(TPalette({PaletteEntryOf(kLeft), PaletteEntryOf(kRight)}));
    bitmap.SetSize(10, 6);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 10; ++x) bitmap.SetPixel(x, y, Halves(x, y));
    const std::string fileName = data_.File(name);
    bitmap.SaveToFile(fileName);
    return fileName;
  }
  std::string WriteGif(const std::string& name) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(6, 4);
    bitmap.Canvas().Brush().Color = 0x808080;
    bitmap.Canvas().FillRect(Rect(0, 0, 6, 4));
    TGifFile gif;
    gif.AddGraphic(bitmap);
    const std::string fileName = data_.File(name);
    gif.SaveToFile(fileName);
    return fileName;
  }
  std::int64_t LogSize() { return Log().Log().Size(); }
  void ClickRow(QTreeWidget* list, int row) {
    QTreeWidgetItem* item = list->topLevelItem(row);
    ASSERT_NE(item, nullptr);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
  }
  static void Type(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }
  static void Click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, button->height() / 2));
  }
  // Selects the scene tree's node of a kind (the first one), as a click on it does.
  void SelectNode(TMainForm& form, int kind) {
    QTreeWidget* tree = Editor(form).Tree().ShownTree();
    QTreeWidgetItemIterator it(tree);
    for (; *it != nullptr; ++it)
      if (TTreeArea::NodeKind(*it) == kind) break;
    ASSERT_NE(*it, nullptr);
    tree->setCurrentItem(*it);
    ProcessMessages();
  }
};

TEST_F(MainFormPagesScenario, PlayStepSeekEditSaveAndReopen) {
  system_.bitsPerPixel = 32;
  TPagesMainForm& form = StartPages();
  QApplication::setActiveWindow(&form);
  Child<TSpinEdit>(form, "SpinEditNumberOfFrames")->SetText("60");
  Child<QComboBox>(form, "LoopingComboBox")->setCurrentText("2");
  Child<TSpinEdit>(form, "StepsPerSecSpin")->SetText("10");

  // Ctrl+Space plays and the step display advances; Ctrl+Alt+Space stops.
  QTest::keyClick(&form, Qt::Key_Space, Qt::ControlModifier);
  ASSERT_TRUE(Child<QToolButton>(form, "AnimateBtn")->isChecked());
  for (int i = 0; i < 3; ++i) {
    Scene().Timer().OnTimer()();
    ProcessMessages();
  }
  // The playback timer also runs by itself while events are processed, so a
  // slow machine may show a later step: at least the three ticks given.
  const std::string shown = Child<TDigitalDisplay>(form, "CurrentStep")->Caption();
  ASSERT_EQ(shown.size(), 6u) << shown;
  EXPECT_GE(std::stoi(shown), 3) << shown;
  QTest::keyClick(&form, Qt::Key_Space, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_FALSE(Child<QToolButton>(form, "AnimateBtn")->isChecked());
  EXPECT_FALSE(Scene().Timer().Enabled());

  // Alt+Right and Alt+Left step; First, Last and Go to Step jump.
  const std::int32_t step = Scene().CurrentStep;
  QTest::keyClick(&form, Qt::Key_Right, Qt::AltModifier);
  EXPECT_EQ(Scene().CurrentStep, step + 1);
  QTest::keyClick(&form, Qt::Key_Left, Qt::AltModifier);
  EXPECT_EQ(Scene().CurrentStep, step);
  Command(form, "Movie_LastStep")->trigger();
  EXPECT_EQ(Scene().CurrentStep, 60);
  Command(form, "Movie_FirstStep")->trigger();
  EXPECT_EQ(Scene().CurrentStep, 1);
  forms_.Expect("SetStepFrm").Fill("StepSpinEdit", "7").Press("OkBtn");
  Command(form, "View_Set_Step")->trigger();
  EXPECT_EQ(Scene().CurrentStep, 8);
  ProcessMessages();
  EXPECT_EQ(Child<TDigitalDisplay>(form, "CurrentStep")->Caption(), " 00007");

  // A slider drag shows its step at once and seeks once, when the pause ends.
  TTimelineSlider& slider = *Child<TTimelineSlider>(form, "StepsTrackBar");
  ASSERT_EQ(slider.Max(), 60);
  const int y = slider.height() / 2;
  QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(slider.SliderCenter(), y));
  QTest::mouseMove(&slider, QPoint(slider.StepToX(25), y));
  QTest::mouseMove(&slider, QPoint(slider.StepToX(40), y));
  QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(slider.StepToX(40), y));
  const int position = slider.Position();
  ASSERT_GT(position, 30);
  EXPECT_EQ(Child<TDigitalDisplay>(form, "CurrentStep")->Caption(), SliderStepText(position));
  EXPECT_EQ(Scene().CurrentStep, 8);
  ASSERT_TRUE(Editor(form).Playback().SetStepTimer().Enabled());
  Editor(form).Playback().SetStepTimerTimer();
  EXPECT_EQ(Scene().CurrentStep, position);
  Command(form, "Movie_FirstStep")->trigger();

  // Insert Image with a BMP and a GIF makes one sprite, which one Undo removes.
  const std::string bmp = WriteEightBitHalves("halves.bmp");
  const std::string gif = WriteGif("grey.gif");
  std::int64_t mark = LogSize();
  ui_.fileAnswers.push_back(FileDialogResult{bmp, 1, {bmp, gif}});
  Command(form, "Scene_Add_Image")->trigger();
  ProcessMessages();
  ASSERT_EQ(Scene().SpriteCount(), 1);
  EXPECT_EQ(Scene().Sprite(0).FrameCount(), 2);
  EXPECT_EQ(Log().Caption(), "Add Sprite");
  Command(form, "Edit_Undo")->trigger();
  ProcessMessages();
  EXPECT_EQ(Scene().SpriteCount(), 0);
  EXPECT_EQ(LogSize(), mark);
  ui_.fileAnswers.push_back(FileDialogResult{bmp, 1, {bmp, gif}});
  Command(form, "Scene_Add_Image")->trigger();
  ProcessMessages();
  ASSERT_EQ(Scene().SpriteCount(), 1);

  // The motion: linear at half a step per step; clicking its row writes
  // nothing; a quick X and Y edit is one "Change Motion" and keeps the speed.
  SelectNode(form, TTreeArea::nkMotion);
  ASSERT_EQ(Child<QStackedWidget>(form, "Notebook_Properties")->currentIndex(), ppMotion);
  Command(form, "Motion_Linear")->trigger();
  Type(Child<QLineEdit>(form, "StartSpeedEdit"), "0.5");
  Editor(form).Motion().TimerRedrawTimer();
  ASSERT_EQ(Scene().Sprite(0).Motion().Step(0).Kind, mskLine);
  mark = LogSize();
  ClickRow(Child<QTreeWidget>(form, "MovingList"), 0);
  EXPECT_FALSE(Editor(form).Motion().TimerRedraw().Enabled());
  EXPECT_EQ(LogSize(), mark);
  Type(Child<QLineEdit>(form, "FirstX"), "12");
  Type(Child<QLineEdit>(form, "FirstY"), "9");
  EXPECT_EQ(LogSize(), mark);
  Editor(form).Motion().TimerRedrawTimer();
  EXPECT_EQ(Log().Caption(), "Change Motion");
  const TMovingStep& motion = Scene().Sprite(0).Motion().Step(0);
  EXPECT_EQ(motion.StartX, 12.0);
  EXPECT_EQ(motion.StartY, 9.0);
  EXPECT_EQ(motion.SpeedStart, 0.5);
  Log().Undo();
  EXPECT_EQ(LogSize(), mark);
  EXPECT_EQ(Scene().Sprite(0).Motion().Step(0).StartX, 0.0);
  Editor(form).Motion().RefreshMotionPage();
  Type(Child<QLineEdit>(form, "FirstX"), "12");
  Type(Child<QLineEdit>(form, "FirstY"), "9");
  Editor(form).Motion().TimerRedrawTimer();

  // The shadow of the step: on, with a blur of 6, one "Change Motion" that undoes.
  mark = LogSize();
  Child<QCheckBox>(form, "ShadowEnabledCheckBox")->click();
  Child<TSpinEdit>(form, "StartShadowBlurEdit")->SetValue(6);
  Editor(form).Motion().TimerRedrawTimer();
  EXPECT_EQ(Scene().Sprite(0).Motion().Step(0).ShadowOn, 1);
  EXPECT_EQ(Scene().Sprite(0).Motion().Step(0).ShadowBlurStart, 6);
  EXPECT_EQ(Log().Caption(), "Change Motion");
  Log().Undo();
  EXPECT_EQ(LogSize(), mark);
  EXPECT_EQ(Scene().Sprite(0).Motion().Step(0).ShadowOn, 0);
  Editor(form).Motion().RefreshMotionPage();
  EXPECT_FALSE(Child<QCheckBox>(form, "ShadowEnabledCheckBox")->isChecked());
  Child<QCheckBox>(form, "ShadowEnabledCheckBox")->click();
  Child<TSpinEdit>(form, "StartShadowBlurEdit")->SetValue(6);
  Editor(form).Motion().TimerRedrawTimer();
  ASSERT_EQ(Scene().Sprite(0).Motion().Step(0).ShadowBlurStart, 6);

  // An appearance from step 5; a plain press on the time line records
  // nothing, a drag of the interval's start grip is one Undo.
  Command(form, "Appearance_Add")->trigger();
  ProcessMessages();
  ASSERT_EQ(Scene().Sprite(0).IntervalCount(), 1);
  ASSERT_EQ(Child<QStackedWidget>(form, "Notebook_Properties")->currentIndex(), ppAppearance);
  Child<TSpinEdit>(form, "StartSpin")->SetValue(5);
  ASSERT_EQ(Scene().Sprite(0).Interval(0).StartStep, 5);
  mark = LogSize();
  QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(slider.StepToX(40), y));
  EXPECT_EQ(LogSize(), mark);
  ASSERT_EQ(slider.HitTest(slider.StepToX(5)).part, tlpStartGrip);
  QTest::mouseMove(&slider, QPoint(slider.StepToX(5), y));
  QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(slider.StepToX(5), y));
  QTest::mouseMove(&slider, QPoint(slider.StepToX(9), y));
  QTest::mouseMove(&slider, QPoint(slider.StepToX(12), y));
  QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(slider.StepToX(12), y));
  EXPECT_GT(Scene().Sprite(0).Interval(0).StartStep, 5);
  EXPECT_EQ(Log().Caption(), "Change Appearance");
  Log().Undo();
  EXPECT_EQ(LogSize(), mark);
  EXPECT_EQ(Scene().Sprite(0).Interval(0).StartStep, 5);

  // The pick tool keys the clicked colour of the picture.
  SelectNode(form, TTreeArea::nkPictureFrame);
  ASSERT_EQ(Child<QStackedWidget>(form, "Notebook_Properties")->currentIndex(), ppFrame);
  Command(form, "Sprite_PickTransparentColor")->trigger();
  QTest::mouseClick(Child<TImage>(form, "NativeImage"), Qt::LeftButton, {}, QPoint(8, 3));
  EXPECT_TRUE(Scene().Sprite(0).Frame(0).Transparent());
  EXPECT_EQ(Scene().Sprite(0).Frame(0).TransparentColor(), kRight);

  // The palette button: the picture's palette, one entry made white; one
  // "Change Palette" that undoes.
  int edited = -1;
  forms_.Expect("EditPaletteForm").Do([&](QDialog& dialog) {
    auto& editor = static_cast<TEditPaletteForm&>(dialog);
    EXPECT_FALSE(editor.SetToAllCheckBox->isVisibleTo(&editor));
    EXPECT_EQ(editor.Palette.Entries().size(), 2u);
    edited = editor.SelectedIndex();
    editor.RedSpinEdit->SetValue(255);
    editor.GreenSpinEdit->SetValue(255);
    editor.BlueSpinEdit->SetValue(255);
  }).Press("OkBtn");
  mark = LogSize();
  Click(Child<QToolButton>(form, "EditPaletteButton"));
  ProcessMessages();
  ASSERT_TRUE(edited == 0 || edited == 1);
  const auto pictureColors = [&] {
    TFrame& frame = Scene().Sprite(0).Frame(0);
    frame.Picture.RestoreImage();
    const std::set<TColor> colors{frame.Picture.Pixel(2, 2), frame.Picture.Pixel(8, 2)};
    frame.Picture.SaveAndRelease();
    return colors;
  };
  EXPECT_EQ(pictureColors(), (std::set<TColor>{0xFFFFFF, edited == 0 ? kRight : kLeft}));
  EXPECT_EQ(Log().Caption(), "Change Palette");
  Log().Undo();
  EXPECT_EQ(LogSize(), mark);
  EXPECT_EQ(pictureColors(), (std::set<TColor>{kLeft, kRight}));

  // The background: a file, an unticked picture box and a pasted picture
  // each undo; the fill records "Change Background Properties".
  SelectNode(form, TTreeArea::nkBackground);
  ASSERT_EQ(Child<QStackedWidget>(form, "Notebook_Properties")->currentIndex(), ppBackground);
  const std::string back = WriteBmp("back.bmp", 20, 10, Halves);
  mark = LogSize();
  Child<QLineEdit>(form, "FileNameEdit")->setFocus();
  QTest::keyClicks(Child<QLineEdit>(form, "FileNameEdit"), QString::fromStdString(back));
  QTest::keyClick(Child<QLineEdit>(form, "FileNameEdit"), Qt::Key_Return);
  EXPECT_EQ(Scene().BackgroundFile, back);
  EXPECT_TRUE(Child<QCheckBox>(form, "PictureCheckBox")->isChecked());
  EXPECT_EQ(Log().Caption(), "Change Background");
  Log().Undo();
  EXPECT_EQ(LogSize(), mark);
  EXPECT_EQ(Scene().BackgroundFile, "");
  SelectNode(form, TTreeArea::nkBackground);
  Child<QLineEdit>(form, "FileNameEdit")->setFocus();
  Child<QLineEdit>(form, "FileNameEdit")->selectAll();
  QTest::keyClicks(Child<QLineEdit>(form, "FileNameEdit"), QString::fromStdString(back));
  QTest::keyClick(Child<QLineEdit>(form, "FileNameEdit"), Qt::Key_Return);
  ASSERT_EQ(Scene().BackgroundFile, back);

  mark = LogSize();
  Click(Child<QCheckBox>(form, "PictureCheckBox"));
  EXPECT_EQ(Scene().BackgroundFile, "");
  Log().Undo();
  EXPECT_EQ(LogSize(), mark);
  EXPECT_EQ(Scene().BackgroundFile, back);

  TBitmap pasted;
  pasted.SetPixelFormat(pf24bit);
  pasted.SetSize(12, 6);
  Clipboard().SetBitmap(pasted);
  Command(form, "Scene_Paste_Background")->trigger();
  EXPECT_EQ(Scene().BackgroundFile, "Clipboard");
  EXPECT_EQ(Log().Caption(), "Paste Background");
  Log().Undo();
  EXPECT_EQ(LogSize(), mark);
  EXPECT_EQ(Scene().BackgroundFile, back);

  SelectNode(form, TTreeArea::nkBackground);
  EXPECT_TRUE(Child<QToolButton>(form, "ScBackFillLinear_Button")->isChecked());
  Click(Child<QToolButton>(form, "ScBackFillVelvet_Button"));
  EXPECT_EQ(Scene().VelvetFill, 1);
  EXPECT_EQ(Log().Caption(), "Change Background Properties");
  Log().Undo();
  EXPECT_EQ(LogSize(), mark);
  EXPECT_EQ(Scene().VelvetFill, 0);
  SelectNode(form, TTreeArea::nkBackground);
  Click(Child<QToolButton>(form, "ScBackFillVelvet_Button"));
  Child<TSpinEdit>(form, "ScBackFillAngle")->SetValue(45);
  EXPECT_EQ(Child<TmKnob>(form, "ScBackFillAngle_Knob")->Position(), 45);
  Child<QCheckBox>(form, "SameColorsCheckBox")->setChecked(true);
  ui_.colorAnswers.push_back(TColor{0x112233});
  Click(Child<QToolButton>(form, "Button_BackgroundStartColor"));
  EXPECT_EQ(Scene().StartColor, 0x112233u);
  EXPECT_EQ(Scene().FinishColor, 0x112233u);

  // Saved and reopened, every value is kept.
  const std::string project = data_.File("session.GLM");
  Document().SetFileName(project);
  ASSERT_TRUE(Document().Save());
  form.ChooseSprite(nullptr);
  Document().LoadFromFile(project);
  TAnimatedScene& reopened = Scene();
  EXPECT_EQ(reopened.StepCount, 60);
  EXPECT_EQ(reopened.LoopCount, 2);
  EXPECT_EQ(reopened.Timer().Interval(), 100);
  EXPECT_EQ(reopened.BackgroundFile, back);
  EXPECT_EQ(reopened.VelvetFill, 1);
  EXPECT_EQ(reopened.FillAngle, 45);
  EXPECT_EQ(reopened.StartColor, 0x112233u);
  EXPECT_EQ(reopened.FinishColor, 0x112233u);
  ASSERT_EQ(reopened.SpriteCount(), 1);
  const TSprite& again = reopened.Sprite(0);
  EXPECT_EQ(again.FrameCount(), 2);
  const TMovingStep& kept = again.Motion().Step(0);
  EXPECT_EQ(kept.Kind, mskLine);
  EXPECT_EQ(kept.StartX, 12.0);
  EXPECT_EQ(kept.StartY, 9.0);
  EXPECT_EQ(kept.SpeedStart, 0.5);
  EXPECT_EQ(kept.ShadowOn, 1);
  EXPECT_EQ(kept.ShadowBlurStart, 6);
  ASSERT_EQ(again.IntervalCount(), 1);
  EXPECT_EQ(again.Interval(0).StartStep, 5);
  EXPECT_TRUE(again.Frame(0).Transparent());
  EXPECT_EQ(again.Frame(0).TransparentColor(), kRight);
}

}  // namespace
