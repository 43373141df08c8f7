// Playback, stepping, the time line and the scene page of the main window,
// driven through its commands and controls.
#include "tests/app/MainFormPagesFixture.h"
#include "tests/support/FindChild.h"

#include <cmath>

#include "controls/MyCntrlDigitalDisplay.h"
#include "controls/My_SpinEdit.h"
#include "app/core/PropertyPageRules.h"
#include "dialogs/core/SizeLimits.h"
#include "controls/UTimelineSlider.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>

namespace {

class MainFormPlayback : public MainFormPagesTest {};

TEST_F(MainFormPlayback, ThePlayCommandPlaysWithThePlaybackResamplingAndStopRestoresTheEditingOne) {
  TMainForm& form = StartPages();
  Editor(form).UserSettings().AntiAliasResample = true;
  Editor(form).UserSettings().PlayAntiAliasResample = false;
  EXPECT_FALSE(Command(form, "Movie_Stop")->isEnabled());

  Command(form, "Movie_Play_Command")->trigger();
  EXPECT_TRUE(Child<QToolButton>(form, "AnimateBtn")->isChecked());
  EXPECT_TRUE(Scene().Timer().Enabled());
  EXPECT_EQ(Scene().ResampledStretching, 0);
  EXPECT_TRUE(Command(form, "Movie_Stop")->isEnabled());
  EXPECT_FALSE(Command(form, "Movie_Play_Command")->isEnabled());
  EXPECT_TRUE(Child<TDigitalDisplay>(form, "StepPerSecond")->isVisibleTo(&form));

  Command(form, "Movie_Stop")->trigger();
  EXPECT_FALSE(Child<QToolButton>(form, "AnimateBtn")->isChecked());
  EXPECT_FALSE(Scene().Timer().Enabled());
  EXPECT_EQ(Scene().ResampledStretching, 1);
  EXPECT_FALSE(Command(form, "Movie_Stop")->isEnabled());
  EXPECT_TRUE(Command(form, "Movie_Play_Command")->isEnabled());
  EXPECT_FALSE(Child<TDigitalDisplay>(form, "StepPerSecond")->isVisibleTo(&form));
}

TEST_F(MainFormPlayback, LowResourcesWarnButPlaybackStarts) {
  system_.hasResourceMeter = true;
  system_.probe = [](int) { return 5; };
  TMainForm& form = StartPages();
  Command(form, "Movie_Play_Command")->trigger();
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].caption, "Error");
  EXPECT_EQ(ui_.messages[0].text,
            "Out of system resources. Please close one or more unused applications or run the program under "
            "Windows NT.");
  EXPECT_TRUE(Scene().Timer().Enabled());
}

TEST_F(MainFormPlayback, StepCommandsLeaveTheirSteps) {
  TMainForm& form = StartPages();
  Scene().StepCount = 40;
  Scene().GotoFrame(12);
  ASSERT_EQ(Scene().CurrentStep, 11);

  Command(form, "Movie_BackOneStep")->trigger();
  EXPECT_EQ(Scene().CurrentStep, 10);
  Command(form, "Movie_NextFrame")->trigger();
  EXPECT_EQ(Scene().CurrentStep, 11);
  EXPECT_TRUE(Editor(form).Motion().SteppedByHand());
  Command(form, "Movie_LastStep")->trigger();
  EXPECT_EQ(Scene().CurrentStep, 40);
  Command(form, "Movie_FirstStep")->trigger();
  EXPECT_EQ(Scene().CurrentStep, 1);
}

TEST_F(MainFormPlayback, SetStepSevenLeavesStepEightAndShowsIt) {
  TMainForm& form = StartPages();
  Scene().StepCount = 40;
  forms_.Expect("SetStepFrm").Fill("StepSpinEdit", "7").Press("OkBtn");
  Command(form, "View_Set_Step")->trigger();
  EXPECT_EQ(Scene().CurrentStep, 8);
  static_cast<TDocumentHost&>(form).StepChanged(0, 0);
  EXPECT_EQ(Child<TDigitalDisplay>(form, "CurrentStep")->Caption(), " 00007");

  forms_.Expect("SetStepFrm").Answer(mrCancel);
  Command(form, "View_Set_Step")->trigger();
  EXPECT_EQ(Scene().CurrentStep, 8);
}

TEST_F(MainFormPlayback, ClickingTheStepDisplayOpensTheStepDialogWithItsMaximum) {
  TMainForm& form = StartPages();
  Scene().StepCount = 40;
  int maximum = 0;
  forms_.Expect("SetStepFrm").Do([&](QDialog& dialog) {
    maximum = dialog.findChild<TSpinEdit*>("StepSpinEdit")->MaxValue();
  }).Answer(mrCancel);
  QTest::mouseClick(Child<TDigitalDisplay>(form, "CurrentStep"), Qt::LeftButton);
  EXPECT_EQ(maximum, 39);
}

TEST_F(MainFormPlayback, CustomSizeResizesTheAnimation) {
  TMainForm& form = StartPages();
  forms_.Expect("SetBackgroundFrm").Fill("MaintainRatio", false).Fill("WidthPixels", "300").Fill("HeightPixels", "50").Press("OkBtn");
  Command(form, "View_Custom")->trigger();
  Document().ResizeTimerTimer();
  EXPECT_EQ(Scene().Width, 300);
  EXPECT_EQ(Scene().Height, 50);
}

TEST_F(MainFormPlayback, LastStepOfAHostileStepCountEndsAtTheLargestStepAPageAccepts) {
  TMainForm& form = StartPages();
  Scene().StepCount = 2147483647;
  Command(form, "Movie_LastStep")->trigger();
  EXPECT_EQ(Scene().CurrentStep, 100000);
}

TEST_F(MainFormPlayback, SliderMovesShowTheStepAtOnceAndSeekOnceHalfASecondAfterTheLastMove) {
  TMainForm& form = StartPages();
  Scene().StepCount = 100;
  Child<TTimelineSlider>(form, "StepsTrackBar")->SetMax(100);
  Child<TTimelineSlider>(form, "StepsTrackBar")->setFixedWidth(220);
  TTimelineSlider& slider = *Child<TTimelineSlider>(form, "StepsTrackBar");
  const int y = slider.height() / 2;
  QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(slider.SliderCenter(), y));
  QTest::mouseMove(&slider, QPoint(slider.StepToX(30), y));
  QTest::mouseMove(&slider, QPoint(slider.StepToX(51), y));
  QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(slider.StepToX(51), y));
  const int position = slider.Position();
  ASSERT_GT(position, 40);
  EXPECT_EQ(Child<TDigitalDisplay>(form, "CurrentStep")->Caption(), SliderStepText(position));
  // Not yet sought: the timer waits 500 ms after the last move.
  EXPECT_EQ(Scene().CurrentStep, 1);
  EXPECT_TRUE(Editor(form).Playback().SetStepTimer().Enabled());
  EXPECT_EQ(Editor(form).Playback().SetStepTimer().Interval(), 500);

  Editor(form).Playback().SetStepTimerTimer();
  EXPECT_FALSE(Editor(form).Playback().SetStepTimer().Enabled());
  EXPECT_EQ(Scene().CurrentStep, position);
}

TEST_F(MainFormPlayback, TheStepDisplayOfTheSliderNeverShowsAStepBeforeTheFirst) {
  TMainForm& form = StartPages();
  Child<TTimelineSlider>(form, "StepsTrackBar")->SetPosition(0);
  Editor(form).Playback().StepsTrackBarChange();
  EXPECT_EQ(Child<TDigitalDisplay>(form, "CurrentStep")->Caption(), " 00001");
  Child<TTimelineSlider>(form, "StepsTrackBar")->SetMax(100);
  Child<TTimelineSlider>(form, "StepsTrackBar")->SetPosition(8);
  Editor(form).Playback().StepsTrackBarChange();
  EXPECT_EQ(Child<TDigitalDisplay>(form, "CurrentStep")->Caption(), " 00007");
}

// ---- The scene page ----

TEST_F(MainFormPlayback, ScenePageControlsHaveTheDesignRangesAndItems) {
  // Before any document is open the page shows the design's values.
  TMainForm& form = Create();
  EXPECT_EQ(Child<TSpinEdit>(form, "WidthPixels")->MinValue(), 1);
  EXPECT_EQ(Child<TSpinEdit>(form, "WidthPixels")->MaxValue(), 65000);
  EXPECT_EQ(Child<TSpinEdit>(form, "HeightPixels")->MaxValue(), 65000);
  EXPECT_EQ(Child<TSpinEdit>(form, "SpinEditNumberOfFrames")->MaxValue(), 100000);
  EXPECT_EQ(Child<TSpinEdit>(form, "StepsPerSecSpin")->MinValue(), 1);
  EXPECT_EQ(Child<TSpinEdit>(form, "StepsPerSecSpin")->MaxValue(), 30);
  EXPECT_EQ(Child<TSpinEdit>(form, "StepsPerSecSpin")->Value(), 20);
  QStringList items;
  QComboBox* looping = Child<QComboBox>(form, "LoopingComboBox");
  for (int i = 0; i < looping->count(); ++i) items << looping->itemText(i);
  EXPECT_EQ(items, (QStringList{"Forever", "0", "1", "2", "3", "4", "5", "10"}));
  EXPECT_TRUE(Child<QComboBox>(form, "LoopingComboBox")->isEditable());
  EXPECT_NE(form.findChild<TSpinEdit*>("WidthPixels"), nullptr);
  // The started document's scene page shows that scene's speed.
  form.show();
  const std::int32_t interval = Scene().Timer().Interval();
  ASSERT_GT(interval, 0);
  EXPECT_EQ(Child<TSpinEdit>(form, "StepsPerSecSpin")->Value(), std::lround(1000.0 / interval));
}

TEST_F(MainFormPlayback, LoadingTheScenePageWritesNothingBack) {
  TMainForm& form = StartPages();
  Scene().Width = 300;
  Scene().Height = 90;
  Scene().StepCount = 250;
  Scene().SetLoopCount(-1);
  Scene().ReservedSettings.GifComment() = {"one", "two"};
  Scene().Timer().SetInterval(50);
  Document().ResizeTimer.SetEnabled(false);
  Editor(form).Playback().LoadScenePage();
  EXPECT_EQ(Child<TSpinEdit>(form, "WidthPixels")->Value(), 300);
  EXPECT_EQ(Child<TSpinEdit>(form, "HeightPixels")->Value(), 90);
  EXPECT_EQ(Child<TSpinEdit>(form, "SpinEditNumberOfFrames")->Value(), 250);
  EXPECT_EQ(Child<TSpinEdit>(form, "StepsPerSecSpin")->Value(), 20);
  EXPECT_EQ(Child<QComboBox>(form, "LoopingComboBox")->currentText(), "Forever");
  EXPECT_EQ(Child<QPlainTextEdit>(form, "GifCommentMemo")->toPlainText(), "one\ntwo");
  EXPECT_TRUE(Log().Empty());
  EXPECT_FALSE(Document().ResizeTimer.Enabled());
}

TEST_F(MainFormPlayback, StepsPerSecondRecordsOnlyARealChange) {
  TMainForm& form = StartPages();
  Scene().Timer().SetInterval(50);
  Child<TSpinEdit>(form, "StepsPerSecSpin")->SetText("20");
  Editor(form).Playback().StepsPerSecSpinChange();
  EXPECT_TRUE(Log().Empty());

  Child<TSpinEdit>(form, "StepsPerSecSpin")->SetText("10");
  EXPECT_EQ(Scene().Timer().Interval(), 100);
  EXPECT_EQ(Log().Caption(), "Change Steps per Second");
  Log().Undo();
  EXPECT_EQ(Scene().Timer().Interval(), 50);
  EXPECT_TRUE(Log().Empty());
}

TEST_F(MainFormPlayback, TheLoopBoxTakesForeverInAnyCaseAndBoundedWholeNumbers) {
  TMainForm& form = StartPages();
  ASSERT_EQ(Scene().LoopCount, -1);
  Child<QComboBox>(form, "LoopingComboBox")->setCurrentText("forever");
  EXPECT_TRUE(Log().Empty());

  Child<QComboBox>(form, "LoopingComboBox")->setCurrentText("3");
  EXPECT_EQ(Scene().LoopCount, 3);
  EXPECT_EQ(Log().Caption(), "Change Number of Loops");
  Child<QComboBox>(form, "LoopingComboBox")->setCurrentText("FOREVER");
  EXPECT_EQ(Scene().LoopCount, -1);
  Child<QComboBox>(form, "LoopingComboBox")->setCurrentText("abc");
  EXPECT_EQ(Scene().LoopCount, -1);
  Child<QComboBox>(form, "LoopingComboBox")->setCurrentText("70000");
  EXPECT_EQ(Scene().LoopCount, 65535);
  Child<QComboBox>(form, "LoopingComboBox")->setCurrentText("-4");
  EXPECT_EQ(Scene().LoopCount, -1);
}

TEST_F(MainFormPlayback, TheNumberOfStepsRecordsAndUndoes) {
  TMainForm& form = StartPages();
  const std::int32_t before = Scene().StepCount;
  Child<TSpinEdit>(form, "SpinEditNumberOfFrames")->SetText("77");
  EXPECT_EQ(Scene().StepCount, 77);
  EXPECT_EQ(Log().Caption(), "Change Number of Steps");
  Log().Undo();
  EXPECT_EQ(Scene().StepCount, before);
}

TEST_F(MainFormPlayback, PresetSizesResizeTheAnimationAndMarkItModified) {
  TMainForm& form = StartPages();
  Document().SetModified(false);
  Command(form, "Veiw_400x40")->trigger();
  Document().ResizeTimerTimer();
  EXPECT_EQ(Scene().Width, 88);
  EXPECT_EQ(Scene().Height, 62);
  EXPECT_TRUE(Document().Modified());
  EXPECT_EQ(Child<TSpinEdit>(form, "WidthPixels")->Value(), 88);
  Command(form, "View_468x60")->trigger();
  Document().ResizeTimerTimer();
  EXPECT_EQ(Scene().Width, 468);
  EXPECT_EQ(Scene().Height, 60);
  Command(form, "View_400x50")->trigger();
  Document().ResizeTimerTimer();
  EXPECT_EQ(Scene().Width, 125);
  EXPECT_EQ(Scene().Height, 125);
}

// A typed size applies once the typing pauses; one the project reader
// refuses is refused once, before any picture of it is made.
TEST_F(MainFormPlayback, TypedSizesApplyOncePerBurstAndARefusedSizeIsNeverAllocated) {
  TMainForm& form = StartPages();
  Child<TSpinEdit>(form, "WidthPixels")->SetText("65000");
  Editor(form).Playback().TimerSceneSizeTimer();
  Document().ResizeTimerTimer();
  ASSERT_EQ(Scene().Width, 65000);
  const std::string before = Log().Caption();
  Child<TSpinEdit>(form, "HeightPixels")->selectAll();
  QTest::keyClicks(Child<TSpinEdit>(form, "HeightPixels"), "60000");
  EXPECT_EQ(Scene().Height, 60) << "6, 60, 600 and 6000 never apply";
  Editor(form).Playback().TimerSceneSizeTimer();
  Document().ResizeTimerTimer();
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, SizeRefusedMessage(65000, 60000));
  EXPECT_EQ(Scene().Height, 60);
  EXPECT_EQ(Child<TSpinEdit>(form, "HeightPixels")->Value(), 60) << "the page shows the real size";
  EXPECT_EQ(Log().Caption(), before);
}

}  // namespace
