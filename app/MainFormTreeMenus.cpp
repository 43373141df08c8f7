// The right-click menus of the main window's documents: the selection box's
// menu with the current sprite's commands, the canvas's menu with the new
// sprite commands and the scene's settings, and the scene tree's menu with
// the commands of the node the user pointed at. Every item is an existing
// command, so its enabled state follows RefreshCommandStates.
#include "app/MainFormTree.h"
#include "app/MainFormActions.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QTreeWidget>

#include <vector>

namespace {

// A list of menu entries: a command, a sub-menu, or a separator (both null).
struct TMenuEntry {
  QAction* command = nullptr;
  QMenu* subMenu = nullptr;
};

void Fill(QMenu& menu, const std::vector<TMenuEntry>& entries) {
  menu.clear();
  for (const TMenuEntry& entry : entries) {
    if (entry.command != nullptr)
      menu.addAction(entry.command);
    else if (entry.subMenu != nullptr)
      menu.addMenu(entry.subMenu);
    else
      menu.addSeparator();
  }
}

TMenuEntry Sep() { return {}; }
TMenuEntry Sub(QMenu* menu) { return {nullptr, menu}; }

}  // namespace

void TTreeArea::CreatePopupMenus() {
  spritePopupMenu_ = new QMenu(&Window());
  spritePopupMenu_->setObjectName("SpritePopupMenu");
  Fill(*spritePopupMenu_,
       {{Commands().Edit_Cut}, {Commands().Edit_Copy}, Sep(), {Commands().Sprite_Add_Image}, {Commands().Sprite_Add_3DText}, {Commands().Sprite_Add_Rectangle},
        {Commands().Sprite_Add_Ellipse}, {Commands().Sprite_Add_Line}, Sep(), {Commands().Sprite_Move_Up}, {Commands().Sprite_Move_Down},
        {Commands().Scene_MovetoFrontOfAllSprites}, {Commands().Scene_MoveToBackOfAllSprites}, Sep(), {Commands().Sprite_Flip_Hor},
        {Commands().Sprite_Flip_Vert}, Sub(Commands().Rotate1), {Commands().Effects_Resize}, Sub(Commands().Effects1), Sep(), {Commands().Sprite_Delete}});

  scenePopUpMenu_ = new QMenu(&Window());
  scenePopUpMenu_->setObjectName("ScenePopUpMenu");
  Fill(*scenePopUpMenu_, {{Commands().Scene_Add_Image}, {Commands().Scene_Add_3DText}, {Commands().Scene_Add_Rectangle}, {Commands().Scene_Add_Ellipse},
                          {Commands().Scene_Add_Line}, Sep(), {Commands().Edit_Paste}, {Commands().Edit_PasteAsNewSprite}, Sep(), Sub(Commands().Size1),
                          Sub(Commands().Background1), Sub(Commands().SceneImage1), Sep(), {Commands().Show_Properties_Window}});

  animationTreePopupMenu_ = new QMenu(&Window());
  animationTreePopupMenu_->setObjectName("AnimationTree_PopupMenu");
  connect(animationTreePopupMenu_, &QMenu::aboutToShow, this, [this] { AnimationTree_PopupMenuPopup(); });
}

// The tree's menu holds what fits the selected node.
void TTreeArea::AnimationTree_PopupMenuPopup() {
  std::vector<TMenuEntry> entries;
  const auto add = [&entries](std::initializer_list<TMenuEntry> more) { entries.insert(entries.end(), more); };
  switch (NodeKind(ShownTree()->currentItem())) {
    case nkScene:
      add({{Commands().Scene_Add_Image}, {Commands().Scene_Add_3DText}, {Commands().Scene_Add_Rectangle}, {Commands().Scene_Add_Ellipse}, {Commands().Scene_Add_Line},
           Sep(), {Commands().Edit_Paste}, {Commands().Edit_PasteAsNewSprite}, Sep(), Sub(Commands().Size1), Sub(Commands().SceneImage1)});
      break;
    case nkBackground:
      add({{Commands().Scene_Open_Background}, {Commands().Scene_Paste_Background}, Sep(), {Commands().Scene_BackgroundCopy},
           {Commands().Scene_BackgroundCopyTo}});
      break;
    case nkSprite:
      add({{Commands().Edit_Cut}, {Commands().Edit_Copy}, {Commands().Edit_Paste}, Sep(), {Commands().Sprite_Add_Image}, {Commands().Sprite_Add_3DText},
           {Commands().Sprite_Add_Rectangle}, {Commands().Sprite_Add_Ellipse}, {Commands().Sprite_Add_Line}, Sep(), {Commands().Sprite_Move_Up},
           {Commands().Sprite_Move_Down}, {Commands().Scene_MovetoFrontOfAllSprites}, {Commands().Scene_MoveToBackOfAllSprites}, Sep(),
           Sub(Commands().Motion1), Sub(Commands().Appearance1), Sep(), {Commands().Sprite_Delete}});
      break;
    case nkPictureFrame:
    case nkTextFrame:
    case nkRectangleFrame:
    case nkEllipseFrame:
    case nkLineFrame:
      add({{Commands().Edit_Cut}, {Commands().Edit_Copy}, {Commands().Edit_Paste}, Sep(), {Commands().Frame_Up}, {Commands().Frame_Down}, {Commands().Sprite_Delete_Frame}, Sep(),
           {Commands().Frame_CopyAsBMP}, {Commands().Frame_CopyAsBMP_To}, Sep(), Sub(Commands().Effects1)});
      break;
    case nkMotion:
    case nkOpacity:
    case nkShadow:
      add({{Commands().Edit_Copy}, {Commands().Edit_Paste}, Sep(), {Commands().Motion_AddLinear}, {Commands().Motion_AddFixed}, {Commands().Motion_AddFromGallery}, Sep(),
           {Commands().Motion_Edit}, {Commands().Motion_Delete}, Sep(), {Commands().Scene_Up_Something}, {Commands().Scene_Down_Something}});
      break;
    case nkAppearance:
      add({{Commands().Appearance_Add}, {Commands().Appearance_Delete}, Sep(), {Commands().Scene_Delete_Something}});
      break;
    default:
      break;
  }
  Fill(*animationTreePopupMenu_, entries);
}

void TTreeArea::AnimationTreeKeyDown(int& key) {
  if (key != Qt::Key_Delete) return;
  key = 0;
  if (Commands().Scene_Delete_Something->isEnabled()) Commands().Scene_Delete_Something->trigger();
}
