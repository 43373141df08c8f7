#include "app/core/DocumentFiles.h"

#include "imaging/utils.h"
#include "platform/CodePages.h"
#include "platform/FileFaults.h"
#include "platform/Streams.h"
#include "scene/ProjectFile.h"
#include "scene/SceneGlobals.h"

#include <cerrno>
#include <cstring>
#include <optional>

#include <dirent.h>
#include <fcntl.h>
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

// Forces a closed file's bytes to the disk: the only copy of a document is
// about to be replaced by it. The errno of the failing call, or 0.
int FlushToDisk(const std::string& fileName) {
  const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  const int flushed = FileCalls::Sync(fd) == 0 ? 0 : errno;
  const int closed = FileCalls::Close(fd) == 0 ? 0 : errno;
  return flushed != 0 ? flushed : closed;
}

[[noreturn]] void FailWrite(int systemError) {
  throw EDocumentWriteError(SWriteFailed, SystemErrorText(systemError));
}

// Writes the bytes into the replacing file and closes it, with the trailer.
void WriteComplete(TReplacingFile& file, std::string_view bytes) {
  TStream& stream = file.Stream();
  stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  // A write the disk refuses late is reported only when the file closes.
  auto* fileStream = dynamic_cast<TFileStream*>(&stream);
  if (fileStream != nullptr && !fileStream->Close()) FailWrite(errno);
  file.CloseStream();
  // The trailer is stamped by the one checksum routine, on the complete copy.
  errno = 0;
  if (!StampFileChecksum(file.TemporaryName())) FailWrite(errno);
  if (const int flushError = FlushToDisk(file.TemporaryName()); flushError != 0) FailWrite(flushError);
}

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

namespace {

// The file in the name's folder whose name is the given one in another
// letter case, if there is one: the name itself when it exists, else the
// first such name in byte order (the file system lists in no order).
std::optional<std::string> ExistingCaseVariant(const std::string& fileName) {
  if (FileExists(fileName)) return fileName;
  const std::string folder = ExtractFilePath(fileName);
  const std::string name = ExtractFileName(fileName);
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return std::nullopt;
  std::optional<std::string> found;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string candidate = entry->d_name;
    if (!SameTextAscii(candidate, name) || (found && candidate >= *found)) continue;
    if (FileExists(folder + candidate)) found = candidate;
  }
  ::closedir(dir);
  if (!found) return std::nullopt;
  return folder + *found;
}

}  // namespace

std::string DocumentNameOfOpenedFile(const std::string& fileName) {
  // A project keeps its own name: on this file system proj1.glm and
  // proj1.GLM are two files, and saving must replace the one opened.
  if (SameTextAscii(ExtractFileExt(fileName), ".GLM")) return fileName;
  const std::string project = ChangeFileExt(fileName, ".GLM");
  return ExistingCaseVariant(project).value_or(project);
}

void WriteDocumentFile(const std::string& fileName, std::string_view bytes, bool createBackup) {
  try {
    TReplacingFile file(fileName);
    WriteComplete(file, bytes);
    // The old file is kept under a second name beside the temporary file
    // before the new one takes its place, so a failing rename loses neither
    // it nor an older backup, which is replaced only once the save is done.
    // Where the file system has no hard links, the old file is renamed
    // aside instead, and put back when the new one cannot take its place.
    const bool backupWanted = createBackup && FileExists(fileName);
    const std::string aside = file.TemporaryName() + ".old";
    const bool linked = backupWanted && FileCalls::Link(fileName.c_str(), aside.c_str()) == 0;
    const bool renamedAside = backupWanted && !linked && FileCalls::Rename(fileName.c_str(), aside.c_str()) == 0;
    try {
      file.Commit();
    } catch (const EStreamError&) {
      if (linked) ::unlink(aside.c_str());
      if (renamedAside) FileCalls::Rename(aside.c_str(), fileName.c_str());
      throw;
    }
    // The new file is in place; a backup that cannot be named is not a failed save.
    if ((linked || renamedAside) && FileCalls::Rename(aside.c_str(), BackupFileName(fileName).c_str()) != 0)
      ::unlink(aside.c_str());
  } catch (const EStreamError& error) {
    FailWrite(error.SystemError());
  }
}

std::string SystemErrorText(int systemError) {
  if (systemError == 0) return {};
  return std::strerror(systemError);
}

std::string DocumentWriteErrorText(const std::string& fileName, const std::string& reason) {
  std::string text = std::string(SProjectWriteError) + "\r" + Utf8ToAnsi(fileName);
  if (!reason.empty()) text += ": " + Utf8ToAnsi(reason);
  return text;
}
