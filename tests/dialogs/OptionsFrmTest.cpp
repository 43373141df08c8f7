#include "dialogs/OptionsFrmU.h"

#include "controls/MyCntrlDigitalDisplay.h"
#include "controls/My_SpinEdit.h"
#include "controls/RadioGroup.h"
#include "tests/support/FakeSystemValues.h"
#include "tests/support/RecordingShellServices.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <sys/stat.h>

namespace {

TOptionsValues SomeValues() {
  TOptionsValues values;
  values.CreateBackup = true;
  values.DataFolder = "/a/";
  values.PicturesFolder = "/b/";
  values.TexturesFolder = "/c/";
  values.Autosave = false;
  values.AutosaveMinutes = 25;
  values.UndoEnabled = false;
  values.AntiAliasResample = true;
  values.PlayAntiAliasResample = false;
  values.DialogFont.Name = "Arial";
  values.DialogFont.SetSize(10);
  values.DigitalDisplayColor = clLime;
  values.DigitalDisplayBackground = clNavy;
  values.MaxLastOpened = 7;
  values.LastOpenedEnabled = true;
  values.SaveBitmapsInFrames = false;
  return values;
}

TEST(OptionsDialog, FourPagesInTheirOrderAndTheButtons) {
  TOptionsFrm options;
  EXPECT_EQ(options.windowTitle(), "Options");
  ASSERT_EQ(options.PageControl1->count(), 4);
  EXPECT_EQ(options.PageControl1->tabText(0), "&General");
  EXPECT_EQ(options.PageControl1->tabText(1), "&Save");
  EXPECT_EQ(options.PageControl1->tabText(2), "&Font");
  EXPECT_EQ(options.PageControl1->tabText(3), "File &Locations");
  EXPECT_EQ(options.OkBtn->text(), "&Ok");
  EXPECT_TRUE(options.OkBtn->isDefault());
  EXPECT_EQ(options.CancelBtn->text(), "&Cancel");
  EXPECT_EQ(options.HelpBtn->text(), "&Help");
  EXPECT_EQ(options.CheckBoxUndo->text(), "Enable &Undo Operation");
  EXPECT_EQ(options.CheckBoxOpennedFiles->text(), "&Recently used file list:");
  EXPECT_EQ(options.LabelOpenedFiles->text(), "entries");
  EXPECT_EQ(options.TypeOfResizeRadio->title(), " Re&sample Process when animation is stopped: ");
  EXPECT_EQ(options.PlayTypeOfResizeRadio->title(), " Resample Process when animation is &playing: ");
  EXPECT_EQ(options.TypeOfResizeRadio->Button(0)->text(), "&Anti-Alias");
  EXPECT_EQ(options.TypeOfResizeRadio->Button(1)->text(), "Stretch/&Truncate");
  EXPECT_EQ(options.TypeOfResizeRadio->ItemIndex(), 1);
  EXPECT_EQ(options.AutosaveCheck->text(), "Save animation every:");
  EXPECT_EQ(options.SaveBitmapsCheckBox->text(), "Save frames with bitmaps");
  EXPECT_EQ(options.CheckBoxBackup->text(), "Always create backup copy");
  EXPECT_EQ(options.ChangeFont->text(), "Modify Font ...");
  EXPECT_EQ(options.ButtonDigDisplay->text(), "Modify Color ...");
  EXPECT_EQ(options.ModifyBtn->text(), "Modify...");
  EXPECT_EQ(options.SpinOpenedFiles->MinValue(), 1);
  EXPECT_EQ(options.SpinOpenedFiles->MaxValue(), 9);
  EXPECT_EQ(options.SaveIntervalSpin->MinValue(), 1);
  EXPECT_EQ(options.SaveIntervalSpin->MaxValue(), 120);
  QTreeWidgetItem* header = options.FileLocationsList->headerItem();
  EXPECT_EQ(header->text(0), "File Types");
  EXPECT_EQ(header->text(1), "Location");
  EXPECT_EQ(options.FileLocationsList->topLevelItem(0)->text(0), "Animations");
  EXPECT_EQ(options.FileLocationsList->topLevelItem(1)->text(0), "Images");
  EXPECT_EQ(options.FileLocationsList->topLevelItem(2)->text(0), "Textures");
}

TEST(OptionsDialog, HintsAreSetWhenShownAndTheFirstPageComesFirst) {
  TOptionsFrm options;
  options.PageControl1->setCurrentIndex(3);
  options.show();
  EXPECT_EQ(options.PageControl1->currentIndex(), 0);
  EXPECT_EQ(options.CheckBoxUndo->toolTip(),
            "Select if you want that each operation can be revoked. It needs some memory and takes some time.");
  const QString recent =
      "The Recently used file list displays the names of the most recently used files on the File menu.";
  EXPECT_EQ(options.CheckBoxOpennedFiles->toolTip(), recent);
  EXPECT_EQ(options.SpinOpenedFiles->toolTip(), recent);
  EXPECT_EQ(options.CheckBoxBackup->toolTip(),
            "Saves the current version of an animation and retains a duplicate with a .~GL filename extension.");
  const QString autosave =
      "Automatically saves file at the interval you enter in the Minutes box (enter a number from 1 to 120).";
  EXPECT_EQ(options.AutosaveCheck->toolTip(), autosave);
  EXPECT_EQ(options.SaveIntervalSpin->toolTip(), autosave);
  EXPECT_EQ(options.TypeOfResizeRadio->toolTip(), "Anti-Alias takes more time than Stretch/Truncate.");
  EXPECT_EQ(options.PlayTypeOfResizeRadio->toolTip(), "Anti-Alias takes more time than Stretch/Truncate.");
  EXPECT_EQ(options.SaveBitmapsCheckBox->toolTip(),
            "Frames will be saved with image bitmaps. This is increasing file size but loading is faster.");
  EXPECT_EQ(options.FileLocationsList->toolTip(),
            "Lists the default storage location. Click the item you want to change, and then click Modify to set "
            "a new default location.");
}

TEST(OptionsDialog, ValuesComeBackAsTheyWereFilled) {
  TOptionsFrm options;
  const TOptionsValues values = SomeValues();
  options.Fill(values);
  const TOptionsValues read = options.Values();
  EXPECT_TRUE(read.CreateBackup);
  EXPECT_EQ(read.DataFolder, "/a/");
  EXPECT_EQ(read.PicturesFolder, "/b/");
  EXPECT_EQ(read.TexturesFolder, "/c/");
  EXPECT_FALSE(read.Autosave);
  EXPECT_EQ(read.AutosaveMinutes, 25);
  EXPECT_FALSE(read.UndoEnabled);
  EXPECT_TRUE(read.AntiAliasResample);
  EXPECT_FALSE(read.PlayAntiAliasResample);
  EXPECT_EQ(read.DialogFont, values.DialogFont);
  EXPECT_EQ(read.DigitalDisplayColor, clLime);
  EXPECT_EQ(read.DigitalDisplayBackground, clNavy);
  EXPECT_EQ(read.MaxLastOpened, 7);
  EXPECT_TRUE(read.LastOpenedEnabled);
  EXPECT_FALSE(read.SaveBitmapsInFrames);
}

TEST(OptionsDialog, ChangingTheIntervalTicksAutosave) {
  TOptionsFrm options;
  options.Fill(SomeValues());
  ASSERT_FALSE(options.AutosaveCheck->isChecked());
  options.show();
  options.SaveIntervalSpin->selectAll();
  QTest::keyClicks(options.SaveIntervalSpin, "9");
  EXPECT_TRUE(options.AutosaveCheck->isChecked());
  EXPECT_EQ(options.Values().AutosaveMinutes, 9);
}

TEST(OptionsDialog, UntickingTheRecentListDisablesTheEntryCount) {
  TOptionsFrm options;
  options.show();
  QTest::mouseClick(options.CheckBoxOpennedFiles, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_FALSE(options.CheckBoxOpennedFiles->isChecked());
  EXPECT_FALSE(options.SpinOpenedFiles->isEnabled());
  EXPECT_FALSE(options.LabelOpenedFiles->isEnabled());
  QTest::mouseClick(options.CheckBoxOpennedFiles, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(options.SpinOpenedFiles->isEnabled());
}

TEST(OptionsDialog, ValuesBeyondTheRangesReadAsTheirBounds) {
  TOptionsFrm options;
  options.SaveIntervalSpin->setText("500");
  options.SpinOpenedFiles->setText("0");
  EXPECT_EQ(options.Values().AutosaveMinutes, 120);
  EXPECT_EQ(options.Values().MaxLastOpened, 1);
}

TEST(OptionsDialog, ModifyAsksForTheSelectedRowsFolder) {
  ScriptedUiServices ui;
  TOptionsFrm options;
  options.Fill(SomeValues());
  options.ModifyBtnClick();  // no row selected: nothing asked
  EXPECT_TRUE(ui.folderAnswers.empty());
  ui.folderAnswers = {std::string("/new/images"), std::nullopt};
  options.FileLocationsList->setCurrentItem(options.FileLocationsList->topLevelItem(1));
  options.ModifyBtnClick();
  EXPECT_EQ(options.FileLocationsList->topLevelItem(1)->text(1), "/new/images");
  options.ModifyBtnClick();  // cancelled: unchanged
  EXPECT_EQ(options.Values().PicturesFolder, "/new/images");
}

TEST(OptionsDialog, FontAndDisplayColourChoosers) {
  ScriptedUiServices ui;
  TOptionsFrm options;
  options.Fill(SomeValues());
  FontDescription chosen;
  chosen.name = "Courier New";
  chosen.size = 12;
  chosen.bold = true;
  ui.fontAnswers = {chosen};
  options.ChangeFontClick();
  EXPECT_EQ(options.DialogsTextFont().Name, "Courier New");
  EXPECT_EQ(options.DialogsTextFont().Size(), 12);
  EXPECT_EQ(options.DialogsTextFont().Style, fsBold);
  EXPECT_TRUE(options.DialogsText->font().bold());
  ui.colorAnswers = {clYellow};
  options.ButtonDigDisplayClick();
  EXPECT_EQ(options.DigitalDisplay1->ColorOfText(), clYellow);
  ui.colorAnswers = {std::nullopt};
  options.ButtonDigDisplayClick();
  EXPECT_EQ(options.DigitalDisplay1->ColorOfText(), clYellow);
}

TEST(OptionsDialog, KeysEnterEscAndF1) {
  TempDir program;
  FakeSystemValues system;
  system.programFolder = program.Path() + "/";
  mkdir(program.File("help").c_str(), 0700);
  program.WriteFile("help/SetParameters.html", "<html/>");
  RecordingShellServices shell;
  {
    TOptionsFrm options;
    options.show();
    QTest::keyClick(&options, Qt::Key_F1);
    EXPECT_EQ(shell.opened, std::vector<std::string>{program.File("help/SetParameters.html")});
    EXPECT_TRUE(options.isVisible());
    QTest::keyClick(&options, Qt::Key_Escape);
    EXPECT_EQ(options.result(), QDialog::Rejected);
  }
  TOptionsFrm options;
  options.show();
  QTest::keyClick(&options, Qt::Key_Return);
  EXPECT_EQ(options.result(), QDialog::Accepted);
}

}  // namespace
