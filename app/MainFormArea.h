// The areas of the main window and what they share. Each area (the scene
// tree, the pages, the 3D text editor, ...) owns its widgets, handlers and
// state; what it needs of the rest it asks through TMainFormContext: the
// editing state every area works on (the active document and its scene, the
// current sprite and frame), the command set, the settings, and the other
// areas by what they offer. The main window implements it, as it implements
// TDocumentHost for the document windows.
#pragma once

#include "platform/Messages.h"

#include <QObject>

#include <functional>

class QMainWindow;
class TAnimatedScene;
class TAnimationWindow;
class TFrame;
class TSprite;
class TTimer;
class TUndo;
struct TEditorSettings;

class TCommandSet;
class TLayoutArea;
class TSettingsArea;
class TTreeArea;
class TFilesArea;
class TPlaybackArea;
class TFramePagesArea;
class TMotionArea;
class TShapesArea;
class TText3DArea;
class TEffectsArea;
class TGalleriesArea;
class TMainForm;

class TMainFormContext {
 public:
  virtual ~TMainFormContext() = default;

  // ---- The window ----
  // The main window: the parent of the areas' widgets and dialogs.
  virtual QMainWindow& Window() = 0;
  // Its message handle (messages 1002, 1003 and 1006 go there).
  virtual HWND Handle() const = 0;

  // ---- The editing state ----
  // The active document's scene, or the placeholder scene while none is active.
  virtual TAnimatedScene* CurrentScene() const = 0;
  // The scene shown while no document is active; never composes (locked).
  virtual TAnimatedScene* PlaceholderScene() const = 0;
  virtual TAnimationWindow* ActiveAnimationWindow() const = 0;
  virtual TSprite* CurrentSprite() = 0;
  virtual TFrame* CurrentFrame() = 0;
  // The settings of the program while it runs.
  virtual TEditorSettings& UserSettings() = 0;
  // The play button's state (the checked Movie_Play).
  virtual bool PlayButtonDown() const = 0;
  virtual void SetPlayButtonDown(bool down) = 0;

  // ---- What every area does ----
  // Every command's enabled state from the active document and the selection.
  virtual void RefreshCommandStates() = 0;
  // The current step is recomputed and redrawn once the present handler returns.
  virtual void RequestSceneRecompute() = 0;
  // Runs an entry of the program (a command, a tick, a drop) behind the barrier.
  virtual void RunEntry(const std::function<void()>& entry) = 0;
  // A timer of an area: stopped, with its interval, ticking behind the barrier;
  // a tick that fails stops it.
  virtual void SetUpTimer(TTimer& timer, int interval, std::function<void()> tick) = 0;
  // Shows done of total in the status bar (0 starts, total ends the display).
  virtual void ShowProgress(int done, int total) = 0;

  // ---- The window's message handlers an area runs at once ----
  // The current step recomputed and redrawn now (message 1002).
  virtual void WMRecomputeScene() = 0;
  // The clipboard changed: the paste commands follow what it holds.
  virtual void WMDrawClipboard() = 0;
  // The program's private clipboard format (0 when it could not be registered).
  virtual UINT ClipboardFormat() const = 0;

  // ---- The areas ----
  virtual TCommandSet& Commands() = 0;
  virtual TLayoutArea& Layout() = 0;
  virtual TSettingsArea& SettingsArea() = 0;
  virtual TTreeArea& Tree() = 0;
  virtual TFilesArea& Files() = 0;
  virtual TPlaybackArea& Playback() = 0;
  virtual TFramePagesArea& FramePages() = 0;
  virtual TMotionArea& Motion() = 0;
  virtual TShapesArea& Shapes() = 0;
  virtual TText3DArea& Text3DEditor() = 0;
  virtual TEffectsArea& Effects() = 0;
  virtual TGalleriesArea& Galleries() = 0;

  // While the areas move out of the main window: what is still its own.
  virtual TMainForm& Form() = 0;
};

// The base of every area: the context and short ways to what it offers.
class TMainFormArea : public QObject {
 public:
  explicit TMainFormArea(TMainFormContext& editor) : editor_(editor) {}
  TMainFormArea(const TMainFormArea&) = delete;
  TMainFormArea& operator=(const TMainFormArea&) = delete;

 protected:
  TMainFormContext& Editor() const { return editor_; }
  QMainWindow& Window() const { return editor_.Window(); }
  HWND Handle() const { return editor_.Handle(); }
  TAnimatedScene* CurrentScene() const { return editor_.CurrentScene(); }
  TAnimatedScene* PlaceholderScene() const { return editor_.PlaceholderScene(); }
  TAnimationWindow* ActiveAnimationWindow() const { return editor_.ActiveAnimationWindow(); }
  TSprite* CurrentSprite() const { return editor_.CurrentSprite(); }
  TFrame* CurrentFrame() const { return editor_.CurrentFrame(); }
  TEditorSettings& UserSettings() const { return editor_.UserSettings(); }
  bool PlayButtonDown() const { return editor_.PlayButtonDown(); }
  void SetPlayButtonDown(bool down) const { editor_.SetPlayButtonDown(down); }
  void RefreshCommandStates() const { editor_.RefreshCommandStates(); }
  void RequestSceneRecompute() const { editor_.RequestSceneRecompute(); }
  void RunEntry(const std::function<void()>& entry) const { editor_.RunEntry(entry); }
  void SetUpTimer(TTimer& timer, int interval, std::function<void()> tick) const {
    editor_.SetUpTimer(timer, interval, std::move(tick));
  }
  void ShowProgress(int done, int total) const { editor_.ShowProgress(done, total); }
  UINT ClipboardFormat() const { return editor_.ClipboardFormat(); }

  TCommandSet& Commands() const { return editor_.Commands(); }
  TLayoutArea& Layout() const { return editor_.Layout(); }
  TSettingsArea& SettingsArea() const { return editor_.SettingsArea(); }
  TTreeArea& Tree() const { return editor_.Tree(); }
  TFilesArea& Files() const { return editor_.Files(); }
  TPlaybackArea& Playback() const { return editor_.Playback(); }
  TFramePagesArea& FramePages() const { return editor_.FramePages(); }
  TMotionArea& Motion() const { return editor_.Motion(); }
  TShapesArea& Shapes() const { return editor_.Shapes(); }
  TText3DArea& Text3DEditor() const { return editor_.Text3DEditor(); }
  TEffectsArea& Effects() const { return editor_.Effects(); }
  TGalleriesArea& Galleries() const { return editor_.Galleries(); }
  TMainForm& Form() const { return editor_.Form(); }

 private:
  TMainFormContext& editor_;
};
