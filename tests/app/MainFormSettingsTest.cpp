// The main window's settings through the real window: loading when shown,
// saving when closed, the recent-files menu, the display note, the file type
// and the Options command.
#include "tests/app/MainFormFixture.h"
#include "tests/support/FindChild.h"

#include "app/AnimationWindowU.h"
#include "controls/MyCntrlDigitalDisplay.h"
#include "dialogs/OptionsFrmU.h"
#include "scene/SceneGlobals.h"

#include <QAction>
#include <QCheckBox>
#include <QMdiArea>
#include <QTreeWidget>

namespace {

constexpr const char* kLowColorNote =
    "Your display supports less than 32768 colors.\r\rTo change color palette:\r\rFrom the Control Panel, choose "
    "the Display icon.\rSelect Settings tab.\rIn the Color Palette list, select at least 32768 number of colors.";

class MainFormSettingsTest : public MainFormTest {
 protected:
  ~MainFormSettingsTest() override { PaletteMode = 0; }

  QStringList RecentCaptions() {
    QStringList captions;
    for (QAction* item : Editor(Form()).Commands().LastOpenedItems)
      if (item->isVisible()) captions << item->text();
    return captions;
  }
};

TEST_F(MainFormSettingsTest, AMissingKeyGivesAMaximisedWindowWithEveryDefault) {
  TMainForm& form = Start();
  EXPECT_TRUE(form.windowState().testFlag(Qt::WindowMaximized));
  EXPECT_FALSE(Store()->KeyExists(HKEY_CURRENT_USER, kSettingsKey));  // reading created nothing
  EXPECT_FALSE(Editor(form).Files().AutosaveTimer().Enabled());
  EXPECT_EQ(Editor(form).Files().AutosaveTimer().Interval(), 600000);
  EXPECT_EQ(Editor(form).SettingsArea().RecentFiles().Maximum, 4);
  EXPECT_TRUE(Editor(form).SettingsArea().RecentFiles().Enabled);
  EXPECT_TRUE(Editor(form).UserSettings().UndoEnabled);
  EXPECT_TRUE(Editor(form).UserSettings().ShowWizardAtStartup);
  EXPECT_EQ(Editor(form).UserSettings().DialogFont.Charset, 0);
  EXPECT_TRUE(ui_.notes.empty());
  EXPECT_EQ(Editor(form).SettingsArea().OpenDialog1().initialDir, program_.Path() + "/Animations/");
  EXPECT_EQ(Editor(form).SettingsArea().OpenFrameDlg().initialDir, program_.Path() + "/Pictures/");
  EXPECT_EQ(Editor(form).SettingsArea().OpenTextureDialog().initialDir, program_.Path() + "/Pictures/Textures/");
}

TEST_F(MainFormSettingsTest, ClosingWritesEveryValue) {
  TMainForm& form = Start();
  Editor(form).SettingsArea().AddRecentFile("/d/one.GLM");
  form.close();
  for (const char* name :
       {"Width", "Height", "Top", "Left", "WindowState", "ShowWizardAtStartup", "NeverAskAboutColors",
        "NeverAskAbout24BitColors", "NeverAskAboutComCtlVersion", "CreateBackup", "DataDirectory",
        "PicturesDirectory", "TexturesDirectory", "Autosave", "AutosaveInterval", "PreviewPicture",
        "PreviewAnimation", "AutocreateEffect", "TypeOfResize", "CheckNewVersion", "UndoEnabled",
        "AntiAliasResample", "PlayAntiAliasResample", "PanelSpriteVisible", "LastPanelSpriteWidth",
        "NumberOfLastOpened", "LastOpened0", "LastOpenedEnabled", "MaxLastOpened", "SaveBitmapsInFrames"})
    EXPECT_TRUE(Setting(name).has_value()) << name;
  for (const char* name : {"Dialog Text Font Name", "Dialog Text Font Size", "Dialog Text Font Bold",
                           "Dialog Text Font Italic", "Dialog Text Font Color", "Dialog Text Font Charset",
                           "Digital Display Color"})
    EXPECT_TRUE(Setting(name, "Fonts").has_value()) << name;
  EXPECT_EQ(Setting("WindowState"), "2");
  EXPECT_EQ(Setting("LastOpened0"), "/d/one.GLM");
  EXPECT_EQ(Setting("DataDirectory"), program_.Path() + "/Animations/");
}

TEST_F(MainFormSettingsTest, ANormalWindowComesBackWhereItWas) {
  PutSetting("WindowState", "0");
  PutSetting("Left", "40");
  PutSetting("Top", "30");
  PutSetting("Width", "700");
  PutSetting("Height", "520");
  TMainForm& form = Start();
  EXPECT_FALSE(form.windowState().testFlag(Qt::WindowMaximized));
  EXPECT_EQ(form.pos(), QPoint(40, 30));
  EXPECT_EQ(form.size(), QSize(700, 520));
  form.move(50, 60);
  form.close();
  EXPECT_EQ(Setting("Left"), "50");
  EXPECT_EQ(Setting("Top"), "60");
  EXPECT_EQ(Setting("WindowState"), "0");
}

TEST_F(MainFormSettingsTest, RecentFilesFromTheRegistryNewestFirst) {
  PutSetting("NumberOfLastOpened", "3");
  PutSetting("LastOpened0", "/d/a.GLM");
  PutSetting("LastOpened1", "/d/b.GLM");
  PutSetting("LastOpened2", "/d/c.GLM");
  PutSetting("MaxLastOpened", "2");
  TMainForm& form = Start();
  EXPECT_EQ(RecentCaptions(), (QStringList{"&1 a.GLM", "&2 b.GLM"}));
  EXPECT_TRUE(Command(form, "LOSeparator")->isVisible());
  Editor(form).SettingsArea().AddRecentFile("/e/b.GLM");
  EXPECT_EQ(RecentCaptions(), (QStringList{"&1 b.GLM", "&2 a.GLM"}));
  Editor(form).SettingsArea().AddRecentFile("/e/b.GLM");
  EXPECT_EQ(RecentCaptions(), (QStringList{"&1 b.GLM", "&2 a.GLM"}));
  EXPECT_EQ(Editor(form).SettingsArea().RecentFiles().Entries(), (std::vector<std::string>{"/e/b.GLM", "/d/a.GLM"}));
}

TEST_F(MainFormSettingsTest, ADisabledListIsNotLoadedAndClosingWritesNone) {
  PutSetting("NumberOfLastOpened", "2");
  PutSetting("LastOpened0", "/d/a.GLM");
  PutSetting("LastOpened1", "/d/b.GLM");
  PutSetting("LastOpenedEnabled", "0");
  TMainForm& form = Start();
  EXPECT_TRUE(RecentCaptions().isEmpty());
  EXPECT_FALSE(Command(form, "LOSeparator")->isVisible());
  form.close();
  EXPECT_EQ(Setting("NumberOfLastOpened"), "0");
  EXPECT_EQ(Setting("LastOpened1"), "/d/b.GLM");  // older values stay where they were
}

TEST_F(MainFormSettingsTest, RecentFileNamesAreFileSystemBytes) {
  TMainForm& form = Start();
  Editor(form).SettingsArea().AddRecentFile("/d/B\xC3\xA4ume & Co.GLM");
  EXPECT_EQ(Editor(form).Commands().LastOpenedItems[0]->text(), QString::fromUtf8("&1 B\u00E4ume && Co.GLM"));
}

TEST_F(MainFormSettingsTest, AutosaveAtThreeMinutes) {
  PutSetting("Autosave", "1");
  PutSetting("AutosaveInterval", "3");
  TMainForm& form = Start();
  EXPECT_EQ(Editor(form).Files().AutosaveTimer().Interval(), 180000);
  EXPECT_TRUE(Editor(form).Files().AutosaveTimer().Enabled());
}

TEST_F(MainFormSettingsTest, TheLowColourNoteAndItsNeverShowBox) {
  system_.bitsPerPixel = 8;
  PutSetting("WindowState", "2");
  ui_.noteAnswers = {true};
  TMainForm& form = Start();
  ASSERT_EQ(ui_.notes.size(), 1u);
  EXPECT_EQ(ui_.notes[0].caption, "Warning");
  EXPECT_EQ(ui_.notes[0].text, kLowColorNote);
  EXPECT_TRUE(form.LowColorDisplay);
  EXPECT_EQ(PaletteMode, 1);
  form.close();
  EXPECT_EQ(Setting("NeverAskAboutColors"), "1");

  PaletteMode = 0;
  TMainForm& second = Start();
  EXPECT_EQ(ui_.notes.size(), 1u);  // silent at the next start
  EXPECT_TRUE(second.LowColorDisplay);
  EXPECT_EQ(PaletteMode, 1);
}

TEST_F(MainFormSettingsTest, ADisplayOfManyColoursGetsNoNote) {
  system_.bitsPerPixel = 16;
  TMainForm& form = Start();
  EXPECT_TRUE(ui_.notes.empty());
  EXPECT_FALSE(form.LowColorDisplay);
}

TEST_F(MainFormSettingsTest, TheFileTypeIsRegisteredAtTheFirstStartOnly) {
  Start().close();
  EXPECT_EQ(Store()->ReadValue(HKEY_CLASSES_ROOT, ".GLM", ""), "Gleamcraft_Data_File");
  EXPECT_EQ(Store()->ReadValue(HKEY_CLASSES_ROOT, "Gleamcraft_Data_File\\shell\\open\\command", ""),
            "\"" + program_.Path() + "/Gleamcraft\" \"%1\"");
  const std::string classes = TempDir::ReadFile(Store()->FileOf(HKEY_CLASSES_ROOT));
  Start().close();
  EXPECT_EQ(TempDir::ReadFile(Store()->FileOf(HKEY_CLASSES_ROOT)), classes);
}

TEST_F(MainFormSettingsTest, AFailingUpgradeHelperIsWrittenAsOff) {
  PutSetting("CheckNewVersion", "1");
  TMainForm& form = Start();
  EXPECT_TRUE(Command(form, "Checknewversion1")->isChecked());
  form.TimerRunCheckUpdateTimer();
  form.close();
  EXPECT_EQ(Setting("CheckNewVersion"), "0");
}

// ---- Options ------------------------------------------------------------------------------------

TEST_F(MainFormSettingsTest, OptionsAreFilledFromTheSettingsAndTakenBack) {
  PutSetting("AutosaveInterval", "7");
  PutSetting("MaxLastOpened", "5");
  PutSetting("CreateBackup", "1");
  TMainForm& form = Start();
  forms_.Expect("OptionsFrm")
      .Do([&](QDialog& dialog) {
        auto& options = static_cast<TOptionsFrm&>(dialog);
        const TOptionsValues shown = options.Values();
        EXPECT_EQ(shown.AutosaveMinutes, 7);
        EXPECT_FALSE(shown.Autosave);  // filling the interval does not tick the box
        EXPECT_EQ(shown.MaxLastOpened, 5);
        EXPECT_TRUE(shown.CreateBackup);
        EXPECT_EQ(shown.DataFolder, program_.Path() + "/Animations/");
        EXPECT_EQ(options.FileLocationsList->topLevelItem(1)->text(0), "Images");
      })
      .Fill("SaveIntervalSpin", "3")
      .Do([](QDialog& dialog) {
        auto& options = static_cast<TOptionsFrm&>(dialog);
        options.FileLocationsList->topLevelItem(0)->setText(1, "/my animations");
        options.FileLocationsList->topLevelItem(2)->setText(1, "");
      })
      .Answer(mrOk);
  Command(form, "Tools_Options")->trigger();
  EXPECT_TRUE(Editor(form).UserSettings().Autosave);
  EXPECT_EQ(Editor(form).Files().AutosaveTimer().Interval(), 180000);
  EXPECT_TRUE(Editor(form).Files().AutosaveTimer().Enabled());
  EXPECT_EQ(Editor(form).UserSettings().Folders.Data, "/my animations/");
  EXPECT_EQ(Editor(form).UserSettings().Folders.Textures, program_.Path() + "/Pictures/Textures/");  // empty: the default
  EXPECT_EQ(Editor(form).SettingsArea().OpenDialog1().initialDir, "/my animations/");
}

TEST_F(MainFormSettingsTest, CancelledOptionsChangeNothing) {
  TMainForm& form = Start();
  forms_.Expect("OptionsFrm").Fill("SpinOpenedFiles", "1").Answer(mrCancel);
  Command(form, "Tools_Options")->trigger();
  EXPECT_EQ(Editor(form).SettingsArea().RecentFiles().Maximum, 4);
}

TEST_F(MainFormSettingsTest, UntickingUndoKeepsTheDocumentModified) {
  TMainForm& form = Start();
  TAnimationWindow* document = Editor(form).ActiveAnimationWindow();
  ASSERT_NE(document, nullptr);
  document->SetModified(true);
  Command(form, "Edit_Undo")->setEnabled(true);
  forms_.Expect("OptionsFrm").Fill("CheckBoxUndo", false).Answer(mrOk);
  Command(form, "Tools_Options")->trigger();
  EXPECT_FALSE(Editor(form).UserSettings().UndoEnabled);
  EXPECT_EQ(document->Undo()->Enabled(), 0);
  EXPECT_TRUE(document->Modified());
  EXPECT_TRUE(document->windowTitle().endsWith(" *"));
  EXPECT_FALSE(Command(form, "Edit_Undo")->isEnabled());
}

TEST_F(MainFormSettingsTest, LoweringTheListTrimsTheMenuAtOnce) {
  TMainForm& form = Start();
  for (const char* name : {"/d/a.GLM", "/d/b.GLM", "/d/c.GLM"}) Editor(form).SettingsArea().AddRecentFile(name);
  forms_.Expect("OptionsFrm").Fill("SpinOpenedFiles", "1").Answer(mrOk);
  Command(form, "Tools_Options")->trigger();
  EXPECT_EQ(RecentCaptions(), QStringList{"&1 c.GLM"});
}

TEST_F(MainFormSettingsTest, TheDigitalDisplaysTakeTheChosenColour) {
  PutSetting("WindowState", "2");
  Store()->CreateKey(HKEY_CURRENT_USER, std::string(kSettingsKey) + "\\Fonts");
  Store()->WriteValue(HKEY_CURRENT_USER, std::string(kSettingsKey) + "\\Fonts", "Digital Display Color", "clLime");
  TMainForm& form = Start();
  EXPECT_EQ(Child<TDigitalDisplay>(form, "CurrentStep")->ColorOfText(), clLime);
  EXPECT_EQ(Child<TDigitalDisplay>(form, "StepPerSecond")->ColorOfText(), clLime);
}

}  // namespace
