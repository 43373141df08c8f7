#include "dialogs/USetStepFrm.h"

#include "controls/My_SpinEdit.h"
#include "controls/TrackBar.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/support/ScriptedModalRunner.h"
#include "tests/support/ScriptedUiServices.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <climits>

namespace {

TEST(SetStepFrm, AHundredStepSceneAllowsStepsOneToNinetyNine) {
  TSetStepFrm form(100, 7);
  EXPECT_EQ(form.objectName(), "SetStepFrm");
  EXPECT_EQ(form.windowTitle(), "Step");
  EXPECT_EQ(form.StepLabel->text(), "Step Number:");
  EXPECT_EQ(form.OkBtn->text(), "&Ok");
  EXPECT_EQ(form.CancelBtn->text(), "&Cancel");
  EXPECT_EQ(form.StepSpinEdit->MinValue(), 1);
  EXPECT_EQ(form.StepSpinEdit->MaxValue(), 99);
  EXPECT_EQ(form.StepTrackBar->Min(), 1);
  EXPECT_EQ(form.StepTrackBar->Max(), 99);
  EXPECT_EQ(form.StepSpinEdit->Value(), 7);
  EXPECT_EQ(form.StepTrackBar->Position(), 7);
  form.show();
  EXPECT_EQ(form.MaxLabel->text(), "99");
}

TEST(SetStepFrm, TheCurrentStepIsKeptWithinTheRange) {
  EXPECT_EQ(TSetStepFrm(100, 0).StepSpinEdit->Value(), 1);
  EXPECT_EQ(TSetStepFrm(100, 500).StepSpinEdit->Value(), 99);
  // One step leaves nothing else to go to: the range is 1..1, not the track
  // bar's own 0..10 that a maximum of 0 would leave in place.
  TSetStepFrm single(1, 1);
  EXPECT_EQ(single.StepTrackBar->Max(), 1);
  EXPECT_EQ(single.StepSpinEdit->MaxValue(), 1);
  EXPECT_EQ(single.StepSpinEdit->Value(), 1);
}

TEST(SetStepFrm, SpinEditAndTrackBarFollowEachOther) {
  TSetStepFrm form(100, 7);
  form.show();
  TypeInto(*form.StepSpinEdit, "42");
  EXPECT_EQ(form.StepTrackBar->Position(), 42);
  form.StepTrackBar->setFocus();
  QTest::keyClick(form.StepTrackBar, Qt::Key_End);
  EXPECT_EQ(form.StepSpinEdit->Text(), "99");
  // A number above the range moves the bar to its end, which puts the field right.
  TypeInto(*form.StepSpinEdit, "150");
  EXPECT_EQ(form.StepTrackBar->Position(), 99);
  EXPECT_EQ(form.StepSpinEdit->Text(), "99");
}

TEST(SetStepFrm, EnterAnswersOkAndEscCloses) {
  TSetStepFrm form(100, 7);
  form.show();
  TypeInto(*form.StepSpinEdit, "12");
  QTest::keyClick(form.StepSpinEdit, Qt::Key_Return);
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(form.StepSpinEdit->Value(), 12);

  TSetStepFrm other(100, 7);
  other.show();
  QTest::keyClick(other.StepSpinEdit, Qt::Key_Escape);
  EXPECT_FALSE(other.isVisible());
  EXPECT_EQ(other.result(), QDialog::Rejected);
}

TEST(SetStepFrm, OkRefusesAFieldThatHoldsNoStep) {
  ScriptedUiServices ui;
  TSetStepFrm form(100, 7);
  form.show();
  // An empty field reads as half its range (49): OK must not take that.
  TypeInto(*form.StepSpinEdit, "");
  QTest::keyClick(form.StepSpinEdit, Qt::Key_Return);
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(ui.beeps, 1);
  form.OkBtn->click();
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(ui.beeps, 2);
  // 0 moves the track bar to its minimum, which puts the field right.
  TypeInto(*form.StepSpinEdit, "0");
  EXPECT_EQ(form.StepSpinEdit->Text(), "1");
  TypeInto(*form.StepSpinEdit, "5");
  form.OkBtn->click();
  EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST(SetStepFrm, TheCallerReadsTheStepAfterAScriptedOk) {
  ScriptedModalRunner forms;
  forms.Expect("SetStepFrm").Fill("StepSpinEdit", "7").Press("OkBtn");
  forms.Expect("SetStepFrm").Fill("StepSpinEdit", "9").Press("CancelBtn");
  TSetStepFrm form(100, 1);
  EXPECT_EQ(ShowModal(form), mrOk);
  EXPECT_EQ(form.StepSpinEdit->Value(), 7);
  EXPECT_EQ(form.StepTrackBar->Position(), 7);
  TSetStepFrm cancelled(100, 1);
  EXPECT_EQ(ShowModal(cancelled), mrCancel);
  ASSERT_EQ(forms.shown.size(), 2u);
  EXPECT_EQ(forms.shown[0].caption, "Step");
}

TEST(SetStepFrm, AHugeStepCountKeepsTheTicksApart) {
  EXPECT_EQ(TickFrequency(98, 240), 5);
  EXPECT_EQ(TickFrequency(10, 240), 1);
  EXPECT_EQ(TickFrequency(0, 240), 1);
  EXPECT_EQ(TickFrequency(INT_MAX, 240), 100000000);
  TSetStepFrm form(INT_MAX, 5);
  EXPECT_EQ(form.StepSpinEdit->MaxValue(), INT_MAX - 1);
  EXPECT_EQ(form.StepTrackBar->Frequency(), 100000000);
  form.show();
  EXPECT_FALSE(form.StepTrackBar->grab().isNull());  // painting ends
}

}  // namespace
