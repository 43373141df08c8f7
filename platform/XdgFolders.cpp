#include "platform/XdgFolders.h"

#include <QStandardPaths>

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace {

std::string AbsoluteVariable(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] != '/') return {};
  std::string path(value);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

std::string HomeFolder() {
  std::string home = AbsoluteVariable("HOME");
  if (!home.empty()) return home;
  if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr)
    return entry->pw_dir;
  return "/";
}

std::string XdgConfigHome() {
  const std::string folder = AbsoluteVariable("XDG_CONFIG_HOME");
  return folder.empty() ? HomeFolder() + "/.config" : folder;
}

std::string XdgDataHome() {
  const std::string folder = AbsoluteVariable("XDG_DATA_HOME");
  return folder.empty() ? HomeFolder() + "/.local/share" : folder;
}

std::string UserAutostartFolder() { return XdgConfigHome() + "/autostart"; }

std::string UserApplicationsFolder() { return XdgDataHome() + "/applications"; }

std::string UserDesktopFolder() {
  const std::string folder = AbsoluteVariable("XDG_DESKTOP_DIR");
  if (!folder.empty()) return folder;
  // Qt reads user-dirs.dirs under the configuration folder.
  const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
  return desktop.startsWith('/') ? desktop.toStdString() : HomeFolder() + "/Desktop";
}
