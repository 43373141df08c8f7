// The export wizard's frames page driven as the user drives it: the
// thumbnails and their hint, the player, the frame parameters and their
// set-to-all buttons, the three ways of picking a transparent colour,
// dragging a frame, deleting and moving frames, and inserting picture,
// GIF, JPEG and video files.
#include "controls/Bitmpbtn.h"
#include "controls/DrawGrid.h"
#include "controls/MyCntrlDigitalDisplay.h"
#include "controls/MyCntrl.h"
#include "controls/My_SpinEdit.h"
#include "dialogs/EditPaletteFormU.h"
#include "imaging/AVIFileU.h"
#include "imaging/GifUnit.h"
#include "imaging/JpgImg.h"
#include "imaging/MinGDIBitmapU.h"
#include "tests/dialogs/ExportWizardFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QToolButton>

namespace {

// A mouse move over a widget with the buttons held.
void MoveMouse(QWidget* widget, QPoint place, Qt::MouseButtons buttons) {
  QMouseEvent event(QEvent::MouseMove, QPointF(place), QPointF(widget->mapToGlobal(place)), Qt::NoButton, buttons,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &event);
}

}  // namespace

class ExportFramesPageTest : public ExportWizardTest {
 protected:
  // A GIF export walked to the frames page with the reductions given.
  std::unique_ptr<TExportFrm> OpenFramesPage(std::uint8_t reductions = 0) {
    settings.ReductionFlags = reductions;
    auto wizard = OpenWizard(dir.File("banner.gif"));
    Click(wizard->NextBtn);
    Click(wizard->NextBtn);
    Click(wizard->NextBtn);
    EXPECT_EQ(wizard->Notebook1->currentWidget()->objectName(), "Frames");
    return wizard;
  }

  static void ClickFrame(TExportFrm& wizard, int index) {
    const TRect cell = wizard.GIF_PicturesGrid->CellRect(0, index + 1);
    QTest::mouseClick(wizard.GIF_PicturesGrid, Qt::LeftButton, {},
                      QPoint((cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2));
  }

  // A point of the moving red block in the first frame, as the scene shows it.
  TPoint RedPointOfFirstStep() {
    TBitmap step;
    ShowStep(1, step);
    for (int y = 0; y < step.Height(); ++y)
      for (int x = 0; x < step.Width(); ++x)
        if (step.Pixel(x, y) == clRed && step.Pixel(x + 2, y + 2) == clRed) return Point(x + 2, y + 2);
    ADD_FAILURE() << "no red block";
    return Point(0, 0);
  }

  static std::string FrameNumber(const TExportFrm& wizard) { return wizard.CurMovieFrame->Caption(); }

  // The frames' bitmaps in list order, to follow moves.
  static std::vector<const TMinGDIBitmap*> Order(TExportFrm& wizard) {
    std::vector<const TMinGDIBitmap*> order;
    for (int i = 0; i < wizard.FrameList().Count(); ++i) order.push_back(wizard.FrameList().Frame(i).Bitmap.get());
    return order;
  }
};

// ---- Thumbnails -------------------------------------------------------------------------------------------

TEST_F(ExportFramesPageTest, EachFrameHasAThumbnailRowAndTheClickedOneIsDescribedInTheHint) {
  auto wizard = OpenFramesPage();
  TDrawGrid& grid = *wizard->GIF_PicturesGrid;
  EXPECT_EQ(grid.RowCount(), kSteps + 1);
  EXPECT_EQ(wizard->FrameList().FixedGridRows(), 1);
  EXPECT_EQ(grid.Row(), 1);
  EXPECT_EQ(FrameNumber(*wizard), "001");
  ClickFrame(*wizard, 2);
  EXPECT_EQ(grid.Row(), 3);
  EXPECT_EQ(FrameNumber(*wizard), "003");
  EXPECT_EQ(grid.Hint(), "Image: 80x30 pxs,\nFormat: 256 colors, (8 bit)\nTotal: 8 Images.");
  EXPECT_EQ(wizard->StepsPerFrameEdit->Value(), 6);

  // The selected cell: a black frame around it, the thumbnail inside.
  const TBitmap& cells = grid.PaintPicture(clBtnFace);
  const TRect cell = grid.CellRect(0, 3);
  EXPECT_EQ(cells.Pixel(cell.Left, cell.Top), clBlack);
  EXPECT_EQ(cells.Pixel(cell.Right - 1, cell.Bottom - 1), clBlack);
  EXPECT_EQ(cells.Pixel(cell.Left + 1, cell.Top + 1), clWhite);
  // The header row cannot be chosen.
  QTest::mouseClick(&grid, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(grid.Row(), 3);
}

// ---- The player -------------------------------------------------------------------------------------------

TEST_F(ExportFramesPageTest, ThePlayerShowsEachFrameForItsDelayAndStopsAtTheEndOfAnAnimationThatPlaysOnce) {
  scene.LoopCount = 0;
  auto wizard = OpenFramesPage();
  Click(wizard->PlayBtn);
  EXPECT_TRUE(wizard->TimerMoving.Enabled());
  EXPECT_FALSE(wizard->PlayBtn->isEnabled());
  EXPECT_TRUE(wizard->StopBtn->isEnabled());
  // A delay of 6 hundredths shows for two 50 ms ticks.
  wizard->TimerMovingTimer();
  EXPECT_EQ(FrameNumber(*wizard), "001");
  wizard->TimerMovingTimer();
  EXPECT_EQ(FrameNumber(*wizard), "002");
  for (int i = 0; i < 2 * (kSteps - 2); ++i) wizard->TimerMovingTimer();
  EXPECT_EQ(FrameNumber(*wizard), "008");
  EXPECT_FALSE(wizard->TimerMoving.Enabled());
  EXPECT_TRUE(wizard->PlayBtn->isEnabled());
}

TEST_F(ExportFramesPageTest, ThePlayerRepeatsALoopingAnimationAndItsButtonsStepThroughTheFrames) {
  scene.LoopCount = -1;
  const TPoint red = RedPointOfFirstStep();
  auto wizard = OpenFramesPage();
  ClickFrame(*wizard, 7);
  Click(wizard->PlayBtn);
  wizard->TimerMovingTimer();
  wizard->TimerMovingTimer();
  EXPECT_EQ(FrameNumber(*wizard), "001");
  EXPECT_TRUE(wizard->TimerMoving.Enabled());
  Click(wizard->StopBtn);
  EXPECT_FALSE(wizard->TimerMoving.Enabled());

  Click(wizard->PrevBtn);  // on the first frame it stays
  EXPECT_EQ(FrameNumber(*wizard), "001");
  Click(wizard->NextFrameBtn);
  Click(wizard->NextFrameBtn);
  EXPECT_EQ(FrameNumber(*wizard), "003");
  Click(wizard->PrevBtn);
  EXPECT_EQ(FrameNumber(*wizard), "002");
  for (int i = 0; i < kSteps - 1; ++i) Click(wizard->NextFrameBtn);
  EXPECT_EQ(FrameNumber(*wizard), "001");  // past the last frame
  Click(wizard->NextFrameBtn);
  Click(wizard->BackBtn);
  EXPECT_EQ(FrameNumber(*wizard), "001");
  // The player shows the composition: the red block of the first step at its place.
  const TBitmap& shown = wizard->ImageMoving->Bitmap();
  EXPECT_EQ(shown.Pixel(red.X, red.Y), clRed);
  EXPECT_EQ(shown.Pixel(red.X, 5), clWhite);
  // Leaving the page stops the player.
  Click(wizard->PlayBtn);
  Click(wizard->PreviousBtn);
  EXPECT_FALSE(wizard->TimerMoving.Enabled());
}

// ---- Frame parameters ---------------------------------------------------------------------------------------

TEST_F(ExportFramesPageTest, TheParametersEditTheSelectedFrameAndTheSetToAllButtonsEveryFrame) {
  auto wizard = OpenFramesPage();
  TExportFrameList& frames = wizard->FrameList();
  ClickFrame(*wizard, 2);
  TypeInto(wizard->StepsPerFrameEdit, "25");
  EXPECT_EQ(frames.Frame(2).Delay, 25);
  EXPECT_EQ(frames.Frame(1).Delay, 6);
  TypeInto(wizard->XPosSpinEdit, "7");
  TypeInto(wizard->YPosSpinEdit, "4");
  EXPECT_EQ(std::pair(frames.Frame(2).Left, frames.Frame(2).Top), std::pair(7, 4));
  wizard->RestoreMethodComboBox->setFocus();
  QTest::keyClick(wizard->RestoreMethodComboBox, Qt::Key_Down);
  QTest::keyClick(wizard->RestoreMethodComboBox, Qt::Key_Down);
  EXPECT_EQ(frames.Frame(2).Disposal, 2);
  Click(wizard->InterlacedCheckBox);
  EXPECT_EQ(frames.Frame(2).Interlaced(), 1);

  // Another frame shows its own values, and showing them writes nothing.
  ClickFrame(*wizard, 1);
  EXPECT_EQ(wizard->StepsPerFrameEdit->Value(), 6);
  EXPECT_EQ(wizard->XPosSpinEdit->Value(), 0);
  EXPECT_EQ(wizard->RestoreMethodComboBox->currentIndex(), 0);
  EXPECT_FALSE(wizard->InterlacedCheckBox->isChecked());
  ClickFrame(*wizard, 2);
  EXPECT_EQ(frames.Frame(2).Delay, 25);
  EXPECT_EQ(frames.Frame(1).Left, 0);

  Click(wizard->ButtonSetAllDuration);
  Click(wizard->SetXCoordinateButton);
  Click(wizard->SetYCoordinateButton);
  Click(wizard->SetToAllRestoreButton);
  Click(wizard->SetAllInterlacedButton);
  for (int i = 0; i < frames.Count(); ++i) {
    const TSetOfBitmapsItem& frame = frames.Frame(i);
    EXPECT_EQ(std::tuple(frame.Delay, frame.Left, frame.Top, frame.Disposal, frame.Interlaced()),
              std::tuple(25, 7, 4, std::uint8_t{2}, std::uint8_t{1}))
        << i;
  }
}

// ---- Transparency ----------------------------------------------------------------------------------------------

TEST_F(ExportFramesPageTest, TheTransparencyBoxSwitchesTheFrameAndShowsItsColourButton) {
  auto wizard = OpenFramesPage();
  ClickFrame(*wizard, 1);
  EXPECT_FALSE(wizard->TransparencyCheckBox->isChecked());
  EXPECT_TRUE(wizard->ImageColorPanel->isHidden());
  Click(wizard->TransparencyCheckBox);
  EXPECT_EQ(wizard->FrameList().Frame(1).Transparent, 1);
  EXPECT_FALSE(wizard->ImageColorPanel->isHidden());
  Click(wizard->TransparencyCheckBox);
  EXPECT_EQ(wizard->FrameList().Frame(1).Transparent, 0);
  EXPECT_TRUE(wizard->ImageColorPanel->isHidden());
}

TEST_F(ExportFramesPageTest, AColourPickedOnThePlayerMakesTheFrameTransparentInItAtThatPoint) {
  const TPoint red = RedPointOfFirstStep();
  auto wizard = OpenFramesPage();
  ClickFrame(*wizard, 0);
  Click(wizard->PickUpTransparentColorButton);
  EXPECT_EQ(wizard->ImageMoving->Cursor(), crAirDrop);
  EXPECT_TRUE(wizard->Color_Panel->isHidden());
  MoveMouse(wizard->ImageMoving, QPoint(red.X, red.Y), Qt::NoButton);  // over the red block
  EXPECT_FALSE(wizard->ColorLabel->isHidden());
  EXPECT_FALSE(wizard->Color_Panel->isHidden());
  EXPECT_EQ(wizard->Color_Panel->palette().color(QPalette::Window), QColor(255, 0, 0));
  QTest::mouseClick(wizard->ImageMoving, Qt::LeftButton, {}, QPoint(red.X, red.Y));
  const TSetOfBitmapsItem& frame = wizard->FrameList().Frame(0);
  EXPECT_EQ(frame.Transparent, 1);
  EXPECT_EQ(frame.Bitmap->TransparentColor() & 0xFFFFFF, static_cast<TColor>(clRed));
  EXPECT_EQ(std::pair(frame.TransparentX, frame.TransparentY), std::pair(red.X, red.Y));
  EXPECT_TRUE(wizard->TransparencyCheckBox->isChecked());
  EXPECT_EQ(wizard->ImageColorPanel->ButtonColor(), static_cast<TColor>(clRed));
  EXPECT_EQ(wizard->ImageMoving->Cursor(), crDefault);
  EXPECT_TRUE(wizard->Color_Panel->isHidden());

  // The colour and the flag go to every frame.
  Click(wizard->ButtonSetAlColor);
  for (int i = 0; i < wizard->FrameList().Count(); ++i) {
    EXPECT_EQ(wizard->FrameList().Frame(i).Transparent, 1) << i;
    EXPECT_EQ(wizard->FrameList().Frame(i).Bitmap->TransparentColor() & 0xFFFFFF, static_cast<TColor>(clRed)) << i;
  }
}

TEST_F(ExportFramesPageTest, AFrameWithoutAColourTableTakesItsTransparentColourFromTheColourChooser) {
  TBitmap picture;
  MakeSolid(picture, 12, 12, RGB(10, 200, 30));
  picture.SaveToFile(dir.File("photo.bmp"));
  auto wizard = OpenFramesPage();
  ui.fileAnswers.push_back(FileDialogResult{dir.File("photo.bmp"), 1, {}});
  Click(wizard->AddImage_ToolButton);
  ASSERT_EQ(wizard->FrameList().Count(), kSteps + 1);
  EXPECT_EQ(wizard->GIF_PicturesGrid->Row(), kSteps + 1);
  ui.colorAnswers.push_back(RGB(10, 200, 30));
  Click(wizard->TransparencyCheckBox);
  QTest::mouseClick(wizard->ImageColorPanel, Qt::LeftButton);
  ASSERT_EQ(ui.colorRequests.size(), 1u);
  const TSetOfBitmapsItem& frame = wizard->FrameList().Frame(kSteps);
  EXPECT_EQ(frame.Bitmap->TransparentColor() & 0xFFFFFF, RGB(10, 200, 30));
  EXPECT_EQ(frame.TransparentIndex, -1);
  EXPECT_EQ(wizard->ImageColorPanel->ButtonColor(), RGB(10, 200, 30));

  // Its colours cannot be edited: it has no table.
  Click(wizard->EditPaletteButton);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "The image has more than 256 colors and doesn't have palette.");
  EXPECT_EQ(ui.messages[0].caption, "Information");
}

// ---- Dragging -------------------------------------------------------------------------------------------------

TEST_F(ExportFramesPageTest, DraggingOnThePlayerMovesTheSelectedFrameByThePointersWay) {
  auto wizard = OpenFramesPage();
  ClickFrame(*wizard, 1);
  TImage* image = wizard->ImageMoving;
  MoveMouse(image, QPoint(10, 10), Qt::NoButton);
  EXPECT_EQ(image->Cursor(), crMove);  // inside the frame
  QTest::mousePress(image, Qt::LeftButton, {}, QPoint(10, 10));
  MoveMouse(image, QPoint(14, 13), Qt::LeftButton);
  QTest::mouseRelease(image, Qt::LeftButton, {}, QPoint(14, 13));
  EXPECT_EQ(wizard->XPosSpinEdit->Value(), 4);
  EXPECT_EQ(wizard->YPosSpinEdit->Value(), 3);
  EXPECT_EQ(std::pair(wizard->FrameList().Frame(1).Left, wizard->FrameList().Frame(1).Top), std::pair(4, 3));
  MoveMouse(image, QPoint(2, 2), Qt::NoButton);  // left of the moved frame
  EXPECT_EQ(image->Cursor(), crDefault);
}

// ---- The list ---------------------------------------------------------------------------------------------------

TEST_F(ExportFramesPageTest, FramesMoveUpAndDownWithTheSelectionAndAreDeletedByButtonOrKey) {
  auto wizard = OpenFramesPage();
  const std::vector<const TMinGDIBitmap*> before = Order(*wizard);
  EXPECT_FALSE(wizard->UpBtn->isEnabled() && wizard->GIF_PicturesGrid->Row() == 0);
  ClickFrame(*wizard, 2);
  Click(wizard->UpBtn);
  EXPECT_EQ(wizard->GIF_PicturesGrid->Row(), 2);
  std::vector<const TMinGDIBitmap*> expected = before;
  std::swap(expected[1], expected[2]);
  EXPECT_EQ(Order(*wizard), expected);
  ClickFrame(*wizard, kSteps - 1);
  Click(wizard->DownBtn);  // the last frame stays
  EXPECT_EQ(Order(*wizard), expected);
  ClickFrame(*wizard, 0);
  Click(wizard->UpBtn);  // so does the first
  Click(wizard->DownBtn);
  std::swap(expected[0], expected[1]);
  EXPECT_EQ(Order(*wizard), expected);
  EXPECT_EQ(FrameNumber(*wizard), "002");

  Click(wizard->DelFrame);
  expected.erase(expected.begin() + 1);
  EXPECT_EQ(Order(*wizard), expected);
  EXPECT_EQ(wizard->GIF_PicturesGrid->RowCount(), kSteps);
  wizard->GIF_PicturesGrid->setFocus();
  QTest::keyClick(wizard->GIF_PicturesGrid, Qt::Key_Delete);
  expected.erase(expected.begin() + 1);
  EXPECT_EQ(Order(*wizard), expected);

  while (wizard->FrameList().Count() > 1) Click(wizard->DelFrame);
  EXPECT_FALSE(wizard->UpBtn->isEnabled());
  EXPECT_TRUE(wizard->DelFrame->isEnabled());
  Click(wizard->DelFrame);
  EXPECT_EQ(wizard->FrameList().Count(), 0);
  EXPECT_FALSE(wizard->DelFrame->isEnabled());
  EXPECT_FALSE(wizard->PlayBtn->isEnabled());
  EXPECT_FALSE(wizard->StepsPerFrameEdit->isEnabled());
  EXPECT_EQ(FrameNumber(*wizard), "000");
}

TEST_F(ExportFramesPageTest, PictureGifJpegAndVideoFilesAreAppendedAndTheExportNameStays) {
  TBitmap picture;
  MakeSolid(picture, 6, 4, clYellow);
  picture.SaveToFile(dir.File("still.bmp"));
  TJPEGImage jpeg;
  jpeg.Bitmap().Assign(&picture);
  jpeg.SaveToFile(dir.File("photo.jpg"));
  {
    // A GIF of two images and a 1 x 1 placeholder after the first.
    TGifFile gif;
    TBitmap image;
    MakeSolid(image, 6, 4, clBlue);
    image.SetPixelFormat(pf8bit);
    gif.AddGraphic(image);
    TBitmap placeholder;
    MakeSolid(placeholder, 1, 1, clBlue);
    placeholder.SetPixelFormat(pf8bit);
    gif.AddGraphic(placeholder);
    gif.AddGraphic(image);
    gif.GetSubImage(1)->SetDelay(10);
    gif.GetSubImage(2)->SetDelay(15);
    gif.GetSubImage(3)->SetDelay(20);
    gif.SaveToFile(dir.File("clip.gif"));
  }
  {
    TAVIObject writer;
    writer.SetOptionsChosen(true);
    const PAVIFILE file = writer.CreateAVIFile(dir.File("clip.avi"), 10);
    TBitmap frame;
    MakeSolid(frame, 6, 4, clBlack);
    const PAVISTREAM stream = writer.CreateVideoStream(file, frame);
    for (int i = 0; i < 4; ++i) {
      MakeSolid(frame, 6, 4, RGB(static_cast<std::uint8_t>(50 * i), 0, 0));
      writer.WriteFrame(file, stream, frame, i, 16);
    }
    writer.ReleaseStream(stream);
    writer.CloseAVIFile(file);
  }
  auto wizard = OpenFramesPage();
  const QString caption = wizard->windowTitle();
  ui.fileAnswers.push_back(FileDialogResult{
      "", 1, {dir.File("still.bmp"), dir.File("clip.gif"), dir.File("photo.jpg"), dir.File("clip.avi")}});
  forms.Expect("FramesIntervalForm").Fill("FirstStep", 2).Fill("StepSpinEdit", 2).Press("OkBtn");
  Click(wizard->AddImage_ToolButton);
  EXPECT_EQ(forms.Remaining(), 0u);
  ASSERT_EQ(ui.fileRequests.size(), 1u);
  EXPECT_TRUE(ui.fileRequests[0].allowMultiSelect);
  EXPECT_EQ(ui.fileRequests[0].filter,
            "All Supported Formats|*.bmp;*.gif;*.jpg;*.avi|Windows Bitmap (*.bmp)|*.bmp|CompuServe Bitmap (*.gif)|*.gif|"
            "JPEG Bitmap (*.jpg)|*.jpg|Video for Windows (*.avi)|*.avi|All Files|*.*");

  TExportFrameList& frames = wizard->FrameList();
  ASSERT_EQ(frames.Count(), kSteps + 1 + 2 + 1 + 2);
  EXPECT_EQ(frames.Frame(kSteps).Bitmap->Pixel(0, 0), clYellow);
  EXPECT_EQ(frames.Frame(kSteps + 1).Delay, 25);  // the placeholder's delay folded in
  EXPECT_EQ(frames.Frame(kSteps + 2).Delay, 20);
  EXPECT_EQ(frames.Frame(kSteps + 4).Bitmap->Pixel(0, 0), RGB(50, 0, 0));  // video frames 2 and 3
  EXPECT_EQ(frames.Frame(kSteps + 5).Bitmap->Pixel(5, 3), RGB(100, 0, 0));
  EXPECT_EQ(wizard->GIF_PicturesGrid->Row(), frames.Count());
  EXPECT_EQ(wizard->GIF_PicturesGrid->RowCount(), frames.Count() + 1);
  EXPECT_EQ(wizard->ExportFileName(), dir.File("banner.gif"));
  EXPECT_EQ(wizard->windowTitle(), caption);

  // The picture frames are not 8-bit: Finish says so and the edits stay.
  TypeInto(wizard->StepsPerFrameEdit, "44");
  Click(wizard->FinishButton);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "All images must be converted to 256 colors before saving as GIF.");
  EXPECT_TRUE(wizard->isVisible());
  EXPECT_EQ(wizard->Notebook1->currentWidget()->objectName(), "Frames");
  EXPECT_EQ(frames.Count(), kSteps + 6);
  EXPECT_EQ(frames.Frame(kSteps + 5).Delay, 44);
  EXPECT_FALSE(FileExists(dir.File("banner.gif")));
}

TEST_F(ExportFramesPageTest, AVideoWhoseIntervalIsCancelledAddsNothing) {
  {
    TAVIObject writer;
    writer.SetOptionsChosen(true);
    const PAVIFILE file = writer.CreateAVIFile(dir.File("clip.avi"), 10);
    TBitmap frame;
    MakeSolid(frame, 6, 4, clBlack);
    const PAVISTREAM stream = writer.CreateVideoStream(file, frame);
    writer.WriteFrame(file, stream, frame, 0, 16);
    writer.ReleaseStream(stream);
    writer.CloseAVIFile(file);
  }
  auto wizard = OpenFramesPage();
  ui.fileAnswers.push_back(FileDialogResult{dir.File("clip.avi"), 1, {}});
  forms.Expect("FramesIntervalForm").Answer(mrCancel);
  Click(wizard->AddImage_ToolButton);
  EXPECT_EQ(wizard->FrameList().Count(), kSteps);
  // A file that cannot be read is reported and the page stays as it was.
  dir.WriteFile("broken.bmp", "BM not really");
  ui.fileAnswers.push_back(FileDialogResult{dir.File("broken.bmp"), 1, {}});
  Click(wizard->AddImage_ToolButton);
  EXPECT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(wizard->FrameList().Count(), kSteps);
  EXPECT_EQ(wizard->BottomPage(), TExportFrm::bpButtons);
}

// ---- The colour-table editor ----------------------------------------------------------------------------------

TEST_F(ExportFramesPageTest, AColourOfTheFramesTableIsPickedInTheEditorWithItsIndex) {
  auto wizard = OpenFramesPage();
  ClickFrame(*wizard, 0);
  const TPalette& palette = wizard->FrameList().Frame(0).Bitmap->Palette();
  ASSERT_GE(palette.Count(), 2);
  int picked = -1;
  forms.Expect("EditPaletteForm").Do([&](QDialog& form) {
    auto& editor = static_cast<TEditPaletteForm&>(form);
    // Picking only: no colour edits, no files, no "all frames".
    EXPECT_FALSE(editor.RedSpinEdit->isEnabled());
    EXPECT_TRUE(editor.SetToAllCheckBox->isHidden());
    EXPECT_TRUE(editor.LoadPalBtn->isHidden());
    EXPECT_TRUE(editor.SavePalBtn->isHidden());
    const TRect cell = editor.ColorsGrid->CellRect(1, 0);
    QTest::mouseClick(editor.ColorsGrid, Qt::LeftButton, {},
                      QPoint((cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2));
    picked = editor.SelectedIndex();
  }).Press("OkBtn");
  QTest::mouseClick(wizard->ImageColorPanel, Qt::LeftButton);
  EXPECT_EQ(forms.Remaining(), 0u);
  ASSERT_EQ(picked, 1);
  const TSetOfBitmapsItem& frame = wizard->FrameList().Frame(0);
  EXPECT_EQ(frame.TransparentIndex, 1);
  EXPECT_EQ(frame.Transparent, 1);
  EXPECT_EQ(frame.Bitmap->TransparentColor() & 0xFFFFFF, ColorOf(palette.Entry(1)));
  EXPECT_TRUE(ui.colorRequests.empty());  // not the colour chooser
}

TEST_F(ExportFramesPageTest, AnEditedColourTableRecoloursTheFrameOrEveryFrame) {
  const TPoint red = RedPointOfFirstStep();
  auto wizard = OpenFramesPage();
  ClickFrame(*wizard, 0);
  const int index = GetNearestPaletteIndex(wizard->FrameList().Frame(0).Bitmap->Palette(), clRed);
  const auto recolour = [&](bool allFrames) {
    forms.Expect("EditPaletteForm").Do([&, allFrames](QDialog& form) {
      auto& editor = static_cast<TEditPaletteForm&>(form);
      const TRect cell = editor.ColorsGrid->CellRect(index % 16, index / 16);
      QTest::mouseClick(editor.ColorsGrid, Qt::LeftButton, {},
                        QPoint((cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2));
      ASSERT_EQ(editor.SelectedIndex(), index);
      editor.RedSpinEdit->SetValue(0);
      editor.GreenSpinEdit->SetValue(allFrames ? 255 : 128);
      editor.SetToAllCheckBox->setChecked(allFrames);
    }).Press("OkBtn");
    Click(wizard->EditPaletteButton);
  };
  recolour(false);
  EXPECT_EQ(wizard->FrameList().Frame(0).Bitmap->Pixel(red.X, red.Y), RGB(0, 128, 0));
  EXPECT_EQ(wizard->FrameList().Frame(0).Bitmap->PixelFormat(), pf8bit);
  recolour(true);
  EXPECT_EQ(wizard->FrameList().Frame(0).Bitmap->Pixel(red.X, red.Y), clLime);
  // The second frame (cropped to the block's move) shows the new colour too.
  const TSetOfBitmapsItem& second = wizard->FrameList().Frame(1);
  bool lime = false;
  for (int y = 0; y < second.Bitmap->Height(); ++y)
    for (int x = 0; x < second.Bitmap->Width(); ++x) lime = lime || second.Bitmap->Pixel(x, y) == clLime;
  EXPECT_TRUE(lime);
  EXPECT_EQ(forms.Remaining(), 0u);
}

// ---- A frame wider than the player's panel -----------------------------------------------------------------------

// The frames are drawn at their own size; the panel scrolls to show all of one.
TEST_F(ExportFramesPageTest, AFrameWiderThanThePanelIsDrawnWholeAndCanBeScrolledTo) {
  constexpr int kWide = 400;
  scene.Width = kWide;
  MakeSolid(output, kWide, kSceneHeight, clWhite);
  auto wizard = OpenFramesPage();
  QCoreApplication::processEvents();
  auto* box = wizard->findChild<QScrollArea*>("PlayerScrollBox");
  ASSERT_NE(box, nullptr);
  ASSERT_LT(box->viewport()->width(), kWide) << "the page is narrower than the frame";
  TImage& image = *wizard->ImageMoving;
  EXPECT_EQ(image.BoundsRect(), Bounds(image.Left(), image.Top(), kWide, kSceneHeight));
  ASSERT_TRUE(box->horizontalScrollBar()->isVisible());
  // Scrolled to either end, that end of the frame and its outline are in sight.
  box->horizontalScrollBar()->setValue(box->horizontalScrollBar()->maximum());
  QCoreApplication::processEvents();
  const QPoint rightEdge = image.mapTo(box->viewport(), QPoint(kWide - 1, 0));
  EXPECT_LT(rightEdge.x(), box->viewport()->width());
  EXPECT_GE(wizard->BordersBox->mapTo(box->viewport(), QPoint(wizard->BordersBox->width() - 1, 0)).x(),
            rightEdge.x());
  box->horizontalScrollBar()->setValue(0);
  QCoreApplication::processEvents();
  EXPECT_GE(image.mapTo(box->viewport(), QPoint(0, 0)).x(), 0);
}
