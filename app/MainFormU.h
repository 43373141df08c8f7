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
  void WMRecomputeScene();  // 1002
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
  // Undo recording and the anti-alias flag of every open document follow the settings.
  void ApplyUndoAndResampling();

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
  // and background pages: the areas of MainFormPlayback.h, MainFormPages.h
  // and MainFormMotion.h; here what the document windows ask of them.
  // =============================================================================================

  void FormCreatePages();
  void Movie_FirstStepExecute() override;
  bool MotionTimerRunning() const override;
  bool FinishEqualsStart() const override;
  void PrepareMotionPageReload() override;
  void RefreshMotionPage() override;
  void ShowStepCount(int steps) override;
  void ShowLoopCount(int loops) override;
  void ShowSceneSize(int width, int height) override;

  // =============================================================================================
  // Added sprites and frames; shape, line and plain-text pages: the area of
  // MainFormShapes.h; here what the document windows and the 3D text editor
  // ask of it.
  // =============================================================================================

  void RefreshShapePage() override;
  // Applies a pending shape, line or 3D text edit to the frame it was made on, now.
  void FlushPendingFrameEdits();

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
