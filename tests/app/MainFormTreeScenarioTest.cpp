// A user's session with two projects through the real main window: the tree
// shows and drives the pages, sprites are reordered and renamed, the
// appearance deleted and undone, documents switched, pictures dropped,
// commands chosen from the right-click menus, the windows tiled and every
// document closed.
#include "tests/app/MainFormTreeFixture.h"
#include "tests/support/FindChild.h"

#include "scene/Frame.h"
#include "controls/TrackBar.h"
#include "scene/Sprite.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

namespace {

using MainFormTreeScenario = MainFormTreeTest;

void DropOn(TAnimationWindow& window, int sceneX, int sceneY, const std::string& path) {
  QWidget* canvas = window.PanelAnimation->parentWidget();
  const QPoint at = canvas->mapTo(
      &window, QPoint(window.PanelAnimation->BoxLeft() + sceneX, window.PanelAnimation->BoxTop() + sceneY));
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &enter);
  QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &drop);
}

// A right-click on a widget; the menu that popped up (nullptr: none).
QMenu* RightClick(QWidget* widget, QPoint at) {
  QContextMenuEvent event(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
  QApplication::sendEvent(widget, &event);
  ProcessMessages();
  return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

// A click on a command of a menu that is shown.
void Choose(QMenu* menu, QAction* command) {
  ASSERT_NE(menu, nullptr);
  ASSERT_TRUE(menu->actions().contains(command)) << command->objectName().toStdString();
  ASSERT_TRUE(command->isEnabled()) << command->objectName().toStdString();
  QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(command).center());
}

TEST_F(MainFormTreeScenario, TwoProjectsThroughTheTree) {
  TMainForm& form = StartShown();
  const std::string firstPath = WriteThreeSprites("first.GLM");
  const std::string secondPath = WriteThreeSprites("second.GLM", 30);
  TAnimationWindow* first = OpenThroughCommand(firstPath);
  TAnimationWindow* second = OpenThroughCommand(secondPath);
  ASSERT_NE(first, second);
  ASSERT_EQ(Editor(form).ActiveAnimationWindow(), second);
  TAnimatedScene& scene = *second->Scene();

  // The tree of the second project.
  EXPECT_EQ(Root()->text(0).toStdString(), "Scene [" + secondPath + "]");
  EXPECT_EQ(Captions(Root()), (std::vector<std::string>{"Background", "C", "B", "A"}));
  EXPECT_EQ(Captions(Node({"C"})), (std::vector<std::string>{"Line", "\"Hello\""}));
  EXPECT_EQ(Captions(Node({"B"})),
            (std::vector<std::string>{"Pos./Size/Speed", "Opacity", "Shadow", "Appearance", "Rectangle", "Ellipse"}));
  EXPECT_EQ(Captions(Node({"A"})), (std::vector<std::string>{"Pos./Size/Speed", "Opacity", "Shadow", "sunny day.bmp"}));

  // The Scene node: nothing recorded, the 70 ms steps kept.
  ClickNode(Node({"B"}));
  ClickNode(Root());
  EXPECT_EQ(Page(), ppScene);
  EXPECT_TRUE(second->Undo()->Empty());
  EXPECT_EQ(scene.Timer().Interval(), 70);

  // B's second frame: the frame page and its hint.
  ClickNode(Node({"B", "Ellipse"}));
  EXPECT_EQ(Page(), ppFrame);
  EXPECT_EQ(Child<QStackedWidget>(form, "NotebookFramePreview")->currentIndex(), 2);
  EXPECT_EQ(Tree().toolTip(), QString("Frame: 24x12 pxs. Total: 2 frames in the sprite."));
  EXPECT_EQ(Child<QDockWidget>(form, "PanelProperties")->windowTitle(), QString("Properties: Ellipse"));

  // Ctrl+PgUp brings B to the front; one Undo (Ctrl+Z) restores the order.
  CtrlKey(Qt::Key_PageUp);
  EXPECT_EQ(scene.Sprite(2).Name, "B");
  EXPECT_EQ(Captions(Root()), (std::vector<std::string>{"Background", "B", "C", "A"}));
  EXPECT_EQ(Command(form, "Edit_Undo")->toolTip().toStdString().substr(0, 21), "Undo \"Move Sprite Up\"");
  CtrlKey(Qt::Key_Z);
  EXPECT_EQ(scene.Sprite(1).Name, "B");
  EXPECT_EQ(scene.Sprite(2).Name, "C");
  EXPECT_EQ(Captions(Root()), (std::vector<std::string>{"Background", "C", "B", "A"}));
  EXPECT_TRUE(second->Undo()->Empty());
  EXPECT_EQ(second->windowTitle(), QString("second.GLM"));

  // C renamed in place: the document shows " *".
  ClickNode(Node({"C"}));
  QTest::keyClick(Tree().viewport(), Qt::Key_F2);
  QWidget* editor = QApplication::focusWidget();
  ASSERT_NE(editor, nullptr);
  QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(editor, "Title");
  QTest::keyClick(editor, Qt::Key_Return);
  Settle();
  EXPECT_EQ(scene.Sprite(2).Name, "Title");
  EXPECT_EQ(second->windowTitle(), QString("second.GLM *"));

  // The appearance node deleted with the Del key, and undone.
  ClickNode(Node({"B", "Appearance"}));
  QTest::keyClick(&Tree(), Qt::Key_Delete);
  Settle();
  EXPECT_EQ(scene.Sprite(1).IntervalCount(), 0);
  EXPECT_EQ(Node({"B", "Appearance"}), nullptr);
  Command(form, "Edit_Undo")->trigger();
  Settle();
  EXPECT_EQ(scene.Sprite(1).IntervalCount(), 2);
  EXPECT_NE(Node({"B", "Appearance"}), nullptr);

  // Switching documents swaps the tree, the Undo command and the states.
  QTreeWidget* secondTree = &Tree();
  ClickNode(Node({"B"}));
  Command(form, "Sprite_Move_Down")->trigger();
  Settle();
  ASSERT_TRUE(Command(form, "Edit_Undo")->isEnabled());
  Child<QMdiArea>(form, "MdiArea")->setActiveSubWindow(first);
  Settle();
  EXPECT_EQ(Editor(form).ActiveAnimationWindow(), first);
  EXPECT_NE(&Tree(), secondTree);
  EXPECT_FALSE(Command(form, "Edit_Undo")->isEnabled());
  EXPECT_FALSE(Command(form, "File_Save")->isEnabled());
  EXPECT_FALSE(Command(form, "Sprite_Move_Up")->isEnabled());
  EXPECT_EQ(Child<QLabel>(form, "StartStepMaxLabel")->text(), QString("20"));
  // A null activation (a dialog took the focus) changes nothing.
  Child<QMdiArea>(form, "MdiArea")->setActiveSubWindow(nullptr);
  Settle();
  EXPECT_EQ(Editor(form).ActiveAnimationWindow(), first);
  Child<QMdiArea>(form, "MdiArea")->setActiveSubWindow(second);
  Settle();
  EXPECT_EQ(&Tree(), secondTree);
  EXPECT_TRUE(Command(form, "Edit_Undo")->isEnabled());
  EXPECT_TRUE(Command(form, "File_Save")->isEnabled());
  EXPECT_EQ(Child<QLabel>(form, "StartStepMaxLabel")->text(), QString("30"));
  EXPECT_EQ(Child<TTrackBar>(form, "FinishTrack")->Max(), 30);

  // A BMP dropped at (30, 12) becomes a sprite there.
  TBitmap picture;
  MakeSolid(picture, 6, 4, clBlue);
  const std::string bmp = data_.File("drop.bmp");
  picture.SaveToFile(bmp);
  DropOn(*second, 30, 12, bmp);
  Settle();
  ASSERT_EQ(scene.SpriteCount(), 4);
  EXPECT_EQ(static_cast<double>(scene.Sprite(3).Motion().Step(0).StartX), 30.0);
  EXPECT_EQ(static_cast<double>(scene.Sprite(3).Motion().Step(0).StartY), 12.0);
  // The new sprite's node comes first, and its frame's node is selected.
  ASSERT_EQ(Tree().currentItem()->parent(), Root()->child(1));
  EXPECT_EQ(Tree().currentItem()->text(0), "drop.bmp");

  // An unreadable file leaves no sprite and no record; the tree still drives the pages.
  const std::string records = UndoCaptions(*second->Undo()).back();
  const std::size_t recordCount = UndoCaptions(*second->Undo()).size();
  DropOn(*second, 5, 5, data_.WriteFile("unreadable.bmp", "garbage"));
  Settle();
  EXPECT_EQ(scene.SpriteCount(), 4);
  EXPECT_EQ(UndoCaptions(*second->Undo()).size(), recordCount);
  EXPECT_EQ(UndoCaptions(*second->Undo()).back(), records);
  ClickNode(Node({"B", "Opacity"}));
  EXPECT_EQ(Page(), ppMotion);
  EXPECT_EQ(Child<QStackedWidget>(form, "Notebook_Size_Opacity")->currentIndex(), 1);

  // The tree's right-click menu holds the pointed node's commands: Delete
  // Current Frame keeps a sprite's only frame; Del on it takes the sprite.
  QTreeWidgetItem* onlyFrame = Node({"A", "sunny day.bmp"});
  ASSERT_NE(onlyFrame, nullptr);
  const QPoint onFrame = Tree().visualItemRect(onlyFrame).center();
  QTest::mouseClick(Tree().viewport(), Qt::RightButton, {}, onFrame);
  QMenu* menu = RightClick(Tree().viewport(), onFrame);
  ASSERT_EQ(menu, form.findChild<QMenu*>("AnimationTree_PopupMenu"));
  EXPECT_EQ(menu->objectName(), QString("AnimationTree_PopupMenu"));
  EXPECT_EQ(Tree().currentItem(), onlyFrame);
  EXPECT_TRUE(menu->actions().contains(Command(form, "Frame_Up")));
  Choose(menu, Command(form, "Sprite_Delete_Frame"));
  Settle();
  ASSERT_EQ(scene.SpriteCount(), 4);
  ASSERT_EQ(Tree().currentItem(), onlyFrame);
  QTest::keyClick(&Tree(), Qt::Key_Delete);
  Settle();
  ASSERT_EQ(scene.SpriteCount(), 3);
  EXPECT_EQ(Node({"A"}), nullptr);
  EXPECT_EQ(scene.Sprite(0).Name, "B");

  // The selection box's menu acts on the current sprite.
  ClickNode(Node({"B"}));
  menu = RightClick(second->SpriteSelectionBox, QPoint(2, 2));
  ASSERT_EQ(menu, form.findChild<QMenu*>("SpritePopupMenu"));
  EXPECT_EQ(menu->objectName(), QString("SpritePopupMenu"));
  Choose(menu, Command(form, "Sprite_Move_Up"));
  Settle();
  EXPECT_EQ(scene.Sprite(0).Name, "Title");
  EXPECT_EQ(scene.Sprite(1).Name, "B");

  // The canvas's menu adds a new sprite.
  menu = RightClick(second->PanelAnimation, QPoint(5, 5));
  ASSERT_EQ(menu, form.findChild<QMenu*>("ScenePopUpMenu"));
  EXPECT_EQ(menu->objectName(), QString("ScenePopUpMenu"));
  Choose(menu, Command(form, "Scene_Add_Rectangle"));
  Settle();
  ASSERT_EQ(scene.SpriteCount(), 4);
  ASSERT_EQ(scene.Sprite(3).FrameCount(), 1);
  EXPECT_EQ(scene.Sprite(3).Frame(0).Kind, fkRectangle);
  // ... which the selection box's menu deletes again.
  ASSERT_EQ(Editor(form).CurrentSprite(), &scene.Sprite(3));
  Choose(RightClick(second->SpriteSelectionBox, QPoint(2, 2)), Command(form, "Sprite_Delete"));
  Settle();
  EXPECT_EQ(scene.SpriteCount(), 3);

  // Tiling: stacked rows across the document area, then columns.
  Command(form, "Window_Tile_Horizontal")->trigger();
  const QSize area = Child<QMdiArea>(form, "MdiArea")->viewport()->size();
  const QList<QMdiSubWindow*> windows = Child<QMdiArea>(form, "MdiArea")->subWindowList(QMdiArea::CreationOrder);
  ASSERT_EQ(windows.size(), 3);
  for (int i = 0; i < 3; ++i) {
    const int top = i * area.height() / 3;
    EXPECT_EQ(windows[i]->geometry(), QRect(0, top, area.width(), (i + 1) * area.height() / 3 - top)) << i;
  }
  // A column narrower than a document's canvas takes the canvas's width, inside the area.
  Command(form, "Window_Tile_Vertical")->trigger();
  for (int i = 0; i < 3; ++i) {
    const int left = i * area.width() / 3;
    const int share = (i + 1) * area.width() / 3 - left;
    const int canvas = std::min(static_cast<TAnimationWindow*>(windows[i])->CanvasWindowSize().width(), area.width());
    EXPECT_EQ(windows[i]->geometry().size(), QSize(std::max(share, canvas), area.height())) << i;
    EXPECT_TRUE(QRect(QPoint(0, 0), area).contains(windows[i]->geometry())) << i;
    if (canvas <= share) {
      EXPECT_EQ(windows[i]->x(), left) << i;
    }
  }

  // Every document closed: the empty scene and its page.
  for (QMdiSubWindow* window : windows) static_cast<TAnimationWindow*>(window)->SetModified(false);
  Child<QMdiArea>(form, "MdiArea")->closeAllSubWindows();
  Settle();
  EXPECT_EQ(Editor(form).ActiveAnimationWindow(), nullptr);
  EXPECT_EQ(Root()->text(0), QString("Empty Scene"));
  EXPECT_EQ(Page(), ppEmpty);
  EXPECT_FALSE(Command(form, "Edit_Undo")->isEnabled());
}

}  // namespace
