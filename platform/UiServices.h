// The one way any code asks the user something: message boxes, the note that
// can be silenced, file, colour, font and folder choosers, and the busy
// cursor. The program installs the Qt implementation; tests install a scripted
// one. Texts are the model's Windows-1252 bytes; "\r" breaks lines.
#pragma once

#include "platform/Colors.h"
#include "platform/Cursors.h"
#include "platform/Messages.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Message box buttons, icons and default buttons (combined with |).
enum : unsigned {
  MB_OK = 0x0,
  MB_OKCANCEL = 0x1,
  MB_ABORTRETRYIGNORE = 0x2,
  MB_YESNOCANCEL = 0x3,
  MB_YESNO = 0x4,
  MB_RETRYCANCEL = 0x5,
  MB_ICONHAND = 0x10,
  MB_ICONERROR = 0x10,
  MB_ICONSTOP = 0x10,
  MB_ICONQUESTION = 0x20,
  MB_ICONEXCLAMATION = 0x30,
  MB_ICONWARNING = 0x30,
  MB_ICONINFORMATION = 0x40,
  MB_ICONASTERISK = 0x40,
  MB_DEFBUTTON1 = 0x0,
  MB_DEFBUTTON2 = 0x100,
  MB_DEFBUTTON3 = 0x200,
  MB_APPLMODAL = 0x0,
  MB_TASKMODAL = 0x2000,
};
constexpr unsigned MB_TYPEMASK = 0xF;
constexpr unsigned MB_ICONMASK = 0xF0;
constexpr unsigned MB_DEFMASK = 0xF00;

// Message box results.
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

// The button a message box of these flags answers when the user just accepts it.
int DefaultMessageBoxResult(unsigned flags);

class QWidget;
struct FileChooserPanel;

struct FileDialogRequest {
  std::string title;
  // "Description|*.ext|Description|*.a;*.b" pairs, as the editor writes them.
  std::string filter;
  int filterIndex = 1;  // 1-based
  std::string initialDir;
  std::string fileName;
  std::string defaultExt;
  // Open choosers only: several files may be chosen at once.
  bool allowMultiSelect = false;
  // Open choosers only: a panel shown at the right of the chooser's own
  // controls (the picture dialog's preview); nullptr for none.
  FileChooserPanel* panel = nullptr;
};

struct FileDialogResult {
  std::string fileName;  // the first file chosen
  int filterIndex = 1;
  // Every file chosen, in the chooser's order (one unless several may be chosen).
  std::vector<std::string> fileNames;
};

// The side panel of an open-file chooser. While the chooser runs, the widget
// lies in it at the right of the standard controls; when the chooser closes
// the widget is handed back hidden and without a parent, so its owner keeps
// it. The chooser tells the panel of each change of the current file.
struct FileChooserPanel {
  QWidget* widget = nullptr;  // not owned
  // The chooser is about to be shown, with the panel in place.
  std::function<void()> onShow;
  // The current file changed (its full path; empty when no file is current).
  std::function<void(const std::string& fileName)> onSelectionChange;
  // The chooser is closing (after its answer was taken).
  std::function<void()> onClose;
};

struct FontDescription {
  std::string name = "MS Sans Serif";
  int size = 8;  // points
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  TColor color = clWindowText;
  std::uint8_t charset = 1;
  friend bool operator==(const FontDescription&, const FontDescription&) = default;
};

// The video compressor of an AVI file: its four-character code (0 for full,
// uncompressed frames; 'MJPG' for Motion JPEG) and its quality (0..10000).
struct VideoCompression {
  std::uint32_t handler = 0;
  int quality = 7500;
  friend bool operator==(const VideoCompression&, const VideoCompression&) = default;
};

class UiServices {
 public:
  virtual ~UiServices() = default;

  // Shows a modal message box and returns the button chosen (IDOK, IDYES, ...).
  virtual int MessageBox(HWND owner, const std::string& text, const std::string& caption,
                         unsigned flags) = 0;
  // Shows a note with the "&Never show this note" box; returns the box's state.
  virtual bool ShowNote(const std::string& caption, const std::string& text) = 0;
  virtual std::optional<FileDialogResult> ChooseOpenFile(const FileDialogRequest& request) = 0;
  virtual std::optional<FileDialogResult> ChooseSaveFile(const FileDialogRequest& request) = 0;
  virtual std::optional<TColor> ChooseColor(TColor initial) = 0;
  virtual std::optional<FontDescription> ChooseFont(const FontDescription& initial) = 0;
  virtual std::optional<std::string> ChooseFolder(const std::string& title, const std::string& initial) = 0;
  // Asks for the video compressor of an AVI file; nullopt when cancelled.
  virtual std::optional<VideoCompression> ChooseVideoCompression(HWND owner, const VideoCompression& initial) = 0;
  virtual void SetCursor(TCursor cursor) = 0;
  // The system's warning sound (a refused key, a read-only field's button).
  virtual void Beep() {}
};

// The services in use. Until one is installed, a silent implementation answers
// every question with its default (the default button, no file, no colour).
UiServices& Ui();
// Installs services (nullptr restores the silent ones); the caller keeps ownership.
void SetUiServices(UiServices* services);

// MessageBeep: the warning sound through the services in use
// (every sound type gives the same beep).
inline void MessageBeep(unsigned type = 0) {
  (void)type;
  Ui().Beep();
}

// Shows the hourglass for its lifetime and restores the normal cursor on every exit.
class TBusyCursor {
 public:
  TBusyCursor() { Ui().SetCursor(crHourGlass); }
  ~TBusyCursor() { Ui().SetCursor(crDefault); }
  TBusyCursor(const TBusyCursor&) = delete;
  TBusyCursor& operator=(const TBusyCursor&) = delete;
};
