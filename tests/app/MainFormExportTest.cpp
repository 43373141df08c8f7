// The main window's export command: Ctrl+E, the "Export" dialog and the
// export wizard it opens on the current scene, walked as a user walks it.
#include "tests/app/MainFormFixture.h"
#include "tests/support/FindChild.h"

#include "app/AnimationWindowU.h"
#include "controls/My_SpinEdit.h"
#include "dialogs/ExportFrmU.h"
#include "imaging/GifUnit.h"
#include "platform/SysUtils.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"
#include "tests/dialogs/ExportWizardFixture.h"
#include "tests/dialogs/core/ExportTestSupport.h"
#include "tests/scene/ProjectTestSupport.h"

#include <QPushButton>
#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QStackedWidget>
#include <QTest>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace {

constexpr int kSteps = 6;

void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

class MainFormExport : public MainFormTest {
 protected:
  ~MainFormExport() override { CancelFlag = 0; }

  // The editor with its first document, whose scene gets a blue rectangle
  // sprite moving right over the document's background.
  TAnimatedScene& StartWithMovingRectangle() {
    Start();
    QApplication::setActiveWindow(&Form());
    TAnimationWindow* document = Editor(Form()).ActiveAnimationWindow();
    EXPECT_NE(document, nullptr);
    TAnimatedScene& scene = *document->Scene();
    scene.StepCount = kSteps;
    int index = 0;
    TSprite& sprite = *scene.AddSprite(index);
    TShapeParams shape = SampleShape();
    shape.FillColor1 = shape.FillColor2 = static_cast<std::int32_t>(clBlue);
    sprite.AddShape(fkRectangle, 16, 10, shape, false, 0);
    sprite.Motion().AddStepWith(LineFrom(0, 5, 60, 5, kSteps), &sprite);
    return scene;
  }

  // What the scene shows at step s.
  static void ShowStep(TAnimatedScene& scene, int s, TBitmap& picture) {
    scene.GotoFrame(s + 1);
    scene.BackgroundDrawn = 0;
    scene.NextFrame();
    picture.Assign(scene.OutputBitmap);
  }

  // The "Export" dialog answered with a name in the test's folder and a file type.
  void AnswerExport(const std::string& name, int filterIndex) {
    FileDialogResult answer;
    answer.fileName = out_.File(name);
    answer.filterIndex = filterIndex;
    answer.fileNames = {answer.fileName};
    ui_.fileAnswers.push_back(answer);
  }

  void PressCtrlE() { QTest::keyClick(&Form(), Qt::Key_E, Qt::ControlModifier); }

  TempDir out_;
};

// ---- The "Export" dialog -----------------------------------------------------------------------------

TEST_F(MainFormExport, TheDialogIsCalledExportProposesTheSceneNameInLowerCaseAndOffersTheFourTypes) {
  TAnimatedScene& scene = StartWithMovingRectangle();
  scene.Name = "Banner";
  PressCtrlE();
  ASSERT_EQ(ui_.fileRequests.size(), 1u);
  const FileDialogRequest& request = ui_.fileRequests[0];
  EXPECT_EQ(request.title, "Export");
  EXPECT_EQ(request.fileName, "banner");
  EXPECT_EQ(request.filter,
            "GIF - CompuServe Bitmap|*.gif|BMP - Windows Bitmap|*.bmp|AVI - Video for Windows|*.avi|JPG - JPEG "
            "Bitmap|*.jpg");
  EXPECT_EQ(request.filterIndex, 1);
  EXPECT_EQ(request.initialDir, Editor(Form()).SettingsArea().SaveGIFDialog().initialDir);
}

TEST_F(MainFormExport, CancellingTheDialogExportsNothingAndOpensNoWizard) {
  StartWithMovingRectangle();
  const std::string folderBefore = Editor(Form()).SettingsArea().SaveGIFDialog().initialDir;
  PressCtrlE();
  EXPECT_EQ(ui_.fileRequests.size(), 1u);
  EXPECT_TRUE(forms_.shown.empty());
  EXPECT_EQ(FolderEntries(out_.Path()), std::vector<std::string>{});
  EXPECT_EQ(Editor(Form()).SettingsArea().SaveGIFDialog().initialDir, folderBefore);
}

TEST_F(MainFormExport, TheChosenTypeGivesTheWizardItsExtensionAndTheFolderIsKeptForNextTime) {
  StartWithMovingRectangle();
  const std::vector<std::pair<int, std::string>> types = {
      {1, "clip.gif"}, {2, "clip.bmp"}, {3, "clip.avi"}, {4, "clip.jpg"}};
  for (const auto& [filterIndex, expected] : types) {
    AnswerExport("clip.txt", filterIndex);
    std::string named;
    forms_.Expect("ExportFrm")
        .Do([&](QDialog& form) { named = static_cast<TExportFrm&>(form).ExportFileName(); })
        .Answer(mrCancel);
    Command(Form(), "File_Export")->trigger();
    EXPECT_EQ(named, out_.File(expected)) << "type " << filterIndex;
  }
  EXPECT_EQ(forms_.Remaining(), 0u);
  EXPECT_EQ(Editor(Form()).SettingsArea().SaveGIFDialog().initialDir, ExtractFilePath(out_.File("clip.txt")));
  EXPECT_EQ(FolderEntries(out_.Path()), std::vector<std::string>{});
}

TEST_F(MainFormExport, WithoutADocumentNothingIsAsked) {
  Start();
  ui_.messageAnswers = {IDNO};
  ASSERT_NE(Editor(Form()).ActiveAnimationWindow(), nullptr);
  Editor(Form()).ActiveAnimationWindow()->close();
  QCoreApplication::processEvents();
  ASSERT_EQ(Editor(Form()).ActiveAnimationWindow(), nullptr);
  Editor(Form()).Files().File_ExportExecute();
  EXPECT_TRUE(ui_.fileRequests.empty());
  EXPECT_TRUE(forms_.shown.empty());
}

// ---- Whole exports through the main window -------------------------------------------------------------

TEST_F(MainFormExport, CtrlEWithGifWalkedPageByPageWritesTheFramesTheSceneShows) {
  TAnimatedScene& scene = StartWithMovingRectangle();
  TBitmap steps[kSteps + 1];
  for (int s = 1; s <= kSteps; ++s) ShowStep(scene, s, steps[s]);
  ASSERT_GT(LargestDifference(steps[1], steps[kSteps]), 100);  // the rectangle moved

  AnswerExport("banner", 1);
  forms_.Expect("ExportFrm")
      .Do([&](QDialog& form) {
        auto& wizard = static_cast<TExportFrm&>(form);
        EXPECT_EQ(wizard.windowTitle(), "Export to the \"banner.gif\" file");
        Click(wizard.NextBtn);  // palette
        Click(wizard.NextBtn);  // frames reduction
        Click(wizard.NextBtn);  // frames
        ASSERT_EQ(wizard.Notebook1->currentWidget()->objectName(), "Frames");
      })
      .Press("FinishButton");
  PressCtrlE();
  EXPECT_EQ(forms_.Remaining(), 0u);
  ASSERT_EQ(forms_.shown.size(), 1u);
  EXPECT_EQ(forms_.shown[0].result, mrOk);

  ASSERT_EQ(FolderEntries(out_.Path()), std::vector<std::string>{"banner.gif"});
  const std::string text = TempDir::ReadFile(out_.File("banner.gif"));
  const auto gif = ReadGif(std::vector<std::uint8_t>(text.begin(), text.end()));
  const std::vector<TGifSubImage*> images = GifImages(*gif);
  ASSERT_EQ(static_cast<int>(images.size()), kSteps);
  for (int k = 1; k <= kSteps; ++k) {
    TBitmap shown;
    gif->GetFrameBitmap(k, shown);
    EXPECT_LE(LargestDifference(shown, steps[k]), 8) << "image " << k;
  }
}

TEST_F(MainFormExport, AJpegSeriesIsNumberedFrom001) {
  StartWithMovingRectangle();
  AnswerExport("series", 4);
  forms_.Expect("ExportFrm")
      .Do([&](QDialog& form) {
        auto& wizard = static_cast<TExportFrm&>(form);
        TypeInto(wizard.StepSpinEdit, QString::number(kSteps));  // a series starts as one picture
        Click(wizard.NextBtn);
      })
      .Press("FinishButton");
  PressCtrlE();
  std::vector<std::string> expected;
  for (int k = 1; k <= kSteps; ++k) expected.push_back("series_00" + std::to_string(k) + ".jpg");
  EXPECT_EQ(FolderEntries(out_.Path()), expected);
}

TEST_F(MainFormExport, EscDuringFrameCreationLeavesNoFile) {
  StartWithMovingRectangle();
  AnswerExport("shots", 2);
  forms_.Expect("ExportFrm").Do([&](QDialog& form) {
    auto& wizard = static_cast<TExportFrm&>(form);
    TypeInto(wizard.StepSpinEdit, QString::number(kSteps));
    // Arrives when the step that Finish starts lets events run.
    QCoreApplication::postEvent(&wizard, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    Click(wizard.FinishButton);
    EXPECT_FALSE(wizard.isVisible());
    EXPECT_EQ(wizard.result(), QDialog::Rejected);
  });
  PressCtrlE();
  EXPECT_EQ(CancelFlag, 1);
  EXPECT_EQ(forms_.Remaining(), 0u);
  EXPECT_EQ(FolderEntries(out_.Path()), std::vector<std::string>{});
}

}  // namespace
