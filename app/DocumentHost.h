// What a document window needs from the window that hosts it: the main
// window's editing state (active document, current sprite and frame, the
// play button), its displays (progress, step count, loop count, scene size,
// status panel), its commands (Undo, Delete Sprite, Rewind, export), its
// settings and the notices a document sends (recompute requests, drops,
// steps shown). The main window implements it; TPlainDocumentHost is a
// small stand-alone implementation for hosting documents without one.
#pragma once

#include "app/EntryBarrier.h"
#include "platform/Geometry.h"
#include "platform/Messages.h"

#include <functional>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QTreeWidget;
class QWidget;
class TAnimationWindow;
class TFrame;
class TSprite;

// The settings a document window reads (the main window's values of the
// registry settings of the same names).
struct TDocumentSettings {
  bool AntiAliasResample = true;   // the scene's resampled stretching while stopped
  bool UndoEnabled = true;         // new and opened documents record undo
  bool CreateBackup = false;       // saving keeps the old file as "Backup_of_<name>"
  bool SaveBitmapsInFrames = true; // generated frames are saved with their bitmaps
  std::string DataFolder;          // folder of the Save dialog of an untitled document
};

class TDocumentHost {
 public:
  virtual ~TDocumentHost() = default;

  // ---- Identity and settings ----
  // The main window's message handle (owner of the document's message boxes).
  virtual HWND Handle() const = 0;
  virtual const TDocumentSettings& Settings() const = 0;

  // ---- Editing state ----
  virtual TAnimationWindow* ActiveAnimationWindow() const = 0;
  // Makes the window the active document (switching scene, tree and undo
  // log), or, with nullptr, leaves no document active. A document calls it
  // when it is activated, and with nullptr when the active one closes.
  virtual void SetActiveAnimationWindow(TAnimationWindow* window) = 0;
  // The current sprite of the active document and the frame the frame page
  // edits (the frame selected in the tree, else the sprite's current frame);
  // nullptr when there is none.
  virtual TSprite* CurrentSprite() = 0;
  virtual TFrame* CurrentFrame() = 0;
  // Forgets the current sprite and detaches the time line from its
  // intervals (an undo replaced the objects they belong to).
  virtual void DetachCurrentSprite() = 0;
  // The play button (AnimateBtn): down while the active scene plays. Setting
  // it changes only the button's state; nothing starts or stops.
  virtual bool PlayButtonDown() const = 0;
  virtual void SetPlayButtonDown(bool down) = 0;
  // Whether the motion page's debounce timer is running (its tick will
  // recompute the scene anyway).
  virtual bool MotionTimerRunning() const = 0;
  // The motion page's FinishEqualsStartButton is down.
  virtual bool FinishEqualsStart() const = 0;

  // ---- The scene tree ----
  // The panel that owns the documents' tree views (nullptr: none).
  virtual QWidget* Panel_TreeView() = 0;
  // A document created its tree view in Panel_TreeView: the host gives it
  // the node images and pop-up menu and routes its change, double-click and
  // key events to its own handlers.
  virtual void AttachTree(QTreeWidget& tree) = 0;
  virtual void RebuildAnimationTree() = 0;
  // Selects a node: spriteIndex < 0 the root; else the sprite (clamped) is
  // made current and its node of the kind selected (2: its first frame).
  virtual void SelectTreeNode(int spriteIndex, int nodeKind) = 0;
  // Clears the flag that keeps SelectTreeNode from reselecting a node
  // (TreeChangeRunning), before a click on the canvas selects a sprite.
  virtual void ClearTreeChangeRunning() = 0;

  // ---- Commands and pages ----
  virtual QAction* Edit_Undo() = 0;
  virtual void RefreshCommandStates() = 0;
  // Posts the request to recompute and redraw the current step (message 1002).
  virtual void RequestSceneRecompute() = 0;
  // The Rewind command: the active scene goes to its first step.
  virtual void Movie_FirstStepExecute() = 0;
  // The Delete Sprite command (the Del key on the canvas).
  virtual void Sprite_DeleteExecute() = 0;
  // Exports the active scene to the file in a format (1 GIF, 2 BMP, 3 AVI, 4 JPEG).
  virtual void ExportAnimation(const std::string& fileName, int format) = 0;
  // Shows the properties panel when it is hidden.
  virtual void ShowPropertiesPanel() = 0;
  // Before a canvas edit of the current motion step: the motion list is
  // reloaded from the model and the current step reselected after it.
  virtual void PrepareMotionPageReload() = 0;
  // The motion page and the shape page show the model again.
  virtual void RefreshMotionPage() = 0;
  virtual void RefreshShapePage() = 0;
  // The pop-up menus of the sprite selection box and of the canvas (nullptr: none).
  virtual QMenu* SpritePopupMenu() = 0;
  virtual QMenu* ScenePopUpMenu() = 0;

  // ---- Displays ----
  // Message 1001: progress of loading sprites or importing frames; (1, 1) when done.
  virtual void ShowProgress(int done, int total) = 0;
  // Message 1006, relayed: a playback step of the document was shown.
  virtual void StepChanged(WPARAM wParam, LPARAM lParam) = 0;
  virtual void ShowStepCount(int steps) = 0;
  // The looping box: -1 shows its first item ("Forever"), other counts their number.
  virtual void ShowLoopCount(int loops) = 0;
  // The scene page's WidthPixels and HeightPixels.
  virtual void ShowSceneSize(int width, int height) = 0;
  // A panel of the status bar (1: the pointer position over the canvas).
  virtual void ShowStatusText(int panel, const std::string& text) = 0;

  // ---- Files ----
  // Puts a file at the top of the recent-files list (after a successful open or save).
  virtual void AddRecentFile(const std::string& fileName) = 0;
  // Files dropped on a document window, handed over with the drop point in
  // scene coordinates: a project file opens in a new document; with
  // addAsSprite any other file becomes a new sprite of the active document.
  virtual void DropFiles(const std::vector<std::string>& fileNames, TPoint scenePoint, bool addAsSprite) = 0;

  // ---- Entries ----
  // Runs an entry of the document window from the event loop (its timers'
  // ticks, playback) behind the barrier: an escaped exception is shown. The
  // main window also puts its pages and commands back in working order.
  virtual void RunEntry(const std::function<void()>& entry) { RunBarred(entry); }
};
