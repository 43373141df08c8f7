// File commands, dropped files, autosave, the document windows' layout and
// the export command: New, Open, Save and the autosave tick, files dropped on
// the main window or a document, the Window menu (tiling, cascading, the list
// of documents), the docking of the tool bars and the properties panel, and
// Export with the export wizard.
#pragma once

#include "app/MainFormArea.h"
#include "dialogs/core/ExportSettings.h"
#include "platform/Geometry.h"
#include "platform/Timer.h"

#include <memory>
#include <string>
#include <vector>

class QAction;
class QToolBar;
class QToolButton;
class QWidget;

class TFilesArea : public TMainFormArea {
 public:
  explicit TFilesArea(TMainFormContext& editor);
  ~TFilesArea() override;

  // Connects the area's commands, builds the properties panel's caption bar,
  // sets the dock rules and takes drops (FormCreate); lays out the docked
  // tool bars when the window is first shown.
  void FormCreateFiles();
  void FormShowFiles();

  // ---- Documents and files (MainFormTreeFiles.cpp) ----
  // A new, empty "Untitled" document.
  void File_NewExecute();
  // A project opened into a new document window; one that cannot be read
  // leaves that window untitled (the window has told the user).
  void OpenInNewDocument(const std::string& fileName);
  // Opens the command line's file into the active document (errors shown there).
  void OpenStartupFile(const std::string& fileName);
  TTimer& AutosaveTimer() { return autosaveTimer_; }  // "AutosaveInterval" minutes while "Autosave" is on
  void AutosaveTimerTimer();
  // Undo recording and the anti-alias flag of every open document follow the settings.
  void ApplyUndoAndResampling();
  // Every drop, on the main window or on a document: a project opens in a new
  // document; with addAsSprite any other file becomes a new sprite.
  void DropFiles(const std::vector<std::string>& fileNames, TPoint scenePoint, bool addAsSprite);

  // ---- The Window menu ----
  // The documents' entries at the end of the Window menu (checked: active).
  const std::vector<QAction*>& WindowListItems() const { return windowListItems_; }
  void RebuildWindowList();

  // ---- Docking ----
  // Which area takes which bar, and the bars' sizes when docked.
  bool CoolBarTopMainDockOver(QWidget* control) const;
  bool CoolBarLeftDockOver(QWidget* control) const;
  bool CoolBarRightDockOver(QWidget* control) const;
  void ToolBarMainButtonsEndDock(QToolBar* bar);
  // Shows the properties panel docked at the right.
  void Show_Properties_WindowExecute();
  // Dragging the properties panel's edge: the docked panel takes the
  // proposed width, never less than its minimum (newSize is corrected).
  void Splitter_PropertiesCanResize(int& newSize);
  // The size each tool bar had when it was made (its length along the bar:
  // the width of the top bars, the height of the left one); a docked bar
  // is never shorter, and never thicker than one row of its buttons.
  static int ToolBarDockedSize(const QToolBar* bar);

  // ---- Export (MainFormExport.cpp) ----
  // Connects the export command (after the other areas' commands).
  void FormCreateExport();
  // Ctrl+E: the "Export" save dialog for the current scene, then the wizard.
  void File_ExportExecute();
  // Exports the active scene to a file in a format (1 GIF, 2 BMP, 3 AVI, 4 JPEG).
  void ExportAnimation(const std::string& fileName, int format);
  // The export choices kept from one export to the next while the program runs.
  TExportSettings& ExportSettings() { return exportSettings_; }

 private:
  void File_Open_Execute();
  void File_SaveExecute();
  // Files dropped on the main window itself: only a project opens.
  void WMDropFiles(const std::vector<std::string>& fileNames);
  void OpenOrAddDroppedFiles(const std::vector<std::string>& fileNames, TPoint scenePoint, bool addAsSprite);
  void AddDroppedSprite(const std::string& fileName, TPoint scenePoint);
  void Window_Tile_HorizontalExecute();
  void Window_Tile_VerticalExecute();
  void Window_CascadeExecute();
  void CreatePropertiesCaption();
  void PanelPropertiesEndDock();
  void DockPropertiesButtonClick();
  void Show_Insert_Delete_ButtonsExecute();
  void Show_MainButtonsExecute();
  void Show_TimeLineExecute();
  void ToolButton_ClosePropertiesClick();
  void PlaceToolBar(QToolBar* bar, Qt::ToolBarArea area);

  TTimer autosaveTimer_;
  std::vector<QAction*> windowListItems_;
  QAction* windowListSeparator_ = nullptr;
  QToolButton* dockPropertiesButton_ = nullptr;  // down: the panel is docked
  std::unique_ptr<QObject> mainDropFilter_;
  TExportSettings exportSettings_;
};
