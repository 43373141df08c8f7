#include "platform/ShellServices.h"

#include "platform/Registry.h"
#include "platform/SysUtils.h"
#include "platform/XdgFolders.h"

#include <QString>
#include <QUrl>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

namespace {

// Opens nothing and knows no browser.
class SilentShellServices final : public ShellServices {
 public:
  bool OpenDocument(const std::string&) override { return false; }
  std::string DefaultBrowserCommand() override { return {}; }
};

SilentShellServices silentShell;
ShellServices* currentShell = &silentShell;

bool StartsWithNoCase(const std::string& text, std::string_view prefix) {
  return text.size() >= prefix.size() && SameTextAscii(std::string_view(text).substr(0, prefix.size()), prefix);
}

bool HasControlCharacters(const std::string& text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
  return false;
}

// ---- The desktop's files ----------------------------------------------------------

// Configuration files are read whole, up to a size no such file reaches.
constexpr std::streamsize kMaxConfigFileSize = 1 << 20;

std::optional<std::string> ReadSmallFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(kMaxConfigFileSize), '\0');
  in.read(bytes.data(), kMaxConfigFileSize);
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

std::string Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r");
  return std::string(text.substr(first, last - first + 1));
}

// The value of a key in a section of a desktop-style file ("[Section]" lines
// and "key=value" lines); nullopt when it is not there.
std::optional<std::string> FindValue(const std::string& file, std::string_view section, std::string_view key,
                                     bool keyIgnoresCase) {
  std::istringstream lines(file);
  std::string line;
  bool inSection = false;
  while (std::getline(lines, line)) {
    const std::string text = Trimmed(line);
    if (text.empty() || text[0] == '#') continue;
    if (text.front() == '[') {
      inSection = text == "[" + std::string(section) + "]";
      continue;
    }
    if (!inSection) continue;
    const auto equals = text.find('=');
    if (equals == std::string::npos) continue;
    const std::string name = Trimmed(std::string_view(text).substr(0, equals));
    if (keyIgnoresCase ? SameTextAscii(name, key) : name == key) return Trimmed(std::string_view(text).substr(equals + 1));
  }
  return std::nullopt;
}

// The non-empty parts of a colon-separated list.
std::vector<std::string> SplitAtColons(const std::string& list) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t colon = std::min(list.find(':', start), list.size());
    if (colon > start) parts.push_back(list.substr(start, colon - start));
    start = colon + 1;
  }
  return parts;
}

// The absolute folders of a search-path variable, or of its default when it is unset or empty.
std::vector<std::string> SearchPath(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  std::vector<std::string> folders;
  for (std::string folder : SplitAtColons(value != nullptr && *value != '\0' ? value : fallback)) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (folder[0] == '/') folders.push_back(folder);
  }
  return folders;
}

std::vector<std::string> ApplicationFolders() {
  std::vector<std::string> folders{XdgDataHome() + "/applications"};
  for (const std::string& folder : SearchPath("XDG_DATA_DIRS", "/usr/local/share:/usr/share"))
    folders.push_back(folder + "/applications");
  return folders;
}

// The association lists in the order the freedesktop rules read them.
std::vector<std::string> AssociationFiles() {
  // Desktop-specific lists first, for each desktop named in XDG_CURRENT_DESKTOP.
  std::vector<std::string> desktops;
  if (const char* current = std::getenv("XDG_CURRENT_DESKTOP"); current != nullptr)
    for (const std::string& name : SplitAtColons(current))
      if (name.find('/') == std::string::npos) desktops.push_back(LowerCaseAscii(name));
  std::vector<std::string> files;
  auto addFolder = [&](const std::string& folder) {
    for (const std::string& desktop : desktops) files.push_back(folder + "/" + desktop + "-mimeapps.list");
    files.push_back(folder + "/mimeapps.list");
  };
  addFolder(XdgConfigHome());
  for (const std::string& folder : SearchPath("XDG_CONFIG_DIRS", "/etc/xdg")) addFolder(folder);
  const std::vector<std::string> applications = ApplicationFolders();
  for (const std::string& folder : applications) addFolder(folder);
  for (const std::string& folder : applications) files.push_back(folder + "/defaults.list");
  return files;
}

// The desktop entry file of an id: "a-b.desktop" is "a-b.desktop" or, in a
// sub-folder, "a/b.desktop".
std::optional<std::string> DesktopEntryFile(const std::string& id) {
  if (id.empty() || id.find('/') != std::string::npos || id == "." || id == "..") return std::nullopt;
  for (const std::string& folder : ApplicationFolders()) {
    if (FileExists(folder + "/" + id)) return folder + "/" + id;
    std::string nested = id;
    for (std::size_t dash = nested.find('-'); dash != std::string::npos; dash = nested.find('-', dash + 1)) {
      nested[dash] = '/';
      if (FileExists(folder + "/" + nested)) return folder + "/" + nested;
    }
  }
  return std::nullopt;
}

// The Exec line of an installed, not hidden desktop entry.
std::optional<std::string> ExecOfEntry(const std::string& id) {
  const std::optional<std::string> path = DesktopEntryFile(id);
  if (!path) return std::nullopt;
  const std::optional<std::string> file = ReadSmallFile(*path);
  if (!file) return std::nullopt;
  const std::optional<std::string> hidden = FindValue(*file, "Desktop Entry", "Hidden", false);
  if (hidden && *hidden == "true") return std::nullopt;
  std::optional<std::string> exec = FindValue(*file, "Desktop Entry", "Exec", false);
  if (!exec || exec->empty()) return std::nullopt;
  return exec;
}

}  // namespace

ShellServices& Shell() { return *currentShell; }
void SetShellServices(ShellServices* services) { currentShell = services != nullptr ? services : &silentShell; }

bool IsShellOpenable(const std::string& target) {
  if (target.empty() || HasControlCharacters(target)) return false;
  for (const std::string_view scheme : {"http://", "https://", "ftp://", "mailto:"})
    if (StartsWithNoCase(target, scheme)) return target.size() > scheme.size();
  if (StartsWithNoCase(target, "file:")) {
    const QUrl url(QString::fromStdString(target));
    return url.isValid() && url.isLocalFile() && FileExists(url.toLocalFile().toStdString());
  }
  // Anything else with a scheme is refused; a plain name must be a file.
  const auto colon = target.find(':');
  if (colon != std::string::npos && target.find('/') > colon) return false;
  return FileExists(target);
}

bool ShellOpen(const std::string& target) {
  if (!IsShellOpenable(target)) return false;
  return Shell().OpenDocument(target);
}

std::string RegisteredBrowserCommand() {
  TRegistry registry;
  registry.SetRootKey(HKEY_CLASSES_ROOT);
  if (registry.OpenKeyReadOnly(kBrowserCommandKey)) {
    std::string command = registry.ReadString("");
    if (!command.empty()) return command;
  }
  return Shell().DefaultBrowserCommand();
}

std::string DesktopDefaultHandlerCommand(const std::string& mimeType) {
  for (const std::string& path : AssociationFiles()) {
    const std::optional<std::string> file = ReadSmallFile(path);
    if (!file) continue;
    const std::optional<std::string> ids = FindValue(*file, "Default Applications", mimeType, true);
    if (!ids) continue;
    std::size_t start = 0;
    while (start < ids->size()) {
      const std::size_t semicolon = std::min(ids->find(';', start), ids->size());
      const std::string id = Trimmed(std::string_view(*ids).substr(start, semicolon - start));
      if (const std::optional<std::string> exec = ExecOfEntry(id)) return *exec;
      start = semicolon + 1;
    }
  }
  return {};
}
