// Opening and saving documents: dispatch by extension, what survives each
// failure, the Save dialog's versions, backups, and frames from files.
#include "tests/app/DocumentWindowFixture.h"

#include "app/core/DocumentFiles.h"
#include "dialogs/FramesIntervalFormU.h"
#include "scene/ProjectFile.h"
#include "scene/SceneGlobals.h"
#include "tests/support/AviTestFiles.h"
#include "tests/support/FullDisk.h"
#include "platform/FileFaults.h"

#include <cerrno>
#include <filesystem>

#include <sys/stat.h>

namespace {

// The signature a project file starts with (after the compressed byte).
std::string SignatureOf(const std::string& path) {
  const std::string bytes = TempDir::ReadFile(path);
  if (bytes.size() < 2) return "";
  return bytes.substr(2, static_cast<std::uint8_t>(bytes[1]));
}

// An AVI clip of 8 x 6 frames, frame i filled with the blue level 20 * (i + 1).
std::string WriteClip(const TempDir& dir, const std::string& name, int frames) {
  AviTestFile f;
  AviTestStream video;
  video.format = DibFormat(8, 6, 24);
  f.streams = {video};
  for (int i = 0; i < frames; ++i)
    f.chunks.push_back({"00db", Rows24(8, 6, [&](int, int) { return static_cast<std::uint32_t>(20 * (i + 1)); })});
  return dir.WriteFile(name, f.Build());
}

// A sprite whose record sets the cancel flag while the scene is written, as
// Esc pressed during a save does.
class CancellingSprite : public TSprite {
 public:
  using TSprite::TSprite;
  void SaveToStream(TStream& stream) override {
    CancelFlag = 1;
    TSprite::SaveToStream(stream);
  }
};

FileDialogResult Chosen(const std::string& name, int entry) { return FileDialogResult{name, entry, {name}}; }

// The names in the folder, sorted.
std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

using DocumentFiles = DocumentWindowTest;

// ---- Opening ------------------------------------------------------------------------------------------

TEST_F(DocumentFiles, AnOpenedProjectBecomesTheTitledUnmodifiedActiveDocument) {
  const std::string path = WriteOneSpriteProject("one.GLM");
  TAnimationWindow* window = OpenWindow(path);
  ASSERT_EQ(window->Scene()->SpriteCount(), 1);
  EXPECT_EQ(window->Scene()->Sprite(0).Name, "Red");
  EXPECT_EQ(window->Scene()->Name, "ONE");
  EXPECT_EQ(window->Scene()->Width, 200);
  EXPECT_EQ(window->PanelAnimation->BoxWidth(), 200);
  EXPECT_EQ(window->PictureBackground->Width(), 200);
  EXPECT_EQ(window->FileName(), path);
  EXPECT_EQ(window->windowTitle(), QString("one.GLM"));
  EXPECT_FALSE(window->Modified());
  EXPECT_TRUE(window->Undo()->Empty());
  EXPECT_FALSE(host.Edit_Undo()->isEnabled());
  EXPECT_EQ(host.recentFiles, std::vector<std::string>{path});
  EXPECT_EQ(host.ActiveAnimationWindow(), window);
  EXPECT_EQ(CurrentUndo, window->Undo());
  EXPECT_EQ(window->Scene()->CurrentStep, 1);
  EXPECT_EQ(window->Scene()->NotifyWindow, window->Handle());
  EXPECT_EQ(window->Scene()->OutputBitmap, &window->PictureBackground->Bitmap());
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DocumentFiles, AFileOfAnotherExtensionIsNotReadAndTheOldSceneStays) {
  TAnimationWindow* window = NewWindow();
  TAnimatedScene* before = window->Scene();
  const std::string path = dir.WriteFile("x.txt", "text");
  window->LoadFromFile(path);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Cannot read animation. Wrong data format.");
  EXPECT_EQ(ui.messages[0].caption, "Error");
  EXPECT_EQ(ui.messages[0].flags & MB_ICONMASK, unsigned{MB_ICONERROR});
  EXPECT_EQ(window->Scene(), before);
  EXPECT_EQ(window->FileName(), "");
  EXPECT_EQ(window->windowTitle(), QString("Untitled"));
  EXPECT_TRUE(host.recentFiles.empty());
}

TEST_F(DocumentFiles, AProjectWhoseTrailerDoesNotMatchEndsWithWrongChecksum) {
  std::string bytes = TempDir::ReadFile(WriteOneSpriteProject("good.GLM"));
  bytes[40] = static_cast<char>(bytes[40] ^ 0x55);
  const std::string path = dir.WriteFile("bad.GLM", bytes);
  TAnimationWindow* window = NewWindow();
  TAnimatedScene* before = window->Scene();
  try {
    window->LoadFromFile(path);
    FAIL() << "no error raised";
  } catch (const EAnimationWindow& error) {
    EXPECT_EQ(error.Message(), "Wrong checksum.");
  }
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text.substr(0, 27), "File bad.GLM is corrupted. ");
  EXPECT_EQ(ui.messages[1].text, "Cannot read animation. Wrong data format.");
  EXPECT_EQ(window->Scene(), before);
  EXPECT_EQ(window->FileName(), "");
}

TEST_F(DocumentFiles, AProjectFileWithoutExtensionIsVerifiedAndReadAsAProject) {
  const std::string path = WriteOneSpriteProject("banner");
  TAnimationWindow* window = OpenWindow(path);
  EXPECT_EQ(window->Scene()->SpriteCount(), 1);
  EXPECT_EQ(window->FileName(), path + ".GLM");
  EXPECT_EQ(window->windowTitle(), QString("banner.GLM"));
}

TEST_F(DocumentFiles, AFailedLoadLeavesTheDocumentsNameHistoryAndModifiedMark) {
  TAnimationWindow* window = NewWindow();
  window->SetFileName(dir.File("mine.GLM"));
  int index = 0;
  window->Scene()->AddSprite(index);
  ASSERT_TRUE(window->Modified());
  window->LoadFromFile(dir.WriteFile("other.txt", "x"));
  EXPECT_EQ(window->FileName(), dir.File("mine.GLM"));
  EXPECT_TRUE(window->Modified());
  EXPECT_EQ(UndoCaptions(*window->Undo()), std::vector<std::string>{"Add Sprite"});
  EXPECT_EQ(window->Scene()->SpriteCount(), 1);
}

TEST_F(DocumentFiles, AnOpenedGifIsNamedWithGlmBesideItAndIsUnmodified) {
  const std::string path = dir.File("anim.gif");
  MakeGif({clRed, clLime, clBlue}, {10, 10, 10})->SaveToFile(path);
  TAnimationWindow* window = OpenWindow(path);
  EXPECT_EQ(window->Scene()->SpriteCount(), 3);
  EXPECT_EQ(window->FileName(), dir.File("anim.GLM"));
  EXPECT_EQ(window->windowTitle(), QString("anim.GLM"));
  EXPECT_FALSE(window->Modified());
  EXPECT_TRUE(window->Undo()->Empty());
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DocumentFiles, ASaveUnderANameMadeFromAnOpenedFileAsksBeforeReplacingAFile) {
  const std::string gif = dir.File("anim.gif");
  MakeGif({clRed, clLime})->SaveToFile(gif);
  const std::string existing = dir.WriteFile("anim.GLM", "someone else's project");
  TAnimationWindow* window = OpenWindow(gif);

  ui.messageAnswers = {IDNO};
  EXPECT_FALSE(window->Save());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "File anim.GLM already exists. Do you want to replace it?");
  EXPECT_EQ(ui.messages[0].flags & MB_TYPEMASK, unsigned{MB_YESNO});
  EXPECT_EQ(TempDir::ReadFile(existing), "someone else's project");

  ui.messageAnswers = {IDYES};
  EXPECT_TRUE(window->Save());
  EXPECT_TRUE(CheckFileChecksum(existing, false));
  // Once saved, the name is the document's own: no more questions.
  EXPECT_TRUE(window->Save());
  EXPECT_EQ(ui.messages.size(), 2u);
}

TEST_F(DocumentFiles, AnAviThatCannotBeReadFailsWithoutOfferingARange) {
  TAnimationWindow* window = NewWindow();
  TAnimatedScene* before = window->Scene();
  window->LoadFromFile(dir.WriteFile("broken.avi", "RIFF but not much else"));
  EXPECT_TRUE(forms.shown.empty());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Cannot read animation. Wrong data format.");
  EXPECT_EQ(window->Scene(), before);
}

TEST_F(DocumentFiles, AnAviOpensTheFramesChosenInTheIntervalDialog) {
  const std::string path = WriteClip(dir, "clip.avi", 10);
  forms.Expect("FramesIntervalForm").Fill("StepSpinEdit", 4).Fill("FirstStep", 3).Answer(mrOk);
  TAnimationWindow* window = OpenWindow(path);
  ASSERT_EQ(forms.shown.size(), 1u);
  EXPECT_EQ(forms.shown[0].caption, QString("Images Interval"));
  ASSERT_EQ(window->Scene()->SpriteCount(), 1);
  const TSprite& sprite = window->Scene()->Sprite(0);
  ASSERT_EQ(sprite.FrameCount(), 4);
  // Frames 2 to 5 (0-based): blue levels 60, 80, 100, 120.
  EXPECT_EQ(sprite.Frame(0).Picture.Canvas().Pixel(0, 0), static_cast<TColor>(60 << 16));
  EXPECT_EQ(sprite.Frame(3).Picture.Canvas().Pixel(0, 0), static_cast<TColor>(120 << 16));
  EXPECT_EQ(window->FileName(), dir.File("clip.GLM"));
}

TEST_F(DocumentFiles, ACancelledIntervalDialogOpensNothing) {
  const std::string path = WriteClip(dir, "clip.avi", 3);
  forms.Expect("FramesIntervalForm").Answer(mrCancel);
  TAnimationWindow* window = NewWindow();
  TAnimatedScene* before = window->Scene();
  window->LoadFromFile(path);
  EXPECT_EQ(window->Scene(), before);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Cannot read animation. Wrong data format.");
}

// ---- Saving -------------------------------------------------------------------------------------------

TEST_F(DocumentFiles, TheSaveDialogOfAnUntitledDocumentProposesNonameInTheDataFolder) {
  host.settings.DataFolder = dir.Path() + "/";
  TAnimationWindow* window = NewWindow();
  ui.fileAnswers = {std::nullopt};
  EXPECT_FALSE(window->Save());
  ASSERT_EQ(ui.fileRequests.size(), 1u);
  EXPECT_EQ(ui.fileRequests[0].title, "Save Animation");
  EXPECT_EQ(ui.fileRequests[0].fileName, "noname.GLM");
  EXPECT_EQ(ui.fileRequests[0].initialDir, dir.Path() + "/");
  EXPECT_EQ(ui.fileRequests[0].filter, SSaveAnimationFilter);
  EXPECT_EQ(window->FileName(), "");
}

TEST_F(DocumentFiles, EntrySixWritesVersionEightAndTheNextSaveTheNewestAgain) {
  TAnimationWindow* window = NewWindow();
  const std::string path = dir.File("old.gld");
  ui.fileAnswers = {Chosen(path, 6)};
  ASSERT_TRUE(window->Save());
  EXPECT_EQ(SignatureOf(path), "Animated Scene v.2.21");
  EXPECT_EQ(SaveVersion, kNewestFormatVersion);
  ASSERT_TRUE(window->Save());
  EXPECT_EQ(SignatureOf(path), "Animated Scene v.5.2");
}

TEST_F(DocumentFiles, BannerWithTheFirstEntryIsSavedAsBannerAndSaveAsAddsGlm) {
  TAnimationWindow* window = NewWindow();
  ui.fileAnswers = {Chosen(dir.File("banner"), 1)};
  ASSERT_TRUE(window->Save());
  EXPECT_TRUE(CheckFileChecksum(dir.File("banner"), false));
  EXPECT_EQ(SignatureOf(dir.File("banner")), "Animated Scene v.5.2");
  EXPECT_EQ(window->windowTitle(), QString("banner"));
  EXPECT_EQ(window->Scene()->Name, "BANNER");

  ui.fileAnswers = {Chosen(dir.File("banner"), 1)};
  window->SaveAs();
  EXPECT_EQ(ui.fileRequests.back().fileName, "banner");
  EXPECT_EQ(ui.fileRequests.back().initialDir, dir.Path() + "/");
  EXPECT_TRUE(CheckFileChecksum(dir.File("banner.GLM"), false));
  EXPECT_EQ(window->FileName(), dir.File("banner.GLM"));
  EXPECT_EQ(window->windowTitle(), QString("banner.GLM"));
}

TEST_F(DocumentFiles, SaveAsWithAPictureTypeExportsInsteadOfSaving) {
  TAnimationWindow* window = NewWindow();
  ui.fileAnswers = {Chosen(dir.File("movie.avi"), 4)};
  window->SaveAs();
  EXPECT_EQ(host.exports, (std::vector<std::pair<std::string, int>>{{dir.File("movie.avi"), 3}}));
  EXPECT_EQ(window->FileName(), "");
  EXPECT_FALSE(FileExists(dir.File("movie.avi")));
}

TEST_F(DocumentFiles, SavingEmptiesTheUndoLogAndClearsTheMark) {
  TAnimationWindow* window = NewWindow();
  window->SetFileName(dir.File("x.GLM"));
  int index = 0;
  window->Scene()->AddSprite(index);
  ASSERT_TRUE(host.Edit_Undo()->isEnabled());
  ASSERT_TRUE(window->Save());
  EXPECT_TRUE(window->Undo()->Empty());
  EXPECT_FALSE(window->Modified());
  EXPECT_FALSE(host.Edit_Undo()->isEnabled());
  EXPECT_EQ(window->windowTitle(), QString("x.GLM"));
  EXPECT_EQ(host.recentFiles.back(), dir.File("x.GLM"));
}

TEST_F(DocumentFiles, ABackupReplacesTheOlderBackup) {
  host.settings.CreateBackup = true;
  TAnimationWindow* window = NewWindow();
  const std::string path = dir.File("x.GLM");
  window->SetFileName(path);
  int index = 0;
  ASSERT_TRUE(window->Save());
  const std::string first = TempDir::ReadFile(path);
  window->Scene()->AddSprite(index);
  ASSERT_TRUE(window->Save());
  const std::string second = TempDir::ReadFile(path);
  window->Scene()->AddSprite(index);
  ASSERT_TRUE(window->Save());
  EXPECT_EQ(TempDir::ReadFile(dir.File("Backup_of_x.GLM")), second);
  EXPECT_NE(TempDir::ReadFile(path), second);
  EXPECT_NE(first, second);
}

TEST_F(DocumentFiles, ASaveThatRunsOutOfSpaceKeepsTheOldFileAndTheMark) {
  TAnimationWindow* window = NewWindow();
  const std::string path = dir.File("x.GLM");
  window->SetFileName(path);
  ASSERT_TRUE(window->Save());
  const std::string old = TempDir::ReadFile(path);
  int index = 0;
  TSprite& sprite = *window->Scene()->AddSprite(index);
  AddPictureFrame(sprite, 200, 200, clRed);
  {
    const FullDisk full(static_cast<rlim_t>(old.size()));
    EXPECT_FALSE(window->Save());
  }
  EXPECT_EQ(ui.messages.back().text, "An error occured during writing to the file.\r" + path + ": File too large");
  EXPECT_EQ(TempDir::ReadFile(path), old);
  EXPECT_TRUE(window->Modified());
  EXPECT_EQ(window->windowTitle(), QString("x.GLM *"));
}

// An error that only close reports (a full quota, a network file system)
// fails the save: the old file and the older backup stay byte for byte,
// nothing is left beside them, and the document stays modified.
TEST_F(DocumentFiles, ASaveWhoseCloseFailsKeepsTheOldFileTheBackupAndTheMark) {
  host.settings.CreateBackup = true;
  TAnimationWindow* window = NewWindow();
  const std::string path = dir.File("x.GLM"), backup = dir.File("Backup_of_x.GLM");
  window->SetFileName(path);
  int index = 0;
  ASSERT_TRUE(window->Save());
  window->Scene()->AddSprite(index);
  ASSERT_TRUE(window->Save());
  const std::string old = TempDir::ReadFile(path), older = TempDir::ReadFile(backup);
  window->Scene()->AddSprite(index);
  {
    const TFileFault quota(TFileCall::fcClose, 1, EDQUOT);
    EXPECT_FALSE(window->Save());
    EXPECT_TRUE(quota.Fired());
  }
  ASSERT_FALSE(ui.messages.empty());
  EXPECT_EQ(ui.messages.back().text, "An error occured during writing to the file.\r" + path + ": Disk quota exceeded");
  EXPECT_EQ(TempDir::ReadFile(path), old);
  EXPECT_EQ(TempDir::ReadFile(backup), older);
  EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"Backup_of_x.GLM", "x.GLM"}));
  EXPECT_TRUE(window->Modified());
  EXPECT_EQ(window->windowTitle(), QString("x.GLM *"));
}

TEST_F(DocumentFiles, WithBackupsOffSavesOverTheFileMakeNoBackup) {
  host.settings.CreateBackup = false;
  TAnimationWindow* window = NewWindow();
  window->SetFileName(dir.File("x.GLM"));
  int index = 0;
  ASSERT_TRUE(window->Save());
  window->Scene()->AddSprite(index);
  ASSERT_TRUE(window->Save());
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"x.GLM"});
}

// An untitled document takes a name only from a save that wrote the file.
TEST_F(DocumentFiles, AFailedSaveOfAnUntitledDocumentLeavesItUntitled) {
  TAnimationWindow* window = NewWindow();
  window->SetModified(true);
  const std::string target = dir.WriteFile("regular", "not a folder") + "/banner.GLM";
  ui.fileAnswers = {Chosen(target, 6)};
  EXPECT_FALSE(window->Save());
  EXPECT_EQ(ui.messages.back().text, "An error occured during writing to the file.\r" + target + ": Not a directory");
  EXPECT_EQ(window->FileName(), "");
  EXPECT_EQ(window->windowTitle(), QString("Untitled *"));
  EXPECT_EQ(window->Scene()->Name, "NONAME");
  EXPECT_EQ(SaveVersion, kNewestFormatVersion);
}

TEST_F(DocumentFiles, EscDuringTheWriteCancelsTheSaveSilently) {
  TAnimationWindow* window = NewWindow();
  const std::string path = dir.File("x.GLM");
  window->SetFileName(path);
  window->Scene()->InsertSprite(0, std::make_unique<CancellingSprite>(window->Scene()));
  window->SetModified(true);
  EXPECT_FALSE(window->Save());
  EXPECT_FALSE(FileExists(path));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(window->Modified());
  EXPECT_EQ(CancelFlag, 0);
}

TEST_F(DocumentFiles, AStaleCancelFlagDoesNotCancelTheNextSave) {
  TAnimationWindow* window = NewWindow();
  window->SetFileName(dir.File("x.GLM"));
  CancelFlag = 1;
  EXPECT_TRUE(window->Save());
  EXPECT_TRUE(FileExists(dir.File("x.GLM")));
}

// ---- Frames from files --------------------------------------------------------------------------------

TEST_F(DocumentFiles, AddingFramesNeedsACurrentSpriteAndAFileThatReads) {
  TAnimationWindow* window = NewWindow();
  TBitmap picture;
  MakeSolid(picture, 5, 4, clBlue);
  const std::string bmp = dir.File("blue.bmp");
  picture.SaveToFile(bmp);
  EXPECT_FALSE(window->AddPictureFileFrames(bmp));

  int index = 0;
  TSprite& sprite = *window->Scene()->AddSprite(index);
  host.SetCurrentSprite(&sprite);
  EXPECT_TRUE(window->AddPictureFileFrames(bmp));
  ASSERT_EQ(sprite.FrameCount(), 1);
  EXPECT_EQ(sprite.Frame(0).ImageWidth, 5);

  EXPECT_FALSE(window->AddPictureFileFrames(dir.WriteFile("broken.bmp", "BM")));
  forms.Expect("FramesIntervalForm").Answer(mrCancel);
  EXPECT_FALSE(window->AddPictureFileFrames(WriteClip(dir, "clip.avi", 3)));
  forms.Expect("FramesIntervalForm").Fill("StepSpinEdit", 2).Answer(mrOk);
  EXPECT_TRUE(window->AddPictureFileFrames(dir.File("clip.avi")));
}
