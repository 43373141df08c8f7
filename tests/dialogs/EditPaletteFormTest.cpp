#include "dialogs/EditPaletteFormU.h"

#include "controls/DrawGrid.h"
#include "controls/My_SpinEdit.h"
#include "dialogs/core/ColorTable.h"
#include "platform/Streams.h"
#include "tests/support/ErrorText.h"
#include "tests/support/FakeSystemValues.h"
#include "tests/support/ScriptedModalRunner.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

// The chooser's answer: one file, the first filter.
FileDialogResult Chosen(const std::string& name) { return FileDialogResult{name, 1, {name}}; }

constexpr int kCell = 16;

TPaletteEntry Entry(int r, int g, int b) {
  return {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b), 0};
}

// Sixteen distinct colours: entry i is (i * 16, 255 - i * 16, 100).
TPalette SixteenColors() {
  std::vector<TPaletteEntry> entries;
  for (int i = 0; i < 16; ++i) entries.push_back(Entry(i * 16, 255 - i * 16, 100));
  return CreatePalette(entries);
}

QPoint CellCentre(int index) { return QPoint(index % 16 * kCell + kCell / 2, index / 16 * kCell + kCell / 2); }

void ClickCell(TEditPaletteForm& form, int index) {
  QTest::mouseClick(form.ColorsGrid, Qt::LeftButton, {}, CellCentre(index));
}

class EditPaletteForm : public ::testing::Test {
 protected:
  void Open(const TPalette& palette, TColor current = 0) {
    form.Palette = palette;
    form.CurrentColor = current;
    form.show();
  }
  // The pixel at (x, y) of a cell as the grid paints it.
  TColor CellPixel(int index, int x, int y) {
    const TBitmap& picture = form.ColorsGrid->PaintPicture(clFuchsia);
    return picture.Pixel(index % 16 * kCell + x, index / 16 * kCell + y);
  }

  FakeSystemValues system;
  ScriptedUiServices ui;
  TEditPaletteForm form;
};

}  // namespace

// ---- Showing a palette ------------------------------------------------------------------------

TEST_F(EditPaletteForm, TheCaptionCountsTheColoursAndTheNearestEntryIsSelected) {
  EXPECT_EQ(form.windowTitle(), "Colors table");
  EXPECT_EQ(form.IndexLabel->text(), "Index 255");
  Open(SixteenColors(), RGB(5 * 16 + 3, 255 - 5 * 16, 99));
  EXPECT_EQ(form.windowTitle(), "Colors table [17 colors]");
  EXPECT_EQ(form.Table().palNumEntries, 17);
  EXPECT_EQ(form.SelectedIndex(), 5);
  EXPECT_EQ(form.IndexLabel->text(), "Index 5");
  EXPECT_EQ(form.RedSpinEdit->Value(), 80);
  EXPECT_EQ(form.GreenSpinEdit->Value(), 175);
  EXPECT_EQ(form.BlueSpinEdit->Value(), 100);
  EXPECT_EQ(form.CurColor->Color(), RGB(80, 175, 100));
  EXPECT_EQ(form.SelectedColor(), RGB(80, 175, 100));
}

TEST_F(EditPaletteForm, WithoutAPaletteOneBlackEntryIsShown) {
  Open(TPalette(), clRed);
  EXPECT_EQ(form.windowTitle(), "Colors table [1 colors]");
  EXPECT_EQ(form.SelectedIndex(), 0);
  ClickCell(form, 1);
  EXPECT_EQ(form.SelectedIndex(), 0);
  EXPECT_EQ(form.SelectedColor(), clBlack);
}

TEST_F(EditPaletteForm, ControlsStartWithTheirDefaults) {
  EXPECT_EQ(form.ColorsGrid->ColCount(), 16);
  EXPECT_EQ(form.ColorsGrid->RowCount(), 16);
  EXPECT_EQ(form.SetToAllCheckBox->text(), "&Set Palette to All Frames");
  EXPECT_TRUE(form.SetToAllCheckBox->isChecked());
  EXPECT_EQ(form.LoadPalBtn->text(), "&Load Palette...");
  EXPECT_EQ(form.SavePalBtn->text(), "&Save Palette...");
  EXPECT_EQ(form.OkBtn->text(), "&Ok");
  EXPECT_TRUE(form.OkBtn->isDefault());
  EXPECT_EQ(form.CancelBtn->text(), "&Cancel");
  EXPECT_EQ(form.CurColor->Hint(), "Click to change color");
  EXPECT_EQ(form.CurColor->Cursor(), crHandPoint);
  for (TSpinEdit* edit : {form.RedSpinEdit, form.GreenSpinEdit, form.BlueSpinEdit}) {
    EXPECT_EQ(edit->MinValue(), 0);
    EXPECT_EQ(edit->MaxValue(), 255);
    EXPECT_EQ(edit->Value(), 255);
  }
}

// ---- The grid's cells -------------------------------------------------------------------------

TEST_F(EditPaletteForm, CellsBeyondTheCountCannotBeSelectedAndShowTheGridColour) {
  Open(SixteenColors());
  ClickCell(form, 3);
  EXPECT_EQ(form.SelectedIndex(), 3);
  ClickCell(form, 17);
  EXPECT_EQ(form.SelectedIndex(), 3);
  EXPECT_EQ(form.IndexLabel->text(), "Index 3");
  ClickCell(form, 16);  // the black entry after the sixteen colours counts
  EXPECT_EQ(form.SelectedIndex(), 16);
  for (QPoint p : {QPoint(0, 0), QPoint(8, 8), QPoint(15, 15)})
    EXPECT_EQ(CellPixel(17, p.x(), p.y()), ColorToRGB(clBtnFace));
}

TEST_F(EditPaletteForm, AnUnselectedCellIsItsColourWithGreyLinesAlongTheBottomAndRight) {
  Open(SixteenColors(), RGB(0, 255, 100));
  const TColor color = RGB(32, 223, 100);  // entry 2
  EXPECT_EQ(CellPixel(2, 0, 0), clWhite);
  EXPECT_EQ(CellPixel(2, 0, 8), clWhite);
  EXPECT_EQ(CellPixel(2, 1, 1), color);
  EXPECT_EQ(CellPixel(2, 14, 14), color);
  EXPECT_EQ(CellPixel(2, 15, 0), 0x808080);
  EXPECT_EQ(CellPixel(2, 15, 15), 0x808080);
  EXPECT_EQ(CellPixel(2, 0, 15), 0x808080);
}

TEST_F(EditPaletteForm, TheSelectedCellIsSunkenWithABlackFrame) {
  Open(SixteenColors(), RGB(0, 255, 100));
  ASSERT_EQ(form.SelectedIndex(), 0);
  const TColor color = RGB(0, 255, 100);
  EXPECT_EQ(CellPixel(0, 0, 0), clWhite);        // the grid line
  EXPECT_EQ(CellPixel(0, 1, 1), 0x808080);       // sunken top-left
  EXPECT_EQ(CellPixel(0, 14, 1), 0x808080);
  EXPECT_EQ(CellPixel(0, 1, 14), 0x808080);
  EXPECT_EQ(CellPixel(0, 2, 2), clBlack);
  EXPECT_EQ(CellPixel(0, 14, 14), clBlack);
  EXPECT_EQ(CellPixel(0, 3, 3), color);
  EXPECT_EQ(CellPixel(0, 13, 13), color);
  EXPECT_EQ(CellPixel(0, 15, 15), clWhite);
}

// ---- Editing ----------------------------------------------------------------------------------

TEST_F(EditPaletteForm, SpinEditsWriteTheSelectedEntryAndItsCellAtOnce) {
  Open(SixteenColors());
  ClickCell(form, 4);
  form.RedSpinEdit->setText("200");
  EXPECT_EQ(form.Table().palPalEntry[4], Entry(200, 191, 100));
  EXPECT_EQ(form.CurColor->Color(), RGB(200, 191, 100));
  EXPECT_EQ(CellPixel(4, 8, 8), RGB(200, 191, 100));
  EXPECT_EQ(form.Table().palPalEntry[3], Entry(48, 207, 100)) << "other entries stay";
}

TEST_F(EditPaletteForm, AValueTypedBeyond255IsStoredAs255) {
  Open(SixteenColors());
  ClickCell(form, 2);
  form.BlueSpinEdit->setText("300");
  EXPECT_EQ(form.Table().palPalEntry[2].peBlue, 255);
}

TEST_F(EditPaletteForm, ClickingCellsShowsThemWithoutWritingAnything) {
  Open(SixteenColors());
  const TMaxLogPalette before = form.Table();
  for (int index : {7, 2, 15}) ClickCell(form, index);
  EXPECT_EQ(form.Table().palPalEntry, before.palPalEntry);
  EXPECT_EQ(form.RedSpinEdit->Value(), 240);
}

TEST_F(EditPaletteForm, TheCurrentColourPanelAndADoubleClickAskForANewColour) {
  Open(SixteenColors());
  ClickCell(form, 1);
  ui.colorAnswers = {RGB(1, 2, 3), RGB(7, 8, 9)};
  QTest::mouseClick(form.CurColor, Qt::LeftButton, {}, QPoint(10, 10));
  ASSERT_EQ(ui.colorRequests, std::vector<TColor>{RGB(16, 239, 100)});
  EXPECT_EQ(form.Table().palPalEntry[1], Entry(1, 2, 3));
  EXPECT_EQ(form.GreenSpinEdit->Value(), 2);
  QTest::mouseDClick(form.ColorsGrid, Qt::LeftButton, {}, CellCentre(1));
  EXPECT_EQ(form.Table().palPalEntry[1], Entry(7, 8, 9));
  EXPECT_EQ(ui.colorRequests.size(), 2u);
  QTest::mouseClick(form.CurColor, Qt::LeftButton, {}, QPoint(10, 10));  // cancelled
  EXPECT_EQ(form.Table().palPalEntry[1], Entry(7, 8, 9));
}

// ---- Pick mode --------------------------------------------------------------------------------

TEST_F(EditPaletteForm, PickModeOnlyMovesTheSelectionAndShowsTheColour) {
  form.UsePickMode();
  Open(SixteenColors(), RGB(160, 95, 100));
  EXPECT_FALSE(form.RedSpinEdit->isEnabled());
  EXPECT_FALSE(form.CurColor->isEnabled());
  EXPECT_TRUE(form.SetToAllCheckBox->isHidden());
  EXPECT_EQ(form.SelectedIndex(), 10);
  const TMaxLogPalette before = form.Table();
  ClickCell(form, 35);  // beyond the count
  ClickCell(form, 12);
  QTest::mouseDClick(form.ColorsGrid, Qt::LeftButton, {}, CellCentre(12));
  EXPECT_TRUE(ui.colorRequests.empty());
  EXPECT_EQ(form.SelectedIndex(), 12);
  EXPECT_EQ(form.IndexLabel->text(), "Index 12");
  EXPECT_EQ(form.CurColor->Color(), RGB(192, 63, 100));
  EXPECT_EQ(form.Table().palPalEntry, before.palPalEntry);
}

TEST_F(EditPaletteForm, APickingCallerReadsTheChosenEntryAfterOk) {
  ScriptedModalRunner forms;
  std::vector<TPaletteEntry> entries(40, Entry(9, 9, 9));
  entries[35] = Entry(1, 2, 3);
  form.Palette = CreatePalette(entries);
  form.UsePickMode();
  forms.Expect("EditPaletteForm").Do([](QDialog& d) {
    ClickCell(static_cast<TEditPaletteForm&>(d), 2 * 16 + 3);
  }).Press("OkBtn");
  ASSERT_EQ(ShowModal(form), mrOk);
  EXPECT_EQ(form.SelectedIndex(), 35);
  EXPECT_EQ(form.SelectedColor(), RGB(1, 2, 3));
}

// ---- Keys -------------------------------------------------------------------------------------

TEST_F(EditPaletteForm, EscCancelsAndEnterConfirms) {
  Open(SixteenColors());
  QTest::keyClick(&form, Qt::Key_Escape);
  EXPECT_EQ(form.result(), QDialog::Rejected);
  EXPECT_FALSE(form.isVisible());
  form.show();
  QTest::keyClick(&form, Qt::Key_Return);
  EXPECT_EQ(form.result(), QDialog::Accepted);
}

// ---- Palette files ----------------------------------------------------------------------------

TEST_F(EditPaletteForm, TheFileChoosersStartInTheProgramFolderWithThePaletteFilters) {
  system.programFolder = "/opt/gleamcraft/";
  TEditPaletteForm fresh;
  fresh.show();
  fresh.LoadPalBtn->click();
  fresh.SavePalBtn->click();
  ASSERT_EQ(ui.fileRequests.size(), 2u);
  EXPECT_EQ(ui.fileRequests[0].filter, "Palette File [*.pal]|*.pal|All Files|*.*");
  EXPECT_EQ(ui.fileRequests[0].initialDir, "/opt/gleamcraft/");
  EXPECT_EQ(ui.fileRequests[1].filter, "Palette File [*.pal]|*.pal|All files|*.*");
  EXPECT_EQ(ui.fileRequests[1].defaultExt, "pal");
  EXPECT_EQ(ui.fileRequests[1].initialDir, "/opt/gleamcraft/");
}

TEST_F(EditPaletteForm, SavingWritesTheColoursInUseAsLines) {
  TempDir dir;
  Open(CreatePalette({Entry(1, 2, 3), Entry(255, 128, 0), Entry(9, 9, 9)}));
  ui.fileAnswers.push_back(Chosen(dir.File("saved.pal")));
  form.SavePalBtn->click();
  EXPECT_EQ(TempDir::ReadFile(dir.File("saved.pal")), "1 2 3\r\n255 128 0\r\n9 9 9\r\n0 0 0\r\n");
  EXPECT_EQ(ui.cursors, (std::vector<TCursor>{crHourGlass, crDefault}));
}

TEST_F(EditPaletteForm, LoadingReplacesTheTableAndKeepsTheSelectionOnAColourInUse) {
  TempDir dir;
  Open(SixteenColors());
  ClickCell(form, 10);
  ui.fileAnswers.push_back(Chosen(dir.WriteFile("two.pal", "10 20 30\r\n40,50,60\r\n1 2\r\n")));
  form.LoadPalBtn->click();
  EXPECT_EQ(form.windowTitle(), "Colors table [3 colors]");
  EXPECT_EQ(form.Table().palPalEntry[1], Entry(40, 50, 60));
  EXPECT_EQ(form.Table().palPalEntry[10], Entry(0, 0, 0));
  EXPECT_EQ(form.SelectedIndex(), 0);
  EXPECT_EQ(form.RedSpinEdit->Value(), 10);
  EXPECT_EQ(CellPixel(10, 8, 8), ColorToRGB(clBtnFace));
  // An edit now goes to a colour that is saved.
  form.GreenSpinEdit->setText("99");
  EXPECT_EQ(form.Table().palPalEntry[0], Entry(10, 99, 30));
}

TEST_F(EditPaletteForm, AnEditedTableSavedAndLoadedComesBackTheSame) {
  TempDir dir;
  Open(SixteenColors());
  ClickCell(form, 6);
  form.RedSpinEdit->setText("7");
  ui.fileAnswers.push_back(Chosen(dir.File("edited.pal")));
  form.SavePalBtn->click();
  TEditPaletteForm other;
  other.show();
  ui.fileAnswers.push_back(Chosen(dir.File("edited.pal")));
  other.LoadPalBtn->click();
  EXPECT_EQ(other.Table().palNumEntries, form.Table().palNumEntries);
  EXPECT_EQ(other.Table().palPalEntry, form.Table().palPalEntry);
}

TEST_F(EditPaletteForm, AFileThatCannotBeOpenedChangesNothing) {
  TempDir dir;
  Open(SixteenColors());
  const TMaxLogPalette before = form.Table();
  const std::string missing = dir.File("missing.pal");
  ui.fileAnswers.push_back(Chosen(missing));
  EXPECT_EQ(ErrorText([&] { form.LoadPalBtnClick(); }), "Cannot open file " + missing);
  EXPECT_EQ(form.Table().palPalEntry, before.palPalEntry);
  EXPECT_EQ(form.windowTitle(), "Colors table [17 colors]");
  EXPECT_EQ(ui.cursors.back(), crDefault);
  form.LoadPalBtnClick();  // the chooser cancelled
  EXPECT_EQ(form.Table().palPalEntry, before.palPalEntry);
}

TEST_F(EditPaletteForm, HostileFilesGiveAtMost256ColoursAndASelectableEntry) {
  TempDir dir;
  Open(SixteenColors());
  std::string junk;
  for (int i = 0; i < 200000; ++i) junk += static_cast<char>((i * 7919) % 251);
  ui.fileAnswers.push_back(Chosen(dir.WriteFile("junk.pal", junk)));
  form.LoadPalBtn->click();
  EXPECT_LE(form.Table().palNumEntries, 256);
  EXPECT_LT(form.SelectedIndex(), form.Table().palNumEntries);
  ui.fileAnswers.push_back(Chosen(dir.WriteFile("empty.pal", "")));
  form.LoadPalBtn->click();
  EXPECT_EQ(form.windowTitle(), "Colors table [1 colors]");
  EXPECT_EQ(form.SelectedIndex(), 0);
}
