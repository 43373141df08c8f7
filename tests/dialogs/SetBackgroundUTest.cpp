#include "dialogs/SetBackgroundU.h"

#include "dialogs/core/SizeLimits.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/support/ScriptedModalRunner.h"
#include "tests/support/ScriptedUiServices.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

TEST(SetBackgroundFrm, ShowsTheScenesSizeAtHundredPercentWithTheRatioKept) {
  TSetBackgroundFrm form(468, 60);
  EXPECT_EQ(form.objectName(), "SetBackgroundFrm");
  EXPECT_EQ(form.windowTitle(), "Animation Size");
  EXPECT_EQ(form.MaintainRatio->text(), "Maintain aspect ratio");
  EXPECT_EQ(form.HelpBtn->text(), "&Help");
  EXPECT_EQ(form.WidthPixels->MinValue(), 1);
  EXPECT_EQ(form.WidthPixels->MaxValue(), 65000);
  EXPECT_EQ(form.HeightPixels->MaxValue(), 65000);
  EXPECT_EQ(form.PercentOfStretch->MaxValue(), 10000);
  EXPECT_EQ(form.PercentOfHeight->MinValue(), 1);
  EXPECT_EQ(form.BaseWidth, 468);
  EXPECT_EQ(form.BaseHeight, 60);
  form.MaintainRatio->setChecked(false);
  form.show();
  EXPECT_EQ(form.WidthPixels->Text(), "468");
  EXPECT_EQ(form.HeightPixels->Text(), "60");
  EXPECT_EQ(form.PercentOfStretch->Text(), "100");
  EXPECT_EQ(form.PercentOfHeight->Text(), "100");
  EXPECT_TRUE(form.MaintainRatio->isChecked()) << "showing ticks the ratio box again";
}

TEST(SetBackgroundFrm, FiftyPercentOfTheWidthGivesHalfTheSceneWithTheRatioKept) {
  TSetBackgroundFrm form(468, 60);
  form.show();
  TypeInto(*form.PercentOfStretch, "50");
  EXPECT_EQ(form.WidthPixels->Value(), 234);
  EXPECT_EQ(form.HeightPixels->Value(), 30);
  EXPECT_EQ(form.PercentOfHeight->Value(), 50);
}

TEST(SetBackgroundFrm, PixelsTypedGiveTheirPercentToBothDimensions) {
  TSetBackgroundFrm form(468, 60);
  form.show();
  TypeInto(*form.WidthPixels, "234");
  EXPECT_EQ(form.PercentOfStretch->Value(), 50);
  EXPECT_EQ(form.PercentOfHeight->Value(), 50);
  EXPECT_EQ(form.HeightPixels->Value(), 30);
  // The height's per cent passes to the width too.
  TypeInto(*form.PercentOfHeight, "200");
  EXPECT_EQ(form.HeightPixels->Value(), 120);
  EXPECT_EQ(form.WidthPixels->Value(), 936);
}

TEST(SetBackgroundFrm, HundredPercentRestoresTheExactWidth) {
  TSetBackgroundFrm form(301, 100);
  form.show();
  TypeInto(*form.PercentOfStretch, "33");
  EXPECT_EQ(form.WidthPixels->Value(), 99);
  // 99 pixels would round back to 33 %, never to 301: 100 % is the base itself.
  TypeInto(*form.PercentOfStretch, "100");
  EXPECT_EQ(form.WidthPixels->Value(), 301);
  EXPECT_EQ(form.HeightPixels->Value(), 100);
}

TEST(SetBackgroundFrm, WithoutTheRatioEachDimensionFollowsOnlyItsOwnPercent) {
  TSetBackgroundFrm form(468, 60);
  form.show();
  form.MaintainRatio->setChecked(false);
  TypeInto(*form.PercentOfStretch, "50");
  EXPECT_EQ(form.WidthPixels->Value(), 234);
  EXPECT_EQ(form.HeightPixels->Value(), 60);
  EXPECT_EQ(form.PercentOfHeight->Value(), 100);
}

TEST(SetBackgroundFrm, ACanvasTheReaderCouldNotReopenIsRefusedAndTheDialogStaysOpen) {
  ScriptedUiServices ui;
  TSetBackgroundFrm form(468, 60);
  form.show();
  form.MaintainRatio->setChecked(false);
  TypeInto(*form.WidthPixels, "8193");
  TypeInto(*form.HeightPixels, "8193");
  form.OkBtn->click();
  EXPECT_TRUE(form.isVisible());
  EXPECT_NE(form.result(), QDialog::Accepted);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, SizeRefusedMessage(8193, 8193));
  EXPECT_EQ(ui.messages[0].caption, "Error");
  EXPECT_EQ(ui.messages[0].flags & MB_ICONMASK, unsigned{MB_ICONERROR});
  // 8192 x 8192 is 2^26 pixels: it can be reopened.
  TypeInto(*form.HeightPixels, "8192");
  TypeInto(*form.WidthPixels, "8192");
  form.OkBtn->click();
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(ui.messages.size(), 1u);
}

TEST(SetBackgroundFrm, OkRefusesAnEmptySizeField) {
  ScriptedUiServices ui;
  TSetBackgroundFrm form(468, 60);
  form.show();
  TypeInto(*form.HeightPixels, "");
  QTest::keyClick(form.HeightPixels, Qt::Key_Return);
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(ui.beeps, 1);
  EXPECT_TRUE(ui.messages.empty());
}

TEST(SetBackgroundFrm, EnterAnswersOkEscClosesAndF1OpensTheBackgroundTopic) {
  HelpPages help({"background"});
  TSetBackgroundFrm form(468, 60);
  form.show();
  QTest::keyClick(form.WidthPixels, Qt::Key_F1);
  EXPECT_TRUE(form.isVisible());
  form.HelpBtn->click();
  EXPECT_EQ(help.shell.opened, (std::vector<std::string>{help.Page("background"), help.Page("background")}));
  QTest::keyClick(form.WidthPixels, Qt::Key_Escape);
  EXPECT_EQ(form.result(), QDialog::Rejected);
  EXPECT_FALSE(form.isVisible());

  TSetBackgroundFrm other(468, 60);
  other.show();
  QTest::keyClick(other.WidthPixels, Qt::Key_Return);
  EXPECT_EQ(other.result(), QDialog::Accepted);
}

TEST(SetBackgroundFrm, TheCallerReadsThePixelFieldsAfterAScriptedOk) {
  ScriptedModalRunner forms;
  forms.Expect("SetBackgroundFrm").Fill("WidthPixels", "200").Press("OkBtn");
  TSetBackgroundFrm form(468, 60);
  ASSERT_EQ(ShowModal(form), mrOk);
  EXPECT_EQ(form.WidthPixels->Value(), 200);
  EXPECT_EQ(form.HeightPixels->Value(), 26);  // 43 % of 60 is 25.8
  EXPECT_EQ(form.PercentOfStretch->Value(), 43);
}

}  // namespace
