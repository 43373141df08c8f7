// The export wizard from start to finish as a user drives it: a GIF walked
// page by page with one frame's delay changed, a JPEG series, an AVI and a
// BMP; Esc and Cancel in the middle of a step; a step that cannot be
// composed; the progress display.
#include "controls/DrawGrid.h"
#include "controls/My_Gauges.h"
#include "controls/My_SpinEdit.h"
#include "imaging/AVIFileU.h"
#include "imaging/GifUnit.h"
#include "imaging/JpgImg.h"
#include "platform/Streams.h"
#include "tests/dialogs/ExportWizardFixture.h"
#include "tests/dialogs/core/ExportTestSupport.h"
#include "tests/support/FakeSystemValues.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace {

std::vector<std::uint8_t> FileBytes(const std::string& name) {
  const std::string text = TempDir::ReadFile(name);
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

// The mean difference of the channels of two pictures of one size.
double MeanDifference(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return 1000;
  double sum = 0;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) {
      const TColor p = a.Pixel(x, y), q = b.Pixel(x, y);
      sum += std::abs(GetRValue(p) - GetRValue(q)) + std::abs(GetGValue(p) - GetGValue(q)) +
             std::abs(GetBValue(p) - GetBValue(q));
    }
  return sum / (3.0 * a.Width() * a.Height());
}

// Queues an Esc key for the wizard: it arrives when the wizard next lets
// events run, which is in the middle of the step that the next click starts.
void QueueEscape(TExportFrm& wizard) {
  QCoreApplication::postEvent(&wizard, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
}

}  // namespace

// ---- Whole exports ------------------------------------------------------------------------------------

TEST_F(ExportWizardTest, AGifWalkedPageByPageIsWrittenAsTheSceneShowsItWithTheChangedDelayAndTheLoopBlock) {
  TBitmap steps[kSteps + 1];
  for (int s = 1; s <= kSteps; ++s) ShowStep(s, steps[s]);
  forms.Expect("ExportFrm").Do([&](QDialog& form) {
    auto& wizard = static_cast<TExportFrm&>(form);
    EXPECT_EQ(wizard.windowTitle(), "Export to the \"banner.gif\" file");
    Click(wizard.NextBtn);
    Click(RadioItem(wizard.PaletteRadioGroup, ptOptimized));
    Click(RadioItem(wizard.PaletteRadioGroup, ptAdaptive));
    Click(wizard.NextBtn);
    Click(wizard.RemovePixelsCheckBox);  // with the two on by default, all three reductions
    Click(wizard.NextBtn);
    ASSERT_EQ(wizard.Notebook1->currentWidget()->objectName(), "Frames");
    ASSERT_EQ(wizard.FrameList().Count(), kSteps);
    ClickFrame(wizard, 2);
    TypeInto(wizard.StepsPerFrameEdit, "37");
  }).Press("FinishButton");
  // The export command's one call, with the name typed in its "Export" dialog and the GIF type.
  TExportWizardLinks links;
  links.RequestSceneRecompute = [this] { ++recomputes; };
  EXPECT_EQ(RunExportWizard(nullptr, scene, settings, dir.File("banner"), 1, links), mrOk);
  EXPECT_EQ(forms.Remaining(), 0u);
  EXPECT_EQ(recomputes, 1);
  EXPECT_EQ(settings.PaletteType, ptAdaptive);
  EXPECT_EQ(settings.ReductionFlags, 7);

  ASSERT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"banner.gif"});
  const std::vector<std::uint8_t> bytes = FileBytes(dir.File("banner.gif"));
  int loops = 0;
  for (const GifBlock& block : GifBlocks(bytes))
    if (block.type == '!' && block.label == 0xFF && block.fixed == "NETSCAPE2.0") {
      ++loops;
      EXPECT_EQ(block.data, std::string("\x01\x00\x00", 3));  // endless
    }
  EXPECT_EQ(loops, 1);
  const auto gif = ReadGif(bytes);
  const std::vector<TGifSubImage*> images = GifImages(*gif);
  ASSERT_EQ(static_cast<int>(images.size()), kSteps);
  for (int k = 1; k <= kSteps; ++k) {
    EXPECT_EQ(images[k - 1]->GetDelay(), k == 3 ? 37 : 6) << "image " << k;
    TBitmap shown;
    gif->GetFrameBitmap(k, shown);
    EXPECT_LE(LargestDifference(shown, steps[k]), 8) << "image " << k;
  }
  // Later images hold only what changed.
  EXPECT_LT(images[1]->Width(), kSceneWidth);
}

TEST_F(ExportWizardTest, AJpegSeriesIsNumberedFrom001AtTheChosenQuality) {
  TBitmap step2;
  ShowStep(2, step2);
  auto wizard = OpenWizard(dir.File("series.jpg"));
  TypeInto(wizard->StepSpinEdit, "3");
  TypeInto(wizard->FirstStep, "2");
  Click(wizard->NextBtn);
  TypeInto(wizard->QualitySpin, "1");
  Click(wizard->FinishButton);
  EXPECT_FALSE(wizard->isVisible());
  EXPECT_EQ(wizard->result(), QDialog::Accepted);
  EXPECT_EQ(FolderEntries(dir.Path()), (std::vector<std::string>{"series_001.jpg", "series_002.jpg", "series_003.jpg"}));
  TJPEGImage first;
  first.SetFileName(dir.File("series_001.jpg"));
  EXPECT_LE(MeanDifference(first.Bitmap(), step2), 2.0);  // quality 100
}

// The bytes of a picture coded as a JPEG at a quality.
std::string JpegBytes(const TBitmap& picture, int quality) {
  TJPEGImage jpeg;
  jpeg.Bitmap().Assign(&picture);
  jpeg.SetQuality(quality);
  TMemoryStream stream;
  jpeg.SaveToStream(stream);
  return std::string(reinterpret_cast<const char*>(stream.Memory()), static_cast<std::size_t>(stream.Size()));
}

TEST_F(ExportWizardTest, AOneFrameJpegHasNoNumberAndTheFactorsGiveQualities100And76) {
  auto wizard = OpenWizard(dir.File("still.jpg"));
  Click(wizard->NextBtn);
  EXPECT_EQ(wizard->QualitySpin->Value(), 25);  // a new session's factor
  ASSERT_EQ(wizard->FrameList().Count(), 1);
  TBitmap frame;
  frame.Assign(wizard->FrameList().Frame(0).Bitmap.get());
  Click(wizard->FinishButton);
  ASSERT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"still.jpg"});
  EXPECT_EQ(TempDir::ReadFile(dir.File("still.jpg")), JpegBytes(frame, 76));

  std::filesystem::remove(dir.File("still.jpg"));
  auto best = OpenWizard(dir.File("still.jpg"));
  Click(best->NextBtn);
  TypeInto(best->QualitySpin, "1");
  Click(best->FinishButton);
  EXPECT_EQ(TempDir::ReadFile(dir.File("still.jpg")), JpegBytes(frame, 100));
}

TEST_F(ExportWizardTest, AnAviHasEveryStepAtTheStepRate) {
  ui.videoCompressionAnswers.push_back(VideoCompression{0, 7500});
  TBitmap step1;
  ShowStep(1, step1);
  auto wizard = OpenWizard(dir.File("movie.avi"));
  Click(wizard->FinishButton);
  EXPECT_EQ(wizard->result(), QDialog::Accepted);
  TAVIObject avi;
  const PAVIFILE file = avi.OpenAVIFile(dir.File("movie.avi"));
  ASSERT_NE(file, 0u);
  const PAVISTREAM stream = avi.OpenVideoStream(file);
  ASSERT_NE(stream, 0u);
  EXPECT_EQ(avi.FrameCount(), kSteps);
  EXPECT_EQ(avi.FrameRate(), 17);
  const std::unique_ptr<TBitmap> frame = avi.GetFrameBitmap(0);
  EXPECT_EQ(LargestDifference(*frame, step1), 0);
  avi.CloseVideoStream(stream);
  avi.CloseAVIFile(file);
}

TEST_F(ExportWizardTest, ABmpOfOneFrameHasNoNumber) {
  TBitmap step4;
  ShowStep(4, step4);
  auto wizard = OpenWizard(dir.File("still.bmp"));
  TypeInto(wizard->FirstStep, "4");
  Click(wizard->FinishButton);
  ASSERT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"still.bmp"});
  TBitmap written;
  written.LoadFromFile(dir.File("still.bmp"));
  EXPECT_EQ(LargestDifference(written, step4), 0);
}

// ---- Cancelling -------------------------------------------------------------------------------------------

TEST_F(ExportWizardTest, EscDuringFrameCreationStopsTheStepAndLeavesNoFile) {
  auto bmp = OpenWizard(dir.File("shots.bmp"));
  TypeInto(bmp->StepSpinEdit, "3");
  QueueEscape(*bmp);
  Click(bmp->FinishButton);
  EXPECT_EQ(CancelFlag, 1);
  EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{});
  EXPECT_FALSE(bmp->isVisible());
  EXPECT_EQ(bmp->result(), QDialog::Rejected);

  CancelFlag = 0;
  auto gif = OpenWizard(dir.File("banner.gif"));
  Click(gif->NextBtn);
  Click(gif->NextBtn);
  QueueEscape(*gif);
  Click(gif->NextBtn);
  EXPECT_EQ(CancelFlag, 1);
  EXPECT_TRUE(gif->isVisible());  // Esc in the step cancels it and closes nothing
  EXPECT_EQ(gif->Notebook1->currentWidget()->objectName(), "Frames_Reduction");
  EXPECT_EQ(gif->BottomPage(), TExportFrm::bpButtons);
  EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{});
  EXPECT_EQ(scene.OutputBitmap, &output);
  EXPECT_EQ(recomputes, 2);  // the scene was put back after both steps
}

TEST_F(ExportWizardTest, EscWhileTheGifIsWrittenLeavesNoFileAndTheWizardEndsAsCancelled) {
  dir.WriteFile("banner.gif", "the file that stood there");
  auto wizard = OpenWizard(dir.File("banner.gif"));
  Click(wizard->NextBtn);
  Click(wizard->NextBtn);
  Click(wizard->NextBtn);
  ASSERT_EQ(wizard->Notebook1->currentWidget()->objectName(), "Frames");
  QueueEscape(*wizard);
  Click(wizard->FinishButton);
  EXPECT_EQ(CancelFlag, 1);
  EXPECT_FALSE(wizard->isVisible());
  EXPECT_EQ(wizard->result(), QDialog::Rejected);
  EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"banner.gif"});
  EXPECT_EQ(TempDir::ReadFile(dir.File("banner.gif")), "the file that stood there");
}

TEST_F(ExportWizardTest, EscOutsideAStepAndCancelCloseTheWizard) {
  auto wizard = OpenWizard(dir.File("banner.gif"));
  QTest::keyClick(wizard.get(), Qt::Key_Escape);
  EXPECT_FALSE(wizard->isVisible());
  EXPECT_EQ(wizard->result(), QDialog::Rejected);
  EXPECT_EQ(CancelFlag, 0);
  auto second = OpenWizard(dir.File("banner.gif"));
  Click(second->NextBtn);
  Click(second->CloseBtn);
  EXPECT_FALSE(second->isVisible());
  EXPECT_EQ(second->result(), QDialog::Rejected);
  EXPECT_EQ(CancelFlag, 1);
}

TEST_F(ExportWizardTest, CancelInTheMiddleOfTheGifPipelineStopsItAndCloses) {
  auto wizard = OpenWizard(dir.File("banner.gif"));
  Click(wizard->NextBtn);
  Click(wizard->NextBtn);
  // The click reaches the wizard while the pipeline lets events run.
  QTimer::singleShot(0, wizard.get(), [&] { Click(wizard->CloseBtn); });
  Click(wizard->NextBtn);
  EXPECT_FALSE(wizard->isVisible());
  EXPECT_EQ(CancelFlag, 1);
  EXPECT_EQ(wizard->Notebook1->currentWidget()->objectName(), "Frames_Reduction");
  EXPECT_LT(wizard->FrameList().Count(), kSteps);
  EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{});
}

// ---- Failures -------------------------------------------------------------------------------------------------

TEST_F(ExportWizardTest, AStepThatCannotBeComposedIsShownAndEndsTheExportWithNoFile) {
  // A sprite that the anti-aliased resampling cannot draw from step 3 on.
  TSprite& huge = AddBlock(100, 100, clGreen);
  huge.Motion().AddStepWith(HoldAt(0, 0, 2), &huge);
  TMovingStepValues zoomed = HoldAt(0, 0);
  zoomed.ZoomXStart = zoomed.ZoomXEnd = zoomed.ZoomYStart = zoomed.ZoomYEnd = 800;
  huge.Motion().AddStepWith(zoomed, &huge);
  ResetShownDrawingFailures();
  auto wizard = OpenWizard(dir.File("shots.bmp"));
  TypeInto(wizard->FirstStep, "3");
  Click(wizard->FinishButton);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Cannot draw streatched non transparent image.");
  EXPECT_EQ(ui.messages[0].caption, "Error");
  EXPECT_EQ(ui.messages[0].flags & MB_ICONMASK, static_cast<unsigned>(MB_ICONERROR));
  EXPECT_TRUE(wizard->isVisible());
  // Told once a run by the frame, the failure is told by the wizard after that.
  Click(wizard->FinishButton);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1].text, "Cannot draw streatched non transparent image.");
  EXPECT_EQ(wizard->BottomPage(), TExportFrm::bpButtons);
  EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{});
  EXPECT_EQ(scene.OutputBitmap, &output);
}

// ---- Progress -------------------------------------------------------------------------------------------------

TEST_F(ExportWizardTest, TheProgressPageShowsWhileAStepReportsAndEscThereOnlyCancels) {
  auto wizard = OpenWizard(dir.File("banner.gif"));
  wizard->SetProgress(0, 4);
  EXPECT_EQ(wizard->BottomPage(), TExportFrm::bpProgress);
  EXPECT_TRUE(wizard->HideProgressTimer.Enabled());
  EXPECT_EQ(wizard->Gauge1->Progress(), 0);
  SendMessage(wizard->Engine().ProgressWindow, WM_IMAGEPROGRESS, 2, 4);
  EXPECT_EQ(wizard->Gauge1->Progress(), 50);
  wizard->ShowLabel("Calculating Palette...");
  EXPECT_EQ(wizard->ProgressLabel->text(), "Calculating Palette...");
  QTest::keyClick(wizard.get(), Qt::Key_Escape);
  EXPECT_EQ(CancelFlag, 1);
  EXPECT_TRUE(wizard->isVisible());
  wizard->SetProgress(4, 4);
  EXPECT_EQ(wizard->BottomPage(), TExportFrm::bpButtons);
  wizard->SetProgress(1, 4);
  wizard->HideProgressTimerTimer();
  EXPECT_EQ(wizard->BottomPage(), TExportFrm::bpButtons);
  EXPECT_FALSE(wizard->HideProgressTimer.Enabled());
}

TEST_F(ExportWizardTest, AStepLetsEventsRunAtItsStartAndEndAndOnceInAWhileBetween) {
  auto wizard = OpenWizard(dir.File("banner.gif"));
  FakeSystemValues system;
  system.micros = 1000000;
  int delivered = 0;
  const auto post = [&] { QTimer::singleShot(0, wizard.get(), [&] { ++delivered; }); };
  post();
  wizard->SetProgress(0, 100);  // a step starts
  EXPECT_EQ(delivered, 1);
  post();
  system.AdvanceMilliseconds(10);
  wizard->SetProgress(1, 100);
  EXPECT_EQ(delivered, 1);  // not at every frame
  system.AdvanceMilliseconds(15);
  wizard->SetProgress(2, 100);
  EXPECT_EQ(delivered, 2);  // 25 ms on
  post();
  wizard->SetProgress(100, 100);  // the step ends
  EXPECT_EQ(delivered, 3);
}

TEST_F(ExportWizardTest, ABannerWithASmallMagentaSpriteKeepsItsColoursWithPerFramePalettesAndAllReductions) {
  // A 160 x 30 banner of 100 steps: a 6 x 5 magenta ellipse crossing it by 3
  // pixels a step, a block of a thousand colours sliding by one, and the two
  // blocks holding still.
  constexpr int kLongSteps = 100;
  scene.Width = 160;
  scene.StepCount = kLongSteps;
  MakeSolid(output, 160, kSceneHeight, clWhite);
  scene.Sprite(0).Motion().ChangeStep(0, HoldAt(0, 22), &scene.Sprite(0));
  scene.Sprite(1).Motion().ChangeStep(0, HoldAt(40, 12), &scene.Sprite(1));
  int index = 0;
  TSprite& block = *scene.AddSprite(index);
  TBitmap colours;
  MakeThousandColours(colours);
  block.AddFrame()->SetPicture(colours, false, 0, -1, -1);
  block.Motion().AddStepWith(LineFrom(60, 0, 160, 0, 1), &block);
  TSprite& sprite = *scene.AddSprite(index);
  TBitmap ellipse;
  MakeMagentaEllipse(ellipse);
  sprite.AddFrame()->SetPicture(ellipse, true, clWhite, -1, -1);
  sprite.Motion().AddStepWith(LineFrom(0, 12, 150, 12, 3), &sprite);
  std::vector<std::unique_ptr<TBitmap>> steps(kLongSteps + 1);
  for (int s = 1; s <= kLongSteps; ++s) {
    steps[static_cast<std::size_t>(s)] = std::make_unique<TBitmap>();
    ShowStep(s, *steps[static_cast<std::size_t>(s)]);
  }

  forms.Expect("ExportFrm").Do([&](QDialog& form) {
    auto& wizard = static_cast<TExportFrm&>(form);
    Click(wizard.NextBtn);
    Click(RadioItem(wizard.PaletteRadioGroup, ptDifferentAdaptive));
    Click(wizard.NextBtn);
    Click(wizard.RemovePixelsCheckBox);
    Click(wizard.NextBtn);
    ASSERT_EQ(wizard.Notebook1->currentWidget()->objectName(), "Frames");
  }).Press("FinishButton");
  EXPECT_EQ(RunExportWizard(nullptr, scene, settings, dir.File("magenta"), 1, TExportWizardLinks{}), mrOk);
  EXPECT_EQ(settings.ReductionFlags, 7);

  // An image shows for the steps its delay holds; each is within the
  // palette's rounding of what the scene shows there (a thousand colours in
  // 256 leave no pixel 100 levels off).
  const auto gif = ReadGif(FileBytes(dir.File("magenta.gif")));
  int step = 1;
  for (int k = 1; k <= gif->ImageCount() && step <= kLongSteps; ++k) {
    if (gif->GetSubImage(k)->Pixels() == nullptr) continue;
    TBitmap shown;
    gif->GetFrameBitmap(k, shown);
    for (int n = 0; n < std::max(gif->GetSubImage(k)->GetDelay() / 6, 1) && step <= kLongSteps; ++n, ++step)
      ASSERT_LE(LargestDifference(shown, *steps[static_cast<std::size_t>(step)]), 100) << "image " << k << ", step " << step;
  }
  EXPECT_EQ(step, kLongSteps + 1);
}
