#include "platform/Registry.h"

#include "tests/support/ErrorText.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

using namespace std::string_literals;

namespace {

constexpr const char* kSettingsKey = "SOFTWARE\\ZorvanSoft\\Glowsmith";

class RegistryTest : public testing::Test {
 protected:
  std::shared_ptr<TRegistryStore> NewStore() const { return std::make_shared<TRegistryStore>(dir_.Path()); }
  std::string UserFile() const { return TempDir::ReadFile(dir_.File("HKEY_CURRENT_USER.reg")); }

  TempDir dir_;
  std::shared_ptr<TRegistryStore> store_ = NewStore();
};

ino_t InodeOf(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

}  // namespace

// ---- Settings through TRegIniFile ----------------------------------------------------------

TEST_F(RegistryTest, SettingsRoundTripAsStringsInTheKeyAndItsSections) {
  {
    TRegIniFile ini(store_, kSettingsKey);
    ini.WriteInteger("", "WindowState", 0);
    ini.WriteInteger("", "Left", -20);
    ini.WriteBool("", "Autosave", true);
    ini.WriteBool("", "CreateBackup", false);
    ini.WriteString("", "DataDirectory", "/home/u/Animations/");
    ini.WriteString("Fonts", "Dialog Text Font Name", "MS Sans Serif");
    ini.WriteString("Fonts", "Dialog Text Font Color", "clBtnText");
  }
  TRegIniFile ini(NewStore(), kSettingsKey, false);
  ASSERT_TRUE(ini.HasCurrentKey());
  EXPECT_EQ(ini.ReadInteger("", "WindowState", 2), 0);
  EXPECT_EQ(ini.ReadInteger("", "Left", 0), -20);
  EXPECT_TRUE(ini.ReadBool("", "Autosave", false));
  EXPECT_FALSE(ini.ReadBool("", "CreateBackup", true));
  EXPECT_EQ(ini.ReadString("", "DataDirectory", ""), "/home/u/Animations/");
  EXPECT_EQ(ini.ReadString("Fonts", "Dialog Text Font Color", "x"), "clBtnText");
  // Every value is text: integers in decimal, Booleans as 1 and 0.
  EXPECT_EQ(ini.ReadString("", "Left", ""), "-20");
  EXPECT_EQ(ini.ReadString("", "Autosave", ""), "1");
  EXPECT_EQ(ini.ReadString("", "CreateBackup", ""), "0");
  EXPECT_EQ(ini.ReadSections(), std::vector<std::string>{"Fonts"});
  EXPECT_EQ(ini.ReadSection("Fonts"), (std::vector<std::string>{"Dialog Text Font Color", "Dialog Text Font Name"}));
}

TEST_F(RegistryTest, MissingOrUnreadableValuesGiveTheDefaults) {
  TRegIniFile ini(store_, kSettingsKey);
  ini.WriteString("", "AutosaveInterval", "ten");
  ini.WriteString("", "MaxLastOpened", "$10");
  EXPECT_EQ(ini.ReadInteger("", "AutosaveInterval", 10), 10);
  EXPECT_EQ(ini.ReadInteger("", "MaxLastOpened", 4), 16);
  EXPECT_EQ(ini.ReadInteger("", "Missing", 7), 7);
  EXPECT_TRUE(ini.ReadBool("", "AutosaveInterval", true));
  EXPECT_EQ(ini.ReadString("NoSection", "Dialog Text Font Name", "Arial"), "Arial");
  EXPECT_FALSE(ini.ValueExists("", "Missing"));
  EXPECT_TRUE(ini.ValueExists("", "autosaveinterval"));
}

TEST_F(RegistryTest, AnIniFileOpenedWithoutCreatingLeavesAMissingKeyMissing) {
  TRegIniFile ini(store_, kSettingsKey, false);
  EXPECT_FALSE(ini.HasCurrentKey());
  EXPECT_EQ(ini.ReadInteger("", "WindowState", 2), 2);
  EXPECT_EQ(ErrorText<ERegistryException>([&] { ini.WriteString("", "Width", "640"); }),
            "Failed to set data for 'Width'");
  EXPECT_FALSE(store_->KeyExists(HKEY_CURRENT_USER, "SOFTWARE"));
  // The class library's default creates the key.
  TRegIniFile created(store_, kSettingsKey);
  EXPECT_TRUE(store_->KeyExists(HKEY_CURRENT_USER, kSettingsKey));
}

TEST_F(RegistryTest, EraseSectionAndDeleteKeyRemoveASectionAndAValue) {
  TRegIniFile ini(store_, kSettingsKey);
  ini.WriteString("Fonts", "A", "1");
  ini.WriteString("", "LastOpened3", "x");
  ini.DeleteKey("", "LASTOPENED3");
  ini.EraseSection("fonts");
  EXPECT_FALSE(ini.ValueExists("", "LastOpened3"));
  EXPECT_TRUE(ini.ReadSections().empty());
  EXPECT_TRUE(ini.HasCurrentKey());
}

// ---- Keys and values through TRegistry ------------------------------------------------------

TEST_F(RegistryTest, NamesMatchInAnyCaseAndKeepTheCaseTheyWereCreatedWith) {
  TRegistry reg(store_);
  ASSERT_TRUE(reg.OpenKey("\\Software\\ZorvanSoft", true));
  reg.WriteString("Width", "640");
  ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\zorvansoft", false));
  EXPECT_EQ(reg.ReadString("WIDTH"), "640");
  reg.WriteString("wIdTh", "800");
  EXPECT_EQ(reg.GetValueNames(), std::vector<std::string>{"Width"});
  EXPECT_EQ(reg.ReadString("width"), "800");
  reg.CloseKey();
  ASSERT_TRUE(reg.OpenKey("SOFTWARE", false));
  EXPECT_EQ(reg.GetKeyNames(), std::vector<std::string>{"ZorvanSoft"});
  // Letters beyond ASCII match too.
  ASSERT_TRUE(reg.CreateKey("Ärger"));
  EXPECT_TRUE(reg.KeyExists("äRGER"));
  EXPECT_TRUE(SameRegistryName("\xc5\xbfOFTWARE", "software"));  // a long s folds to s
  EXPECT_FALSE(SameRegistryName("Glowsmith", "Glowsmit"));
}

TEST_F(RegistryTest, KeyNamesAreRelativeToTheOpenKeyUnlessTheyStartWithABackslash) {
  TRegistry reg(store_);
  ASSERT_TRUE(reg.OpenKey("Vendor", true));
  ASSERT_TRUE(reg.OpenKey("Tool\\install\\", true));  // a trailing backslash is ignored
  EXPECT_EQ(reg.CurrentPath(), "Vendor\\Tool\\install");
  EXPECT_TRUE(reg.KeyExists("\\Vendor\\Tool"));
  EXPECT_FALSE(reg.KeyExists("Vendor"));  // relative: Vendor\Tool\install\Vendor
  EXPECT_FALSE(reg.OpenKey("Missing", false));
  EXPECT_EQ(reg.CurrentPath(), "Vendor\\Tool\\install");  // a failed open keeps the current key
  for (const char* bad : {"a\\\\b", "\\\\a", "a\nb"})
    EXPECT_FALSE(reg.OpenKey(std::string("\\") + bad, true)) << bad;
  EXPECT_FALSE(reg.OpenKey(std::string(256, 'k'), true));
  EXPECT_TRUE(reg.OpenKey(std::string(255, 'k'), true));
}

TEST_F(RegistryTest, DeleteKeyTakesItsSubkeysAndOnlyWholeComponents) {
  TRegistry reg(store_);
  ASSERT_TRUE(reg.CreateKey("A\\B\\C\\D"));
  ASSERT_TRUE(reg.CreateKey("A\\BC"));
  ASSERT_TRUE(reg.OpenKey("A\\B", false));
  reg.WriteString("x", "1");
  EXPECT_TRUE(reg.HasSubKeys());
  EXPECT_TRUE(reg.DeleteKey("\\A\\B"));
  EXPECT_FALSE(reg.KeyExists("\\A\\B\\C"));
  EXPECT_TRUE(reg.KeyExists("\\A\\BC"));
  EXPECT_FALSE(reg.DeleteKey("\\A\\B"));
  // The open key is gone: it reads empty and takes no writes.
  EXPECT_FALSE(reg.ValueExists("x"));
  EXPECT_EQ(ErrorText<ERegistryException>([&] { reg.WriteString("x", "2"); }), "Failed to set data for 'x'");
  EXPECT_FALSE(reg.DeleteKey("\\"));  // never the root
}

TEST_F(RegistryTest, ValuesDefaultValueAndIntegerErrors) {
  TRegistry reg(store_);
  ASSERT_TRUE(reg.OpenKey("Vendor\\Tool\\install", true));
  reg.WriteString("", "the default value");
  reg.WriteInteger("NumbOfProg", 3);
  reg.WriteString("Name", "Tool");
  EXPECT_EQ(reg.ReadString(""), "the default value");
  EXPECT_EQ(reg.ReadInteger("NumbOfProg"), 3);
  EXPECT_EQ(reg.ReadString("Missing"), "");
  EXPECT_EQ(ErrorText<ERegistryException>([&] { reg.ReadInteger("Missing"); }), "Failed to get data for 'Missing'");
  EXPECT_EQ(ErrorText<ERegistryException>([&] { reg.ReadInteger("Name"); }), "Invalid data type for 'Name'");
  EXPECT_EQ(reg.GetValueNames(), (std::vector<std::string>{"", "Name", "NumbOfProg"}));
  EXPECT_TRUE(reg.DeleteValue("name"));
  EXPECT_FALSE(reg.DeleteValue("name"));
  EXPECT_FALSE(reg.ValueExists("Name"));
}

TEST_F(RegistryTest, AReadOnlyKeyAndNoKeyTakeNoWrites) {
  TRegistry reg(store_);
  EXPECT_EQ(ErrorText<ERegistryException>([&] { reg.WriteString("a", "1"); }), "Failed to set data for 'a'");
  ASSERT_TRUE(reg.CreateKey("K"));
  ASSERT_TRUE(reg.OpenKeyReadOnly("K"));
  EXPECT_EQ(ErrorText<ERegistryException>([&] { reg.WriteBool("a", true); }), "Failed to set data for 'a'");
  EXPECT_FALSE(reg.OpenKeyReadOnly("\\Missing"));
}

TEST_F(RegistryTest, TheThreeRootsAreSeparateFiles) {
  TRegistry reg(store_);
  reg.SetRootKey(HKEY_CLASSES_ROOT);
  ASSERT_TRUE(reg.OpenKey(".GLM", true));
  reg.WriteString("", "Gleamcraft_Data_File");
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_FALSE(reg.HasCurrentKey());
  EXPECT_FALSE(reg.KeyExists(".GLM"));
  EXPECT_EQ(TempDir::ReadFile(dir_.File("HKEY_CLASSES_ROOT.reg")),
            "Gleamcraft registry 1\n\n[.GLM]\n@=\"Gleamcraft_Data_File\"\n");
  reg.SetRootKey(0x80000005u);
  EXPECT_FALSE(reg.CreateKey("X"));
}

// ---- The store files ---------------------------------------------------------------------

TEST_F(RegistryTest, TheFileListsKeysWithQuotedEscapedNamesAndValues) {
  TRegistry reg(store_);
  ASSERT_TRUE(reg.OpenKey("A\\B", true));
  reg.WriteString("say \"hi\"", std::string("C:\\x\r\n\t\x01\x7f\xe9", 10));
  ASSERT_TRUE(reg.CreateKey("\\A\\Empty"));
  EXPECT_EQ(UserFile(),
            "Gleamcraft registry 1\n\n[A\\B]\n\"say \\\"hi\\\"\"=\"C:\\\\x\\r\\n\\t\\x01\\x7F\xe9\"\n\n[A\\Empty]\n");
  EXPECT_EQ(TRegistryStore(dir_.Path()).ReadValue(HKEY_CURRENT_USER, "a\\b", "SAY \"HI\""),
            std::string("C:\\x\r\n\t\x01\x7f\xe9", 10));
  EXPECT_TRUE(TRegistryStore(dir_.Path()).KeyExists(HKEY_CURRENT_USER, "A\\Empty"));
}

TEST_F(RegistryTest, EveryChangeReplacesTheFileAndAnUnchangedWriteLeavesIt) {
  TRegistry reg(store_);
  ASSERT_TRUE(reg.OpenKey("K", true));
  reg.WriteString("v", "1");
  const std::string file = dir_.File("HKEY_CURRENT_USER.reg");
  const ino_t first = InodeOf(file);
  reg.WriteString("v", "2");
  const ino_t second = InodeOf(file);
  EXPECT_NE(second, first);  // a new file renamed over the old one
  reg.WriteString("V", "2");
  EXPECT_TRUE(reg.OpenKey("\\K", true));
  EXPECT_EQ(InodeOf(file), second);
  // No temporary file is left behind.
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir_.Path())) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"HKEY_CURRENT_USER.lock", "HKEY_CURRENT_USER.reg"}));
}

TEST_F(RegistryTest, AChangeMadeByAnotherStoreIsSeenAtTheNextRead) {
  TRegistry reg(store_);
  ASSERT_TRUE(reg.OpenKey("K", true));
  reg.WriteString("v", "1");
  TRegistryStore other(dir_.Path());
  ASSERT_TRUE(other.WriteValue(HKEY_CURRENT_USER, "K", "w", "2"));
  EXPECT_EQ(reg.ReadString("w"), "2");
  reg.WriteString("v", "3");  // re-reads before changing: w survives
  EXPECT_EQ(other.ReadValue(HKEY_CURRENT_USER, "K", "w"), "2");
  EXPECT_EQ(other.ReadValue(HKEY_CURRENT_USER, "K", "v"), "3");
}

TEST_F(RegistryTest, TwoProcessesWritingAtOnceLoseNothing) {
  ASSERT_TRUE(store_->CreateKey(HKEY_CURRENT_USER, "K"));
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    TRegistryStore own(dir_.Path());
    bool ok = true;
    for (int i = 0; i < 60; ++i) ok = own.WriteValue(HKEY_CURRENT_USER, "K", "child" + std::to_string(i), "c") && ok;
    ::_exit(ok ? 0 : 1);
  }
  for (int i = 0; i < 60; ++i) EXPECT_TRUE(store_->WriteValue(HKEY_CURRENT_USER, "K", "parent" + std::to_string(i), "p"));
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(TRegistryStore(dir_.Path()).ValueNames(HKEY_CURRENT_USER, "K").size(), 120u);
}

// ---- Damaged and hostile files -------------------------------------------------------------

TEST_F(RegistryTest, DamagedLinesAreSkippedAndTheRestIsRead) {
  dir_.WriteFile("HKEY_CURRENT_USER.reg",
                 "\"orphan\"=\"before any key\"\r\n"
                 "[Good]\r\n"
                 "\"a\"=\"1\"\r\n"
                 "\"b\"=\"unterminated\r\n"
                 "\"c\"=\"bad escape \\q\"\r\n"
                 "\"d\"=\"trailing\" junk\r\n"
                 "\"e\"=\"\\x4\"\r\n"
                 "no equals sign\r\n"
                 "  \"f\" = \"2\"  \r\n"
                 "[Bad\\\\Path]\r\n"
                 "\"g\"=\"3\"\r\n"
                 "[Unclosed\r\n"
                 "\"h\"=\"4\"\r\n"
                 "[good]\r\n"
                 "\"a\"=\"last wins\"\r\n"
                 "\x01\xff\xfe garbage\n"s + std::string(3, '\0') + "\n");
  TRegistry reg(store_);
  ASSERT_TRUE(reg.OpenKey("GOOD", false));
  EXPECT_EQ(reg.GetValueNames(), std::vector<std::string>{"a"});
  EXPECT_EQ(reg.ReadString("a"), "last wins");
  EXPECT_EQ(store_->KeyNames(HKEY_CURRENT_USER, ""), std::vector<std::string>{"Good"});
  // A change rewrites the file with what could be read.
  reg.WriteString("z", "9");
  EXPECT_EQ(UserFile(), "Gleamcraft registry 1\n\n[Good]\n\"a\"=\"last wins\"\n\"z\"=\"9\"\n");
}

TEST_F(RegistryTest, AFileTooLargeForARegistryIsNeitherReadNorOverwritten) {
  std::string big = "[K]\n\"v\"=\"1\"\n" + std::string(RegistryLimits::kMaxFileBytes, ';');
  dir_.WriteFile("HKEY_CURRENT_USER.reg", big);
  EXPECT_FALSE(store_->KeyExists(HKEY_CURRENT_USER, "K"));
  EXPECT_FALSE(store_->CreateKey(HKEY_CURRENT_USER, "Other"));
  TRegIniFile ini(store_, kSettingsKey);
  EXPECT_FALSE(ini.HasCurrentKey());
  EXPECT_EQ(UserFile().size(), big.size());
}

TEST_F(RegistryTest, AFileWithTooManyEntriesIsNeitherReadNorOverwritten) {
  std::string many;
  for (std::size_t i = 0; i <= RegistryLimits::kMaxEntries; ++i) many += "[k" + std::to_string(i) + "]\n";
  dir_.WriteFile("HKEY_CURRENT_USER.reg", many);
  EXPECT_FALSE(store_->KeyExists(HKEY_CURRENT_USER, "k0"));
  EXPECT_FALSE(store_->CreateKey(HKEY_CURRENT_USER, "k0"));
  EXPECT_EQ(UserFile(), many);
}

TEST_F(RegistryTest, DeepAndLongKeyPathsStopAtTheLimits) {
  std::string deep = "k";
  for (std::size_t i = 1; i < RegistryLimits::kMaxDepth; ++i) deep += "\\k";
  EXPECT_TRUE(store_->CreateKey(HKEY_CURRENT_USER, deep));
  EXPECT_FALSE(store_->CreateKey(HKEY_CURRENT_USER, deep + "\\k"));
  // A file naming deeper keys skips them.
  dir_.WriteFile("HKEY_CLASSES_ROOT.reg", "[" + deep + "\\k]\n\"v\"=\"1\"\n[" + std::string(300, 'n') + "]\n");
  EXPECT_TRUE(store_->KeyNames(HKEY_CLASSES_ROOT, "").empty());
  EXPECT_FALSE(store_->WriteValue(HKEY_CURRENT_USER, "k", "v", std::string(RegistryLimits::kMaxValueBytes + 1, 'x')));
}

TEST_F(RegistryTest, AStoreFileThatIsAFolderReadsEmptyAndTakesNoChanges) {
  ASSERT_EQ(::mkdir(dir_.File("HKEY_CURRENT_USER.reg").c_str(), 0700), 0);
  EXPECT_FALSE(store_->KeyExists(HKEY_CURRENT_USER, "K"));
  EXPECT_FALSE(store_->CreateKey(HKEY_CURRENT_USER, "K"));
}

// ---- The registry folder ---------------------------------------------------------------------

TEST(RegistryFolderTest, TheVariableNamesTheFolderElseTheConfigurationFolderHoldsIt) {
  TempDir dir;
  {
    ScopedEnvironment unset({{kRegistryFolderVariable, std::nullopt}});
    EXPECT_EQ(RegistryFolder(), std::string(std::getenv("XDG_CONFIG_HOME")) + "/Gleamcraft/registry");
  }
  ScopedEnvironment environment({{kRegistryFolderVariable, dir.Path()}});
  EXPECT_EQ(RegistryFolder(), dir.Path());
  {
    TRegIniFile ini(kSettingsKey);
    ini.WriteString("", "CurrentVersion", "-1");
  }
  EXPECT_EQ(DefaultRegistryStore()->Folder(), dir.Path());
  EXPECT_EQ(TRegistryStore(dir.Path()).ReadValue(HKEY_CURRENT_USER, kSettingsKey, "CurrentVersion"), "-1");
}
