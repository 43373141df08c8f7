// The desktop's side of a registered file type. The editor records its file
// type in the registry under HKEY_CLASSES_ROOT; on this desktop the type also
// needs a freedesktop MIME package (the file name pattern) and a menu entry
// that opens such files, both under $XDG_DATA_HOME.
#pragma once

#include <string>

struct TDesktopFileType {
  std::string typeName;     // the registry's type key, "Gleamcraft_Data_File"
  std::string extension;    // ".GLM"
  std::string description;  // "Gleamcraft File" (Windows-1252 text)
  std::string programName;  // "Gleamcraft"
  std::string programPath;  // the program's full path (file-system bytes)
};

// The registry's open command: the program path and the file argument, each
// in double quotes, so that paths with blanks open: "<path>" "%1".
std::string FileTypeOpenCommand(const std::string& programPath);
// The menu entry's Exec line for the program: "<path>" %f, quoted and escaped
// as desktop entries require.
std::string DesktopExecLine(const std::string& programPath);
// The MIME type of a registry type name: "application/x-gleamcraft-data-file".
std::string DesktopMimeType(const std::string& typeName);

// The two files a registration writes:
// XdgDataHome()/mime/packages/<program>.xml and
// XdgDataHome()/applications/<program>.desktop (program name in lower case).
std::string DesktopMimePackagePath(const TDesktopFileType& type);
std::string DesktopEntryPath(const TDesktopFileType& type);

// Writes both files (each replaced atomically, folders created); false when
// one of them could not be written.
bool WriteDesktopFileType(const TDesktopFileType& type);
