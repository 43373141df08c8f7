#include "app/core/EditorSettings.h"

#include "platform/DesktopFileTypes.h"
#include "platform/Registry.h"
#include "platform/SysUtils.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <map>

namespace {

const TSize kScreen{1024, 768};

class EditorSettingsTest : public testing::Test {
 protected:
  TempDir dir_;
  std::shared_ptr<TRegistryStore> store_ = std::make_shared<TRegistryStore>(dir_.Path());

  TRegIniFile Key(bool canCreate = true) { return TRegIniFile(store_, kSettingsKey, canCreate); }

  // Values written as text under the settings key ("" section) or a section.
  void Put(const std::string& name, const std::string& value, const std::string& section = "") {
    TRegIniFile key = Key();
    key.WriteString(section, name, value);
  }
  std::optional<std::string> Get(const std::string& name, const std::string& section = "") {
    std::string path = std::string(kSettingsKey) + (section.empty() ? "" : "\\" + section);
    return store_->ReadValue(HKEY_CURRENT_USER, path, name);
  }

  TEditorSettings Read(std::vector<std::string>* recent = nullptr) {
    TEditorSettings settings;
    std::vector<std::string> files;
    TRegIniFile key = Key();
    ReadEditorSettings(key, settings, kScreen, files);
    if (recent != nullptr) *recent = files;
    return settings;
  }
};

// ---- Names, places and defaults -----------------------------------------------------------------

TEST_F(EditorSettingsTest, DefaultsAreWrittenUnderTheKeysNamesAndSections) {
  TEditorSettings settings;
  settings.DialogFont.Color = clBtnText;
  settings.Folders = DefaultDataFolders("/opt/gleam/");
  settings.Window = {10, 20, 700, 500, wsNormal};
  TRecentFiles recent;
  {
    TRegIniFile key = Key();
    WriteEditorSettings(key, settings, recent);
  }
  const std::map<std::string, std::string> expected{
      {"Width", "700"},
      {"Height", "500"},
      {"Top", "20"},
      {"Left", "10"},
      {"WindowState", "0"},
      {"ShowWizardAtStartup", "1"},
      {"NeverAskAboutColors", "0"},
      {"NeverAskAbout24BitColors", "0"},
      {"NeverAskAboutComCtlVersion", "0"},
      {"CreateBackup", "0"},
      {"DataDirectory", "/opt/gleam/Animations/"},
      {"PicturesDirectory", "/opt/gleam/Pictures/"},
      {"TexturesDirectory", "/opt/gleam/Pictures/Textures/"},
      {"Autosave", "0"},
      {"AutosaveInterval", "10"},
      {"PreviewPicture", "1"},
      {"PreviewAnimation", "1"},
      {"AutocreateEffect", "0"},
      {"TypeOfResize", "1"},
      {"CheckNewVersion", "0"},
      {"UndoEnabled", "1"},
      {"AntiAliasResample", "1"},
      {"PlayAntiAliasResample", "0"},
      {"PanelSpriteVisible", "0"},
      {"LastPanelSpriteWidth", "0"},
      {"NumberOfLastOpened", "0"},
      {"LastOpenedEnabled", "1"},
      {"MaxLastOpened", "4"},
      {"SaveBitmapsInFrames", "1"},
  };
  for (const auto& [name, value] : expected) EXPECT_EQ(Get(name), value) << name;
  const std::map<std::string, std::string> fonts{
      {"Dialog Text Font Name", "MS Sans Serif"}, {"Dialog Text Font Size", "8"},
      {"Dialog Text Font Bold", "0"},             {"Dialog Text Font Italic", "0"},
      {"Dialog Text Font Color", "clBtnText"},    {"Dialog Text Font Charset", "1"},
      {"Digital Display Color", "clRed"},
  };
  for (const auto& [name, value] : fonts) EXPECT_EQ(Get(name, "Fonts"), value) << name;
  EXPECT_EQ(store_->ValueNames(HKEY_CURRENT_USER, kSettingsKey).size(), expected.size());
}

TEST_F(EditorSettingsTest, AnEmptyKeyLeavesEveryDefaultAndOpensMaximised) {
  { TRegIniFile created = Key(); }
  std::vector<std::string> recent{"stale"};
  TEditorSettings settings = Read(&recent);
  const TEditorSettings defaults;
  EXPECT_EQ(settings.Window.State, wsMaximized);
  EXPECT_EQ(settings.Window.Width, 640);
  EXPECT_EQ(settings.Window.Height, 480);
  EXPECT_EQ(settings.AutosaveInterval, 10);
  EXPECT_EQ(settings.MaxLastOpened, 4);
  EXPECT_TRUE(settings.LastOpenedEnabled);
  EXPECT_TRUE(settings.UndoEnabled);
  EXPECT_TRUE(settings.AntiAliasResample);
  EXPECT_FALSE(settings.PlayAntiAliasResample);
  EXPECT_TRUE(settings.SaveBitmapsInFrames);
  EXPECT_EQ(settings.TypeOfResize, 1);
  EXPECT_EQ(settings.DialogFont.Color, clBtnText);
  EXPECT_EQ(settings.DialogFont.Charset, 0);
  EXPECT_TRUE(recent.empty());
}

TEST_F(EditorSettingsTest, EveryValueRoundTrips) {
  TEditorSettings written;
  written.Window = {30, 40, 800, 600, wsNormal};
  written.DialogFont.Name = "Arial";
  written.DialogFont.SetSize(11);
  written.DialogFont.Style = fsBold | fsItalic;
  written.DialogFont.Color = 0x00123456;
  written.DialogFont.Charset = 204;
  written.ShowWizardAtStartup = false;
  written.NeverAskAboutColors = true;
  written.NeverAskAbout24BitColors = true;
  written.NeverAskAboutComCtlVersion = true;
  written.CreateBackup = true;
  written.Folders = {"/a/", "/b c/", "/d/"};
  written.Autosave = true;
  written.AutosaveInterval = 3;
  written.PreviewAnimation = false;
  written.PreviewPicture = false;
  written.AutocreateEffect = true;
  written.TypeOfResize = 0;
  written.CheckNewVersion = true;
  written.UndoEnabled = false;
  written.AntiAliasResample = false;
  written.PlayAntiAliasResample = true;
  written.DigitalDisplayColor = clLime;
  written.PanelSpriteVisible = true;
  written.LastPanelSpriteWidth = 312;
  written.LastOpenedEnabled = true;
  written.MaxLastOpened = 6;
  written.SaveBitmapsInFrames = false;
  TRecentFiles recent;
  recent.Maximum = 6;
  recent.Add("/x/old.GLM");
  recent.Add("/x/new.GLM");
  {
    TRegIniFile key = Key();
    WriteEditorSettings(key, written, recent);
  }
  std::vector<std::string> files;
  const TEditorSettings read = Read(&files);
  EXPECT_EQ(read.Window, written.Window);
  EXPECT_EQ(read.DialogFont, written.DialogFont);
  EXPECT_EQ(read.Folders, written.Folders);
  EXPECT_EQ(read.AutosaveInterval, 3);
  EXPECT_EQ(read.LastPanelSpriteWidth, 312);
  EXPECT_EQ(read.MaxLastOpened, 6);
  EXPECT_EQ(read.DigitalDisplayColor, clLime);
  EXPECT_EQ(read.TypeOfResize, 0);
  for (bool flag : {!read.ShowWizardAtStartup, read.NeverAskAboutColors, read.NeverAskAbout24BitColors,
                    read.NeverAskAboutComCtlVersion, read.CreateBackup, read.Autosave, !read.PreviewAnimation,
                    !read.PreviewPicture, read.AutocreateEffect, read.CheckNewVersion, !read.UndoEnabled,
                    !read.AntiAliasResample, read.PlayAntiAliasResample, read.PanelSpriteVisible,
                    !read.SaveBitmapsInFrames})
    EXPECT_TRUE(flag);
  // Oldest first, so that adding them in order leaves entry 0 on top.
  EXPECT_EQ(files, (std::vector<std::string>{"/x/old.GLM", "/x/new.GLM"}));
}

TEST_F(EditorSettingsTest, BoldAndItalicAreOnlyEverAdded) {
  Put("Dialog Text Font Bold", "0", "Fonts");
  Put("Dialog Text Font Italic", "1", "Fonts");
  TEditorSettings settings;
  settings.DialogFont.Style = fsBold;
  std::vector<std::string> files;
  TRegIniFile key = Key();
  ReadEditorSettings(key, settings, kScreen, files);
  EXPECT_EQ(settings.DialogFont.Style, fsBold | fsItalic);
}

TEST_F(EditorSettingsTest, FoldersGetATrailingSlashAndAnEmptyFolderMeansTheDefault) {
  Put("DataDirectory", "/home/u/anims");
  Put("PicturesDirectory", "");
  TEditorSettings settings;
  settings.Folders = DefaultDataFolders("/opt/gleam");
  std::vector<std::string> files;
  TRegIniFile key = Key();
  ReadEditorSettings(key, settings, kScreen, files);
  EXPECT_EQ(settings.Folders.Data, "/home/u/anims/");
  EXPECT_EQ(settings.Folders.Pictures, "/opt/gleam/Pictures/");
  EXPECT_EQ(settings.Folders.Textures, "/opt/gleam/Pictures/Textures/");
  EXPECT_EQ(NormalizeFolder("", "/fallback/"), "/fallback/");
  EXPECT_EQ(NormalizeFolder("/x", "/fallback/"), "/x/");
}

// ---- Hostile values --------------------------------------------------------------------------------

TEST_F(EditorSettingsTest, ValuesOutsideTheOptionsRangesFallBackToTheirDefaults) {
  for (const auto& [interval, maximum] : std::vector<std::pair<std::string, std::string>>{
           {"0", "0"}, {"121", "10"}, {"-5", "-1"}, {"2147483647", "99999"}}) {
    Put("AutosaveInterval", interval);
    Put("MaxLastOpened", maximum);
    const TEditorSettings settings = Read();
    EXPECT_EQ(settings.AutosaveInterval, 10) << interval;
    EXPECT_EQ(settings.MaxLastOpened, 4) << maximum;
  }
  Put("AutosaveInterval", "120");
  Put("MaxLastOpened", "9");
  EXPECT_EQ(Read().AutosaveInterval, 120);
  EXPECT_EQ(Read().MaxLastOpened, 9);
}

TEST_F(EditorSettingsTest, AtMostNineRecentFilesAreRead) {
  for (int n = 0; n < 12; ++n) Put("LastOpened" + IntToStr(n), "/f" + IntToStr(n) + ".GLM");
  Put("NumberOfLastOpened", "12");
  std::vector<std::string> files;
  Read(&files);
  ASSERT_EQ(files.size(), 9u);
  EXPECT_EQ(files.front(), "/f8.GLM");
  EXPECT_EQ(files.back(), "/f0.GLM");
  Put("NumberOfLastOpened", "-4");
  Read(&files);
  EXPECT_TRUE(files.empty());
}

TEST_F(EditorSettingsTest, UnreadableColourTextCountsAsMissing) {
  Put("Dialog Text Font Color", "clNoSuchColour", "Fonts");
  Put("Digital Display Color", "12abc", "Fonts");
  TEditorSettings settings;
  settings.DigitalDisplayColor = clYellow;
  std::vector<std::string> files;
  TRegIniFile key = Key();
  ReadEditorSettings(key, settings, kScreen, files);
  EXPECT_EQ(settings.DialogFont.Color, clBtnText);
  EXPECT_EQ(settings.DigitalDisplayColor, clYellow);
}

TEST_F(EditorSettingsTest, AWindowStateOutsideZeroToTwoCountsAsNormal) {
  Put("WindowState", "7");
  Put("Left", "100");
  EXPECT_EQ(Read().Window.State, wsNormal);
  EXPECT_EQ(Read().Window.Left, 100);
  Put("WindowState", "-1");
  EXPECT_EQ(Read().Window.State, wsNormal);
}

// ---- Window placement ---------------------------------------------------------------------------

TEST_F(EditorSettingsTest, AWindowOffTheScreenIsPulledBack) {
  Put("WindowState", "0");
  Put("Left", "5000");
  Put("Top", "-20");
  Put("Width", "700");
  Put("Height", "500");
  const TWindowPlacement window = Read().Window;
  EXPECT_EQ(window, (TWindowPlacement{324, 0, 700, 500, wsNormal}));
}

TEST_F(EditorSettingsTest, AMaximisedWindowKeepsTheDefaultBounds) {
  Put("WindowState", "2");
  Put("Left", "5000");
  Put("Width", "900");
  EXPECT_EQ(Read().Window, (TWindowPlacement{0, 0, 640, 480, wsMaximized}));
}

TEST(WindowPlacement, FarEdgesMeetTheScreensEdgesAndNothingGoesNegative) {
  TWindowPlacement below{10, 900, 640, 480, wsNormal};
  PullWindowOnScreen(below, {1024, 768});
  EXPECT_EQ(below.Top, 288);
  TWindowPlacement huge{2000, 2000, 3000, 2500, wsNormal};
  PullWindowOnScreen(huge, {1024, 768});
  EXPECT_EQ(huge.Left, 0);
  EXPECT_EQ(huge.Top, 0);
  TWindowPlacement inside{100, 100, 640, 480, wsNormal};
  PullWindowOnScreen(inside, {1024, 768});
  EXPECT_EQ(inside, (TWindowPlacement{100, 100, 640, 480, wsNormal}));
}

// ---- Recent files -------------------------------------------------------------------------------

TEST(RecentFiles, NewestFirstWithoutDuplicatesAndNumberedCaptions) {
  TRecentFiles recent;
  recent.Add("/d/a.GLM");
  recent.Add("/d/b.GLM");
  recent.Add("/d/a.GLM");
  EXPECT_EQ(recent.Entries(), (std::vector<std::string>{"/d/a.GLM", "/d/b.GLM"}));
  EXPECT_EQ(recent.MenuCaption(0), "&1 a.GLM");
  EXPECT_EQ(recent.MenuCaption(1), "&2 b.GLM");
  // The comparison is exact: another letter case is another file.
  recent.Add("/d/A.GLM");
  EXPECT_EQ(recent.Entries().size(), 3u);
}

TEST(RecentFiles, TrimsToTheMaximumAndAnEmptyNameOnlyTrims) {
  TRecentFiles recent;
  for (const char* name : {"/1", "/2", "/3", "/4", "/5"}) recent.Add(name);
  EXPECT_EQ(recent.Entries(), (std::vector<std::string>{"/5", "/4", "/3", "/2"}));
  recent.Maximum = 2;
  recent.Add("");
  EXPECT_EQ(recent.Entries(), (std::vector<std::string>{"/5", "/4"}));
}

TEST(RecentFiles, ADisabledListTakesNothingButStillTrims) {
  TRecentFiles recent;
  recent.Add("/1");
  recent.Add("/2");
  recent.Enabled = false;
  recent.Maximum = 1;
  recent.Add("/3");
  EXPECT_EQ(recent.Entries(), (std::vector<std::string>{"/2"}));
}

TEST(RecentFiles, AnAmpersandInTheNameIsDoubled) {
  TRecentFiles recent;
  recent.Add("/d/Tom & Jerry.GLM");
  EXPECT_EQ(recent.MenuCaption(0), "&1 Tom && Jerry.GLM");
}

// ---- The project file type ------------------------------------------------------------------------

TEST_F(EditorSettingsTest, TheFileTypeIsRegisteredOnceWithQuotedCommand) {
  TempDir data;
  ScopedEnvironment environment({{"XDG_DATA_HOME", data.Path()}});
  TRegistry registry(store_);
  const std::string program = "/opt/my apps/Gleamcraft";
  EXPECT_TRUE(RegisterProjectFileType(registry, "Gleamcraft", program));
  EXPECT_EQ(store_->ReadValue(HKEY_CLASSES_ROOT, ".GLM", ""), "Gleamcraft_Data_File");
  EXPECT_EQ(store_->ReadValue(HKEY_CLASSES_ROOT, "Gleamcraft_Data_File", ""), "Gleamcraft File");
  EXPECT_EQ(store_->ReadValue(HKEY_CLASSES_ROOT, "Gleamcraft_Data_File\\DefaultIcon", ""), program + ",1");
  EXPECT_EQ(store_->ReadValue(HKEY_CLASSES_ROOT, "Gleamcraft_Data_File\\shell\\open\\command", ""),
            "\"/opt/my apps/Gleamcraft\" \"%1\"");
  const TDesktopFileType type{"Gleamcraft_Data_File", ".GLM", "Gleamcraft File", "Gleamcraft", program};
  EXPECT_TRUE(FileExists(DesktopMimePackagePath(type)));
  EXPECT_TRUE(FileExists(DesktopEntryPath(type)));
  EXPECT_EQ(DesktopEntryPath(type).rfind(data.Path(), 0), 0u);

  // A second start finds the type registered and writes nothing.
  const std::string classes = TempDir::ReadFile(store_->FileOf(HKEY_CLASSES_ROOT));
  DeleteFile(DesktopEntryPath(type));
  EXPECT_FALSE(RegisterProjectFileType(registry, "Gleamcraft", program));
  EXPECT_EQ(TempDir::ReadFile(store_->FileOf(HKEY_CLASSES_ROOT)), classes);
  EXPECT_FALSE(FileExists(DesktopEntryPath(type)));
}

TEST_F(EditorSettingsTest, AnExtensionOfAnotherTypeIsTakenOver) {
  TempDir data;
  ScopedEnvironment environment({{"XDG_DATA_HOME", data.Path()}});
  store_->CreateKey(HKEY_CLASSES_ROOT, ".GLM");
  store_->WriteValue(HKEY_CLASSES_ROOT, ".GLM", "", "Other_Type");
  TRegistry registry(store_);
  EXPECT_TRUE(RegisterProjectFileType(registry, "Gleamcraft", "/p/Gleamcraft"));
  EXPECT_EQ(store_->ReadValue(HKEY_CLASSES_ROOT, ".GLM", ""), "Gleamcraft_Data_File");
}

}  // namespace
