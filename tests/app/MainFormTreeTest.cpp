// The scene tree of the main window: its nodes, the page each node shows,
// the current sprite and frame, the command states, renaming sprites in
// place, and Delete, Up and Down with their undo records.
#include "tests/app/MainFormTreeFixture.h"
#include "tests/support/FindChild.h"

#include "controls/MyCntrlDigitalDisplay.h"
#include "controls/UTimelineSlider.h"
#include "scene/Frame.h"
#include "scene/Sprite.h"

namespace {

using M = TTreeArea;

std::string SpriteOrder(TAnimatedScene& scene) {
  std::string names;
  for (int i = 0; i < scene.SpriteCount(); ++i) names += scene.Sprite(i).Name;
  return names;
}

// The last record's header fields: record kind, object kind, id, index.
struct TLastRecord {
  std::int32_t kind, objectKind, id, index;
};
TLastRecord LastRecord(TUndo& undo) {
  const std::uint8_t* at = undo.Log().Memory() + undo.LastRecordPosition();
  TLastRecord record{};
  std::memcpy(&record.kind, at + TUndo::kRecordKindAt, 4);
  std::memcpy(&record.objectKind, at + TUndo::kObjectKindAt, 4);
  std::memcpy(&record.id, at + TUndo::kObjectIdAt, 4);
  std::memcpy(&record.index, at + TUndo::kIndexAt, 4);
  return record;
}

// ---- The nodes ----------------------------------------------------------------------------------------

TEST_F(MainFormTreeTest, AnOpenedSceneShowsItsNodesWithTheirCaptionsAndPictures) {
  StartShown();
  const std::string path = WriteThreeSprites("three.GLM");
  OpenThroughCommand(path);
  ASSERT_EQ(Tree().topLevelItemCount(), 1);
  EXPECT_EQ(Root()->text(0).toStdString(), "Scene [" + path + "]");
  EXPECT_EQ(M::NodeKind(Root()), M::nkScene);
  // The background first, then the sprites from the front-most to the back-most.
  EXPECT_EQ(Captions(Root()), (std::vector<std::string>{"Background", "C", "B", "A"}));
  EXPECT_EQ(Kinds(Root()), (std::vector<int>{2, 1, 1, 1}));
  EXPECT_EQ(Captions(Node({"A"})), (std::vector<std::string>{"Pos./Size/Speed", "Opacity", "Shadow", "sunny day.bmp"}));
  EXPECT_EQ(Kinds(Node({"A"})), (std::vector<int>{5, 11, 12, 3}));
  EXPECT_EQ(Captions(Node({"B"})),
            (std::vector<std::string>{"Pos./Size/Speed", "Opacity", "Shadow", "Appearance", "Rectangle", "Ellipse"}));
  EXPECT_EQ(Kinds(Node({"B"})), (std::vector<int>{5, 11, 12, 6, 8, 9}));
  // No motion: no motion, opacity and shadow nodes.
  EXPECT_EQ(Captions(Node({"C"})), (std::vector<std::string>{"Line", "\"Hello\""}));
  EXPECT_EQ(Kinds(Node({"C"})), (std::vector<int>{10, 4}));
  // Always expanded, each node with its kind's picture.
  EXPECT_TRUE(Node({"B"})->isExpanded());
  EXPECT_EQ(Editor(Form()).Tree().ImageList_Tree().size(), 13u);
  EXPECT_EQ(Node({"B", "Ellipse"})->icon(0).cacheKey(), Editor(Form()).Tree().ImageList_Tree()[9].cacheKey());
  EXPECT_EQ(Node({"Background"})->icon(0).cacheKey(), Editor(Form()).Tree().ImageList_Tree()[2].cacheKey());
}

TEST_F(MainFormTreeTest, AnUntitledSceneAndNoSceneAtAll) {
  TMainForm& form = StartShown();
  ASSERT_NE(Editor(form).ActiveAnimationWindow(), nullptr);
  EXPECT_EQ(Root()->text(0), QString("Scene []"));
  EXPECT_EQ(Captions(Root()), (std::vector<std::string>{"Background"}));
  EXPECT_EQ(Page(), ppScene);

  Child<QMdiArea>(form, "MdiArea")->closeAllSubWindows();
  Settle();
  EXPECT_EQ(Editor(form).ActiveAnimationWindow(), nullptr);
  EXPECT_EQ(&Tree(), Child<QTreeWidget>(form, "AnimationTree"));
  ASSERT_EQ(Tree().topLevelItemCount(), 1);
  EXPECT_EQ(Root()->text(0), QString("Empty Scene"));
  EXPECT_EQ(Root()->childCount(), 0);
  EXPECT_EQ(Page(), ppEmpty);
  EXPECT_EQ(Editor(form).CurrentScene(), Editor(form).PlaceholderScene());
  EXPECT_FALSE(Command(form, "Edit_Undo")->isEnabled());
}

// ---- Nodes and model objects ----------------------------------------------------------------------------

TEST_F(MainFormTreeTest, NodesMapToTheSpritesFromTheFrontToTheBack) {
  TMainForm& form = StartShown();
  TAnimatedScene& scene = *OpenThroughCommand(WriteThreeSprites("map.GLM"))->Scene();
  EXPECT_EQ(Editor(form).Tree().SpriteOfTreeNode(Node({"C"})), &scene.Sprite(2));
  EXPECT_EQ(Editor(form).Tree().SpriteOfTreeNode(Node({"B"})), &scene.Sprite(1));
  EXPECT_EQ(Editor(form).Tree().SpriteOfTreeNode(Node({"A"})), &scene.Sprite(0));
  EXPECT_EQ(Editor(form).Tree().SpriteOfTreeNode(Node({"Background"})), nullptr);
  EXPECT_EQ(Editor(form).Tree().SpriteOfTreeNode(Node({"B", "Rectangle"})), nullptr);
  EXPECT_EQ(Editor(form).Tree().TreeNodeOfSprite(&scene.Sprite(1)), Node({"B"}));
  EXPECT_EQ(Editor(form).Tree().TreeNodeOfSprite(nullptr), Root());

  // Selecting the middle node edits B.
  ClickNode(Node({"B"}));
  EXPECT_EQ(Editor(form).CurrentSprite(), &scene.Sprite(1));
  EXPECT_EQ(Page(), ppSprite);
  EXPECT_EQ(Editor(form).CurrentFrame(), &scene.Sprite(1).Frame(scene.Sprite(1).GetCurrentFrameIndex()));

  // A frame node: its sprite becomes current, the selection stays on the frame.
  ClickNode(Node({"C", "\"Hello\""}));
  EXPECT_EQ(Editor(form).CurrentSprite(), &scene.Sprite(2));
  EXPECT_EQ(Tree().currentItem(), Node({"C", "\"Hello\""}));
  EXPECT_EQ(Editor(form).CurrentFrame(), &scene.Sprite(2).Frame(1));
}

TEST_F(MainFormTreeTest, NoCurrentSpriteIsNoSprite) {
  TMainForm& form = StartShown();
  TAnimatedScene& scene = *OpenThroughCommand(WriteThreeSprites("none.GLM"))->Scene();
  Editor(form).Tree().SetCurrentSprite(&scene.Sprite(0));
  Editor(form).Tree().SetCurrentSprite(nullptr);
  EXPECT_EQ(Editor(form).CurrentSprite(), nullptr);
  EXPECT_EQ(scene.SpriteCount(), 3);
  // Move Up and Down see none.
  Editor(form).Tree().Sprite_Move_UpExecute();
  Editor(form).Tree().Sprite_Move_DownExecute();
  EXPECT_EQ(SpriteOrder(scene), "ABC");
  EXPECT_FALSE(Command(form, "Sprite_Move_Up")->isEnabled());
}

TEST_F(MainFormTreeTest, SelectingNodesByIndexAndKind) {
  TMainForm& form = StartShown();
  TAnimatedScene& scene = *OpenThroughCommand(WriteThreeSprites("select.GLM"))->Scene();
  Editor(form).Tree().SelectTreeNode(1, 3);
  EXPECT_EQ(Tree().currentItem(), Node({"B", "Pos./Size/Speed"}));
  EXPECT_EQ(Page(), ppMotion);
  Editor(form).Tree().SelectTreeNode(1, 4);
  EXPECT_EQ(Tree().currentItem(), Node({"B", "Appearance"}));
  EXPECT_EQ(Page(), ppAppearance);
  Editor(form).Tree().SelectTreeNode(9, 2);  // clamped to the last sprite
  EXPECT_EQ(Tree().currentItem(), Node({"C", "Line"}));
  Editor(form).Tree().SelectFrameNode(5);  // clamped to the last frame
  EXPECT_EQ(Tree().currentItem(), Node({"C", "\"Hello\""}));
  Editor(form).Tree().SelectTreeNode(-1, 2);
  EXPECT_EQ(Tree().currentItem(), Root());

  // A sprite without frames shows its own node; a scene without sprites its root.
  {
    const TUndoRecordingPause pause;
    int index = 0;
    scene.AddSprite(index)->Name = "Empty";
  }
  Editor(form).Tree().RebuildAnimationTree();
  Editor(form).Tree().SelectTreeNode(3, 2);
  EXPECT_EQ(Tree().currentItem(), Node({"Empty"}));
  Command(form, "File_New")->trigger();
  Settle();
  Editor(form).Tree().SelectTreeNode(0, 2);
  EXPECT_EQ(Tree().currentItem(), Root());
  EXPECT_EQ(Editor(form).CurrentSprite(), nullptr);
}

// ---- The page of each node -------------------------------------------------------------------------------

TEST_F(MainFormTreeTest, EachNodeShowsItsPage) {
  TMainForm& form = StartShown();
  OpenThroughCommand(WriteThreeSprites("pages.GLM"));
  const std::vector<std::pair<std::vector<const char*>, std::pair<int, int>>> cases = {
      {{}, {ppScene, -1}},
      {{"Background"}, {ppBackground, -1}},
      {{"B"}, {ppSprite, -1}},
      {{"A", "sunny day.bmp"}, {ppFrame, 0}},
      {{"C", "\"Hello\""}, {ppFrame, 1}},
      {{"B", "Rectangle"}, {ppFrame, 2}},
      {{"B", "Ellipse"}, {ppFrame, 2}},
      {{"C", "Line"}, {ppFrame, 3}},
      {{"B", "Pos./Size/Speed"}, {ppMotion, 0}},
      {{"B", "Opacity"}, {ppMotion, 1}},
      {{"B", "Shadow"}, {ppMotion, 2}},
      {{"B", "Appearance"}, {ppAppearance, -1}},
  };
  for (const auto& [path, pages] : cases) {
    QTreeWidgetItem* node = Root();
    for (const char* caption : path)
      for (int i = 0; i < node->childCount(); ++i)
        if (node->child(i)->text(0) == caption) {
          node = node->child(i);
          break;
        }
    ClickNode(node);
    const std::string name = node->text(0).toStdString();
    EXPECT_EQ(Page(), pages.first) << name;
    if (pages.first == ppFrame) {
      EXPECT_EQ(Child<QStackedWidget>(form, "NotebookFramePreview")->currentIndex(), pages.second) << name;
    }
    if (pages.first == ppMotion) {
      EXPECT_EQ(Child<QStackedWidget>(form, "Notebook_Size_Opacity")->currentIndex(), pages.second) << name;
    }
    EXPECT_EQ(Child<QDockWidget>(form, "PanelProperties")->windowTitle().toStdString(), "Properties: " + name);
  }
}

TEST_F(MainFormTreeTest, AFrameNodeHintsAtTheFrameSizeAndCount) {
  StartShown();
  OpenThroughCommand(WriteThreeSprites("hint.GLM"));
  ClickNode(Node({"A", "sunny day.bmp"}));
  EXPECT_EQ(Tree().toolTip(), QString("Frame: 4x3 pxs. Total: 1 frames in the sprite."));
  ClickNode(Node({"B", "Ellipse"}));
  EXPECT_EQ(Tree().toolTip(), QString("Frame: 24x12 pxs. Total: 2 frames in the sprite."));
  ClickNode(Node({"B"}));
  EXPECT_EQ(Tree().toolTip(), QString());
}

TEST_F(MainFormTreeTest, SelectingTheSceneOrTheBackgroundLeavesNoCurrentSpriteAndRecordsNothing) {
  TMainForm& form = StartShown();
  TAnimationWindow* window = OpenThroughCommand(WriteThreeSprites("scene.GLM"));
  ClickNode(Node({"B"}));
  ASSERT_NE(Editor(form).CurrentSprite(), nullptr);
  ClickNode(Root());
  EXPECT_EQ(Editor(form).CurrentSprite(), nullptr);
  EXPECT_EQ(Child<TTimelineSlider>(form, "StepsTrackBar")->TimeLineCollection(), nullptr);
  ClickNode(Node({"A"}));
  ClickNode(Node({"Background"}));
  EXPECT_EQ(Editor(form).CurrentSprite(), nullptr);
  EXPECT_TRUE(window->Undo()->Empty());
  EXPECT_FALSE(window->Modified());
  EXPECT_EQ(window->Scene()->Timer().Interval(), 70);
}

// ---- Command states ---------------------------------------------------------------------------------------

TEST_F(MainFormTreeTest, CommandStatesFollowTheDocumentAndTheSelection) {
  TMainForm& form = StartShown();
  // Commands of other areas get a handler here, so that only the states decide.
  for (QAction* command : {Command(form, "Scene_Add_Rectangle"), Command(form, "File_Save_As"), Command(form, "Edit_Copy"), Command(form, "Edit_Cut"),
                           Command(form, "Motion_Delete"), Command(form, "Appearance_Delete"), Command(form, "Sprite_Add_Line"), Editor(form).Commands().EffectCommands[0],
                           Editor(form).Commands().EffectCommands[19], Command(form, "Sprite_PickTransparentColor")})
    Editor(form).Commands().SetCommandHandler(command, [] {});
  Child<QMdiArea>(form, "MdiArea")->closeAllSubWindows();
  Settle();
  // No document: nothing that needs one.
  for (QAction* command : {Command(form, "File_Save_As"), Command(form, "Scene_Add_Rectangle"), Command(form, "Scene_Delete_Something"), Command(form, "Frame_Up"),
                           Command(form, "Edit_Copy"), Command(form, "Sprite_Add_Line"), Editor(form).Commands().EffectCommands[0]})
    EXPECT_FALSE(command->isEnabled()) << command->objectName().toStdString();
  EXPECT_FALSE(Child<TTimelineSlider>(form, "StepsTrackBar")->isEnabled());
  EXPECT_FALSE(Child<TDigitalDisplay>(form, "CurrentStep")->isEnabled());

  OpenThroughCommand(WriteThreeSprites("states.GLM"));
  ClickNode(Root());
  // A document with its root selected: scene commands, no sprite commands.
  EXPECT_TRUE(Command(form, "Scene_Add_Rectangle")->isEnabled());
  EXPECT_TRUE(Command(form, "File_Save_As")->isEnabled());
  EXPECT_TRUE(Child<TTimelineSlider>(form, "StepsTrackBar")->isEnabled());
  EXPECT_FALSE(Command(form, "File_Save")->isEnabled());  // not modified
  EXPECT_FALSE(Command(form, "Scene_Delete_Something")->isEnabled());
  EXPECT_FALSE(Command(form, "Sprite_Move_Up")->isEnabled());
  EXPECT_FALSE(Command(form, "Sprite_Add_Line")->isEnabled());
  EXPECT_FALSE(Command(form, "Edit_Copy")->isEnabled());
  EXPECT_FALSE(Editor(form).Commands().EffectCommands[0]->isEnabled());

  // A sprite with frames, motion and intervals, its appearance node selected.
  ClickNode(Node({"B", "Appearance"}));
  for (QAction* command : {Command(form, "Scene_Delete_Something"), Command(form, "Sprite_Move_Up"), Command(form, "Sprite_Add_Line"), Command(form, "Frame_Up"),
                           Command(form, "Sprite_Delete_Frame"), Command(form, "Motion_Delete"), Command(form, "Appearance_Delete"),
                           Editor(form).Commands().EffectCommands[19]})
    EXPECT_TRUE(command->isEnabled()) << command->objectName().toStdString();
  EXPECT_FALSE(Command(form, "Edit_Copy")->isEnabled());  // the appearance node copies nothing
  EXPECT_FALSE(Command(form, "Edit_Cut")->isEnabled());

  // The opacity node copies but does not cut.
  ClickNode(Node({"B", "Opacity"}));
  EXPECT_TRUE(Command(form, "Edit_Copy")->isEnabled());
  EXPECT_FALSE(Command(form, "Edit_Cut")->isEnabled());

  // A sprite without motion or intervals, its line frame selected.
  ClickNode(Node({"C", "Line"}));
  EXPECT_TRUE(Command(form, "Edit_Cut")->isEnabled());
  EXPECT_TRUE(Command(form, "Frame_Down")->isEnabled());
  EXPECT_FALSE(Command(form, "Motion_Delete")->isEnabled());
  EXPECT_FALSE(Command(form, "Appearance_Delete")->isEnabled());
  EXPECT_FALSE(Command(form, "Sprite_PickTransparentColor")->isEnabled());  // the line page
  ClickNode(Node({"C", "\"Hello\""}));
  EXPECT_TRUE(Command(form, "Sprite_PickTransparentColor")->isEnabled());  // the text page
}

// ---- Renaming ---------------------------------------------------------------------------------------------

TEST_F(MainFormTreeTest, ASpriteIsRenamedInPlaceAndOtherNodesKeepTheirCaption) {
  TMainForm& form = StartShown();
  TAnimationWindow* window = OpenThroughCommand(WriteThreeSprites("rename.GLM"));
  TAnimatedScene& scene = *window->Scene();
  ClickNode(Node({"C"}));
  QTest::keyClick(Tree().viewport(), Qt::Key_F2);
  QWidget* editor = QApplication::focusWidget();
  ASSERT_NE(editor, nullptr);
  QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(editor, "Front");
  QTest::keyClick(editor, Qt::Key_Return);
  Settle();
  EXPECT_EQ(scene.Sprite(2).Name, "Front");
  EXPECT_EQ(Node({"Front"}), Tree().currentItem());
  EXPECT_EQ(window->windowTitle(), QString("rename.GLM *"));
  EXPECT_EQ(Child<QDockWidget>(form, "PanelProperties")->windowTitle(), QString("Properties: Front"));
  EXPECT_TRUE(window->Undo()->Empty());  // a name has no undo record

  // A long name is cut to 255 bytes.
  Node({"Front"})->setText(0, QString(300, 'x'));
  EXPECT_EQ(scene.Sprite(2).Name, std::string(255, 'x'));
  EXPECT_EQ(Tree().currentItem()->text(0), QString(255, 'x'));

  // A frame node cannot be edited; a text set on it goes back.
  EXPECT_FALSE(Node({"B", "Ellipse"})->flags().testFlag(Qt::ItemIsEditable));
  EXPECT_TRUE(Node({"B"})->flags().testFlag(Qt::ItemIsEditable));
  Node({"B", "Ellipse"})->setText(0, "Circle");
  EXPECT_EQ(Captions(Node({"B"})).back(), "Ellipse");
}

// ---- Up and Down -----------------------------------------------------------------------------------------

TEST_F(MainFormTreeTest, MovingSpritesUpAndDownRecordsAndUndoes) {
  TMainForm& form = StartShown();
  TAnimationWindow* window = OpenThroughCommand(WriteThreeSprites("order.GLM"));
  TAnimatedScene& scene = *window->Scene();
  const std::string opened = ProjectBytes(scene);
  ClickNode(Node({"A"}));
  Command(form, "Sprite_Move_Up")->trigger();
  Settle();
  EXPECT_EQ(SpriteOrder(scene), "BAC");
  EXPECT_EQ(Captions(Root()), (std::vector<std::string>{"Background", "C", "A", "B"}));
  EXPECT_EQ(Tree().currentItem(), Node({"A"}));
  EXPECT_EQ(Editor(form).CurrentSprite(), &scene.Sprite(1));
  EXPECT_EQ(UndoCaptions(*window->Undo()), (std::vector<std::string>{"Move Sprite Up"}));
  TLastRecord up = LastRecord(*window->Undo());
  EXPECT_EQ(up.kind, 2);
  EXPECT_EQ(up.objectKind, 401);
  EXPECT_EQ(up.index, 1);
  EXPECT_EQ(up.id, 0);

  Command(form, "Sprite_Move_Down")->trigger();
  Command(form, "Sprite_Move_Down")->trigger();  // already at the back: nothing
  Settle();
  EXPECT_EQ(SpriteOrder(scene), "ABC");
  TLastRecord down = LastRecord(*window->Undo());
  EXPECT_EQ(down.objectKind, 301);
  EXPECT_EQ(down.index, 0);
  EXPECT_EQ(down.id, 1);
  EXPECT_EQ(UndoCaptions(*window->Undo()), (std::vector<std::string>{"Move Sprite Up", "Move Sprite Down"}));

  Command(form, "Edit_Undo")->trigger();
  Settle();
  EXPECT_EQ(SpriteOrder(scene), "BAC");
  Command(form, "Edit_Undo")->trigger();
  Settle();
  EXPECT_EQ(ProjectBytes(scene), opened);
  EXPECT_EQ(Captions(Root()), (std::vector<std::string>{"Background", "C", "B", "A"}));

  // The front-most sprite does not move up.
  ClickNode(Node({"C"}));
  Command(form, "Sprite_Move_Up")->trigger();
  EXPECT_EQ(SpriteOrder(scene), "ABC");
}

TEST_F(MainFormTreeTest, MovingFramesUpAndDownRecordsAndUndoes) {
  TMainForm& form = StartShown();
  TAnimationWindow* window = OpenThroughCommand(WriteThreeSprites("frames.GLM"));
  TSprite& b = window->Scene()->Sprite(1);
  TFrame* rectangle = &b.Frame(0);
  TFrame* ellipse = &b.Frame(1);
  ClickNode(Node({"B", "Ellipse"}));
  Command(form, "Scene_Up_Something")->trigger();
  Settle();
  EXPECT_EQ(&b.Frame(0), ellipse);
  EXPECT_EQ(Captions(Node({"B"})),
            (std::vector<std::string>{"Pos./Size/Speed", "Opacity", "Shadow", "Appearance", "Ellipse", "Rectangle"}));
  EXPECT_EQ(Tree().currentItem(), Node({"B", "Ellipse"}));
  EXPECT_EQ(Editor(form).CurrentFrame(), ellipse);
  TLastRecord up = LastRecord(*window->Undo());
  EXPECT_EQ(up.kind, 1);
  EXPECT_EQ(up.objectKind, 202);
  EXPECT_EQ(up.index, 1);
  EXPECT_EQ(up.id, ellipse->Id);
  // The first frame does not move up.
  Editor(form).Tree().Frame_UpExecute();
  EXPECT_EQ(UndoCaptions(*window->Undo()), (std::vector<std::string>{"Move Frame Up"}));

  ClickNode(Node({"B", "Rectangle"}));
  Command(form, "Scene_Up_Something")->trigger();
  Command(form, "Scene_Down_Something")->trigger();
  Settle();
  EXPECT_EQ(&b.Frame(1), rectangle);
  EXPECT_EQ(UndoCaptions(*window->Undo()),
            (std::vector<std::string>{"Move Frame Up", "Move Frame Up", "Move Frame Down"}));
  Command(form, "Edit_Undo")->trigger();
  Command(form, "Edit_Undo")->trigger();
  Command(form, "Edit_Undo")->trigger();
  Settle();
  EXPECT_EQ(&b.Frame(0), rectangle);
  EXPECT_EQ(&b.Frame(1), ellipse);
}

TEST_F(MainFormTreeTest, UpOnTheOnlyFrameMovesTheSprite) {
  TMainForm& form = StartShown();
  TAnimatedScene& scene = *OpenThroughCommand(WriteThreeSprites("only.GLM"))->Scene();
  ClickNode(Node({"A", "sunny day.bmp"}));
  Command(form, "Scene_Up_Something")->trigger();
  Settle();
  EXPECT_EQ(SpriteOrder(scene), "BAC");
}

// ---- Delete ---------------------------------------------------------------------------------------------

TEST_F(MainFormTreeTest, DeletingTheOnlyFrameDeletesTheSprite) {
  TMainForm& form = StartShown();
  TAnimationWindow* window = OpenThroughCommand(WriteThreeSprites("delete.GLM"));
  TAnimatedScene& scene = *window->Scene();
  ClickNode(Node({"A", "sunny day.bmp"}));
  Command(form, "Scene_Delete_Something")->trigger();
  Settle();
  EXPECT_EQ(SpriteOrder(scene), "BC");
  EXPECT_EQ(Captions(Root()), (std::vector<std::string>{"Background", "C", "B"}));
  EXPECT_EQ(Editor(form).CurrentSprite(), nullptr);
  EXPECT_EQ(UndoCaptions(*window->Undo()), (std::vector<std::string>{"Delete Sprite"}));

  // One of two frames goes alone.
  ClickNode(Node({"B", "Rectangle"}));
  Command(form, "Scene_Delete_Something")->trigger();
  Settle();
  EXPECT_EQ(scene.Sprite(0).FrameCount(), 1);
  EXPECT_EQ(scene.Sprite(0).Frame(0).Kind, fkEllipse);
  EXPECT_EQ(Tree().currentItem(), Node({"B", "Ellipse"}));
  EXPECT_EQ(UndoCaptions(*window->Undo()), (std::vector<std::string>{"Delete Sprite", "Delete Frame"}));

  Command(form, "Edit_Undo")->trigger();
  Command(form, "Edit_Undo")->trigger();
  Settle();
  EXPECT_EQ(SpriteOrder(scene), "ABC");
  EXPECT_EQ(scene.Sprite(1).FrameCount(), 2);
  EXPECT_EQ(Captions(Root()), (std::vector<std::string>{"Background", "C", "B", "A"}));
}

TEST_F(MainFormTreeTest, DeletingTheAppearanceNodeIsOneUndoableEdit) {
  TMainForm& form = StartShown();
  TAnimationWindow* window = OpenThroughCommand(WriteThreeSprites("appearance.GLM"));
  TSprite& b = window->Scene()->Sprite(1);
  ClickNode(Node({"B", "Appearance"}));
  Command(form, "Scene_Delete_Something")->trigger();
  Settle();
  EXPECT_EQ(b.IntervalCount(), 0);
  EXPECT_EQ(Node({"B", "Appearance"}), nullptr);
  EXPECT_EQ(window->windowTitle(), QString("appearance.GLM *"));
  ASSERT_EQ(UndoCaptions(*window->Undo()), (std::vector<std::string>{"Delete Appearance"}));
  const TLastRecord record = LastRecord(*window->Undo());
  EXPECT_EQ(record.kind, 1);
  EXPECT_EQ(record.objectKind, 4);
  EXPECT_EQ(record.id, b.Id);
  EXPECT_FALSE(Command(form, "Appearance_Delete")->isEnabled());

  Command(form, "Edit_Undo")->trigger();
  Settle();
  TSprite& restored = window->Scene()->Sprite(1);
  ASSERT_EQ(restored.IntervalCount(), 2);
  EXPECT_EQ(restored.Interval(1).StartStep, 8);
  EXPECT_NE(Node({"B", "Appearance"}), nullptr);
  EXPECT_FALSE(window->Modified());
}

// ---- Switching documents -----------------------------------------------------------------------------

TEST_F(MainFormTreeTest, SwitchingDocumentsSwapsTreeUndoCommandAndStates) {
  TMainForm& form = StartShown();
  TAnimationWindow* first = OpenThroughCommand(WriteThreeSprites("first.GLM"));
  ClickNode(Node({"A"}));
  Command(form, "Sprite_Move_Up")->trigger();
  Settle();
  QTreeWidget* firstTree = &Tree();
  EXPECT_TRUE(Command(form, "Edit_Undo")->isEnabled());
  EXPECT_TRUE(Command(form, "File_Save")->isEnabled());

  TAnimationWindow* second = OpenThroughCommand(WriteThreeSprites("second.GLM"));
  ASSERT_NE(second, first);
  EXPECT_NE(&Tree(), firstTree);
  EXPECT_FALSE(firstTree->isVisible());
  EXPECT_TRUE(Tree().isVisible());
  EXPECT_EQ(Root()->text(0).toStdString(), "Scene [" + data_.File("second.GLM") + "]");
  EXPECT_FALSE(Command(form, "Edit_Undo")->isEnabled());
  EXPECT_EQ(Command(form, "Edit_Undo")->text(), QString("&Undo"));
  EXPECT_FALSE(Command(form, "File_Save")->isEnabled());
  EXPECT_EQ(Editor(form).CurrentSprite(), nullptr);

  Child<QMdiArea>(form, "MdiArea")->setActiveSubWindow(first);
  Settle();
  EXPECT_EQ(Editor(form).ActiveAnimationWindow(), first);
  EXPECT_EQ(&Tree(), firstTree);
  EXPECT_TRUE(Command(form, "Edit_Undo")->isEnabled());
  EXPECT_EQ(Command(form, "Edit_Undo")->text(), QString("&Undo \"Move Sprite Up\""));
  EXPECT_TRUE(Command(form, "File_Save")->isEnabled());
  // The Window menu lists both documents, the active one checked.
  Editor(form).Files().RebuildWindowList();
  ASSERT_EQ(Editor(form).Files().WindowListItems().size(), 3u);  // the first Untitled document too
  EXPECT_EQ(Editor(form).Files().WindowListItems()[1]->text(), QString("&2 first.GLM *"));
  EXPECT_TRUE(Editor(form).Files().WindowListItems()[1]->isChecked());
  EXPECT_FALSE(Editor(form).Files().WindowListItems()[2]->isChecked());
  Editor(form).Files().WindowListItems()[2]->trigger();
  Settle();
  EXPECT_EQ(Editor(form).ActiveAnimationWindow(), second);
}

}  // namespace
