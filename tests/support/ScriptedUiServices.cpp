#include "tests/support/ScriptedUiServices.h"

namespace {
template <typename T>
T Next(std::deque<T>& answers, T fallback) {
  if (answers.empty()) return fallback;
  T answer = answers.front();
  answers.pop_front();
  return answer;
}
}  // namespace

int ScriptedUiServices::MessageBox(HWND owner, const std::string& text, const std::string& caption,
                                   unsigned flags) {
  messages.push_back({owner, text, caption, flags});
  return Next(messageAnswers, DefaultMessageBoxResult(flags));
}

bool ScriptedUiServices::ShowNote(const std::string& caption, const std::string& text) {
  notes.push_back({0, text, caption, 0});
  return Next(noteAnswers, false);
}

std::optional<FileDialogResult> ScriptedUiServices::ChooseOpenFile(const FileDialogRequest& request) {
  fileRequests.push_back(request);
  FileChooserPanel* panel = request.panel;
  if (panel != nullptr && panel->onShow) panel->onShow();
  if (panel != nullptr && !fileChooserSteps.empty()) {
    const auto step = std::move(fileChooserSteps.front());
    fileChooserSteps.pop_front();
    if (step) step(request);
  }
  std::optional<FileDialogResult> answer = Next<std::optional<FileDialogResult>>(fileAnswers, std::nullopt);
  // An answer scripted with one of the two forms gets the other, as the chooser gives both.
  if (answer && answer->fileNames.empty() && !answer->fileName.empty()) answer->fileNames = {answer->fileName};
  if (answer && answer->fileName.empty() && !answer->fileNames.empty()) answer->fileName = answer->fileNames.front();
  if (panel != nullptr && panel->onClose) panel->onClose();
  return answer;
}

std::optional<FileDialogResult> ScriptedUiServices::ChooseSaveFile(const FileDialogRequest& request) {
  fileRequests.push_back(request);
  return Next<std::optional<FileDialogResult>>(fileAnswers, std::nullopt);
}

std::optional<TColor> ScriptedUiServices::ChooseColor(TColor initial) {
  colorRequests.push_back(initial);
  return Next<std::optional<TColor>>(colorAnswers, std::nullopt);
}

std::optional<FontDescription> ScriptedUiServices::ChooseFont(const FontDescription&) {
  return Next<std::optional<FontDescription>>(fontAnswers, std::nullopt);
}

std::optional<std::string> ScriptedUiServices::ChooseFolder(const std::string&, const std::string&) {
  return Next<std::optional<std::string>>(folderAnswers, std::nullopt);
}

std::optional<VideoCompression> ScriptedUiServices::ChooseVideoCompression(HWND, const VideoCompression& initial) {
  videoCompressionRequests.push_back(initial);
  return Next<std::optional<VideoCompression>>(videoCompressionAnswers, std::nullopt);
}
