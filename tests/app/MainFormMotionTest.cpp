// The motion and appearance pages of the main window, driven through their
// lists, edits and commands.
#include "tests/app/MainFormPagesFixture.h"
#include "tests/support/FindChild.h"

#include "controls/My_SpinEdit.h"
#include "controls/UTimelineSlider.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTest>
#include <QTreeWidget>

namespace {

class MainFormMotion : public MainFormPagesTest {
 protected:
  // A current sprite with a linear step and a fixed step, its motion page shown.
  TSprite& SpriteWithSteps(TPagesMainForm& form) {
    const TUndoRecordingPause pause;
    int index = 0;
    TSprite& sprite = *Scene().AddSprite(index);
    TMovingStepValues linear;
    linear.Kind = mskLine;
    linear.StartX = 10;
    linear.StartY = 20;
    linear.X1 = 10;
    linear.Y1 = 20;
    linear.X2 = 100;
    linear.Y2 = 40;
    linear.SpeedStart = 0.5;
    linear.SpeedEnd = 2;
    sprite.Motion().AddStepWith(linear, &sprite);
    TMovingStepValues fixed;
    fixed.StartX = 7;
    fixed.StartY = 8;
    sprite.Motion().AddStepWith(fixed, &sprite);
    form.ChooseSprite(&sprite);
    Child<QStackedWidget>(form, "Notebook_Properties")->setCurrentIndex(ppMotion);
    Editor(form).Motion().LoadMotionPage();
    return sprite;
  }
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
  static QString RowText(QTreeWidget* list, int row, int column) { return list->topLevelItem(row)->text(column); }
};

TEST_F(MainFormMotion, TheListShowsOneRowPerStepWithTheDesignColumns) {
  TPagesMainForm& form = StartPages();
  SpriteWithSteps(form);
  QTreeWidget* list = Child<QTreeWidget>(form, "MovingList");
  ASSERT_EQ(list->topLevelItemCount(), 2);
  QStringList headers;
  for (int i = 0; i < list->columnCount(); ++i) headers << list->headerItem()->text(i);
  EXPECT_EQ(headers, (QStringList{" ", "Type of motion", "Start pos.", "Finish pos.", "Start speed", "Finish speed"}));
  EXPECT_EQ(RowText(list, 0, 1), "Linear");
  EXPECT_EQ(RowText(list, 0, 2), "10, 20");
  EXPECT_EQ(RowText(list, 0, 3), "100, 40");
  EXPECT_EQ(RowText(list, 1, 1), "Fixed Position");
  EXPECT_EQ(RowText(list, 1, 3), "-----");
  EXPECT_TRUE(Log().Empty());
}

TEST_F(MainFormMotion, ClickingRowsFillsThePageAndWritesNothing) {
  TPagesMainForm& form = StartPages();
  SpriteWithSteps(form);
  ClickRow(Child<QTreeWidget>(form, "MovingList"), 1);
  EXPECT_EQ(Child<QStackedWidget>(form, "NotebookTop")->currentIndex(), 1);
  EXPECT_EQ(Child<QLineEdit>(form, "FixPosX")->text(), "7");
  EXPECT_EQ(Child<TSpinEdit>(form, "NumbOfFixedSteps")->Value(), 10);
  EXPECT_TRUE(Command(form, "Motion_Fixed")->isChecked());
  ClickRow(Child<QTreeWidget>(form, "MovingList"), 0);
  EXPECT_EQ(Child<QStackedWidget>(form, "NotebookTop")->currentIndex(), 0);
  EXPECT_EQ(Child<QLineEdit>(form, "FirstX")->text(), "10");
  EXPECT_EQ(Child<QLineEdit>(form, "StartSpeedEdit")->text(), "0.5");
  EXPECT_TRUE(Child<QGroupBox>(form, "GroupBox_Speed")->isVisibleTo(&form));
  EXPECT_FALSE(Editor(form).Motion().TimerRedraw().Enabled());
  Editor(form).Motion().TimerRedrawTimer();
  EXPECT_TRUE(Log().Empty());
}

TEST_F(MainFormMotion, QuickXAndYEditsRecordOneChangeMotionAndKeepAHalfSpeed) {
  TPagesMainForm& form = StartPages();
  TSprite& sprite = SpriteWithSteps(form);
  ClickRow(Child<QTreeWidget>(form, "MovingList"), 0);
  Type(Child<QLineEdit>(form, "FirstX"), "30");
  Type(Child<QLineEdit>(form, "FirstY"), "25");
  EXPECT_TRUE(Editor(form).Motion().TimerRedraw().Enabled());
  EXPECT_EQ(Editor(form).Motion().TimerRedraw().Interval(), 200);
  EXPECT_TRUE(Log().Empty());
  Editor(form).Motion().TimerRedrawTimer();
  const TMovingStep& step = sprite.Motion().Step(0);
  EXPECT_EQ(step.StartX, 30.0);
  EXPECT_EQ(step.StartY, 25.0);
  EXPECT_EQ(step.SpeedStart, 0.5);
  EXPECT_EQ(RowText(Child<QTreeWidget>(form, "MovingList"), 0, 2), "30, 25");
  EXPECT_EQ(Log().Caption(), "Change Motion");
  Log().Undo();
  EXPECT_TRUE(Log().Empty());
}

TEST_F(MainFormMotion, APendingEditIsAppliedToItsOwnRowBeforeAnotherRowIsShown) {
  TPagesMainForm& form = StartPages();
  TSprite& sprite = SpriteWithSteps(form);
  ClickRow(Child<QTreeWidget>(form, "MovingList"), 0);
  Type(Child<QLineEdit>(form, "FirstX"), "44");
  Editor(form).Motion().LoadMotionPage();
  EXPECT_EQ(sprite.Motion().Step(0).StartX, 44.0);
  EXPECT_EQ(sprite.Motion().Step(1).StartX, 7.0);
  Type(Child<QLineEdit>(form, "FirstY"), "33");
  ClickRow(Child<QTreeWidget>(form, "MovingList"), 1);
  EXPECT_EQ(sprite.Motion().Step(0).StartY, 33.0);
  EXPECT_EQ(sprite.Motion().Step(1).StartX, 7.0);
  EXPECT_EQ(sprite.Motion().Step(1).StartY, 8.0);
  EXPECT_EQ(Child<QLineEdit>(form, "FixPosX")->text(), "7");
}

TEST_F(MainFormMotion, EditingABounceStepOnThePageChangesNothing) {
  TPagesMainForm& form = StartPages();
  TSprite& sprite = SpriteWithSteps(form);
  {
    const TUndoRecordingPause pause;
    TMovingStepValues bounce = sprite.Motion().Step(0).Values();
    bounce.Kind = mskBounce;
    sprite.Motion().ChangeStep(0, bounce, &sprite);
  }
  Editor(form).Motion().LoadMotionPage();
  ClickRow(Child<QTreeWidget>(form, "MovingList"), 0);
  Type(Child<QLineEdit>(form, "FirstX"), "99");
  Editor(form).Motion().TimerRedrawTimer();
  EXPECT_EQ(sprite.Motion().Step(0).StartX, 10.0);
  EXPECT_TRUE(Log().Empty());
}

TEST_F(MainFormMotion, AFixedPositionForeverShowsOneSize) {
  TPagesMainForm& form = StartPages();
  SpriteWithSteps(form);
  ClickRow(Child<QTreeWidget>(form, "MovingList"), 1);
  EXPECT_FALSE(Child<QGroupBox>(form, "FinishSizeGroupBox")->isHidden());
  EXPECT_EQ(Child<QGroupBox>(form, "StartSuzeGroupBox")->title(), " Start Size ");
  QTest::mouseClick(Child<QCheckBox>(form, "StayFixForever"), Qt::LeftButton, {},
                    QPoint(5, Child<QCheckBox>(form, "StayFixForever")->height() / 2));
  EXPECT_TRUE(Child<QGroupBox>(form, "FinishSizeGroupBox")->isHidden());
  EXPECT_EQ(Child<QGroupBox>(form, "StartSuzeGroupBox")->title(), " Size ");
  EXPECT_FALSE(Child<TSpinEdit>(form, "NumbOfFixedSteps")->isEnabled());
  Editor(form).Motion().TimerRedrawTimer();
  EXPECT_EQ(Editor(form).CurrentSprite()->Motion().Step(1).Duration, -1);
}

TEST_F(MainFormMotion, AddDeleteUpAndDownRecordOneEntryEach) {
  TPagesMainForm& form = StartPages();
  TSprite& sprite = SpriteWithSteps(form);
  Command(form, "Motion_AddFixed")->trigger();
  ASSERT_EQ(sprite.Motion().StepCount(), 3);
  EXPECT_EQ(sprite.Motion().Step(2).Kind, mskHold);
  EXPECT_EQ(Child<QTreeWidget>(form, "MovingList")->topLevelItemCount(), 3);
  EXPECT_EQ(Log().Caption(), "Add Motion");
  Log().Undo();
  EXPECT_TRUE(Log().Empty());

  Editor(form).Motion().LoadMotionPage();
  ClickRow(Child<QTreeWidget>(form, "MovingList"), 0);
  Command(form, "Motion_Up")->trigger();  // the first row cannot go up
  EXPECT_TRUE(Log().Empty());
  Command(form, "Motion_Down")->trigger();
  EXPECT_EQ(Editor(form).CurrentSprite()->Motion().Step(1).Kind, mskLine);
  EXPECT_EQ(RowText(Child<QTreeWidget>(form, "MovingList"), 1, 1), "Linear");
  EXPECT_EQ(Log().Caption(), "Motion Move Down");
  Command(form, "Motion_Down")->trigger();  // now the last row
  EXPECT_EQ(Log().Caption(), "Motion Move Down");
  Command(form, "Motion_Up")->trigger();
  EXPECT_EQ(Log().Caption(), "Motion Move Up");
  Log().Undo();
  Log().Undo();
  EXPECT_TRUE(Log().Empty());
  EXPECT_EQ(Scene().Sprite(0).Motion().Step(0).Kind, mskLine);

  form.ChooseSprite(&Scene().Sprite(0));
  Editor(form).Motion().LoadMotionPage();
  ClickRow(Child<QTreeWidget>(form, "MovingList"), 1);
  Command(form, "Motion_Delete")->trigger();
  EXPECT_EQ(Editor(form).CurrentSprite()->Motion().StepCount(), 1);
  EXPECT_EQ(Child<QTreeWidget>(form, "MovingList")->topLevelItemCount(), 1);
  EXPECT_EQ(Log().Caption(), "Delete Motion");
}

TEST_F(MainFormMotion, MarkersFollowTheStepShownAndRecordingComesBack) {
  TPagesMainForm& form = StartPages();
  TSprite& sprite = SpriteWithSteps(form);
  sprite.Motion().SetCurrentStepIndex(1);
  Editor(form).Motion().SetSteppedByHand(true);
  Editor(form).Motion().MarkCurrentMotionStep();
  EXPECT_EQ(RowText(Child<QTreeWidget>(form, "MovingList"), 0, 0), " ");
  EXPECT_EQ(RowText(Child<QTreeWidget>(form, "MovingList"), 1, 0), "->");
  EXPECT_EQ(Log().RecordingAllowed, 1);
  {
    const TUndoRecordingPause pause;
    Editor(form).Motion().MarkCurrentMotionStep();
    EXPECT_EQ(Log().RecordingAllowed, 0);
  }
  EXPECT_EQ(Log().RecordingAllowed, 1);
}

TEST_F(MainFormMotion, AnEditOfAnEmptyMotionPageMakesTheFirstStepAsOneEntry) {
  TPagesMainForm& form = StartPages();
  int index = 0;
  TSprite* sprite = nullptr;
  {
    const TUndoRecordingPause pause;
    sprite = Scene().AddSprite(index);
  }
  form.ChooseSprite(sprite);
  Child<QStackedWidget>(form, "Notebook_Properties")->setCurrentIndex(ppMotion);
  Editor(form).Motion().LoadMotionPage();
  ASSERT_EQ(Child<QTreeWidget>(form, "MovingList")->topLevelItemCount(), 0);
  // Without steps the kind commands are off: the page's own edits make the step.
  EXPECT_FALSE(Command(form, "Motion_Fixed")->isEnabled());
  EXPECT_FALSE(Command(form, "Motion_Linear")->isEnabled());
  Child<QLineEdit>(form, "FixPosX")->setText("15");
  Editor(form).Motion().TimerRedrawTimer();
  ASSERT_EQ(sprite->Motion().StepCount(), 1);
  EXPECT_EQ(Child<QTreeWidget>(form, "MovingList")->topLevelItemCount(), 1);
  EXPECT_EQ(sprite->Motion().Step(0).Kind, mskHold);
  EXPECT_EQ(sprite->Motion().Step(0).StartX, 15.0);
  EXPECT_EQ(Log().Caption(), "Add Motion");
  EXPECT_TRUE(Command(form, "Motion_Fixed")->isEnabled());
  Child<QLineEdit>(form, "FixPosX")->setText("20");
  Editor(form).Motion().TimerRedrawTimer();
  EXPECT_EQ(sprite->Motion().Step(0).StartX, 20.0);
  EXPECT_EQ(Log().Caption(), "Change Motion");
  Log().Undo();
  Log().Undo();
  EXPECT_TRUE(Log().Empty());
  EXPECT_EQ(Scene().Sprite(0).Motion().StepCount(), 0);
}

// ---- Appearance ----

TEST_F(MainFormMotion, AddAppearanceRecordsOneEntryFromTheCurrentStepToTheEnd) {
  TPagesMainForm& form = StartPages();
  TSprite& sprite = SpriteWithSteps(form);
  Scene().StepCount = 50;
  Scene().GotoFrame(13);
  Command(form, "Appearance_Add")->trigger();
  ASSERT_EQ(sprite.IntervalCount(), 1);
  EXPECT_EQ(sprite.Interval(0).StartStep, 12);
  EXPECT_EQ(sprite.Interval(0).EndStep, 50);
  EXPECT_EQ(Child<QTreeWidget>(form, "AppearanceList")->topLevelItemCount(), 1);
  EXPECT_EQ(RowText(Child<QTreeWidget>(form, "AppearanceList"), 0, 1), "12");
  EXPECT_EQ(RowText(Child<QTreeWidget>(form, "AppearanceList"), 0, 2), "50");
  EXPECT_EQ(Child<TSpinEdit>(form, "StartSpin")->Value(), 12);
  EXPECT_EQ(Log().Caption(), "Add Appearance");
  Log().Undo();
  EXPECT_TRUE(Log().Empty());
}

TEST_F(MainFormMotion, TheStartSpinChangesTheSelectedInterval) {
  TPagesMainForm& form = StartPages();
  TSprite& sprite = SpriteWithSteps(form);
  {
    const TUndoRecordingPause pause;
    sprite.AddInterval(5, 30);
  }
  Editor(form).Motion().LoadAppearancePage();
  EXPECT_TRUE(Log().Empty());
  Child<TSpinEdit>(form, "StartSpin")->SetText("9");
  EXPECT_EQ(sprite.Interval(0).StartStep, 9);
  EXPECT_EQ(RowText(Child<QTreeWidget>(form, "AppearanceList"), 0, 1), "9");
  EXPECT_EQ(Log().Caption(), "Change Start Step");
  EXPECT_TRUE(Editor(form).Motion().TimerRedrawScene().Enabled());
}

TEST_F(MainFormMotion, APlainPressOnTheTimeLineRecordsNothingAndABarDragIsOneUndo) {
  TPagesMainForm& form = StartPages();
  TSprite& sprite = SpriteWithSteps(form);
  {
    const TUndoRecordingPause pause;
    sprite.AddInterval(5, 30);
  }
  Editor(form).Motion().LoadAppearancePage();
  Scene().StepCount = 100;
  TTimelineSlider& slider = *Child<TTimelineSlider>(form, "StepsTrackBar");
  slider.SetMax(100);
  slider.setFixedWidth(220);
  const int y = slider.height() / 2;
  // A press and release on the scale records nothing.
  QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(slider.StepToX(60), y));
  EXPECT_TRUE(Log().Empty());

  // The start grip dragged from step 5 to about step 12.
  ASSERT_EQ(slider.HitTest(slider.StepToX(5)).part, tlpStartGrip);
  QTest::mouseMove(&slider, QPoint(slider.StepToX(5), y));
  QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(slider.StepToX(5), y));
  QTest::mouseMove(&slider, QPoint(slider.StepToX(9), y));
  QTest::mouseMove(&slider, QPoint(slider.StepToX(12), y));
  QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(slider.StepToX(12), y));
  ASSERT_GT(sprite.Interval(0).StartStep, 5);
  EXPECT_EQ(Child<TSpinEdit>(form, "StartSpin")->Value(), sprite.Interval(0).StartStep);
  EXPECT_EQ(Log().Caption(), "Change Appearance");
  Log().Undo();
  EXPECT_TRUE(Log().Empty());
  EXPECT_EQ(Scene().Sprite(0).Interval(0).StartStep, 5);
}

// Closing the document in the middle of a bar drag ends the drag while its
// undo log still exists: the drag's late end touches nothing of it (the
// sanitizer build sees any access to the freed log), and the next document records.
TEST_F(MainFormMotion, ADocumentClosedDuringABarDragTakesTheDragWithIt) {
  TPagesMainForm& form = StartPages();
  TSprite& sprite = SpriteWithSteps(form);
  {
    const TUndoRecordingPause pause;
    sprite.AddInterval(5, 30);
  }
  Editor(form).Motion().LoadAppearancePage();
  TTimelineSlider& slider = *Child<TTimelineSlider>(form, "StepsTrackBar");
  QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(slider.StepToX(5), slider.height() / 2));
  ASSERT_TRUE(Editor(form).Playback().AppearanceDragPending());
  Document().SetModified(false);
  Document().close();
  ProcessMessages();
  EXPECT_FALSE(Editor(form).Playback().AppearanceDragPending());
  Editor(form).Playback().StepsTrackBarMouseUp();
  Command(form, "File_New")->trigger();
  Command(form, "Scene_Add_Rectangle")->trigger();
  EXPECT_EQ(Log().Caption(), "Add Sprite");
}

TEST_F(MainFormMotion, AppearanceMarkersFollowTheStep) {
  TPagesMainForm& form = StartPages();
  TSprite& sprite = SpriteWithSteps(form);
  {
    const TUndoRecordingPause pause;
    sprite.AddInterval(5, 10);
    sprite.AddInterval(20, 30);
  }
  Editor(form).Motion().LoadAppearancePage();
  Scene().CurrentStep = 25;
  Editor(form).Motion().MarkCurrentAppearance();
  EXPECT_EQ(RowText(Child<QTreeWidget>(form, "AppearanceList"), 0, 0), " ");
  EXPECT_EQ(RowText(Child<QTreeWidget>(form, "AppearanceList"), 1, 0), "->");
  Scene().CurrentStep = 15;
  Editor(form).Motion().MarkCurrentAppearance();
  EXPECT_EQ(RowText(Child<QTreeWidget>(form, "AppearanceList"), 1, 0), " ");
}

}  // namespace
