// The image interval dialog: the interval's limits, the previews of its first
// and last frame, and the preview window.
#include "dialogs/FramesIntervalFormU.h"

#include "controls/Image.h"
#include "controls/My_SpinEdit.h"
#include "controls/TrackBar.h"
#include "tests/support/AviTestFiles.h"
#include "tests/support/ErrorText.h"
#include "tests/support/ScriptedModalRunner.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

// An AVI clip of 8 x 6 frames, frame i filled with the blue level 10 * (i + 1).
std::string WriteClip(const TempDir& dir, int frames) {
  AviTestFile f;
  AviTestStream video;
  video.format = DibFormat(8, 6, 24);
  f.streams = {video};
  for (int i = 0; i < frames; ++i)
    f.chunks.push_back({"00db", Rows24(8, 6, [&](int, int) { return static_cast<std::uint32_t>(10 * (i + 1)); })});
  return dir.WriteFile("clip.avi", f.Build());
}

TColor BlueOfFrame(int frame) { return static_cast<TColor>((10 * (frame + 1)) << 16); }

class FramesInterval : public testing::Test {
 protected:
  void Open(int frames) {
    form.SetFrameCount(frames);
    form.show();
  }
  TempDir dir;
  ScriptedModalRunner forms;
  TFramesIntervalForm form;
};

}  // namespace

TEST_F(FramesInterval, OffersEveryFrameFromTheFirstWithItsTexts) {
  Open(100);
  EXPECT_EQ(form.windowTitle(), QString("Images Interval"));
  EXPECT_EQ(form.StepSpinEdit->Value(), 100);
  EXPECT_EQ(form.StepSpinEdit->MinValue(), 1);
  EXPECT_EQ(form.StepSpinEdit->MaxValue(), 100);
  EXPECT_EQ(form.FirstStep->Value(), 1);
  EXPECT_EQ(form.StepTrackBar->Max(), 100);
  EXPECT_EQ(form.StepTrackBar->Position(), 100);
  EXPECT_EQ(form.MaxLabel->text(), QString("100"));
  EXPECT_EQ(form.OkBtn->text(), QString("&Ok"));
  EXPECT_TRUE(form.OkBtn->isDefault());
  EXPECT_EQ(form.CancelBtn->text(), QString("&Cancel"));
  EXPECT_EQ(form.PreviewFirstButton->text(), QString("&First Frame"));
  EXPECT_EQ(form.PreviewLastButton->text(), QString("&Last Frame"));
  EXPECT_EQ(form.CheckBoxPreviewFirst->text(), QString("Preview &First Frame"));
  EXPECT_EQ(form.CheckBoxPreviewLast->text(), QString("Preview &Last Frame"));
  EXPECT_EQ(form.FirstFrame(), 0);
  EXPECT_EQ(form.FrameCount(), 100);
}

TEST_F(FramesInterval, TheCountLimitsTheFirstStepAndARaisedCountPullsItBack) {
  Open(100);
  form.StepSpinEdit->SetValue(30);
  EXPECT_EQ(form.FirstStep->MaxValue(), 71);
  EXPECT_EQ(form.StepTrackBar->Position(), 30);
  form.FirstStep->SetValue(50);
  form.StepSpinEdit->SetValue(90);
  EXPECT_EQ(form.FirstStep->Value(), 11);
  EXPECT_EQ(form.FirstStep->MaxValue(), 11);
  form.StepTrackBar->SetPosition(40);
  EXPECT_EQ(form.StepSpinEdit->Value(), 40);
  EXPECT_EQ(form.FirstFrame(), 10);
  EXPECT_EQ(form.FrameCount(), 40);
  // A count typed beyond the video keeps the first step at 1.
  form.StepSpinEdit->setText("150");
  EXPECT_EQ(form.FirstStep->Value(), 1);
  EXPECT_EQ(form.FirstStep->MaxValue(), 1);
}

TEST_F(FramesInterval, TickingAPreviewShowsTheIntervalsEndFramesAtOnce) {
  form.AVIFileName = WriteClip(dir, 10);
  Open(10);
  form.StepSpinEdit->SetValue(4);
  form.FirstStep->SetValue(3);
  form.CheckBoxPreviewFirst->click();
  EXPECT_TRUE(form.Image1->Visible());
  EXPECT_EQ(form.Image1->Width(), 8);
  EXPECT_EQ(form.Image1->Bitmap().Canvas().Pixel(0, 0), BlueOfFrame(2));
  form.CheckBoxPreviewLast->click();
  EXPECT_EQ(form.Image2->Bitmap().Canvas().Pixel(0, 0), BlueOfFrame(5));
  EXPECT_EQ(form.LastPreviewFrame(), 5);
  form.CheckBoxPreviewFirst->click();
  EXPECT_FALSE(form.Image1->Visible());
}

TEST_F(FramesInterval, AChangedIntervalIsDrawnWhenTheRedrawTimerFires) {
  form.AVIFileName = WriteClip(dir, 10);
  Open(10);
  form.CheckBoxPreviewFirst->click();
  ASSERT_EQ(form.Image1->Bitmap().Canvas().Pixel(0, 0), BlueOfFrame(0));
  form.StepSpinEdit->SetValue(5);
  form.FirstStep->SetValue(4);
  EXPECT_TRUE(form.TimerRedraw.Enabled());
  EXPECT_EQ(form.TimerRedraw.Interval(), 500);
  EXPECT_EQ(form.Image1->Bitmap().Canvas().Pixel(0, 0), BlueOfFrame(0));
  form.TimerRedrawTimer();
  EXPECT_FALSE(form.TimerRedraw.Enabled());
  EXPECT_EQ(form.Image1->Bitmap().Canvas().Pixel(0, 0), BlueOfFrame(3));
}

TEST_F(FramesInterval, AFrameThatCannotBeReadIsReportedByItsNumber) {
  form.AVIFileName = WriteClip(dir, 3);
  Open(3);
  TBitmap picture;
  EXPECT_EQ(ErrorText([&] { form.ShowPreview(7, picture, false); }), "The frame 7 doesn't exist.");
}

TEST_F(FramesInterval, ThePreviewButtonsShowTheFrameInAPreviewWindow) {
  form.AVIFileName = WriteClip(dir, 6);
  Open(6);
  form.StepSpinEdit->SetValue(3);
  form.FirstStep->SetValue(2);
  TColor shown = 0;
  forms.Expect("PreviewForm").Do([&](QDialog& preview) {
    shown = preview.findChild<TImage*>("Image")->Bitmap().Canvas().Pixel(0, 0);
  });
  form.PreviewLastButton->click();
  ASSERT_EQ(forms.shown.size(), 1u);
  EXPECT_EQ(forms.shown[0].caption, QString("Preview"));
  EXPECT_EQ(shown, BlueOfFrame(3));
}

TEST_F(FramesInterval, EscClosesTheDialogAsCancel) {
  Open(5);
  QTest::keyClick(&form, Qt::Key_Escape);
  EXPECT_EQ(form.result(), QDialog::Rejected);
}
