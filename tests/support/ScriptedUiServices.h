// User-interface services for tests: every question is recorded, and answers
// come from a script (or the question's default when the script is empty).
#pragma once

#include "platform/UiServices.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

struct ShownMessage {
  HWND owner = 0;
  std::string text;
  std::string caption;
  unsigned flags = 0;
};

class ScriptedUiServices final : public UiServices {
 public:
  // Installs itself for its lifetime.
  ScriptedUiServices() { SetUiServices(this); }
  ~ScriptedUiServices() override { SetUiServices(nullptr); }

  std::vector<ShownMessage> messages;
  std::vector<ShownMessage> notes;
  std::deque<int> messageAnswers;                 // IDYES, IDNO, ...
  std::deque<bool> noteAnswers;                   // state of "Never show this note"
  std::deque<std::optional<FileDialogResult>> fileAnswers;
  std::deque<std::optional<TColor>> colorAnswers;
  std::vector<TColor> colorRequests;               // the initial colour of each colour chooser
  std::deque<std::optional<FontDescription>> fontAnswers;
  std::deque<std::optional<std::string>> folderAnswers;
  std::deque<std::optional<VideoCompression>> videoCompressionAnswers;
  std::vector<VideoCompression> videoCompressionRequests;
  std::vector<FileDialogRequest> fileRequests;
  // For each open chooser that carries a side panel, the next step runs while
  // it is shown (after the panel's onShow, before its onClose): the user
  // moving through files with request.panel->onSelectionChange, a look at the panel.
  std::deque<std::function<void(const FileDialogRequest&)>> fileChooserSteps;
  std::vector<TCursor> cursors;

  int MessageBox(HWND owner, const std::string& text, const std::string& caption, unsigned flags) override;
  bool ShowNote(const std::string& caption, const std::string& text) override;
  std::optional<FileDialogResult> ChooseOpenFile(const FileDialogRequest& request) override;
  std::optional<FileDialogResult> ChooseSaveFile(const FileDialogRequest& request) override;
  std::optional<TColor> ChooseColor(TColor initial) override;
  std::optional<FontDescription> ChooseFont(const FontDescription& initial) override;
  std::optional<std::string> ChooseFolder(const std::string& title, const std::string& initial) override;
  std::optional<VideoCompression> ChooseVideoCompression(HWND owner, const VideoCompression& initial) override;
  void SetCursor(TCursor cursor) override { cursors.push_back(cursor); }
  // The beeps sounded.
  int beeps = 0;
  void Beep() override { ++beeps; }
};
