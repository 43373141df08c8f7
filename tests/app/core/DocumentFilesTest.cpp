// The document file rules: Save dialog types and versions, names taken from
// opened files, and the safe write that never destroys the only copy.
#include "app/core/DocumentFiles.h"

#include "imaging/utils.h"
#include "platform/FileFaults.h"
#include "tests/support/FullDisk.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>

namespace {

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* d = ::opendir(folder.c_str())) {
    while (dirent* e = ::readdir(d)) {
      const std::string name = e->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The bytes before the trailer; the whole file must verify.
std::string BodyOf(const std::string& path) {
  EXPECT_TRUE(CheckFileChecksum(path, false)) << path;
  const std::string bytes = TempDir::ReadFile(path);
  return bytes.size() >= 4 ? bytes.substr(0, bytes.size() - 4) : std::string();
}

}  // namespace

TEST(DocumentFileTypes, EntrySixWritesVersionEightEntrySevenVersionFourOthersTheNewest) {
  EXPECT_EQ(SaveVersionOfFileType(1), 16);
  EXPECT_EQ(SaveVersionOfFileType(6), 8);
  EXPECT_EQ(SaveVersionOfFileType(7), 4);
  EXPECT_EQ(SaveVersionOfFileType(3), 16);
  EXPECT_EQ(SaveVersionOfFileType(0), 16);
}

TEST(DocumentFileTypes, EntriesTwoToFiveExportAsGifBmpAviAndJpeg) {
  EXPECT_EQ(ExportFormatOfFileType(1), 0);
  EXPECT_EQ(ExportFormatOfFileType(2), 1);
  EXPECT_EQ(ExportFormatOfFileType(3), 2);
  EXPECT_EQ(ExportFormatOfFileType(4), 3);
  EXPECT_EQ(ExportFormatOfFileType(5), 4);
  EXPECT_EQ(ExportFormatOfFileType(6), 0);
  EXPECT_EQ(std::string(SSaveAnimationFilter).substr(0, 27), "3D Animation (*.GLM)|*.GLM|");
}

TEST(DocumentNames, BackupsSceneNamesAndProjectNamesOfOpenedFiles) {
  EXPECT_EQ(BackupFileName("/a/x.GLM"), "/a/Backup_of_x.GLM");
  EXPECT_EQ(BackupFileName("x.GLM"), "Backup_of_x.GLM");
  EXPECT_EQ(SceneNameOfFile("/a/my banner.GLM"), "MY BANNER");
  EXPECT_EQ(SceneNameOfFile("/a/\xC3\xA9t\xC3\xA9.glm"), "\xC9T\xC9");  // été, upper-cased in Windows-1252
  EXPECT_EQ(DocumentNameOfOpenedFile("/a/anim.gif"), "/a/anim.GLM");
  EXPECT_EQ(DocumentNameOfOpenedFile("/a/banner"), "/a/banner.GLM");
  EXPECT_EQ(DocumentNameOfOpenedFile("/a/x.GLM"), "/a/x.GLM");
}

// Letter case makes another file here: an opened project is saved as itself,
// and an imported file is saved into a project beside it of any case.
TEST(DocumentNames, AProjectKeepsItsNameInAnyCaseAndAnImportFindsAProjectOfAnyCase) {
  TempDir dir;
  EXPECT_EQ(DocumentNameOfOpenedFile(dir.File("proj1.gLm")), dir.File("proj1.gLm"));
  EXPECT_EQ(DocumentNameOfOpenedFile(dir.File("banner.gld")), dir.File("banner.GLM"));
  dir.WriteFile("anim.glm", "");
  dir.WriteFile("anim.Glm", "");
  EXPECT_EQ(DocumentNameOfOpenedFile(dir.File("anim.gif")), dir.File("anim.Glm")) << "the first in byte order";
  dir.WriteFile("anim.GLM", "");
  EXPECT_EQ(DocumentNameOfOpenedFile(dir.File("anim.gif")), dir.File("anim.GLM")) << "the name itself first";
  ::mkdir(dir.File("Dir.glm").c_str(), 0700);
  EXPECT_EQ(DocumentNameOfOpenedFile(dir.File("dir.gif")), dir.File("dir.GLM")) << "a folder is no project";
  // A failed write's message: the file (in the model's code page) and the system's reason.
  EXPECT_EQ(DocumentWriteErrorText("/a/\xC3\xA9t\xC3\xA9.GLM", "No space left on device"),
            "An error occured during writing to the file.\r/a/\xE9t\xE9.GLM: No space left on device");
}

TEST(DocumentWrite, WritesTheBytesWithTheirChecksumTrailerAndLeavesNoTemporaryFile) {
  TempDir dir;
  const std::string path = dir.File("x.GLM");
  WriteDocumentFile(path, "project bytes", false);
  EXPECT_EQ(BodyOf(path), "project bytes");
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"x.GLM"});
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_NE(info.st_mode & S_IRUSR, 0u);
}

TEST(DocumentWrite, ReplacesAnExistingFileKeepingItsPermissionsAndWithBackupsOffMakesNoBackup) {
  TempDir dir;
  const std::string path = dir.WriteFile("x.GLM", "old");
  ::chmod(path.c_str(), 0640);
  WriteDocumentFile(path, "new", false);
  EXPECT_EQ(BodyOf(path), "new");
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"x.GLM"});
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(DocumentWrite, WithBackupsTheOldFileBecomesTheBackupReplacingAnOlderOne) {
  TempDir dir;
  const std::string path = dir.WriteFile("x.GLM", "second");
  dir.WriteFile("Backup_of_x.GLM", "first");
  WriteDocumentFile(path, "third", true);
  EXPECT_EQ(BodyOf(path), "third");
  EXPECT_EQ(TempDir::ReadFile(dir.File("Backup_of_x.GLM")), "second");
  EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"Backup_of_x.GLM", "x.GLM"}));
}

TEST(DocumentWrite, WithBackupsAndNoOldFileNoBackupIsMade) {
  TempDir dir;
  WriteDocumentFile(dir.File("x.GLM"), "first", true);
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"x.GLM"});
}

namespace {

struct TPlannedFault {
  TFileCall call;
  int nth;
  int error;
};

// Saves "new" with backups on over "old" beside the older backup "older",
// with the faults armed; expects them all to fire. The error's reason, or
// "" when the save succeeded.
std::string SaveWithFaults(const TempDir& dir, std::initializer_list<TPlannedFault> planned, bool* fired = nullptr) {
  dir.WriteFile("x.GLM", "old");
  dir.WriteFile("Backup_of_x.GLM", "older");
  std::vector<std::unique_ptr<TFileFault>> faults;
  for (const TPlannedFault& fault : planned) faults.push_back(std::make_unique<TFileFault>(fault.call, fault.nth, fault.error));
  std::string reason;
  try {
    WriteDocumentFile(dir.File("x.GLM"), "new", true);
  } catch (const EDocumentWriteError& error) {
    reason = error.Reason();
  }
  bool allFired = true;
  for (const auto& fault : faults) allFired = allFired && fault->Fired();
  if (fired != nullptr) *fired = allFired;
  else EXPECT_TRUE(allFired);
  return reason;
}

// The folder after a save: the file and the backup byte for byte, no
// temporary file, no ".old" link.
void ExpectFolder(const TempDir& dir, const std::string& file, const std::string& backup, const std::string& what) {
  EXPECT_EQ(TempDir::ReadFile(dir.File("x.GLM")), file) << what;
  EXPECT_EQ(TempDir::ReadFile(dir.File("Backup_of_x.GLM")), backup) << what;
  EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"Backup_of_x.GLM", "x.GLM"})) << what;
}

}  // namespace

// Whichever write, flush or close of a save fails (a full disk, a quota, an
// error that only close reports), the save fails with the system's reason
// and the folder is as it was, with no new backup.
TEST(DocumentWrite, EveryFailedWriteFlushOrCloseFailsTheSaveAndLeavesTheFolderAsItWas) {
  for (const auto& [call, error] : {std::pair{TFileCall::fcWrite, ENOSPC}, std::pair{TFileCall::fcSync, EIO},
                                    std::pair{TFileCall::fcClose, EDQUOT}}) {
    for (int nth = 1;; ++nth) {
      TempDir dir;
      bool fired = false;
      const std::string reason = SaveWithFaults(dir, {{call, nth, error}}, &fired);
      if (!fired) {
        EXPECT_GT(nth, 1) << "a save makes each call";
        break;
      }
      EXPECT_EQ(reason, std::strerror(error));
      ExpectFolder(dir, "old", "older", std::to_string(error) + " at " + std::to_string(nth));
    }
  }
}

// The old file is kept aside while the new one takes its place: by a hard
// link, or by a rename where the file system has no hard links. A failed
// commit puts it back and leaves no link; a backup that cannot be named
// fails nothing.
TEST(DocumentWrite, TheOldFileIsKeptAsideUntilTheNewOneIsInPlace) {
  TempDir linked, renamed, renamedSaved, unnamed;
  EXPECT_EQ(SaveWithFaults(linked, {{TFileCall::fcRename, 1, EIO}}), std::strerror(EIO));
  ExpectFolder(linked, "old", "older", "linked aside");
  EXPECT_EQ(SaveWithFaults(renamed, {{TFileCall::fcLink, 1, EPERM}, {TFileCall::fcRename, 2, EXDEV}}),
            std::strerror(EXDEV));
  ExpectFolder(renamed, "old", "older", "renamed aside");

  EXPECT_EQ(SaveWithFaults(renamedSaved, {{TFileCall::fcLink, 1, EPERM}}), "");
  EXPECT_EQ(BodyOf(renamedSaved.File("x.GLM")), "new");
  EXPECT_EQ(TempDir::ReadFile(renamedSaved.File("Backup_of_x.GLM")), "old");
  EXPECT_EQ(SaveWithFaults(unnamed, {{TFileCall::fcRename, 2, EACCES}}), "");
  EXPECT_EQ(BodyOf(unnamed.File("x.GLM")), "new");
  EXPECT_EQ(FilesIn(unnamed.Path()), (std::vector<std::string>{"Backup_of_x.GLM", "x.GLM"}));
  EXPECT_EQ(TempDir::ReadFile(unnamed.File("Backup_of_x.GLM")), "older");
}

TEST(DocumentWrite, AWriteThatRunsOutOfSpaceHalfWayKeepsTheOldFileByteForByte) {
  TempDir dir;
  const std::string old(100000, 'o');
  const std::string path = dir.WriteFile("x.GLM", old);
  {
    const FullDisk full(50000);
    EXPECT_THROW(WriteDocumentFile(path, std::string(80000, 'n'), true), EDocumentWriteError);
  }
  EXPECT_EQ(TempDir::ReadFile(path), old);
  EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"x.GLM"});
}

TEST(DocumentWrite, AMissingFolderFails) {
  TempDir dir;
  EXPECT_THROW(WriteDocumentFile(dir.File("none/x.GLM"), "bytes", false), EDocumentWriteError);
}
