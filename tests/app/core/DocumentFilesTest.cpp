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
#include <tuple>
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

// A save with backups on over "old", beside the older backup "older", while
// the faults are armed. Whether it failed, the reason it gave, and whether
// each fault fired.
struct TFaultedSave {
  bool failed = false;
  std::string reason;
  bool fired = true;
};

struct TFaultSpec {
  TFileCall call;
  int nth;
  int error;
};

TFaultedSave SaveWithFaults(const TempDir& dir, std::initializer_list<TFaultSpec> specs) {
  std::vector<std::unique_ptr<TFileFault>> faults;
  for (const TFaultSpec& spec : specs) faults.push_back(std::make_unique<TFileFault>(spec.call, spec.nth, spec.error));
  TFaultedSave save;
  try {
    WriteDocumentFile(dir.File("x.GLM"), "new", true);
  } catch (const EDocumentWriteError& error) {
    save.failed = true;
    save.reason = error.Reason();
  }
  for (const auto& fault : faults) save.fired = save.fired && fault->Fired();
  return save;
}

// The folder as it was before a failed save: both files byte for byte, and nothing else.
void ExpectUntouched(const TempDir& dir, const std::string& what) {
  EXPECT_EQ(TempDir::ReadFile(dir.File("x.GLM")), "old") << what;
  EXPECT_EQ(TempDir::ReadFile(dir.File("Backup_of_x.GLM")), "older") << what;
  EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"Backup_of_x.GLM", "x.GLM"})) << what;
}

}  // namespace

// Whichever write, flush or close of a save fails (a full disk, a quota, an
// error that only close reports), the save fails with the system's reason
// and the folder is as it was: the old file and the older backup byte for
// byte, no temporary file, no ".old" link, no new backup.
TEST(DocumentWrite, EveryFailedWriteFlushOrCloseFailsTheSaveAndLeavesTheFolderAsItWas) {
  for (const auto& [call, error, name] : {std::tuple{TFileCall::fcWrite, ENOSPC, "write"},
                                          std::tuple{TFileCall::fcSync, EIO, "flush"},
                                          std::tuple{TFileCall::fcClose, EDQUOT, "close"}}) {
    int fired = 0;
    for (int nth = 1;; ++nth) {
      TempDir dir;
      dir.WriteFile("x.GLM", "old");
      dir.WriteFile("Backup_of_x.GLM", "older");
      const TFaultedSave save = SaveWithFaults(dir, {{call, nth, error}});
      if (!save.fired) break;
      ++fired;
      const std::string what = std::string(name) + " " + std::to_string(nth);
      EXPECT_TRUE(save.failed) << what;
      EXPECT_EQ(save.reason, std::strerror(error)) << what;
      ExpectUntouched(dir, what);
    }
    EXPECT_GE(fired, 1) << name;
  }
}

// The old file is kept aside while the new one takes its place: by a hard
// link, or by a rename where the file system has no hard links.
TEST(DocumentWrite, AFailedCommitPutsTheOldFileBackAndLeavesNoLinkBehind) {
  {
    TempDir dir;
    dir.WriteFile("x.GLM", "old");
    dir.WriteFile("Backup_of_x.GLM", "older");
    const TFaultedSave save = SaveWithFaults(dir, {{TFileCall::fcRename, 1, EIO}});
    EXPECT_TRUE(save.fired && save.failed);
    EXPECT_EQ(save.reason, std::strerror(EIO));
    ExpectUntouched(dir, "linked aside");
  }
  {
    TempDir dir;
    dir.WriteFile("x.GLM", "old");
    dir.WriteFile("Backup_of_x.GLM", "older");
    const TFaultedSave save = SaveWithFaults(dir, {{TFileCall::fcLink, 1, EPERM}, {TFileCall::fcRename, 2, EXDEV}});
    EXPECT_TRUE(save.fired && save.failed);
    EXPECT_EQ(save.reason, std::strerror(EXDEV));
    ExpectUntouched(dir, "renamed aside");
  }
}

// Without hard links the save still keeps the old file as the backup; a
// backup that cannot be named leaves the saved file and nothing else.
TEST(DocumentWrite, WithoutHardLinksTheBackupIsMadeAndABackupThatCannotBeNamedIsNoFailure) {
  for (const bool linksWork : {false, true}) {
    TempDir dir;
    dir.WriteFile("x.GLM", "old");
    dir.WriteFile("Backup_of_x.GLM", "older");
    TFaultedSave save;
    if (linksWork) {
      save = SaveWithFaults(dir, {{TFileCall::fcRename, 2, EACCES}});
    } else {
      save = SaveWithFaults(dir, {{TFileCall::fcLink, 1, EPERM}});
    }
    EXPECT_TRUE(save.fired);
    EXPECT_FALSE(save.failed) << save.reason;
    EXPECT_EQ(BodyOf(dir.File("x.GLM")), "new");
    EXPECT_EQ(TempDir::ReadFile(dir.File("Backup_of_x.GLM")), linksWork ? "older" : "old");
    EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"Backup_of_x.GLM", "x.GLM"}));
  }
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
