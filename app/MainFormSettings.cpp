// The main window's settings: reading them when it is shown, writing them
// when it closes, the recent-files list and its menu items, the folders of
// the file dialogs, the Options command and the upgrade helper.
#include "app/MainFormSettings.h"

#include "app/MainFormU.h"
#include "app/MainFormFiles.h"
#include "app/MainFormActions.h"
#include "app/MainFormLayout.h"

#include "controls/MyCntrlDigitalDisplay.h"
#include "dialogs/OptionsFrmU.h"
#include "imaging/utils.h"
#include "platform/Fonts.h"
#include "platform/ModalForms.h"
#include "platform/Registry.h"
#include "platform/SystemValues.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QPalette>

// ---- Loading and saving ----------------------------------------------------------------------

TSettingsArea::TSettingsArea(TMainFormContext& editor)
    : TMainFormArea(editor), presetsFolder_(DefaultPresetsFolder(System().ProgramFolder())) {}

void TSettingsArea::LoadSettings() {
  UserSettings().DialogFont.Charset = 0;
  UserSettings().ShowWizardAtStartup = true;
  // A missing key must not be created by reading it: the defaults stay.
  TRegIniFile key(kSettingsKey, /*canCreate=*/false);
  if (!key.HasCurrentKey()) {
    UserSettings().Window.State = wsMaximized;
    Window().setWindowState(Qt::WindowMaximized);
    return;
  }
  std::vector<std::string> recentFiles;
  ReadEditorSettings(key, UserSettings(), System().ScreenSize(), recentFiles);
  ApplyPlacement(UserSettings().Window);
  ApplyDialogFont();
  ApplyAutosave();
  ApplyDigitalDisplayColor();
  Commands().Checknewversion1->setChecked(UserSettings().CheckNewVersion);
  recentFiles_.Enabled = UserSettings().LastOpenedEnabled;
  recentFiles_.Maximum = UserSettings().MaxLastOpened;
  for (const std::string& fileName : recentFiles) AddRecentFile(fileName);
  key.CloseKey();
}

void TSettingsArea::SaveSettings() {
  TRegIniFile key(kSettingsKey, /*canCreate=*/true);
  if (!key.HasCurrentKey()) return;
  UserSettings().Window = CurrentPlacement();
  UserSettings().LastOpenedEnabled = recentFiles_.Enabled;
  UserSettings().MaxLastOpened = recentFiles_.Maximum;
  WriteEditorSettings(key, UserSettings(), recentFiles_);
}

TWindowPlacement TSettingsArea::CurrentPlacement() const {
  TWindowPlacement placement;
  const Qt::WindowStates states = Window().windowState();
  placement.State = states.testFlag(Qt::WindowMinimized)   ? wsMinimized
                    : states.testFlag(Qt::WindowMaximized) ? wsMaximized
                                                           : wsNormal;
  // A maximised or minimised window keeps the bounds it returns to.
  const QRect bounds = placement.State == wsNormal ? QRect(Window().pos(), Window().size()) : Window().normalGeometry();
  placement.Left = bounds.x();
  placement.Top = bounds.y();
  placement.Width = bounds.width();
  placement.Height = bounds.height();
  return placement;
}

void TSettingsArea::ApplyPlacement(const TWindowPlacement& placement) {
  if (placement.State == wsMaximized) {
    Window().setWindowState(Qt::WindowMaximized);
    return;
  }
  Window().setWindowState(Qt::WindowNoState);
  Window().resize(placement.Width, placement.Height);
  Window().move(placement.Left, placement.Top);
  if (placement.State == wsMinimized) Window().setWindowState(Qt::WindowMinimized);
}

// ---- Applying settings ------------------------------------------------------------------------

void TSettingsArea::ApplyDialogFont() {
  const TFont& font = UserSettings().DialogFont;
  QFont qfont(QString::fromStdString(MapFontFamily(font.Name, font.Pitch)));
  qfont.setPointSize(font.Size() > 0 ? font.Size() : 8);
  qfont.setBold((font.Style & fsBold) != 0);
  qfont.setItalic((font.Style & fsItalic) != 0);
  QApplication::setFont(qfont);
  // Every window takes the font, the ones that exist now included.
  for (QWidget* window : QApplication::topLevelWidgets()) window->setFont(qfont);
  QPalette palette = QApplication::palette();
  const TColor color = ColorToRGB(font.Color);
  const QColor text(GetRValue(color), GetGValue(color), GetBValue(color));
  palette.setColor(QPalette::WindowText, text);
  palette.setColor(QPalette::ButtonText, text);
  QApplication::setPalette(palette);
}

void TSettingsArea::ApplyDigitalDisplayColor() {
  const TColor color = UserSettings().DigitalDisplayColor;
  Layout().CurrentStep()->SetColorOfText(color);
  Layout().StepPerSecond()->SetColorOfText(color);
  if (auto* frameDisplay = Window().findChild<TDigitalDisplay*>("DigitalDisplay_3D_Animation_Frame"))
    frameDisplay->SetColorOfText(color);
}

void TSettingsArea::ApplyAutosave() {
  Files().AutosaveTimer().SetInterval(AutosaveMilliseconds(UserSettings().AutosaveInterval));
  Files().AutosaveTimer().SetEnabled(UserSettings().Autosave);
}

// ---- Recent files -----------------------------------------------------------------------------

void TSettingsArea::AddRecentFile(const std::string& fileName) {
  recentFiles_.Add(fileName);
  RebuildRecentFilesMenu();
}

void TSettingsArea::RebuildRecentFilesMenu() {
  Commands().LOSeparator->setVisible(false);
  for (QAction* item : Commands().LastOpenedItems) item->setVisible(false);
  if (!recentFiles_.Enabled) return;
  Commands().LOSeparator->setVisible(true);
  const std::vector<std::string>& entries = recentFiles_.Entries();
  for (std::size_t i = 0; i < entries.size() && i < Commands().LastOpenedItems.size(); ++i) {
    // File names are the file system's bytes.
    Commands().LastOpenedItems[i]->setText(QString::fromUtf8(recentFiles_.MenuCaption(static_cast<int>(i))));
    Commands().LastOpenedItems[i]->setVisible(true);
  }
}

// ---- Dialog folders ----------------------------------------------------------------------------

void TSettingsArea::SetDialogFolders() {
  const TDataFolders& folders = UserSettings().Folders;
  openDialog1_.initialDir = folders.Data;
  saveDialog_.initialDir = folders.Data;
  openFrameDlg_.initialDir = folders.Pictures;
  saveGIFDialog_.initialDir = folders.Pictures;
  openExportDialog_.initialDir = folders.Pictures;
  openTextureDialog_.initialDir = folders.Textures;
}

// ---- Options ----------------------------------------------------------------------------------

void TSettingsArea::Tools_OptionsExecute() {
  TOptionsFrm options(&Window());
  TOptionsValues values;
  values.CreateBackup = UserSettings().CreateBackup;
  values.DataFolder = UserSettings().Folders.Data;
  values.PicturesFolder = UserSettings().Folders.Pictures;
  values.TexturesFolder = UserSettings().Folders.Textures;
  values.AutosaveMinutes = UserSettings().AutosaveInterval;
  values.Autosave = UserSettings().Autosave;
  values.UndoEnabled = UserSettings().UndoEnabled;
  values.AntiAliasResample = UserSettings().AntiAliasResample;
  values.PlayAntiAliasResample = UserSettings().PlayAntiAliasResample;
  values.DigitalDisplayColor = UserSettings().DigitalDisplayColor;
  values.DigitalDisplayBackground = Layout().CurrentStep()->Color();
  values.DialogFont = UserSettings().DialogFont;
  values.MaxLastOpened = recentFiles_.Maximum;
  values.LastOpenedEnabled = recentFiles_.Enabled;
  values.SaveBitmapsInFrames = UserSettings().SaveBitmapsInFrames;
  options.Fill(values);
  if (ShowModal(options) != mrOk) return;

  const TOptionsValues chosen = options.Values();
  UserSettings().CreateBackup = chosen.CreateBackup;
  UserSettings().DialogFont = chosen.DialogFont;
  ApplyDialogFont();
  const TDataFolders defaults = DefaultDataFolders(System().ProgramFolder());
  UserSettings().Folders.Data = NormalizeFolder(chosen.DataFolder, defaults.Data);
  UserSettings().Folders.Pictures = NormalizeFolder(chosen.PicturesFolder, defaults.Pictures);
  UserSettings().Folders.Textures = NormalizeFolder(chosen.TexturesFolder, defaults.Textures);
  UserSettings().Autosave = chosen.Autosave;
  UserSettings().AutosaveInterval = chosen.AutosaveMinutes;
  ApplyAutosave();
  UserSettings().UndoEnabled = chosen.UndoEnabled;
  UserSettings().AntiAliasResample = chosen.AntiAliasResample;
  UserSettings().PlayAntiAliasResample = chosen.PlayAntiAliasResample;
  Files().ApplyUndoAndResampling();
  UserSettings().DigitalDisplayColor = chosen.DigitalDisplayColor;
  ApplyDigitalDisplayColor();
  UserSettings().MaxLastOpened = chosen.MaxLastOpened;
  UserSettings().LastOpenedEnabled = chosen.LastOpenedEnabled;
  recentFiles_.Maximum = chosen.MaxLastOpened;
  recentFiles_.Enabled = chosen.LastOpenedEnabled;
  UserSettings().SaveBitmapsInFrames = chosen.SaveBitmapsInFrames;
  AddRecentFile("");
  SetDialogFolders();
  RefreshCommandStates();
  RequestSceneRecompute();
}

// ---- Upgrade helper ------------------------------------------------------------------------------

bool TSettingsArea::RunUpgradeCheck() {
  if (!UserSettings().CheckNewVersion) return true;
  // The helper lies beside the program; its path is quoted, so a folder
  // with blanks in its name starts it too.
  const std::string command = "\"" + System().ProgramFolder() + "updt.ovl\"";
  if (RunProgram(command, "").empty()) return true;
  UserSettings().CheckNewVersion = false;
  Commands().Checknewversion1->setChecked(false);
  return false;
}
