// The user-interface services of the running editor: the Qt services, with
// the notes a user may silence shown in the program's own message dialog.
#pragma once

#include "platform/qtui/QtUiServices.h"

class TEditorUiServices final : public UiServices {
 public:
  int MessageBox(HWND owner, const std::string& text, const std::string& caption, unsigned flags) override {
    return qt_.MessageBox(owner, text, caption, flags);
  }
  // The message dialog with "&Never show this note", caption and text; the box's state.
  bool ShowNote(const std::string& caption, const std::string& text) override;
  std::optional<FileDialogResult> ChooseOpenFile(const FileDialogRequest& request) override {
    return qt_.ChooseOpenFile(request);
  }
  std::optional<FileDialogResult> ChooseSaveFile(const FileDialogRequest& request) override {
    return qt_.ChooseSaveFile(request);
  }
  std::optional<TColor> ChooseColor(TColor initial) override { return qt_.ChooseColor(initial); }
  std::optional<FontDescription> ChooseFont(const FontDescription& initial) override {
    return qt_.ChooseFont(initial);
  }
  std::optional<std::string> ChooseFolder(const std::string& title, const std::string& initial) override {
    return qt_.ChooseFolder(title, initial);
  }
  std::optional<VideoCompression> ChooseVideoCompression(HWND owner, const VideoCompression& initial) override {
    return qt_.ChooseVideoCompression(owner, initial);
  }
  void SetCursor(TCursor cursor) override { qt_.SetCursor(cursor); }
  void Beep() override { qt_.Beep(); }

 private:
  QtUiServices qt_;
};
