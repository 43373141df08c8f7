// The user-interface services of the running editor, shown with Qt widgets.
#pragma once

#include "platform/UiServices.h"

#include <QString>

class QtUiServices final : public UiServices {
 public:
  int MessageBox(HWND owner, const std::string& text, const std::string& caption, unsigned flags) override;
  bool ShowNote(const std::string& caption, const std::string& text) override;
  std::optional<FileDialogResult> ChooseOpenFile(const FileDialogRequest& request) override;
  std::optional<FileDialogResult> ChooseSaveFile(const FileDialogRequest& request) override;
  std::optional<TColor> ChooseColor(TColor initial) override;
  std::optional<FontDescription> ChooseFont(const FontDescription& initial) override;
  std::optional<std::string> ChooseFolder(const std::string& title, const std::string& initial) override;
  std::optional<VideoCompression> ChooseVideoCompression(HWND owner, const VideoCompression& initial) override;
  void SetCursor(TCursor cursor) override;
  void Beep() override;

 private:
  // The widget-based chooser, for a side panel or several files.
  std::optional<FileDialogResult> ChooseOpenFilesWithPanel(const FileDialogRequest& request);

  bool busy_ = false;
};

// Turns the editor's "Description|*.a;*.b|..." filter into Qt's
// "Description (*.a *.b);;..." form; each pattern is offered in lower and upper case.
QString QtFileFilter(const std::string& filter);
// Model text (Windows-1252, "\r" line breaks) as displayed text.
QString DisplayText(const std::string& text);
