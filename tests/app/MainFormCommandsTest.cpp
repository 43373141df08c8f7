// The main window's command set, menus, tool bars and panels as the design
// names them.
#include "tests/app/MainFormFixture.h"
#include "tests/support/FindChild.h"

#include "app/core/StarterSet.h"
#include "controls/MyCntrlDigitalDisplay.h"
#include "dialogs/FirstFlashFormU.h"
#include "controls/UTimelineSlider.h"
#include "imaging/utils.h"

#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <set>

namespace {

// Every command the design names for the main window.
const char* const kDesignCommands[] = {
    "File_New", "File_NewFromTemplate", "File_Open", "File_Save", "File_Save_As", "File_Import", "File_Export",
    "File_Exit", "Edit_Undo", "Edit_Cut", "Edit_Copy", "Edit_Paste", "Edit_PasteAsNewSprite",
    "Scene_Delete_Something", "Scene_Up_Something", "Scene_Down_Something", "Tools_Options", "Scene_Add_Image",
    "Scene_Add_3DText", "Scene_Add_Rectangle", "Scene_Add_Ellipse", "Scene_Add_Line", "Sprite_Add_Image",
    "Sprite_Add_3DText", "Sprite_Add_Rectangle", "Sprite_Add_Ellipse", "Sprite_Add_Line", "Sprite_Delete",
    "Sprite_Move_Up", "Sprite_Move_Down", "Scene_MovetoFrontOfAllSprites", "Scene_MoveToBackOfAllSprites",
    "Sprite_Flip_Hor", "Sprite_Flip_Vert", "Effects_90Clockwise", "Effects_90CounterClockwise",
    "Effects_180Rotation", "Effects_CustomRotation", "Effects_Resize", "Frame_Up", "Frame_Down",
    "Sprite_Delete_Frame", "Frame_CopyAsBMP", "Frame_CopyAsBMP_To", "Sprite_PickTransparentColor",
    "Sprite_SetTransparencyToAllFrames", "Sprite_SetDurationToAllFrames", "Scene_Apperture_Effect",
    "Scene_Blend_Effect", "Scene_Blind_Effect", "Scene_Cross_Effect", "Scene_Dissolve_Effect", "Scene_Fade_Effect",
    "Scene_Fingers_Effect", "Scene_Grow_Effect", "Scene_Rotation_Effect", "Scene_Sweep_Effect", "Scene_Wipe_Effect",
    "Scene_Blur_Effect", "Scene_Sharpen_Effect", "Scene_Dilate_Effect", "Scene_Erode_Effect", "Scene_Invert_Effect",
    "Scene_Brightness_Effect", "Scene_Contrast_Effect", "Scene_Emboss_Effect", "Scene_GammaCorr_Effect",
    "Motion_Add", "Motion_AddLinear", "Motion_AddFixed", "Motion_AddFromGallery", "Motion_Linear", "Motion_Fixed",
    "Motion_Edit", "Motion_Delete", "Motion_Up", "Motion_Down", "Appearance_Add", "Appearance_Delete",
    "Veiw_400x40", "View_400x50", "View_468x60", "View_88x31", "View_Custom", "Scene_Open_Background",
    "Scene_Paste_Background", "Scene_BackgroundCopy", "Scene_BackgroundCopyTo", "Scene_SceneImageCopy",
    "Scene_SceneImageCopyTo", "Movie_Play", "Movie_Play_Command", "Movie_Stop", "Movie_FirstStep",
    "Movie_BackOneStep", "Movie_NextFrame", "Movie_LastStep", "View_Set_Step", "Show_Properties_Window",
    "Show_Insert_Delete_Buttons", "Show_MainButtons", "Show_TimeLine", "Window_Cascade", "Window_Tile_Horizontal",
    "Window_Tile_Vertical", "Contents1", "CreateGIFbanner1", "FrequentlyAskedQuestions1", "ReadMe1",
    "LicenseAgreement1", "ZorvanSoftwareHomePage1", "Checknewversion1", "Scene_CheckForUpgradeNow", "Help_About",
    "Font_FontDialog", "Texture_Open", "Texture_Paste", "Text3D_Animation_Play", "Text3D_Animation_Stop",
    "Text3D_Animation_First", "Text3D_Animation_Prev", "Text3D_Animation_Next", "Text3D_Animation_Last",
};

TEST_F(MainFormTest, EveryDesignCommandExistsOnceUnderItsName) {
  TMainForm& form = Create();
  std::set<QString> names;
  for (QAction* command : Editor(form).Commands().AllCommands()) EXPECT_TRUE(names.insert(command->objectName()).second);
  for (const char* name : kDesignCommands) {
    QAction* command = Editor(form).Commands().ActionByName(name);
    ASSERT_NE(command, nullptr) << name;
    EXPECT_EQ(command->objectName(), name);
    EXPECT_EQ(form.findChild<QAction*>(name), command) << name;
  }
  EXPECT_EQ(Editor(form).Commands().AllCommands().size(), std::size(kDesignCommands));
  EXPECT_EQ(Editor(form).Commands().ActionByName("No_Such_Command"), nullptr);
}

TEST_F(MainFormTest, ShortcutsOfTheDesign) {
  TMainForm& form = Create();
  const std::pair<const char*, QKeySequence> shortcuts[] = {
      {"Sprite_Move_Up", QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
      {"Sprite_Move_Down", QKeySequence(Qt::CTRL | Qt::Key_PageDown)},
      {"Scene_MovetoFrontOfAllSprites", QKeySequence(Qt::SHIFT | Qt::Key_PageUp)},
      {"Scene_MoveToBackOfAllSprites", QKeySequence(Qt::SHIFT | Qt::Key_PageDown)},
      {"Movie_Play_Command", QKeySequence(Qt::CTRL | Qt::Key_Space)},
      {"Movie_Stop", QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Space)},
      {"Movie_NextFrame", QKeySequence(Qt::ALT | Qt::Key_Right)},
      {"Movie_BackOneStep", QKeySequence(Qt::ALT | Qt::Key_Left)},
      {"Edit_Copy", QKeySequence(Qt::CTRL | Qt::Key_C)},
      {"Edit_Cut", QKeySequence(Qt::CTRL | Qt::Key_X)},
      {"Edit_Paste", QKeySequence(Qt::CTRL | Qt::Key_V)},
      {"File_Export", QKeySequence(Qt::CTRL | Qt::Key_E)},
  };
  for (const auto& [name, keys] : shortcuts) EXPECT_EQ(Editor(form).Commands().ActionByName(name)->shortcut(), keys) << name;
}

TEST_F(MainFormTest, CaptionsAndHintsOfTheDesign) {
  TMainForm& form = Create();
  const std::pair<const char*, QString> captions[] = {
      {"Scene_Add_3DText", "&3D Text"},
      {"Sprite_Add_3DText", "Frame with 3D text"},
      {"Sprite_Add_Rectangle", "Frame with &Rectangle"},
      {"Scene_Apperture_Effect", "&Apperture..."},
      {"Scene_GammaCorr_Effect", "&Gamma Correction..."},
      {"Effects_90Clockwise", QString::fromUtf8("90\u00B0 Clockwise")},
      {"Veiw_400x40", "Size: 88x62 pixels"},
      {"View_400x50", "Size: 125x125 pixels"},
      {"Sprite_Delete", "&Delete Sprite [Del]"},
      {"File_NewFromTemplate", "New From &Template..."},
      {"Checknewversion1", "Checking for &Upgrade"},
      {"Texture_Paste", "Paste &Texture from Clipboard"},
      {"Edit_Undo", "&Undo"},
  };
  for (const auto& [name, caption] : captions) EXPECT_EQ(Editor(form).Commands().ActionByName(name)->text(), caption) << name;
  // "short|long": the tool tip and the status bar's text.
  QAction* add3D = Command(form, "Scene_Add_3DText");
  EXPECT_EQ(add3D->toolTip(), "3D Text");
  EXPECT_EQ(add3D->statusTip(), "Add new sprite with 3D Text");
  EXPECT_EQ(Command(form, "File_Export")->statusTip(), "Exports animation to another format (.GIF, .AVI, .JPG, .BMP)");
  // A hint without "|" is both.
  EXPECT_EQ(Command(form, "Sprite_Delete")->toolTip(), "Deletes Current Sprite");
  EXPECT_EQ(Command(form, "Sprite_Delete")->statusTip(), "Deletes Current Sprite");
  EXPECT_TRUE(Command(form, "Movie_Play")->isCheckable());
  EXPECT_TRUE(Command(form, "Checknewversion1")->isCheckable());
}

TEST_F(MainFormTest, OnlyCommandsWithTheirHandlerAreEnabled) {
  TMainForm& form = Create();
  for (const char* name : {"File_New", "File_Exit", "Tools_Options", "Help_About", "Contents1", "CreateGIFbanner1",
                           "FrequentlyAskedQuestions1", "ReadMe1", "LicenseAgreement1", "ZorvanSoftwareHomePage1",
                           "Scene_CheckForUpgradeNow"}) {
    EXPECT_TRUE(Editor(form).Commands().ActionByName(name)->isEnabled()) << name;
    EXPECT_TRUE(Editor(form).Commands().HasCommandHandler(Editor(form).Commands().ActionByName(name))) << name;
  }
  for (QAction* command : Editor(form).Commands().AllCommands()) {
    if (Editor(form).Commands().HasCommandHandler(command)) continue;
    EXPECT_FALSE(command->isEnabled()) << command->objectName().toStdString();
  }
  // Enabling a command that has no handler leaves it disabled; its handler enables it and runs.
  QAction unhandled(&form);
  unhandled.setEnabled(false);
  Editor(form).Commands().EnableCommand(&unhandled, true);
  EXPECT_FALSE(unhandled.isEnabled());
  int runs = 0;
  Editor(form).Commands().SetCommandHandler(&unhandled, [&] { ++runs; });
  EXPECT_TRUE(unhandled.isEnabled());
  unhandled.trigger();
  EXPECT_EQ(runs, 1);
  Editor(form).Commands().EnableCommand(Command(form, "Sprite_Flip_Hor"), false);
  EXPECT_FALSE(Command(form, "Sprite_Flip_Hor")->isEnabled());
  Editor(form).Commands().EnableCommand(Command(form, "Sprite_Flip_Hor"), true);
  EXPECT_TRUE(Command(form, "Sprite_Flip_Hor")->isEnabled());
}

TEST_F(MainFormTest, MenusInTheirOrder) {
  TMainForm& form = Create();
  QStringList titles;
  for (QAction* menu : form.menuBar()->actions()) titles << menu->text();
  EXPECT_EQ(titles, (QStringList{"&File", "&Edit", "&Insert", "&Sprite", "S&cene", "&Movie", "&Window", "&Help"}));
  EXPECT_TRUE(Child<QMenu>(form, "File1")->actions().contains(Command(form, "File_Export")));
  EXPECT_TRUE(Child<QMenu>(form, "Insert1")->actions().contains(Child<QMenu>(form, "Presets1")->menuAction()));
  EXPECT_TRUE(Child<QMenu>(form, "Effects1")->actions().contains(Editor(form).Commands().EffectCommands[19]));
  EXPECT_EQ(Editor(form).Commands().EffectCommands[0]->objectName(), "Scene_Apperture_Effect");
  EXPECT_EQ(Editor(form).Commands().EffectCommands[11]->objectName(), "Scene_Blur_Effect");
  EXPECT_TRUE(Child<QMenu>(form, "Help1")->actions().contains(Command(form, "Help_About")));
  EXPECT_TRUE(Child<QMenu>(form, "Window1")->actions().contains(Command(form, "Window_Cascade")));
  for (int i = 0; i < 9; ++i) {
    QAction* item = Editor(form).Commands().LastOpenedItems[static_cast<std::size_t>(i)];
    EXPECT_EQ(item->objectName(), QString("LO%1").arg(i + 1));
    EXPECT_EQ(item->data().toInt(), i);
    EXPECT_FALSE(item->isVisible());
  }
  EXPECT_EQ(Child<QMenu>(form, "PopupMenu_Add3dText")->actions(), (QList<QAction*>{Command(form, "Scene_Add_3DText"), Command(form, "Sprite_Add_3DText")}));
  EXPECT_EQ(Child<QMenu>(form, "PopupMenu_AddLine")->actions(), (QList<QAction*>{Command(form, "Scene_Add_Line"), Command(form, "Sprite_Add_Line")}));
}

TEST_F(MainFormTest, ThreeToolBarsWhereTheDesignDocksThem) {
  TMainForm& form = Create();
  EXPECT_EQ(Child<QToolBar>(form, "ToolBarMainButtons")->windowTitle(), "Main Buttons");
  EXPECT_EQ(Child<QToolBar>(form, "ToolBarTimeLine")->windowTitle(), "Time Line");
  EXPECT_EQ(Child<QToolBar>(form, "ToolBar_Sprite_Buttons")->windowTitle(), "Insert/Delete Buttons");
  EXPECT_EQ(form.toolBarArea(Child<QToolBar>(form, "ToolBarMainButtons")), Qt::TopToolBarArea);
  EXPECT_EQ(form.toolBarArea(Child<QToolBar>(form, "ToolBarTimeLine")), Qt::TopToolBarArea);
  EXPECT_EQ(form.toolBarArea(Child<QToolBar>(form, "ToolBar_Sprite_Buttons")), Qt::LeftToolBarArea);
  // The time line never docks at the left.
  EXPECT_FALSE(Child<QToolBar>(form, "ToolBarTimeLine")->isAreaAllowed(Qt::LeftToolBarArea));
  EXPECT_EQ(Child<QToolButton>(form, "AnimateBtn")->defaultAction(), Command(form, "Movie_Play"));
  EXPECT_EQ(Child<QToolButton>(form, "NextBtn")->defaultAction(), Command(form, "Movie_NextFrame"));
  EXPECT_EQ(Child<QToolButton>(form, "ToolButton_Add_Rect")->menu(), Child<QMenu>(form, "PopupMenu_AddRectangle"));
  EXPECT_TRUE(Child<QToolBar>(form, "ToolBarTimeLine")->isAncestorOf(Child<TTimelineSlider>(form, "StepsTrackBar")));
  EXPECT_TRUE(Child<QToolBar>(form, "ToolBarTimeLine")->isAncestorOf(Child<TDigitalDisplay>(form, "CurrentStep")));
  EXPECT_FALSE(Child<TDigitalDisplay>(form, "StepPerSecond")->Visible());
  EXPECT_EQ(Child<TDigitalDisplay>(form, "CurrentStep")->Caption(), " 00001");
  EXPECT_FALSE(Command(form, "File_New")->icon().isNull());
  EXPECT_FALSE(Command(form, "Movie_Play")->icon().isNull());
}

TEST_F(MainFormTest, PropertiesPanelWithItsPagesAndTheTreePanel) {
  TMainForm& form = Create();
  EXPECT_EQ(Child<QDockWidget>(form, "PanelProperties")->windowTitle(), "Properties: ");
  EXPECT_EQ(form.dockWidgetArea(Child<QDockWidget>(form, "PanelProperties")), Qt::RightDockWidgetArea);
  EXPECT_FALSE(Child<QDockWidget>(form, "PanelProperties")->isAreaAllowed(Qt::LeftDockWidgetArea));
  const QStringList pages{"Scene", "Sprite", "Frame", "Motion", "Appearance", "Background", "Empty"};
  ASSERT_EQ(Child<QStackedWidget>(form, "Notebook_Properties")->count(), pages.size());
  for (int i = 0; i < pages.size(); ++i) {
    EXPECT_EQ(Child<QStackedWidget>(form, "Notebook_Properties")->widget(i)->objectName(), pages[i]);
    EXPECT_EQ(Editor(form).Layout().PropertyPage(i), Child<QStackedWidget>(form, "Notebook_Properties")->widget(i));
  }
  EXPECT_EQ(Child<QStackedWidget>(form, "Notebook_Properties")->currentIndex(), ppEmpty);
  EXPECT_EQ(Child<QStackedWidget>(form, "NotebookFramePreview")->count(), 4);
  EXPECT_TRUE(Editor(form).Layout().PropertyPage(ppFrame)->isAncestorOf(Child<QStackedWidget>(form, "NotebookFramePreview")));
  EXPECT_EQ(Child<QStackedWidget>(form, "Notebook_Size_Opacity")->count(), 3);
  EXPECT_TRUE(Editor(form).Layout().PropertyPage(ppMotion)->isAncestorOf(Child<QStackedWidget>(form, "Notebook_Size_Opacity")));
  EXPECT_EQ(Editor(form).Layout().Panel_TreeView()->objectName(), "Panel_TreeView");
  EXPECT_EQ(Child<QTreeWidget>(form, "AnimationTree")->parentWidget(), Editor(form).Layout().Panel_TreeView());
  EXPECT_TRUE(Child<QDockWidget>(form, "PanelProperties")->isAncestorOf(Editor(form).Layout().Panel_TreeView()));
}

TEST_F(MainFormTest, ThirteenTimersWithTheirIntervalsAllDisabledAtStart) {
  TMainForm& form = Create();
  const std::pair<const TTimer*, int> timers[] = {
      {&form.TimerStart, 1000},
      {&form.TimerRunCheckUpdate, 60000},
      {&Editor(form).Files().AutosaveTimer(), 600000},
      {&form.HideProgressTimer, 10000},
      {&Editor(form).Playback().SetStepTimer(), 500},
      {&Editor(form).Motion().TimerRedraw(), 200},
      {&Editor(form).Text3DEditor().Timer_3D_Changed(), 200},
      {&Editor(form).Text3DEditor().TimerLightsRedraw(), 30},
      {&Editor(form).Text3DEditor().ZoomTimer(), 100},
      {&Editor(form).Text3DEditor().Timer3DAnimation(), 50},
      {&Editor(form).Shapes().TimerRedrawShape(), 200},
      {&Editor(form).Shapes().TimerRedrawLine(), 200},
      {&Editor(form).Motion().TimerRedrawScene(), 300},
  };
  for (const auto& [timer, interval] : timers) {
    EXPECT_EQ(timer->Interval(), interval);
    EXPECT_FALSE(timer->Enabled());
    EXPECT_TRUE(static_cast<bool>(timer->OnTimer()));
  }
}

TEST_F(MainFormTest, CreationPreparesTheProgramsState) {
  TMainForm& form = Create();
  EXPECT_EQ(ProgramName, "Gleamcraft");
  EXPECT_EQ(Editor(form).CurrentScene(), Editor(form).PlaceholderScene());
  EXPECT_EQ(Editor(form).PlaceholderScene()->Locked, 1);
  EXPECT_EQ(Editor(form).PlaceholderScene()->NotifyWindow, Editor(form).Handle());
  EXPECT_EQ(Editor(form).ActiveAnimationWindow(), nullptr);
  EXPECT_EQ(form.ProgressPercent, -1);
  EXPECT_NE(Editor(form).ClipboardFormat(), 0u);
  EXPECT_EQ(Editor(form).SettingsArea().SaveDialog().fileName, "noname.GLM");
  EXPECT_EQ(Editor(form).SettingsArea().SaveDialog().filter,
            "3D Animation (*.GLM)|*.GLM|GIF - CompuServe Bitmap|*.gif|BMP - Windows Bitmap|*.bmp|AVI - Video for "
            "Windows|*.avi|JPG - JPEG Bitmap|*.jpg|Glintdeck data file (*.gld)|*.gld|All Files (*.*)|*.*");
  EXPECT_EQ(Editor(form).SettingsArea().OpenDialog1().filter,
            "3D Animations (*.GLM)|*.GLM|Backup files (*.~GL)|*.~GL|CompuServe Bitmap (*.gif)|*.gif|Video for "
            "Windows (*.avi)|*.avi|Glintdeck data files (*.gld)|*.gld|All Files (*.*)|*.*");
  EXPECT_EQ(Editor(form).UserSettings().Folders.Data, program_.Path() + "/Animations/");
  EXPECT_EQ(Editor(form).SettingsArea().PresetsFolder(), program_.Path() + "/Pictures/Presets/");
  EXPECT_EQ(form.minimumSize(), QSize(630, 480));
  ASSERT_NE(form.SplashForm(), nullptr);
  EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(MainFormTest, TheTextPagesDepthAndSizeLists) {
  TMainForm& form = Create();
  ASSERT_EQ(Child<QComboBox>(form, "ComboBoxDepth")->count(), 40);
  EXPECT_EQ(Child<QComboBox>(form, "ComboBoxDepth")->itemText(0), "0");
  EXPECT_EQ(Child<QComboBox>(form, "ComboBoxDepth")->itemText(1), "0.01");
  EXPECT_EQ(Child<QComboBox>(form, "ComboBoxDepth")->itemText(9), "0.09");
  EXPECT_EQ(Child<QComboBox>(form, "ComboBoxDepth")->itemText(10), "0.1");
  EXPECT_EQ(Child<QComboBox>(form, "ComboBoxDepth")->itemText(12), "0.3");
  EXPECT_EQ(Child<QComboBox>(form, "ComboBoxDepth")->itemText(39), "3");
  ASSERT_EQ(Child<QComboBox>(form, "ComboBoxSize")->count(), 70);
  EXPECT_EQ(Child<QComboBox>(form, "ComboBoxSize")->itemText(0), "1");
  EXPECT_EQ(Child<QComboBox>(form, "ComboBoxSize")->itemText(69), "70");
  EXPECT_TRUE(Child<QStackedWidget>(form, "NotebookFramePreview")->isAncestorOf(Child<QComboBox>(form, "ComboBoxSize")));
}

}  // namespace

namespace {

TEST_F(MainFormTest, ThePresetsMenuListsThePresetPictures) {
  WriteStarterSet(program_.Path());
  program_.WriteFile("Pictures/Presets/Broken.gif", "GIF89a but nothing more");
  TMainForm& form = Create();
  QStringList captions;
  for (QAction* item : Child<QMenu>(form, "Presets1")->actions()) captions << item->text();
  EXPECT_EQ(captions, (QStringList{"Arrow", "New", "Star"}));  // no item for the broken picture
  for (QAction* item : Child<QMenu>(form, "Presets1")->actions()) {
    EXPECT_FALSE(item->icon().isNull());
    EXPECT_EQ(item->icon().availableSizes().front(), QSize(18, 18));
    const TColor mask = item->property(TGalleriesArea::kMaskColorProperty).toUInt();
    EXPECT_EQ(mask % 15, 0u);
    EXPECT_GE(mask, 15u);
    // No pixel of the picture has the mask colour.
    const QImage picture = item->icon().pixmap(18, 18).toImage();
    for (int y = 0; y < 18; ++y)
      for (int x = 0; x < 18; ++x) {
        const QRgb pixel = picture.pixel(x, y);
        ASSERT_NE(RGB(qRed(pixel), qGreen(pixel), qBlue(pixel)), mask);
      }
  }
  EXPECT_EQ(form.SplashForm()->LoadingText(), "Initialize preset - \"Star.gif\"");
}

}  // namespace

namespace {

QStringList DocumentItems(QMenu& menu) {
  QStringList captions;
  bool afterLayout = false;
  for (QAction* item : menu.actions()) {
    if (item->objectName() == "Window_Tile_Vertical") afterLayout = true;
    else if (afterLayout && !item->isSeparator()) captions << item->text() + (item->isChecked() ? " *" : "");
  }
  return captions;
}

TEST_F(MainFormTest, TheWindowMenuListsTheOpenDocuments) {
  TMainForm& form = Start();
  Command(form, "File_New")->trigger();
  emit Child<QMenu>(form, "Window1")->aboutToShow();
  const QStringList twoDocuments = DocumentItems(*Child<QMenu>(form, "Window1"));
  ASSERT_EQ(twoDocuments.size(), 2);
  EXPECT_EQ(twoDocuments[0], "&1 Untitled");
  EXPECT_EQ(twoDocuments[1], "&2 Untitled *");  // the new one is active

  // Choosing the first activates it; showing the menu again lists no item twice.
  QAction* first = nullptr;
  for (QAction* item : Child<QMenu>(form, "Window1")->actions())
    if (item->text() == "&1 Untitled") first = item;
  ASSERT_NE(first, nullptr);
  first->trigger();
  emit Child<QMenu>(form, "Window1")->aboutToShow();
  EXPECT_EQ(DocumentItems(*Child<QMenu>(form, "Window1")), (QStringList{"&1 Untitled *", "&2 Untitled"}));
}

}  // namespace
