// A stand-alone host of document windows for when there is no main window
// (tests, tools): it keeps the editing state the documents need (the active
// document, its current sprite and frame, the play button, an Undo command
// and the settings), recomputes the active scene on request as the main
// window does, and otherwise does nothing. Each notice is a virtual that a
// subclass may override to watch it.
#pragma once

#include "app/DocumentHost.h"

#include <QObject>

#include <memory>

class QAction;

class TPlainDocumentHost : public TDocumentHost {
 public:
  TPlainDocumentHost();
  ~TPlainDocumentHost() override;

  TDocumentSettings settings;
  bool playButtonDown = false;
  bool motionTimerRunning = false;
  bool finishEqualsStart = false;
  // The frame selected in the tree (an index into the current sprite's
  // frames), or -1 for the sprite's current frame.
  int selectedFrame = -1;

  HWND Handle() const override { return handle_.Handle(); }
  const TDocumentSettings& Settings() const override { return settings; }

  TAnimationWindow* ActiveAnimationWindow() const override;
  void SetActiveAnimationWindow(TAnimationWindow* window) override;
  TSprite* CurrentSprite() override;
  TFrame* CurrentFrame() override;
  void DetachCurrentSprite() override { currentSprite_ = nullptr; }
  void SetCurrentSprite(TSprite* sprite) { currentSprite_ = sprite; }
  bool PlayButtonDown() const override { return playButtonDown; }
  void SetPlayButtonDown(bool down) override { playButtonDown = down; }
  bool MotionTimerRunning() const override { return motionTimerRunning; }
  bool FinishEqualsStart() const override { return finishEqualsStart; }

  QWidget* Panel_TreeView() override { return nullptr; }
  void AttachTree(QTreeWidget&) override {}
  void RebuildAnimationTree() override {}
  // The root (spriteIndex < 0) leaves no sprite current; a sprite index
  // (clamped) makes that sprite current with its current frame.
  void SelectTreeNode(int spriteIndex, int nodeKind) override;
  void ClearTreeChangeRunning() override {}

  QAction* Edit_Undo() override { return undoCommand_.get(); }
  void RefreshCommandStates() override {}
  // Posts message 1002 to this host; its handler recomputes the active
  // scene's step and re-places the document's selection.
  void RequestSceneRecompute() override;
  void WMRecomputeScene();
  void Movie_FirstStepExecute() override;
  void Sprite_DeleteExecute() override {}
  void ExportAnimation(const std::string&, int) override {}
  void ShowPropertiesPanel() override {}
  void PrepareMotionPageReload() override {}
  void RefreshMotionPage() override {}
  void RefreshShapePage() override {}
  QMenu* SpritePopupMenu() override { return nullptr; }
  QMenu* ScenePopUpMenu() override { return nullptr; }

  void ShowProgress(int, int) override {}
  void StepChanged(WPARAM, LPARAM) override {}
  void ShowStepCount(int) override {}
  void ShowLoopCount(int) override {}
  void ShowSceneSize(int, int) override {}
  void ShowStatusText(int, const std::string&) override {}

  void AddRecentFile(const std::string&) override {}
  void DropFiles(const std::vector<std::string>&, TPoint, bool) override {}

 private:
  TWindowHandle handle_;
  std::unique_ptr<QAction> undoCommand_;
  // Guarded: a closing document clears itself through SetActiveAnimationWindow.
  TAnimationWindow* active_ = nullptr;
  TSprite* currentSprite_ = nullptr;
};
