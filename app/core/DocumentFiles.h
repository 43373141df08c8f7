// The file rules of a document: the Save dialog's file types and the format
// versions they write, the names a document takes from the files it opens,
// and the safe writing of a project file, which never destroys the only copy:
// the bytes and their checksum trailer go to a temporary file in the target's
// folder, which is renamed over the target once complete (the old file, with
// backups on, becoming "Backup_of_<name>" once the new one is in place).
#pragma once

#include "platform/SysUtils.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

// The Save dialog's file types, numbered from 1 (entry 1 "3D Animation (*.GLM)").
extern const char* const SSaveAnimationFilter;
// The Save dialog's title and proposed name.
extern const char* const SSaveAnimationTitle;  // "Save Animation"
extern const char* const SDefaultDocumentName;  // "noname.GLM"

// The project format version that a Save dialog entry writes: entry 6 (the
// sibling product's files) version 8, entry 7 (all files) version 4, every
// other entry the newest.
std::int32_t SaveVersionOfFileType(int entry);
// The export format of a Save As entry (1 GIF, 2 BMP, 3 AVI, 4 JPEG), or 0
// when the entry saves a project.
int ExportFormatOfFileType(int entry);

// The file's folder + "Backup_of_" + the file's name.
std::string BackupFileName(const std::string& fileName);
// The scene name a file gives: its name without folder and extension,
// upper-cased as short strings are ('a'..'z' and bytes 224..255).
std::string SceneNameOfFile(const std::string& fileName);
// The project name an opened file is saved under: a project file (".GLM" in
// any letter case) keeps its own name; any other file gives its name with
// ".GLM" in place of its extension, beside it, or the name of a file already
// there that differs from that only in letter case.
std::string DocumentNameOfOpenedFile(const std::string& fileName);

// Raised when a project file could not be written; the target is then as it was.
class EDocumentWriteError : public Exception {
 public:
  // reason: the system's words for the failure ("Permission denied"), or ""
  // when the system gave none.
  EDocumentWriteError(std::string message, std::string reason)
      : Exception(std::move(message)), reason_(std::move(reason)) {}
  const std::string& Reason() const { return reason_; }

 private:
  std::string reason_;
};

// The system's words for an errno value ("Not a directory"); "" for 0.
std::string SystemErrorText(int systemError);
// What a failed save shows: "An error occured during writing to the file."
// and, on a second line, the file name and the reason ("<name>: <reason>").
std::string DocumentWriteErrorText(const std::string& fileName, const std::string& reason);

// Writes the bytes and their checksum trailer as the file. The bytes go to a
// temporary file in the target's folder (TReplacingFile), which is flushed
// to the disk and renamed over the target; with createBackup an existing
// target becomes BackupFileName (replacing an older backup) once the new file
// is in place. On any failure the temporary file is deleted, the target (and
// an older backup) stay as they were, and EDocumentWriteError is raised.
void WriteDocumentFile(const std::string& fileName, std::string_view bytes, bool createBackup);
