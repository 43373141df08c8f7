// The editor's main window: a multiple-document frame that holds the document
// windows, the menus and tool bars with every command of the editor, the
// properties panel with the scene tree and the property pages, the time line
// and the status bar. It keeps the editing state (the active document, its
// scene and undo log; the current sprite is the scene tree's), the settings
// and the timers that drive the editor.
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
//   MainFormTree*.cpp      scene tree, command states, Delete/Up/Down, menus
//                          (the area TTreeArea, MainFormTree.h); file
//                          commands, drops, docking (TFilesArea, MainFormFiles.h)
//   MainFormPages.cpp      playback, time line, scene/sprite/frame/motion/
//                          appearance/background pages
//   MainFormShapes.cpp     added sprites and frames, shape/line/text pages
//   MainForm3DText.cpp     the 3D text editor
//   MainFormEffects.cpp    effect and transform commands, the clipboard
//   MainFormExport.cpp     the export command (TFilesArea)
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
  TCommandSet& Commands() override { return *commands_; }
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

 private:
  // What only the areas ask, through TMainFormContext.
  QMainWindow& Window() override { return *this; }
  TMainForm& Form() override { return *this; }
  void SetUpTimer(TTimer& timer, int interval, std::function<void()> tick) override;
  // The barrier of every entry (MainFormActions.cpp): commands, timer ticks,
  // drops and clipboard changes run through it. An escaped exception is
  // shown in the error box; when no other entry is running around it, the
  // guards the failed handler left set are cleared and the command states
  // refreshed, so the document stays editable.
  void RunEntry(const std::function<void()>& entry) override;

 public:

  // =============================================================================================
  // Creation, showing and closing (MainFormU.cpp)
  // =============================================================================================

  // The Esc character sets the cancel flag (the window previews every key).
  void FormKeyPress(char& Key);

  // The window's message handle (messages 1002, 1003 and 1006 come here).
  HWND Handle() const override { return handle_->Handle(); }

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
  void WMStepChanged(WPARAM wParam, LPARAM lParam);  // 1006

  // ---- Clipboard ----
  // The private clipboard format, named after the newest project signature
  // (0 when it could not be registered).
  UINT ClipboardFormat = 0;
  // The clipboard changed: the paste commands follow what it holds.
  void WMDrawClipboard();

  // ---- Editing state ----
  // The scene shown while no document is active; never composes (locked).
  TAnimatedScene* PlaceholderScene() const { return placeholderScene_.get(); }
  // The active document's scene, or the placeholder scene.
  TAnimatedScene* CurrentScene() const override { return currentScene_; }
  // The splash form, from FormCreate to the first tick of TimerStart.
  TFirstFlashForm* SplashForm() const { return splash_.get(); }

 private:
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
  // Sets the window's caption and the application's title to the product name.
  void UpdateMainCaption();
  // Status panel 0 shows the hint of the command or control under the pointer.
  void AppHint(const std::string& hint);
  // Handles one message posted or sent to the window.
  void WndProc(TMessage& message);
  void WMRecomputeScene();  // 1002
  void WMChangeCBChain() { WMDrawClipboard(); }
  // Measures the playback speed shown in StepPerSecond.
  TStepSpeedMeter StepSpeed;
  void SetCurrentScene(TAnimatedScene* scene) { currentScene_ = scene; }

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

 public:

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


  // =============================================================================================
  // Documents (MainFormDocuments.cpp): the active document and what a
  // document window needs from its host. The host's operations that belong
  // to a later area are declared in that area's section.
  // =============================================================================================

  TAnimationWindow* ActiveAnimationWindow() const override { return activeWindow_; }
  // The play button's state (AnimateBtn, the checked Movie_Play).
  bool PlayButtonDown() const override;
  void SetPlayButtonDown(bool down) override;

  // =============================================================================================
  // The scene tree and command states (TTreeArea), files, drops and the
  // window layout (TFilesArea): what the document windows ask of them,
  // forwarded (MainFormDocuments.cpp)
  // =============================================================================================

  TSprite* CurrentSprite() override;
  TFrame* CurrentFrame() override;
  void DetachCurrentSprite() override;
  void RebuildAnimationTree() override;
  void SelectTreeNode(int spriteIndex, int nodeKind) override;
  void RefreshCommandStates() override;

 private:
  // What only the document windows ask, through TDocumentHost.
  const TDocumentSettings& Settings() const override;
  QWidget* Panel_TreeView() override;
  QAction* Edit_Undo() override;
  void StepChanged(WPARAM wParam, LPARAM lParam) override { WMStepChanged(wParam, lParam); }
  void ShowStatusText(int panel, const std::string& text) override;
  void AddRecentFile(const std::string& fileName) override;
  // Switches the scene, the tree, the undo log and the pages to the document.
  void SetActiveAnimationWindow(TAnimationWindow* window) override;
  void AttachTree(QTreeWidget& tree) override;
  void ClearTreeChangeRunning() override;
  QMenu* SpritePopupMenu() override;
  QMenu* ScenePopUpMenu() override;
  void ShowPropertiesPanel() override;
  void DropFiles(const std::vector<std::string>& fileNames, TPoint scenePoint, bool addAsSprite) override;
  void ExportAnimation(const std::string& fileName, int format) override;
  // The active document's picture shows the step just composed.
  void RefreshDocumentPicture();

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

  // The editor's 3D objects, controls and pending change (MainForm3DTextParts.h).
  struct T3DTextParts;
  struct T3DTextPartsDeleter {
    void operator()(T3DTextParts* parts) const;
  };
  T3DTextParts& Text3D() const { return *text3D_; }
  // The 3D part of frame preview page 1, shown by Load3DTextPage; the plain
  // text page hides it when it shows a plain text frame.
  QWidget* Panel3DText() const;

  // ---- Filling the page and storing it ----
  // Frame preview page 1 for the current frame (a 3D text frame).
  void Load3DTextPage();
  // Load3DTextPage for a frame of a sprite: the editor edits that frame from now on.
  void Load3DTextFrame(TSprite& sprite, int frameIndex);
  // The controls and the editor's objects from one state; stores nothing.
  void LoadText3DEditor(const T3DTextState& state);
  // Every control into the editor, the view redrawn, stored, the pause restarted.
  void Text3DParameterChange();
  // The editor's state into the edited frame's two states.
  void Store3DSettings();
  // The sprite and frame the editor edits (null when none or gone).
  TSprite* Text3DSprite() const;
  TFrame* Text3DFrame() const;
  // The state the editor shows and edits (the selected state plus the fields of both).
  const T3DTextState& Text3DEditorState() const;
  // The frame's edits since the last store wait for the pause: true while one does.
  bool Text3DChangePending() const;
  // Set by a shape or line add: the next tick of Timer_3D_Changed only clears it.
  bool SkipNext3DRender = false;
  // Set once a 3D text frame filled the page; changes are ignored before.
  bool Text3DEditorReady = false;
  // Set while the controls are filled from a state.
  bool Text3DLoading = false;

  // ---- Text, font, size, colours, texture ----
  void EditNewTextChange();
  void FontsListFontChange();
  void Font_FontDialogExecute();
  void ToolButton_InsertSimbolClick();
  void ComboBoxSizeChange();
  void MaterialColorChange(TColor color);
  void Text3DBackgroundChange(TColor color);
  void Button_3DTextColorClick();
  void LightMaterialColorButtonClick();
  void Button_3DBackgroundClick();
  void Texture_OpenExecute();
  void Texture_PasteExecute();
  void EditTextureFileNameChange();
  void CheckBoxTextureClick();
  // The thumbnail of a texture larger than itself opens the texture's preview window.
  void ImageTextureClick();
  void ScrollBarTextureRotZChange();
  // The picture cut to powers of two becomes the texture and its thumbnail.
  void SetTextureBitmap(const TBitmap& picture);
  void PageControl_3DTextChange();
  // The view's box takes the frame's image size.
  void SelectionBox_3DSceneResized();
  // The view's frame at the top left of the preview box, its inner box the view.
  void PlaceText3DView(int width, int height);
  void ShowText3DEditor();
  // The mouse over the editor's tabs: remembers the hint of the tab under
  // it (none where no tab is).
  void PageControl_3DTextMouseMove(int x, int y);
  // What the hint shown for a control is like (the class library's hint info).
  struct THintInfo {
    QWidget* HintControl = nullptr;
    int HintMaxWidth = 0;
    int ReshowTimeout = 0;  // ms
  };
  // The application's show-hint step: hints are at most 200 pixels wide; the
  // editor's tabs show the remembered tab hint and show it again 500 ms
  // after the pointer moved on. False: no hint is shown.
  bool AppShowHint(std::string& HintStr, THintInfo& HintInfo);

  // ---- Lights and dragging ----
  void LightPosChange();
  void LightTypeClick();
  void PageControl_LightsChange();
  void LightColorButtonClick();
  void LightColorChange(TColor color);
  // Places the markers of a light (1 to 3): kind 0 at a point, kind 1 turned by angles.
  void PlaceLightMarkers(int light, int kind, double x, double y, double z);
  void SelectionBox_3DSceneMouseDown(TMouseButton button, TShiftState shift, int x, int y);
  void SelectionBox_3DSceneMouseMove(TShiftState shift, int x, int y);
  void QelView1MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  void TextYPositionChanging() { Text3DParameterChange(); }

  // ---- The 3D animation preview ----
  void Text3D_Animation_PlayExecute();
  void Text3D_Animation_StopExecute();
  void Text3D_Animation_FirstExecute();
  void Text3D_Animation_PrevExecute();
  void Text3D_Animation_NextExecute();
  void Text3D_Animation_LastExecute();
  void CheckBoxAnimationClick();
  void SpinEdit_3D_NumbOfFramesChange();
  void CheckBox_3D_LoopingClick();
  void RadioGroup_3D_Animation_ChangesClick();

  // ---- Adding 3D text ----
  void Scene_Add_3DTextExecute();
  void Sprite_Add_3DTextExecute();
  // Appends a 3D text frame to a sprite of the active scene, renders its
  // first picture and loads the editor with it; the new frame's index (-1
  // when nothing was added).
  int Add3DTextFrameTo(TSprite& sprite);
  // Message 1003 with wParam 3 (after the tree selected the new frame): the
  // frame's picture is rendered at once.
  void Text3DItemAdded(int frameIndex);

 private:
  // Parts of the 3D text editor.
  void CreateText3DObjects();
  void CreateText3DPage();
  void CreateText3DTextTab(QWidget& tab);
  void CreateText3DLightsTab(QWidget& tab);
  void CreateText3DRotationTab(QWidget& tab);
  void CreateText3DCameraTab(QWidget& tab);
  void CreateText3DMaterialTab(QWidget& tab);
  void CreateText3DTextureTab(QWidget& tab);
  void CreateText3DAnimationTab(QWidget& tab);
  void ConnectBar(QScrollBar* bar, QLineEdit* edit, std::function<void()> handler);
  void EnableTextureControls(bool enabled);
  void ShowTextureThumbnail();
  void QelView1Render();
  TSprite* FindSpriteById(TAnimatedScene* scene, std::optional<std::int32_t> id) const;
  TAnimationWindow* DocumentOfScene(const TAnimatedScene* scene) const;
  TFrame* FindFrameById(TSprite* sprite, std::optional<std::int32_t> id) const;
  bool EditingEndState() const;
  void ApplyText3DState();
  void RedrawText3DView();
  void RestartText3DTimer();
  void StoreText3DAndRestart();
  void ReadText3DControls();
  void FlushText3DChange();
  void RenderPendingText3D();
  // Renders a 3D text frame's picture from its start state and stores it,
  // as part of the change that set the states (nothing recorded).
  void StoreText3DPicture(TFrame& frame);
  void RenderText3DFramePicture(const TFrame& frame, bool endState);
  void RenderText3DFramePictureSafely(const TFrame& frame, bool endState);
  void PickText3DColor(QPushButton* button, std::function<void(TColor)> chosen);
  void LoadText3DLights(const T3DEditorControls& controls);
  void ShowCurrentLightPage();
  void HideLightMarkers();
  void ShowCurrentLightMarkers();
  void ShowText3DAnimationControls(bool on);
  void StopText3DPreview();
  void RecordText3DFrameSnapshot();
  void ChangeText3DAnimation();
  bool Finish3DTextAdd(const TAddedItem& added);

 public:

  // =============================================================================================
  // Effect and transform commands, the clipboard (MainFormEffects.cpp,
  // MainFormClipboard.cpp)
  // =============================================================================================

  void FormCreateEffects();
  // The effects dialog on the current frame (and the next one, for a
  // transition), its results put into the current sprite; effectIndex is
  // the effect's place in EffectCommands.
  void ApplyEffect(int effectIndex);
  // Every frame of the current sprite mirrored left to right or top to bottom.
  void Sprite_Flip_HorExecute();
  void Sprite_Flip_VertExecute();
  // Every frame turned clockwise by angle degrees (90, -90, 180) on the
  // current frame's paper colour.
  void RotateFrames(double angle);
  // The current frame only or every frame turned by angle x (1 - 2 x direction)
  // degrees, the uncovered corners in colour.
  void RotateFrameByAngle(bool onlyCurrentFrame, double angle, int direction, TColor color);
  // The rotation dialog, then RotateFrameByAngle with its values.
  void Effects_CustomRotationExecute();
  // The resize dialog (made once, kept with its last size), then every
  // frame of the current sprite resized to the chosen size.
  void Effects_ResizeExecute();
  TStretchForm* StretchForm = nullptr;
  // The BMP save chooser of the "Copy as Bitmap To..." commands.
  FileDialogRequest SaveBmpDialog;
  // Copy, cut and paste of sprites, frames and motion paths in the private
  // format; pasting a bitmap as a frame (MainFormClipboard.cpp). A paste
  // sets AddInProgress until its message 1003 selects what it added; one
  // that adds nothing or fails clears it at once.
  void Edit_CopyExecute();
  void Edit_CutExecute();
  void Edit_Paste1Execute();
  void Edit_PasteAsNewSpriteExecute();
  // The clipboard's bitmap as a "Clipboard n" frame of the current sprite
  // (or of a new one); returns the new frame's index, -1 when none was added.
  int PasteBitmapFrame();
  // The scene as last drawn, the scene's background and the current frame's
  // picture as a bitmap on the clipboard or in a BMP file.
  void Scene_SceneImageCopyExecute();
  void Scene_SceneImageCopyToExecute();
  void Scene_BackgroundCopyExecute();
  void Scene_BackgroundCopyToExecute();
  void Frame_CopyAsBMPExecute();
  void Frame_CopyAsBMP_ToExecute();

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
  // The picker the three galleries show (created on first use).
  TAnimationPicker* AnimationPicker1();
  // The 3D animation and colour galleries on the current 3D text frame; the
  // motion gallery on the current sprite's path (anchor: the control the
  // picker drops at, nullptr for none).
  void AnimationGalleryToolButtonClick(QWidget* anchor = nullptr);
  void CollorGalleryToolButtonClick(QWidget* anchor = nullptr);
  void ShowMotionGallery(QWidget* anchor = nullptr);
  void File_ImportExecute();
  void File_Save_AsExecute();
  void View_88x31Execute();
  // Gives the active document's canvas a size; a size beyond the project
  // reader's limits is refused with a message and changes nothing.
  bool ApplyCanvasSize(int width, int height);
  // The comment box's change (GifCommentMemoChange) before it writes the
  // scene: one scene-settings entry per burst of typing.
  void RecordGifCommentChange();
  struct TGifCommentBurst {
    const TUndo* Log = nullptr;
    std::int32_t LastRecordPosition = -1;
    std::int64_t LogSize = -1;
  } GifCommentBurst;
  void Scene_MovetoFrontOfAllSpritesExecute();
  void Scene_MoveToBackOfAllSpritesExecute();
  // The last step of shutting down: after a failed release of the 3D
  // library the process ends at once.
  void FormDestroy();
  // The background page's display type (" Display ": "Center", "Tile",
  // "Stretch") and the scene page's transparent background.
  QGroupBox* Radio_Backgroun_Picture_Type = nullptr;
  std::array<QRadioButton*, 3> BackgroundPictureTypes{};
  QCheckBox* BackgroundIsTransparentCheckBox = nullptr;
  QPushButton* TransparentBackColor_Button = nullptr;
  // Every change of the background page's parameters: one "Change
  // Background Properties" entry, then the background set again.
  void BackgroundParameterChanged();
  void BackgroundIsTransparentCheckBoxClick();
  void TransparentBackColor_ButtonClick();
  // Shows the scene's values in these controls without writing them back.
  void LoadSceneCommandControls();
  bool FillingSceneCommandControls = false;
  void CreateSceneCommandControls();
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
  std::unique_ptr<T3DTextParts, T3DTextPartsDeleter> text3D_;
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
