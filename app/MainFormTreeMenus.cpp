// The right-click menus of the main window's documents: the selection box's
// menu with the current sprite's commands, the canvas's menu with the new
// sprite commands and the scene's settings, and the scene tree's menu with
// the commands of the node the user pointed at. Every item is an existing
// command, so its enabled state follows RefreshCommandStates.
#include "app/MainFormU.h"

#include <QAction>
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

void TMainForm::CreatePopupMenus() {
  spritePopupMenu_ = new QMenu(this);
  spritePopupMenu_->setObjectName("SpritePopupMenu");
  Fill(*spritePopupMenu_,
       {{Edit_Cut}, {Edit_Copy}, Sep(), {Sprite_Add_Image}, {Sprite_Add_3DText}, {Sprite_Add_Rectangle},
        {Sprite_Add_Ellipse}, {Sprite_Add_Line}, Sep(), {Sprite_Move_Up}, {Sprite_Move_Down},
        {Scene_MovetoFrontOfAllSprites}, {Scene_MoveToBackOfAllSprites}, Sep(), {Sprite_Flip_Hor},
        {Sprite_Flip_Vert}, Sub(Rotate1), {Effects_Resize}, Sub(Effects1), Sep(), {Sprite_Delete}});

  scenePopUpMenu_ = new QMenu(this);
  scenePopUpMenu_->setObjectName("ScenePopUpMenu");
  Fill(*scenePopUpMenu_, {{Scene_Add_Image}, {Scene_Add_3DText}, {Scene_Add_Rectangle}, {Scene_Add_Ellipse},
                          {Scene_Add_Line}, Sep(), {Edit_Paste}, {Edit_PasteAsNewSprite}, Sep(), Sub(Size1),
                          Sub(Background1), Sub(SceneImage1), Sep(), {Show_Properties_Window}});

  AnimationTree_PopupMenu = new QMenu(this);
  AnimationTree_PopupMenu->setObjectName("AnimationTree_PopupMenu");
  connect(AnimationTree_PopupMenu, &QMenu::aboutToShow, this, [this] { AnimationTree_PopupMenuPopup(); });
}

// The tree's menu holds what fits the selected node.
void TMainForm::AnimationTree_PopupMenuPopup() {
  std::vector<TMenuEntry> entries;
  const auto add = [&entries](std::initializer_list<TMenuEntry> more) { entries.insert(entries.end(), more); };
  switch (NodeKind(ShownTree()->currentItem())) {
    case nkScene:
      add({{Scene_Add_Image}, {Scene_Add_3DText}, {Scene_Add_Rectangle}, {Scene_Add_Ellipse}, {Scene_Add_Line},
           Sep(), {Edit_Paste}, {Edit_PasteAsNewSprite}, Sep(), Sub(Size1), Sub(SceneImage1)});
      break;
    case nkBackground:
      add({{Scene_Open_Background}, {Scene_Paste_Background}, Sep(), {Scene_BackgroundCopy},
           {Scene_BackgroundCopyTo}});
      break;
    case nkSprite:
      add({{Edit_Cut}, {Edit_Copy}, {Edit_Paste}, Sep(), {Sprite_Add_Image}, {Sprite_Add_3DText},
           {Sprite_Add_Rectangle}, {Sprite_Add_Ellipse}, {Sprite_Add_Line}, Sep(), {Sprite_Move_Up},
           {Sprite_Move_Down}, {Scene_MovetoFrontOfAllSprites}, {Scene_MoveToBackOfAllSprites}, Sep(),
           Sub(Motion1), Sub(Appearance1), Sep(), {Sprite_Delete}});
      break;
    case nkPictureFrame:
    case nkTextFrame:
    case nkRectangleFrame:
    case nkEllipseFrame:
    case nkLineFrame:
      add({{Edit_Cut}, {Edit_Copy}, {Edit_Paste}, Sep(), {Frame_Up}, {Frame_Down}, {Sprite_Delete_Frame}, Sep(),
           {Frame_CopyAsBMP}, {Frame_CopyAsBMP_To}, Sep(), Sub(Effects1)});
      break;
    case nkMotion:
    case nkOpacity:
    case nkShadow:
      add({{Edit_Copy}, {Edit_Paste}, Sep(), {Motion_AddLinear}, {Motion_AddFixed}, {Motion_AddFromGallery}, Sep(),
           {Motion_Edit}, {Motion_Delete}, Sep(), {Scene_Up_Something}, {Scene_Down_Something}});
      break;
    case nkAppearance:
      add({{Appearance_Add}, {Appearance_Delete}, Sep(), {Scene_Delete_Something}});
      break;
    default:
      break;
  }
  Fill(*AnimationTree_PopupMenu, entries);
}

void TMainForm::AnimationTreeKeyDown(int& key) {
  if (key != Qt::Key_Delete) return;
  key = 0;
  if (Scene_Delete_Something->isEnabled()) Scene_Delete_Something->trigger();
}
