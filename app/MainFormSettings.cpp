// The main window's settings: reading them when it is shown, writing them
// when it closes, the recent-files list and its menu items, the folders of
// the file dialogs, the Options command and the upgrade helper.
#include "app/MainFormU.h"
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

void TMainForm::LoadSettings() {
  UserSettings().DialogFont.Charset = 0;
  UserSettings().ShowWizardAtStartup = true;
  // A missing key must not be created by reading it: the defaults stay.
  TRegIniFile key(kSettingsKey, /*canCreate=*/false);
  if (!key.HasCurrentKey()) {
    UserSettings().Window.State = wsMaximized;
    setWindowState(Qt::WindowMaximized);
    return;
  }
  std::vector<std::string> recentFiles;
  ReadEditorSettings(key, UserSettings(), System().ScreenSize(), recentFiles);
  ApplyPlacement(UserSettings().Window);
  ApplyDialogFont();
  ApplyAutosave();
  ApplyDigitalDisplayColor();
  Commands().Checknewversion1->setChecked(UserSettings().CheckNewVersion);
  RecentFiles.Enabled = UserSettings().LastOpenedEnabled;
  RecentFiles.Maximum = UserSettings().MaxLastOpened;
  for (const std::string& fileName : recentFiles) AddRecentFile(fileName);
  key.CloseKey();
}

void TMainForm::SaveSettings() {
  TRegIniFile key(kSettingsKey, /*canCreate=*/true);
  if (!key.HasCurrentKey()) return;
  UserSettings().Window = CurrentPlacement();
  UserSettings().LastOpenedEnabled = RecentFiles.Enabled;
  UserSettings().MaxLastOpened = RecentFiles.Maximum;
  WriteEditorSettings(key, UserSettings(), RecentFiles);
}

TWindowPlacement TMainForm::CurrentPlacement() const {
  TWindowPlacement placement;
  const Qt::WindowStates states = windowState();
  placement.State = states.testFlag(Qt::WindowMinimized)   ? wsMinimized
                    : states.testFlag(Qt::WindowMaximized) ? wsMaximized
                                                           : wsNormal;
  // A maximised or minimised window keeps the bounds it returns to.
  const QRect bounds = placement.State == wsNormal ? QRect(pos(), size()) : normalGeometry();
  placement.Left = bounds.x();
  placement.Top = bounds.y();
  placement.Width = bounds.width();
  placement.Height = bounds.height();
  return placement;
}

void TMainForm::ApplyPlacement(const TWindowPlacement& placement) {
  if (placement.State == wsMaximized) {
    setWindowState(Qt::WindowMaximized);
    return;
  }
  setWindowState(Qt::WindowNoState);
  resize(placement.Width, placement.Height);
  move(placement.Left, placement.Top);
  if (placement.State == wsMinimized) setWindowState(Qt::WindowMinimized);
}

// ---- Applying settings ------------------------------------------------------------------------

void TMainForm::ApplyDialogFont() {
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

void TMainForm::ApplyDigitalDisplayColor() {
  const TColor color = UserSettings().DigitalDisplayColor;
  Layout().CurrentStep()->SetColorOfText(color);
  Layout().StepPerSecond()->SetColorOfText(color);
  if (auto* frameDisplay = findChild<TDigitalDisplay*>("DigitalDisplay_3D_Animation_Frame"))
    frameDisplay->SetColorOfText(color);
}

void TMainForm::ApplyAutosave() {
  AutosaveTimer.SetInterval(AutosaveMilliseconds(UserSettings().AutosaveInterval));
  AutosaveTimer.SetEnabled(UserSettings().Autosave);
}

// ---- Recent files -----------------------------------------------------------------------------

void TMainForm::AddRecentFile(const std::string& fileName) {
  RecentFiles.Add(fileName);
  RebuildRecentFilesMenu();
}

void TMainForm::RebuildRecentFilesMenu() {
  Commands().LOSeparator->setVisible(false);
  for (QAction* item : Commands().LastOpenedItems) item->setVisible(false);
  if (!RecentFiles.Enabled) return;
  Commands().LOSeparator->setVisible(true);
  const std::vector<std::string>& entries = RecentFiles.Entries();
  for (std::size_t i = 0; i < entries.size() && i < Commands().LastOpenedItems.size(); ++i) {
    // File names are the file system's bytes.
    Commands().LastOpenedItems[i]->setText(QString::fromUtf8(RecentFiles.MenuCaption(static_cast<int>(i))));
    Commands().LastOpenedItems[i]->setVisible(true);
  }
}

// ---- Dialog folders ----------------------------------------------------------------------------

void TMainForm::SetDialogFolders() {
  const TDataFolders& folders = UserSettings().Folders;
  OpenDialog1.initialDir = folders.Data;
  SaveDialog.initialDir = folders.Data;
  OpenFrameDlg.initialDir = folders.Pictures;
  SaveGIFDialog.initialDir = folders.Pictures;
  OpenExportDialog.initialDir = folders.Pictures;
  OpenTextureDialog.initialDir = folders.Textures;
}

// ---- Options ----------------------------------------------------------------------------------

void TMainForm::Tools_OptionsExecute() {
  TOptionsFrm options(this);
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
  values.MaxLastOpened = RecentFiles.Maximum;
  values.LastOpenedEnabled = RecentFiles.Enabled;
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
  ApplyUndoAndResampling();
  UserSettings().DigitalDisplayColor = chosen.DigitalDisplayColor;
  ApplyDigitalDisplayColor();
  UserSettings().MaxLastOpened = chosen.MaxLastOpened;
  UserSettings().LastOpenedEnabled = chosen.LastOpenedEnabled;
  RecentFiles.Maximum = chosen.MaxLastOpened;
  RecentFiles.Enabled = chosen.LastOpenedEnabled;
  UserSettings().SaveBitmapsInFrames = chosen.SaveBitmapsInFrames;
  AddRecentFile("");
  SetDialogFolders();
  RefreshCommandStates();
  RequestSceneRecompute();
}

// ---- Upgrade helper ------------------------------------------------------------------------------

bool TMainForm::RunUpgradeCheck() {
  if (!UserSettings().CheckNewVersion) return true;
  // The helper lies beside the program; its path is quoted, so a folder
  // with blanks in its name starts it too.
  const std::string command = "\"" + System().ProgramFolder() + "updt.ovl\"";
  if (RunProgram(command, "").empty()) return true;
  UserSettings().CheckNewVersion = false;
  Commands().Checknewversion1->setChecked(false);
  return false;
}
