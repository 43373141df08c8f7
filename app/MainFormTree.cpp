// The scene tree, the command states, the file commands, dropped files and
// the window layout commands of the main window.
//
// Until this area is built the window keeps only what a document needs to
// open: the commands stay disabled.
#include "app/MainFormU.h"

#include "app/AnimationWindowU.h"

#include <QLayout>
#include <QStackedWidget>
#include <QTreeWidget>

void TMainForm::FormCreateTree() { RebuildAnimationTree(); }

void TMainForm::FormShowTree() {}

void TMainForm::AutosaveTimerTimer() {}

void TMainForm::RefreshCommandStates() {}

// ---- The document host's tree and editing state ---------------------------------------------------

// The plain switch of the active document: its scene, its tree and its undo
// command, or the placeholder scene and the form's own tree.
void TMainForm::SetActiveAnimationWindow(TAnimationWindow* window) {
  if (window == activeWindow_) return;
  if (activeWindow_ != nullptr && activeWindow_->Tree() != nullptr) activeWindow_->Tree()->hide();
  activeWindow_ = window;
  if (window != nullptr) {
    AnimationTree->hide();
    if (window->Tree() != nullptr) window->Tree()->show();
    CurrentScene = window->Scene();
  } else {
    AnimationTree->show();
    CurrentScene = PlaceholderScene();
    RebuildAnimationTree();
    Notebook_Properties->setCurrentIndex(ppEmpty);
  }
}

TSprite* TMainForm::CurrentSprite() { return nullptr; }

TFrame* TMainForm::CurrentFrame() { return nullptr; }

void TMainForm::DetachCurrentSprite() {}

// A document's tree fills the tree panel, as the form's own tree does.
void TMainForm::AttachTree(QTreeWidget& tree) {
  tree.setHeaderHidden(true);
  Panel_TreeView()->layout()->addWidget(&tree);
}

// The plain tree: the scene's root and its background, or "Empty Scene".
void TMainForm::RebuildAnimationTree() {
  TAnimationWindow* window = ActiveAnimationWindow();
  QTreeWidget* tree = window != nullptr && window->Tree() != nullptr ? window->Tree() : AnimationTree;
  tree->clear();
  if (window == nullptr) {
    new QTreeWidgetItem(tree, QStringList{"Empty Scene"});
    return;
  }
  auto* root = new QTreeWidgetItem(tree, QStringList{"Scene [" + QString::fromStdString(window->FileName()) + "]"});
  new QTreeWidgetItem(root, QStringList{"Background"});
  tree->expandAll();
}

void TMainForm::SelectTreeNode(int, int) {}

void TMainForm::ClearTreeChangeRunning() {}

void TMainForm::ShowPropertiesPanel() {}

QMenu* TMainForm::SpritePopupMenu() { return nullptr; }

QMenu* TMainForm::ScenePopUpMenu() { return nullptr; }

void TMainForm::DropFiles(const std::vector<std::string>&, TPoint, bool) {}
