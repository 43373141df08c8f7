#include "dialogs/RotationFormU.h"

#include "controls/Bitmpbtn.h"
#include "controls/My_SpinEdit.h"
#include "controls/RadioGroup.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/support/ScriptedModalRunner.h"
#include "tests/support/ScriptedUiServices.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

TEST(RotationForm, HasTheAngleDirectionPaperColourAndScopeWithTheirHints) {
  TRotationForm form;
  EXPECT_EQ(form.objectName(), "RotationForm");
  EXPECT_EQ(form.windowTitle(), "Custom Rotate");
  EXPECT_EQ(form.AngleLabel->text(), "&Angle:");
  EXPECT_EQ(form.SpinAngle->MinValue(), 0);
  EXPECT_EQ(form.SpinAngle->MaxValue(), 359);
  EXPECT_EQ(form.SpinAngle->Text(), "0");
  EXPECT_EQ(form.RadioDirection->title(), " Direction: ");
  ASSERT_EQ(form.RadioDirection->Count(), 2);
  EXPECT_EQ(form.RadioDirection->Button(0)->text(), "&Clockwise");
  EXPECT_EQ(form.RadioDirection->Button(1)->text(), "Counter-Clock&wise");
  EXPECT_EQ(form.RadioDirection->ItemIndex(), 0);
  EXPECT_EQ(form.ButtonPaperColor->Caption(), "Paper Color...");
  EXPECT_EQ(form.CheckBoxOnlyCurrentFrame->text(), "Only current frame");
  EXPECT_FALSE(form.CheckBoxOnlyCurrentFrame->isChecked());
  EXPECT_EQ(form.SpinAngle->toolTip(), "Displays the angle of rotation. Type a value in the box.");
  EXPECT_EQ(form.RadioDirection->toolTip(), "Click to rotate the image Clockwise or Counter-Clockwise.");
  EXPECT_EQ(form.ButtonPaperColor->toolTip(),
            "Click a color from the Paper Color picker to choose the paper color that becomes visible as a result "
            "of the rotation.");
  EXPECT_EQ(form.OkBtn->text(), "&Ok");
  EXPECT_EQ(form.CancelBtn->text(), "&Cancel");
  EXPECT_EQ(form.HelpBtn->text(), "&Help");
}

TEST(RotationForm, ThePaperColourButtonOpensTheChooserOnItsColour) {
  ScriptedUiServices ui;
  ui.colorAnswers = {TColor{0x123456}, std::nullopt};
  TRotationForm form;
  form.ButtonPaperColor->SetButtonColor(clYellow);
  form.show();
  QTest::mouseClick(form.ButtonPaperColor, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(form.ButtonPaperColor->ButtonColor(), TColor{0x123456});
  form.ButtonPaperColorClick();  // cancelled: the colour stays
  EXPECT_EQ(form.ButtonPaperColor->ButtonColor(), TColor{0x123456});
  EXPECT_EQ(ui.colorRequests, (std::vector<TColor>{clYellow, TColor{0x123456}}));
}

TEST(RotationForm, ThePaperColoursCaptionStaysReadableOnLightAndDarkColours) {
  ScriptedUiServices ui;
  ui.colorAnswers = {clNavy};
  TRotationForm form;
  form.show();  // white paper at first
  EXPECT_EQ(form.ButtonPaperColor->TextColor(), clBlack);
  EXPECT_EQ(form.ButtonPaperColor->TextShadowShift(), 0);
  form.ButtonPaperColorClick();
  EXPECT_EQ(form.ButtonPaperColor->TextColor(), clWhite);
  EXPECT_EQ(form.ButtonPaperColor->TextShadowShift(), 1);
}

TEST(RotationForm, TheCallerReadsAngleDirectionColourAndScopeAfterAScriptedOk) {
  ScriptedModalRunner forms;
  forms.Expect("RotationForm")
      .Fill("SpinAngle", "45")
      .Fill("RadioDirection_1", true)
      .Fill("CheckBoxOnlyCurrentFrame", true)
      .Press("OkBtn");
  TRotationForm form;
  form.ButtonPaperColor->SetButtonColor(clRed);
  ASSERT_EQ(ShowModal(form), mrOk);
  EXPECT_EQ(form.SpinAngle->Value(), 45);
  EXPECT_EQ(form.RadioDirection->ItemIndex(), 1);
  EXPECT_TRUE(form.CheckBoxOnlyCurrentFrame->isChecked());
  EXPECT_EQ(form.ButtonPaperColor->ButtonColor(), clRed);
}

TEST(RotationForm, OkRefusesAnAngleOutsideItsRangeAndEnterAnswersOk) {
  ScriptedUiServices ui;
  TRotationForm form;
  form.show();
  TypeInto(*form.SpinAngle, "");
  form.OkBtn->click();
  EXPECT_TRUE(form.isVisible()) << "an empty angle would read as 179 degrees";
  TypeInto(*form.SpinAngle, "400");
  QTest::keyClick(form.SpinAngle, Qt::Key_Return);
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(ui.beeps, 2);
  TypeInto(*form.SpinAngle, "90");
  QTest::keyClick(form.SpinAngle, Qt::Key_Return);
  EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST(RotationForm, HelpOpensTheRotatingTopicAndEscCloses) {
  HelpPages help({"Rotating"});
  TRotationForm form;
  form.show();
  form.HelpBtn->click();
  EXPECT_EQ(help.shell.opened, std::vector<std::string>{help.Page("Rotating")});
  QTest::keyClick(form.SpinAngle, Qt::Key_Escape);
  EXPECT_EQ(form.result(), QDialog::Rejected);
}

}  // namespace
