#include "dialogs/StretchFormU.h"

#include "controls/RadioGroup.h"
#include "dialogs/core/SizeLimits.h"
#include "tests/dialogs/DialogTestSupport.h"
#include "tests/support/ScriptedModalRunner.h"
#include "tests/support/ScriptedUiServices.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

// What Effects > Resize presets: the first frame's size as base and as new size.
void Preset(TStretchForm& form, int width, int height) {
  form.BaseWidth = form.WidthValue = width;
  form.BaseHeight = form.HeightValue = height;
}

TEST(StretchForm, IsTheResizeDialogWithItsResampleChoice) {
  TStretchForm form;
  EXPECT_EQ(form.objectName(), "StretchForm");
  EXPECT_EQ(form.windowTitle(), "Resize");
  EXPECT_EQ(form.WidthValue, 1);
  EXPECT_EQ(form.HeightValue, 1);
  EXPECT_EQ(form.TypeOfResizeRadio->title(), " Resample Process: ");
  ASSERT_EQ(form.TypeOfResizeRadio->Count(), 2);
  EXPECT_EQ(form.TypeOfResizeRadio->Button(0)->text(), "Anti-Alias");
  EXPECT_EQ(form.TypeOfResizeRadio->Button(1)->text(), "Stretch/Truncate");
  EXPECT_EQ(form.TypeOfResizeRadio->ItemIndex(), 0);
  EXPECT_EQ(form.WidthPixels->MaxValue(), 65000);
  EXPECT_EQ(form.MaintainRatio->text(), "Maintain aspect ratio");
}

TEST(StretchForm, OkKeepsTheSizeWhichTheNextShowingOffersAgain) {
  TStretchForm form;
  Preset(form, 40, 20);
  form.show();
  EXPECT_EQ(form.WidthPixels->Text(), "40");
  TypeInto(*form.PercentOfStretch, "50");
  EXPECT_EQ(form.HeightPixels->Value(), 10);
  form.OkBtn->click();
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(form.WidthValue, 20);
  EXPECT_EQ(form.HeightValue, 10);

  // Opened again without new presets: the confirmed size, at its per cent.
  form.show();
  EXPECT_EQ(form.WidthPixels->Text(), "20");
  EXPECT_EQ(form.HeightPixels->Text(), "10");
  EXPECT_EQ(form.PercentOfStretch->Text(), "50");
  TypeInto(*form.WidthPixels, "30");
  QTest::keyClick(form.WidthPixels, Qt::Key_Escape);
  EXPECT_EQ(form.result(), QDialog::Rejected);
  EXPECT_EQ(form.WidthValue, 20) << "a cancelled size is not kept";
}

TEST(StretchForm, NewPresetsGetTheirOwnPercentEvenWhenThePixelsShowTheSameNumber) {
  TStretchForm form;
  Preset(form, 100, 100);
  form.show();
  TypeInto(*form.PercentOfStretch, "50");
  form.OkBtn->click();
  ASSERT_EQ(form.WidthValue, 50);
  // A frame of 50 x 50 now: the fields already read 50, yet 50 is 100 % of it.
  Preset(form, 50, 50);
  form.show();
  EXPECT_EQ(form.PercentOfStretch->Text(), "100");
  EXPECT_EQ(form.PercentOfHeight->Text(), "100");
}

TEST(StretchForm, EnterKeepsTheSizeAndAnswersOk) {
  TStretchForm form;
  Preset(form, 40, 20);
  form.show();
  TypeInto(*form.WidthPixels, "80");
  QTest::keyClick(form.WidthPixels, Qt::Key_Return);
  EXPECT_EQ(form.result(), QDialog::Accepted);
  EXPECT_EQ(form.WidthValue, 80);
  EXPECT_EQ(form.HeightValue, 40);
}

TEST(StretchForm, ASizeTheReaderCouldNotReopenIsNotKept) {
  ScriptedUiServices ui;
  TStretchForm form;
  Preset(form, 40, 20);
  form.show();
  TypeInto(*form.PercentOfStretch, "10000");
  EXPECT_EQ(form.WidthPixels->Value(), 4000);
  TypeInto(*form.WidthPixels, "65000");
  EXPECT_EQ(form.HeightPixels->Value(), 2000) << "the per cent stops at 10000";
  form.OkBtn->click();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, SizeRefusedMessage(65000, 2000));
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(form.WidthValue, 40);
}

TEST(StretchForm, TheCallerReadsSizeAndResampleKindAfterAScriptedOk) {
  ScriptedModalRunner forms;
  forms.Expect("StretchForm").Fill("HeightPixels", "30").Fill("TypeOfResizeRadio_1", true).Press("OkBtn");
  TStretchForm form;
  Preset(form, 40, 20);
  ASSERT_EQ(ShowModal(form), mrOk);
  EXPECT_EQ(form.HeightValue, 30);
  EXPECT_EQ(form.WidthValue, 60);
  EXPECT_EQ(form.TypeOfResizeRadio->ItemIndex(), 1);
}

}  // namespace
