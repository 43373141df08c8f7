#include "platform/UiServices.h"

int DefaultMessageBoxResult(unsigned flags) {
  static constexpr int kButtons[6][3] = {
      {IDOK, IDOK, IDOK},            {IDOK, IDCANCEL, IDCANCEL}, {IDABORT, IDRETRY, IDIGNORE},
      {IDYES, IDNO, IDCANCEL},       {IDYES, IDNO, IDNO},        {IDRETRY, IDCANCEL, IDCANCEL},
  };
  const unsigned type = flags & MB_TYPEMASK;
  const unsigned defaultButton = (flags & MB_DEFMASK) >> 8;
  if (type > 5 || defaultButton > 2) return IDOK;
  return kButtons[type][defaultButton];
}

namespace {

// Answers every question with its default and shows nothing.
class SilentUiServices final : public UiServices {
 public:
  int MessageBox(HWND, const std::string&, const std::string&, unsigned flags) override {
    return DefaultMessageBoxResult(flags);
  }
  bool ShowNote(const std::string&, const std::string&) override { return false; }
  std::optional<FileDialogResult> ChooseOpenFile(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<FileDialogResult> ChooseSaveFile(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<TColor> ChooseColor(TColor) override { return std::nullopt; }
  std::optional<FontDescription> ChooseFont(const FontDescription&) override { return std::nullopt; }
  std::optional<std::string> ChooseFolder(const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::optional<VideoCompression> ChooseVideoCompression(HWND, const VideoCompression&) override {
    return std::nullopt;
  }
  void SetCursor(TCursor) override {}
};

SilentUiServices silentServices;
UiServices* currentServices = &silentServices;

}  // namespace

UiServices& Ui() { return *currentServices; }
void SetUiServices(UiServices* services) { currentServices = services != nullptr ? services : &silentServices; }
