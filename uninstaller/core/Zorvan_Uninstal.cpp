#include "uninstaller/core/Zorvan_Uninstal.h"

#include "platform/CodePages.h"
#include "platform/Numeric.h"
#include "platform/UiServices.h"
#include "platform/XdgFolders.h"
#include "uninstaller/core/InstallConstants.h"
#include "uninstaller/core/ShellUtl.h"
#include "uninstaller/core/utils.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace {

// Registry texts and paths are UTF-8; message boxes show Windows-1252 text.
std::string Shown(const std::string& utf8) { return Utf8ToAnsi(utf8); }

std::string Numbered(const char* name, int number) { return name + IntToStr(number); }

// A count value; absent or unreadable counts are 0.
int ReadCount(TRegistry& reg, const char* name) { return StrToIntDef(reg.ReadString(name), 0); }

bool CountInRange(int count) { return count >= kMinEntryCount && count <= kMaxEntryCount; }

std::vector<std::string> SplitComponents(const std::string& keyPath) {
  std::vector<std::string> components;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = keyPath.find('\\', start);
    components.push_back(keyPath.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return components;
    start = end + 1;
  }
}

// True when one path's components begin the other's (letter case ignored as the store ignores it).
bool OnePathContainsTheOther(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i)
    if (!SameRegistryName(a[i], b[i])) return false;
  return true;
}

// The canonical install folder, or "" when it is no folder files may be removed from.
std::string InstallRoot(const std::string& installFolder) {
  if (installFolder.empty() || installFolder.front() != '/' || !DirectoryExists(installFolder)) return {};
  const std::string root = CanonicalPath(installFolder);
  if (root.empty() || root == "/" || root == CanonicalPath(HomeFolder())) return {};
  return root;
}

bool IsInside(const std::string& canonical, const std::string& folder) {
  return !folder.empty() && (canonical == folder || canonical.starts_with(folder + "/"));
}

// An absolute path of a regular file or symbolic link whose folder lies in
// one of the canonical folders; the entry itself is not followed.
bool IsEntryInFolders(const std::string& path, const std::vector<std::string>& folders) {
  if (path.empty() || path.front() != '/') return false;
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0 || !(S_ISREG(info.st_mode) || S_ISLNK(info.st_mode))) return false;
  const std::size_t slash = path.rfind('/');
  const std::string name = path.substr(slash + 1);
  if (name.empty() || name == "." || name == "..") return false;
  const std::string parent = CanonicalPath(slash == 0 ? "/" : path.substr(0, slash));
  for (const std::string& folder : folders)
    if (IsInside(parent, folder)) return true;
  return false;
}

bool EndsWithDesktop(const std::string& name) {
  constexpr std::string_view kExtension = ".desktop";
  return name.size() > kExtension.size() &&
         SameTextAscii(std::string_view(name).substr(name.size() - kExtension.size()), kExtension);
}

bool PathRemains(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

}  // namespace

TUninstaller::TUninstaller(std::shared_ptr<TRegistryStore> store) : store_(std::move(store)) {}

TUninstaller::~TUninstaller() = default;

std::string TUninstaller::JoinArguments(const std::vector<std::string>& arguments) {
  std::string joined;
  for (std::size_t i = 0; i < arguments.size(); ++i) joined += (i == 0 ? "" : " ") + arguments[i];
  return joined;
}

bool TUninstaller::KeyPathAllowed(const std::string& keyPath) {
  const std::string path = !keyPath.empty() && keyPath.front() == '\\' ? keyPath.substr(1) : keyPath;
  const std::vector<std::string> components = SplitComponents(path);
  if (components.size() < 2) return false;
  for (const std::string& component : components)
    if (component.empty()) return false;
  return !OnePathContainsTheOther(components, SplitComponents(kEditorSettingsKey));
}

bool TUninstaller::IsInstalledFile(const std::string& path, const std::string& installFolder) {
  return IsEntryInFolders(path, {InstallRoot(installFolder)});
}

bool TUninstaller::IsRemovableShortcut(const std::string& path, const std::string& installFolder) {
  return IsEntryInFolders(path, {InstallRoot(installFolder), CanonicalPath(UserApplicationsFolder()),
                                 CanonicalPath(UserDesktopFolder()), CanonicalPath(UserAutostartFolder())});
}

// ---- The program ---------------------------------------------------------------------------

int TUninstaller::RunUninstaller(const std::vector<std::string>& arguments,
                                 const TUninstallWindowFactory& createWindow) {
  keyPath_ = JoinArguments(arguments);
  if (keyPath_.empty()) {
    Ui().MessageBox(0, kInstructionsText, kErrorCaption, MB_ICONERROR);
    return 0;
  }
  const std::string installKey = keyPath_ + "\\" + kInstallSubkey;
  TRegistry reg(store_);
  if (!KeyPathAllowed(keyPath_) || !reg.OpenKeyReadOnly(installKey)) {
    Ui().MessageBox(0, kCannotOpenKeyText + Shown(installKey), kErrorCaption, MB_ICONERROR);
    return 0;
  }
  productName_ = reg.ReadString(kValueName);
  reg.CloseKey();
  if (productName_.empty()) {
    Ui().MessageBox(0, kCannotReadDataText, kErrorCaption, MB_ICONERROR);
    return 0;
  }
  const std::string question =
      "Do you really want to completely remove " + Shown(productName_) + " and all of its components?";
  if (Ui().MessageBox(0, question, "Uninstall " + Shown(productName_), MB_YESNO | MB_DEFBUTTON2 | MB_ICONINFORMATION) !=
      IDYES)
    return 0;

  TInstanceChannel::RequestClose(productName_);
  window_ = createWindow(*this);
  if (!window_) return 0;
  channel_.Listen(productName_, [this] { SendMessage(window_->Handle(), WM_CLOSE, 0, 0); });
  statusText_.clear();
  Repaint();
  DoUninstall();
  RunMessageLoop();
  window_.reset();
  return 0;
}

void TUninstaller::RunMessageLoop() {
  if (QCoreApplication::instance() == nullptr) return;
  while (window_ && !window_->Destroyed()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void TUninstaller::Repaint() {
  if (window_) SendMessage(window_->Handle(), WM_PAINT, 0, 0);
}

// ---- The removal -----------------------------------------------------------------------------

void TUninstaller::DoUninstall() {
  // Whatever happens, the window is closed at the end.
  struct CloseAtEnd {
    TUninstaller& self;
    ~CloseAtEnd() {
      if (self.window_) PostMessage(self.window_->Handle(), WM_CLOSE, 0, 0);
    }
  } closeAtEnd{*this};

  TRegistry reg(store_);
  if (reg.OpenKeyReadOnly(keyPath_ + "\\" + kInstallSubkey)) {
    installFolder_ = reg.ReadString(kValueLocation);
    if (!installFolder_.empty()) {
      RunPrograms(reg, kValueNumbOfExec, kValueExec, kValueExecComLine);
      RemoveFiles(reg);
      RunPrograms(reg, kValueNumbOfPostExec, kValuePostExec, kValuePostExecComLine);
    }
    RemoveMenuFolder(reg.ReadString(kValueMenuFolder));
    reg.CloseKey();
  }
  if (reg.OpenKey(keyPath_, false)) {
    for (const std::string& subkey : reg.GetKeyNames()) reg.DeleteKey(subkey);
    reg.CloseKey();
  }
  reg.DeleteKey(keyPath_);
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  reg.DeleteKey(kUninstallListKey + productName_);
  ShowResult();
}

void TUninstaller::RunPrograms(TRegistry& reg, const char* countName, const char* programName,
                               const char* commandName) {
  const int count = ReadCount(reg, countName);
  if (!CountInRange(count)) return;
  for (int i = 1; i <= count; ++i)
    RunAndWait(reg.ReadString(Numbered(programName, i)), "1 " + reg.ReadString(Numbered(commandName, i)));
}

void TUninstaller::RemoveFiles(TRegistry& reg) {
  const int count = ReadCount(reg, kValueNumbOfProg);
  if (!CountInRange(count)) return;
  for (int k = 0; k < count; ++k) {
    const std::string installedFile = reg.ReadString(Numbered(kValueProg, k));
    if (IsInstalledFile(installedFile, installFolder_)) {
      RemoveStartupLinksTo(installedFile);
      ::unlink(installedFile.c_str());  // a symbolic link itself, never its target
    }
    const std::string shortcut = reg.ReadString(Numbered(kValueShortcut, k));
    if (IsRemovableShortcut(shortcut, installFolder_)) ::unlink(shortcut.c_str());
    statusText_ = installedFile;
    Repaint();
    if (count > 1 && window_) window_->SetProgress(Round(static_cast<double>(k) / (count - 1) * 100));
  }
}

void TUninstaller::RemoveStartupLinksTo(const std::string& installedFile) {
  const std::string target = CanonicalPath(installedFile);
  const std::string startup = UserAutostartFolder();
  DIR* folder = target.empty() ? nullptr : ::opendir(startup.c_str());
  if (folder == nullptr) return;
  std::vector<std::string> links;
  while (const dirent* entry = ::readdir(folder)) {
    const std::string path = startup + "/" + entry->d_name;
    if (EndsWithDesktop(entry->d_name) && GetShortcutTarget(path) == target) links.push_back(path);
  }
  ::closedir(folder);
  for (const std::string& link : links) ::unlink(link.c_str());
}

void TUninstaller::RemoveMenuFolder(const std::string& folder) {
  // Only an empty folder inside the user's menu folder goes.
  struct stat info {};
  if (folder.empty() || folder.front() != '/' || ::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
    return;
  const std::string canonical = CanonicalPath(folder);
  const std::string menu = CanonicalPath(UserApplicationsFolder());
  if (!menu.empty() && canonical.starts_with(menu + "/")) ::rmdir(canonical.c_str());
}

void TUninstaller::ShowResult() {
  // Only an empty install folder goes; one that is still there is named.
  if (!installFolder_.empty() && installFolder_.front() == '/') ::rmdir(installFolder_.c_str());
  std::string text = kCompletedText;
  if (!installFolder_.empty() && PathRemains(installFolder_)) text += kEraseManuallyText + Shown(installFolder_);
  Ui().MessageBox(window_ ? window_->Handle() : 0, text, kSuccessCaption, MB_ICONINFORMATION);
}
