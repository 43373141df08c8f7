// A user's start of the editor on a small, low-colour screen with settings
// from an earlier run, through the real main window from start to close.
#include "tests/app/MainFormFixture.h"
#include "tests/support/FindChild.h"

#include "app/AnimationWindowU.h"
#include "imaging/utils.h"
#include "platform/SysUtils.h"
#include "scene/SceneGlobals.h"

#include <QAction>
#include <QMdiArea>
#include <QTest>

namespace {

class MainFormScenario : public MainFormTest {
 protected:
  ~MainFormScenario() override {
    PaletteMode = 0;
    CancelFlag = 0;
  }
};

TEST_F(MainFormScenario, StartUseOptionsAndCloseWithSettingsFromAnEarlierRun) {
  PutSetting("WindowState", "0");
  PutSetting("Left", "5000");
  PutSetting("Top", "-20");
  PutSetting("Width", "700");
  PutSetting("Height", "500");
  PutSetting("NumberOfLastOpened", "3");
  PutSetting("LastOpened0", "/work/banner.GLM");
  PutSetting("LastOpened1", "/work/logo.GLM");
  PutSetting("LastOpened2", "/work/button.GLM");
  PutSetting("MaxLastOpened", "2");
  PutSetting("Autosave", "1");
  PutSetting("AutosaveInterval", "3");
  system_.screen = {1024, 768};
  system_.bitsPerPixel = 8;
  ui_.noteAnswers = {true};

  TMainForm& form = Start();
  // Pulled back onto the screen.
  EXPECT_EQ(form.pos(), QPoint(324, 0));
  EXPECT_EQ(form.width(), 700);
  // The low-colour note, once, and the program's palette mode.
  ASSERT_EQ(ui_.notes.size(), 1u);
  EXPECT_EQ(ui_.notes[0].caption, "Warning");
  EXPECT_EQ(ui_.notes[0].text.substr(0, 46), "Your display supports less than 32768 colors.\r");
  EXPECT_TRUE(form.LowColorDisplay);
  EXPECT_EQ(PaletteMode, 1);
  // Two recent files, newest first.
  EXPECT_TRUE(Editor(form).Commands().LastOpenedItems[0]->isVisible());
  EXPECT_EQ(Editor(form).Commands().LastOpenedItems[0]->text(), "&1 banner.GLM");
  EXPECT_EQ(Editor(form).Commands().LastOpenedItems[1]->text(), "&2 logo.GLM");
  EXPECT_FALSE(Editor(form).Commands().LastOpenedItems[2]->isVisible());
  // Autosave every three minutes.
  EXPECT_EQ(Editor(form).Files().AutosaveTimer().Interval(), 180000);
  EXPECT_TRUE(Editor(form).Files().AutosaveTimer().Enabled());
  // The file type, with the desktop's MIME package and menu entry.
  EXPECT_EQ(Store()->ReadValue(HKEY_CLASSES_ROOT, ".GLM", ""), "Gleamcraft_Data_File");
  EXPECT_TRUE(FileExists(data_.File("mime/packages/gleamcraft.xml")));
  EXPECT_TRUE(FileExists(data_.File("applications/gleamcraft.desktop")));
  // The first document.
  TAnimationWindow* document = Editor(form).ActiveAnimationWindow();
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(document->windowTitle(), "Untitled");

  // Esc during work.
  QTest::keyClick(&form, Qt::Key_Escape);
  EXPECT_EQ(CancelFlag, 1);

  // Options: one recent file, no undo, while the document has an undoable change.
  int index = 0;
  document->Scene()->AddSprite(index);
  ASSERT_TRUE(document->Modified());
  ASSERT_TRUE(Command(form, "Edit_Undo")->isEnabled());
  forms_.Expect("OptionsFrm").Fill("SpinOpenedFiles", "1").Fill("CheckBoxUndo", false).Answer(mrOk);
  Command(form, "Tools_Options")->trigger();
  EXPECT_EQ(Editor(form).Commands().LastOpenedItems[0]->text(), "&1 banner.GLM");
  EXPECT_FALSE(Editor(form).Commands().LastOpenedItems[1]->isVisible());
  EXPECT_TRUE(document->Modified());
  EXPECT_EQ(document->Undo()->Enabled(), 0);
  EXPECT_TRUE(document->Undo()->Empty());
  EXPECT_FALSE(Command(form, "Edit_Undo")->isEnabled());

  // Closing: the document asks, the settings are written.
  ui_.messageAnswers = {IDNO};
  EXPECT_TRUE(form.close());
  EXPECT_EQ(ui_.messages.size(), 1u);  // the question to save the document
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
  EXPECT_EQ(Setting("LastOpened0"), "/work/banner.GLM");
  EXPECT_EQ(Setting("NeverAskAboutColors"), "1");
  EXPECT_EQ(Setting("MaxLastOpened"), "1");
  EXPECT_EQ(Setting("NumberOfLastOpened"), "1");
  EXPECT_EQ(Setting("UndoEnabled"), "0");
  EXPECT_EQ(Setting("Autosave"), "1");
  EXPECT_EQ(Setting("AutosaveInterval"), "3");
  EXPECT_EQ(Setting("Left"), "324");
  EXPECT_EQ(Setting("Top"), "0");
  EXPECT_EQ(Setting("WindowState"), "0");

  // A second run writes nothing under HKEY_CLASSES_ROOT and shows no note.
  const std::string classes = TempDir::ReadFile(Store()->FileOf(HKEY_CLASSES_ROOT));
  TMainForm& second = Start();
  EXPECT_EQ(ui_.notes.size(), 1u);
  EXPECT_EQ(second.pos(), QPoint(324, 0));
  EXPECT_TRUE(second.close());
  EXPECT_EQ(TempDir::ReadFile(Store()->FileOf(HKEY_CLASSES_ROOT)), classes);
}

}  // namespace
