// The editor's main window: a multiple-document frame that holds the document
// windows, the menus and tool bars with every command of the editor, the
// properties panel with the scene tree and the property pages, the time line
// and the status bar. It keeps the editing state (the active document, its
// scene and undo log, the current sprite), the settings and the timers that
// drive the editor.
//
// One class over several files, each an area of the window:
//   MainFormU.cpp          creation, showing, closing, timers, messages,
//                          progress, Esc, clipboard states, help commands
//   MainFormActions.cpp    the command set: actions, menus, tool bars
//   MainFormIcons.cpp      the pictures of the tool-bar commands
//   MainFormLayout.cpp     the panels: properties panel and its pages, scene
//                          tree panel, time line, status bar
//   MainFormSettings.cpp   settings, recent files, dialog folders, Options,
//                          upgrade helper
//   MainFormDocuments.cpp  what the document windows need from their host
// and one file for each further area, each filling the handlers declared in
// its section below and connecting its commands in its FormCreate... step:
//   MainFormTree.cpp       scene tree, command states, file commands, docking
//   MainFormPages.cpp      playback, time line, scene/sprite/frame/motion/
//                          appearance/background pages
//   MainFormShapes.cpp     added sprites and frames, shape/line/text pages
//   MainForm3DText.cpp     the 3D text editor
//   MainFormEffects.cpp    effect and transform commands, the clipboard
//   MainFormExport.cpp     the export command
//   MainFormScene.cpp      galleries, presets, templates, remaining commands
// An area adds its own members to its own section, so the sections change
// independently; a command is enabled only once its area gives it a handler
// (SetCommandHandler).
#pragma once

#include "app/DocumentHost.h"
#include "app/core/EditorSettings.h"
#include "app/core/MainFormDisplays.h"
#include "dialogs/core/ExportSettings.h"
#include "platform/Messages.h"
#include "platform/Timer.h"
#include "platform/UiServices.h"
#include "scene/SpriteU.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QDockWidget;
class QKeySequence;
class QLabel;
class QMdiArea;
class QMenu;
class QSplitter;
class QStackedWidget;
class QToolBar;
class QToolButton;
class QTreeWidget;
class TAnimatedScene;
class TCanvas;
class TFirstFlashForm;
class TStatusProgressPanel;
class TDigitalDisplay;
class TTimelineSlider;
class TURL;

class TMainForm : public QMainWindow, public TDocumentHost, public TSceneOwner {
  Q_OBJECT

 public:
  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

  // =============================================================================================
  // Creation, showing and closing (MainFormU.cpp)
  // =============================================================================================

  // Runs from the constructor: builds the window and its commands, shows the
  // splash form, creates the placeholder scene, registers the clipboard
  // format and fills the presets menu.
  void FormCreate();
  // Runs when the window is first shown: centres it, loads the settings,
  // warns about a low-colour display, starts the deferred start, registers
  // the project file type, follows the clipboard and opens the first document.
  void FormShow();
  // Runs once when the window closes after every document closed: stops the
  // scene, saves the settings. Errors are swallowed so closing completes.
  void FormClose();
  // The Esc character sets the cancel flag (the window previews every key).
  void FormKeyPress(char& Key);
  // Sets the window's caption and the application's title to the product name.
  void UpdateMainCaption();
  // Status panel 0 shows the hint of the command or control under the pointer.
  void AppHint(const std::string& hint);

  // The window's message handle (messages 1002, 1003 and 1006 come here).
  HWND Handle() const override { return handle_->Handle(); }
  // Handles one message posted or sent to the window.
  void WndProc(TMessage& message);

  // The command line's first argument, opened by the deferred start
  // (ParamStr(1); empty for none).
  std::string StartupFileArgument;

  // ---- The deferred start and the upgrade check ----
  TTimer TimerStart;           // 1000 ms, once after FormShow
  TTimer TimerRunCheckUpdate;  // 60000 ms, once after the deferred start
  void TimerStartTimer();
  void TimerRunCheckUpdateTimer();

  // ---- Progress (status panel 2) ----
  TTimer HideProgressTimer;  // 10000 ms after the last report: clears the cancel flag
  // Shows done of total (message 1001 and every long operation): 0 starts
  // the display, total hides it. While it runs the pending events, only Esc
  // and painting reach the program.
  void ShowProgress(int done, int total) override;
  void HideProgressTimerTimer();
  // Owner drawing of status panel 2 into its picture.
  void StatusBar1DrawPanel(TCanvas& canvas, const TRect& panel);
  // The percentage shown in status panel 2; -1 while nothing shows.
  std::int32_t ProgressPercent = -1;

  // ---- Scene recompute and steps shown ----
  // Posts message 1002 to the window: after a model change, the current
  // step is recomputed and redrawn once the present handler returns.
  void RequestSceneRecompute() override;
  void WMRecomputeScene();                        // 1002
  void WMStepChanged(WPARAM wParam, LPARAM lParam);  // 1006
  // Measures the playback speed shown in StepPerSecond.
  TStepSpeedMeter StepSpeed;

  // ---- Clipboard ----
  // The private clipboard format, named after the newest project signature
  // (0 when it could not be registered).
  UINT ClipboardFormat = 0;
  // The clipboard changed: the paste commands follow what it holds.
  void WMDrawClipboard();
  void WMChangeCBChain() { WMDrawClipboard(); }

  // ---- Help menu ----
  void Contents1Click();
  void CreateGIFbanner1Click();
  void FrequentlyAskedQuestions1Click();
  void ReadMe1Click();
  void LicenseAgreement1Click();
  void ZorvanSoftwareHomePage1Click();
  void Scene_CheckForUpgradeNowExecute();
  void Exit1Click();
  void Help_AboutExecute();
  void File_ExitExecute();
  // The hidden link field that hands texts and addresses to the shell.
  TURL* TmpURL = nullptr;

  // ---- Editing state ----
  // The scene shown while no document is active; never composes (locked).
  TAnimatedScene* PlaceholderScene() const { return placeholderScene_.get(); }
  // The active document's scene, or the placeholder scene.
  TAnimatedScene* CurrentScene = nullptr;
  // The splash form, from FormCreate to the first tick of TimerStart.
  TFirstFlashForm* SplashForm() const { return splash_.get(); }

  // ---- The 3D text page's lists, filled here; the 3D text area places them ----
  QComboBox* ComboBoxDepth = nullptr;  // "0", "0.01" ... "0.09", "0.1" ... "3" (40 items)
  QComboBox* ComboBoxSize = nullptr;   // "1" ... "70"

  // =============================================================================================
  // Settings, recent files, dialog folders, Options (MainFormSettings.cpp)
  // =============================================================================================

  // Every setting kept while the program runs (read by LoadSettings in
  // FormShow, written by SaveSettings in FormClose).
  TEditorSettings UserSettings;
  // The presets folder (not a setting).
  std::string PresetsFolder;
  TRecentFiles RecentFiles;
  // Set when the display has 8 bits per pixel or fewer.
  bool LowColorDisplay = false;

  void LoadSettings();
  void SaveSettings();
  // Puts a file on top of the recent list (an empty name only trims) and
  // rebuilds its menu items.
  void AddRecentFile(const std::string& fileName) override;
  void SetDialogFolders();
  // The Options command: the options dialog, then its values applied.
  void Tools_OptionsExecute();
  // Starts the upgrade helper when checking is on; false (and checking off)
  // when it cannot be started.
  bool RunUpgradeCheck();
  // The dialog font applied to every window; the digit displays' colour.
  void ApplyDialogFont();
  void ApplyDigitalDisplayColor();
  // The autosave timer follows "Autosave" and "AutosaveInterval".
  void ApplyAutosave();
  // The file dialogs: their filters, file names and initial folders.
  FileDialogRequest OpenDialog1;        // projects
  FileDialogRequest SaveDialog;         // projects and pictures
  FileDialogRequest OpenFrameDlg;       // pictures of frames and backgrounds
  FileDialogRequest SaveGIFDialog;      // export and bitmap copies
  FileDialogRequest OpenExportDialog;   // import
  FileDialogRequest OpenTextureDialog;  // 3D text textures

  // =============================================================================================
  // The command set (MainFormActions.cpp): every command of the editor, by
  // its design name. Commands of areas not built yet are disabled and do
  // nothing until their area connects them.
  // =============================================================================================

  // File
  QAction* File_New = nullptr;
  QAction* File_NewFromTemplate = nullptr;
  QAction* File_Open = nullptr;
  QAction* File_Save = nullptr;
  QAction* File_Save_As = nullptr;
  QAction* File_Import = nullptr;
  QAction* File_Export = nullptr;
  QAction* File_Exit = nullptr;
  // Edit (Edit_Undo() is below, with what the documents need)
  QAction* Edit_Cut = nullptr;
  QAction* Edit_Copy = nullptr;
  QAction* Edit_Paste = nullptr;
  QAction* Edit_PasteAsNewSprite = nullptr;
  QAction* Scene_Delete_Something = nullptr;
  QAction* Scene_Up_Something = nullptr;
  QAction* Scene_Down_Something = nullptr;
  QAction* Tools_Options = nullptr;
  // Insert
  QAction* Scene_Add_Image = nullptr;
  QAction* Scene_Add_3DText = nullptr;
  QAction* Scene_Add_Rectangle = nullptr;
  QAction* Scene_Add_Ellipse = nullptr;
  QAction* Scene_Add_Line = nullptr;
  // Sprite
  QAction* Sprite_Add_Image = nullptr;
  QAction* Sprite_Add_3DText = nullptr;
  QAction* Sprite_Add_Rectangle = nullptr;
  QAction* Sprite_Add_Ellipse = nullptr;
  QAction* Sprite_Add_Line = nullptr;
  QAction* Sprite_Delete = nullptr;
  QAction* Sprite_Move_Up = nullptr;
  QAction* Sprite_Move_Down = nullptr;
  QAction* Scene_MovetoFrontOfAllSprites = nullptr;
  QAction* Scene_MoveToBackOfAllSprites = nullptr;
  QAction* Sprite_Flip_Hor = nullptr;
  QAction* Sprite_Flip_Vert = nullptr;
  QAction* Effects_90Clockwise = nullptr;
  QAction* Effects_90CounterClockwise = nullptr;
  QAction* Effects_180Rotation = nullptr;
  QAction* Effects_CustomRotation = nullptr;
  QAction* Effects_Resize = nullptr;
  // Frames of the current sprite
  QAction* Frame_Up = nullptr;
  QAction* Frame_Down = nullptr;
  QAction* Sprite_Delete_Frame = nullptr;
  QAction* Frame_CopyAsBMP = nullptr;
  QAction* Frame_CopyAsBMP_To = nullptr;
  QAction* Sprite_PickTransparentColor = nullptr;
  QAction* Sprite_SetTransparencyToAllFrames = nullptr;
  QAction* Sprite_SetDurationToAllFrames = nullptr;
  // The twenty effects, by effect index: Scene_Apperture_Effect ... Scene_GammaCorr_Effect.
  std::array<QAction*, 20> EffectCommands{};
  // Motion and appearance of the current sprite
  QAction* Motion_Add = nullptr;
  QAction* Motion_AddLinear = nullptr;
  QAction* Motion_AddFixed = nullptr;
  QAction* Motion_AddFromGallery = nullptr;
  QAction* Motion_Linear = nullptr;
  QAction* Motion_Fixed = nullptr;
  QAction* Motion_Edit = nullptr;
  QAction* Motion_Delete = nullptr;
  QAction* Motion_Up = nullptr;
  QAction* Motion_Down = nullptr;
  QAction* Appearance_Add = nullptr;
  QAction* Appearance_Delete = nullptr;
  // Scene
  QAction* Veiw_400x40 = nullptr;
  QAction* View_400x50 = nullptr;
  QAction* View_468x60 = nullptr;
  QAction* View_88x31 = nullptr;
  QAction* View_Custom = nullptr;
  QAction* Scene_Open_Background = nullptr;
  QAction* Scene_Paste_Background = nullptr;
  QAction* Scene_BackgroundCopy = nullptr;
  QAction* Scene_BackgroundCopyTo = nullptr;
  QAction* Scene_SceneImageCopy = nullptr;
  QAction* Scene_SceneImageCopyTo = nullptr;
  // Movie
  QAction* Movie_Play = nullptr;  // the play button AnimateBtn (checked = playing)
  QAction* Movie_Play_Command = nullptr;
  QAction* Movie_Stop = nullptr;
  QAction* Movie_FirstStep = nullptr;
  QAction* Movie_BackOneStep = nullptr;
  QAction* Movie_NextFrame = nullptr;
  QAction* Movie_LastStep = nullptr;
  QAction* View_Set_Step = nullptr;
  // Window
  QAction* Show_Properties_Window = nullptr;
  QAction* Show_Insert_Delete_Buttons = nullptr;
  QAction* Show_MainButtons = nullptr;
  QAction* Show_TimeLine = nullptr;
  QAction* Window_Cascade = nullptr;
  QAction* Window_Tile_Horizontal = nullptr;
  QAction* Window_Tile_Vertical = nullptr;
  // Help
  QAction* Contents1 = nullptr;
  QAction* CreateGIFbanner1 = nullptr;
  QAction* FrequentlyAskedQuestions1 = nullptr;
  QAction* ReadMe1 = nullptr;
  QAction* LicenseAgreement1 = nullptr;
  QAction* ZorvanSoftwareHomePage1 = nullptr;
  QAction* Checknewversion1 = nullptr;  // checked = upgrade checking on
  QAction* Scene_CheckForUpgradeNow = nullptr;
  QAction* Help_About = nullptr;
  // Commands of the 3D text page (on the page's own tool bars)
  QAction* Font_FontDialog = nullptr;
  QAction* Texture_Open = nullptr;
  QAction* Texture_Paste = nullptr;
  QAction* Text3D_Animation_Play = nullptr;
  QAction* Text3D_Animation_Stop = nullptr;
  QAction* Text3D_Animation_First = nullptr;
  QAction* Text3D_Animation_Prev = nullptr;
  QAction* Text3D_Animation_Next = nullptr;
  QAction* Text3D_Animation_Last = nullptr;

  // Menus of the menu bar and their sub-menus.
  QMenu* File1 = nullptr;
  QMenu* Edit1 = nullptr;
  QMenu* Insert1 = nullptr;
  QMenu* Presets1 = nullptr;
  QMenu* Sprite1 = nullptr;
  QMenu* Frame1 = nullptr;
  QMenu* Rotate1 = nullptr;
  QMenu* Effects1 = nullptr;
  QMenu* Motion1 = nullptr;
  QMenu* Appearance1 = nullptr;
  QMenu* Scene1 = nullptr;
  QMenu* Size1 = nullptr;
  QMenu* Background1 = nullptr;
  QMenu* SceneImage1 = nullptr;
  QMenu* Movie1 = nullptr;
  QMenu* Window1 = nullptr;
  QMenu* Help1 = nullptr;
  // The recent-files items LO1 ... LO9 (their data is the entry's index)
  // and the separator above them.
  std::array<QAction*, 9> LastOpenedItems{};
  QAction* LOSeparator = nullptr;
  // The pop-up menus of the adding tool buttons.
  QMenu* PopupMenu_Add_Image = nullptr;
  QMenu* PopupMenu_Add3dText = nullptr;
  QMenu* PopupMenu_AddRectangle = nullptr;
  QMenu* PopupMenu_AddEllipse = nullptr;
  QMenu* PopupMenu_AddLine = nullptr;
  QMenu* PopupMenu_AddMotion = nullptr;
  // The three tool bars ("Main Buttons", "Time Line", "Insert/Delete Buttons").
  QToolBar* ToolBarMainButtons = nullptr;
  QToolBar* ToolBarTimeLine = nullptr;
  QToolBar* ToolBar_Sprite_Buttons = nullptr;
  QToolButton* AnimateBtn = nullptr;  // Movie_Play
  QToolButton* NextBtn = nullptr;     // Movie_NextFrame
  QToolButton* ToolButton_Add_Image = nullptr;
  QToolButton* ToolButton_Add3DText = nullptr;
  QToolButton* ToolButton_Add_Rect = nullptr;
  QToolButton* ToolButton_Ellipse = nullptr;
  QToolButton* ToolButton_Add_Line = nullptr;

  // Connects a command to its handler (its Execute). Only a command with a
  // handler is ever enabled: commands of areas not built yet stay disabled.
  void SetCommandHandler(QAction* command, std::function<void()> handler);
  bool HasCommandHandler(QAction* command) const;
  // Enables or disables a command; a command without a handler stays disabled.
  void EnableCommand(QAction* command, bool enabled);
  // The action of a design name (nullptr for an unknown name).
  QAction* ActionByName(const std::string& name) const;
  // Every command of the editor, in the order they were made.
  const std::vector<QAction*>& Commands() const { return commands_; }
  // Lists the open documents at the end of the window menu (before it shows).
  void RefreshWindowList();

  // =============================================================================================
  // Window layout (MainFormLayout.cpp): the panels later areas fill.
  // =============================================================================================

  QMdiArea* MdiArea = nullptr;
  // The properties panel ("Properties: ..."), docked at the right: the scene
  // tree panel above, the property pages below.
  QDockWidget* PanelProperties = nullptr;
  QSplitter* Splitter_Properties = nullptr;
  // The panel that holds the form's own tree and every document's tree is
  // Panel_TreeView(), below with what the documents need.
  // The form's own tree, shown while no document is active.
  QTreeWidget* AnimationTree = nullptr;
  // The property pages: 0 "Scene", 1 "Sprite", 2 "Frame", 3 "Motion",
  // 4 "Appearance", 5 "Background", 6 "Empty"; each an empty container
  // with a vertical layout that its area fills.
  enum TPropertyPage : int {
    ppScene = 0, ppSprite = 1, ppFrame = 2, ppMotion = 3, ppAppearance = 4, ppBackground = 5, ppEmpty = 6
  };
  QStackedWidget* Notebook_Properties = nullptr;
  QWidget* PropertyPage(int index) const;
  // On the frame page: 0 picture, 1 text, 2 shape, 3 line.
  QStackedWidget* NotebookFramePreview = nullptr;
  // On the motion page: 0 motion, 1 opacity, 2 shadow.
  QStackedWidget* Notebook_Size_Opacity = nullptr;
  // The time line's step display, speed display and slider.
  TDigitalDisplay* CurrentStep = nullptr;
  TDigitalDisplay* StepPerSecond = nullptr;
  TTimelineSlider* StepsTrackBar = nullptr;
  // The status bar: 0 hints, 1 the pointer's place on the canvas, 2 progress.
  QLabel* StatusPanel0 = nullptr;
  QLabel* StatusPanel1 = nullptr;
  TStatusProgressPanel* StatusPanel2 = nullptr;
  // Sets the text of a status panel (0 or 1).
  void SetStatusText(int panel, const std::string& text);

  // =============================================================================================
  // Documents (MainFormDocuments.cpp): the active document and what a
  // document window needs from its host. The host's operations that belong
  // to a later area are declared in that area's section.
  // =============================================================================================

  const TDocumentSettings& Settings() const override;
  TAnimationWindow* ActiveAnimationWindow() const override { return activeWindow_; }
  // The play button's state (AnimateBtn, the checked Movie_Play).
  bool PlayButtonDown() const override;
  void SetPlayButtonDown(bool down) override;
  QWidget* Panel_TreeView() override { return panelTreeView_; }
  QAction* Edit_Undo() override { return editUndo_; }
  void StepChanged(WPARAM wParam, LPARAM lParam) override { WMStepChanged(wParam, lParam); }
  void ShowStatusText(int panel, const std::string& text) override { SetStatusText(panel, text); }
  // Opens the command line's file into the active document (errors shown there).
  void OpenStartupFile(const std::string& fileName);
  // The active document's picture shows the step just composed.
  void RefreshDocumentPicture();
  // Undo recording and the anti-alias flag of every open document follow the settings.
  void ApplyUndoAndResampling();

  // =============================================================================================
  // Scene tree, command states, file commands and window layout commands
  // (MainFormTree.cpp)
  // =============================================================================================

  // Builds the area's parts and connects its commands (end of FormCreate),
  // and lays out the docked bars when the window is first shown.
  void FormCreateTree();
  void FormShowTree();
  TTimer AutosaveTimer;  // "AutosaveInterval" minutes while "Autosave" is on
  void AutosaveTimerTimer();
  // A new, empty "Untitled" document (MainFormDocuments.cpp).
  void File_NewExecute();
  void RefreshCommandStates() override;
  // The document host's tree and editing state.
  void SetActiveAnimationWindow(TAnimationWindow* window) override;
  TSprite* CurrentSprite() override;
  TFrame* CurrentFrame() override;
  void DetachCurrentSprite() override;
  void AttachTree(QTreeWidget& tree) override;
  void RebuildAnimationTree() override;
  void SelectTreeNode(int spriteIndex, int nodeKind) override;
  void ClearTreeChangeRunning() override;
  void ShowPropertiesPanel() override;
  QMenu* SpritePopupMenu() override;
  QMenu* ScenePopUpMenu() override;
  void DropFiles(const std::vector<std::string>& fileNames, TPoint scenePoint, bool addAsSprite) override;

  // =============================================================================================
  // Playback, time line and the scene, sprite, frame, motion, appearance
  // and background pages (MainFormPages.cpp)
  // =============================================================================================

  void FormCreatePages();
  TTimer SetStepTimer;      // 500 ms after the last slider move
  TTimer TimerRedraw;       // 200 ms after the last motion edit
  TTimer TimerRedrawScene;  // 300 ms after the last appearance edit
  void SetStepTimerTimer();
  void TimerRedrawTimer();
  // Runs the recompute of message 1002 at once (MainFormU.cpp).
  void TimerRedrawSceneTimer();
  void Movie_StopExecute();
  void Movie_FirstStepExecute() override;
  bool MotionTimerRunning() const override;
  bool FinishEqualsStart() const override;
  void PrepareMotionPageReload() override;
  void RefreshMotionPage() override;
  void ShowStepCount(int steps) override;
  void ShowLoopCount(int loops) override;
  void ShowSceneSize(int width, int height) override;
  // Each step shown marks the appearance and the motion step it is in.
  void MarkCurrentAppearance();
  void MarkCurrentMotionStep();
  // Set while a step was reached by hand, so no motion row is selected.
  bool SteppedByHand = false;

  // =============================================================================================
  // Added sprites and frames; shape, line and plain-text pages
  // (MainFormShapes.cpp)
  // =============================================================================================

  void FormCreateShapes();
  TTimer TimerRedrawShape;  // 200 ms after the last shape edit
  TTimer TimerRedrawLine;   // 200 ms after the last line edit
  void TimerRedrawShapeTimer();
  void TimerRedrawLineTimer();
  void WMItemAdded(WPARAM wParam, LPARAM lParam);  // 1003
  void RefreshShapePage() override;

  // =============================================================================================
  // 3D text editor, lights and the 3D animation preview (MainForm3DText.cpp)
  // =============================================================================================

  void FormCreate3DText();
  // Lays out the 3D editor's view when the window is first shown.
  void FormShow3DText();
  // At the end of the first show: the properties panel's minimum width (and
  // width) becomes what the 3D text page needs.
  void FitPropertiesPanelToTextPage();
  TTimer Timer_3D_Changed;   // 200 ms after the last 3D text edit
  TTimer TimerLightsRedraw;  // 30 ms while a light is dragged
  TTimer ZoomTimer;          // 100 ms while a size button is held on the view
  TTimer Timer3DAnimation;   // 50 ms, then the frame's duration x the step time
  void Timer_3D_ChangedTimer();
  void TimerLightsRedrawTimer();
  void ZoomTimerTimer();
  void Timer3DAnimationTimer();

  // =============================================================================================
  // Effect and transform commands, the clipboard (MainFormEffects.cpp)
  // =============================================================================================

  void FormCreateEffects();

  // =============================================================================================
  // The export command and the export wizard (MainFormExport.cpp)
  // =============================================================================================

  void FormCreateExport();
  // Ctrl+E: the "Export" save dialog for the current scene, then the wizard.
  void File_ExportExecute();
  // Exports the active scene to a file in a format (1 GIF, 2 BMP, 3 AVI, 4 JPEG).
  void ExportAnimation(const std::string& fileName, int format) override;
  // The export choices kept from one export to the next while the program runs.
  TExportSettings ExportSettings;

  // =============================================================================================
  // Galleries, presets, templates and the remaining scene commands
  // (MainFormScene.cpp)
  // =============================================================================================

  void FormCreateScene();
  // Adds the preset picture of a Presets menu item as a new sprite. Each
  // item is named after its file and carries its picture's mask colour in
  // the property kMaskColorProperty.
  void InsertPreset(QAction* item);
  static constexpr const char* kMaskColorProperty = "MaskColor";
  static constexpr int kPresetIconSize = 18;
  void File_NewFromTemplateExecute();
  // The upgrade-check switch (Checknewversion1); Check for Upgrade Now
  // (MainFormU.cpp) unticks the switch and runs this.
  void Checknewversion1Click();
  // Opens the recent-files entry of an index (LO1 ... LO9).
  void OpenRecent(int index);
  void Sprite_DeleteExecute() override;

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // Parts of FormCreate.
  QAction* MakeCommand(const char* name, const char* caption, const char* hint, const QKeySequence& shortcut,
                       bool checkable);
  void CreateCommands();
  void AddTimeLineControls();
  void CreateMenus();
  void CreateToolBars();
  void CreatePanels();
  void CreateStatusBar();
  void CreateTimers();
  void Create3DTextLists();
  void CreatePresetsMenu();
  void AddPresetItem(const std::string& fileName, const TBitmap& picture, bool keepKey);
  // Parts of FormShow.
  void CheckDisplayColors();
  void RegisterFileType();
  void RebuildRecentFilesMenu();
  // The placement the window has now, for SaveSettings.
  TWindowPlacement CurrentPlacement() const;
  void ApplyPlacement(const TWindowPlacement& placement);

  std::unique_ptr<TWindowHandle> handle_;
  QAction* editUndo_ = nullptr;
  QWidget* panelTreeView_ = nullptr;
  TAnimationWindow* activeWindow_ = nullptr;
  mutable TDocumentSettings documentSettings_;
  std::unique_ptr<TAnimatedScene> placeholderScene_;
  std::unique_ptr<TFirstFlashForm> splash_;
  std::vector<QAction*> commands_;
  std::vector<QAction*> windowListItems_;
  std::set<QAction*> handled_;
  std::vector<QWidget*> propertyPages_;
  bool shown_ = false;
  bool closed_ = false;
};

// The one main window of the running program (none before it is created).
extern TMainForm* MainForm;
