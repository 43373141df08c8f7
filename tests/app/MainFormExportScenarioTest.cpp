// A banner made and exported through the main window as a user does it: a new
// document, a rectangle and a moving picture added by their commands, Ctrl+E
// answered with a GIF walked page by page, then the same scene as an AVI.
#include "tests/app/MainFormPagesFixture.h"
#include "tests/support/FindChild.h"

#include "controls/DrawGrid.h"
#include "controls/RadioGroup.h"
#include "controls/My_SpinEdit.h"
#include "dialogs/ExportFrmU.h"
#include "dialogs/core/ExportSettings.h"
#include "imaging/AVIFileU.h"
#include "imaging/GifUnit.h"
#include "imaging/utils.h"
#include "tests/dialogs/ExportWizardFixture.h"
#include "tests/dialogs/core/ExportTestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace {

constexpr int kSteps = 6;

TColor Halves(int x, int) { return x < 5 ? static_cast<TColor>(0x2040E0) : static_cast<TColor>(0x40C010); }

void Click(QAbstractButton* button) {
  if (button->inherits("QCheckBox") || button->inherits("QRadioButton"))
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
  else
    QTest::mouseClick(button, Qt::LeftButton);
}

void TurnOn(QCheckBox* box) {
  if (!box->isChecked()) Click(box);
}

class MainFormExportScenario : public MainFormPagesTest {
 protected:
  ~MainFormExportScenario() override { CancelFlag = 0; }

  static void ProcessMessages() { QCoreApplication::processEvents(); }

  // What the scene shows at step s.
  static void ShowStep(TAnimatedScene& scene, int s, TBitmap& picture) {
    scene.GotoFrame(s + 1);
    scene.BackgroundDrawn = 0;
    scene.NextFrame();
    picture.Assign(scene.OutputBitmap);
  }

  void AnswerExport(const std::string& name, int filterIndex) {
    const std::string fileName = out_.File(name);
    ui_.fileAnswers.push_back(FileDialogResult{fileName, filterIndex, {fileName}});
  }

  void PressCtrlE() { QTest::keyClick(form_.get(), Qt::Key_E, Qt::ControlModifier); }

  TempDir out_;
};

TEST_F(MainFormExportScenario, ABannerMadeWithTheCommandsIsExportedAsTheGifTheSceneShowsAndAsAnAvi) {
  TPagesMainForm& form = StartPages();
  QApplication::setActiveWindow(&form);
  TAnimationWindow* first = Editor(form).ActiveAnimationWindow();
  Command(form, "File_New")->trigger();
  ProcessMessages();
  ASSERT_NE(Editor(form).ActiveAnimationWindow(), nullptr);
  ASSERT_NE(Editor(form).ActiveAnimationWindow(), first);
  TAnimatedScene& scene = Scene();
  scene.StepCount = kSteps;

  // A rectangle sprite, then a picture sprite, each by its command.
  Command(form, "Scene_Add_Rectangle")->trigger();
  ProcessMessages();
  ASSERT_EQ(scene.SpriteCount(), 1);
  TSprite* rectangle = &scene.Sprite(0);
  const std::string picture = WriteBmp("halves.bmp", 10, 6, Halves);
  ui_.fileAnswers.push_back(FileDialogResult{picture, 1, {picture}});
  Command(form, "Scene_Add_Image")->trigger();
  ProcessMessages();
  ASSERT_EQ(scene.SpriteCount(), 2);
  TSprite& pictureSprite = &scene.Sprite(0) == rectangle ? scene.Sprite(1) : scene.Sprite(0);
  ASSERT_EQ(pictureSprite.FrameCount(), 1);

  // The picture moves along a line across the banner.
  form.ChooseSprite(&pictureSprite);
  Child<QStackedWidget>(form, "Notebook_Properties")->setCurrentIndex(ppMotion);
  Editor(form).Motion().LoadMotionPage();
  Command(form, "Motion_Linear")->trigger();
  ASSERT_EQ(pictureSprite.Motion().Step(0).Kind, mskLine);
  Child<QLineEdit>(form, "FirstX")->setText("0");
  Child<QLineEdit>(form, "FirstY")->setText("30");
  Child<QLineEdit>(form, "LastX")->setText("200");
  Child<QLineEdit>(form, "LastY")->setText("30");
  Editor(form).Motion().TimerRedrawTimer();

  TBitmap steps[kSteps + 1];
  for (int s = 1; s <= kSteps; ++s) ShowStep(scene, s, steps[s]);
  ASSERT_GT(LargestDifference(steps[1], steps[kSteps]), 100);  // the picture moved

  // Ctrl+E, "banner" as a GIF, the wizard walked with Next.
  AnswerExport("banner", 1);
  int firstDelay = -1;
  forms_.Expect("ExportFrm")
      .Do([&](QDialog& dialog) {
        auto& wizard = static_cast<TExportFrm&>(dialog);
        EXPECT_EQ(wizard.windowTitle(), "Export to the \"banner.gif\" file");
        Click(wizard.NextBtn);
        ASSERT_EQ(wizard.Notebook1->currentWidget()->objectName(), "Palette");
        Click(RadioItem(wizard.PaletteRadioGroup, ptOptimized));
        Click(RadioItem(wizard.PaletteRadioGroup, ptAdaptive));
        Click(wizard.NextBtn);
        ASSERT_EQ(wizard.Notebook1->currentWidget()->objectName(), "Frames_Reduction");
        TurnOn(wizard.ShrinkCheckBox);
        TurnOn(wizard.RemovePixelsCheckBox);
        TurnOn(wizard.RemoveFramesCheckBox);
        Click(wizard.NextBtn);
        ASSERT_EQ(wizard.Notebook1->currentWidget()->objectName(), "Frames");
        ASSERT_EQ(wizard.FrameList().Count(), kSteps);
        firstDelay = wizard.FrameList().Frame(0).Delay;
        ClickFrame(wizard, 2);
        TypeInto(Child<TSpinEdit>(wizard, "StepsPerFrameEdit"), "37");
      })
      .Press("FinishButton");
  PressCtrlE();
  EXPECT_EQ(forms_.Remaining(), 0u);
  ASSERT_EQ(forms_.shown.size(), 1u);
  EXPECT_EQ(forms_.shown[0].result, mrOk);
  EXPECT_EQ(Editor(form).Files().ExportSettings().PaletteType, ptAdaptive);
  EXPECT_EQ(Editor(form).Files().ExportSettings().ReductionFlags, 7);

  ASSERT_EQ(FolderEntries(out_.Path()), std::vector<std::string>{"banner.gif"});
  const std::string text = TempDir::ReadFile(out_.File("banner.gif"));
  const std::vector<std::uint8_t> bytes(text.begin(), text.end());
  int loops = 0;
  for (const GifBlock& block : GifBlocks(bytes))
    if (block.type == '!' && block.label == 0xFF && block.fixed == "NETSCAPE2.0") ++loops;
  EXPECT_EQ(loops, 1);
  const auto gif = ReadGif(bytes);
  const std::vector<TGifSubImage*> images = GifImages(*gif);
  ASSERT_EQ(static_cast<int>(images.size()), kSteps);
  ASSERT_NE(firstDelay, 37);
  for (int k = 1; k <= kSteps; ++k) {
    EXPECT_EQ(images[k - 1]->GetDelay(), k == 3 ? 37 : firstDelay) << "image " << k;
    TBitmap shown;
    gif->GetFrameBitmap(k, shown);
    EXPECT_LE(LargestDifference(shown, steps[k]), 8) << "image " << k;
  }

  // The same scene as an AVI.
  ui_.videoCompressionAnswers.push_back(VideoCompression{0, 7500});
  AnswerExport("banner", 3);
  QApplication::setActiveWindow(&form);  // the wizard's window had been the active one
  forms_.Expect("ExportFrm").Press("FinishButton");
  PressCtrlE();
  EXPECT_EQ(ui_.fileRequests.size(), 3u);  // the picture, then one per export
  EXPECT_EQ(forms_.Remaining(), 0u);
  ASSERT_EQ(FolderEntries(out_.Path()), (std::vector<std::string>{"banner.avi", "banner.gif"}));
  TAVIObject avi;
  const PAVIFILE file = avi.OpenAVIFile(out_.File("banner.avi"));
  ASSERT_NE(file, 0u);
  const PAVISTREAM stream = avi.OpenVideoStream(file);
  ASSERT_NE(stream, 0u);
  EXPECT_EQ(avi.FrameCount(), kSteps);
  const std::unique_ptr<TBitmap> frame = avi.GetFrameBitmap(0);
  EXPECT_EQ(LargestDifference(*frame, steps[1]), 0);
  avi.CloseVideoStream(stream);
  avi.CloseAVIFile(file);
}

}  // namespace
