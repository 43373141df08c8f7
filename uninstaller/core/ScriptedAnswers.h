// A test hook: message boxes answered from a file instead of shown, so that a
// test can run the real Uninstaller program. When the variable
// GC_UNINSTALLER_ANSWERS names a file, the program installs these services:
// each message box takes the next answer from that file (one a line: "Yes",
// "No", "OK", "Cancel" or a result number; the box's default button when the
// answers run out) and, when GC_UNINSTALLER_MESSAGES names a file, appends a
// line there: the caption, the flags in hexadecimal and the text, separated
// by tabs, each with "\\", tab, line feed and carriage return written as
// \\, \t, \n and \r.
#pragma once

#include "platform/UiServices.h"

#include <deque>
#include <memory>
#include <string>

constexpr const char* kAnswersVariable = "GC_UNINSTALLER_ANSWERS";
constexpr const char* kMessagesVariable = "GC_UNINSTALLER_MESSAGES";

class TScriptedAnswers final : public UiServices {
 public:
  TScriptedAnswers(const std::string& answersFile, std::string messagesFile);
  // The services the variables ask for; nullptr when GC_UNINSTALLER_ANSWERS is not set.
  static std::unique_ptr<TScriptedAnswers> FromEnvironment();

  int MessageBox(HWND owner, const std::string& text, const std::string& caption, unsigned flags) override;
  bool ShowNote(const std::string& caption, const std::string& text) override;
  std::optional<FileDialogResult> ChooseOpenFile(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<FileDialogResult> ChooseSaveFile(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<TColor> ChooseColor(TColor) override { return std::nullopt; }
  std::optional<FontDescription> ChooseFont(const FontDescription&) override { return std::nullopt; }
  std::optional<std::string> ChooseFolder(const std::string&, const std::string&) override { return std::nullopt; }
  std::optional<VideoCompression> ChooseVideoCompression(HWND, const VideoCompression&) override {
    return std::nullopt;
  }
  void SetCursor(TCursor) override {}

 private:
  void Record(const std::string& caption, unsigned flags, const std::string& text);

  std::deque<int> answers_;
  std::string messagesFile_;
};

// A field of a recorded line with its escapes, and back.
std::string EscapeRecordedField(const std::string& text);
std::string UnescapeRecordedField(const std::string& field);
