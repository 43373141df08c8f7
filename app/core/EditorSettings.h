// The editor's user settings: every value the main window reads from the
// registry when it is shown and writes when it closes, the recent-files list,
// the window's place on the screen and the registration of the project file
// type. The values come from a registry that any program may have written,
// so each one read is checked as hostile input: numbers out of their ranges
// and colour texts that do not read fall back to their defaults.
//
// Paths (folders, recent files) are the file system's bytes, never converted
// through the model's code page; folders end with "/".
#pragma once

#include "platform/Colors.h"
#include "platform/Geometry.h"
#include "platform/Graphics.h"

#include <cstdint>
#include <string>
#include <vector>

class TRegIniFile;
class TRegistry;

// The settings key under HKEY_CURRENT_USER.
inline constexpr const char* kSettingsKey = "SOFTWARE\\ZorvanSoft\\Glowsmith";
// The section of the font values.
inline constexpr const char* kFontsSection = "Fonts";

// Ranges of the values the Options dialog edits; a stored value outside
// them falls back to the default.
inline constexpr int kMinAutosaveMinutes = 1;
inline constexpr int kMaxAutosaveMinutes = 120;
inline constexpr int kDefaultAutosaveMinutes = 10;
inline constexpr int kMinRecentFiles = 1;
inline constexpr int kMaxRecentFiles = 9;
inline constexpr int kDefaultRecentFiles = 4;

// The main window's state: 0 normal, 1 minimised, 2 maximised.
enum : std::int32_t { wsNormal = 0, wsMinimized = 1, wsMaximized = 2 };

// The main window's place: its bounds in screen pixels and its state.
struct TWindowPlacement {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Width = 640;
  std::int32_t Height = 480;
  std::int32_t State = wsMaximized;
  friend bool operator==(const TWindowPlacement&, const TWindowPlacement&) = default;
};

// The three data folders of the file dialogs and galleries, each ending in "/".
struct TDataFolders {
  std::string Data;      // "DataDirectory": project dialogs and galleries
  std::string Pictures;  // "PicturesDirectory": picture, import and export dialogs
  std::string Textures;  // "TexturesDirectory": the texture dialog
  friend bool operator==(const TDataFolders&, const TDataFolders&) = default;
};

// The default folders under the program's folder: "Animations/",
// "Pictures/" and "Pictures/Textures/".
TDataFolders DefaultDataFolders(const std::string& programFolder);
// The presets folder, "Pictures/Presets/" under the program's folder.
std::string DefaultPresetsFolder(const std::string& programFolder);
// A folder as the settings keep it: with a trailing "/"; an empty folder
// means the default one.
std::string NormalizeFolder(const std::string& folder, const std::string& fallback);

// Every setting the main window keeps while the program runs, with the
// defaults the window starts from before the registry is read.
struct TEditorSettings {
  TWindowPlacement Window;
  // The dialog font: "Dialog Text Font Name", "... Size", "... Bold",
  // "... Italic", "... Color", "... Charset" of the "Fonts" section.
  TFont DialogFont;
  bool ShowWizardAtStartup = true;
  bool NeverAskAboutColors = false;
  bool NeverAskAbout24BitColors = false;
  bool NeverAskAboutComCtlVersion = false;
  bool CreateBackup = false;
  TDataFolders Folders;
  bool Autosave = false;
  std::int32_t AutosaveInterval = kDefaultAutosaveMinutes;  // minutes
  bool PreviewAnimation = true;
  bool PreviewPicture = true;
  bool AutocreateEffect = false;
  std::int32_t TypeOfResize = 1;
  bool CheckNewVersion = false;
  bool UndoEnabled = true;
  bool AntiAliasResample = true;
  bool PlayAntiAliasResample = false;
  TColor DigitalDisplayColor = clRed;  // "Digital Display Color" of the "Fonts" section
  bool PanelSpriteVisible = false;
  std::int32_t LastPanelSpriteWidth = 0;
  bool LastOpenedEnabled = true;
  std::int32_t MaxLastOpened = kDefaultRecentFiles;
  bool SaveBitmapsInFrames = true;
};

// The autosave timer's interval in milliseconds.
inline int AutosaveMilliseconds(std::int32_t minutes) { return minutes * 60000; }

// ---- Recent files -----------------------------------------------------------------------------

// The recent-files list, newest first, without duplicates, at most
// MaxLastOpened entries long (never more than the menu's nine items).
class TRecentFiles {
 public:
  bool Enabled = true;
  std::int32_t Maximum = kDefaultRecentFiles;

  const std::vector<std::string>& Entries() const { return entries_; }
  // Puts the name on top (an exact, case-sensitive duplicate further down
  // goes) while the list is enabled, then trims the list to the maximum.
  // An empty name only trims.
  void Add(const std::string& fileName);
  void Clear() { entries_.clear(); }
  // The caption of menu item index (0-based): "&" + (index + 1) + " " + the
  // entry's file name without its folder, every "&" in the name doubled.
  std::string MenuCaption(int index) const;

 private:
  std::vector<std::string> entries_;
};

// ---- Window placement --------------------------------------------------------------------------

// Pulls a window back onto a screen of the given size: a top above 0 or a
// left left of 0 becomes 0; a top below the screen's height becomes screen
// height - window height; a left beyond the screen's width becomes screen
// width - window width; a result never becomes negative.
void PullWindowOnScreen(TWindowPlacement& window, TSize screen);

// ---- Loading and saving ----------------------------------------------------------------------

// Reads the values of an open settings key (LoadSettings, steps 3 to 6):
// the window (state, and the bounds when not maximised, pulled onto the
// screen from the defaults 640 x 480 at the desktop's top left), the fonts,
// every other value, and the recent files to be added, oldest first, so
// that entry 0 ends on top. Values that are missing or out of range keep
// the fields' present values (the defaults).
void ReadEditorSettings(TRegIniFile& key, TEditorSettings& settings, TSize screen,
                        std::vector<std::string>& recentFilesToAdd);
// Writes the values in the order the settings key has always held them.
// Recent-file values beyond the list's length are left as they are. Raises
// ERegistryException when the key cannot be written.
void WriteEditorSettings(TRegIniFile& key, const TEditorSettings& settings, const TRecentFiles& recentFiles);

// ---- The project file type --------------------------------------------------------------------

inline constexpr const char* kProjectExtension = ".GLM";
inline constexpr const char* kProjectTypeName = "Gleamcraft_Data_File";

// Registers the project file type under HKEY_CLASSES_ROOT of the registry
// object (its root is set here) unless ".GLM" already names
// "Gleamcraft_Data_File": the extension key, the type key with the
// description "<programName> File", its icon and its open command
// "\"<path>\" \"%1\"", and the desktop's MIME package and menu entry.
// Returns whether anything was written. Registry failures are ignored.
bool RegisterProjectFileType(TRegistry& registry, const std::string& programName, const std::string& programPath);
