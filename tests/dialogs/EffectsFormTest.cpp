#include "dialogs/EffectsFormU.h"

#include "controls/Bitmpbtn.h"
#include "controls/ColorPicker.h"
#include "controls/DrawGrid.h"
#include "controls/Image.h"
#include "controls/MyCntrlDigitalDisplay.h"
#include "controls/MyCntrlMovie.h"
#include "controls/My_SpinEdit.h"
#include "controls/PopupWindow.h"
#include "controls/RadioGroup.h"
#include "controls/TrackBar.h"
#include "controls/mKnob.h"
#include "dialogs/EditPaletteFormU.h"
#include "dialogs/core/EffectSamples.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/support/FakeSystemValues.h"
#include "tests/support/RecordingShellServices.h"
#include "tests/support/ScriptedModalRunner.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>

#include <sys/stat.h>

namespace {

constexpr TColor kLeft = clRed;
constexpr TColor kRight = clBlue;
constexpr TColor kKey = clLime;

// A 20 x 10 picture: red on the left half, blue on the right, with a 2 x 2
// lime square at its top-left corner (the key colour of transparent frames).
void MakeSourcePicture(TBitmap& picture, TColor left = kLeft, TColor right = kRight) {
  MakeSolid(picture, 20, 10, left);
  picture.Canvas().Brush().Color = right;
  picture.Canvas().FillRect(Rect(10, 0, 20, 10));
  picture.Canvas().Brush().Color = kKey;
  picture.Canvas().FillRect(Rect(0, 0, 2, 2));
}

std::string StackPage(const QStackedWidget* notebook) {
  return notebook->currentWidget()->objectName().toStdString();
}

std::vector<std::string> Items(const TRadioGroup* group) {
  std::vector<std::string> items;
  for (int i = 0; i < group->Count(); ++i) items.push_back(group->Button(i)->text().toStdString());
  return items;
}

class EffectsFormTest : public testing::Test {
 protected:
  EffectsFormTest() {
    int index = 0;
    sprite = scene.AddSprite(index);
    scene.Timer().SetInterval(67);
    source = &AddFrame(true, 4);
    next = &AddFrame(true, 3);
    undo.records.clear();
  }

  TFrame& AddFrame(bool transparent, int duration, TColor left = kLeft) {
    TBitmap picture;
    MakeSourcePicture(picture, left);
    TFrame& frame = *sprite->AddFrame();
    frame.SetPicture(picture, transparent, kKey, -1, -1);
    frame.StoreDuration(duration);
    frame.Kind = fkPicture;
    return frame;
  }

  // Opens the dialog on the source frame (and the next one) at an effect.
  void Open(int index, bool withNext = true) {
    form.SourceFrame = source;
    form.NextFrame = withNext ? next : nullptr;
    form.PresetEffect(index);
    form.show();
  }

  void Create(int frames) {
    form.NumberOfFramesSpin->setText(QString::number(frames));
    form.CreateButton->click();
  }

  TColor PreviewPixel(int x, int y) const { return form.ImageMoving->Bitmap().Pixel(x, y); }

  FakeSystemValues system;
  ScriptedUiServices ui;
  RecordingUndo undo;
  TAnimatedScene scene;
  TSprite* sprite = nullptr;
  TFrame* source = nullptr;
  TFrame* next = nullptr;
  TEffectsForm form;
};

}  // namespace

// ---- The effect list and the controls ---------------------------------------------------------

TEST_F(EffectsFormTest, TheListHoldsTheTwentyEffectsInTheirOrder) {
  const std::vector<std::string> expected{"Aperture", "Blend",      "Blind",    "Cross",  "Dissolve",
                                          "Fade",     "Fingers",    "Grow",     "Rotation", "Sweep",
                                          "Wipe",     "Blur",       "Sharpen",  "Dilate", "Erode",
                                          "Invert",   "Brightness", "Contrast", "Emboss", "Gamma Correction"};
  ASSERT_EQ(form.EffectsComboBox->count(), 20);
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(form.EffectsComboBox->itemText(i).toStdString(), expected[static_cast<std::size_t>(i)]);
    EXPECT_EQ(form.EffectsComboBox->itemText(i).toStdString(), EffectListText(i + 1));
  }
  EXPECT_EQ(form.windowTitle(), "Effect");
}

TEST_F(EffectsFormTest, ControlsHaveTheirRangesDefaultsAndTexts) {
  const auto range = [](TSpinEdit* edit) {
    return std::tuple(edit->MinValue(), edit->MaxValue(), edit->Value());
  };
  EXPECT_EQ(range(form.NumberOfFramesSpin), std::tuple(1, 100000, 10));
  EXPECT_EQ(range(form.StepsPerFrameEdit), std::tuple(1, 100000, 2));
  EXPECT_EQ(range(form.NumberOfBlindsSpin), std::tuple(1, 200, 10));
  EXPECT_EQ(range(form.NumberOfFingersSpin), std::tuple(1, 200, 10));
  EXPECT_EQ(range(form.StartAngle), std::tuple(0, 360, 0));
  EXPECT_EQ(range(form.FinishAngle), std::tuple(0, 360, 180));
  EXPECT_EQ(range(form.EmbossAngle), std::tuple(0, 360, 135));
  const auto bar = [](TTrackBar* b) { return std::tuple(b->Min(), b->Max(), b->Position()); };
  EXPECT_EQ(bar(form.RadiusTrackBar), std::tuple(0, 100, 0));
  EXPECT_EQ(bar(form.BrightnessTrackBar), std::tuple(-100, 100, 0));
  EXPECT_EQ(bar(form.TrackBar_Emboss), std::tuple(1, 14, 1));
  for (TTrackBar* gamma : {form.TrackBar_Gamma_Red, form.TrackBar_Gamma_Green, form.TrackBar_Gamma_Blue})
    EXPECT_EQ(bar(gamma), std::tuple(-100, 100, 0));
  EXPECT_EQ(form.TransparencyCheckBox->text(), "Background Color is &Transparent");
  EXPECT_TRUE(form.TransparencyCheckBox->isChecked());
  EXPECT_EQ(form.BackgroundColorButton->Caption(), "Background Color...");
  EXPECT_EQ(form.Button_BlendColor->Caption(), "Target Color...");
  EXPECT_EQ(form.Button_EmbossColor->Caption(), "Color...");
  EXPECT_EQ(form.CreateButton->text(), "C&reate");
  EXPECT_EQ(form.AutoCreateCheckBox->text(), "&Auto Create");
  EXPECT_EQ(form.OkBtn->text(), "&Ok");
  EXPECT_TRUE(form.OkBtn->isDefault());
  EXPECT_EQ(form.CancelBtn->text(), "&Cancel");
  EXPECT_EQ(form.HelpBtn->text(), "&Help");
  EXPECT_EQ(form.BackgroundColor1->text(), "Preview Panel Color...");
  EXPECT_EQ(form.CurMovieFrame->Caption(), "000");
}

TEST_F(EffectsFormTest, TheChoiceGroupsHaveTheirItems) {
  const std::vector<std::string> appearance{"Appearance", "Disappearance"};
  EXPECT_EQ(Items(form.ApertureRadioGroup), (std::vector<std::string>{"In", "Out"}));
  EXPECT_EQ(Items(form.BlendRadioGroup), (std::vector<std::string>{"Color", "Next Frame"}));
  EXPECT_EQ(Items(form.BlindRadioGroup), appearance);
  EXPECT_EQ(Items(form.CrossRadioGroup), appearance);
  EXPECT_EQ(Items(form.DissolveRadioGroup), (std::vector<std::string>{"Background Color", "Next Frame"}));
  EXPECT_EQ(Items(form.RadioDirection), (std::vector<std::string>{"&Clockwise", "Counter-Clock&wise"}));
  EXPECT_EQ(Items(form.WipeRadioGroup), (std::vector<std::string>{"To Center", "To Edges"}));
  EXPECT_EQ(Items(form.BlendInOutRadioGroup), (std::vector<std::string>{"Disappearance", "Appearance"}));
  EXPECT_EQ(form.ApertureRadioGroup->title(), "Direction:");
  EXPECT_EQ(form.BlendRadioGroup->title(), "Target:");
  EXPECT_EQ(form.RightBtn->property("tag").toInt(), 0);
  EXPECT_EQ(form.LeftBtn->property("tag").toInt(), 1);
  EXPECT_EQ(form.TopBtn->property("tag").toInt(), 2);
  EXPECT_EQ(form.BottomBtn->property("tag").toInt(), 3);
  EXPECT_TRUE(form.RightBtn->isChecked());
}

TEST_F(EffectsFormTest, TimersStartStoppedAndTheSampleStripPlaysFourFramesASecond) {
  EXPECT_FALSE(form.TimerMoving.Enabled());
  EXPECT_EQ(form.TimerMoving.Interval(), 50);
  EXPECT_FALSE(form.TimerRedrawStPFr.Enabled());
  EXPECT_EQ(form.TimerRedrawStPFr.Interval(), 300);
  EXPECT_FALSE(form.TimerRedrawNumbOfFr.Enabled());
  EXPECT_EQ(form.TimerRedrawNumbOfFr.Interval(), 300);
  EXPECT_EQ(form.EffectMovie->FramesPerSecond(), 4);
  EXPECT_EQ(form.EffectMovie->NumFrames(), 6);
}

// ---- Showing ----------------------------------------------------------------------------------

TEST_F(EffectsFormTest, ShowingTakesTheSourceFramesPictureColoursAndDuration) {
  Open(0);
  const TBitmap& native = form.NativeImage->Bitmap();
  ASSERT_EQ(native.Width(), 20);
  ASSERT_EQ(native.Height(), 10);
  EXPECT_FALSE(native.Transparent());
  EXPECT_EQ(native.Pixel(0, 0), kKey);
  EXPECT_EQ(native.Pixel(15, 5), kRight);
  EXPECT_EQ(form.NativeImage->Width(), 20);
  EXPECT_EQ(form.BackgroundColorButton->ButtonColor(), kKey);
  EXPECT_EQ(form.Button_BlendColor->ButtonColor(), kKey);
  EXPECT_TRUE(form.TransparencyCheckBox->isChecked());
  EXPECT_EQ(form.StepsPerFrameEdit->Value(), 4);
  EXPECT_EQ(form.TimerMoving.Interval(), 67) << "the scene's step interval";
  EXPECT_TRUE(form.TimerMoving.Enabled()) << "the player starts";
  EXPECT_TRUE(form.StopBtn->isEnabled());
  EXPECT_EQ(form.EffectKind(), ekAperture);
  EXPECT_EQ(form.windowTitle(), "Aperture");
}

TEST_F(EffectsFormTest, PresetSixteenOpensOnBrightnessWithoutThePlayer) {
  Open(16);
  EXPECT_EQ(form.EffectsComboBox->currentText(), "Brightness");
  EXPECT_EQ(form.EffectKind(), ekBrightness);
  EXPECT_EQ(StackPage(form.NotebookAllControls), "Brightness");
  EXPECT_EQ(StackPage(form.NotebookMovieControls), "Empty");
  EXPECT_EQ(form.Label_Brightness_or_Contrast->text(), "Brightness:");
  EXPECT_EQ(form.windowTitle(), "Brightness");
}

TEST_F(EffectsFormTest, PresetFifteenOpensOnInvertWithAnEmptyParameterPage) {
  Open(15);
  EXPECT_EQ(form.EffectsComboBox->currentText(), "Invert");
  EXPECT_EQ(StackPage(form.NotebookAllControls), "Empty");
  EXPECT_EQ(StackPage(form.NotebookMovieControls), "Empty");
}

TEST_F(EffectsFormTest, AnIndexOutsideTheListOpensOnTheFirstEffect) {
  Open(42);
  EXPECT_EQ(form.EffectsComboBox->currentIndex(), 0);
  EXPECT_EQ(form.EffectKind(), ekAperture);
}

TEST_F(EffectsFormTest, EachEffectShowsItsOwnPages) {
  Open(0);
  struct Expected {
    int index;
    const char* all;
    const char* controls;
    const char* direction;  // "" when hidden
  };
  const Expected pages[] = {
      {0, "FrameEffect", "Aperture", ""},         {1, "FrameEffect", "Blend", "Blend_Dissolve"},
      {2, "FrameEffect", "Blind", "Direction"},   {3, "FrameEffect", "Cross", ""},
      {4, "FrameEffect", "Dissolve", "Blend_Dissolve"}, {5, "FrameEffect", "Blind", "Direction"},
      {6, "FrameEffect", "Fingers", "Direction"}, {7, "FrameEffect", "Grow", "Direction"},
      {8, "FrameEffect", "Rotation", "Angles"},   {9, "FrameEffect", "Sweep", "Direction"},
      {10, "FrameEffect", "Wipe", ""},            {11, "Blur", nullptr, nullptr},
      {12, "Blur", nullptr, nullptr},             {13, "Blur", nullptr, nullptr},
      {14, "Blur", nullptr, nullptr},             {15, "Empty", nullptr, nullptr},
      {16, "Brightness", nullptr, nullptr},       {17, "Brightness", nullptr, nullptr},
      {18, "Emboss", nullptr, nullptr},           {19, "Gamma", nullptr, nullptr},
  };
  for (const Expected& e : pages) {
    SCOPED_TRACE(e.index);
    form.EffectsComboBox->setCurrentIndex(e.index);
    emit form.EffectsComboBox->activated(e.index);
    EXPECT_EQ(StackPage(form.NotebookAllControls), e.all);
    EXPECT_EQ(form.windowTitle().toStdString(), EffectListText(e.index + 1));
    if (e.controls == nullptr) {
      EXPECT_EQ(StackPage(form.NotebookMovieControls), "Empty");
      continue;
    }
    EXPECT_EQ(StackPage(form.NotebookMovieControls), "Default");
    EXPECT_EQ(StackPage(form.NotebookControls), e.controls);
    EXPECT_EQ(form.DirectionNotebook->isVisible(), *e.direction != '\0');
    if (*e.direction != '\0') {
      EXPECT_EQ(StackPage(form.DirectionNotebook), e.direction);
    }
  }
  for (int index : {16, 17}) {
    form.EffectsComboBox->setCurrentIndex(index);
    emit form.EffectsComboBox->activated(index);
    EXPECT_EQ(form.Label_Brightness_or_Contrast->text(), index == 16 ? "Brightness:" : "Contrast:");
  }
}

TEST_F(EffectsFormTest, SpinEditsOnPagesShownLaterKeepTheirButtonsAtTheirRightEdge) {
  Open(0);
  form.resize(900, 600);
  form.EffectsComboBox->setCurrentIndex(8);
  emit form.EffectsComboBox->activated(8);
  for (TSpinEdit* edit : {form.StartAngle, form.FinishAngle, form.NumberOfFramesSpin}) {
    const QRect button = edit->findChild<QWidget*>("Button")->geometry();
    EXPECT_LE(button.right(), edit->width()) << edit->objectName().toStdString();
    EXPECT_GE(button.right(), edit->width() - 8) << edit->objectName().toStdString();
  }
}

TEST_F(EffectsFormTest, FadeIsTheBlindPageWithOneBlindAndNoCount) {
  Open(2);
  form.NumberOfBlindsSpin->setText("7");
  EXPECT_EQ(form.NumberOfBlinds(), 7);
  EXPECT_TRUE(form.NumberOfBlindsSpin->isVisible());
  form.EffectsComboBox->setCurrentIndex(5);
  emit form.EffectsComboBox->activated(5);
  EXPECT_FALSE(form.NumberOfBlindsSpin->isVisible());
  EXPECT_EQ(form.NumberOfBlinds(), 1);
  EXPECT_EQ(form.Parameters().BlindCount, 1);
  form.EffectsComboBox->setCurrentIndex(2);
  emit form.EffectsComboBox->activated(2);
  EXPECT_EQ(form.NumberOfBlinds(), 7);
}

TEST_F(EffectsFormTest, BlendAndDissolveOnTheLastFrameHaveNoTargetChoice) {
  Open(1, false);
  EXPECT_FALSE(form.BlendRadioGroup->isEnabled());
  form.EffectsComboBox->setCurrentIndex(4);
  emit form.EffectsComboBox->activated(4);
  EXPECT_FALSE(form.DissolveRadioGroup->isEnabled());
}

TEST_F(EffectsFormTest, BlendAndDissolveBeforeAnotherFrameOfferTheNextFrame) {
  Open(4);
  EXPECT_TRUE(form.DissolveRadioGroup->isEnabled());
  EXPECT_TRUE(form.BlendRadioGroup->isEnabled());
}

TEST_F(EffectsFormTest, TheSampleStripIsTheEffectsOwnAndBlackForFilters) {
  Open(7);
  TBitmap grow;
  MakeEffectSampleStrip(ekGrow, grow);
  const TBitmap& shown = form.EffectMovie->Picture();
  ASSERT_EQ(shown.Width(), grow.Width());
  for (int x = 0; x < grow.Width(); x += 5) ASSERT_EQ(shown.Pixel(x, 20), grow.Pixel(x, 20)) << x;
  EXPECT_TRUE(form.EffectMovie->MovieEnabled());
  form.EffectsComboBox->setCurrentIndex(11);
  emit form.EffectsComboBox->activated(11);
  for (int x = 0; x < shown.Width(); x += 5) ASSERT_EQ(form.EffectMovie->Picture().Pixel(x, 20), clBlack);
}

// ---- The frames' transparency while the dialog is open ----------------------------------------

TEST_F(EffectsFormTest, OpenTheFramesAreWholeAndCancelGivesTheirTransparencyBack) {
  Open(1);
  EXPECT_FALSE(source->Transparent());
  EXPECT_FALSE(next->Transparent());
  form.CancelBtn->click();
  EXPECT_TRUE(source->Transparent());
  EXPECT_TRUE(next->Transparent());
  EXPECT_EQ(source->TransparentColor(), kKey);
  EXPECT_TRUE(undo.records.empty()) << "showing frames whole is no edit";
}

TEST_F(EffectsFormTest, OkEscAndTheCloseBoxGiveTheTransparencyBackToo) {
  next->StoreTransparency(false, clWhite);
  Open(0);
  form.OkBtn->click();
  EXPECT_TRUE(source->Transparent());
  EXPECT_FALSE(next->Transparent()) << "each frame gets its own flag back";
  form.show();
  EXPECT_FALSE(source->Transparent());
  QTest::keyClick(&form, Qt::Key_Escape);
  EXPECT_FALSE(form.isVisible());
  EXPECT_TRUE(source->Transparent());
  form.show();
  form.close();
  EXPECT_TRUE(source->Transparent());
  EXPECT_TRUE(undo.records.empty());
}

TEST_F(EffectsFormTest, ADialogDestroyedWhileOpenStillGivesTheTransparencyBack) {
  {
    TEffectsForm open;
    open.SourceFrame = source;
    open.NextFrame = next;
    open.show();
    EXPECT_FALSE(source->Transparent());
  }
  EXPECT_TRUE(source->Transparent());
  EXPECT_TRUE(next->Transparent());
}

TEST_F(EffectsFormTest, AClosedDialogMakesAndPlaysNothingMore) {
  Open(0);
  form.AutoCreateCheckBox->setChecked(true);
  form.NumberOfFramesSpin->setText("3");
  ASSERT_TRUE(form.TimerRedrawNumbOfFr.Enabled());
  form.CancelBtn->click();
  EXPECT_FALSE(form.TimerRedrawNumbOfFr.Enabled());
  EXPECT_FALSE(form.TimerMoving.Enabled());
}

// ---- Making the frames ------------------------------------------------------------------------

TEST_F(EffectsFormTest, CreateMakesTheTransitionsFramesAndShowsTheFirst) {
  Open(0);
  Create(4);
  ASSERT_EQ(form.Results().size(), 4u);
  EXPECT_EQ(form.CurMovieFrame->Caption(), "001");
  EXPECT_EQ(form.ImageMoving->Bitmap().Width(), 20);
  EXPECT_EQ(ui.cursors, (std::vector<TCursor>{crHourGlass, crDefault}));
  for (const auto& frame : form.Results()) EXPECT_EQ(frame->Duration(), 4);
  // Aperture "In", frame 1 of 4 on 20 x 10: the background fills (2, 1, 18, 9) (2.5 and 1.25 round down).
  EXPECT_EQ(PreviewPixel(5, 5), clGray) << "the keyed background shows the preview colour";
  EXPECT_EQ(PreviewPixel(1, 5), kLeft);
  EXPECT_EQ(PreviewPixel(19, 9), kRight);
}

TEST_F(EffectsFormTest, ThePlayerButtonsStepThroughTheFramesWithWrapping) {
  Open(0);
  Create(4);
  form.NextBtn->click();
  EXPECT_EQ(form.CurMovieFrame->Caption(), "002");
  EXPECT_EQ(form.PreviewIndex(), 1);
  form.BackBtn->click();
  EXPECT_EQ(form.CurMovieFrame->Caption(), "001");
  form.PrevBtn->click();
  EXPECT_EQ(form.CurMovieFrame->Caption(), "004");
  form.NextBtn->click();
  EXPECT_EQ(form.CurMovieFrame->Caption(), "001");
  form.StopBtn->click();
  EXPECT_FALSE(form.TimerMoving.Enabled());
  EXPECT_FALSE(form.StopBtn->isEnabled());
  form.PlayBtn->click();
  EXPECT_TRUE(form.TimerMoving.Enabled());
  EXPECT_TRUE(form.StopBtn->isEnabled());
}

TEST_F(EffectsFormTest, ThePlayerMovesOnAfterTheFramesDurationInTicks) {
  Open(0);
  Create(3);
  form.StepsPerFrameEdit->setText("3");
  form.TimerMovingTimer();
  form.TimerMovingTimer();
  EXPECT_EQ(form.CurMovieFrame->Caption(), "001");
  form.TimerMovingTimer();
  EXPECT_EQ(form.CurMovieFrame->Caption(), "002");
  for (int i = 0; i < 6; ++i) form.TimerMovingTimer();
  EXPECT_EQ(form.CurMovieFrame->Caption(), "001") << "past the last frame the player starts again";
}

TEST_F(EffectsFormTest, WithoutResultsThePreviewIsEmptyAndShowsZeros) {
  Open(0);
  form.NextBtnClick();
  form.TimerMovingTimer();
  EXPECT_EQ(form.CurMovieFrame->Caption(), "000");
  EXPECT_EQ(form.ImageMoving->Bitmap().Width(), 0);
}

TEST_F(EffectsFormTest, AutoCreateMakesTheFrames300MsAfterTheLastChange) {
  Open(0);
  form.AutoCreateCheckBox->click();
  form.NumberOfFramesSpin->setText("3");
  EXPECT_TRUE(form.TimerRedrawNumbOfFr.Enabled());
  EXPECT_EQ(form.TimerRedrawNumbOfFr.Interval(), 300);
  EXPECT_TRUE(form.Results().empty());
  form.TimerRedrawNumbOfFrTimer();
  EXPECT_FALSE(form.TimerRedrawNumbOfFr.Enabled());
  EXPECT_EQ(form.Results().size(), 3u);
  form.AutoCreateCheckBox->click();
  form.NumberOfFramesSpin->setText("5");
  form.TimerRedrawNumbOfFrTimer();
  EXPECT_EQ(form.Results().size(), 3u) << "without auto create a change makes nothing";
}

TEST_F(EffectsFormTest, ChangingTheDurationOnlyUpdatesTheDurations) {
  Open(0);
  Create(3);
  const TFrame* first = form.Results().front().get();
  form.TimerRedrawNumbOfFr.SetEnabled(false);
  form.StepsPerFrameEdit->setText("9");
  EXPECT_TRUE(form.TimerRedrawStPFr.Enabled());
  EXPECT_FALSE(form.TimerRedrawNumbOfFr.Enabled());
  form.TimerRedrawStPFrTimer();
  EXPECT_FALSE(form.TimerRedrawStPFr.Enabled());
  ASSERT_EQ(form.Results().front().get(), first) << "not made again";
  for (const auto& frame : form.Results()) EXPECT_EQ(frame->Duration(), 9);
}

TEST_F(EffectsFormTest, AFilterMakesOneFrameWithTheSourcesDuration) {
  Open(15);
  form.CreateButton->click();
  ASSERT_EQ(form.Results().size(), 1u);
  const TFrame& inverted = *form.Results().front();
  EXPECT_EQ(inverted.Duration(), 4);
  EXPECT_EQ(PreviewPixel(15, 5), ColorToRGB(clYellow)) << "blue inverted";
  EXPECT_EQ(PreviewPixel(5, 5), ColorToRGB(clAqua));
}

TEST_F(EffectsFormTest, AFrameWithoutPixelsMakesNothing) {
  TFrame empty(nullptr);
  const TBitmap none;
  empty.SetPicture(none, false, clBlack, -1, -1);
  ASSERT_EQ(empty.ImageWidth, 0);
  form.SourceFrame = &empty;
  form.show();
  form.CreateButtonClick();
  EXPECT_TRUE(form.Results().empty());
  EXPECT_EQ(form.CurMovieFrame->Caption(), "000");
  form.close();  // before the frame goes
}

// ---- Parameters -------------------------------------------------------------------------------

TEST_F(EffectsFormTest, DirectionButtonsAndGroupsShareTheDirectionValue) {
  Open(2);
  form.LeftBtn->click();
  EXPECT_EQ(form.DirectionValue(), edLeft);
  form.ApertureRadioGroup->Button(1)->click();
  EXPECT_EQ(form.DirectionValue(), 5);
  form.CrossRadioGroup->Button(0)->click();
  EXPECT_EQ(form.DirectionValue(), 4);
  form.DissolveRadioGroup->Button(1)->click();
  EXPECT_EQ(form.DirectionValue(), 9);
  // The effects with a direction take the one the buttons show.
  EXPECT_EQ(form.Parameters().Direction, edLeft);
  EXPECT_TRUE(form.Parameters().ApertureOut);
  EXPECT_TRUE(form.Parameters().DissolveToNextFrame);
  EXPECT_TRUE(form.TimerRedrawNumbOfFr.Enabled());
}

TEST_F(EffectsFormTest, BlendsTargetColourButtonsServeOnlyTheColourTarget) {
  Open(1);
  form.BlendRadioGroup->Button(1)->click();
  EXPECT_EQ(form.DirectionValue(), 9);
  EXPECT_FALSE(form.Button_BlendColor->isEnabled());
  EXPECT_FALSE(form.Button_PeekBlendColor->isEnabled());
  EXPECT_TRUE(form.Parameters().BlendToNextFrame);
  form.BlendRadioGroup->Button(0)->click();
  EXPECT_EQ(form.DirectionValue(), 8);
  EXPECT_TRUE(form.Button_BlendColor->isEnabled());
}

TEST_F(EffectsFormTest, KnobsAndAngleEditsFollowEachOther) {
  Open(8);
  form.Knob_StartAngle->SetPosition(90);
  EXPECT_EQ(form.StartAngle->Value(), 90);
  form.FinishAngle->setText("270");
  EXPECT_EQ(form.Knob_FinishAngle->Position(), 270);
  form.EmbossAngle_Knob->SetPosition(45);
  EXPECT_EQ(form.EmbossAngle->Value(), 45);
  form.EmbossAngle->setText("10");
  EXPECT_EQ(form.EmbossAngle_Knob->Position(), 10);
  const TEffectParameters p = form.Parameters();
  EXPECT_EQ(p.StartAngle, 90);
  EXPECT_EQ(p.FinishAngle, 270);
  EXPECT_EQ(p.EmbossAngle, 10);
}

TEST_F(EffectsFormTest, TrackBarsAndTheirEditsKeepOneValue) {
  Open(16);
  form.BrightnessTrackBar->SetPosition(-40);
  EXPECT_EQ(form.BrightnessEdit->Value(), -40);
  EXPECT_EQ(form.BrightnessTrackBar->SelStart(), -40);
  EXPECT_EQ(form.BrightnessTrackBar->SelEnd(), 0);
  form.BrightnessEdit->setText("25");
  EXPECT_EQ(form.BrightnessTrackBar->Position(), 25);
  EXPECT_EQ(form.BrightnessTrackBar->SelEnd(), 25);
  form.RadiusEdit->setText("30");
  EXPECT_EQ(form.RadiusTrackBar->Position(), 30);
  form.TrackBar_Emboss->SetPosition(7);
  EXPECT_EQ(form.Edit_Emboss_Depth->Value(), 7);
  form.Edit_Gamma_Green->setText("-12");
  EXPECT_EQ(form.TrackBar_Gamma_Green->Position(), -12);
  form.TrackBar_Gamma_Blue->SetPosition(60);
  EXPECT_EQ(form.Edit_Gamma_Blue->Value(), 60);
  const TEffectParameters p = form.Parameters();
  EXPECT_EQ(p.Brightness, 25);
  EXPECT_EQ(p.Radius, 30);
  EXPECT_EQ(p.EmbossDepth, 7);
  EXPECT_EQ(p.GammaGreen, -12);
  EXPECT_EQ(p.GammaBlue, 60);
}

TEST_F(EffectsFormTest, ATypedFrameCountBeyondTheRangeIsHeldToIt) {
  Open(0);
  form.NumberOfFramesSpin->setText("5000000");
  EXPECT_EQ(form.Parameters().FrameCount, 100000);
  form.NumberOfFramesSpin->setText("0");
  EXPECT_EQ(form.Parameters().FrameCount, 1);
}

// ---- Colours ----------------------------------------------------------------------------------

TEST_F(EffectsFormTest, APickedBackgroundColourKeysTheResults) {
  Open(0);
  form.TransparencyCheckBox->click();  // off
  Create(2);
  form.GetColorButton->click();
  EXPECT_EQ(form.PickMode(), TEffectsForm::pmBackgroundColor);
  EXPECT_EQ(form.NativeImage->Cursor(), crAirDrop);
  QTest::mouseClick(form.NativeImage, Qt::LeftButton, {}, QPoint(15, 5));
  EXPECT_EQ(form.PickMode(), TEffectsForm::pmNone);
  EXPECT_EQ(form.NativeImage->Cursor(), crDefault);
  EXPECT_EQ(form.BackgroundColorButton->ButtonColor(), kRight);
  EXPECT_TRUE(form.TransparencyCheckBox->isChecked());
  for (const auto& frame : form.Results()) {
    EXPECT_TRUE(frame->Transparent());
    EXPECT_EQ(frame->TransparentColor(), kRight);
  }
  EXPECT_EQ(PreviewPixel(19, 9), clGray) << "the blue half is keyed out";
  EXPECT_TRUE(form.TimerRedrawNumbOfFr.Enabled());
}

TEST_F(EffectsFormTest, ThePeekButtonPicksBlendsTargetColour) {
  Open(1);
  form.Button_PeekBlendColor->click();
  EXPECT_EQ(form.PickMode(), TEffectsForm::pmBlendColor);
  QTest::mouseClick(form.NativeImage, Qt::LeftButton, {}, QPoint(3, 8));
  EXPECT_EQ(form.Button_BlendColor->ButtonColor(), kLeft);
  EXPECT_EQ(form.BackgroundColorButton->ButtonColor(), kKey);
  EXPECT_EQ(form.Parameters().BlendColor, kLeft);
}

TEST_F(EffectsFormTest, APressWithoutPickModePicksNothing) {
  Open(0);
  QTest::mouseClick(form.NativeImage, Qt::LeftButton, {}, QPoint(15, 5));
  EXPECT_EQ(form.BackgroundColorButton->ButtonColor(), kKey);
}

TEST_F(EffectsFormTest, TheBackgroundColourOfATrueColourPictureComesFromTheColourChooser) {
  Open(0);
  Create(2);
  ui.colorAnswers = {clYellow};
  QTest::mouseClick(form.BackgroundColorButton, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(ui.colorRequests, std::vector<TColor>{kKey});
  EXPECT_EQ(form.BackgroundColorButton->ButtonColor(), clYellow);
  EXPECT_EQ(form.Results().front()->TransparentColor(), clYellow);
  QTest::mouseClick(form.BackgroundColorButton, Qt::LeftButton, {}, QPoint(5, 5));  // cancelled
  EXPECT_EQ(form.BackgroundColorButton->ButtonColor(), clYellow);
}

TEST_F(EffectsFormTest, TheBackgroundColourOfAn8BitPictureIsPickedFromItsPalette) {
  TBitmap indexed;
  indexed.SetPixelFormat(pf8bit);
  std::vector<TPaletteEntry> entries(20, PaletteEntryOf(clBlack));
  entries[18] = PaletteEntryOf(clTeal);
  indexed.SetPalette(CreatePalette(entries));
  indexed.SetSize(8, 8);
  source->SetPicture(indexed, false, clBlack, -1, -1);
  ASSERT_EQ(source->Picture.PixelFormat(), pf8bit);
  ScriptedModalRunner forms;
  bool pickMode = false;
  forms.Expect("EditPaletteForm")
      .Do([&](QDialog& d) {
        auto& palette = static_cast<TEditPaletteForm&>(d);
        pickMode = !palette.RedSpinEdit->isEnabled() && !palette.CurColor->isEnabled() &&
                   palette.SetToAllCheckBox->isHidden();
        QTest::mouseClick(palette.ColorsGrid, Qt::LeftButton, {}, QPoint(2 * 16 + 8, 1 * 16 + 8));
      })
      .Press("OkBtn");
  Open(0);
  form.BackgroundColorButtonClick();
  EXPECT_TRUE(pickMode);
  EXPECT_TRUE(ui.colorRequests.empty());
  EXPECT_EQ(form.BackgroundColorButton->ButtonColor(), clTeal);
}

TEST_F(EffectsFormTest, EmbossColourComesFromTheColourPickerAtTheButton) {
  Open(18);
  form.Button_EmbossColorClick();
  EXPECT_TRUE(form.ColorPicker1->PopupVisible());
  EXPECT_EQ(form.ColorPicker1->Color(), clGray);
  form.TimerRedrawNumbOfFr.SetEnabled(false);
  form.ColorPicker1->ClosePanel();  // closed unchanged
  EXPECT_FALSE(form.TimerRedrawNumbOfFr.Enabled());
  form.Button_EmbossColorClick();
  form.ColorPicker1->SetColor(clMaroon);
  form.ColorPicker1->ClosePanel();
  EXPECT_EQ(form.Button_EmbossColor->ButtonColor(), clMaroon);
  EXPECT_EQ(form.Parameters().EmbossColor, clMaroon);
  EXPECT_TRUE(form.TimerRedrawNumbOfFr.Enabled());
}

TEST_F(EffectsFormTest, ThePreviewPanelColourPaintsBehindTheKeyedPixels) {
  Open(0);
  Create(1);
  ui.colorAnswers = {clOlive};
  form.BackgroundColor1->trigger();
  EXPECT_EQ(ui.colorRequests, std::vector<TColor>{clGray});
  EXPECT_EQ(form.PreviewColor(), clOlive);
  EXPECT_EQ(PreviewPixel(0, 0), clOlive) << "the key square";
}

// ---- Closing and handing the frames over ------------------------------------------------------

TEST_F(EffectsFormTest, OkHandsTheResultFramesToTheCaller) {
  ScriptedModalRunner forms;
  forms.Expect("EffectsForm")
      .Fill("NumberOfFramesSpin", "3")
      .Do([](QDialog& d) { static_cast<TEffectsForm&>(d).CreateButton->click(); })
      .Press("OkBtn");
  form.SourceFrame = source;
  form.NextFrame = next;
  form.PresetEffect(10);
  ASSERT_EQ(ShowModal(form), mrOk);
  EXPECT_EQ(form.EffectKind(), ekWipe);
  TFrameList taken = form.TakeResults();
  ASSERT_EQ(taken.size(), 3u);
  EXPECT_TRUE(form.Results().empty());
  for (const auto& frame : taken) {
    EXPECT_EQ(frame->Sprite(), nullptr) << "the frames belong to no sprite until the caller inserts them";
    EXPECT_EQ(frame->ImageWidth, 20);
    EXPECT_EQ(frame->Duration(), 4);
  }
  EXPECT_EQ(sprite->FrameCount(), 2) << "the dialog never inserts frames itself";
  EXPECT_TRUE(source->Transparent());
  EXPECT_EQ(form.CurMovieFrame->Caption(), "001");
}

TEST_F(EffectsFormTest, TakenFramesOutliveTheDialog) {
  TFrameList taken;
  {
    TEffectsForm dialog;
    dialog.SourceFrame = source;
    dialog.PresetEffect(12);
    dialog.show();
    dialog.CreateButton->click();
    taken = dialog.TakeResults();
    dialog.CreateButtonClick();  // the dialog's own new results go with it
  }
  ASSERT_EQ(taken.size(), 1u);
  RestoreFrameImage(taken.front()->Picture);
  EXPECT_EQ(taken.front()->Picture.Width(), 20);
}

TEST_F(EffectsFormTest, HelpOpensTheTransitionEffectsTopic) {
  TempDir program;
  system.programFolder = program.Path() + "/";
  mkdir(program.File("help").c_str(), 0700);
  program.WriteFile("help/AddingTransitionEffects.html", "<html/>");
  RecordingShellServices shell;
  Open(0);
  form.HelpBtn->click();
  QTest::keyClick(&form, Qt::Key_F1);
  EXPECT_EQ(shell.opened, std::vector<std::string>(2, program.Path() + "/help/AddingTransitionEffects.html"));
}
