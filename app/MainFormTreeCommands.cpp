// Delete, Up and Down on the scene tree: deleting and reordering sprites and
// frames (their model side and undo records in TreeCommands), the tree kept
// in step.
#include "app/MainFormTree.h"
#include "app/MainFormLayout.h"

#include "app/AnimationWindowU.h"
#include "app/core/TreeCommands.h"
#include "controls/UTimelineSlider.h"
#include "scene/Frame.h"
#include "scene/Sprite.h"
#include "scene/Undo.h"

#include <QSignalBlocker>
#include <QTreeWidget>

namespace {

int IndexOfSprite(const TAnimatedScene& scene, const TSprite* sprite) {
  for (int i = 0; i < scene.SpriteCount(); ++i)
    if (&scene.Sprite(i) == sprite) return i;
  return -1;
}

// Moves a node among its siblings (by offset -1 or +1), children and
// selection kept, without the tree reporting the move as a new selection.
void MoveNode(QTreeWidgetItem* node, int offset) {
  QTreeWidgetItem* parent = node->parent();
  QTreeWidget* tree = node->treeWidget();
  if (parent == nullptr || tree == nullptr) return;
  const int at = parent->indexOfChild(node);
  const int to = at + offset;
  if (to < 0 || to >= parent->childCount()) return;
  const bool wasCurrent = tree->currentItem() == node;
  const QSignalBlocker quiet(tree);
  parent->takeChild(at);
  parent->insertChild(to, node);
  node->setExpanded(true);
  if (wasCurrent) tree->setCurrentItem(node);
}

}  // namespace

// ---- Delete, Up and Down on the selected node ---------------------------------------------------------

void TTreeArea::Scene_Delete_SomethingExecute() {
  QTreeWidgetItem* selected = ShownTree()->currentItem();
  TSprite* sprite = CurrentSprite();
  if (ActiveAnimationWindow() == nullptr || CurrentScene() == nullptr || selected == nullptr || sprite == nullptr) return;
  const int kind = NodeKind(selected);
  if (IsFrameNode(kind)) {
    if (sprite->FrameCount() > 1)
      Sprite_Delete_FrameExecute();
    else
      Sprite_DeleteExecute();
  } else if (kind == nkSprite || kind == nkMotion || kind == nkOpacity || kind == nkShadow) {
    Sprite_DeleteExecute();
  } else if (kind == nkAppearance) {
    ClearAppearanceOfCurrentSprite();
  }
}

// Clears every visibility interval of the current sprite at once, as one
// undoable edit.
void TTreeArea::ClearAppearanceOfCurrentSprite() {
  TSprite* sprite = CurrentSprite();
  QTreeWidgetItem* selected = ShownTree()->currentItem();
  if (sprite == nullptr || NodeKind(selected) != nkAppearance) return;
  ClearAppearances(*sprite);
  delete selected;
  Layout().StepsTrackBar()->SetTimeLineCollection(CurrentSprite());
  RefreshCommandStates();
  RequestSceneRecompute();
}

void TTreeArea::Scene_Up_SomethingExecute() {
  QTreeWidgetItem* selected = ShownTree()->currentItem();
  TSprite* sprite = CurrentSprite();
  if (selected == nullptr || sprite == nullptr) return;
  const int kind = NodeKind(selected);
  if (IsFrameNode(kind) && sprite->FrameCount() != 1)
    Frame_UpExecute();
  else if (IsFrameNode(kind) || kind == nkSprite || kind == nkMotion || kind == nkAppearance || kind == nkOpacity ||
           kind == nkShadow)
    Sprite_Move_UpExecute();
}

void TTreeArea::Scene_Down_SomethingExecute() {
  QTreeWidgetItem* selected = ShownTree()->currentItem();
  TSprite* sprite = CurrentSprite();
  if (ActiveAnimationWindow() == nullptr || CurrentScene() == nullptr || selected == nullptr || sprite == nullptr) return;
  const int kind = NodeKind(selected);
  if (IsFrameNode(kind) && sprite->FrameCount() != 1)
    Frame_DownExecute();
  else if (IsFrameNode(kind) || kind == nkSprite || kind == nkMotion || kind == nkAppearance || kind == nkOpacity ||
           kind == nkShadow)
    Sprite_Move_DownExecute();
}

// ---- Sprites to the front and to the back ---------------------------------------------------------------

// Toward the front: the sprite swaps with the one drawn after it, and its
// node moves up past that one's node.
void TTreeArea::Sprite_Move_UpExecute() {
  TSprite* sprite = CurrentSprite();
  if (CurrentScene() == nullptr || sprite == nullptr || ActiveAnimationWindow() == nullptr) return;
  const int old = IndexOfSprite(*CurrentScene(), sprite);
  if (old < 0 || old >= CurrentScene()->SpriteCount() - 1) return;
  ActiveAnimationWindow()->StopPlayback();
  QTreeWidgetItem* node = TreeNodeOfSprite(sprite);
  MoveSpriteUp(*CurrentScene(), old);
  FinishSpriteMove(node, -1);
}

// Toward the back: the sprite swaps with the one drawn before it.
void TTreeArea::Sprite_Move_DownExecute() {
  TSprite* sprite = CurrentSprite();
  if (CurrentScene() == nullptr || sprite == nullptr || ActiveAnimationWindow() == nullptr) return;
  const int old = IndexOfSprite(*CurrentScene(), sprite);
  if (old <= 0) return;
  ActiveAnimationWindow()->StopPlayback();
  QTreeWidgetItem* node = TreeNodeOfSprite(sprite);
  MoveSpriteDown(*CurrentScene(), old);
  FinishSpriteMove(node, +1);
}

void TTreeArea::FinishSpriteMove(QTreeWidgetItem* node, int offset) {
  DetachCurrentSprite();
  if (node != nullptr) MoveNode(node, offset);
  AnimationTreeChange();
  RefreshCommandStates();
  ActiveAnimationWindow()->ResumePlayback();
  RequestSceneRecompute();
}

// ---- Frames up and down ------------------------------------------------------------------------------------

void TTreeArea::Frame_UpExecute() {
  TSprite* sprite = CurrentSprite();
  TFrame* frame = CurrentFrame();
  QTreeWidgetItem* selected = ShownTree()->currentItem();
  if (CurrentScene() == nullptr || sprite == nullptr || frame == nullptr || !IsFrameNode(NodeKind(selected))) return;
  if (MoveFrameUp(*sprite, frame->Index())) FinishFrameMove(selected, -1);
}

void TTreeArea::Frame_DownExecute() {
  TSprite* sprite = CurrentSprite();
  TFrame* frame = CurrentFrame();
  QTreeWidgetItem* selected = ShownTree()->currentItem();
  if (CurrentScene() == nullptr || sprite == nullptr || frame == nullptr || !IsFrameNode(NodeKind(selected))) return;
  if (MoveFrameDown(*sprite, frame->Index())) FinishFrameMove(selected, +1);
}

void TTreeArea::FinishFrameMove(QTreeWidgetItem* node, int offset) {
  MoveNode(node, offset);
  AnimationTreeChange();
  RefreshCommandStates();
}

// ---- Deleting ---------------------------------------------------------------------------------------------

// The selected frame goes ("Delete Frame"); a sprite keeps at least one
// frame, so on a one-frame sprite the command only refreshes the commands.
void TTreeArea::Sprite_Delete_FrameExecute() {
  TSprite* sprite = CurrentSprite();
  TFrame* frame = CurrentFrame();
  if (ActiveAnimationWindow() == nullptr || CurrentScene() == nullptr || sprite == nullptr || frame == nullptr) return;
  if (sprite->FrameCount() <= 1 || !IsFrameNode(NodeKind(ShownTree()->currentItem()))) {
    RefreshCommandStates();
    RequestSceneRecompute();
    return;
  }
  TAnimationWindow* window = ActiveAnimationWindow();
  window->StopPlayback();
  const int index = frame->Index();
  DeleteFrameKeepingOne(*sprite, index);
  if (QTreeWidgetItem* spriteNode = TreeNodeOfSprite(sprite)) {
    int seen = 0;
    for (int i = 0; i < spriteNode->childCount(); ++i) {
      if (!IsFrameNode(NodeKind(spriteNode->child(i)))) continue;
      if (seen++ == index) {
        const QSignalBlocker quiet(ShownTree());
        delete spriteNode->child(i);
        break;
      }
    }
  }
  SelectFrameNode(std::min(index, sprite->FrameCount() - 1));
  AnimationTreeChange();
  window->ResumePlayback();
  RequestSceneRecompute();
}

// The current sprite goes ("Delete Sprite"); the scene's root is selected.
void TTreeArea::Sprite_DeleteExecute() {
  TSprite* sprite = CurrentSprite();
  if (ActiveAnimationWindow() == nullptr || CurrentScene() == nullptr || sprite == nullptr) return;
  const int index = IndexOfSprite(*CurrentScene(), sprite);
  if (index < 0) return;
  TAnimationWindow* window = ActiveAnimationWindow();
  window->StopPlayback();
  window->HideSelection();
  QTreeWidgetItem* node = TreeNodeOfSprite(sprite);
  CurrentScene()->DeleteSprite(index);
  DetachCurrentSprite();
  if (node != nullptr) {
    const QSignalBlocker quiet(ShownTree());
    delete node;
  }
  SelectTreeNode(-1, 2);
  AnimationTreeChange();
  window->ResumePlayback();
  RequestSceneRecompute();
}
