// A user's session with the playback controls and the property pages of a
// document: playing with the keyboard, stepping, seeking on the time line,
// editing a motion and the frame's transparency, then saving and reopening.
#include "tests/app/MainFormPagesFixture.h"

#include "controls/Image.h"
#include "controls/MyCntrlDigitalDisplay.h"
#include "controls/My_SpinEdit.h"
#include "controls/UTimelineSlider.h"
#include "platform/Messages.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

#include <string>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

namespace {

TColor Halves(int x, int) { return x < 5 ? 0x2030F0 : 0x40C010; }

class MainFormPagesScenario : public MainFormPagesTest {};

TEST_F(MainFormPagesScenario, PlayStepSeekEditSaveAndReopen) {
  system_.bitsPerPixel = 32;
  TPagesMainForm& form = StartPages();
  QApplication::setActiveWindow(&form);
  form.SpinEditNumberOfFrames->SetText("60");
  form.LoopingComboBox->setCurrentText("2");
  form.StepsPerSecSpin->SetText("10");

  // Ctrl+Space plays and the step display advances; Ctrl+Alt+Space stops.
  QTest::keyClick(&form, Qt::Key_Space, Qt::ControlModifier);
  ASSERT_TRUE(form.AnimateBtn->isChecked());
  for (int i = 0; i < 3; ++i) {
    Scene().Timer().OnTimer()();
    ProcessMessages();
  }
  // The playback timer also runs by itself while events are processed, so a
  // slow machine may show a later step: at least the three ticks given.
  const std::string shown = form.CurrentStep->Caption();
  ASSERT_EQ(shown.size(), 6u) << shown;
  EXPECT_GE(std::stoi(shown), 3) << shown;
  QTest::keyClick(&form, Qt::Key_Space, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_FALSE(form.AnimateBtn->isChecked());
  EXPECT_FALSE(Scene().Timer().Enabled());

  // Alt+Right and Alt+Left step.
  const std::int32_t step = Scene().CurrentStep;
  QTest::keyClick(&form, Qt::Key_Right, Qt::AltModifier);
  EXPECT_EQ(Scene().CurrentStep, step + 1);
  QTest::keyClick(&form, Qt::Key_Left, Qt::AltModifier);
  EXPECT_EQ(Scene().CurrentStep, step);

  // A sprite with a linear motion and a two-colour picture.
  const std::string picture = data_.File("halves.bmp");
  {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(10, 6);
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 10; ++x) bitmap.SetPixel(x, y, Halves(x, y));
    bitmap.SaveToFile(picture);
  }
  ui_.fileAnswers.push_back(FileDialogResult{picture, 1, {picture}});
  form.Scene_Add_Image->trigger();
  ProcessMessages();
  ASSERT_EQ(Scene().SpriteCount(), 1);
  TSprite& sprite = Scene().Sprite(0);
  form.ChooseSprite(&sprite);
  form.Notebook_Properties->setCurrentIndex(TMainForm::ppMotion);
  form.LoadMotionPage();
  form.Motion_Linear->trigger();
  ASSERT_EQ(sprite.Motion().Step(0).Kind, mskLine);
  form.StartSpeedEdit->setText("0.5");
  form.FirstX->setText("12");
  form.TimerRedrawTimer();
  EXPECT_EQ(sprite.Motion().Step(0).SpeedStart, 0.5);

  // The pick tool keys the clicked colour.
  form.Notebook_Properties->setCurrentIndex(TMainForm::ppFrame);
  form.LoadFramePage();
  form.Sprite_PickTransparentColor->trigger();
  QTest::mouseClick(form.NativeImage, Qt::LeftButton, {}, QPoint(8, 3));
  EXPECT_TRUE(sprite.Frame(0).Transparent());
  EXPECT_EQ(sprite.Frame(0).TransparentColor(), 0x40C010u);

  // Saved and reopened, every value is kept.
  const std::string project = data_.File("session.GLM");
  Document().SetFileName(project);
  ASSERT_TRUE(Document().Save());
  form.ChooseSprite(nullptr);
  Document().LoadFromFile(project);
  TAnimatedScene& reopened = Scene();
  EXPECT_EQ(reopened.StepCount, 60);
  EXPECT_EQ(reopened.LoopCount, 2);
  EXPECT_EQ(reopened.Timer().Interval(), 100);
  ASSERT_EQ(reopened.SpriteCount(), 1);
  const TSprite& again = reopened.Sprite(0);
  EXPECT_EQ(again.Motion().Step(0).Kind, mskLine);
  EXPECT_EQ(again.Motion().Step(0).StartX, 12.0);
  EXPECT_EQ(again.Motion().Step(0).SpeedStart, 0.5);
  EXPECT_TRUE(again.Frame(0).Transparent());
  EXPECT_EQ(again.Frame(0).TransparentColor(), 0x40C010u);
}

}  // namespace
