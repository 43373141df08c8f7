// The main window's settings: reading them when it is shown, writing them
// when it closes, the recent-files list and its menu items, the folders of
// the file dialogs, the Options command and the upgrade helper.
#pragma once

#include "app/MainFormArea.h"
#include "app/core/EditorSettings.h"
#include "platform/UiServices.h"

#include <string>

class TSettingsArea : public TMainFormArea {
 public:
  explicit TSettingsArea(TMainFormContext& editor);

  // Every setting from the registry (when the window is first shown) and back
  // (when it closes); the window's placement with them.
  void LoadSettings();
  void SaveSettings();
  // Puts a file on top of the recent list (an empty name only trims) and
  // rebuilds its menu items.
  void AddRecentFile(const std::string& fileName);
  TRecentFiles& RecentFiles() { return recentFiles_; }
  // The file dialogs' initial folders follow the data folders.
  void SetDialogFolders();
  // The Options command: the options dialog, then its values applied.
  void Tools_OptionsExecute();
  // Starts the upgrade helper when checking is on; false (and checking off)
  // when it cannot be started.
  bool RunUpgradeCheck();
  // The presets folder (not a setting).
  const std::string& PresetsFolder() const { return presetsFolder_; }

  // The file dialogs: their filters, file names and initial folders.
  FileDialogRequest& OpenDialog1() { return openDialog1_; }              // projects
  FileDialogRequest& SaveDialog() { return saveDialog_; }                // projects and pictures
  FileDialogRequest& OpenFrameDlg() { return openFrameDlg_; }            // pictures of frames and backgrounds
  FileDialogRequest& SaveGIFDialog() { return saveGIFDialog_; }          // export and bitmap copies
  FileDialogRequest& OpenExportDialog() { return openExportDialog_; }    // import
  FileDialogRequest& OpenTextureDialog() { return openTextureDialog_; }  // 3D text textures

 private:
  // The dialog font applied to every window; the digit displays' colour.
  void ApplyDialogFont();
  void ApplyDigitalDisplayColor();
  // The autosave timer follows "Autosave" and "AutosaveInterval".
  void ApplyAutosave();
  void RebuildRecentFilesMenu();
  // The placement the window has now, for SaveSettings.
  TWindowPlacement CurrentPlacement() const;
  void ApplyPlacement(const TWindowPlacement& placement);

  TRecentFiles recentFiles_;
  std::string presetsFolder_;
  FileDialogRequest openDialog1_;
  FileDialogRequest saveDialog_;
  FileDialogRequest openFrameDlg_;
  FileDialogRequest saveGIFDialog_;
  FileDialogRequest openExportDialog_;
  FileDialogRequest openTextureDialog_;
};
