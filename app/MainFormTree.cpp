// The scene tree of the main window: the active document, its tree of nodes
// (scene, background, sprites with their motion, opacity, shadow, appearance
// and frame nodes), the selection that chooses the property page, the
// current sprite and frame, and the enabled state of every command.
#include "app/MainFormTree.h"
#include "app/MainFormShapes.h"
#include "app/MainFormPages.h"
#include "app/MainFormMotion.h"
#include "app/MainFormPlayback.h"
#include "app/MainFormActions.h"
#include "app/MainFormFiles.h"
#include "app/MainForm3DText.h"
#include "app/MainFormLayout.h"
#include "app/MainFormU.h"

#include "app/AnimationWindowU.h"
#include "app/MainFormTreeIcons.h"
#include "controls/MyCntrlDigitalDisplay.h"
#include "controls/UTimelineSlider.h"
#include "platform/CodePages.h"
#include "platform/SysUtils.h"
#include "platform/qtui/QtHints.h"
#include "scene/Frame.h"
#include "scene/Sprite.h"
#include "scene/Undo.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTreeWidget>

#include <algorithm>

namespace {

constexpr int kKindRole = Qt::UserRole;
// The caption a node was made with: an edit of a node that cannot be renamed goes back to it.
constexpr int kCaptionRole = Qt::UserRole + 1;
constexpr int kTreeIconSize = 16;
// Sprite names are stored in 255 bytes at most.
constexpr std::size_t kMaxSpriteName = 255;

int FrameNodeKind(const TFrame& frame) {
  switch (frame.Kind) {
    case fkText:
    case fkText3D:
      return TTreeArea::nkTextFrame;
    case fkRectangle:
      return TTreeArea::nkRectangleFrame;
    case fkEllipse:
      return TTreeArea::nkEllipseFrame;
    case fkLine:
      return TTreeArea::nkLineFrame;
    default:
      return TTreeArea::nkPictureFrame;
  }
}

QString FrameNodeText(const TFrame& frame) {
  switch (frame.Kind) {
    case fkText:
      return "\"" + AnsiToQString(frame.Text) + "\"";
    case fkText3D:
      return "\"" + AnsiToQString(frame.StartState.Text) + "\"";
    case fkRectangle:
      return "Rectangle";
    case fkEllipse:
      return "Ellipse";
    case fkLine:
      return "Line";
    default:
      return QString::fromStdString(ExtractFileName(frame.FileName));
  }
}

int IndexOfSprite(const TAnimatedScene& scene, const TSprite* sprite) {
  for (int i = 0; i < scene.SpriteCount(); ++i)
    if (&scene.Sprite(i) == sprite) return i;
  return -1;
}

// Sets a flag for its lifetime and clears it on every way out.
class TFlagScope {
 public:
  explicit TFlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~TFlagScope() { flag_ = false; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

 private:
  bool& flag_;
};

// Passes the keys pressed on the shown scene tree to a handler; a key it
// took (set to 0) is consumed.
class TTreeKeyFilter : public QObject {
 public:
  TTreeKeyFilter(std::function<QTreeWidget*()> shownTree, std::function<void(int&)> keyDown)
      : shownTree_(std::move(shownTree)), keyDown_(std::move(keyDown)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress || watched != shownTree_()) return false;
    int key = static_cast<QKeyEvent*>(event)->key();
    keyDown_(key);
    return key == 0;
  }

 private:
  std::function<QTreeWidget*()> shownTree_;
  std::function<void(int&)> keyDown_;
};

// Sets a flag for its lifetime and gives it back its old value on every way out.
class TFlagRestore {
 public:
  explicit TFlagRestore(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
  ~TFlagRestore() { flag_ = old_; }
  TFlagRestore(const TFlagRestore&) = delete;
  TFlagRestore& operator=(const TFlagRestore&) = delete;

 private:
  bool& flag_;
  bool old_;
};

}  // namespace

// ---- Creation ----------------------------------------------------------------------------------------

TTreeArea::TTreeArea(TMainFormContext& editor) : TMainFormArea(editor) {}

TTreeArea::~TTreeArea() = default;

void TTreeArea::FormCreateTree() {
  imageListTree_ = TreeNodeIcons();
  treeKeyFilter_ = std::make_unique<TTreeKeyFilter>([this] { return ShownTree(); },
                                                    [this](int& key) { AnimationTreeKeyDown(key); });
  WireTree(*Layout().AnimationTree());
  TCommandSet& c = Commands();
  c.SetCommandHandler(c.Edit_Undo, [this] { Edit_UndoExecute(); });
  c.SetCommandHandler(c.Scene_Delete_Something, [this] { Scene_Delete_SomethingExecute(); });
  c.SetCommandHandler(c.Scene_Up_Something, [this] { Scene_Up_SomethingExecute(); });
  c.SetCommandHandler(c.Scene_Down_Something, [this] { Scene_Down_SomethingExecute(); });
  c.SetCommandHandler(c.Sprite_Move_Up, [this] { Sprite_Move_UpExecute(); });
  c.SetCommandHandler(c.Sprite_Move_Down, [this] { Sprite_Move_DownExecute(); });
  c.SetCommandHandler(c.Frame_Up, [this] { Frame_UpExecute(); });
  c.SetCommandHandler(c.Frame_Down, [this] { Frame_DownExecute(); });
  c.SetCommandHandler(c.Sprite_Delete_Frame, [this] { Sprite_Delete_FrameExecute(); });
  c.SetCommandHandler(c.Sprite_Delete, [this] { Sprite_DeleteExecute(); });
  CreatePopupMenus();
  Files().FormCreateFiles();
  SetUndoObject(nullptr);
  RebuildAnimationTree();
  Layout().Notebook_Properties()->setCurrentIndex(ppEmpty);
  RefreshCommandStates();
}

// The window's own tree and every document's tree: node pictures, in-place
// renaming of sprites, and the selection, edit and double-click events.
void TTreeArea::WireTree(QTreeWidget& tree) {
  tree.setHeaderHidden(true);
  tree.setIconSize(QSize(kTreeIconSize, kTreeIconSize));
  tree.setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  tree.setItemsExpandable(false);
  connect(&tree, &QTreeWidget::currentItemChanged, this, [this, &tree] {
    if (&tree == ShownTree()) AnimationTreeChange();
  });
  connect(&tree, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* node, int) { AnimationTreeEdited(node); });
  connect(&tree, &QTreeWidget::itemDoubleClicked, this, [this] { AnimationTreeDblClick(); });
  tree.installEventFilter(treeKeyFilter_.get());
  tree.setContextMenuPolicy(Qt::CustomContextMenu);
  connect(&tree, &QWidget::customContextMenuRequested, this, [this, &tree](const QPoint& at) {
    if (&tree == ShownTree() && animationTreePopupMenu_ != nullptr)
      animationTreePopupMenu_->popup(tree.viewport()->mapToGlobal(at));
  });
}

void TTreeArea::AttachTree(QTreeWidget& tree) {
  WireTree(tree);
  Layout().Panel_TreeView()->layout()->addWidget(&tree);
}

// ---- The Undo command ------------------------------------------------------------------------------------

void TTreeArea::SetUndoObject(TUndo* undo) {
  CurrentUndo = undo;
  QAction* command = Commands().Edit_Undo;
  if (undo != nullptr && !undo->Empty()) {
    const std::string caption = "Undo \"" + undo->Caption() + "\"";
    command->setEnabled(true);
    ApplyHint(*command, caption);
    command->setText(AnsiToQString("&" + caption));
  } else {
    command->setEnabled(false);
    ApplyHint(*command, "");
    command->setText("&Undo");
  }
}

void TTreeArea::Edit_UndoExecute() {
  TAnimationWindow* window = ActiveAnimationWindow();
  if (window != nullptr && window->Undo() != nullptr) window->Undo()->Undo();
}

// ---- Building the tree ---------------------------------------------------------------------------------

QTreeWidget* TTreeArea::ShownTree() const {
  TAnimationWindow* window = ActiveAnimationWindow();
  if (window != nullptr && window->Tree() != nullptr) return window->Tree();
  return Layout().AnimationTree();
}

int TTreeArea::NodeKind(const QTreeWidgetItem* node) {
  return node != nullptr ? node->data(0, kKindRole).toInt() : -1;
}

bool TTreeArea::IsFrameNode(int kind) {
  return kind == nkPictureFrame || kind == nkTextFrame || kind == nkRectangleFrame || kind == nkEllipseFrame ||
         kind == nkLineFrame;
}

// A node made whole before it joins the tree, so that the tree reports no
// edit for the making.
QTreeWidgetItem* TTreeArea::MakeNode(int kind, const QString& text) {
  auto* node = new QTreeWidgetItem(QStringList{text});
  node->setData(0, kKindRole, kind);
  node->setData(0, kCaptionRole, text);
  if (kind >= 0 && kind < static_cast<int>(imageListTree_.size()))
    node->setIcon(0, imageListTree_[static_cast<std::size_t>(kind)]);
  Qt::ItemFlags flags = node->flags() & ~Qt::ItemIsEditable;
  if (kind == nkSprite) flags |= Qt::ItemIsEditable;
  node->setFlags(flags);
  return node;
}

void TTreeArea::RebuildAnimationTree() {
  QTreeWidget* tree = ShownTree();
  const QSignalBlocker quiet(tree);
  tree->clear();
  if (ActiveAnimationWindow() == nullptr) {
    tree->addTopLevelItem(MakeNode(nkScene, "Empty Scene"));
    return;
  }
  QTreeWidgetItem* root =
      MakeNode(nkScene, "Scene [" + QString::fromStdString(ActiveAnimationWindow()->FileName()) + "]");
  tree->addTopLevelItem(root);
  if (CurrentScene() != nullptr) {
    QTreeWidgetItem* background = MakeNode(nkBackground, "Background");
    root->addChild(background);
    for (int i = CurrentScene()->SpriteCount() - 1; i >= 0; --i) AddSpriteNode(&CurrentScene()->Sprite(i), background, true);
  }
  tree->expandAll();
}

QTreeWidgetItem* TTreeArea::AddSpriteNode(TSprite* sprite, QTreeWidgetItem* node, bool append) {
  QTreeWidgetItem* spriteNode = MakeNode(nkSprite, AnsiToQString(sprite->Name));
  QTreeWidgetItem* parent = node->parent();
  {
    const QSignalBlocker quiet(node->treeWidget());
    if (parent == nullptr) {
      // A top-level node: the sprite joins the root level.
      QTreeWidget* tree = node->treeWidget();
      if (append)
        tree->addTopLevelItem(spriteNode);
      else
        tree->insertTopLevelItem(tree->indexOfTopLevelItem(node), spriteNode);
    } else if (append) {
      parent->addChild(spriteNode);
    } else {
      parent->insertChild(parent->indexOfChild(node), spriteNode);
    }
    if (sprite->Motion().StepCount() > 0) {
      spriteNode->addChild(MakeNode(nkMotion, "Pos./Size/Speed"));
      spriteNode->addChild(MakeNode(nkOpacity, "Opacity"));
      spriteNode->addChild(MakeNode(nkShadow, "Shadow"));
    }
    if (sprite->IntervalCount() > 0) spriteNode->addChild(MakeNode(nkAppearance, "Appearance"));
  }
  for (int i = 0; i < sprite->FrameCount(); ++i) AddFrameNode(&sprite->Frame(i), spriteNode);
  spriteNode->setExpanded(true);
  return spriteNode;
}

QTreeWidgetItem* TTreeArea::AddFrameNode(TFrame* frame, QTreeWidgetItem* spriteNode) {
  QTreeWidgetItem* node = MakeNode(FrameNodeKind(*frame), FrameNodeText(*frame));
  const QSignalBlocker quiet(spriteNode->treeWidget());
  spriteNode->addChild(node);
  spriteNode->setExpanded(true);
  return node;
}

// ---- Nodes and model objects -----------------------------------------------------------------------

std::vector<QTreeWidgetItem*> TTreeArea::SpriteNodes() const {
  std::vector<QTreeWidgetItem*> nodes;
  QTreeWidget* tree = ShownTree();
  for (int top = 0; top < tree->topLevelItemCount(); ++top) {
    QTreeWidgetItem* root = tree->topLevelItem(top);
    if (NodeKind(root) == nkSprite) nodes.push_back(root);
    for (int i = 0; i < root->childCount(); ++i)
      if (NodeKind(root->child(i)) == nkSprite) nodes.push_back(root->child(i));
  }
  return nodes;
}

QTreeWidgetItem* TTreeArea::NthSpriteNodeFromBottom(int k) const {
  const std::vector<QTreeWidgetItem*> nodes = SpriteNodes();
  if (k < 0 || k >= static_cast<int>(nodes.size())) return nullptr;
  return nodes[nodes.size() - 1 - static_cast<std::size_t>(k)];
}

TSprite* TTreeArea::SpriteOfTreeNode(QTreeWidgetItem* node) {
  if (CurrentScene() == nullptr || NodeKind(node) != nkSprite) return nullptr;
  const std::vector<QTreeWidgetItem*> nodes = SpriteNodes();
  const auto found = std::find(nodes.begin(), nodes.end(), node);
  if (found == nodes.end()) return nullptr;
  const int index = CurrentScene()->SpriteCount() - 1 - static_cast<int>(found - nodes.begin());
  if (index < 0 || index >= CurrentScene()->SpriteCount()) return nullptr;
  return &CurrentScene()->Sprite(index);
}

QTreeWidgetItem* TTreeArea::TreeNodeOfSprite(TSprite* sprite) {
  if (sprite == nullptr) return ShownTree()->topLevelItem(0);
  if (CurrentScene() == nullptr) return nullptr;
  return NthSpriteNodeFromBottom(IndexOfSprite(*CurrentScene(), sprite));
}

// Only a sprite of the active scene's list is current: a sprite that was
// deleted, or one of another document, is none.
TSprite* TTreeArea::CurrentSprite() {
  if (currentSprite_ == nullptr || CurrentScene() == nullptr) return nullptr;
  if (IndexOfSprite(*CurrentScene(), currentSprite_) < 0) {
    currentSprite_ = nullptr;
    return nullptr;
  }
  return currentSprite_;
}

TFrame* TTreeArea::CurrentFrame() {
  TSprite* sprite = CurrentSprite();
  QTreeWidgetItem* selected = ShownTree()->currentItem();
  if (CurrentScene() == nullptr || selected == nullptr || sprite == nullptr || sprite->FrameCount() == 0) return nullptr;
  int index = sprite->GetCurrentFrameIndex();
  if (IsFrameNode(NodeKind(selected)) && selected->parent() != nullptr) {
    index = 0;
    QTreeWidgetItem* parent = selected->parent();
    for (int i = 0; i < parent->indexOfChild(selected); ++i)
      if (IsFrameNode(NodeKind(parent->child(i)))) ++index;
    if (index >= sprite->FrameCount()) return nullptr;
  }
  return &sprite->Frame(index);
}

void TTreeArea::SetCurrentSprite(TSprite* sprite) {
  const TBusyCursor busy;
  const TFlagRestore filling(Motion().FillingMotionPage());
  currentSprite_ = sprite;
  // The motion row chosen stays chosen for the next sprite's list.
  Motion().RememberSelectedMotionRow();
  Layout().StepsTrackBar()->SetTimeLineCollection(sprite);
  if (sprite != nullptr) {
    // Positions and speeds are edited in pixels; choosing them is no edit.
    const TUndoRecordingPause pause;
    sprite->Motion().SetPositionUnits(1);
    sprite->Motion().SetSpeedUnits(1);
  }
  RefreshCommandStates();
}

void TTreeArea::DetachCurrentSprite() {
  currentSprite_ = nullptr;
  Layout().StepsTrackBar()->SetTimeLineCollection(nullptr);
}

// ---- Selecting nodes ------------------------------------------------------------------------------

void TTreeArea::SelectTreeNode(int spriteIndex, int nodeKind) {
  if (CurrentScene() == nullptr) return;
  QTreeWidget* tree = ShownTree();
  // A scene without sprites has only its root to select.
  if (spriteIndex < 0 || CurrentScene()->SpriteCount() == 0) {
    if (tree->topLevelItemCount() > 0) tree->setCurrentItem(tree->topLevelItem(0));
    return;
  }
  spriteIndex = std::min(spriteIndex, CurrentScene()->SpriteCount() - 1);
  SetCurrentSprite(&CurrentScene()->Sprite(spriteIndex));
  if (treeChangeRunning_) return;
  QTreeWidgetItem* spriteNode = NthSpriteNodeFromBottom(spriteIndex);
  if (spriteNode == nullptr) return;
  const auto firstChild = [spriteNode](auto wanted) -> QTreeWidgetItem* {
    for (int i = 0; i < spriteNode->childCount(); ++i)
      if (wanted(NodeKind(spriteNode->child(i)))) return spriteNode->child(i);
    return nullptr;
  };
  QTreeWidgetItem* target = nullptr;
  switch (nodeKind) {
    case 1:
      target = spriteNode;
      break;
    case 2:
      // A sprite without frames shows its own node.
      target = firstChild([](int kind) { return IsFrameNode(kind); });
      if (target == nullptr) target = spriteNode;
      break;
    case 3:
      target = firstChild([](int kind) { return kind == nkMotion; });
      break;
    case 4:
      target = firstChild([](int kind) { return kind == nkAppearance; });
      break;
    default:
      break;
  }
  if (target != nullptr) tree->setCurrentItem(target);
}

void TTreeArea::SelectFrameNode(int frameIndex) {
  QTreeWidget* tree = ShownTree();
  if (frameIndex < 0) {
    if (tree->topLevelItemCount() > 0) tree->setCurrentItem(tree->topLevelItem(0));
    return;
  }
  TSprite* sprite = CurrentSprite();
  if (sprite == nullptr || sprite->FrameCount() == 0) return;
  frameIndex = std::min(frameIndex, sprite->FrameCount() - 1);
  QTreeWidgetItem* spriteNode = TreeNodeOfSprite(sprite);
  if (spriteNode == nullptr) return;
  int seen = 0;
  for (int i = 0; i < spriteNode->childCount(); ++i) {
    if (!IsFrameNode(NodeKind(spriteNode->child(i)))) continue;
    if (seen++ == frameIndex) {
      tree->setCurrentItem(spriteNode->child(i));
      return;
    }
  }
}

// ---- The page of the selection ------------------------------------------------------------------------

void TTreeArea::AnimationTreeChange() {
  if (treeChangeRunning_) return;
  {
    const TFlagScope running(treeChangeRunning_);
    QTreeWidget* tree = ShownTree();
    tree->setToolTip("");
    QTreeWidgetItem* node = tree->currentItem();
    SwitchToPage(node);
    if (node != nullptr) Layout().PanelProperties()->setWindowTitle("Properties: " + node->text(0));
  }
  RefreshCommandStates();
}

// Makes the sprite of a child node current (only the sprite changes, since
// TreeChangeRunning is set) and brings the scene to a step that shows it.
void TTreeArea::ShowSpriteOfNode(QTreeWidgetItem* node) {
  if (ActiveAnimationWindow() == nullptr || CurrentScene() == nullptr || node == nullptr) return;
  TSprite* sprite = SpriteOfTreeNode(node->parent());
  if (sprite == nullptr) return;
  SelectTreeNode(IndexOfSprite(*CurrentScene(), sprite), 2);
  ActiveAnimationWindow()->ShowSpriteStep();
}

void TTreeArea::SwitchToPage(QTreeWidgetItem* node) {
  // A page hidden with the focus on one of its controls would pass the focus
  // on to the next widget, which may be another document: that document
  // would become the active one. The tree takes the focus first.
  if (QWidget* focused = QApplication::focusWidget(); focused != nullptr && Layout().Notebook_Properties()->isAncestorOf(focused))
    ShownTree()->setFocus(Qt::OtherFocusReason);
  TAnimationWindow* window = ActiveAnimationWindow();
  const bool withScene = window != nullptr && CurrentScene() != nullptr;
  const int kind = NodeKind(node);
  switch (kind) {
    case nkScene:
      Layout().Notebook_Properties()->setCurrentIndex(ppScene);
      if (withScene) {
        Playback().LoadScenePage();
        window->HideSelection();
      }
      DetachCurrentSprite();
      break;
    case nkSprite:
      Layout().Notebook_Properties()->setCurrentIndex(ppSprite);
      if (withScene) {
        currentSprite_ = SpriteOfTreeNode(node);
        Layout().StepsTrackBar()->SetTimeLineCollection(currentSprite_);
        FramePages().LoadSpritePage();
        window->UpdateSelection();
      }
      break;
    case nkBackground:
      Layout().Notebook_Properties()->setCurrentIndex(ppBackground);
      if (withScene) {
        FramePages().LoadBackgroundPage();
        window->HideSelection();
      }
      DetachCurrentSprite();
      break;
    case nkPictureFrame:
    case nkTextFrame:
    case nkRectangleFrame:
    case nkEllipseFrame:
    case nkLineFrame: {
      Layout().Notebook_Properties()->setCurrentIndex(ppFrame);
      ShowSpriteOfNode(node);
      TFrame* frame = CurrentFrame();
      if (frame != nullptr) FramePages().LoadFramePage();
      if (kind == nkPictureFrame) {
        Layout().NotebookFramePreview()->setCurrentIndex(0);
      } else if (kind == nkTextFrame) {
        if (frame != nullptr) {
          Layout().NotebookFramePreview()->setCurrentIndex(1);
          if (frame->Kind == fkText3D)
            Text3DEditor().Load3DTextPage();
          else
            Shapes().LoadTextPage();
        }
      } else if (kind == nkLineFrame) {
        Layout().NotebookFramePreview()->setCurrentIndex(3);
        Shapes().LoadLinePage();
        RequestSceneRecompute();
      } else {
        Layout().NotebookFramePreview()->setCurrentIndex(2);
        Shapes().LoadShapePage();
      }
      TSprite* sprite = CurrentSprite();
      if (kind != nkLineFrame && sprite != nullptr && withScene) {
        if (sprite->FrameCount() >= 2)
          RequestSceneRecompute();
        else if (!PlayButtonDown())
          window->UpdateSelection();
      }
      if (frame != nullptr && sprite != nullptr) {
        ShownTree()->setToolTip(QString("Frame: %1x%2 pxs. Total: %3 frames in the sprite.")
                                    .arg(frame->ImageWidth)
                                    .arg(frame->ImageHeight)
                                    .arg(sprite->FrameCount()));
      }
      break;
    }
    case nkMotion:
    case nkOpacity:
    case nkShadow:
      Layout().Notebook_Properties()->setCurrentIndex(ppMotion);
      if (withScene) {
        ShowSpriteOfNode(node);
        Motion().LoadMotionPage();
        Layout().Notebook_Size_Opacity()->setCurrentIndex(kind == nkMotion ? 0 : kind == nkOpacity ? 1 : 2);
      }
      break;
    case nkAppearance:
      Layout().Notebook_Properties()->setCurrentIndex(ppAppearance);
      if (withScene) {
        ShowSpriteOfNode(node);
        Motion().LoadAppearancePage();
      }
      break;
    default:
      break;
  }
}

// ---- Renaming sprites in place ---------------------------------------------------------------------------

bool TTreeArea::AnimationTreeEditing(QTreeWidgetItem* node) { return NodeKind(node) == nkSprite; }

void TTreeArea::AnimationTreeEdited(QTreeWidgetItem* node) {
  if (node == nullptr) return;
  QTreeWidget* tree = node->treeWidget();
  const QString text = node->text(0);
  TSprite* sprite = tree == ShownTree() && AnimationTreeEditing(node) ? SpriteOfTreeNode(node) : nullptr;
  if (sprite == nullptr) {
    // Only sprites are renamed: any other node keeps its caption.
    const QString caption = node->data(0, kCaptionRole).toString();
    if (text != caption) {
      const QSignalBlocker quiet(tree);
      node->setText(0, caption);
    }
    return;
  }
  std::string name = QStringToAnsi(text);
  if (name.size() > kMaxSpriteName) name.resize(kMaxSpriteName);
  if (name != sprite->Name) {
    sprite->Name = name;
    // The name has no undo record; the document is changed all the same.
    ActiveAnimationWindow()->SetModified(true);
  }
  const QSignalBlocker quiet(tree);
  node->setText(0, AnsiToQString(sprite->Name));
  node->setData(0, kCaptionRole, node->text(0));
  if (tree->currentItem() == node) {
    Layout().PanelProperties()->setWindowTitle("Properties: " + node->text(0));
    if (Layout().Notebook_Properties()->currentIndex() == ppSprite) FramePages().LoadSpritePage();
  }
  RefreshCommandStates();
}

void TTreeArea::AnimationTreeDblClick() {
  if (!Layout().PanelProperties()->isVisible()) Files().Show_Properties_WindowExecute();
}

// ---- Command states --------------------------------------------------------------------------------------

void TTreeArea::EnableCommands(std::initializer_list<QAction*> commands, bool enabled) {
  for (QAction* command : commands) Commands().EnableCommand(command, enabled);
}

void TTreeArea::RefreshCommandStates() {
  TSprite* sprite = CurrentSprite();
  const bool S = sprite != nullptr;
  const bool F = S && sprite->FrameCount() > 0;
  const bool A = S && sprite->IntervalCount() > 0;
  const bool M = S && sprite->Motion().StepCount() > 0;
  TAnimationWindow* window = ActiveAnimationWindow();
  const bool D = window != nullptr;
  const bool C = CurrentFrame() != nullptr;
  const int sel = NodeKind(ShownTree()->currentItem());
  const auto selIs = [sel](std::initializer_list<int> kinds) {
    return std::find(kinds.begin(), kinds.end(), sel) != kinds.end();
  };

  const int preview = Layout().NotebookFramePreview()->currentIndex();
  Commands().EnableCommand(Commands().Sprite_PickTransparentColor, preview == 0 || preview == 1);
  EnableCommands({Commands().Frame_Up, Commands().Frame_Down, Commands().Frame_CopyAsBMP_To, Commands().Frame_CopyAsBMP, Commands().Sprite_Delete_Frame,
                  Commands().Sprite_SetTransparencyToAllFrames, Commands().Sprite_SetDurationToAllFrames},
                 F);
  Commands().EnableCommand(Commands().File_Save, D && window->Modified());
  Commands().EnableCommand(Commands().Appearance_Delete, A);
  EnableCommands({Commands().Motion_Linear, Commands().Motion_Fixed, Commands().Motion_Delete, Commands().Motion_Edit, Commands().Motion_Up, Commands().Motion_Down,
                  Commands().Motion_AddFromGallery},
                 M);
  EnableCommands({Commands().Scene_Add_Image, Commands().File_Export, Commands().File_Save_As, Commands().Movie_NextFrame, Commands().Movie_Play, Commands().Movie_Play_Command,
                  Commands().Movie_LastStep, Commands().Movie_BackOneStep, Commands().Movie_FirstStep, Commands().View_Set_Step, Commands().Scene_Open_Background,
                  Commands().Scene_Paste_Background, Commands().Scene_Add_3DText, Commands().Scene_Add_Rectangle, Commands().Scene_Add_Ellipse, Commands().Scene_Add_Line,
                  Commands().Scene_SceneImageCopy, Commands().Scene_SceneImageCopyTo, Commands().Scene_BackgroundCopy, Commands().Scene_BackgroundCopyTo,
                  Commands().Veiw_400x40, Commands().View_400x50, Commands().View_468x60, Commands().View_Custom, Commands().View_88x31},
                 D);
  Layout().CurrentStep()->setEnabled(D);
  Layout().StepsTrackBar()->setEnabled(D);
  Commands().EnableCommand(Commands().Edit_Copy, selIs({nkSprite, nkPictureFrame, nkTextFrame, nkMotion, nkRectangleFrame, nkEllipseFrame,
                                  nkLineFrame, nkOpacity, nkShadow}));
  Commands().EnableCommand(Commands().Edit_Cut,
                selIs({nkSprite, nkPictureFrame, nkTextFrame, nkRectangleFrame, nkEllipseFrame, nkLineFrame}));
  EnableCommands({Commands().Sprite_Delete, Commands().Scene_Delete_Something, Commands().Motion_Add, Commands().Motion_AddLinear, Commands().Motion_AddFixed,
                  Commands().Scene_Up_Something, Commands().Scene_Down_Something, Commands().Scene_MovetoFrontOfAllSprites,
                  Commands().Scene_MoveToBackOfAllSprites, Commands().Appearance_Add, Commands().Sprite_Add_Image, Commands().Sprite_Add_3DText,
                  Commands().Sprite_Add_Rectangle, Commands().Sprite_Add_Ellipse, Commands().Sprite_Add_Line, Commands().Sprite_Move_Up, Commands().Sprite_Move_Down,
                  Commands().Sprite_Flip_Hor, Commands().Sprite_Flip_Vert, Commands().Effects_CustomRotation, Commands().Effects_90Clockwise,
                  Commands().Effects_90CounterClockwise, Commands().Effects_180Rotation, Commands().Effects_Resize},
                 S);
  for (QAction* effect : Commands().EffectCommands) Commands().EnableCommand(effect, C);
}
