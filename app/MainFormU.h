// The editor's main window: a multiple-document frame that holds the document
// windows, the menus and tool bars with every command of the editor, the
// properties panel with the scene tree and the property pages, the time line
// and the status bar. It keeps what every part of it shares (the active
// document, its scene and undo log, the settings), the creation, showing and
// closing of the window, its messages, the deferred start and the progress
// display; everything else belongs to an area.
//
// The window is composed of areas (MainFormArea.h). Each owns its widgets,
// handlers and state, and reaches the rest through TMainFormContext, which
// this class implements as it implements TDocumentHost for the documents:
//   TCommandSet      MainFormActions.h/.cpp, MainFormIcons.h/.cpp: the
//                    actions, menus and tool bars, and their pictures
//   TLayoutArea      MainFormLayout.h/.cpp: the document area, the properties
//                    panel and its pages, the time line's bar, the status bar
//   TSettingsArea    MainFormSettings.h/.cpp: settings, recent files, dialog
//                    folders, Options, the upgrade helper
//   TTreeArea        MainFormTree.h, MainFormTree.cpp, MainFormTreeCommands.cpp,
//                    MainFormTreeMenus.cpp, MainFormTreeIcons.h/.cpp: the
//                    scene tree, the command states, Delete/Up/Down, menus
//   TFilesArea       MainFormFiles.h, MainFormTreeFiles.cpp, MainFormExport.cpp:
//                    file commands, drops, the Window menu, docking, export
//   TPlaybackArea    MainFormPlayback.h/.cpp: playback and the time line
//   TFramePagesArea  MainFormPages.h, MainFormPages.cpp, MainFormPagesBackground.cpp,
//                    MainFormPagesPalette.cpp, MainFormPagesParts.h: the
//                    scene, sprite, frame and background pages
//   TMotionArea      MainFormMotion.h/.cpp, MainFormMotionPanel.h/.cpp: the
//                    motion and appearance pages
//   TShapesArea      MainFormShapes.h, MainFormShapes.cpp, MainFormShapesPages.cpp,
//                    MainFormShapesText.cpp: added sprites and frames, the
//                    shape, line and plain-text pages
//   TText3DArea      MainForm3DText.h, MainForm3DText.cpp, MainForm3DTextLights.cpp,
//                    MainForm3DTextParts.h: the 3D text editor, its lights
//                    and the 3D animation preview
//   TEffectsArea     MainFormEffects.h, MainFormEffects.cpp, MainFormClipboard.cpp:
//                    effect and transform commands, the clipboard
//   TGalleriesArea   MainFormGalleries.h, MainFormScene.cpp: galleries,
//                    presets, templates and the remaining scene commands
// The window itself is MainFormU.cpp (creation, messages, timers, progress,
// Esc, help commands) and MainFormDocuments.cpp (what the documents ask of
// their host, most of it handed to the area that owns the work). A command
// is enabled only once its area gives it a handler (SetCommandHandler).
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
class QMenu;
class QTreeWidget;
class TAnimatedScene;
class TCanvas;
class TFirstFlashForm;
class TURL;

class TMainForm : public QMainWindow, public TDocumentHost, public TSceneOwner, public TMainFormContext {
  Q_OBJECT

 public:
  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

  // =============================================================================================
  // Creation, showing and closing (MainFormU.cpp)
  // =============================================================================================

  // The Esc character sets the cancel flag (the window previews every key).
  void FormKeyPress(char& Key);

  // The file the deferred start opens (the command line's first argument;
  // empty for none).
  void SetStartupFileArgument(std::string fileName) { StartupFileArgument = std::move(fileName); }

  // ---- The deferred start and the upgrade check ----
  TTimer TimerStart;           // 1000 ms, once after FormShow
  TTimer TimerRunCheckUpdate;  // 60000 ms, once after the deferred start
  void TimerStartTimer();
  void TimerRunCheckUpdateTimer();

  // ---- Progress (status panel 2) ----
  TTimer HideProgressTimer;  // 10000 ms after the last report: clears the cancel flag
  void HideProgressTimerTimer();
  // The percentage shown in status panel 2; -1 while nothing shows.
  std::int32_t ProgressPercent = -1;

  // The splash form, from FormCreate to the first tick of TimerStart.
  TFirstFlashForm* SplashForm() const { return splash_.get(); }

  // Set when the display has 8 bits per pixel or fewer.
  bool LowColorDisplay = false;

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  // A property page that is switched away while one of its controls has the
  // focus passes the focus to the scene tree (MainFormLayout.cpp).
  bool focusNextPrevChild(bool next) override;

 private:
  // =============================================================================================
  // What the areas ask, through TMainFormContext (MainFormArea.h)
  // =============================================================================================

  QMainWindow& Window() override { return *this; }
  TMainForm& Form() override { return *this; }
  // The window's message handle (messages 1002, 1003 and 1006 come here).
  HWND Handle() const override { return handle_->Handle(); }
  // The active document's scene, or the placeholder scene.
  TAnimatedScene* CurrentScene() const override { return currentScene_; }
  TAnimatedScene* PlaceholderScene() const override { return placeholderScene_.get(); }
  TAnimationWindow* ActiveAnimationWindow() const override { return activeWindow_; }
  // Every setting kept while the program runs (read by LoadSettings in
  // FormShow, written by SaveSettings in FormClose).
  TEditorSettings& UserSettings() override { return userSettings_; }
  // The play button's state (AnimateBtn, the checked Movie_Play).
  bool PlayButtonDown() const override;
  void SetPlayButtonDown(bool down) override;
  void SetUpTimer(TTimer& timer, int interval, std::function<void()> tick) override;
  // The barrier of every entry (MainFormActions.cpp): commands, timer ticks,
  // drops and clipboard changes run through it. An escaped exception is
  // shown in the error box; when no other entry is running around it, the
  // guards the failed handler left set are cleared and the command states
  // refreshed, so the document stays editable.
  void RunEntry(const std::function<void()>& entry) override;
  // Shows done of total (message 1001 and every long operation): 0 starts
  // the display, total hides it. While it runs the pending events, only Esc
  // and painting reach the program.
  void ShowProgress(int done, int total) override;
  // Posts message 1002 to the window: after a model change, the current
  // step is recomputed and redrawn once the present handler returns.
  void RequestSceneRecompute() override;
  void WMRecomputeScene() override;  // 1002
  void WMDrawClipboard() override;
  // Named after the newest project signature.
  UINT ClipboardFormat() const override { return clipboardFormat_; }

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

  // =============================================================================================
  // What the document windows ask, through TDocumentHost (MainFormDocuments.cpp):
  // most of it forwarded to the area that owns the work
  // =============================================================================================

  const TDocumentSettings& Settings() const override;
  // Switches the scene, the tree, the undo log and the pages to the document.
  void SetActiveAnimationWindow(TAnimationWindow* window) override;
  void StepChanged(WPARAM wParam, LPARAM lParam) override { WMStepChanged(wParam, lParam); }
  void ShowStatusText(int panel, const std::string& text) override;
  void AddRecentFile(const std::string& fileName) override;
  void DropFiles(const std::vector<std::string>& fileNames, TPoint scenePoint, bool addAsSprite) override;
  void ExportAnimation(const std::string& fileName, int format) override;
  // The scene tree and the command states (TTreeArea).
  TSprite* CurrentSprite() override;
  TFrame* CurrentFrame() override;
  void DetachCurrentSprite() override;
  void RebuildAnimationTree() override;
  void SelectTreeNode(int spriteIndex, int nodeKind) override;
  void RefreshCommandStates() override;
  QWidget* Panel_TreeView() override;
  QAction* Edit_Undo() override;
  void AttachTree(QTreeWidget& tree) override;
  void ClearTreeChangeRunning() override;
  QMenu* SpritePopupMenu() override;
  QMenu* ScenePopUpMenu() override;
  void ShowPropertiesPanel() override;
  // The documents' Delete Sprite command (MainFormTreeCommands.cpp).
  void Sprite_DeleteExecute() override;
  // Playback, the time line and the motion page (TPlaybackArea, TMotionArea).
  void Movie_FirstStepExecute() override;
  bool MotionTimerRunning() const override;
  bool FinishEqualsStart() const override;
  void PrepareMotionPageReload() override;
  void RefreshMotionPage() override;
  void ShowStepCount(int steps) override;
  void ShowLoopCount(int loops) override;
  void ShowSceneSize(int width, int height) override;
  // The shape, line and text pages (TShapesArea).
  void RefreshShapePage() override;
  // The active document's picture shows the step just composed.
  void RefreshDocumentPicture();

  // =============================================================================================
  // The window's own work (MainFormU.cpp)
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
  // Sets the window's caption and the application's title to the product name.
  void UpdateMainCaption();
  // Status panel 0 shows the hint of the command or control under the pointer.
  void AppHint(const std::string& hint);
  // Handles one message posted or sent to the window.
  void WndProc(TMessage& message);
  void WMStepChanged(WPARAM wParam, LPARAM lParam);  // 1006
  // Owner drawing of status panel 2 into its picture.
  void StatusBar1DrawPanel(TCanvas& canvas, const TRect& panel);
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
  // The file the deferred start opens (empty for none).
  std::string StartupFileArgument;

  // Parts of FormCreate.
  void CreateTimers();
  // Builds the scene, sprite, frame, motion, appearance and background pages.
  void FormCreatePages();
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
  UINT clipboardFormat_ = 0;
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
