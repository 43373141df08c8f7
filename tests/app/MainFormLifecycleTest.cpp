// The main window's life: the deferred start, progress, Esc, the steps
// shown, the paste commands that follow the clipboard, help, the upgrade
// helper and closing.
#include "tests/app/MainFormFixture.h"
#include "tests/support/FindChild.h"

#include "app/AnimationWindowU.h"
#include "app/StatusProgressPanel.h"
#include "controls/MyCntrlDigitalDisplay.h"
#include "controls/URL.h"
#include "controls/UTimelineSlider.h"
#include "dialogs/About.h"
#include "dialogs/FirstFlashFormU.h"
#include "imaging/utils.h"
#include "platform/Clipboard.h"
#include "scene/SceneGlobals.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <sys/stat.h>

namespace {

constexpr TColor kNavy = 0x800000;
constexpr TColor kBar = 0xFF8000;

class MainFormLifeTest : public MainFormTest {
 protected:
  ~MainFormLifeTest() override { CancelFlag = 0; }

  // Panel 2 as the status bar's owner drawing paints it, 170 x 20.
  const TBitmap& PanelPixels() {
    panel_.SetSize(170, 20);
    panel_.Canvas().Brush().Color = clBtnFace;
    panel_.Canvas().FillRect(Rect(0, 0, 170, 20));
    Editor(Form()).Layout().StatusPanel2()->OnDrawPanel(panel_.Canvas(), Rect(0, 0, 170, 20));
    return panel_;
  }

  TBitmap panel_;
};

// ---- Progress --------------------------------------------------------------------------------------

TEST_F(MainFormLifeTest, ProgressShowsItsPercentageAndBarInPanelTwo) {
  TMainForm& form = Start();
  CancelFlag = 1;
  Editor(form).ShowProgress(0, 4);
  EXPECT_EQ(form.ProgressPercent, 0);
  EXPECT_EQ(ProgressText(form.ProgressPercent), "0% done");
  EXPECT_EQ(CancelFlag, 0);
  EXPECT_TRUE(form.HideProgressTimer.Enabled());
  const TBitmap& start = PanelPixels();
  EXPECT_EQ(start.Pixel(67, 2), kNavy);    // the frame's top left
  EXPECT_EQ(start.Pixel(166, 17), kNavy);  // its bottom right (right and bottom exclusive)
  EXPECT_EQ(start.Pixel(167, 10), ColorToRGB(clBtnFace));
  EXPECT_EQ(start.Pixel(68, 10), ColorToRGB(clBtnFace));  // an empty bar

  Editor(form).ShowProgress(2, 4);
  EXPECT_EQ(form.ProgressPercent, 50);
  const TBitmap& half = PanelPixels();
  EXPECT_EQ(half.Pixel(68, 3), kBar);
  EXPECT_EQ(half.Pixel(117, 16), kBar);
  EXPECT_EQ(half.Pixel(118, 10), ColorToRGB(clBtnFace));
  EXPECT_EQ(half.Pixel(68, 2), kNavy);

  Editor(form).ShowProgress(4, 4);
  EXPECT_EQ(form.ProgressPercent, -1);
  EXPECT_FALSE(form.HideProgressTimer.Enabled());
  const TBitmap& done = PanelPixels();
  for (int x = 0; x < done.Width(); ++x) ASSERT_EQ(done.Pixel(x, 2), ColorToRGB(clBtnFace)) << x;
}

TEST_F(MainFormLifeTest, TheStatusBarsPanelIsOwnerDrawn) {
  TMainForm& form = Start();
  Editor(form).ShowProgress(0, 2);
  Editor(form).ShowProgress(1, 2);
  const TBitmap& shown = Child<TStatusProgressPanel>(form, "StatusPanel2")->PaintPicture(clBtnFace);
  ASSERT_GE(shown.Width(), 168);
  EXPECT_EQ(shown.Pixel(67, 2), kNavy);
  EXPECT_EQ(shown.Pixel(68 + 49, shown.Height() / 2), kBar);
}

TEST_F(MainFormLifeTest, AZeroTotalShowsAndHidesAtOnce) {
  TMainForm& form = Start();
  Editor(form).ShowProgress(0, 0);
  EXPECT_EQ(form.ProgressPercent, -1);
  EXPECT_FALSE(form.HideProgressTimer.Enabled());
}

TEST_F(MainFormLifeTest, TheCancelFlagIsClearedTenSecondsAfterTheLastReport) {
  TMainForm& form = Start();
  Editor(form).ShowProgress(1, 10);
  CancelFlag = 1;
  EXPECT_TRUE(form.HideProgressTimer.Enabled());
  EXPECT_EQ(form.HideProgressTimer.Interval(), 10000);
  EXPECT_EQ(form.ProgressPercent, 10);  // a report that stops coming leaves the bar
  form.HideProgressTimerTimer();
  EXPECT_EQ(CancelFlag, 0);
  EXPECT_FALSE(form.HideProgressTimer.Enabled());
  EXPECT_EQ(form.ProgressPercent, 10);
}

TEST_F(MainFormLifeTest, WhileProgressRunsOnlyEscGetsThrough) {
  TMainForm& form = Start();
  ASSERT_EQ(Child<QMdiArea>(form, "MdiArea")->subWindowList().size(), 1);
  Editor(form).ShowProgress(0, 3);
  // A key command, a close request and a posted recompute arrive meanwhile.
  QCoreApplication::postEvent(&form, new QKeyEvent(QEvent::KeyPress, Qt::Key_N, Qt::ControlModifier));
  QCoreApplication::postEvent(&form, new QCloseEvent);
  QCoreApplication::postEvent(&form, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
  Editor(form).ShowProgress(1, 3);
  EXPECT_EQ(CancelFlag, 1);
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(Child<QMdiArea>(form, "MdiArea")->subWindowList().size(), 1);
  EXPECT_FALSE(Setting("WindowState").has_value());  // FormClose never ran
}

TEST_F(MainFormLifeTest, EscInTheWindowOrADocumentSetsTheCancelFlag) {
  TMainForm& form = Start();
  QTest::keyClick(&form, Qt::Key_Escape);
  EXPECT_EQ(CancelFlag, 1);
  CancelFlag = 0;
  QTest::keyClick(Child<QTreeWidget>(form, "AnimationTree"), Qt::Key_Escape);
  EXPECT_EQ(CancelFlag, 1);
  CancelFlag = 0;
  char other = 'a';
  form.FormKeyPress(other);
  EXPECT_EQ(CancelFlag, 0);
}

// ---- Steps shown ----------------------------------------------------------------------------------

TEST_F(MainFormLifeTest, AStepShownMovesTheDisplaysAndTheSlider) {
  TMainForm& form = Start();
  TAnimatedScene& scene = *Editor(form).CurrentScene();
  ASSERT_NE(Editor(form).ActiveAnimationWindow(), nullptr);
  scene.StepCount = 250;
  scene.CurrentStep = 1;
  static_cast<TDocumentHost&>(form).StepChanged(0, 0);
  EXPECT_EQ(Child<TDigitalDisplay>(form, "CurrentStep")->Caption(), " 00001");
  scene.CurrentStep = 2;
  static_cast<TDocumentHost&>(form).StepChanged(0, 0);
  EXPECT_EQ(Child<TDigitalDisplay>(form, "CurrentStep")->Caption(), " 00001");
  scene.CurrentStep = 8;
  static_cast<TDocumentHost&>(form).StepChanged(0, 0);
  EXPECT_EQ(Child<TDigitalDisplay>(form, "CurrentStep")->Caption(), " 00007");
  EXPECT_EQ(Child<TTimelineSlider>(form, "StepsTrackBar")->Position(), 7);
  EXPECT_EQ(Child<TTimelineSlider>(form, "StepsTrackBar")->Max(), 250);
  EXPECT_EQ(Child<TTimelineSlider>(form, "StepsTrackBar")->Frequency(), 2);
  // A step beyond the slider's old maximum is shown where it is.
  scene.StepCount = 2000;
  scene.CurrentStep = 1500;
  static_cast<TDocumentHost&>(form).StepChanged(0, 0);
  EXPECT_EQ(Child<TTimelineSlider>(form, "StepsTrackBar")->Position(), 1499);
}

TEST_F(MainFormLifeTest, SpeedIsMeasuredFromTheMicrosecondClock) {
  TMainForm& form = Start();
  Editor(form).CurrentScene()->CurrentStep = 3;
  system_.micros = 1000;
  static_cast<TDocumentHost&>(form).StepChanged(0, 0);
  for (int step = 0; step < 9; ++step) {
    system_.micros += 100000;
    static_cast<TDocumentHost&>(form).StepChanged(0, 0);
  }
  EXPECT_EQ(Child<TDigitalDisplay>(form, "StepPerSecond")->Caption(), " 11.7");  // 7 steps in 0.6 s
}

TEST_F(MainFormLifeTest, WithoutADocumentAStepChangesNothing) {
  TMainForm& form = Start();
  Child<QMdiArea>(form, "MdiArea")->closeAllSubWindows();
  ASSERT_EQ(Editor(form).ActiveAnimationWindow(), nullptr);
  Editor(form).CurrentScene()->CurrentStep = 9;
  static_cast<TDocumentHost&>(form).StepChanged(0, 0);
  EXPECT_EQ(Child<TDigitalDisplay>(form, "CurrentStep")->Caption(), " 00001");
}

// ---- The deferred start ---------------------------------------------------------------------------

TEST_F(MainFormLifeTest, TheDeferredStartRunsOnceASecondAfterShowing) {
  TMainForm& form = ShowWithDeferredStart();
  EXPECT_TRUE(form.TimerStart.Enabled());
  EXPECT_FALSE(form.TimerRunCheckUpdate.Enabled());
  ASSERT_NE(form.SplashForm(), nullptr);
  form.TimerStartTimer();
  EXPECT_FALSE(form.TimerStart.Enabled());
  EXPECT_TRUE(form.TimerRunCheckUpdate.Enabled());
  EXPECT_EQ(form.SplashForm(), nullptr);
}

TEST_F(MainFormLifeTest, TheDeferredStartOpensTheFileOfTheCommandLineInTheActiveDocument) {
  TMainForm& form = Start();
  TAnimationWindow* saved = Editor(form).ActiveAnimationWindow();
  int index = 0;
  saved->Scene()->AddSprite(index);
  const std::string fileName = data_.File("start.GLM");
  saved->SetFileName(fileName);
  ASSERT_TRUE(saved->Save());
  Command(form, "File_New")->trigger();
  TAnimationWindow* fresh = Editor(form).ActiveAnimationWindow();
  ASSERT_NE(fresh, saved);

  form.SetStartupFileArgument(fileName);
  form.TimerStartTimer();
  EXPECT_EQ(Editor(form).ActiveAnimationWindow(), fresh);
  EXPECT_EQ(fresh->FileName(), fileName);
  EXPECT_EQ(fresh->Scene()->SpriteCount(), 1);
  EXPECT_EQ(Editor(form).Commands().LastOpenedItems[0]->text(), "&1 start.GLM");
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(MainFormLifeTest, TheSplashFormTellsWhatIsPrepared) {
  TMainForm& form = Create();
  EXPECT_EQ(form.SplashForm()->LoadingText(), "Initialize constants...");
  EXPECT_EQ(form.SplashForm()->Version->text(), "Version 2.21");
  EXPECT_TRUE(form.SplashForm()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

// ---- Paste commands from the clipboard ------------------------------------------------------------

TEST_F(MainFormLifeTest, PasteCommandsFollowTheClipboard) {
  TMainForm& form = Start();
  for (QAction* command : {Command(form, "Edit_Paste"), Command(form, "Texture_Paste"), Command(form, "Edit_PasteAsNewSprite")})
    Editor(form).Commands().SetCommandHandler(command, [] {});
  const auto states = [&] {
    return std::vector<bool>{Command(form, "Edit_Paste")->isEnabled(), Command(form, "Texture_Paste")->isEnabled(),
                             Command(form, "Edit_PasteAsNewSprite")->isEnabled()};
  };
  Clipboard().Clear();
  QCoreApplication::processEvents();
  EXPECT_EQ(states(), (std::vector<bool>{false, false, false}));
  TBitmap picture;
  picture.SetSize(4, 4);
  Clipboard().SetBitmap(picture);
  QCoreApplication::processEvents();
  EXPECT_EQ(states(), (std::vector<bool>{true, true, true}));
  // A frame blob: size 12, kind 2.
  Clipboard().SetBlock(Editor(form).ClipboardFormat(), std::string("\x0C\0\0\0\x02\0\0\0abcd", 12));
  QCoreApplication::processEvents();
  EXPECT_EQ(states(), (std::vector<bool>{true, false, true}));
  Clipboard().SetBlock(Editor(form).ClipboardFormat(), std::string("\x0C\0\0\0\x01\0\0\0abcd", 12));
  QCoreApplication::processEvents();
  EXPECT_EQ(states(), (std::vector<bool>{true, false, false}));
  // A block shorter than its size and kind is no object.
  Clipboard().SetBlock(Editor(form).ClipboardFormat(), std::string("\x07\0\0\0\x02\0\0", 7));
  QCoreApplication::processEvents();
  EXPECT_EQ(states(), (std::vector<bool>{false, false, false}));
}

// ---- Help -----------------------------------------------------------------------------------------

TEST_F(MainFormLifeTest, HelpTopicsOpenTheirPagesBesideTheProgram) {
  TMainForm& form = Start();
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  // Without the pages, F1 and a dialog's Help button each say which page is missing.
  QTest::keyClick(&form, Qt::Key_F1);
  forms_.Expect("OptionsFrm").Do([](QDialog& dialog) {
    QTest::mouseClick(dialog.findChild<QPushButton*>("HelpBtn"), Qt::LeftButton);
  });
  Command(form, "Tools_Options")->trigger();
  EXPECT_TRUE(shell_.opened.empty());
  ASSERT_EQ(ui_.messages.size(), 2u);
  const std::string missing = "The help pages are not installed.\r\rThe page looked for: ";
  EXPECT_EQ(ui_.messages[0].text, missing + program_.File("help/Main_index.html"));
  EXPECT_EQ(ui_.messages[1].text, missing + program_.File("help/SetParameters.html"));
  EXPECT_EQ(ui_.messages[1].caption, "Information");
  ui_.messages.clear();
  mkdir(program_.File("help").c_str(), 0700);
  for (const char* topic : {"Main_index", "CreateAnimatedGIF", "FAQs"}) program_.WriteFile(std::string("help/") + topic + ".html", "<html/>");
  Command(form, "Contents1")->trigger();
  Command(form, "CreateGIFbanner1")->trigger();
  Command(form, "FrequentlyAskedQuestions1")->trigger();
  EXPECT_EQ(shell_.opened, (std::vector<std::string>{program_.File("help/Main_index.html"),
                                                      program_.File("help/CreateAnimatedGIF.html"),
                                                      program_.File("help/FAQs.html")}));
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(MainFormLifeTest, ReadMeLicenseAndHomePageGoThroughTheLinkField) {
  shell_.browserCommand = "browser %1";
  program_.WriteFile("readme.txt", "read me");
  program_.WriteFile("License.txt", "license");
  TMainForm& form = Start();
  Command(form, "ReadMe1")->trigger();
  Command(form, "LicenseAgreement1")->trigger();
  EXPECT_FALSE(form.TimerRunCheckUpdate.Enabled());
  Command(form, "ZorvanSoftwareHomePage1")->trigger();
  EXPECT_EQ(shell_.opened, (std::vector<std::string>{program_.File("readme.txt"), program_.File("License.txt"),
                                                      "https://example.com/gleamcraft/"}));
  EXPECT_TRUE(form.TimerRunCheckUpdate.Enabled());
  EXPECT_FALSE(Child<TURL>(form, "TmpURL")->isVisible());
}

TEST_F(MainFormLifeTest, TheAboutBoxShowsTheVersion) {
  TMainForm& form = Start();
  forms_.Expect("AboutBox").Do([](QDialog& dialog) {
    auto& about = static_cast<TAboutBox&>(dialog);
    EXPECT_EQ(about.Version->text(), "Version 2.21");
    about.WWWAddressClick();
  });
  Command(form, "Help_About")->trigger();
  ASSERT_EQ(forms_.shown.size(), 1u);
  EXPECT_EQ(forms_.shown[0].caption, "About");
  EXPECT_TRUE(form.TimerRunCheckUpdate.Enabled());
}

// ---- The upgrade helper ---------------------------------------------------------------------------

TEST_F(MainFormLifeTest, AHelperThatCannotStartSwitchesCheckingOff) {
  TMainForm& form = Start();
  Editor(form).UserSettings().CheckNewVersion = false;
  EXPECT_TRUE(Editor(form).SettingsArea().RunUpgradeCheck());
  Editor(form).UserSettings().CheckNewVersion = true;
  Command(form, "Checknewversion1")->setChecked(true);
  form.TimerRunCheckUpdateTimer();
  EXPECT_FALSE(form.TimerRunCheckUpdate.Enabled());
  EXPECT_FALSE(Editor(form).UserSettings().CheckNewVersion);
  EXPECT_FALSE(Command(form, "Checknewversion1")->isChecked());
  EXPECT_TRUE(ui_.messages.empty());  // switched off without a message
}

TEST_F(MainFormLifeTest, TheHelperStartsFromAFolderWithABlankInItsName) {
  const std::string folder = program_.File("my programs");
  mkdir(folder.c_str(), 0700);
  const std::string helper = folder + "/updt.ovl";
  program_.WriteFile("my programs/updt.ovl", "#!/bin/sh\nexit 0\n");
  chmod(helper.c_str(), 0700);
  system_.programFolder = folder + "/";
  TMainForm& form = Start();
  Editor(form).UserSettings().CheckNewVersion = true;
  EXPECT_TRUE(Editor(form).SettingsArea().RunUpgradeCheck());
  EXPECT_TRUE(Editor(form).UserSettings().CheckNewVersion);
}

// ---- Closing --------------------------------------------------------------------------------------

TEST_F(MainFormLifeTest, ADocumentThatStaysOpenKeepsTheProgramRunning) {
  TMainForm& form = Start();
  TAnimationWindow* document = Editor(form).ActiveAnimationWindow();
  ASSERT_NE(document, nullptr);
  document->SetModified(true);
  ui_.messageAnswers = {IDCANCEL};
  EXPECT_FALSE(form.close());
  EXPECT_TRUE(form.isVisible());
  EXPECT_FALSE(Setting("WindowState").has_value());
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, "File Untitled.GLM has been modified. Do you want to save it?");

  ui_.messageAnswers = {IDNO};
  EXPECT_TRUE(form.close());
  EXPECT_TRUE(Child<QMdiArea>(form, "MdiArea")->subWindowList().isEmpty());
  EXPECT_TRUE(Setting("WindowState").has_value());
  // The placeholder scene lives until the window goes.
  EXPECT_EQ(Editor(form).CurrentScene(), Editor(form).PlaceholderScene());
  EXPECT_NE(Editor(form).PlaceholderScene(), nullptr);
}

TEST_F(MainFormLifeTest, AClosedDocumentWaitingForDeletionGoesBeforeItsHost) {
  TMainForm& form = Start();
  TAnimationWindow* document = Editor(form).ActiveAnimationWindow();
  ASSERT_NE(document, nullptr);
  QPointer<TAnimationWindow> watched(document);
  ASSERT_TRUE(document->close());  // deleted later, by the event loop
  // The sanitizer build sees any call from the document into a host half destroyed.
  form_.reset();
  EXPECT_TRUE(watched.isNull());
}

TEST_F(MainFormLifeTest, ExitClosesTheWindow) {
  TMainForm& form = Start();
  Command(form, "File_Exit")->trigger();
  EXPECT_FALSE(form.isVisible());
  EXPECT_TRUE(Setting("Width").has_value());
}

}  // namespace
