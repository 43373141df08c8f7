// The main window's command set: every command of the editor as an action
// with its design name, caption, hint and shortcut, the menu bar, the
// pop-up menus of the adding buttons and the three tool bars.
#include "app/MainFormActions.h"
#include "app/MainFormLayout.h"
#include "app/MainFormGalleries.h"

#include "app/MainFormU.h"

#include "app/MainForm3DTextParts.h"
#include "app/MainFormIcons.h"
#include "platform/CodePages.h"
#include "platform/qtui/QtHints.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace {

struct TCommandLook {
  QAction* TCommandSet::*member;
  const char* name;
  const char* caption;  // Windows-1252, "&" marks the mnemonic
  const char* hint;     // "short|long"
  QKeySequence shortcut;
  bool checkable = false;
};

QKeySequence Keys(QKeyCombination combination) { return QKeySequence(combination); }

std::vector<TCommandLook> CommandLooks() {
  using M = TCommandSet;
  const QKeySequence none;
  return {
      // File
      {&M::File_New, "File_New", "&New", "New|Creates a new animation", QKeySequence::New},
      {&M::File_NewFromTemplate, "File_NewFromTemplate", "New From &Template...", "New animation from Templates", none},
      {&M::File_Open, "File_Open", "&Open...", "Open|Opens an existing animation", QKeySequence::Open},
      {&M::File_Save, "File_Save", "&Save", "Save|Saves the current animation", QKeySequence::Save},
      {&M::File_Save_As, "File_Save_As", "Save &As...", "Save As|Save current file under a new name", none},
      {&M::File_Import, "File_Import", "I&mport...", "Imports animation from another file format (.GIF, .AVI etc.)",
       none},
      {&M::File_Export, "File_Export", "&Export...",
       "Export animation|Exports animation to another format (.GIF, .AVI, .JPG, .BMP)", Keys(Qt::CTRL | Qt::Key_E)},
      {&M::File_Exit, "File_Exit", "E&xit", "Exit this application", none},
      // Edit
      {&M::Edit_Cut, "Edit_Cut", "Cu&t", "Cut|Cuts the selected sprite or frame to the Clipboard",
       Keys(Qt::CTRL | Qt::Key_X)},
      {&M::Edit_Copy, "Edit_Copy", "&Copy", "Copy|Copies the selected sprite, frame or motion to the Clipboard",
       Keys(Qt::CTRL | Qt::Key_C)},
      {&M::Edit_Paste, "Edit_Paste", "&Paste", "Paste|Inserts the Clipboard's contents into the animation",
       Keys(Qt::CTRL | Qt::Key_V)},
      {&M::Edit_PasteAsNewSprite, "Edit_PasteAsNewSprite", "Paste As &New Sprite",
       "Paste As New Sprite|Inserts the Clipboard's contents as a new sprite", none},
      {&M::Scene_Delete_Something, "Scene_Delete_Something", "&Delete", "Delete|Deletes the selected item", none},
      {&M::Scene_Up_Something, "Scene_Up_Something", "Move &Up", "Up|Moves the selected item up", none},
      {&M::Scene_Down_Something, "Scene_Down_Something", "Move Do&wn", "Down|Moves the selected item down", none},
      {&M::Tools_Options, "Tools_Options", "&Options...", "Options|Changes the settings of the program", none},
      // Insert: new sprites
      {&M::Scene_Add_Image, "Scene_Add_Image", "&Image...", "Image|Add new sprite with images from files", none},
      {&M::Scene_Add_3DText, "Scene_Add_3DText", "&3D Text", "3D Text|Add new sprite with 3D Text", none},
      {&M::Scene_Add_Rectangle, "Scene_Add_Rectangle", "&Rectangle", "Rectangle|Add new sprite with rectangle", none},
      {&M::Scene_Add_Ellipse, "Scene_Add_Ellipse", "&Ellipse", "Ellipse|Add new sprite with ellipse to scene", none},
      {&M::Scene_Add_Line, "Scene_Add_Line", "&Line", "Line|Add new sprite with Line", none},
      // Sprite: new frames
      {&M::Sprite_Add_Image, "Sprite_Add_Image", "Frame with &Image...",
       "Image|Add new frames with images from files to the sprite", none},
      {&M::Sprite_Add_3DText, "Sprite_Add_3DText", "Frame with 3D text",
       "Frame with 3D Text|Add new frame with 3D Text to the sprite", none},
      {&M::Sprite_Add_Rectangle, "Sprite_Add_Rectangle", "Frame with &Rectangle",
       "Rectangle|Add new frame with rectangle to the sprite", none},
      {&M::Sprite_Add_Ellipse, "Sprite_Add_Ellipse", "Frame with &Ellipse",
       "Ellipse|Add new frame with ellipse to the sprite", none},
      {&M::Sprite_Add_Line, "Sprite_Add_Line", "Frame with &Line", "Line|Add new frame with Line to the sprite", none},
      // Sprite: order and transforms
      {&M::Sprite_Delete, "Sprite_Delete", "&Delete Sprite [Del]", "Deletes Current Sprite", none},
      {&M::Sprite_Move_Up, "Sprite_Move_Up", "Move Sprite &Up", "Move Sprite Up|Moves the sprite one step to the front",
       Keys(Qt::CTRL | Qt::Key_PageUp)},
      {&M::Sprite_Move_Down, "Sprite_Move_Down", "Move Sprite Do&wn",
       "Move Sprite Down|Moves the sprite one step to the back", Keys(Qt::CTRL | Qt::Key_PageDown)},
      {&M::Scene_MovetoFrontOfAllSprites, "Scene_MovetoFrontOfAllSprites", "Move to Front of all Sprites",
       "Places the selected sprite to the front of all sprites", Keys(Qt::SHIFT | Qt::Key_PageUp)},
      {&M::Scene_MoveToBackOfAllSprites, "Scene_MoveToBackOfAllSprites", "Move to Back of all Sprites",
       "Places the selected sprite to the back of all sprites", Keys(Qt::SHIFT | Qt::Key_PageDown)},
      {&M::Sprite_Flip_Hor, "Sprite_Flip_Hor", "Flip &Horizontally",
       "Flip Horizontally|Mirrors every frame of the sprite left to right", none},
      {&M::Sprite_Flip_Vert, "Sprite_Flip_Vert", "Flip &Vertically",
       "Flip Vertically|Mirrors every frame of the sprite top to bottom", none},
      {&M::Effects_90Clockwise, "Effects_90Clockwise", "90\xB0 Clockwise",
       "90\xB0 Clockwise|Rotates every frame of the sprite by 90\xB0 clockwise", none},
      {&M::Effects_90CounterClockwise, "Effects_90CounterClockwise", "90\xB0 counter-clockwise",
       "90\xB0 counter-clockwise|Rotates every frame of the sprite by 90\xB0 counter-clockwise", none},
      {&M::Effects_180Rotation, "Effects_180Rotation", "180\xB0",
       "180\xB0|Rotates every frame of the sprite by 180\xB0", none},
      {&M::Effects_CustomRotation, "Effects_CustomRotation", "Custom Angle...",
       "Custom Angle|Rotates the frames of the sprite by an angle", none},
      {&M::Effects_Resize, "Effects_Resize", "&Resize...", "Resize|Resizes every frame of the sprite", none},
      // Frames
      {&M::Frame_Up, "Frame_Up", "Move Frame &Up", "Move Frame Up|Moves the frame one place up", none},
      {&M::Frame_Down, "Frame_Down", "Move Frame Do&wn", "Move Frame Down|Moves the frame one place down", none},
      {&M::Sprite_Delete_Frame, "Sprite_Delete_Frame", "&Delete Current Frame", "Deletes Current Frame", none},
      {&M::Frame_CopyAsBMP, "Frame_CopyAsBMP", "&Copy as Bitmap",
       "Copy as Bitmap|Copies the frame's picture to the Clipboard", none},
      {&M::Frame_CopyAsBMP_To, "Frame_CopyAsBMP_To", "Copy as Bitmap &To...",
       "Copy as Bitmap To|Saves the frame's picture as a bitmap file", none},
      {&M::Sprite_PickTransparentColor, "Sprite_PickTransparentColor", "Pick Up Transparent Color",
       "Pick up transparent color", none, true},
      {&M::Sprite_SetTransparencyToAllFrames, "Sprite_SetTransparencyToAllFrames", "Set &Transparency to All Frames",
       "Transparency to All Frames|Gives every frame of the sprite this frame's transparency", none},
      {&M::Sprite_SetDurationToAllFrames, "Sprite_SetDurationToAllFrames", "Set D&uration to All Frames",
       "Duration to All Frames|Gives every frame of the sprite this frame's duration", none},
      // Motion and appearance
      {&M::Motion_Add, "Motion_Add", "&Add Motion", "Add Motion|Adds a motion to the sprite", none},
      {&M::Motion_AddLinear, "Motion_AddLinear", "Add &Linear Motion",
       "Linear Motion|Adds a linear motion to the sprite", none},
      {&M::Motion_AddFixed, "Motion_AddFixed", "Add &Fixed Position",
       "Fixed Position|Adds a fixed position to the sprite", none},
      {&M::Motion_AddFromGallery, "Motion_AddFromGallery", "Add from Gallery...",
       "Motion Gallery|Add a preset motion from gallery", none},
      {&M::Motion_Linear, "Motion_Linear", "&Linear Motion", "Linear Motion|Makes the motion linear", none, true},
      {&M::Motion_Fixed, "Motion_Fixed", "&Fixed Position", "Fixed Position|Makes the motion a fixed position", none,
       true},
      {&M::Motion_Edit, "Motion_Edit", "&Edit Motion", "Edit Motion|Shows the selected motion", none},
      {&M::Motion_Delete, "Motion_Delete", "&Delete Motion", "Delete Motion|Deletes the selected motion", none},
      {&M::Motion_Up, "Motion_Up", "Motion &Up", "Motion Up|Moves the selected motion up", none},
      {&M::Motion_Down, "Motion_Down", "Motion Do&wn", "Motion Down|Moves the selected motion down", none},
      {&M::Appearance_Add, "Appearance_Add", "&Add Appearance",
       "Add Appearance|Adds a span of steps in which the sprite is shown", none},
      {&M::Appearance_Delete, "Appearance_Delete", "&Delete Appearance",
       "Delete Appearance|Deletes the selected appearance", none},
      // Scene
      {&M::Veiw_400x40, "Veiw_400x40", "Size: 88x62 pixels", "88x62|Sets the animation size to 88x62 pixels", none},
      {&M::View_400x50, "View_400x50", "Size: 125x125 pixels", "125x125|Sets the animation size to 125x125 pixels",
       none},
      {&M::View_468x60, "View_468x60", "Size: 468x60 pixels", "468x60|Sets the animation size to 468x60 pixels", none},
      {&M::View_88x31, "View_88x31", "Size: 88x31 pixels", "88x31|Sets the animation size to 88x31 pixels", none},
      {&M::View_Custom, "View_Custom", "&Custom Size...", "Sets Animation Size", none},
      {&M::Scene_Open_Background, "Scene_Open_Background", "&Open Background Picture...",
       "Open Background|Loads the background picture from a file", none},
      {&M::Scene_Paste_Background, "Scene_Paste_Background", "&Paste Background Picture",
       "Paste Background|Takes the background picture from the Clipboard", none},
      {&M::Scene_BackgroundCopy, "Scene_BackgroundCopy", "&Copy as Bitmap",
       "Copy Background|Copies the background to the Clipboard", none},
      {&M::Scene_BackgroundCopyTo, "Scene_BackgroundCopyTo", "Copy as Bitmap &To...",
       "Copy Background To|Saves the background as a bitmap file", none},
      {&M::Scene_SceneImageCopy, "Scene_SceneImageCopy", "&Copy as Bitmap",
       "Copy Scene Image|Copies the picture of the scene to the Clipboard", none},
      {&M::Scene_SceneImageCopyTo, "Scene_SceneImageCopyTo", "Copy as Bitmap &To...",
       "Copy Scene Image To|Saves the picture of the scene as a bitmap file", none},
      // Movie
      {&M::Movie_Play, "Movie_Play", "&Play", "Play|Plays or stops the animation", none, true},
      {&M::Movie_Play_Command, "Movie_Play_Command", "&Play", "Play|Plays the animation",
       Keys(Qt::CTRL | Qt::Key_Space)},
      {&M::Movie_Stop, "Movie_Stop", "&Stop", "Stop|Stops the animation", Keys(Qt::CTRL | Qt::ALT | Qt::Key_Space)},
      {&M::Movie_FirstStep, "Movie_FirstStep", "&First Step", "First Step|Rewinds the animation to its first step",
       none},
      {&M::Movie_BackOneStep, "Movie_BackOneStep", "&Back One Step", "Back One Step|Shows the previous step",
       Keys(Qt::ALT | Qt::Key_Left)},
      {&M::Movie_NextFrame, "Movie_NextFrame", "&Next Step", "Next Step|Shows the next step",
       Keys(Qt::ALT | Qt::Key_Right)},
      {&M::Movie_LastStep, "Movie_LastStep", "&Last Step", "Last Step|Goes to the last step of the animation", none},
      {&M::View_Set_Step, "View_Set_Step", "&Go to Step...", "Go to Step|Shows a step of your choice", none},
      // Window
      {&M::Show_Properties_Window, "Show_Properties_Window", "&Properties",
       "Properties|Shows the properties panel", none},
      {&M::Show_Insert_Delete_Buttons, "Show_Insert_Delete_Buttons", "&Insert/Delete Buttons",
       "Insert/Delete Buttons|Shows the insert and delete tool bar", none},
      {&M::Show_MainButtons, "Show_MainButtons", "&Main Buttons", "Main Buttons|Shows the main tool bar", none},
      {&M::Show_TimeLine, "Show_TimeLine", "&Time Line", "Time Line|Shows the time line tool bar", none},
      {&M::Window_Cascade, "Window_Cascade", "&Cascade", "Cascade|Arranges the windows so they overlap", none},
      {&M::Window_Tile_Horizontal, "Window_Tile_Horizontal", "Tile &Horizontally",
       "Tile Horizontally|Arranges the windows one above the other", none},
      {&M::Window_Tile_Vertical, "Window_Tile_Vertical", "Tile &Vertically",
       "Tile Vertically|Arranges the windows side by side", none},
      // Help
      {&M::Contents1, "Contents1", "&Contents", "Contents|Shows the contents of the help", QKeySequence::HelpContents},
      {&M::CreateGIFbanner1, "CreateGIFbanner1", "How to Create an Animated &GIF Banner",
       "Animated GIF Banner|Shows how to create an animated GIF banner", none},
      {&M::FrequentlyAskedQuestions1, "FrequentlyAskedQuestions1", "&Frequently Asked Questions",
       "FAQ|Shows the frequently asked questions", none},
      {&M::ReadMe1, "ReadMe1", "&Read Me", "Read Me|Shows the read-me file", none},
      {&M::LicenseAgreement1, "LicenseAgreement1", "&License Agreement",
       "License Agreement|Shows the license agreement", none},
      {&M::ZorvanSoftwareHomePage1, "ZorvanSoftwareHomePage1", "ZorvanSoft &Home Page",
       "Home Page|Opens the maker's home page", none},
      {&M::Checknewversion1, "Checknewversion1", "Checking for &Upgrade",
       "Checking for Upgrade|Checks for a new version of the program", none, true},
      {&M::Scene_CheckForUpgradeNow, "Scene_CheckForUpgradeNow", "Check for Upgrade &Now",
       "Check for Upgrade Now|Checks for a new version of the program now", none},
      {&M::Help_About, "Help_About", "&About...", "About|Shows the program's name and version", none},
      // The 3D text page
      {&M::Font_FontDialog, "Font_FontDialog", "Font...",
       "Font Dialog Box|Opens a font dialog box for changing font settings", none},
      {&M::Texture_Open, "Texture_Open", "&Load Texture...", "Load Texture from File", none},
      {&M::Texture_Paste, "Texture_Paste", "Paste &Texture from Clipboard", "Paste Texture from Clipboard", none},
      {&M::Text3D_Animation_Play, "Text3D_Animation_Play", "&Play", "Play 3D animation", none, true},
      {&M::Text3D_Animation_Stop, "Text3D_Animation_Stop", "&Stop", "Stop playing 3D animation", none},
      {&M::Text3D_Animation_First, "Text3D_Animation_First", "&First Frame", "Place Animation to First Frame", none},
      {&M::Text3D_Animation_Prev, "Text3D_Animation_Prev", "&Previous Frame", "Back Animation to One Frame", none},
      {&M::Text3D_Animation_Next, "Text3D_Animation_Next", "Step &Forward One Frame", "Show Next Frame", none},
      {&M::Text3D_Animation_Last, "Text3D_Animation_Last", "&Last Frame", "Last Frame", none},
  };
}

struct TEffectCommandLook {
  const char* name;
  const char* caption;
  const char* hint;
};

// The twenty effects in the order of their effect index: eleven transitions
// to the next frame, then nine filters.
const std::array<TEffectCommandLook, 20> kEffectCommandLooks{{
    {"Scene_Apperture_Effect", "&Apperture...", "Apperture|Opens the next frame through a growing apperture"},
    {"Scene_Blend_Effect", "&Blend...", "Blend|Blends the frame into the next one"},
    {"Scene_Blind_Effect", "Bl&ind...", "Blind|Shows the next frame through blinds"},
    {"Scene_Cross_Effect", "&Cross...", "Cross|Shows the next frame through a growing cross"},
    {"Scene_Dissolve_Effect", "&Dissolve...", "Dissolve|Dissolves the frame into the next one"},
    {"Scene_Fade_Effect", "&Fade...", "Fade|Fades the frame to a colour"},
    {"Scene_Fingers_Effect", "Fi&ngers...", "Fingers|Shows the next frame through growing fingers"},
    {"Scene_Grow_Effect", "&Grow...", "Grow|Grows the next frame over the frame"},
    {"Scene_Rotation_Effect", "&Rotation...", "Rotation|Turns the frame into the next one"},
    {"Scene_Sweep_Effect", "&Sweep...", "Sweep|Sweeps the next frame over the frame"},
    {"Scene_Wipe_Effect", "&Wipe...", "Wipe|Wipes the frame off with the next one"},
    {"Scene_Blur_Effect", "&Blur...", "Blur|Blurs the frame"},
    {"Scene_Sharpen_Effect", "&Sharpen...", "Sharpen|Sharpens the frame"},
    {"Scene_Dilate_Effect", "&Dilate...", "Dilate|Dilates the light parts of the frame"},
    {"Scene_Erode_Effect", "&Erode...", "Erode|Erodes the light parts of the frame"},
    {"Scene_Invert_Effect", "&Invert Colors...", "Invert Colors|Inverts the colours of the frame"},
    {"Scene_Brightness_Effect", "&Brightness...", "Brightness|Changes the brightness of the frame"},
    {"Scene_Contrast_Effect", "&Contrast...", "Contrast|Changes the contrast of the frame"},
    {"Scene_Emboss_Effect", "&Emboss...", "Emboss|Embosses the frame"},
    {"Scene_GammaCorr_Effect", "&Gamma Correction...", "Gamma Correction|Changes the gamma of the frame"},
}};
constexpr int kFirstFilter = 11;

}  // namespace

TCommandSet::TCommandSet(TMainFormContext& editor) : TMainFormArea(editor) {}

void TCommandSet::Create() {
  CreateCommands();
  CreateMenus();
  CreateToolBars();
}

QAction* TCommandSet::MakeCommand(const char* name, const char* caption, const char* hint,
                                const QKeySequence& shortcut, bool checkable) {
  auto* command = new QAction(AnsiToQString(caption), &Window());
  command->setObjectName(name);
  ApplyHint(*command, hint);
  command->setShortcut(shortcut);
  command->setCheckable(checkable);
  command->setIcon(CommandIcon(name));
  command->setEnabled(false);
  Window().addAction(command);  // its shortcut works wherever it is shown
  commands_.push_back(command);
  return command;
}

void TCommandSet::CreateCommands() {
  // Undo is the documents' command too (their host hands it out).
  Edit_Undo = MakeCommand("Edit_Undo", "&Undo", "", QKeySequence::Undo, false);
  for (const TCommandLook& look : CommandLooks())
    this->*look.member = MakeCommand(look.name, look.caption, look.hint, look.shortcut, look.checkable);
  for (std::size_t i = 0; i < kEffectCommandLooks.size(); ++i) {
    const TEffectCommandLook& look = kEffectCommandLooks[i];
    EffectCommands[i] = MakeCommand(look.name, look.caption, look.hint, {}, false);
  }
}

void TCommandSet::SetCommandHandler(QAction* command, std::function<void()> handler) {
  QObject::disconnect(command, &QAction::triggered, nullptr, nullptr);
  connect(command, &QAction::triggered, this, [this, handler = std::move(handler)] { RunEntry(handler); });
  handled_.insert(command);
  command->setEnabled(true);
}

bool TCommandSet::HasCommandHandler(QAction* command) const { return handled_.count(command) != 0; }

void TCommandSet::EnableCommand(QAction* command, bool enabled) {
  command->setEnabled(enabled && HasCommandHandler(command));
}

QAction* TCommandSet::ActionByName(const std::string& name) const {
  const QString wanted = QString::fromStdString(name);
  for (QAction* command : commands_)
    if (command->objectName() == wanted) return command;
  return nullptr;
}

// ---- Menus ------------------------------------------------------------------------------------

namespace {

QMenu* AddMenu(QMenuBar* bar, const char* name, const char* caption) {
  QMenu* menu = bar->addMenu(AnsiToQString(caption));
  menu->setObjectName(name);
  return menu;
}

QMenu* AddSubMenu(QMenu* parent, const char* name, const char* caption) {
  QMenu* menu = parent->addMenu(AnsiToQString(caption));
  menu->setObjectName(name);
  return menu;
}

QMenu* PopupOf(QWidget* owner, const char* name, std::initializer_list<QAction*> commands) {
  auto* menu = new QMenu(owner);
  menu->setObjectName(name);
  for (QAction* command : commands) menu->addAction(command);
  return menu;
}

}  // namespace

void TCommandSet::CreateMenus() {
  QMenuBar* bar = Window().menuBar();
  bar->setObjectName("MainMenu1");

  File1 = AddMenu(bar, "File1", "&File");
  File1->addActions({File_New, File_NewFromTemplate, File_Open, File_Save, File_Save_As});
  File1->addSeparator();
  File1->addActions({File_Import, File_Export});
  LOSeparator = File1->addSeparator();
  LOSeparator->setObjectName("LOSeparator");
  LOSeparator->setVisible(false);
  for (std::size_t i = 0; i < LastOpenedItems.size(); ++i) {
    QAction* item = File1->addAction(QString());
    item->setObjectName(QString("LO%1").arg(i + 1));
    item->setData(static_cast<int>(i));  // the design's Tag: the entry's index
    item->setVisible(false);
    connect(item, &QAction::triggered, this, [this, i] { RunEntry([this, i] { Galleries().OpenRecent(static_cast<int>(i)); }); });
    LastOpenedItems[i] = item;
  }
  File1->addSeparator();
  File1->addAction(File_Exit);

  Edit1 = AddMenu(bar, "Edit1", "&Edit");
  Edit1->addAction(Edit_Undo);
  Edit1->addSeparator();
  Edit1->addActions({Edit_Cut, Edit_Copy, Edit_Paste, Edit_PasteAsNewSprite});
  Edit1->addSeparator();
  Edit1->addActions({Scene_Delete_Something, Scene_Up_Something, Scene_Down_Something});
  Edit1->addSeparator();
  Edit1->addAction(Tools_Options);

  Insert1 = AddMenu(bar, "Insert1", "&Insert");
  Insert1->addActions({Scene_Add_Image, Scene_Add_3DText, Scene_Add_Rectangle, Scene_Add_Ellipse, Scene_Add_Line});
  Insert1->addSeparator();
  Presets1 = AddSubMenu(Insert1, "Presets1", "&Presets");

  Sprite1 = AddMenu(bar, "Sprite1", "&Sprite");
  Sprite1->addActions({Sprite_Add_Image, Sprite_Add_3DText, Sprite_Add_Rectangle, Sprite_Add_Ellipse, Sprite_Add_Line});
  Sprite1->addSeparator();
  Sprite1->addAction(Sprite_Delete);
  Sprite1->addSeparator();
  Sprite1->addActions(
      {Sprite_Move_Up, Sprite_Move_Down, Scene_MovetoFrontOfAllSprites, Scene_MoveToBackOfAllSprites});
  Sprite1->addSeparator();
  Frame1 = AddSubMenu(Sprite1, "Frame1", "F&rame");
  Frame1->addActions({Frame_Up, Frame_Down, Sprite_Delete_Frame});
  Frame1->addSeparator();
  Frame1->addActions({Frame_CopyAsBMP, Frame_CopyAsBMP_To});
  Frame1->addSeparator();
  Frame1->addActions({Sprite_PickTransparentColor, Sprite_SetTransparencyToAllFrames, Sprite_SetDurationToAllFrames});
  Motion1 = AddSubMenu(Sprite1, "Motion1", "&Motion");
  Motion1->addActions({Motion_AddLinear, Motion_AddFixed, Motion_AddFromGallery});
  Motion1->addSeparator();
  Motion1->addActions({Motion_Linear, Motion_Fixed, Motion_Edit});
  Motion1->addSeparator();
  Motion1->addActions({Motion_Delete, Motion_Up, Motion_Down});
  Appearance1 = AddSubMenu(Sprite1, "Appearance1", "&Appearance");
  Appearance1->addActions({Appearance_Add, Appearance_Delete});
  Sprite1->addSeparator();
  Sprite1->addActions({Sprite_Flip_Hor, Sprite_Flip_Vert});
  Rotate1 = AddSubMenu(Sprite1, "Rotate1", "R&otate");
  Rotate1->addActions({Effects_90Clockwise, Effects_90CounterClockwise, Effects_180Rotation});
  Rotate1->addSeparator();
  Rotate1->addAction(Effects_CustomRotation);
  Sprite1->addAction(Effects_Resize);
  Effects1 = AddSubMenu(Sprite1, "Effects1", "E&ffects");
  for (int i = 0; i < static_cast<int>(EffectCommands.size()); ++i) {
    if (i == kFirstFilter) Effects1->addSeparator();
    Effects1->addAction(EffectCommands[static_cast<std::size_t>(i)]);
  }

  Scene1 = AddMenu(bar, "Scene1", "S&cene");
  Size1 = AddSubMenu(Scene1, "Size1", "&Size");
  Size1->addActions({Veiw_400x40, View_400x50, View_468x60, View_88x31});
  Size1->addSeparator();
  Size1->addAction(View_Custom);
  Background1 = AddSubMenu(Scene1, "Background1", "&Background");
  Background1->addActions({Scene_Open_Background, Scene_Paste_Background});
  Background1->addSeparator();
  Background1->addActions({Scene_BackgroundCopy, Scene_BackgroundCopyTo});
  SceneImage1 = AddSubMenu(Scene1, "SceneImage1", "Scene &Image");
  SceneImage1->addActions({Scene_SceneImageCopy, Scene_SceneImageCopyTo});

  Movie1 = AddMenu(bar, "Movie1", "&Movie");
  Movie1->addActions({Movie_Play_Command, Movie_Stop});
  Movie1->addSeparator();
  Movie1->addActions({Movie_FirstStep, Movie_BackOneStep, Movie_NextFrame, Movie_LastStep});
  Movie1->addSeparator();
  Movie1->addAction(View_Set_Step);

  Window1 = AddMenu(bar, "Window1", "&Window");
  Window1->addActions({Show_Properties_Window, Show_Insert_Delete_Buttons, Show_MainButtons, Show_TimeLine});
  Window1->addSeparator();
  Window1->addActions({Window_Cascade, Window_Tile_Horizontal, Window_Tile_Vertical});
  // The tree area lists the documents when the menu shows (RebuildWindowList).

  Help1 = AddMenu(bar, "Help1", "&Help");
  Help1->addActions({Contents1, CreateGIFbanner1, FrequentlyAskedQuestions1});
  Help1->addSeparator();
  Help1->addActions({ReadMe1, LicenseAgreement1});
  Help1->addSeparator();
  Help1->addActions({ZorvanSoftwareHomePage1, Checknewversion1, Scene_CheckForUpgradeNow});
  Help1->addSeparator();
  Help1->addAction(Help_About);

  PopupMenu_Add_Image = PopupOf(&Window(), "PopupMenu_Add_Image", {Scene_Add_Image, Sprite_Add_Image});
  PopupMenu_Add3dText = PopupOf(&Window(), "PopupMenu_Add3dText", {Scene_Add_3DText, Sprite_Add_3DText});
  PopupMenu_AddRectangle = PopupOf(&Window(), "PopupMenu_AddRectangle", {Scene_Add_Rectangle, Sprite_Add_Rectangle});
  PopupMenu_AddEllipse = PopupOf(&Window(), "PopupMenu_AddEllipse", {Scene_Add_Ellipse, Sprite_Add_Ellipse});
  PopupMenu_AddLine = PopupOf(&Window(), "PopupMenu_AddLine", {Scene_Add_Line, Sprite_Add_Line});
  PopupMenu_AddMotion = PopupOf(&Window(), "PopupMenu_AddMotion", {Motion_AddLinear, Motion_AddFixed, Motion_AddFromGallery});
}

// ---- Tool bars --------------------------------------------------------------------------------

namespace {

QToolBar* MakeToolBar(QMainWindow* window, const char* name, const char* title, Qt::ToolBarAreas areas) {
  auto* bar = new QToolBar(AnsiToQString(title), window);
  bar->setObjectName(name);
  bar->setAllowedAreas(areas);
  bar->setIconSize(QSize(kToolIconSize, kToolIconSize));
  return bar;
}

QToolButton* CommandButton(QToolBar* bar, const char* name, QAction* command) {
  auto* button = new QToolButton(bar);
  button->setObjectName(name);
  button->setDefaultAction(command);
  button->setAutoRaise(true);
  bar->addWidget(button);
  return button;
}

// A button that drops its two-item menu (a new sprite, or a frame of the
// current sprite) when pressed.
QToolButton* PopupButton(QToolBar* bar, const char* name, const char* hint, const char* iconName, QMenu* menu) {
  auto* button = new QToolButton(bar);
  button->setObjectName(name);
  button->setIcon(CommandIcon(iconName));
  ApplyHint(*button, hint);
  button->setMenu(menu);
  button->setPopupMode(QToolButton::InstantPopup);
  button->setAutoRaise(true);
  bar->addWidget(button);
  return button;
}

}  // namespace

void TCommandSet::CreateToolBars() {
  // "Main Buttons" and "Time Line" share the top; the time line never docks
  // at the left, where the properties panel never goes either.
  ToolBarMainButtons = MakeToolBar(&Window(), "ToolBarMainButtons", "Main Buttons", Qt::TopToolBarArea | Qt::LeftToolBarArea);
  ToolBarMainButtons->addActions({File_New, File_Open, File_Save});
  ToolBarMainButtons->addSeparator();
  ToolBarMainButtons->addActions({Edit_Undo, Edit_Cut, Edit_Copy, Edit_Paste});
  ToolBarMainButtons->addSeparator();
  ToolBarMainButtons->addActions({File_Import, File_Export});
  ToolBarMainButtons->addSeparator();
  ToolBarMainButtons->addActions({Show_Properties_Window, Tools_Options, Contents1});
  Window().addToolBar(Qt::TopToolBarArea, ToolBarMainButtons);

  // The time line takes a row of its own, so its slider has room.
  Window().addToolBarBreak(Qt::TopToolBarArea);
  ToolBarTimeLine = MakeToolBar(&Window(), "ToolBarTimeLine", "Time Line", Qt::TopToolBarArea);
  ToolBarTimeLine->addAction(Movie_FirstStep);
  ToolBarTimeLine->addAction(Movie_BackOneStep);
  AnimateBtn = CommandButton(ToolBarTimeLine, "AnimateBtn", Movie_Play);
  NextBtn = CommandButton(ToolBarTimeLine, "NextBtn", Movie_NextFrame);
  ToolBarTimeLine->addAction(Movie_LastStep);
  ToolBarTimeLine->addSeparator();
  Layout().AddTimeLineControls(*ToolBarTimeLine);  // the step display, the slider and the speed display
  Window().addToolBar(Qt::TopToolBarArea, ToolBarTimeLine);

  ToolBar_Sprite_Buttons =
      MakeToolBar(&Window(), "ToolBar_Sprite_Buttons", "Insert/Delete Buttons", Qt::TopToolBarArea | Qt::LeftToolBarArea);
  ToolBar_Sprite_Buttons->setOrientation(Qt::Vertical);
  ToolButton_Add_Image = PopupButton(ToolBar_Sprite_Buttons, "ToolButton_Add_Image", "Image|Add image",
                                     "Scene_Add_Image", PopupMenu_Add_Image);
  ToolButton_Add3DText = PopupButton(ToolBar_Sprite_Buttons, "ToolButton_Add3DText", "3D Text|Add 3D text",
                                     "Scene_Add_3DText", PopupMenu_Add3dText);
  ToolButton_Add_Rect = PopupButton(ToolBar_Sprite_Buttons, "ToolButton_Add_Rect", "Rectangle|Add rectangle",
                                    "Scene_Add_Rectangle", PopupMenu_AddRectangle);
  ToolButton_Ellipse = PopupButton(ToolBar_Sprite_Buttons, "ToolButton_Ellipse", "Ellipse|Add ellipse",
                                   "Scene_Add_Ellipse", PopupMenu_AddEllipse);
  ToolButton_Add_Line = PopupButton(ToolBar_Sprite_Buttons, "ToolButton_Add_Line", "Line|Add line", "Scene_Add_Line",
                                    PopupMenu_AddLine);
  ToolBar_Sprite_Buttons->addSeparator();
  ToolBar_Sprite_Buttons->addActions({Scene_Delete_Something, Scene_Up_Something, Scene_Down_Something});
  ToolBar_Sprite_Buttons->addSeparator();
  ToolBar_Sprite_Buttons->addActions({Sprite_Flip_Hor, Sprite_Flip_Vert, Effects_90Clockwise});
  Window().addToolBar(Qt::LeftToolBarArea, ToolBar_Sprite_Buttons);
}
