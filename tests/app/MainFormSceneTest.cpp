// The remaining scene commands of the main window: sprites to the front or
// the back of all with their undo records, the 88 x 31 size, the
// upgrade-check switch, Insert > Presets from the starter set, the template
// wizard at the New From Template command, and the commands' captions.
#include "tests/app/MainFormTreeFixture.h"
#include "tests/support/FindChild.h"

#include "app/core/SizeLimits.h"
#include "app/core/StarterSet.h"
#include "controls/AnimationPickerU.h"
#include "controls/PopupWindow.h"
#include "platform/ProcessExit.h"
#include "qel3d/qelview.h"
#include "scene/Frame.h"
#include "scene/Sprite.h"

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include <cstring>

namespace {

std::string SpriteOrder(TAnimatedScene& scene) {
  std::string names;
  for (int i = 0; i < scene.SpriteCount(); ++i) names += scene.Sprite(i).Name;
  return names;
}

struct TRecordHeader {
  std::int32_t kind, objectKind, index;
};
TRecordHeader LastHeader(TUndo& undo) {
  const std::uint8_t* at = undo.Log().Memory() + undo.LastRecordPosition();
  TRecordHeader record{};
  std::memcpy(&record.kind, at + TUndo::kRecordKindAt, 4);
  std::memcpy(&record.objectKind, at + TUndo::kObjectKindAt, 4);
  std::memcpy(&record.index, at + TUndo::kIndexAt, 4);
  return record;
}

class MainFormSceneTest : public MainFormTreeTest {};

// ---- Captions and hints ----------------------------------------------------------------------------------

TEST_F(MainFormSceneTest, TheCommandsCarryTheirCaptionsAndHints) {
  TMainForm& form = Create();
  EXPECT_EQ(Command(form, "File_Export")->text(), QString("&Export..."));
  EXPECT_EQ(Command(form, "File_Import")->text(), QString("I&mport..."));
  EXPECT_EQ(Command(form, "File_Save_As")->text(), QString("Save &As..."));
  EXPECT_EQ(Command(form, "File_NewFromTemplate")->text(), QString("New From &Template..."));
  EXPECT_EQ(Command(form, "Scene_MovetoFrontOfAllSprites")->text(), QString("Move to Front of all Sprites"));
  EXPECT_EQ(Command(form, "Scene_MoveToBackOfAllSprites")->text(), QString("Move to Back of all Sprites"));
  EXPECT_EQ(Command(form, "Checknewversion1")->text(), QString("Checking for &Upgrade"));
  EXPECT_EQ(Command(form, "Motion_AddFromGallery")->text(), QString("Add from Gallery..."));
  EXPECT_TRUE(Editor(form).Commands().HasCommandHandler(Command(form, "File_NewFromTemplate")));
  EXPECT_TRUE(Editor(form).Commands().HasCommandHandler(Command(form, "File_Import")));
  EXPECT_TRUE(Editor(form).Commands().HasCommandHandler(Command(form, "File_Save_As")));
  EXPECT_TRUE(Editor(form).Commands().HasCommandHandler(Command(form, "View_88x31")));
  EXPECT_TRUE(Editor(form).Commands().HasCommandHandler(Command(form, "Motion_AddFromGallery")));
}

// ---- Front and back ------------------------------------------------------------------------------------

TEST_F(MainFormSceneTest, FrontAndBackOfAllSpritesRecordAndUndo) {
  TMainForm& form = StartShown();
  TAnimationWindow* window = OpenThroughCommand(WriteThreeSprites("order.GLM"));
  ASSERT_NE(window, nullptr);
  TAnimatedScene& scene = *window->Scene();
  const std::string opened = ProjectBytes(scene);

  ClickNode(Node({"A"}));
  Command(form, "Scene_MovetoFrontOfAllSprites")->trigger();
  Settle();
  EXPECT_EQ(SpriteOrder(scene), "BCA");
  EXPECT_EQ(Captions(Root()), (std::vector<std::string>{"Background", "A", "C", "B"}));
  EXPECT_EQ(UndoCaptions(*window->Undo()), (std::vector<std::string>{"Move to Front of all Sprites"}));
  TRecordHeader front = LastHeader(*window->Undo());
  EXPECT_EQ(front.kind, 2);
  EXPECT_EQ(front.objectKind, 411);
  EXPECT_EQ(front.index, 0);

  // Already in front: nothing moves and nothing is recorded.
  ClickNode(Node({"A"}));
  Command(form, "Scene_MovetoFrontOfAllSprites")->trigger();
  Settle();
  EXPECT_EQ(SpriteOrder(scene), "BCA");
  EXPECT_EQ(UndoCaptions(*window->Undo()).size(), 1u);

  ClickNode(Node({"C"}));
  Command(form, "Scene_MoveToBackOfAllSprites")->trigger();
  Settle();
  EXPECT_EQ(SpriteOrder(scene), "CBA");
  EXPECT_EQ(Captions(Root()), (std::vector<std::string>{"Background", "A", "B", "C"}));
  TRecordHeader back = LastHeader(*window->Undo());
  EXPECT_EQ(back.kind, 2);
  EXPECT_EQ(back.objectKind, 311);
  EXPECT_EQ(back.index, 1);

  // Already at the back: nothing.
  ClickNode(Node({"C"}));
  Command(form, "Scene_MoveToBackOfAllSprites")->trigger();
  EXPECT_EQ(UndoCaptions(*window->Undo()),
            (std::vector<std::string>{"Move to Front of all Sprites", "Move to Back of all Sprites"}));

  Command(form, "Edit_Undo")->trigger();
  Settle();
  EXPECT_EQ(SpriteOrder(scene), "BCA");
  Command(form, "Edit_Undo")->trigger();
  Settle();
  EXPECT_EQ(ProjectBytes(scene), opened);
  EXPECT_EQ(Captions(Root()), (std::vector<std::string>{"Background", "C", "B", "A"}));
}

TEST_F(MainFormSceneTest, The88x31CommandSizesTheCanvasAndOneUndoTakesTheSizeBack) {
  TMainForm& form = StartShown();
  TAnimationWindow* window = OpenThroughCommand(WriteThreeSprites("size.GLM"));
  Command(form, "View_88x31")->trigger();
  window->ResizeTimerTimer();
  Settle();
  EXPECT_EQ(window->Scene()->Width, 88);
  EXPECT_EQ(window->Scene()->Height, 31);
  EXPECT_EQ(UndoCaptions(*window->Undo()), (std::vector<std::string>{"Change Animation Size"}));

  Command(form, "Edit_Undo")->trigger();
  Settle();
  EXPECT_EQ(window->Scene()->Width, 200);
  EXPECT_EQ(window->Scene()->Height, 100);
  EXPECT_EQ(window->PictureBackground->Width(), 200);
  EXPECT_EQ(window->PictureBackground->Bitmap().Height(), 100);
  // The canvas stays at the restored size when its layout runs again.
  window->ResizeTimerTimer();
  EXPECT_EQ(window->Scene()->Width, 200);
  EXPECT_TRUE(window->Undo()->Empty());
}

// A size dialog answered OK with a size the project reader could not open
// again: the command refuses it before the canvas grows.
TEST_F(MainFormSceneTest, CustomSizeBeyondTheReadersLimitsIsRefusedByTheCommand) {
  TMainForm& form = StartShown();
  TAnimationWindow* window = OpenThroughCommand(WriteThreeSprites("huge.GLM"));
  forms_.Expect("SetBackgroundFrm").Fill("MaintainRatio", false).Fill("WidthPixels", "8193").Fill("HeightPixels", "8193").Answer(mrOk);
  Command(form, "View_Custom")->trigger();
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, SizeRefusedMessage(8193, 8193));
  EXPECT_EQ(window->PanelAnimation->BoxWidth(), 200);
  window->ResizeTimerTimer();
  EXPECT_EQ(window->Scene()->Width, 200);
  EXPECT_EQ(ui_.messages.size(), 1u);
  EXPECT_FALSE(window->Modified());
}

// ---- Deleting ------------------------------------------------------------------------------------------

TEST_F(MainFormSceneTest, DeleteCurrentFrameKeepsTheOnlyFrameOfASprite) {
  TMainForm& form = StartShown();
  TAnimationWindow* window = OpenThroughCommand(WriteThreeSprites("frames.GLM"));
  ClickNode(Node({"A"})->child(0));
  ASSERT_NE(Editor(form).CurrentFrame(), nullptr);
  Command(form, "Sprite_Delete_Frame")->trigger();
  Settle();
  EXPECT_EQ(window->Scene()->SpriteCount(), 3);
  EXPECT_EQ(window->Scene()->Sprite(0).FrameCount(), 1);
  EXPECT_TRUE(UndoCaptions(*window->Undo()).empty());
}

// ---- The upgrade-check switch ---------------------------------------------------------------------------

TEST_F(MainFormSceneTest, SwitchingUpgradeChecksOnWithoutTheHelperTellsAndSwitchesOff) {
  TMainForm& form = StartShown();
  Command(form, "Checknewversion1")->setChecked(false);
  Editor(form).UserSettings().CheckNewVersion = false;
  Command(form, "Checknewversion1")->trigger();
  EXPECT_EQ(Setting("LastTest"), std::optional<std::string>("0"));
  EXPECT_EQ(Setting("CurrentVersion"), std::optional<std::string>("-1"));
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text,
            "The checking for upgrade cannot be performed. Some files is missing or corrupted.");
  EXPECT_EQ(ui_.messages[0].caption, "Error");
  EXPECT_EQ(ui_.messages[0].flags, unsigned(MB_OK | MB_ICONERROR));
  EXPECT_FALSE(Command(form, "Checknewversion1")->isChecked());
  EXPECT_FALSE(Editor(form).UserSettings().CheckNewVersion);
}

TEST_F(MainFormSceneTest, SwitchingUpgradeChecksOffWritesNothingForTheHelper) {
  TMainForm& form = StartShown();
  Command(form, "Checknewversion1")->setChecked(true);
  Editor(form).UserSettings().CheckNewVersion = true;
  Command(form, "Checknewversion1")->trigger();
  EXPECT_FALSE(Command(form, "Checknewversion1")->isChecked());
  EXPECT_FALSE(Editor(form).UserSettings().CheckNewVersion);
  EXPECT_EQ(Setting("CurrentVersion"), std::nullopt);
  EXPECT_TRUE(ui_.messages.empty());
}

// ---- Insert > Presets and templates from the starter set -----------------------------------------------

class MainFormStarterSetTest : public MainFormSceneTest {
 protected:
  MainFormStarterSetTest() { WriteStarterSet(program_.Path()); }
};

TEST_F(MainFormStarterSetTest, InsertPresetAddsASpriteWithOneStepAndOneUndoEntry) {
  TMainForm& form = StartShown();
  TAnimationWindow* window = OpenThroughCommand(WriteThreeSprites("presets.GLM"));
  ASSERT_FALSE(Child<QMenu>(form, "Presets1")->actions().isEmpty());
  QAction* item = Child<QMenu>(form, "Presets1")->actions().front();
  EXPECT_TRUE(item->isEnabled());
  TAnimatedScene& scene = *window->Scene();
  item->trigger();
  Settle();
  ASSERT_EQ(scene.SpriteCount(), 4);
  TSprite& added = scene.Sprite(3);
  EXPECT_GE(added.FrameCount(), 1);
  EXPECT_EQ(added.Motion().StepCount(), 1);
  EXPECT_EQ(Editor(form).CurrentSprite(), &added);
  EXPECT_EQ(UndoCaptions(*window->Undo()), (std::vector<std::string>{"Add Sprite"}));
  Command(form, "Edit_Undo")->trigger();
  Settle();
  EXPECT_EQ(scene.SpriteCount(), 3);
}

TEST_F(MainFormStarterSetTest, AnUnreadablePresetAddsNothing) {
  TMainForm& form = StartShown();
  TAnimationWindow* window = OpenThroughCommand(WriteThreeSprites("broken.GLM"));
  QAction* item = Child<QMenu>(form, "Presets1")->actions().front();
  // The picture went after the menu was built.
  ASSERT_TRUE(DeleteFile(Editor(form).SettingsArea().PresetsFolder() + item->text().toStdString() + ".gif"));
  item->trigger();
  Settle();
  EXPECT_EQ(window->Scene()->SpriteCount(), 3);
  EXPECT_TRUE(UndoCaptions(*window->Undo()).empty());
}

TEST_F(MainFormStarterSetTest, NewFromTemplateOpensTheChosenBannerInANewDocument) {
  TMainForm& form = StartShown();
  const int documents = Child<QMdiArea>(form, "MdiArea")->subWindowList().size();
  std::string listed;
  forms_.Expect("TemplateForm")
      .Do([&listed](QDialog& wizard) {
        auto* list = wizard.findChild<QListWidget*>("ListView_Thumbnails");
        ASSERT_NE(list, nullptr);
        ASSERT_GT(list->count(), 0);
        listed = list->item(0)->text().toStdString();
        list->setCurrentRow(0);
      })
      .Press("OkButton");
  Command(form, "File_NewFromTemplate")->trigger();
  Settle();
  EXPECT_EQ(Child<QMdiArea>(form, "MdiArea")->subWindowList().size(), documents + 1);
  ASSERT_NE(Editor(form).ActiveAnimationWindow(), nullptr);
  EXPECT_FALSE(listed.empty());
  EXPECT_NE(Editor(form).ActiveAnimationWindow()->FileName().find(listed), std::string::npos);
  EXPECT_GT(Editor(form).ActiveAnimationWindow()->Scene()->SpriteCount(), 0);
}

TEST_F(MainFormStarterSetTest, ClosingTheTemplateWizardOpensNothing) {
  TMainForm& form = StartShown();
  const int documents = Child<QMdiArea>(form, "MdiArea")->subWindowList().size();
  forms_.Expect("TemplateForm").Press("CloseBtn");
  Command(form, "File_NewFromTemplate")->trigger();
  Settle();
  EXPECT_EQ(Child<QMdiArea>(form, "MdiArea")->subWindowList().size(), documents);
}

// The motion gallery through the picker: the chosen preset's path replaces
// the sprite's, re-anchored at the old fixed first step, with one "Change
// Motion" entry that Undo takes back.
TEST_F(MainFormStarterSetTest, TheMotionGalleryReanchorsThePresetAndUndoes) {
  TMainForm& form = StartShown();
  TAnimationWindow* window = OpenThroughCommand(WriteThreeSprites("motion.GLM"));
  TSprite& a = window->Scene()->Sprite(0);
  const double oldX = a.Motion().Step(0).StartX, oldY = a.Motion().Step(0).StartY;
  const std::string opened = ProjectBytes(*window->Scene());
  ClickNode(Node({"A"}));
  TAnimationPicker& picker = *Editor(form).Galleries().AnimationPicker1();
  std::string chosen;
  QTimer::singleShot(0, &form, [&] {
    if (!picker.Form()->IsOpen() || picker.ItemCount() == 0) return picker.CancelButtonClick();
    chosen = picker.Item(0).FileName();
    QTest::mouseClick(picker.OkButton, Qt::LeftButton);
  });
  Command(form, "Motion_AddFromGallery")->trigger();
  Settle();
  ASSERT_FALSE(chosen.empty());
  TAnimatedScene preset;
  preset.LoadFromFile(chosen);
  ASSERT_GT(preset.SpriteCount(), 0);
  const TMoving& presetPath = preset.Sprite(0).Motion();
  ASSERT_EQ(a.Motion().StepCount(), presetPath.StepCount());
  const TMovingStep& first = a.Motion().Step(0);
  EXPECT_EQ(std::min<double>(first.X1, first.X2), oldX);
  EXPECT_EQ(std::min<double>(first.Y1, first.Y2), oldY);
  EXPECT_EQ(double(first.StartX), double(first.X1));
  EXPECT_EQ(UndoCaptions(*window->Undo()), (std::vector<std::string>{"Change Motion"}));
  Command(form, "Edit_Undo")->trigger();
  Settle();
  EXPECT_EQ(ProjectBytes(*window->Scene()), opened);
}

TEST_F(MainFormStarterSetTest, ADismissedGalleryChangesNothing) {
  TMainForm& form = StartShown();
  TAnimationWindow* window = OpenThroughCommand(WriteThreeSprites("dismissed.GLM"));
  ClickNode(Node({"A"}));
  TAnimationPicker& picker = *Editor(form).Galleries().AnimationPicker1();
  QTimer::singleShot(0, &form, [&] { picker.CancelButtonClick(); });
  Command(form, "Motion_AddFromGallery")->trigger();
  Settle();
  EXPECT_TRUE(UndoCaptions(*window->Undo()).empty());
}

// ---- The background page and the transparent background ----------------------------------------------

TEST_F(MainFormSceneTest, ChoosingTileRecordsOneBackgroundEntryAndTilesTheBackground) {
  TMainForm& form = StartShown();
  TAnimationWindow* window = OpenThroughCommand(WriteThreeSprites("tile.GLM"));
  ClickNode(Node({"Background"}));
  ASSERT_EQ(Page(), ppBackground);
  EXPECT_EQ(Child<QGroupBox>(form, "Radio_Backgroun_Picture_Type")->title(), QString(" Display "));
  EXPECT_TRUE(Child<QRadioButton>(form, "Radio_Backgroun_Picture_Type_0")->isChecked());  // the project's centred picture
  QRadioButton* tile = Child<QRadioButton>(form, "Radio_Backgroun_Picture_Type_1");
  EXPECT_EQ(tile->text(), QString("Tile"));
  // On the button's mark: a radio button takes clicks on its mark and caption only.
  QTest::mouseClick(tile, Qt::LeftButton, {}, QPoint(6, tile->height() / 2));
  Settle();
  EXPECT_EQ(window->Scene()->PicturePlacement, ppTiled);
  EXPECT_EQ(UndoCaptions(*window->Undo()), (std::vector<std::string>{"Change Background Properties"}));
  TRecordHeader record = LastHeader(*window->Undo());
  EXPECT_EQ(record.kind, 3);
  EXPECT_EQ(record.objectKind, 5);
  Command(form, "Edit_Undo")->trigger();
  Settle();
  EXPECT_EQ(window->Scene()->PicturePlacement, ppCentered);
}

TEST_F(MainFormSceneTest, TheTransparentBackgroundIsASceneSettingWithUndo) {
  TMainForm& form = StartShown();
  TAnimationWindow* window = OpenThroughCommand(WriteThreeSprites("transparent.GLM"));
  ClickNode(Node({"Background"}));
  ASSERT_EQ(Page(), ppBackground);
  EXPECT_EQ(Child<QCheckBox>(form, "BackgroundIsTransparentCheckBox")->text(), QString("Transparent"));
  EXPECT_FALSE(Child<QPushButton>(form, "TransparentBackColor_Button")->isEnabled());
  QTest::mouseClick(Child<QCheckBox>(form, "BackgroundIsTransparentCheckBox"), Qt::LeftButton, {},
                   QPoint(6, Child<QCheckBox>(form, "BackgroundIsTransparentCheckBox")->height() / 2));
  Settle();
  EXPECT_EQ(window->Scene()->TransparentBackground, 1);
  EXPECT_TRUE(Child<QPushButton>(form, "TransparentBackColor_Button")->isEnabled());
  EXPECT_TRUE(window->Modified());
  ui_.colorAnswers.push_back(TColor(0x00FF00));
  QTest::mouseClick(Child<QPushButton>(form, "TransparentBackColor_Button"), Qt::LeftButton);
  Settle();
  EXPECT_EQ(window->Scene()->TransparentColor, TColor(0x00FF00));
  EXPECT_EQ(UndoCaptions(*window->Undo()),
            (std::vector<std::string>{"Change Background Properties", "Change Background Properties"}));
  Command(form, "Edit_Undo")->trigger();
  Settle();
  // The colour button kept the focus while its page went: the document stays the active one.
  ASSERT_EQ(Editor(form).ActiveAnimationWindow(), window);
  Command(form, "Edit_Undo")->trigger();
  Settle();
  EXPECT_EQ(window->Scene()->TransparentBackground, 0);
}

// ---- Shutting down -----------------------------------------------------------------------------------

TEST_F(MainFormSceneTest, AFailedReleaseOfThe3DLibraryEndsTheProcessAtTheEnd) {
  std::vector<std::uint32_t> exits;
  const TProcessExitHandler previous = SetProcessExitHandler([&exits](std::uint32_t code) { exits.push_back(code); });
  Create();
  form_.reset();
  EXPECT_TRUE(exits.empty());
  QelReleaseFailed = true;
  Create();
  form_.reset();
  QelReleaseFailed = false;
  SetProcessExitHandler(previous);
  EXPECT_EQ(exits, (std::vector<std::uint32_t>{0}));
}

}  // namespace
