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
#include "app/MainFormArea.h"
#include "app/core/AddCommands.h"
#include "app/core/EditorSettings.h"
#include "app/core/MainFormDisplays.h"
#include "dialogs/core/ExportSettings.h"
#include "platform/Keyboard.h"
#include "platform/Messages.h"
#include "platform/Timer.h"
#include "platform/UiServices.h"
#include "scene/SpriteU.h"
#include "scene/Text3DFrame.h"

#include <QIcon>
#include <QMainWindow>

#include <array>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;
class QScrollArea;
class TImage;
class TMovingStep;
class TMoving;
class TSpinEdit;
class TStartAndFinish;
class TTrackBar;
class QComboBox;
class QPushButton;
class QDockWidget;
class QKeySequence;
class QLabel;
class QScrollBar;
class QMdiArea;
class QMenu;
class QSplitter;
class QStackedWidget;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class TUndo;
class TAnimatedScene;
class TBitmapButton;
class TAnimationPicker;
class TCanvas;
class TColorPicker;
class TmKnob;
struct TText2DParams;
class TWPopOutFntCBox;
class TFirstFlashForm;
class TStatusProgressPanel;
class TStretchForm;
class TDigitalDisplay;
class TTimelineSlider;
class TURL;
struct T3DEditorControls;
struct TAddedItem;

class TMainForm : public QMainWindow, public TDocumentHost, public TSceneOwner, public TMainFormContext {
  Q_OBJECT

 public:
  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

  // ---- The areas of the window and what they share (MainFormArea.h) ----
  QMainWindow& Window() override { return *this; }
  TCommandSet& Commands() override { return *commands_; }
  TCommandSet& Commands() const { return *commands_; }
  TLayoutArea& Layout() override { return *layout_; }
  TLayoutArea& Layout() const { return *layout_; }
  TSettingsArea& SettingsArea() override { return *settingsArea_; }
  TTreeArea& Tree() override { return *tree_; }
  TFilesArea& Files() override { return *files_; }
  TPlaybackArea& Playback() override { return *playback_; }
  TFramePagesArea& FramePages() override { return *framePages_; }
  TMotionArea& Motion() override { return *motion_; }
  TShapesArea& Shapes() override { return *shapes_; }
  TText3DArea& Text3DEditor() override { return *text3DEditor_; }
  TEffectsArea& Effects() override { return *effects_; }
  TGalleriesArea& Galleries() override { return *galleries_; }
  TMainForm& Form() override { return *this; }
  void SetUpTimer(TTimer& timer, int interval, std::function<void()> tick) override;

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
  TAnimatedScene* CurrentScene() const override { return currentScene_; }
  void SetCurrentScene(TAnimatedScene* scene) { currentScene_ = scene; }
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
  TEditorSettings& UserSettings() override { return userSettings_; }
  // Set when the display has 8 bits per pixel or fewer.
  bool LowColorDisplay = false;
  void AddRecentFile(const std::string& fileName) override;


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
  QWidget* Panel_TreeView() override;
  QAction* Edit_Undo() override;
  void StepChanged(WPARAM wParam, LPARAM lParam) override { WMStepChanged(wParam, lParam); }
  void ShowStatusText(int panel, const std::string& text) override;
  // The barrier of every entry (MainFormActions.cpp): commands, timer ticks,
  // drops and clipboard changes run through it. An escaped exception is
  // shown in the error box; when no other entry is running around it, the
  // guards the failed handler left set are cleared and the command states
  // refreshed, so the document stays editable.
  void RunEntry(const std::function<void()>& entry) override;
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

  // ---- The active document (MainFormTree.cpp) ----
  void SetActiveAnimationWindow(TAnimationWindow* window) override;
  // Attaches a document's undo log (nullptr: none) and sets the Undo command from it.
  void SetUndoObject(TUndo* undo);
  void Edit_UndoExecute();

  // ---- The scene tree ----
  // The node kinds: each node's image index in ImageList_Tree.
  enum TTreeNodeKind : int {
    nkScene = 0, nkSprite = 1, nkBackground = 2, nkPictureFrame = 3, nkTextFrame = 4, nkMotion = 5,
    nkAppearance = 6, nkUnused = 7, nkRectangleFrame = 8, nkEllipseFrame = 9, nkLineFrame = 10, nkOpacity = 11,
    nkShadow = 12
  };
  // The node pictures, by node kind (13 small pictures drawn in code).
  std::vector<QIcon> ImageList_Tree;
  // The kind of a node (-1 for none).
  static int NodeKind(const QTreeWidgetItem* node);
  static bool IsFrameNode(int kind);
  // The tree shown: the active document's tree or the form's own.
  QTreeWidget* ShownTree() const;
  // Set while AnimationTreeChange runs and while a sprite or frame is being
  // added, so that selecting nodes does not reload the pages meanwhile.
  bool TreeChangeRunning = false;
  void RebuildAnimationTree() override;
  // Adds a sprite's node with its children after the last sibling of node
  // (append) or before node; returns it.
  QTreeWidgetItem* AddSpriteNode(TSprite* sprite, QTreeWidgetItem* node, bool append);
  // Adds a frame's node as the last child of a sprite node.
  QTreeWidgetItem* AddFrameNode(TFrame* frame, QTreeWidgetItem* spriteNode);
  // The sprite a sprite node shows (nullptr: none).
  TSprite* SpriteOfTreeNode(QTreeWidgetItem* node);
  // The node of a sprite; the root for nullptr; nullptr when not found.
  QTreeWidgetItem* TreeNodeOfSprite(TSprite* sprite);
  // The current sprite: always a sprite of the active scene's list, or nullptr.
  TSprite* CurrentSprite() override;
  TFrame* CurrentFrame() override;
  // Makes a sprite current (nullptr: no current sprite).
  void SetCurrentSprite(TSprite* sprite);
  void DetachCurrentSprite() override;
  // spriteIndex < 0 selects the root; else the sprite (clamped) becomes
  // current and its node of the kind is selected (1 the sprite, 2 its first
  // frame, 3 its motion, 4 its appearance).
  void SelectTreeNode(int spriteIndex, int nodeKind) override;
  // frameIndex < 0 selects the root; else the current sprite's frame (clamped).
  void SelectFrameNode(int frameIndex);
  void ClearTreeChangeRunning() override;
  void AttachTree(QTreeWidget& tree) override;
  // The selection changed (also called after model changes): the page of the
  // selected node is shown and filled.
  void AnimationTreeChange();
  // In-place editing: only sprite nodes; the edited text names the sprite.
  bool AnimationTreeEditing(QTreeWidgetItem* node);
  void AnimationTreeEdited(QTreeWidgetItem* node);
  void AnimationTreeDblClick();
  // Every command's enabled state from the active document and the selection.
  void RefreshCommandStates() override;

  // ---- Delete, Up and Down of the tree (MainFormTreeCommands.cpp) ----
  void Scene_Delete_SomethingExecute();
  void Scene_Up_SomethingExecute();
  void Scene_Down_SomethingExecute();
  void Sprite_Move_UpExecute();
  void Sprite_Move_DownExecute();
  void Frame_UpExecute();
  void Frame_DownExecute();
  // Deletes the current sprite's current frame (the Delete Frame command).
  void Sprite_Delete_FrameExecute();

  // ---- Files, drops and the window layout (MainFormTreeFiles.cpp) ----
  // A new, empty "Untitled" document (MainFormDocuments.cpp).
  void File_NewExecute();
  void File_Open_Execute();
  void OpenInNewDocument(const std::string& fileName);
  void File_SaveExecute();
  TTimer AutosaveTimer;  // "AutosaveInterval" minutes while "Autosave" is on
  void AutosaveTimerTimer();
  // Files dropped on the main window itself: only a project opens.
  void WMDropFiles(const std::vector<std::string>& fileNames);
  void DropFiles(const std::vector<std::string>& fileNames, TPoint scenePoint, bool addAsSprite) override;
  void Window_Tile_HorizontalExecute();
  void Window_Tile_VerticalExecute();
  void Window_CascadeExecute();
  // The documents' entries at the end of the Window menu (checked: active).
  std::vector<QAction*> WindowListItems;
  void RebuildWindowList();
  // Docking: which area takes which bar, and the bars' sizes when docked.
  bool CoolBarTopMainDockOver(QWidget* control) const;
  bool CoolBarLeftDockOver(QWidget* control) const;
  bool CoolBarRightDockOver(QWidget* control) const;
  void ToolBarMainButtonsEndDock(QToolBar* bar);
  void PanelPropertiesEndDock();
  QToolButton* DockPropertiesButton = nullptr;      // down: the panel is docked
  QToolButton* ToolButton_CloseProperties = nullptr;
  void DockPropertiesButtonClick();
  void Show_Properties_WindowExecute();
  void Show_Insert_Delete_ButtonsExecute();
  void Show_MainButtonsExecute();
  void Show_TimeLineExecute();
  void ToolButton_ClosePropertiesClick();
  void ShowPropertiesPanel() override;
  // Dragging the properties panel's edge: the docked panel takes the
  // proposed width, never less than its minimum (newSize is corrected).
  void Splitter_PropertiesCanResize(int& newSize);
  // The size each tool bar had when it was made (its length along the bar:
  // the width of the top bars, the height of the left one); a docked bar
  // is never shorter, and never thicker than one row of its buttons.
  static int ToolBarDockedSize(const QToolBar* bar);

  // ---- Right-click menus (MainFormTreeMenus.cpp) ----
  // The selection box's menu (the current sprite's commands), the canvas's
  // menu (new sprites, paste, the scene's settings) and the tree's menu
  // (the commands of the selected node, refilled each time it opens).
  QMenu* SpritePopupMenu() override { return spritePopupMenu_; }
  QMenu* ScenePopUpMenu() override { return scenePopUpMenu_; }
  QMenu* AnimationTree_PopupMenu = nullptr;
  void AnimationTree_PopupMenuPopup();
  // The Del key on a tree: Scene_Delete_Something, the key consumed.
  void AnimationTreeKeyDown(int& key);

  // The page fillers AnimationTreeChange calls are declared with the pages that they fill.

 private:
  QTreeWidgetItem* MakeNode(int kind, const QString& text);
  void OpenOrAddDroppedFiles(const std::vector<std::string>& fileNames, TPoint scenePoint, bool addAsSprite);
  void WireTree(QTreeWidget& tree);
  void FormCreateTreeFiles();
  void DeleteCurrentFrameNode();
  QTreeWidgetItem* NthSpriteNodeFromBottom(int k) const;
  std::vector<QTreeWidgetItem*> SpriteNodes() const;
  void ShowSpriteOfNode(QTreeWidgetItem* node);
  void SwitchToPage(QTreeWidgetItem* node);
  void EnableCommands(std::initializer_list<QAction*> commands, bool enabled);
  void ClearAppearanceOfCurrentSprite();
  void PlaceToolBar(QToolBar* bar, Qt::ToolBarArea area);
  void CreatePopupMenus();
  QAction* windowListSeparator_ = nullptr;
  TSprite* currentSprite_ = nullptr;
  std::unique_ptr<QObject> mainDropFilter_;
  std::unique_ptr<QObject> treeKeyFilter_;
  QMenu* spritePopupMenu_ = nullptr;
  QMenu* scenePopUpMenu_ = nullptr;

 public:

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

  // Parts of FormCreatePages: each builds its pages and connects its commands.
  void CreatePlaybackAndScenePage();
  void CreateSpriteFrameBackgroundPages();
  void CreateMotionAndAppearancePages();

  // ---- Playback and stepping (MainFormPlayback.cpp) ----
  void Movie_Play_Execute();
  void Movie_Play_CommandExecute();
  void Movie_NextFrameExecute();
  void Movie_BackOneStepExecute();
  void Movie_LastStepExecute();
  void View_Set_StepExecute();
  // The custom size command: the animation size dialog, then the canvas takes its size.
  void View_CustomExecute();
  // The anti-alias flag of the scene for the play state (stopped / playing).
  void ApplyPlaybackResampling(bool playing);

  // ---- The time line (MainFormPlayback.cpp) ----
  void StepsTrackBarChange();
  void StepsTrackBarMouseDown();
  void StepsTrackBarMouseUp();
  void StepsTrackBarChanged();
  void StepsTrackBarTimelineListChanged(int index);
  // A bar drag on the time line in progress (its snapshot taken at the press).
  bool AppearanceDragPending() const { return appearanceDrag_ != nullptr; }

  // ---- The scene page (MainFormPlayback.cpp) ----
  TSpinEdit* WidthPixels = nullptr;             // 1 to 65000
  TSpinEdit* HeightPixels = nullptr;            // 1 to 65000
  TSpinEdit* SpinEditNumberOfFrames = nullptr;  // 1 to 100000
  TSpinEdit* StepsPerSecSpin = nullptr;         // 1 to 30
  QComboBox* LoopingComboBox = nullptr;
  QPlainTextEdit* GifCommentMemo = nullptr;
  void LoadScenePage();
  void NumbOfStepsSpinChange();
  void StepsPerSecSpinChange();
  void LoopingComboBoxChange();
  // WidthPixels or HeightPixels changed: the size waits for the pause after
  // the last change (TimerSceneSize), so a burst of typing applies one size.
  void SceneSizeChange();
  TTimer TimerSceneSize;  // 200 ms after the last size edit
  // Applies the typed size to the document it was typed for; a size the
  // project reader refuses is refused once and the page shows the real size.
  void TimerSceneSizeTimer();
  void GifCommentMemoChange();
  void N400x40pixels1Click();
  void N400x50pixels2Click();
  void N486x60pixels1Click();
  // Set while the scene page is filled from the model.
  bool FillingScenePage = false;

 private:
  // The appearance snapshot of a press on the time line and the pause of
  // recording for the drag: state of the active document, dropped (its
  // pause ended while the document's undo log still exists) when another
  // document becomes active or the document closes.
  struct TAppearanceDrag;
  struct TAppearanceDragDeleter {
    void operator()(TAppearanceDrag* drag) const;
  };
  std::unique_ptr<TAppearanceDrag, TAppearanceDragDeleter> appearanceDrag_;
  // The scene a pending size edit was typed for (null: none waits).
  const TAnimatedScene* sceneSizeScene_ = nullptr;
  // Parts of switching documents: what the old one's pages still owe it.
  void FinishDocumentEdits(bool documentCloses);

 public:

  // ---- The sprite, frame and background pages (MainFormPages.cpp) ----
  QLineEdit* Edit_SpriteName = nullptr;
  QCheckBox* TransparencyCheckBox = nullptr;
  QToolButton* ImageColorPanel = nullptr;
  TSpinEdit* StepsPerFrameEdit = nullptr;  // 1 to 100000
  QToolButton* ToolButton_PickUpColor = nullptr;
  QScrollArea* PreviewScrollBox = nullptr;
  TImage* NativeImage = nullptr;
  QCheckBox* PictureCheckBox = nullptr;
  QLineEdit* FileNameEdit = nullptr;
  QCheckBox* SameColorsCheckBox = nullptr;
  QToolButton* Button_BackgroundStartColor = nullptr;
  QToolButton* Button_BackgroundFinishColor = nullptr;
  void LoadSpritePage();
  void LoadFramePage();
  void LoadBackgroundPage();
  void Edit_SpriteNameChange();
  void ApplyFrameTransparency(TColor color, bool tickBox, int x, int y);
  void TransparencyCheckBoxClick();
  void ImageColorPanelClick();
  void StepsPerFrameEditChange();
  void Sprite_SetTransparencyToAllFramesExecute();
  void Sprite_SetDurationToAllFramesExecute();
  void ShowFramePreview();
  // The pick-up tool is on (the preview's cursor is the "AIRDROP" cursor).
  bool PickUpToolOn() const;
  void ToolButton_PickUpColorClick();
  void NativeImageMouseDown(bool leftButton, int x, int y);
  void ShowTrueColorNote();
  void PictureCheckBoxClick();
  void FileNameEditChange();
  void SameColorsCheckBoxClick();
  void Scene_Open_BackgroundExecute();
  void Scene_Paste_BackgroundExecute();
  void CopyBackground1Click();
  void CopyBackgroundTo1Click();
  void ToolButton_Add_ImageClick();
  void Scene_Add_ImageExecute();
  void Sprite_Add_ImageExecute();
  // Adds the chosen picture files as frames of the current sprite; a sprite
  // made for them (newSpriteIndex >= 0) is removed again when none was added.
  void AddImageFrames(int newSpriteIndex);
  // The last left press in the preview.
  TPoint PreviewPressPoint;
  bool FillingFramePage = false;
  bool FillingBackgroundPage = false;
  // Set while picture frames are being added.
  bool AddingPictureFrames = false;

  // ---- The scene's colour table (MainFormPagesPalette.cpp) ----
  // On the frame page: the colour-table editor for the whole scene.
  QToolButton* EditPaletteButton = nullptr;
  // The palette the editor shows: that of the first 8-bit picture frame,
  // else of the first 8-bit frame of any kind, else of an 8-bit background
  // picture; an empty palette when there is none (or no scene).
  TPalette FindScenePalette();
  // The editor on the scene's palette; on OK every frame and the background
  // picture take the edited colours ("Change Palette").
  void EditPaletteButtonClick();

  // ---- The background page's fill (MainFormPagesBackground.cpp) ----
  QToolButton* ScBackFillLinear_Button = nullptr;  // fill type 0
  QToolButton* ScBackFillVelvet_Button = nullptr;  // fill type 1
  QToolButton* FillBackgroundButton = nullptr;
  TSpinEdit* ScBackFillAngle = nullptr;  // 0 to 360
  TmKnob* ScBackFillAngle_Knob = nullptr;
  QToolButton* ScBackFillBevelSolid_Button = nullptr;     // bevel type 0
  QToolButton* ScBackFillBevelFountain_Button = nullptr;  // bevel type 1
  TSpinEdit* ScBackFillBevelDepth_Edit = nullptr;
  QToolButton* ScBackFillBevelHigh_Button = nullptr;
  QToolButton* ScBackFillBevelShadow_Button = nullptr;
  TSpinEdit* ScBackFillOutline_Edit = nullptr;
  QToolButton* ScBackFillOutlineColor_Button = nullptr;
  TSpinEdit* ScBackFillCorner_Edit = nullptr;
  void CreateBackgroundFillControls(QWidget& page);
  void LoadBackgroundFillControls(const TAnimatedScene& scene);
  // The page's colours and fill into the scene's background fields (what
  // BackgroundParameterChanged applies).
  void StoreBackgroundFillControls(TAnimatedScene& scene) const;
  // A colour button of the page: the colour chooser, then the change applied.
  void BackgroundColorButtonClick(QToolButton* button);

  // ---- The motion and appearance pages (MainFormMotion.cpp) ----
  QTreeWidget* MovingList = nullptr;
  QStackedWidget* NotebookTop = nullptr;
  QGroupBox* GroupBox_Speed = nullptr;
  QToolButton* Button_Motion_Linear = nullptr;
  QToolButton* Button_Motion_Fixed = nullptr;
  QLineEdit* FirstX = nullptr;
  QLineEdit* FirstY = nullptr;
  QLineEdit* LastX = nullptr;
  QLineEdit* LastY = nullptr;
  QLineEdit* FixPosX = nullptr;
  QLineEdit* FixPosY = nullptr;
  QCheckBox* StayFixForever = nullptr;
  TSpinEdit* NumbOfFixedSteps = nullptr;
  QLabel* Label_Frames = nullptr;
  QLabel* Label_Only = nullptr;
  QLineEdit* StartSpeedEdit = nullptr;
  QLineEdit* FinishSpeedEdit = nullptr;
  // The size, opacity and shadow twins of the step are with the motion panel below.
  QCheckBox* CheckBoxHiddenFixPos = nullptr;
  QTreeWidget* AppearanceList = nullptr;
  TSpinEdit* StartSpin = nullptr;
  TSpinEdit* FinishSpin = nullptr;
  TTrackBar* StartTrack = nullptr;
  TTrackBar* FinishTrack = nullptr;
  QLabel* StartStepMaxLabel = nullptr;
  QLabel* FinishStepMaxLabel = nullptr;
  QWidget* RadioBeginMoving = nullptr;  // two radio buttons: 0 continue moving, 1 stop
  QRadioButton* RadioBeginMovingContinue = nullptr;
  QRadioButton* RadioBeginMovingStop = nullptr;
  void LoadMotionPage();
  void LoadAppearancePage();
  void FillMotionList();
  void ShowMotionRow(TMovingStep& step, int row);
  void MovingListClick();
  void ShowMotionKind();
  // The shadow controls from a step (while the panel is being filled).
  void ShowMotionShadow(const TMovingStep& step);
  void SetSingleSizeMode(bool single);
  void StayFixForeverClick();
  void MovingLineChanged();
  void ApplyMotionPage(TMoving& motionPath, int index, TSprite& sprite);
  void Motion_LinearExecute();
  void Motion_FixedExecute();
  void Motion_AddLinearExecute();
  void Motion_AddFixedExecute();
  void Motion_DeleteExecute();
  void Motion_UpExecute();
  void Motion_DownExecute();
  void GoToMotionStep(int step);
  void FillAppearanceList();
  void ShowAppearanceRow(TStartAndFinish& interval, int row);
  void ShowSelectedAppearance();
  void Appearance_AddExecute();
  void Appearance_DeleteExecute();
  void StartSpinChange();
  void FinishSpinChange();
  void AppearanceSpinChange(TSpinEdit& spin, TTrackBar& track, bool start);
  void ApplyAppearanceInterval(bool start);
  void RadioBeginMovingClick();
  // The maxima of the appearance page's step controls follow the step count.
  void SetAppearanceStepMaxima(int steps);
  // The current sprite's index in the scene's list, -1 when none.
  int SpriteIndex();
  std::int32_t SelectedMotionKind = 3;  // mskHold
  // The sprite (by id; empty: none) and row a pending motion edit belongs to.
  std::optional<std::int32_t> MotionEditSpriteId;
  int MotionEditRow = -1;
  // Applies a pending motion edit to its own row at once.
  void FlushMotionEdit();
  void StartTrackChange();
  void FinishTrackChange();
  int SelectedMotionRow = 0;
  bool FillingMotionPage = false;
  bool FillingAppearancePage = false;

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

  // ---- Adding sprites and frames ----
  // Set by every add until message 1003 (or a failure) clears it.
  bool AddInProgress = false;
  void Scene_Add_RectangleExecute();
  void Scene_Add_EllipseExecute();
  void Scene_Add_LineExecute();
  void Sprite_Add_RectangleExecute();
  void Sprite_Add_EllipseExecute();
  void Sprite_Add_LineExecute();
  // A new sprite with the kind's default frame in the active scene; false
  // when there is no document.
  bool AddSpriteWithGeneratedFrame(TNewFrameKind kind);
  // The kind's default frame appended to the sprite (what Sprite_Add_...
  // does with the current sprite).
  void AddGeneratedFrame(TSprite& sprite, TNewFrameKind kind);
  // The tool buttons' two-item menus pop up at the mouse cursor.
  void ShowAddMenu(QMenu* menu);
  // The tree shows an added sprite (with its nodes) or frame, and selects it.
  void ShowAddedSprite(TSprite& sprite);
  void ShowAddedFrame(TSprite& sprite, int frameIndex, bool stepAdded);

  // The colour picker of every colour button of these pages.
  TColorPicker* ColorPicker1 = nullptr;
  // On while a page is filled from a frame: no handler writes back.
  bool LoadingFramePage = false;

  // ---- Shape page (rectangles and ellipses) ----
  TSpinEdit* RectWidth_Spin = nullptr;
  TSpinEdit* RectHeight_Spin = nullptr;
  QToolButton* FontainFill_ToolButton = nullptr;
  QToolButton* VelveteenFeel_ToolButton = nullptr;
  TBitmapButton* FillingFrom_Button = nullptr;
  TBitmapButton* FillingTo_Button = nullptr;
  QCheckBox* RectangleSameFillColor_CheckBox = nullptr;
  TBitmapButton* FillingBackground_Button = nullptr;
  TSpinEdit* FillingAngle = nullptr;
  TmKnob* FillingAngle_Knob = nullptr;
  QWidget* ToolBar_BevelType = nullptr;
  QToolButton* SolidBevel_Button = nullptr;
  QToolButton* FountainBevel_Button = nullptr;
  TSpinEdit* BevelDepth_Spin = nullptr;
  TBitmapButton* BevelHigh_Button = nullptr;
  TBitmapButton* BevelShadow_Button = nullptr;
  TSpinEdit* OutlineWidth_Spin = nullptr;
  TBitmapButton* OutlineColor_Button = nullptr;
  QGroupBox* ShapeType_Radio = nullptr;
  QWidget* Panel_WidthRoundedCorners = nullptr;
  TSpinEdit* RoundedCorners_Spin = nullptr;
  // The selected item of ShapeType_Radio (0 "&Rectangle", 1 "R&ounded Rectangle").
  int ShapeTypeIndex() const;
  void SetShapeTypeIndex(int index);
  // Frame preview page 2: fills the shape page from the current frame.
  void LoadShapePage();
  // Fills the shape page from a rectangle or ellipse frame, which the page
  // then edits (a pending edit of another frame is applied to it first).
  void FillShapePage(TFrame& frame);
  void ShapeChange();
  void FillingAngleChange();
  void RectangleSameFillColor_CheckBoxClick();
  void ShapeType_RadioClick();
  void Fill_ToolButtonClick();
  // The frame a page edits: its document's scene and its id, so that a
  // late edit lands on that frame, in that document, or nowhere.
  // Any int32 is an id: an empty FrameId binds no frame.
  struct TPageFrame {
    TAnimatedScene* Scene = nullptr;
    std::optional<std::int32_t> FrameId;
  };
  TPageFrame ShapePageFrame;

  // ---- Line page ----
  TBitmapButton* LineBackgroundColor_Button = nullptr;
  TSpinEdit* LineWidthSpin = nullptr;
  TBitmapButton* LineColor_Button = nullptr;
  // Frame preview page 3: fills the line page from the current frame.
  void LoadLinePage();
  void FillLinePage(TFrame& frame);
  void LineChange();
  TPageFrame LinePageFrame;

  // ---- Plain text page (frame preview page 1, shared with the 3D text editor) ----
  QGroupBox* RadioGroup_3DorSimpleText = nullptr;
  // Page 0 "3D text" (the 3D text editor's), page 1 "Simple text".
  QStackedWidget* Notebook_3DorSimpleText = nullptr;
  // The preview box: SimpleText_Image here, the 3D editor's view beside it.
  QScrollArea* ScrollBox_3DText = nullptr;
  TImage* SimpleText_Image = nullptr;
  QLineEdit* TextEdit = nullptr;
  TWPopOutFntCBox* FontsList2 = nullptr;
  QComboBox* ComboBoxSize1 = nullptr;
  QToolButton* Bold_TextButton2 = nullptr;
  QToolButton* Italic_Font_Button2 = nullptr;
  TBitmapButton* SetTextColorBtn = nullptr;
  TBitmapButton* SetBgColor = nullptr;
  QPushButton* TextFontBtn2 = nullptr;
  QToolButton* ToolButton_InsertSimbol2 = nullptr;
  // The preview canvas's font (name, size, pitch, style, character set, colour).
  TFont SimpleTextFont;
  // The selected item of RadioGroup_3DorSimpleText (0 "3D text", 1 "Simple text").
  int TextKindIndex() const;
  void SetTextKindIndex(int index);
  // Frame preview page 1 for a plain text frame.
  void LoadTextPage();
  // Fills the page from a text frame, which the page then edits (a 3D text
  // frame gives only its text: the switch to "Simple text" converts it).
  void LoadSimpleTextPage(TFrame& frame);
  void LoadSimpleTextFont(const TText2DParams& params);
  void RenderSimpleText();
  void TextEditChange();
  void FontsList2FontChange();
  void ComboBoxSize1Change();
  void TextFontBtn2Click();
  void ToolButton_InsertSimbol2Click();
  void RadioGroup_3DorSimpleTextClick();
  TPageFrame TextPageFrame;

  // ---- Motion panel: size, opacity and shadow twins ----
  // On while the motion page fills these controls from a motion step.
  bool FillingMotionPanel = false;
  // Runs after a twin changed: the motion page writes the step back
  // (its MovingLineChanged).
  std::function<void()> MotionPanelChanged;
  QGroupBox* StartSuzeGroupBox = nullptr;
  TSpinEdit* StartSizeX = nullptr;
  TSpinEdit* StartSizeY = nullptr;
  QGroupBox* FinishSizeGroupBox = nullptr;
  TSpinEdit* FinishSizeX = nullptr;
  TSpinEdit* FinishSizeY = nullptr;
  std::array<QLabel*, 4> FinishSizeLabels{};  // "Width:", "%", "Height:", "%"
  QToolButton* FinishEqualsStartButton = nullptr;
  QLabel* StartOpacityLabel = nullptr;
  TTrackBar* StartOpacity_TrackBar = nullptr;
  TSpinEdit* Start_Pacity_Edit = nullptr;
  QWidget* Panel_FinishOpacity = nullptr;
  TTrackBar* FinishOpacity_TrackBar = nullptr;
  TSpinEdit* Finish_Pacity_Edit = nullptr;
  QCheckBox* ShadowEnabledCheckBox = nullptr;
  QGroupBox* GroupBox_ShadowBlur = nullptr;
  QLabel* StartBlurLabel = nullptr;
  TSpinEdit* StartShadowBlurEdit = nullptr;
  QWidget* Panel_FinishShadowBlur = nullptr;
  TSpinEdit* FinishShadowBlurEdit = nullptr;
  QGroupBox* GroupBox_ShadowOpacity = nullptr;
  QLabel* Label_StartShadowOpacity = nullptr;
  TTrackBar* StartShadowOpacityTrackBar = nullptr;
  TSpinEdit* StartShadowOpacityEdit = nullptr;
  QWidget* Panel_FinishShadowOpacity = nullptr;
  TTrackBar* FinishShadowOpacityTrackBar = nullptr;
  TSpinEdit* FinishShadowOpacityEdit = nullptr;
  QGroupBox* GroupBox_ShadowOffset = nullptr;
  QLabel* Label_StartShadowOffset = nullptr;
  TSpinEdit* StartShadowOffsetXEdit = nullptr;
  TSpinEdit* StartShadowOffsetYEdit = nullptr;
  QWidget* Panel_FinishShadowOffset = nullptr;
  TSpinEdit* FinishShadowOffsetXEdit = nullptr;
  TSpinEdit* FinishShadowOffsetYEdit = nullptr;
  QGroupBox* GroupBox_ShadowColor = nullptr;
  QLabel* Label_StartShadowColor = nullptr;
  TBitmapButton* StartShadowColor_Button = nullptr;
  QWidget* Panel_FinishShadowColor = nullptr;
  TBitmapButton* FinishShadowColor_Button = nullptr;
  QCheckBox* ShadowSameColors_CheckBox = nullptr;
  // A motion step without a finish: the finish group is hidden.
  bool MotionFinishHidden() const;
  void OpacityTrackBarChange(TTrackBar* bar);
  void OpacityEditChange(TSpinEdit* edit);
  void StartTwinChange(TSpinEdit* start);
  void FinishTwinChange();
  void FinishEqualsStartButtonClick();
  void ShadowSameColors_CheckBoxClick();
  void ShadowEnabledCheckBoxClick();

  // ---- Parts of this area ----
  void CreateShapePages();
  void CreateSimpleTextPage();
  void CreateMotionTwins();
  // A frame of the active document as a page binds it.
  TPageFrame PageFrameOf(const TFrame& frame) const;
  // The frame a page edits (nullptr: it or its document is gone).
  TFrame* FrameOfPage(const TPageFrame& page) const;
  // Runs a change of the page's frame with its undo records going to the
  // frame's own document, and shows the change in that document.
  void ChangePageFrame(const TPageFrame& page, const std::function<void()>& change);
  // Applies a pending shape or line edit to the frame it was made on, now.
  void FlushPendingFrameEdits();
  // Drops the colour picker at a colour button; a new colour is set on the
  // button and changed runs.
  void PickButtonColor(TBitmapButton* button, std::function<void()> changed);

  // =============================================================================================
  // 3D text editor, lights and the 3D animation preview (MainForm3DText.cpp)
  // =============================================================================================

  // The area TText3DArea (MainForm3DText.h). What it shares with the shape pages:
  // the open document that shows a scene (nullptr: none does).
  TAnimationWindow* DocumentOfScene(const TAnimatedScene* scene) const;

 public:

  // =============================================================================================
  // Effect and transform commands, the clipboard (MainFormEffects.cpp,
  // MainFormClipboard.cpp): the area TEffectsArea (MainFormEffects.h)
  // =============================================================================================

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
  // (MainFormScene.cpp): the area TGalleriesArea (MainFormGalleries.h)
  // =============================================================================================

  // The documents' Delete Sprite command (MainFormTreeCommands.cpp).
  void Sprite_DeleteExecute() override;

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  // A property page that is switched away while one of its controls has the
  // focus passes the focus to the scene tree (MainFormLayout.cpp).
  bool focusNextPrevChild(bool next) override;

 private:
  // Parts of FormCreate.
  void CreateTimers();
  void Create3DTextLists();
  void CreatePresetsMenu();
  void AddPresetItem(const std::string& fileName, const TBitmap& picture, bool keepKey);
  // Parts of FormShow.
  void CheckDisplayColors();
  void RegisterFileType();

  std::unique_ptr<TWindowHandle> handle_;
  TAnimationWindow* activeWindow_ = nullptr;
  mutable TDocumentSettings documentSettings_;
  std::unique_ptr<TAnimatedScene> placeholderScene_;
  std::unique_ptr<TFirstFlashForm> splash_;
  bool shown_ = false;
  bool closed_ = false;
  // Entries running now (a modal loop inside a command runs others).
  int entryDepth_ = 0;
  // The clipboard's change signal to WMDrawClipboard, behind the barrier.
  QMetaObject::Connection clipboardConnection_;
  void RecoverAfterFailedEntry();
  void CreateAreas();

  TAnimatedScene* currentScene_ = nullptr;
  TEditorSettings userSettings_;
  // The areas, made first and gone last.
  std::unique_ptr<TCommandSet> commands_;
  std::unique_ptr<TLayoutArea> layout_;
  std::unique_ptr<TSettingsArea> settingsArea_;
  std::unique_ptr<TTreeArea> tree_;
  std::unique_ptr<TFilesArea> files_;
  std::unique_ptr<TPlaybackArea> playback_;
  std::unique_ptr<TFramePagesArea> framePages_;
  std::unique_ptr<TMotionArea> motion_;
  std::unique_ptr<TShapesArea> shapes_;
  std::unique_ptr<TText3DArea> text3DEditor_;
  std::unique_ptr<TEffectsArea> effects_;
  std::unique_ptr<TGalleriesArea> galleries_;
};

// The one main window of the running program (none before it is created).
extern TMainForm* MainForm;
