// The main window as the host of its document windows: the settings they
// read, the play button, the active document, and the document's picture
// after a step.
#include "app/MainFormU.h"
#include "app/MainFormActions.h"
#include "app/MainFormFiles.h"
#include "app/MainFormLayout.h"
#include "app/MainFormMotion.h"
#include "app/MainFormPlayback.h"
#include "app/MainFormTree.h"

#include "app/AnimationWindowU.h"
#include "controls/Image.h"
#include "controls/UTimelineSlider.h"

#include <QAction>
#include <QDockWidget>
#include <QStackedWidget>
#include <QTreeWidget>

const TDocumentSettings& TMainForm::Settings() const {
  documentSettings_.AntiAliasResample = userSettings_.AntiAliasResample;
  documentSettings_.UndoEnabled = userSettings_.UndoEnabled;
  documentSettings_.CreateBackup = userSettings_.CreateBackup;
  documentSettings_.SaveBitmapsInFrames = userSettings_.SaveBitmapsInFrames;
  documentSettings_.DataFolder = userSettings_.Folders.Data;
  return documentSettings_;
}

bool TMainForm::PlayButtonDown() const { return commands_->Movie_Play->isChecked(); }

void TMainForm::SetPlayButtonDown(bool down) { Commands().Movie_Play->setChecked(down); }

// Switches the scene, the tree, the undo log and the pages to the document.
void TMainForm::SetActiveAnimationWindow(TAnimationWindow* window) {
  if (window == activeWindow_) return;
  // Only a closing document leaves the window without an active one.
  Playback().FinishDocumentEdits(window == nullptr);
  if (activeWindow_ != nullptr) activeWindow_->StopPlayback();
  Tree().ShownTree()->hide();
  activeWindow_ = window;
  Tree().DetachCurrentSprite();
  if (window != nullptr) {
    Tree().ShownTree()->show();
    SetCurrentScene(window->Scene());
    Tree().SetUndoObject(window->Undo());
    Playback().Movie_StopExecute();
    Tree().AnimationTreeChange();
    Motion().SetAppearanceStepMaxima(CurrentScene()->StepCount);
  } else {
    Layout().AnimationTree()->show();
    SetCurrentScene(PlaceholderScene());
    Tree().SetUndoObject(nullptr);
    Tree().RebuildAnimationTree();
    Layout().Notebook_Properties()->setCurrentIndex(ppEmpty);
    Layout().PanelProperties()->setWindowTitle("Properties: ");
  }
  Files().RebuildWindowList();
  RefreshCommandStates();
}

// ---- What the document windows ask of the areas ----

void TMainForm::AttachTree(QTreeWidget& tree) { Tree().AttachTree(tree); }
void TMainForm::RebuildAnimationTree() { Tree().RebuildAnimationTree(); }
void TMainForm::SelectTreeNode(int spriteIndex, int nodeKind) { Tree().SelectTreeNode(spriteIndex, nodeKind); }
void TMainForm::ClearTreeChangeRunning() { Tree().SetTreeChangeRunning(false); }
TSprite* TMainForm::CurrentSprite() { return Tree().CurrentSprite(); }
TFrame* TMainForm::CurrentFrame() { return Tree().CurrentFrame(); }
void TMainForm::DetachCurrentSprite() { Tree().DetachCurrentSprite(); }
void TMainForm::RefreshCommandStates() { Tree().RefreshCommandStates(); }
void TMainForm::Sprite_DeleteExecute() { Tree().Sprite_DeleteExecute(); }
QMenu* TMainForm::SpritePopupMenu() { return Tree().SpritePopupMenu(); }
QMenu* TMainForm::ScenePopUpMenu() { return Tree().ScenePopUpMenu(); }
void TMainForm::ShowPropertiesPanel() { Files().Show_Properties_WindowExecute(); }
void TMainForm::ExportAnimation(const std::string& fileName, int format) { Files().ExportAnimation(fileName, format); }
void TMainForm::DropFiles(const std::vector<std::string>& fileNames, TPoint scenePoint, bool addAsSprite) {
  Files().DropFiles(fileNames, scenePoint, addAsSprite);
}

void TMainForm::RefreshDocumentPicture() {
  if (TAnimationWindow* window = ActiveAnimationWindow()) window->PictureBackground->Repaint();
}
