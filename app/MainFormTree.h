// The scene tree and the command states: the tree of the active document
// (scene, background, sprites with their motion, opacity, shadow, appearance
// and frame nodes), the selection that chooses the property page, the current
// sprite and frame, the Undo command's caption, the enabled state of every
// command, Delete/Up/Down on the selected node and the right-click menus.
#pragma once

#include "app/MainFormArea.h"

#include <QIcon>

#include <initializer_list>
#include <memory>
#include <vector>

class QAction;
class QMenu;
class QString;
class QTreeWidget;
class QTreeWidgetItem;

class TTreeArea : public TMainFormArea {
 public:
  explicit TTreeArea(TMainFormContext& editor);
  ~TTreeArea() override;

  // Wires the window's own tree, connects the area's commands and shows the
  // empty tree (end of FormCreate); the files area is built in between, as
  // before the first command states.
  void FormCreateTree();

  // ---- Nodes ----
  // The node kinds: each node's image index in ImageList_Tree.
  enum TTreeNodeKind : int {
    nkScene = 0, nkSprite = 1, nkBackground = 2, nkPictureFrame = 3, nkTextFrame = 4, nkMotion = 5,
    nkAppearance = 6, nkUnused = 7, nkRectangleFrame = 8, nkEllipseFrame = 9, nkLineFrame = 10, nkOpacity = 11,
    nkShadow = 12
  };
  // The node pictures, by node kind (13 small pictures drawn in code).
  const std::vector<QIcon>& ImageList_Tree() const { return imageListTree_; }
  // The kind of a node (-1 for none).
  static int NodeKind(const QTreeWidgetItem* node);
  static bool IsFrameNode(int kind);
  // The tree shown: the active document's tree or the window's own.
  QTreeWidget* ShownTree() const;
  // Set while AnimationTreeChange runs and while a sprite or frame is being
  // added, so that selecting nodes does not reload the pages meanwhile.
  bool TreeChangeRunning() const { return treeChangeRunning_; }
  void SetTreeChangeRunning(bool running) { treeChangeRunning_ = running; }
  // A document created its tree: it gets the pictures, the menu and the events.
  void AttachTree(QTreeWidget& tree);
  void RebuildAnimationTree();
  // Adds a sprite's node with its children after the last sibling of node
  // (append) or before node; returns it.
  QTreeWidgetItem* AddSpriteNode(TSprite* sprite, QTreeWidgetItem* node, bool append);
  // Adds a frame's node as the last child of a sprite node.
  QTreeWidgetItem* AddFrameNode(TFrame* frame, QTreeWidgetItem* spriteNode);
  // The sprite a sprite node shows (nullptr: none).
  TSprite* SpriteOfTreeNode(QTreeWidgetItem* node);
  // The node of a sprite; the root for nullptr; nullptr when not found.
  QTreeWidgetItem* TreeNodeOfSprite(TSprite* sprite);
  // The sprite nodes of the shown tree, top to bottom.
  std::vector<QTreeWidgetItem*> SpriteNodes() const;

  // ---- The current sprite and frame ----
  // The current sprite: always a sprite of the active scene's list, or nullptr.
  TSprite* CurrentSprite();
  TFrame* CurrentFrame();
  // Makes a sprite current (nullptr: no current sprite).
  void SetCurrentSprite(TSprite* sprite);
  // Forgets the current sprite and detaches the time line from it.
  void DetachCurrentSprite();
  // spriteIndex < 0 selects the root; else the sprite (clamped) becomes
  // current and its node of the kind is selected (1 the sprite, 2 its first
  // frame, 3 its motion, 4 its appearance).
  void SelectTreeNode(int spriteIndex, int nodeKind);
  // frameIndex < 0 selects the root; else the current sprite's frame (clamped).
  void SelectFrameNode(int frameIndex);
  // The selection changed (also called after model changes): the page of the
  // selected node is shown and filled.
  void AnimationTreeChange();
  void AnimationTreeDblClick();

  // ---- Commands ----
  // Every command's enabled state from the active document and the selection.
  void RefreshCommandStates();
  // Attaches a document's undo log (nullptr: none) and sets the Undo command from it.
  void SetUndoObject(TUndo* undo);
  // Delete, Up and Down of the tree (MainFormTreeCommands.cpp).
  void Scene_Delete_SomethingExecute();
  void Sprite_Move_UpExecute();
  void Sprite_Move_DownExecute();
  void Frame_UpExecute();
  void Sprite_DeleteExecute();

  // ---- Right-click menus (MainFormTreeMenus.cpp) ----
  // The selection box's menu (the current sprite's commands) and the
  // canvas's menu (new sprites, paste, the scene's settings).
  QMenu* SpritePopupMenu() const { return spritePopupMenu_; }
  QMenu* ScenePopUpMenu() const { return scenePopUpMenu_; }

 private:
  void WireTree(QTreeWidget& tree);
  QTreeWidgetItem* MakeNode(int kind, const QString& text);
  QTreeWidgetItem* NthSpriteNodeFromBottom(int k) const;
  void ShowSpriteOfNode(QTreeWidgetItem* node);
  void SwitchToPage(QTreeWidgetItem* node);
  // In-place editing: only sprite nodes; the edited text names the sprite.
  bool AnimationTreeEditing(QTreeWidgetItem* node);
  void AnimationTreeEdited(QTreeWidgetItem* node);
  void EnableCommands(std::initializer_list<QAction*> commands, bool enabled);
  void Edit_UndoExecute();

  void Scene_Up_SomethingExecute();
  void Scene_Down_SomethingExecute();
  void Frame_DownExecute();
  // Deletes the current sprite's current frame (the Delete Frame command).
  void Sprite_Delete_FrameExecute();
  void ClearAppearanceOfCurrentSprite();
  // After a sprite moved in the scene's list: its node moved by offset, the
  // page and commands follow, playback goes on.
  void FinishSpriteMove(QTreeWidgetItem* node, int offset);
  void FinishFrameMove(QTreeWidgetItem* node, int offset);

  void CreatePopupMenus();
  // The tree's menu: the commands of the selected node, refilled each time it opens.
  void AnimationTree_PopupMenuPopup();
  // The Del key on a tree: Scene_Delete_Something, the key consumed.
  void AnimationTreeKeyDown(int& key);

  std::vector<QIcon> imageListTree_;
  bool treeChangeRunning_ = false;
  TSprite* currentSprite_ = nullptr;
  std::unique_ptr<QObject> treeKeyFilter_;
  QMenu* spritePopupMenu_ = nullptr;
  QMenu* scenePopUpMenu_ = nullptr;
  QMenu* animationTreePopupMenu_ = nullptr;
};
