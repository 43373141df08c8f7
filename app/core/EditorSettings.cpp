#include "app/core/EditorSettings.h"

#include "platform/DesktopFileTypes.h"
#include "platform/Registry.h"
#include "platform/SysUtils.h"

#include <algorithm>

namespace {

// Value names of the settings key.
constexpr const char* kFontName = "Dialog Text Font Name";
constexpr const char* kFontSize = "Dialog Text Font Size";
constexpr const char* kFontBold = "Dialog Text Font Bold";
constexpr const char* kFontItalic = "Dialog Text Font Italic";
constexpr const char* kFontColor = "Dialog Text Font Color";
constexpr const char* kFontCharset = "Dialog Text Font Charset";
constexpr const char* kDigitalDisplayColor = "Digital Display Color";
constexpr const char* kNumberOfLastOpened = "NumberOfLastOpened";
constexpr const char* kLastOpened = "LastOpened";

constexpr std::int32_t kMaxWindowExtent = 65535;

std::string RecentValueName(int index) { return kLastOpened + IntToStr(index); }

// An integer of a range: a missing value keeps the present one; a value
// outside the range gives the default.
std::int32_t ReadRanged(TRegIniFile& key, const char* name, std::int32_t present, std::int32_t low,
                        std::int32_t high, std::int32_t fallback) {
  const std::int32_t value = key.ReadInteger("", name, present);
  return value >= low && value <= high ? value : fallback;
}

// A colour text that does not read counts as missing.
TColor ReadColor(TRegIniFile& key, const char* section, const char* name, TColor fallback) {
  const std::string text = key.ReadString(section, name, "");
  return TryStringToColor(text).value_or(fallback);
}

// A folder value: empty or missing keeps the fallback; a trailing "/" is added.
std::string ReadFolder(TRegIniFile& key, const char* name, const std::string& fallback) {
  return NormalizeFolder(key.ReadString("", name, ""), fallback);
}

void ReadWindow(TRegIniFile& key, TWindowPlacement& window, TSize screen) {
  window.Width = 640;
  window.Height = 480;
  window.Top = 0;
  window.Left = 0;
  window.State = key.ReadInteger("", "WindowState", wsMaximized);
  if (window.State < wsNormal || window.State > wsMaximized) window.State = wsNormal;
  if (window.State == wsMaximized) return;
  // Sizes are kept within what a screen can show, so the pull-back's sums
  // cannot overflow.
  window.Width = std::clamp(key.ReadInteger("", "Width", window.Width), 0, kMaxWindowExtent);
  window.Height = std::clamp(key.ReadInteger("", "Height", window.Height), 0, kMaxWindowExtent);
  window.Top = key.ReadInteger("", "Top", window.Top);
  window.Left = key.ReadInteger("", "Left", window.Left);
  PullWindowOnScreen(window, screen);
}

void ReadFont(TRegIniFile& key, TFont& font) {
  font.Name = key.ReadString(kFontsSection, kFontName, font.Name);
  font.SetSize(key.ReadInteger(kFontsSection, kFontSize, font.Size()));
  // Bold and italic are only ever added.
  if (key.ReadBool(kFontsSection, kFontBold, (font.Style & fsBold) != 0)) font.Style |= fsBold;
  if (key.ReadBool(kFontsSection, kFontItalic, (font.Style & fsItalic) != 0)) font.Style |= fsItalic;
  font.Color = ReadColor(key, kFontsSection, kFontColor, clBtnText);
  const std::int32_t charset = key.ReadInteger(kFontsSection, kFontCharset, 0);
  font.Charset = charset >= 0 && charset <= 255 ? static_cast<std::uint8_t>(charset) : 0;
}

void WriteFont(TRegIniFile& key, const TFont& font) {
  key.WriteString(kFontsSection, kFontName, font.Name);
  key.WriteInteger(kFontsSection, kFontSize, font.Size());
  key.WriteBool(kFontsSection, kFontBold, (font.Style & fsBold) != 0);
  key.WriteBool(kFontsSection, kFontItalic, (font.Style & fsItalic) != 0);
  key.WriteString(kFontsSection, kFontColor, ColorToString(font.Color));
  key.WriteInteger(kFontsSection, kFontCharset, font.Charset);
}

}  // namespace

// ---- Folders ----------------------------------------------------------------------------------

TDataFolders DefaultDataFolders(const std::string& programFolder) {
  const std::string base = IncludeTrailingPathDelimiter(programFolder);
  return {base + "Animations/", base + "Pictures/", base + "Pictures/Textures/"};
}

std::string DefaultPresetsFolder(const std::string& programFolder) {
  return IncludeTrailingPathDelimiter(programFolder) + "Pictures/Presets/";
}

std::string NormalizeFolder(const std::string& folder, const std::string& fallback) {
  if (folder.empty()) return fallback;
  return folder.back() == '/' ? folder : folder + "/";
}

// ---- Recent files -----------------------------------------------------------------------------

void TRecentFiles::Add(const std::string& fileName) {
  if (Enabled && !fileName.empty()) {
    entries_.insert(entries_.begin(), fileName);
    const auto duplicate = std::find(entries_.begin() + 1, entries_.end(), fileName);
    if (duplicate != entries_.end()) entries_.erase(duplicate);
  }
  const std::size_t limit = static_cast<std::size_t>(std::clamp(Maximum, 0, kMaxRecentFiles));
  if (entries_.size() > limit) entries_.resize(limit);
}

std::string TRecentFiles::MenuCaption(int index) const {
  std::string name;
  for (char c : ExtractFileName(entries_.at(static_cast<std::size_t>(index)))) {
    name += c;
    if (c == '&') name += '&';  // a single "&" would mark an accelerator
  }
  return "&" + IntToStr(index + 1) + " " + name;
}

// ---- Window placement --------------------------------------------------------------------------

void PullWindowOnScreen(TWindowPlacement& window, TSize screen) {
  if (window.Top < 0) window.Top = 0;
  if (window.Top > screen.cy) window.Top = screen.cy - window.Height;
  if (window.Left < 0) window.Left = 0;
  if (window.Left > screen.cx) window.Left = screen.cx - window.Width;
  // A window larger than the screen stays at its top left corner.
  window.Top = std::max(window.Top, 0);
  window.Left = std::max(window.Left, 0);
}

// ---- Loading and saving ----------------------------------------------------------------------

void ReadEditorSettings(TRegIniFile& key, TEditorSettings& settings, TSize screen,
                        std::vector<std::string>& recentFilesToAdd) {
  ReadWindow(key, settings.Window, screen);
  ReadFont(key, settings.DialogFont);

  settings.ShowWizardAtStartup = key.ReadBool("", "ShowWizardAtStartup", settings.ShowWizardAtStartup);
  settings.NeverAskAboutColors = key.ReadBool("", "NeverAskAboutColors", settings.NeverAskAboutColors);
  settings.NeverAskAbout24BitColors = key.ReadBool("", "NeverAskAbout24BitColors", settings.NeverAskAbout24BitColors);
  settings.NeverAskAboutComCtlVersion =
      key.ReadBool("", "NeverAskAboutComCtlVersion", settings.NeverAskAboutComCtlVersion);
  settings.CreateBackup = key.ReadBool("", "CreateBackup", settings.CreateBackup);
  settings.Folders.Data = ReadFolder(key, "DataDirectory", settings.Folders.Data);
  settings.Folders.Pictures = ReadFolder(key, "PicturesDirectory", settings.Folders.Pictures);
  settings.Folders.Textures = ReadFolder(key, "TexturesDirectory", settings.Folders.Textures);
  settings.Autosave = key.ReadBool("", "Autosave", settings.Autosave);
  settings.AutosaveInterval = ReadRanged(key, "AutosaveInterval", settings.AutosaveInterval, kMinAutosaveMinutes,
                                         kMaxAutosaveMinutes, kDefaultAutosaveMinutes);
  settings.PreviewAnimation = key.ReadBool("", "PreviewAnimation", settings.PreviewAnimation);
  settings.PreviewPicture = key.ReadBool("", "PreviewPicture", settings.PreviewPicture);
  settings.AutocreateEffect = key.ReadBool("", "AutocreateEffect", settings.AutocreateEffect);
  settings.TypeOfResize = key.ReadInteger("", "TypeOfResize", settings.TypeOfResize);
  settings.CheckNewVersion = key.ReadBool("", "CheckNewVersion", settings.CheckNewVersion);
  settings.UndoEnabled = key.ReadBool("", "UndoEnabled", settings.UndoEnabled);
  settings.AntiAliasResample = key.ReadBool("", "AntiAliasResample", settings.AntiAliasResample);
  settings.PlayAntiAliasResample = key.ReadBool("", "PlayAntiAliasResample", settings.PlayAntiAliasResample);
  settings.DigitalDisplayColor = ReadColor(key, kFontsSection, kDigitalDisplayColor, settings.DigitalDisplayColor);
  settings.PanelSpriteVisible = key.ReadBool("", "PanelSpriteVisible", settings.PanelSpriteVisible);
  settings.LastPanelSpriteWidth = key.ReadInteger("", "LastPanelSpriteWidth", settings.LastPanelSpriteWidth);
  settings.LastOpenedEnabled = key.ReadBool("", "LastOpenedEnabled", settings.LastOpenedEnabled);
  settings.MaxLastOpened = ReadRanged(key, "MaxLastOpened", settings.MaxLastOpened, kMinRecentFiles, kMaxRecentFiles,
                                      kDefaultRecentFiles);
  settings.SaveBitmapsInFrames = key.ReadBool("", "SaveBitmapsInFrames", settings.SaveBitmapsInFrames);

  // At most as many entries as the menu has items; entry 0 is added last.
  const std::int32_t count = std::clamp(key.ReadInteger("", kNumberOfLastOpened, 0), 0, kMaxRecentFiles);
  recentFilesToAdd.clear();
  for (int n = count - 1; n >= 0; --n) recentFilesToAdd.push_back(key.ReadString("", RecentValueName(n), ""));
}

void WriteEditorSettings(TRegIniFile& key, const TEditorSettings& settings, const TRecentFiles& recentFiles) {
  key.WriteInteger("", "Width", settings.Window.Width);
  key.WriteInteger("", "Height", settings.Window.Height);
  key.WriteInteger("", "Top", settings.Window.Top);
  key.WriteInteger("", "Left", settings.Window.Left);
  key.WriteInteger("", "WindowState", settings.Window.State);
  WriteFont(key, settings.DialogFont);
  key.WriteBool("", "ShowWizardAtStartup", settings.ShowWizardAtStartup);
  key.WriteBool("", "NeverAskAboutColors", settings.NeverAskAboutColors);
  key.WriteBool("", "NeverAskAbout24BitColors", settings.NeverAskAbout24BitColors);
  key.WriteBool("", "NeverAskAboutComCtlVersion", settings.NeverAskAboutComCtlVersion);
  key.WriteBool("", "CreateBackup", settings.CreateBackup);
  key.WriteString("", "DataDirectory", settings.Folders.Data);
  key.WriteString("", "PicturesDirectory", settings.Folders.Pictures);
  key.WriteString("", "TexturesDirectory", settings.Folders.Textures);
  key.WriteBool("", "Autosave", settings.Autosave);
  key.WriteInteger("", "AutosaveInterval", settings.AutosaveInterval);
  key.WriteBool("", "PreviewPicture", settings.PreviewPicture);
  key.WriteBool("", "PreviewAnimation", settings.PreviewAnimation);
  key.WriteBool("", "AutocreateEffect", settings.AutocreateEffect);
  key.WriteInteger("", "TypeOfResize", settings.TypeOfResize);
  key.WriteBool("", "CheckNewVersion", settings.CheckNewVersion);
  key.WriteBool("", "UndoEnabled", settings.UndoEnabled);
  key.WriteBool("", "AntiAliasResample", settings.AntiAliasResample);
  key.WriteBool("", "PlayAntiAliasResample", settings.PlayAntiAliasResample);
  key.WriteString(kFontsSection, kDigitalDisplayColor, ColorToString(settings.DigitalDisplayColor));
  key.WriteBool("", "PanelSpriteVisible", settings.PanelSpriteVisible);
  key.WriteInteger("", "LastPanelSpriteWidth", settings.LastPanelSpriteWidth);
  const std::vector<std::string>& entries = recentFiles.Entries();
  key.WriteInteger("", kNumberOfLastOpened, static_cast<std::int32_t>(entries.size()));
  for (std::size_t n = 0; n < entries.size(); ++n) key.WriteString("", RecentValueName(static_cast<int>(n)), entries[n]);
  key.WriteBool("", "LastOpenedEnabled", settings.LastOpenedEnabled);
  key.WriteInteger("", "MaxLastOpened", settings.MaxLastOpened);
  key.WriteBool("", "SaveBitmapsInFrames", settings.SaveBitmapsInFrames);
}

// ---- The project file type --------------------------------------------------------------------

namespace {

// Creates a key below HKEY_CLASSES_ROOT and sets its default value; a
// failure is ignored, as the registration's failures are.
void SetDefaultValue(TRegistry& registry, const std::string& key, const std::string& value) {
  registry.CloseKey();
  if (!registry.OpenKey("\\" + key, true)) return;
  try {
    registry.WriteString("", value);
  } catch (const ERegistryException&) {
  }
}

}  // namespace

bool RegisterProjectFileType(TRegistry& registry, const std::string& programName, const std::string& programPath) {
  registry.SetRootKey(HKEY_CLASSES_ROOT);
  if (registry.OpenKey(kProjectExtension, false) && registry.ReadString("") == kProjectTypeName) {
    registry.CloseKey();
    return false;
  }
  const std::string typeKey = kProjectTypeName;
  const std::string description = programName + " File";
  SetDefaultValue(registry, kProjectExtension, kProjectTypeName);
  SetDefaultValue(registry, typeKey, description);
  SetDefaultValue(registry, typeKey + "\\DefaultIcon", programPath + ",1");
  SetDefaultValue(registry, typeKey + "\\shell\\open\\command", FileTypeOpenCommand(programPath));
  registry.CloseKey();
  WriteDesktopFileType({kProjectTypeName, kProjectExtension, description, programName, programPath});
  return true;
}
