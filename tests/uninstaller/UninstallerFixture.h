// A temporary home for the Uninstaller's tests: its own registry folder,
// configuration, data and desktop folders, an install folder, stub programs
// that write marker lines, and a record of what the window showed.
#pragma once

#include "platform/Registry.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/TempDir.h"
#include "uninstaller/UninstallWindow.h"
#include "uninstaller/core/Zorvan_Uninstal.h"

#include <gtest/gtest.h>

#include <QProgressBar>

#include <sys/stat.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

class UninstallerFixture : public testing::Test {
 protected:
  // The window's state each time the progress bar moved.
  struct ProgressStep {
    int position;
    std::string status;
    friend bool operator==(const ProgressStep&, const ProgressStep&) = default;
  };

  UninstallerFixture() {
    for (const std::string& folder :
         {Home() + "/.config/autostart", Home() + "/.local/share/applications", Home() + "/Desktop", Install()})
      Folder(folder);
  }

  const std::string& Home() const { return home_.Path(); }
  std::string Install() const { return Home() + "/inst"; }
  std::string Markers() const { return Home() + "/markers"; }
  std::string Autostart() const { return Home() + "/.config/autostart"; }
  std::string Applications() const { return Home() + "/.local/share/applications"; }
  std::string RegistryDir() const { return Home() + "/registry"; }

  static void Folder(const std::string& path) { std::filesystem::create_directories(path); }
  static bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
  }
  static std::string Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  static std::vector<std::string> Lines(const std::string& path) {
    std::vector<std::string> lines;
    std::istringstream in(TempDir::ReadFile(path));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  // A shell script that appends "<tag>|<argument>|..." to the marker file,
  // then runs the extra commands.
  std::string Stub(const std::string& name, const std::string& tag, const std::string& extra = "") const {
    const std::string path = Write(Home() + "/" + name,
                                   "#!/bin/sh\n"
                                   "line=\"" + tag + "\"\n"
                                   "for a in \"$@\"; do line=\"$line|$a\"; done\n"
                                   "echo \"$line\" >> '" + Markers() + "'\n" + extra);
    ::chmod(path.c_str(), 0700);
    return path;
  }

  // A copy of the stub program under a name of its own: it appends
  // "<name>|<argv[0]>|<argument>|..." to the marker file.
  std::string BinaryStub(const std::string& name) const {
    const std::string path = Home() + "/" + name;
    std::filesystem::copy_file(GC_UNINSTALLER_STUB, path);
    return path;
  }

  // Values of HKEY_CURRENT_USER\<key path>\install.
  void Seed(const std::map<std::string, std::string>& values, const std::string& keyPath = "Vendor\\Tool") {
    TRegistry reg(store_);
    ASSERT_TRUE(reg.OpenKey((keyPath.starts_with("\\") ? "" : "\\") + keyPath + "\\install", true));
    for (const auto& [name, value] : values) reg.WriteString(name, value);
  }
  bool UserKeyExists(const std::string& path) { return store_->KeyExists(HKEY_CURRENT_USER, path); }

  // Runs the uninstaller in this process with the real window; the message
  // boxes take the answers given (then their defaults).
  void Run(const std::vector<std::string>& arguments, std::deque<int> answers = {IDYES}) {
    ui_.messageAnswers = std::move(answers);
    TUninstaller uninstaller(store_);
    uninstaller_ = &uninstaller;
    uninstaller.RunUninstaller(arguments, [this](const TUninstaller& owner) { return CreateWindow(owner); });
    finalStatus_ = uninstaller.StatusText();
    installFolder_ = uninstaller.InstallFolder();
    uninstaller_ = nullptr;
  }

  // The real window, with every progress position recorded together with
  // the status text and the lines the window then shows.
  class RecordingWindow final : public UninstallDisplay {
   public:
    RecordingWindow(std::unique_ptr<TUninstallWindow> window, std::function<void(int)> onProgress)
        : window_(std::move(window)), onProgress_(std::move(onProgress)) {}
    HWND Handle() const override { return window_->Handle(); }
    void SetProgress(int position) override {
      window_->SetProgress(position);
      onProgress_(position);
    }
    bool Destroyed() const override { return window_->Destroyed(); }

   private:
    std::unique_ptr<TUninstallWindow> window_;
    std::function<void(int)> onProgress_;
  };

  std::unique_ptr<UninstallDisplay> CreateWindow(const TUninstaller& owner) {
    events_.push_back("window");
    auto window = std::make_unique<TUninstallWindow>(owner);
    TUninstallWindow* shown = window.get();
    windowHandle_ = shown->Handle();
    return std::make_unique<RecordingWindow>(std::move(window), [this, shown, &owner](int position) {
      progress_.push_back({position, owner.StatusText()});
      shownLines_.push_back(shown->TextLines());
      lineHeight_ = shown->LineHeight();
      barValue_ = shown->ProgressBar()->value();
    });
  }

  std::vector<std::string> Captions() const {
    std::vector<std::string> captions;
    for (const ShownMessage& m : ui_.messages) captions.push_back(m.caption);
    return captions;
  }

  TempDir home_;
  ScopedEnvironment environment_{{{"HOME", home_.Path()},
                                  {"XDG_CONFIG_HOME", home_.Path() + "/.config"},
                                  {"XDG_DATA_HOME", home_.Path() + "/.local/share"},
                                  {"XDG_DESKTOP_DIR", home_.Path() + "/Desktop"},
                                  {kRegistryFolderVariable, home_.Path() + "/registry"},
                                  {"GC_STUB_MARKERS", home_.Path() + "/markers"}}};
  std::shared_ptr<TRegistryStore> store_ = std::make_shared<TRegistryStore>(RegistryDir());
  ScriptedUiServices ui_;
  TUninstaller* uninstaller_ = nullptr;
  std::vector<std::string> events_;
  std::vector<ProgressStep> progress_;
  std::vector<std::vector<TUninstallWindow::TextLine>> shownLines_;
  int lineHeight_ = 0;
  int barValue_ = -1;
  HWND windowHandle_ = 0;
  std::string finalStatus_;
  std::string installFolder_;
};
