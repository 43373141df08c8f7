#include "platform/DesktopFileTypes.h"

#include "platform/CodePages.h"
#include "platform/SysUtils.h"
#include "platform/XdgFolders.h"

namespace {

// A value of a desktop entry: backslashes and control characters escaped.
std::string DesktopValue(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default: out += c;
    }
  }
  return out;
}

std::string XmlText(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

// Lower-case letters, digits, '.' and '+'; every other character becomes '-'.
std::string PlainName(const std::string& name) {
  std::string plain;
  for (char c : LowerCaseAscii(name)) {
    const bool kept = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '+';
    plain += kept ? c : '-';
  }
  return plain;
}

std::string FileBaseName(const TDesktopFileType& type) { return PlainName(type.programName); }

std::string MimePackage(const TDesktopFileType& type) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
         "  <mime-type type=\"" + XmlText(DesktopMimeType(type.typeName)) + "\">\n"
         "    <comment>" + XmlText(AnsiToUtf8(type.description)) + "</comment>\n"
         "    <glob pattern=\"*" + XmlText(LowerCaseAscii(type.extension)) + "\"/>\n"
         "  </mime-type>\n"
         "</mime-info>\n";
}

std::string DesktopEntry(const TDesktopFileType& type) {
  // The type's menu entry only opens files; the installer makes the visible one.
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=" + DesktopValue(AnsiToUtf8(type.programName)) + "\n"
         "Comment=" + DesktopValue(AnsiToUtf8(type.description)) + "\n"
         "Exec=" + DesktopExecLine(type.programPath) + "\n"
         "MimeType=" + DesktopMimeType(type.typeName) + ";\n"
         "Terminal=false\n"
         "NoDisplay=true\n";
}

bool WriteInFolder(const std::string& path, const std::string& bytes) {
  return ForceDirectories(ExtractFilePath(path)) && ReplaceFileContents(path, bytes);
}

}  // namespace

std::string FileTypeOpenCommand(const std::string& programPath) { return "\"" + programPath + "\" \"%1\""; }

std::string DesktopExecLine(const std::string& programPath) {
  // Inside the quotes '"', '`', '$' and '\' take a backslash, and '%' is
  // doubled; then the whole line is escaped as any desktop entry value.
  std::string quoted = "\"";
  for (char c : programPath) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
    if (c == '%') quoted += '%';
  }
  quoted += "\"";
  return DesktopValue(quoted) + " %f";
}

std::string DesktopMimeType(const std::string& typeName) { return "application/x-" + PlainName(typeName); }

std::string DesktopMimePackagePath(const TDesktopFileType& type) {
  return XdgDataHome() + "/mime/packages/" + FileBaseName(type) + ".xml";
}

std::string DesktopEntryPath(const TDesktopFileType& type) {
  return UserApplicationsFolder() + "/" + FileBaseName(type) + ".desktop";
}

bool WriteDesktopFileType(const TDesktopFileType& type) {
  const bool package = WriteInFolder(DesktopMimePackagePath(type), MimePackage(type));
  const bool entry = WriteInFolder(DesktopEntryPath(type), DesktopEntry(type));
  return package && entry;
}
