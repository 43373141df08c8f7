#include "dialogs/Msgdlg.h"

#include "controls/Bitmpbtn.h"
#include "tests/support/RecordingShellServices.h"
#include "tests/support/FakeSystemValues.h"
#include "tests/support/ScriptedModalRunner.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QTest>

#include <sys/stat.h>

namespace {

TEST(MessageDialog, ButtonKindsSetCaptionAndLampColours) {
  TMsgDialog dialog;
  TBlackBitButton& button = *dialog.OkBtn;
  const std::tuple<int, const char*, TColor> kinds[] = {
      {1, "Ok", 0x00FF00}, {2, "Cancel", 0x0000FF}, {3, "Help", 0x800000}, {4, "Yes", 0x00FF00}, {5, "No", 0x0000FF},
  };
  for (const auto& [kind, caption, lamp] : kinds) {
    TMsgDialog::SetMsgButtonKind(button, kind);
    EXPECT_EQ(button.Caption(), caption);
    EXPECT_EQ(button.OnColor(), lamp);
    EXPECT_EQ(button.OffColor(), lamp);
    EXPECT_TRUE(button.Visible());
  }
  TMsgDialog::SetMsgButtonKind(button, 0);
  EXPECT_FALSE(button.Visible());
  TMsgDialog::SetMsgButtonKind(button, 9);  // another kind leaves the button
  EXPECT_FALSE(button.Visible());
  EXPECT_EQ(button.Caption(), "No");
}

TEST(MessageDialog, TheDefaultLookIsOkAndHelp) {
  TMsgDialog dialog;
  EXPECT_EQ(dialog.windowTitle(), "Error");
  EXPECT_EQ(dialog.OkBtn->Caption(), "Ok");
  EXPECT_TRUE(dialog.OkBtn->Visible());
  EXPECT_FALSE(dialog.CancelBtn->Visible());
  EXPECT_EQ(dialog.HelpBtn->Caption(), "Help");
  EXPECT_EQ(dialog.OkBtn->Font().Color, clWhite);  // readable on the black buttons
  EXPECT_EQ(dialog.OkBtn->Left(), dialog.CancelBtn->Left());  // Ok takes Cancel's place
  EXPECT_TRUE(dialog.NeverAsk->isHidden());
  EXPECT_EQ(dialog.NeverAsk->text(), "&Never show this note");
}

TEST(MessageDialog, YesStandsLeftOfNoAndHelpIsHidden) {
  TMsgDialog dialog;
  dialog.SetButtons(4, 5, 0);
  EXPECT_EQ(dialog.OkBtn->Caption(), "Yes");
  EXPECT_EQ(dialog.CancelBtn->Caption(), "No");
  EXPECT_FALSE(dialog.HelpBtn->Visible());
  EXPECT_EQ(dialog.OkBtn->Left(), dialog.CancelBtn->Left() - dialog.OkBtn->Width() - 2);
}

TEST(MessageDialog, CarriageReturnsSplitLinesAndLineFeedsStayText) {
  EXPECT_EQ(MessageLines("a\r\rb"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(MessageLines(""), (std::vector<std::string>{""}));
  EXPECT_EQ(MessageLines("x\ny\r"), (std::vector<std::string>{"x\ny", ""}));
}

TEST(MessageDialog, EachLineTakesItsWidthDivTheMemosWidthPlusOne) {
  EXPECT_EQ(DisplayedLineCount({300}, 100), 4);  // exactly three memo widths
  EXPECT_EQ(DisplayedLineCount({299, 0, 100}, 100), 3 + 1 + 2);
  EXPECT_EQ(DisplayedLineCount({}, 100), 0);
}

TEST(MessageDialog, ShowsItsTextModallyAndReportsTheNeverShowBox) {
  ScriptedModalRunner forms;
  forms.Expect("MsgDialog").Fill("NeverAsk", true).Answer(mrOk);
  TMsgDialog dialog;
  dialog.ShowNeverAskCheck();
  EXPECT_EQ(dialog.ShowMessageText("Warning", "first\rsecond"), mrOk);
  ASSERT_EQ(forms.shown.size(), 1u);
  EXPECT_EQ(forms.shown[0].caption, "Warning");
  EXPECT_EQ(dialog.Lines(), (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ(dialog.MessageTxt->toPlainText(), "first\nsecond");
  EXPECT_TRUE(dialog.NeverAsk->isChecked());
  // Closing restores the default look for the next use.
  EXPECT_TRUE(dialog.NeverAsk->isHidden());
}

TEST(MessageDialog, ClosingResetsTheButtons) {
  TMsgDialog dialog;
  dialog.SetButtons(4, 5, 0);
  dialog.ShowNeverAskCheck();
  dialog.FormClose();
  EXPECT_EQ(dialog.OkBtn->Caption(), "Ok");
  EXPECT_FALSE(dialog.CancelBtn->Visible());
  EXPECT_TRUE(dialog.HelpBtn->Visible());
  EXPECT_TRUE(dialog.NeverAsk->isHidden());
}

TEST(MessageDialog, EnterAnswersOkEscCancelAndTheButtonsTheirResult) {
  {
    TMsgDialog dialog;
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), mrOk);
  }
  {
    TMsgDialog dialog;
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), mrCancel);
  }
  {
    TMsgDialog dialog;
    dialog.SetButtons(1, 2, 3);
    dialog.show();
    dialog.CancelBtn->Click();
    EXPECT_EQ(dialog.result(), mrCancel);
  }
}

TEST(MessageDialog, HelpOpensItsTopicWithoutClosing) {
  TempDir program;
  FakeSystemValues system;
  system.programFolder = program.Path() + "/";
  mkdir(program.File("help").c_str(), 0700);
  program.WriteFile("help/HelpID_5.html", "<html/>");
  RecordingShellServices shell;
  TMsgDialog dialog;
  dialog.show();
  dialog.HelpBtn->Click();
  EXPECT_EQ(shell.opened, std::vector<std::string>{program.File("help/HelpID_5.html")});
  EXPECT_TRUE(dialog.isVisible());
}

}  // namespace
