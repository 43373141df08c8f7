// The Uninstaller: removes an installed product that an installer described
// in the registry under HKEY_CURRENT_USER\<key path>\install, after the user
// confirms. It runs the listed programs, deletes the installed files, their
// shortcuts and autostart entries, the menu folder, the product's keys and
// its entry in the machine's list of installed programs, and reports the
// result. It deletes nothing outside what was installed and never touches the
// editor's settings.
#pragma once

#include "platform/Registry.h"
#include "uninstaller/core/InstanceChannel.h"
#include "uninstaller/core/UninstallDisplay.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TUninstaller;
// Creates and shows the Uninstaller's window for the product.
using TUninstallWindowFactory = std::function<std::unique_ptr<UninstallDisplay>(const TUninstaller&)>;

class TUninstaller {
 public:
  explicit TUninstaller(std::shared_ptr<TRegistryStore> store = DefaultRegistryStore());
  ~TUninstaller();
  TUninstaller(const TUninstaller&) = delete;
  TUninstaller& operator=(const TUninstaller&) = delete;

  // The program: the key path from the arguments, the checks, the
  // confirmation, the window, the removal and the message loop until the
  // window is destroyed. Returns the program's exit code.
  int RunUninstaller(const std::vector<std::string>& arguments, const TUninstallWindowFactory& createWindow);
  // The removal steps; the window is closed at the end.
  void DoUninstall();

  // The program's state (registry texts are file-system bytes, UTF-8).
  const std::string& KeyPath() const { return keyPath_; }
  const std::string& ProductName() const { return productName_; }
  const std::string& StatusText() const { return statusText_; }
  const std::string& InstallFolder() const { return installFolder_; }

  // All arguments joined with single blanks.
  static std::string JoinArguments(const std::vector<std::string>& arguments);
  // Whether a key path may be removed: at least two components, none of them
  // empty, and neither equal to, above nor below the editor's settings key.
  static bool KeyPathAllowed(const std::string& keyPath);
  // Whether an installed file may be deleted: an absolute path naming a
  // regular file or a symbolic link inside the install folder (which must be
  // an existing folder other than the root and the home folder).
  static bool IsInstalledFile(const std::string& path, const std::string& installFolder);
  // Whether a shortcut may be deleted: as an installed file, but inside the
  // install folder or the user's menu, desktop or autostart folder.
  static bool IsRemovableShortcut(const std::string& path, const std::string& installFolder);

 private:
  void RunPrograms(TRegistry& reg, const char* countName, const char* programName, const char* commandName);
  void RemoveFiles(TRegistry& reg);
  void RemoveStartupLinksTo(const std::string& installedFile);
  void RemoveMenuFolder(const std::string& folder);
  void ShowResult();
  void Repaint();
  void RunMessageLoop();

  std::shared_ptr<TRegistryStore> store_;
  std::string keyPath_;
  std::string productName_;
  std::string statusText_;
  std::string installFolder_;
  std::unique_ptr<UninstallDisplay> window_;
  TInstanceChannel channel_;
};
