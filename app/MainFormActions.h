// The main window's command set: every command of the editor as an action
// with its design name (its objectName), caption, hint and shortcut, the menu
// bar, the pop-up menus of the adding buttons and the three tool bars. The
// areas connect the commands to their handlers; a command without a handler
// is never enabled.
#pragma once

#include "app/MainFormArea.h"

#include <array>
#include <functional>
#include <set>
#include <string>
#include <vector>

class QAction;
class QKeySequence;
class QMenu;
class QToolBar;
class QToolButton;

class TCommandSet : public TMainFormArea {
 public:
  explicit TCommandSet(TMainFormContext& editor);

  // Makes the commands, the menus and the tool bars of the window.
  void Create();

  // Connects a command to its handler (its Execute), which runs behind the
  // entry barrier. Only a command with a handler is ever enabled.
  void SetCommandHandler(QAction* command, std::function<void()> handler);
  bool HasCommandHandler(QAction* command) const;
  // Enables or disables a command; a command without a handler stays disabled.
  void EnableCommand(QAction* command, bool enabled);
  // The action of a design name (nullptr for an unknown name).
  QAction* ActionByName(const std::string& name) const;
  // Every command of the editor, in the order they were made.
  const std::vector<QAction*>& AllCommands() const { return commands_; }

  // The commands, menus and bars (made by Create, owned by the window).
  QAction* Edit_Undo = nullptr;
  // File
  QAction* File_New = nullptr;
  QAction* File_NewFromTemplate = nullptr;
  QAction* File_Open = nullptr;
  QAction* File_Save = nullptr;
  QAction* File_Save_As = nullptr;
  QAction* File_Import = nullptr;
  QAction* File_Export = nullptr;
  QAction* File_Exit = nullptr;
  // Edit (Edit_Undo() is below, with what the documents need)
  QAction* Edit_Cut = nullptr;
  QAction* Edit_Copy = nullptr;
  QAction* Edit_Paste = nullptr;
  QAction* Edit_PasteAsNewSprite = nullptr;
  QAction* Scene_Delete_Something = nullptr;
  QAction* Scene_Up_Something = nullptr;
  QAction* Scene_Down_Something = nullptr;
  QAction* Tools_Options = nullptr;
  // Insert
  QAction* Scene_Add_Image = nullptr;
  QAction* Scene_Add_3DText = nullptr;
  QAction* Scene_Add_Rectangle = nullptr;
  QAction* Scene_Add_Ellipse = nullptr;
  QAction* Scene_Add_Line = nullptr;
  // Sprite
  QAction* Sprite_Add_Image = nullptr;
  QAction* Sprite_Add_3DText = nullptr;
  QAction* Sprite_Add_Rectangle = nullptr;
  QAction* Sprite_Add_Ellipse = nullptr;
  QAction* Sprite_Add_Line = nullptr;
  QAction* Sprite_Delete = nullptr;
  QAction* Sprite_Move_Up = nullptr;
  QAction* Sprite_Move_Down = nullptr;
  QAction* Scene_MovetoFrontOfAllSprites = nullptr;
  QAction* Scene_MoveToBackOfAllSprites = nullptr;
  QAction* Sprite_Flip_Hor = nullptr;
  QAction* Sprite_Flip_Vert = nullptr;
  QAction* Effects_90Clockwise = nullptr;
  QAction* Effects_90CounterClockwise = nullptr;
  QAction* Effects_180Rotation = nullptr;
  QAction* Effects_CustomRotation = nullptr;
  QAction* Effects_Resize = nullptr;
  // Frames of the current sprite
  QAction* Frame_Up = nullptr;
  QAction* Frame_Down = nullptr;
  QAction* Sprite_Delete_Frame = nullptr;
  QAction* Frame_CopyAsBMP = nullptr;
  QAction* Frame_CopyAsBMP_To = nullptr;
  QAction* Sprite_PickTransparentColor = nullptr;
  QAction* Sprite_SetTransparencyToAllFrames = nullptr;
  QAction* Sprite_SetDurationToAllFrames = nullptr;
  // The twenty effects, by effect index: Scene_Apperture_Effect ... Scene_GammaCorr_Effect.
  std::array<QAction*, 20> EffectCommands{};
  // Motion and appearance of the current sprite
  QAction* Motion_Add = nullptr;
  QAction* Motion_AddLinear = nullptr;
  QAction* Motion_AddFixed = nullptr;
  QAction* Motion_AddFromGallery = nullptr;
  QAction* Motion_Linear = nullptr;
  QAction* Motion_Fixed = nullptr;
  QAction* Motion_Edit = nullptr;
  QAction* Motion_Delete = nullptr;
  QAction* Motion_Up = nullptr;
  QAction* Motion_Down = nullptr;
  QAction* Appearance_Add = nullptr;
  QAction* Appearance_Delete = nullptr;
  // Scene
  QAction* Veiw_400x40 = nullptr;
  QAction* View_400x50 = nullptr;
  QAction* View_468x60 = nullptr;
  QAction* View_88x31 = nullptr;
  QAction* View_Custom = nullptr;
  QAction* Scene_Open_Background = nullptr;
  QAction* Scene_Paste_Background = nullptr;
  QAction* Scene_BackgroundCopy = nullptr;
  QAction* Scene_BackgroundCopyTo = nullptr;
  QAction* Scene_SceneImageCopy = nullptr;
  QAction* Scene_SceneImageCopyTo = nullptr;
  // Movie
  QAction* Movie_Play = nullptr;  // the play button AnimateBtn (checked = playing)
  QAction* Movie_Play_Command = nullptr;
  QAction* Movie_Stop = nullptr;
  QAction* Movie_FirstStep = nullptr;
  QAction* Movie_BackOneStep = nullptr;
  QAction* Movie_NextFrame = nullptr;
  QAction* Movie_LastStep = nullptr;
  QAction* View_Set_Step = nullptr;
  // Window
  QAction* Show_Properties_Window = nullptr;
  QAction* Show_Insert_Delete_Buttons = nullptr;
  QAction* Show_MainButtons = nullptr;
  QAction* Show_TimeLine = nullptr;
  QAction* Window_Cascade = nullptr;
  QAction* Window_Tile_Horizontal = nullptr;
  QAction* Window_Tile_Vertical = nullptr;
  // Help
  QAction* Contents1 = nullptr;
  QAction* CreateGIFbanner1 = nullptr;
  QAction* FrequentlyAskedQuestions1 = nullptr;
  QAction* ReadMe1 = nullptr;
  QAction* LicenseAgreement1 = nullptr;
  QAction* ZorvanSoftwareHomePage1 = nullptr;
  QAction* Checknewversion1 = nullptr;  // checked = upgrade checking on
  QAction* Scene_CheckForUpgradeNow = nullptr;
  QAction* Help_About = nullptr;
  // Commands of the 3D text page (on the page's own tool bars)
  QAction* Font_FontDialog = nullptr;
  QAction* Texture_Open = nullptr;
  QAction* Texture_Paste = nullptr;
  QAction* Text3D_Animation_Play = nullptr;
  QAction* Text3D_Animation_Stop = nullptr;
  QAction* Text3D_Animation_First = nullptr;
  QAction* Text3D_Animation_Prev = nullptr;
  QAction* Text3D_Animation_Next = nullptr;
  QAction* Text3D_Animation_Last = nullptr;

  // Menus of the menu bar and their sub-menus.
  QMenu* File1 = nullptr;
  QMenu* Edit1 = nullptr;
  QMenu* Insert1 = nullptr;
  QMenu* Presets1 = nullptr;
  QMenu* Sprite1 = nullptr;
  QMenu* Frame1 = nullptr;
  QMenu* Rotate1 = nullptr;
  QMenu* Effects1 = nullptr;
  QMenu* Motion1 = nullptr;
  QMenu* Appearance1 = nullptr;
  QMenu* Scene1 = nullptr;
  QMenu* Size1 = nullptr;
  QMenu* Background1 = nullptr;
  QMenu* SceneImage1 = nullptr;
  QMenu* Movie1 = nullptr;
  QMenu* Window1 = nullptr;
  QMenu* Help1 = nullptr;
  // The recent-files items LO1 ... LO9 (their data is the entry's index)
  // and the separator above them.
  std::array<QAction*, 9> LastOpenedItems{};
  QAction* LOSeparator = nullptr;
  // The pop-up menus of the adding tool buttons.
  QMenu* PopupMenu_Add_Image = nullptr;
  QMenu* PopupMenu_Add3dText = nullptr;
  QMenu* PopupMenu_AddRectangle = nullptr;
  QMenu* PopupMenu_AddEllipse = nullptr;
  QMenu* PopupMenu_AddLine = nullptr;
  QMenu* PopupMenu_AddMotion = nullptr;
  // The three tool bars ("Main Buttons", "Time Line", "Insert/Delete Buttons").
  QToolBar* ToolBarMainButtons = nullptr;
  QToolBar* ToolBarTimeLine = nullptr;
  QToolBar* ToolBar_Sprite_Buttons = nullptr;
  QToolButton* AnimateBtn = nullptr;  // Movie_Play
  QToolButton* NextBtn = nullptr;     // Movie_NextFrame
  QToolButton* ToolButton_Add_Image = nullptr;
  QToolButton* ToolButton_Add3DText = nullptr;
  QToolButton* ToolButton_Add_Rect = nullptr;
  QToolButton* ToolButton_Ellipse = nullptr;
  QToolButton* ToolButton_Add_Line = nullptr;

 private:
  QAction* MakeCommand(const char* name, const char* caption, const char* hint, const QKeySequence& shortcut,
                       bool checkable);
  void CreateCommands();
  void CreateMenus();
  void CreateToolBars();

  std::vector<QAction*> commands_;
  std::set<QAction*> handled_;
};
