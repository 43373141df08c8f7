// The export wizard's pages: names and caption, the page order of each
// format, the interval and size page with its size link and previews, the
// palette, reductions and JPEG pages, and the settings written back.
#include "controls/My_SpinEdit.h"
#include "controls/TrackBar.h"
#include "tests/dialogs/ExportWizardFixture.h"
#include "tests/support/FakeSystemValues.h"
#include "tests/support/RecordingShellServices.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QToolButton>

#include <filesystem>

namespace {

// What the bottom bar offers: "P" Previous, "N" Next, "F" Finish.
std::string Buttons(const TExportFrm& wizard) {
  std::string shown;
  if (!wizard.PreviousBtn->isHidden()) shown += "P";
  if (!wizard.NextBtn->isHidden()) shown += "N";
  if (!wizard.FinishButton->isHidden()) shown += "F";
  return shown;
}

std::string PageName(const TExportFrm& wizard) {
  return wizard.Notebook1->currentWidget()->objectName().toStdString();
}

}  // namespace

// ---- Names, caption and format ------------------------------------------------------------------

TEST_F(ExportWizardTest, TheCaptionNamesTheFileAndItsExtensionChoosesTheFormat) {
  struct Case {
    const char* name;
    const char* caption;
    TExportFormat format;
  };
  for (const Case& c : {Case{"banner.gif", "Export to the \"banner.gif\" file", efGif},
                        Case{"banner", "Export to the \"banner.gif\" file", efGif},
                        Case{"banner.xyz", "Export to the \"banner.xyz\" file", efGif},
                        Case{"shots.BMP", "Export to the \"shots.BMP\" file", efBmp},
                        Case{"shots.jpg", "Export to the \"shots.jpg\" file", efJpg},
                        Case{"movie.avi", "Export to the \"movie.avi\" file", efAvi}}) {
    auto wizard = OpenWizard(dir.File(c.name));
    EXPECT_EQ(wizard->objectName(), "ExportFrm");
    EXPECT_EQ(wizard->windowTitle().toStdString(), c.caption);
    EXPECT_EQ(wizard->Format(), c.format) << c.name;
  }
  // The main window's "Export" dialog types give the extension.
  EXPECT_EQ(ExportFileNameOfFormat("/a.b/banner.png", 1), "/a.b/banner.gif");
  EXPECT_EQ(ExportFileNameOfFormat("/a.b/banner", 2), "/a.b/banner.bmp");
  EXPECT_EQ(ExportFileNameOfFormat("banner.gif", 3), "banner.avi");
  EXPECT_EQ(ExportFileNameOfFormat("banner.gif", 4), "banner.jpg");
  EXPECT_EQ(ExportFileNameOfFormat("banner.gif", 0), "banner.gif");
}

TEST_F(ExportWizardTest, EveryPageAndComponentCarriesItsObjectName) {
  auto wizard = OpenWizard(dir.File("banner.gif"));
  const std::vector<std::string> pages = {"Size_Interval", "Palette", "Frames_Reduction", "Frames", "JPEG"};
  ASSERT_EQ(wizard->Notebook1->count(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(wizard->Notebook1->widget(i)->objectName().toStdString(), pages[i]);
  EXPECT_EQ(wizard->NotebookProgress->widget(0)->objectName(), "Buttons");
  EXPECT_EQ(wizard->NotebookProgress->widget(1)->objectName(), "Progress");
  for (const char* name :
       {"PreviousBtn", "NextBtn", "FinishButton", "CloseBtn", "HelpBtn", "Gauge1", "ProgressLabel",
        "WholeAnimationCheckBox", "FirstStep", "StepSpinEdit", "StepTrackBar", "MaxLabel", "PreviewFirstButton",
        "PreviewLastButton", "WidthPixels", "HeightPixels", "PercentOfStretch", "PercentOfHeight", "MaintainRatio",
        "TypeOfResizeRadio", "ColorsSpinEdit", "LabelNumbOfColors", "PaletteRadioGroup", "LoadPalBtn",
        "ShrinkCheckBox", "RemovePixelsCheckBox", "RemoveFramesCheckBox", "GIF_PicturesGrid", "AddImage_ToolButton",
        "UpBtn", "DownBtn", "DelFrame", "EditPaletteButton", "TransparencyCheckBox", "ImageColorPanel",
        "PickUpTransparentColorButton", "ButtonSetAlColor", "StepsPerFrameEdit", "ButtonSetAllDuration",
        "XPosSpinEdit", "YPosSpinEdit", "SetXCoordinateButton", "SetYCoordinateButton", "RestoreMethodComboBox",
        "SetToAllRestoreButton", "InterlacedCheckBox", "SetAllInterlacedButton", "ImageMoving", "BordersBox",
        "CurMovieFrame", "BackBtn", "PrevBtn", "PlayBtn", "StopBtn", "NextFrameBtn", "ColorLabel", "Color_Panel",
        "GIFFileSizeLabel", "ChangedSizedLabel", "TimeOptimizedLabel", "RecalculateSizeButton", "QualitySpin",
        "QualityTrackBar", "CalculateSizeCheckBox", "JPEGSizeLabel", "JPGTimeLabel", "PreviewJPGImage",
        "Panel_PreviewJPG"})
    EXPECT_NE(wizard->findChild<QObject*>(name), nullptr) << name;
  EXPECT_EQ(wizard->CloseBtn->text(), "&Cancel");
  EXPECT_EQ(wizard->HelpBtn->text(), "&Help");
  EXPECT_EQ(wizard->PreviousBtn->text(), "Previous");
  EXPECT_EQ(wizard->NextBtn->text(), "Next");
  EXPECT_EQ(wizard->FinishButton->text(), "Finish");
  EXPECT_EQ(wizard->PreviewFirstButton->text(), "&First Frame");
  EXPECT_EQ(wizard->PreviewLastButton->text(), "&Last Frame");
  EXPECT_EQ(wizard->TypeOfResizeRadio->title(), " Re&sample Process: ");
  EXPECT_EQ(RadioItem(wizard->TypeOfResizeRadio, 1)->text(), "Stretch/&Truncate");
  EXPECT_EQ(wizard->PaletteRadioGroup->title(), " Palette type ");
  EXPECT_EQ(RadioItem(wizard->PaletteRadioGroup, 7)->text(), "Different Ada&ptive palettes");
  EXPECT_EQ(wizard->UpBtn->toolTip(), "Move Up");
  EXPECT_EQ(wizard->AddImage_ToolButton->toolTip(), "Insert Image");
  EXPECT_EQ(wizard->AddImage_ToolButton->statusTip(), "Insert an Image as new frame");
  EXPECT_EQ(wizard->HideProgressTimer.Interval(), 3000);
  EXPECT_EQ(wizard->TimerMoving.Interval(), 50);
  EXPECT_EQ(wizard->CalculateTimer.Interval(), 500);
  EXPECT_FALSE(wizard->HideProgressTimer.Enabled());
  EXPECT_FALSE(wizard->TimerMoving.Enabled());
  EXPECT_FALSE(wizard->CalculateTimer.Enabled());
}

// ---- Page order ----------------------------------------------------------------------------------

TEST_F(ExportWizardTest, AGifGoesThroughPaletteReductionsAndFramesAndBackOnePageAtATime) {
  auto wizard = OpenWizard(dir.File("banner.gif"));
  EXPECT_EQ(PageName(*wizard), "Size_Interval");
  EXPECT_EQ(Buttons(*wizard), "N");
  Click(wizard->NextBtn);
  EXPECT_EQ(PageName(*wizard), "Palette");
  EXPECT_EQ(Buttons(*wizard), "PN");
  Click(wizard->NextBtn);
  EXPECT_EQ(PageName(*wizard), "Frames_Reduction");
  EXPECT_EQ(Buttons(*wizard), "PN");
  Click(wizard->NextBtn);
  EXPECT_EQ(PageName(*wizard), "Frames");
  EXPECT_EQ(Buttons(*wizard), "PF");
  EXPECT_EQ(wizard->FrameList().Count(), kSteps);
  EXPECT_EQ(recomputes, 1);  // the scene was put back and recomputed
  Click(wizard->PreviousBtn);
  EXPECT_EQ(PageName(*wizard), "Frames_Reduction");
  Click(wizard->PreviousBtn);
  Click(wizard->PreviousBtn);
  EXPECT_EQ(PageName(*wizard), "Size_Interval");
  EXPECT_EQ(Buttons(*wizard), "N");
  EXPECT_TRUE(wizard->isVisible());
}

TEST_F(ExportWizardTest, AJpegSeriesGoesFromTheIntervalToTheQualityPageAndBmpAndAviFinishOnTheFirst) {
  auto jpeg = OpenWizard(dir.File("shots.jpg"));
  Click(jpeg->NextBtn);
  EXPECT_EQ(PageName(*jpeg), "JPEG");
  EXPECT_EQ(Buttons(*jpeg), "PF");
  EXPECT_EQ(jpeg->FrameList().Count(), 1);  // frames are made when the first page is left
  EXPECT_TRUE(jpeg->CalculateTimer.Enabled());
  Click(jpeg->PreviousBtn);
  EXPECT_EQ(PageName(*jpeg), "Size_Interval");
  EXPECT_EQ(Buttons(*jpeg), "N");
  for (const char* name : {"shots.bmp", "movie.avi"}) {
    auto wizard = OpenWizard(dir.File(name));
    EXPECT_EQ(PageName(*wizard), "Size_Interval") << name;
    EXPECT_EQ(Buttons(*wizard), "F") << name;
  }
}

// ---- Interval -------------------------------------------------------------------------------------

TEST_F(ExportWizardTest, AnIntervalIsChosenWhenWholeAnimationIsOffAndEveryChoiceIsKept) {
  auto wizard = OpenWizard(dir.File("banner.gif"));
  EXPECT_TRUE(wizard->WholeAnimationCheckBox->isChecked());
  EXPECT_EQ(wizard->StepSpinEdit->Value(), kSteps);
  EXPECT_EQ(wizard->MaxLabel->text().toStdString(), std::to_string(kSteps));
  EXPECT_FALSE(wizard->FirstStep->isEnabled());
  EXPECT_FALSE(wizard->StepTrackBar->isEnabled());
  Click(wizard->WholeAnimationCheckBox);
  EXPECT_TRUE(wizard->FirstStep->isEnabled());
  EXPECT_TRUE(wizard->StepSpinEdit->isEnabled());
  EXPECT_EQ(settings.WholeAnimation, 0);
  TypeInto(wizard->StepSpinEdit, "3");
  EXPECT_EQ(wizard->StepTrackBar->Position(), 3);
  EXPECT_EQ(wizard->StepTrackBar->SelEnd(), 3);
  EXPECT_EQ(settings.NumberOfFrames, 3);
  wizard->StepTrackBar->setFocus();
  QTest::keyClick(wizard->StepTrackBar, Qt::Key_Right);
  EXPECT_EQ(wizard->StepSpinEdit->Value(), 4);
  EXPECT_EQ(settings.NumberOfFrames, 4);
  TypeInto(wizard->FirstStep, "2");
  EXPECT_EQ(settings.FirstStep, 2);
  Click(RadioItem(wizard->TypeOfResizeRadio, 1));
  EXPECT_EQ(settings.ResampleKind, 1);

  // The next wizard opens with the choices made.
  wizard.reset();
  auto again = OpenWizard(dir.File("banner.gif"));
  EXPECT_FALSE(again->WholeAnimationCheckBox->isChecked());
  EXPECT_EQ(again->StepSpinEdit->Value(), 4);
  EXPECT_EQ(again->FirstStep->Value(), 2);
  EXPECT_TRUE(RadioItem(again->TypeOfResizeRadio, 1)->isChecked());
  Click(again->WholeAnimationCheckBox);
  EXPECT_EQ(again->StepSpinEdit->Value(), kSteps);
  EXPECT_EQ(again->FirstStep->Value(), 1);
}

TEST_F(ExportWizardTest, BmpAndWholeAnimationJpegExportsStartWithOneFrame) {
  auto bmp = OpenWizard(dir.File("shots.bmp"));
  EXPECT_FALSE(bmp->WholeAnimationCheckBox->isChecked());
  EXPECT_EQ(bmp->StepSpinEdit->Value(), 1);
  EXPECT_TRUE(bmp->StepSpinEdit->isEnabled());
  bmp.reset();
  settings.WholeAnimation = 1;
  auto jpeg = OpenWizard(dir.File("shots.jpg"));
  EXPECT_FALSE(jpeg->WholeAnimationCheckBox->isChecked());
  EXPECT_EQ(jpeg->StepSpinEdit->Value(), 1);
  EXPECT_EQ(settings.NumberOfFrames, 1);
}

TEST_F(ExportWizardTest, ThePreviewsShowTheFirstAndTheLastStepOfTheIntervalAtTheChosenSize) {
  TBitmap step3, step5;
  ShowStep(3, step3);
  ShowStep(5, step5);
  auto wizard = OpenWizard(dir.File("banner.gif"));
  Click(wizard->WholeAnimationCheckBox);
  TypeInto(wizard->FirstStep, "3");
  TypeInto(wizard->StepSpinEdit, "3");
  TBitmap shown[2];
  int index = 0;
  for (int i = 0; i < 2; ++i)
    forms.Expect("PreviewForm").Do([&](QDialog& form) {
      EXPECT_EQ(form.windowTitle(), "Preview");
      auto* image = form.findChild<TImage*>("Image");
      ASSERT_NE(image, nullptr);
      shown[index++].Assign(&image->Bitmap());
    });
  Click(wizard->PreviewFirstButton);
  Click(wizard->PreviewLastButton);
  ASSERT_EQ(index, 2);
  for (int x = 0; x < kSceneWidth; ++x)
    for (int y = 0; y < kSceneHeight; ++y) {
      ASSERT_EQ(shown[0].Pixel(x, y), step3.Pixel(x, y)) << x << "," << y;
      ASSERT_EQ(shown[1].Pixel(x, y), step5.Pixel(x, y)) << x << "," << y;
    }
  // At half the size the preview is half as large.
  TypeInto(wizard->PercentOfStretch, "50");
  forms.Expect("PreviewForm").Do([&](QDialog& form) {
    const TBitmap& picture = form.findChild<TImage*>("Image")->Bitmap();
    EXPECT_EQ(picture.Width(), kSceneWidth / 2);
    EXPECT_EQ(picture.Height(), kSceneHeight / 2);
  });
  Click(wizard->PreviewFirstButton);
  EXPECT_EQ(forms.Remaining(), 0u);
}

// ---- The size link ---------------------------------------------------------------------------------

TEST_F(ExportWizardTest, TheSizeFollowsThePerCentAndMaintainingTheRatioLinksBothSides) {
  scene.Width = 468;
  scene.Height = 60;
  auto wizard = OpenWizard(dir.File("banner.gif"));
  EXPECT_EQ(wizard->WidthPixels->Value(), 468);
  EXPECT_EQ(wizard->HeightPixels->Value(), 60);
  EXPECT_EQ(wizard->PercentOfStretch->Value(), 100);
  EXPECT_TRUE(wizard->MaintainRatio->isChecked());
  TypeInto(wizard->PercentOfStretch, "50");
  EXPECT_EQ(wizard->WidthPixels->Value(), 234);
  EXPECT_EQ(wizard->PercentOfHeight->Value(), 50);
  EXPECT_EQ(wizard->HeightPixels->Value(), 30);
  // A width typed digit by digit is never rewritten on the way ("2" is below 1 %).
  TypeInto(wizard->WidthPixels, "117");
  EXPECT_EQ(wizard->WidthPixels->Value(), 117);
  EXPECT_EQ(wizard->PercentOfStretch->Value(), 25);
  EXPECT_EQ(wizard->PercentOfHeight->Value(), 25);
  EXPECT_EQ(wizard->HeightPixels->Value(), 15);
  // Unticked, each side keeps its own per cent.
  Click(wizard->MaintainRatio);
  TypeInto(wizard->PercentOfStretch, "10");
  EXPECT_EQ(wizard->WidthPixels->Value(), 47);
  EXPECT_EQ(wizard->PercentOfHeight->Value(), 25);
  EXPECT_EQ(wizard->HeightPixels->Value(), 15);
  // Ticking it again changes nothing until the next change.
  Click(wizard->MaintainRatio);
  EXPECT_EQ(wizard->HeightPixels->Value(), 15);
  TypeInto(wizard->PercentOfHeight, "20");
  EXPECT_EQ(wizard->HeightPixels->Value(), 12);
  EXPECT_EQ(wizard->PercentOfStretch->Value(), 20);
  EXPECT_EQ(wizard->WidthPixels->Value(), 94);
  // 100 % is exactly the scene's size, whatever the rounding of the others.
  TypeInto(wizard->PercentOfStretch, "100");
  EXPECT_EQ(wizard->WidthPixels->Value(), 468);
  EXPECT_EQ(wizard->HeightPixels->Value(), 60);
  // The frames are made at the size shown.
  TypeInto(wizard->HeightPixels, "30");
  EXPECT_EQ(wizard->WidthPixels->Value(), 234);
  EXPECT_EQ(wizard->PercentOfStretch->Value(), 50);
}

// ---- Palette, reductions, JPEG ----------------------------------------------------------------------

TEST_F(ExportWizardTest, ThePaletteTypeDecidesTheColourCountShownAndTheLoadButton) {
  auto wizard = OpenWizard(dir.File("banner.gif"));
  Click(wizard->NextBtn);
  EXPECT_TRUE(RadioItem(wizard->PaletteRadioGroup, ptAdaptive)->isChecked());
  EXPECT_FALSE(wizard->ColorsSpinEdit->isHidden());
  EXPECT_TRUE(wizard->LabelNumbOfColors->isHidden());
  EXPECT_FALSE(wizard->LoadPalBtn->isEnabled());
  struct Case {
    int type;
    bool spin;
    const char* label;
  };
  for (const Case& c : {Case{ptBrowser, false, "256"}, Case{ptOptimized, true, ""}, Case{ptStandardVGA, false, "16"},
                        Case{ptGrayscale, false, "256"}, Case{ptCustom, false, "256"},
                        Case{ptDifferentOptimized, true, ""}, Case{ptDifferentAdaptive, true, ""}}) {
    Click(RadioItem(wizard->PaletteRadioGroup, c.type));
    EXPECT_EQ(settings.PaletteType, c.type);
    EXPECT_EQ(!wizard->ColorsSpinEdit->isHidden(), c.spin) << c.type;
    EXPECT_EQ(!wizard->LabelNumbOfColors->isHidden(), !c.spin) << c.type;
    if (!c.spin) {
      EXPECT_EQ(wizard->LabelNumbOfColors->text().toStdString(), c.label);
    }
    EXPECT_EQ(wizard->LoadPalBtn->isEnabled(), c.type == ptCustom) << c.type;
  }
  TypeInto(wizard->ColorsSpinEdit, "64");
  EXPECT_EQ(settings.NumberOfColors, 64);
}

TEST_F(ExportWizardTest, ACustomPaletteIsLoadedFromAPaletteFileForThePaletteEngine) {
  FakeSystemValues system;
  system.programFolder = dir.Path() + "/";
  std::filesystem::create_directory(dir.File("palettes"));
  const std::string file = dir.WriteFile("palettes/warm.pal", "255 0 0\n0 0 255\n");
  auto wizard = OpenWizard(dir.File("banner.gif"));
  Click(wizard->NextBtn);
  Click(RadioItem(wizard->PaletteRadioGroup, ptCustom));
  ASSERT_TRUE(wizard->LoadPalBtn->isEnabled());
  // The colour-table editor, where the program has it, shows the palette and is confirmed.
  forms.Expect("EditPaletteForm").Answer(mrOk);
  ui.fileAnswers.push_back(FileDialogResult{file, 1, {}});
  Click(wizard->LoadPalBtn);
  ASSERT_EQ(ui.fileRequests.size(), 1u);
  EXPECT_EQ(ui.fileRequests[0].filter, "Palette File [*.pal]|*.pal|All Files|*.*");
  EXPECT_EQ(ui.fileRequests[0].initialDir, dir.Path() + "/");
  const TMaxLogPalette& custom = wizard->Engine().CustomPalette;
  EXPECT_EQ(custom.palVersion, 0x300);
  EXPECT_EQ(custom.palNumEntries, 256);
  EXPECT_EQ(ColorOf(custom.palPalEntry[0]), static_cast<TColor>(clRed));
  EXPECT_EQ(ColorOf(custom.palPalEntry[1]), static_cast<TColor>(clBlue));
  // It reopens in the folder of the file chosen; a cancelled choice keeps the palette.
  Click(wizard->LoadPalBtn);
  ASSERT_EQ(ui.fileRequests.size(), 2u);
  EXPECT_EQ(ui.fileRequests[1].initialDir, dir.File("palettes") + "/");
  EXPECT_EQ(ColorOf(wizard->Engine().CustomPalette.palPalEntry[1]), static_cast<TColor>(clBlue));
}

TEST_F(ExportWizardTest, TheReductionBoxesKeepTheirFlags) {
  auto wizard = OpenWizard(dir.File("banner.gif"));
  EXPECT_TRUE(wizard->ShrinkCheckBox->isChecked());
  EXPECT_FALSE(wizard->RemovePixelsCheckBox->isChecked());
  EXPECT_TRUE(wizard->RemoveFramesCheckBox->isChecked());
  Click(wizard->NextBtn);
  Click(wizard->NextBtn);
  Click(wizard->RemovePixelsCheckBox);
  EXPECT_EQ(settings.ReductionFlags, 7);
  Click(wizard->ShrinkCheckBox);
  Click(wizard->RemoveFramesCheckBox);
  EXPECT_EQ(settings.ReductionFlags, 2);
}

TEST_F(ExportWizardTest, TheJpegEstimateFollowsTheLastQualityChangeAfterItsTimer) {
  auto wizard = OpenWizard(dir.File("shots.jpg"));
  Click(wizard->NextBtn);
  EXPECT_EQ(wizard->QualitySpin->Value(), 25);
  EXPECT_EQ(wizard->QualityTrackBar->Position(), 25);
  wizard->CalculateTimerTimer();
  EXPECT_FALSE(wizard->CalculateTimer.Enabled());
  const std::optional<TJpegEstimate> at25 = wizard->Engine().CalculateJpegSize();
  ASSERT_TRUE(at25);
  EXPECT_EQ(wizard->JPEGSizeLabel->text().toStdString(), at25->SizeText);
  EXPECT_EQ(wizard->JPGTimeLabel->text().toStdString(), " less than 1 second");
  EXPECT_EQ(wizard->PreviewJPGImage->Bitmap().Width(), kSceneWidth);
  EXPECT_EQ(wizard->PreviewJPGImage->Width(), kSceneWidth);

  TypeInto(wizard->QualitySpin, "1");
  EXPECT_EQ(settings.JpegFactor, 1);
  EXPECT_EQ(wizard->QualityTrackBar->Position(), 1);
  EXPECT_TRUE(wizard->CalculateTimer.Enabled());
  EXPECT_EQ(wizard->JPEGSizeLabel->text().toStdString(), at25->SizeText);  // not before the tick
  wizard->CalculateTimerTimer();
  const std::optional<TJpegEstimate> at1 = wizard->Engine().CalculateJpegSize();
  EXPECT_GT(at1->Bytes, at25->Bytes);  // quality 100
  EXPECT_EQ(wizard->JPEGSizeLabel->text().toStdString(), at1->SizeText);
  wizard->QualityTrackBar->setFocus();
  QTest::keyClick(wizard->QualityTrackBar, Qt::Key_End);
  EXPECT_EQ(wizard->QualitySpin->Value(), 76);
  EXPECT_EQ(settings.JpegFactor, 76);

  Click(wizard->CalculateSizeCheckBox);
  EXPECT_TRUE(wizard->JPEGSizePanel->isHidden());
  EXPECT_TRUE(wizard->JPGTimePanel->isHidden());
  EXPECT_TRUE(wizard->PreviewJPGImage->isHidden());
  wizard->CalculateTimer.SetEnabled(false);
  Click(wizard->CalculateSizeCheckBox);
  EXPECT_FALSE(wizard->JPEGSizePanel->isHidden());
  EXPECT_TRUE(wizard->CalculateTimer.Enabled());
}

// ---- Help -----------------------------------------------------------------------------------------------

TEST_F(ExportWizardTest, F1AndTheHelpButtonOpenTheExportTopicBesideTheProgram) {
  FakeSystemValues system;
  system.programFolder = dir.Path() + "/";
  RecordingShellServices shell;
  auto wizard = OpenWizard(dir.File("banner.gif"));
  QTest::keyClick(wizard.get(), Qt::Key_F1);
  EXPECT_TRUE(shell.opened.empty());  // no page there
  std::filesystem::create_directory(dir.File("help"));
  dir.WriteFile("help/Exporttheanimation.html", "<html></html>");
  QTest::keyClick(wizard.get(), Qt::Key_F1);
  Click(wizard->HelpBtn);
  EXPECT_EQ(shell.opened, (std::vector<std::string>{dir.Path() + "/help/Exporttheanimation.html",
                                                     dir.Path() + "/help/Exporttheanimation.html"}));
  EXPECT_TRUE(wizard->isVisible());
}
