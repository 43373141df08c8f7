// The document window: the multiple-document child that holds one animation.
// It owns the document's scene, its undo log and its scene tree view (shown in
// the host's tree panel), shows the scene on a canvas in a scroll box, and lets
// the user move and resize sprites, motion points and line ends over it. It
// opens and saves the document's file and relays the scene's messages to the
// window that hosts it (TDocumentHost).
//
// The module spans several files: AnimationWindowU.cpp (the window, layout,
// caption, messages, closing), AnimationWindowFiles.cpp (open and save),
// AnimationWindowCanvas.cpp (canvas editing) and AnimationWindowUndo.cpp
// (the document's undo log).
#pragma once

#include "app/DocumentHost.h"
#include "platform/Events.h"
#include "platform/Messages.h"
#include "platform/Timer.h"
#include "scene/Moving.h"
#include "scene/SpriteU.h"
#include "scene/Undo.h"

#include <QMdiSubWindow>
#include <QPointer>
#include <QTreeWidget>

#include <memory>
#include <optional>
#include <string>

class QMdiArea;
class QScrollArea;
class TAnimationWindow;
class TImage;
class TMotionPath;
class TSelectionBox;
class TSprite;

// Raised by the document window's operations; the message is shown to the user.
class EAnimationWindow : public Exception {
 public:
  using Exception::Exception;
};

extern const char* const SWrongChecksum;       // "Wrong checksum."
extern const char* const SCannotReadAnimation;  // "Cannot read animation. Wrong data format."

// ---- The document's undo log ------------------------------------------------------------------

// The scene model's undo log with the main window's Undo command and the
// document's modified mark following it. It serves the window that owns it:
// the marks go to that window, and the Undo command (Edit_Undo) changes only
// while that window is the active document.
class TWindowUndo : public TUndo {
 public:
  explicit TWindowUndo(TAnimationWindow& window);

  // Stores the record (unless recording is not allowed), sets the Undo
  // command to Undo "<caption>" and marks the document modified.
  void AddRecord(std::int32_t recordKind, const std::string& caption, bool replace, std::int32_t index,
                 std::int32_t objectId, std::int32_t objectKind, const TSnapshotWriter& writer) override;
  // Undoes the last record, then refreshes the main window: &Undo "<caption
  // now last>", or, with the log empty, the command disabled and the
  // document unmodified when the log reached back to the last save or load.
  void Undo() override;
  // Discards the whole log after a save or load: the command is disabled and
  // the document unmodified; the log now starts at the saved state.
  void Clear() override;
  // Switching undo off discards the history but leaves the document as
  // modified as it was.
  void SetEnabled(std::uint8_t value) override;

  // Whether undoing every record would give the document as last saved or loaded.
  bool ReachesSavedState() const { return reachesSavedState_; }

 private:
  bool ServesActiveDocument() const;
  // Sets Edit_Undo while this log's document is the active one; an empty
  // caption keeps the command's text.
  void SetUndoCommand(bool enabled, const std::string& caption, const std::string& hint);

  TAnimationWindow& window_;
  bool reachesSavedState_ = true;
  // Set while switching undo off empties the log: the history goes, the
  // document's changes stay unsaved.
  bool discardingHistory_ = false;
};

// ---- The document window -------------------------------------------------------------------------

class TAnimationWindow : public QMdiSubWindow, public TSceneOwner {
  Q_OBJECT

 public:
  // Creates the window in the host's MDI area (nullptr: a window of its own)
  // and shows it; it frees itself when closed.
  TAnimationWindow(TDocumentHost& host, QMdiArea* area);
  ~TAnimationWindow() override;

  // ---- Components ----
  QScrollArea* ScrollBoxAnimation = nullptr;
  TImage* PictureBackground = nullptr;
  TSelectionBox* PanelAnimation = nullptr;
  TSelectionBox* SpriteSelectionBox = nullptr;
  TMotionPath* LineSelection = nullptr;
  TMotionPath* MotionPath1 = nullptr;
  TTimer ResizeTimer;

  // ---- State ----
  TDocumentHost& Host() const { return host_; }
  TAnimatedScene* Scene() const { return scene_.get(); }
  TWindowUndo* Undo() const { return undo_.get(); }
  QTreeWidget* Tree() const { return tree_; }
  // The document's file (full path; empty while untitled).
  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& fileName);
  bool Modified() const { return modified_; }
  // The message handle that receives the scene's messages (1001, 1006, 1007).
  HWND Handle() const override { return handle_.Handle(); }
  // Which point of a two-point motion step the sprite selection box stands
  // for: true the begin point, false the end point.
  bool BeginPointEdited = true;

  // ---- Window and canvas ----
  // Sets the canvas frame's inner box to the size; the layout follows when
  // ResizeTimer fires (200 ms later).
  void SetCanvasSize(int width, int height);
  // Centres the canvas, and takes a size the user gave the canvas frame
  // into the scene.
  void LayoutCanvas();
  // After an undo restored the scene's size: the canvas takes it at once.
  void FollowSceneSize();
  // The window size at which the whole canvas shows without scroll bars.
  QSize CanvasWindowSize() const;
  // The canvas size, capped to the workspace (what cascading and tiling keep).
  QSize sizeHint() const override;
  void UpdateCaption();
  void SetModified(bool value);
  void StopPlayback();
  // Plays the scene again when the host's play button is down.
  void ResumePlayback();
  // The canvas picture takes a copy of the scene's background, and the scene
  // composes into the picture from now on.
  void RefreshBackgroundImage();

  // ---- Opening and saving ----
  // Opens a project file (".GLM", ".GLD" or no extension), a GIF or an AVI
  // file (asking for the range of frames) into a new scene, which replaces
  // the window's scene only when it was read. Failures are shown; a bad
  // checksum and other errors are raised after their message.
  void LoadFromFile(const std::string& fileName);
  // The tail of a successful open: names the document after the file (with
  // ".GLM"), lays out the canvas, empties the undo log and activates the window.
  void AfterImport(const std::string& fileName);
  // Saves the scene to the document's file, asking for a name when untitled.
  // True when the file was written; a cancelled or failed save leaves the
  // document modified and the file (and any older backup) as it was.
  bool Save();
  // Asks for a file name and type, then saves under that name or hands a
  // picture type to the host's export.
  void SaveAs();
  // Appends the file's images as frames of the host's current sprite; false
  // without a current sprite, when cancelled or when the file could not be read.
  bool AddPictureFileFrames(const std::string& fileName);

  // ---- Canvas editing ----
  // Places the selection box, line handles and motion path for the current
  // sprite, frame and motion step.
  void UpdateSelection();
  // Brings the scene to a step where the current sprite is visible; false
  // when it is never visible.
  bool ShowSpriteStep();
  // Draws the current sprite's other motion steps on the canvas picture.
  void DrawOtherMotionSteps();
  // The sprite under a point of the scene: the top-most sprite visible at the
  // current step whose drawn rectangle strictly contains it; -1 for none.
  int SpriteAtPoint(int x, int y) const;
  // Hides the sprite selection box, the line handles and the motion path.
  void HideSelection();

  // ---- Handlers ----
  void FormCreate();
  void FormShow();
  void FormActivate();
  void FormDeactivate() {}
  // Asks to save a modified document; true when the window may close.
  bool FormCloseQuery();
  void FormClose();
  void FormKeyDown(WORD& Key, TShiftState Shift);
  void ScrollBoxAnimationClick();
  void ScrollBoxAnimationResize();
  void PanelAnimationResized();
  void ResizeTimerTimer();
  // The background picture and the scene's output follow the scene's size.
  void SizeBackgroundToScene();
  void PanelAnimationMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  void PanelAnimationMouseMove(TShiftState Shift, int X, int Y);
  void SpriteSelectionBoxClick();
  void SpriteSelectionBoxDblClick();
  void SpriteSelectionBoxMoved();
  void SpriteSelectionBoxResized();
  void MotionPath1Moved();
  void MotionPath1BeginPointClick();
  void MotionPath1EndPointClick();
  void LineSelectionMoved();
  void HiddenEditKeyDown(QObject* Sender, WORD& Key, TShiftState Shift);

  // ---- Messages ----
  void WMLoadProgress(TMessage& message);     // 1001
  void WMStepChanged(TMessage& message);      // 1006
  void WMMotionStepAdded(TMessage& message);  // 1007
  // Files dropped on the window (a drop of files from the desktop), at a
  // point in the window's own coordinates.
  void WMDropFiles(const std::vector<std::string>& fileNames, QPoint windowPoint);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void CreateComponents();
  void CreateTree();
  void CreateScene();
  // The scene's playback ticks run behind the host's barrier.
  void BarPlayback(TAnimatedScene& scene);
  void WndProc(TMessage& message);
  // Sizes the window to its canvas (capped to the workspace).
  void SizeToScene();
  std::optional<TSize> Workspace() const;
  // Moves the window to where a new one goes among the other documents.
  void PlaceInWorkspace();
  bool Playing() const;
  int CanvasBorder() const;
  // ---- Opening ----
  std::unique_ptr<TAnimatedScene> NewSceneForLoading();
  void ReadFileInto(TAnimatedScene& scene, const std::string& fileName);
  void TakeLoadedScene(std::unique_ptr<TAnimatedScene> scene);
  // ---- Saving ----
  std::optional<int> AskFileName(bool forSaveAs);
  bool ConfirmOverwriteOfOpenedName();
  bool WriteSceneTo(const std::string& fileName);
  // Writes the scene as the file; on success the document takes the name,
  // is unmodified and heads the recent files. False after a shown failure.
  bool SaveTo(const std::string& fileName);
  // The file name the Save dialog gave last.
  std::string pendingName_;
  // ---- Canvas editing ----
  struct TEditTarget;
  std::optional<TEditTarget> EditTarget();
  TPoint ScenePositionForImageAt(const TEditTarget& target, int left, int top) const;
  void ApplyHoldPosition(const TEditTarget& target, TPoint scenePixels);
  void ChangeCurrentStep(const TEditTarget& target, const TMovingStepValues& values);
  void PlaceMotionPath(const TEditTarget& target);
  void SetMotionPathHints(const TEditTarget& target);
  void NudgeBox(TSelectionBox& box, WORD key, TShiftState shift);

  TDocumentHost& host_;
  TWindowHandle handle_;
  std::unique_ptr<TAnimatedScene> scene_;
  std::unique_ptr<TWindowUndo> undo_;
  // Owned by the host's tree panel for Qt, but freed with the document.
  QPointer<QTreeWidget> tree_;
  QWidget* canvasArea_ = nullptr;
  std::string fileName_;
  // The document's name was made from an opened file (anim.gif gives
  // anim.GLM), so a plain Save asks before replacing a file of that name.
  bool nameFromOpenedFile_ = false;
  bool modified_ = false;
  bool selectionBusy_ = false;
  bool shown_ = false;
  bool closing_ = false;
  // Where UpdateSelection put the controls, as the model placed them: an
  // event that the controls fire for a placement by code finds the same
  // values and changes nothing.
  TRect placedBoxControl_;
  TPoint placedBegin_, placedEnd_;
  TPoint placedLineBegin_, placedLineEnd_;
};
