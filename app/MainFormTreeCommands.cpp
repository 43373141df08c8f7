// Delete, Up and Down on the scene tree: deleting and reordering sprites and
// frames, with their undo records.
#include "app/MainFormU.h"
#include "app/MainFormLayout.h"

#include "app/AnimationWindowU.h"
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

void TMainForm::Scene_Delete_SomethingExecute() {
  QTreeWidgetItem* selected = ShownTree()->currentItem();
  TSprite* sprite = CurrentSprite();
  if (activeWindow_ == nullptr || CurrentScene() == nullptr || selected == nullptr || sprite == nullptr) return;
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
void TMainForm::ClearAppearanceOfCurrentSprite() {
  TSprite* sprite = CurrentSprite();
  QTreeWidgetItem* selected = ShownTree()->currentItem();
  if (sprite == nullptr || NodeKind(selected) != nkAppearance) return;
  RecordUndo(urkSpriteEdit, "Delete Appearance", true, 0, sprite->Id, uokIntervals,
             [sprite](TStream& stream) { sprite->SaveAppearances(stream); });
  {
    const TUndoRecordingPause pause;
    while (sprite->IntervalCount() > 0) sprite->DeleteAppearance(sprite->IntervalCount() - 1);
  }
  delete selected;
  Layout().StepsTrackBar()->SetTimeLineCollection(CurrentSprite());
  RefreshCommandStates();
  RequestSceneRecompute();
}

void TMainForm::Scene_Up_SomethingExecute() {
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

void TMainForm::Scene_Down_SomethingExecute() {
  QTreeWidgetItem* selected = ShownTree()->currentItem();
  TSprite* sprite = CurrentSprite();
  if (activeWindow_ == nullptr || CurrentScene() == nullptr || selected == nullptr || sprite == nullptr) return;
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
void TMainForm::Sprite_Move_UpExecute() {
  TSprite* sprite = CurrentSprite();
  if (CurrentScene() == nullptr || sprite == nullptr || activeWindow_ == nullptr) return;
  const int old = IndexOfSprite(*CurrentScene(), sprite);
  if (old < 0 || old >= CurrentScene()->SpriteCount() - 1) return;
  activeWindow_->StopPlayback();
  QTreeWidgetItem* node = TreeNodeOfSprite(sprite);
  RecordUndo(urkSpriteList, "Move Sprite Up", false, old + 1, 0, uokSpriteMovedEarlier, nullptr);
  CurrentScene()->MoveSprite(old, old + 1);
  DetachCurrentSprite();
  if (node != nullptr) MoveNode(node, -1);
  AnimationTreeChange();
  RefreshCommandStates();
  activeWindow_->ResumePlayback();
  RequestSceneRecompute();
}

// Toward the back: the sprite swaps with the one drawn before it.
void TMainForm::Sprite_Move_DownExecute() {
  TSprite* sprite = CurrentSprite();
  if (CurrentScene() == nullptr || sprite == nullptr || activeWindow_ == nullptr) return;
  const int old = IndexOfSprite(*CurrentScene(), sprite);
  if (old <= 0) return;
  activeWindow_->StopPlayback();
  QTreeWidgetItem* node = TreeNodeOfSprite(sprite);
  RecordUndo(urkSpriteList, "Move Sprite Down", false, old - 1, 1, uokSpriteMovedLater, nullptr);
  CurrentScene()->MoveSprite(old, old - 1);
  DetachCurrentSprite();
  if (node != nullptr) MoveNode(node, +1);
  AnimationTreeChange();
  RefreshCommandStates();
  activeWindow_->ResumePlayback();
  RequestSceneRecompute();
}

// ---- Frames up and down ------------------------------------------------------------------------------------

void TMainForm::Frame_UpExecute() {
  TSprite* sprite = CurrentSprite();
  TFrame* frame = CurrentFrame();
  QTreeWidgetItem* selected = ShownTree()->currentItem();
  if (CurrentScene() == nullptr || sprite == nullptr || frame == nullptr || !IsFrameNode(NodeKind(selected))) return;
  const int index = frame->Index();
  if (index <= 0) return;
  RecordUndo(urkSpriteEdit, "Move Frame Up", false, index, frame->Id, uokMovedFrame, nullptr);
  sprite->MoveFrame(index, index - 1);
  MoveNode(selected, -1);
  AnimationTreeChange();
  RefreshCommandStates();
}

void TMainForm::Frame_DownExecute() {
  TSprite* sprite = CurrentSprite();
  TFrame* frame = CurrentFrame();
  QTreeWidgetItem* selected = ShownTree()->currentItem();
  if (CurrentScene() == nullptr || sprite == nullptr || frame == nullptr || !IsFrameNode(NodeKind(selected))) return;
  const int index = frame->Index();
  if (index < 0 || index >= sprite->FrameCount() - 1) return;
  RecordUndo(urkSpriteEdit, "Move Frame Down", false, index, frame->Id, uokMovedFrame, nullptr);
  sprite->MoveFrame(index, index + 1);
  MoveNode(selected, +1);
  AnimationTreeChange();
  RefreshCommandStates();
}

// ---- Deleting ---------------------------------------------------------------------------------------------

// The selected frame goes ("Delete Frame"); a sprite keeps at least one
// frame, so on a one-frame sprite the command only refreshes the commands.
void TMainForm::Sprite_Delete_FrameExecute() {
  TSprite* sprite = CurrentSprite();
  TFrame* frame = CurrentFrame();
  if (activeWindow_ == nullptr || CurrentScene() == nullptr || sprite == nullptr || frame == nullptr) return;
  if (sprite->FrameCount() <= 1 || !IsFrameNode(NodeKind(ShownTree()->currentItem()))) {
    RefreshCommandStates();
    RequestSceneRecompute();
    return;
  }
  activeWindow_->StopPlayback();
  const int index = frame->Index();
  sprite->DeleteFrame(index);
  sprite->SetCurrentFrameIndex(std::min(index, sprite->FrameCount() - 1));
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
  activeWindow_->ResumePlayback();
  RequestSceneRecompute();
}

// The current sprite goes ("Delete Sprite"); the scene's root is selected.
void TMainForm::Sprite_DeleteExecute() {
  TSprite* sprite = CurrentSprite();
  if (activeWindow_ == nullptr || CurrentScene() == nullptr || sprite == nullptr) return;
  const int index = IndexOfSprite(*CurrentScene(), sprite);
  if (index < 0) return;
  activeWindow_->StopPlayback();
  activeWindow_->HideSelection();
  QTreeWidgetItem* node = TreeNodeOfSprite(sprite);
  CurrentScene()->DeleteSprite(index);
  DetachCurrentSprite();
  if (node != nullptr) {
    const QSignalBlocker quiet(ShownTree());
    delete node;
  }
  SelectTreeNode(-1, 2);
  AnimationTreeChange();
  activeWindow_->ResumePlayback();
  RequestSceneRecompute();
}
