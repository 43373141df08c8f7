#include "app/core/DocumentFiles.h"

#include "imaging/utils.h"
#include "platform/CodePages.h"
#include "scene/SceneGlobals.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

const char* const SSaveAnimationFilter =
    "3D Animation (*.GLM)|*.GLM|GIF - CompuServe Bitmap|*.gif|BMP - Windows Bitmap|*.bmp|AVI - Video for "
    "Windows|*.avi|JPG - JPEG Bitmap|*.jpg|Glintdeck data file (*.gld)|*.gld|All Files (*.*)|*.*";
const char* const SSaveAnimationTitle = "Save Animation";
const char* const SDefaultDocumentName = "noname.GLM";

namespace {

constexpr int kSiblingProjectEntry = 6;
constexpr int kAllFilesEntry = 7;
constexpr std::int32_t kSiblingProjectVersion = 8;  // "Animated Scene v.2.21"
constexpr std::int32_t kAllFilesVersion = 4;        // "Animated Scene v.1.30"

const char* const SWriteFailed = "The project file could not be written";

// The mode a new file gets: the old file's, or what the process's mask allows.
mode_t ModeForNewFile(const std::string& fileName) {
  struct stat info {};
  if (::stat(fileName.c_str(), &info) == 0) return info.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// A temporary file beside the target, deleted unless it was renamed away.
class TTemporaryFile {
 public:
  explicit TTemporaryFile(const std::string& target)
      : path_(ExtractFilePath(target) + "." + ExtractFileName(target) + ".saving-XXXXXX") {
    fd_ = ::mkostemp(path_.data(), O_CLOEXEC);
    if (fd_ < 0) throw EDocumentWriteError(SWriteFailed);
  }
  ~TTemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!renamed_) ::unlink(path_.c_str());
  }
  TTemporaryFile(const TTemporaryFile&) = delete;
  TTemporaryFile& operator=(const TTemporaryFile&) = delete;

  void Write(std::string_view bytes, mode_t mode) {
    bool written = WriteAll(fd_, bytes) && ::fchmod(fd_, mode) == 0 && ::fdatasync(fd_) == 0;
    written = ::close(fd_) == 0 && written;
    fd_ = -1;
    if (!written) throw EDocumentWriteError(SWriteFailed);
  }
  const std::string& Path() const { return path_; }
  void MarkRenamed() { renamed_ = true; }

 private:
  std::string path_;
  int fd_ = -1;
  bool renamed_ = false;
};

}  // namespace

std::int32_t SaveVersionOfFileType(int entry) {
  if (entry == kSiblingProjectEntry) return kSiblingProjectVersion;
  if (entry == kAllFilesEntry) return kAllFilesVersion;
  return kNewestFormatVersion;
}

int ExportFormatOfFileType(int entry) { return entry >= 2 && entry <= 5 ? entry - 1 : 0; }

std::string BackupFileName(const std::string& fileName) {
  return ExtractFilePath(fileName) + "Backup_of_" + ExtractFileName(fileName);
}

// File names are the file system's UTF-8 bytes; scene names are model text.
std::string SceneNameOfFile(const std::string& fileName) {
  return UpCaseStr(Utf8ToAnsi(StripExtension(ExtractFileName(fileName))));
}

std::string DocumentNameOfOpenedFile(const std::string& fileName) { return ChangeFileExt(fileName, ".GLM"); }

void WriteDocumentFile(const std::string& fileName, std::string_view bytes, bool createBackup) {
  TTemporaryFile temporary(fileName);
  temporary.Write(bytes, ModeForNewFile(fileName));
  // The trailer is stamped by the one checksum routine, on the complete copy.
  if (!StampFileChecksum(temporary.Path())) throw EDocumentWriteError(SWriteFailed);

  // The old file is kept under a second name before the new one takes its
  // place, so a failing rename loses neither it nor an older backup. Where
  // the file system has no hard links, the old file is renamed instead.
  const bool backupWanted = createBackup && FileExists(fileName);
  const std::string backup = BackupFileName(fileName);
  const std::string oldLink = temporary.Path() + ".old";
  const bool linked = backupWanted && ::link(fileName.c_str(), oldLink.c_str()) == 0;
  const bool renamedToBackup = backupWanted && !linked && ::rename(fileName.c_str(), backup.c_str()) == 0;
  if (::rename(temporary.Path().c_str(), fileName.c_str()) != 0) {
    if (linked) ::unlink(oldLink.c_str());
    if (renamedToBackup) ::rename(backup.c_str(), fileName.c_str());
    throw EDocumentWriteError(SWriteFailed);
  }
  temporary.MarkRenamed();
  // The new file is in place; a backup that cannot be named is not a failed save.
  if (linked && ::rename(oldLink.c_str(), backup.c_str()) != 0) ::unlink(oldLink.c_str());
}
