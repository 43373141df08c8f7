// The main window's Open, Save and autosave, files dropped on a document or
// on the main window, the Window menu's tiling, and the docking rules of the
// tool bars and the properties panel.
#include "tests/app/MainFormTreeFixture.h"
#include "tests/support/FindChild.h"

#include "platform/SysUtils.h"
#include "scene/Frame.h"
#include "scene/Sprite.h"

#include <QApplication>
#include <QDialog>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

namespace {

class MainFormTreeFiles : public MainFormTreeTest {
 protected:
  // A 24-bit BMP file of one colour.
  std::string WriteBmp(const std::string& name, int width, int height) {
    TBitmap picture;
    MakeSolid(picture, width, height, clBlue);
    const std::string path = data_.File(name);
    picture.SaveToFile(path);
    return path;
  }
  std::string WriteBytes(const std::string& name, const std::string& bytes) {
    return data_.WriteFile(name, bytes);
  }

  // Drops files on a widget at a point of it, as the window system delivers a drop.
  static void Drop(QWidget* target, QPoint at, const std::vector<std::string>& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const std::string& path : paths) urls.push_back(QUrl::fromLocalFile(QString::fromStdString(path)));
    data.setUrls(urls);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    Settle();
  }
  // The point of a document window over a point of its scene.
  static QPoint OverScene(TAnimationWindow& window, int x, int y) {
    QWidget* canvas = window.PanelAnimation->parentWidget();
    return canvas->mapTo(&window, QPoint(window.PanelAnimation->BoxLeft() + x, window.PanelAnimation->BoxTop() + y));
  }
};

// ---- Open and Save -----------------------------------------------------------------------------------

TEST_F(MainFormTreeFiles, OpenAsksForAProjectAndOpensItInANewWindow) {
  TMainForm& form = StartShown();
  TAnimationWindow* untitled = Editor(form).ActiveAnimationWindow();
  const std::string path = WriteThreeSprites("open.GLM");
  TAnimationWindow* opened = OpenThroughCommand(path);
  ASSERT_NE(opened, untitled);
  EXPECT_EQ(opened->windowTitle(), QString("open.GLM"));
  ASSERT_EQ(ui_.fileRequests.size(), 1u);
  EXPECT_EQ(Editor(form).SettingsArea().OpenDialog1().initialDir, data_.Path() + "/");
  EXPECT_EQ(Child<QMdiArea>(form, "MdiArea")->subWindowList().size(), 2);

  // Cancelled: nothing opens.
  ui_.fileAnswers.push_back(std::nullopt);
  Command(form, "File_Open")->trigger();
  Settle();
  EXPECT_EQ(Child<QMdiArea>(form, "MdiArea")->subWindowList().size(), 2);
}

TEST_F(MainFormTreeFiles, AFailedOpenLeavesTheNewWindowUntitled) {
  TMainForm& form = StartShown();
  const std::string path = WriteBytes("broken.GLM", std::string(40, '\x7f'));
  TAnimationWindow* window = OpenThroughCommand(path);
  ASSERT_NE(window, nullptr);
  // The document window reported it.
  ASSERT_FALSE(ui_.messages.empty());
  EXPECT_EQ(ui_.messages.back().text, "Cannot read animation. Wrong data format.");
  EXPECT_EQ(window->windowTitle(), QString("Untitled"));
  EXPECT_EQ(window->FileName(), "");
  EXPECT_EQ(Root()->text(0), QString("Scene []"));
  EXPECT_EQ(Child<QMdiArea>(form, "MdiArea")->subWindowList().size(), 2);
}

TEST_F(MainFormTreeFiles, SaveWritesTheActiveDocument) {
  TMainForm& form = StartShown();
  const std::string path = WriteThreeSprites("save.GLM");
  TAnimationWindow* window = OpenThroughCommand(path);
  ClickNode(Node({"A"}));
  Command(form, "Sprite_Move_Up")->trigger();
  ASSERT_TRUE(Command(form, "File_Save")->isEnabled());
  Command(form, "File_Save")->trigger();
  Settle();
  EXPECT_FALSE(window->Modified());
  EXPECT_FALSE(Command(form, "File_Save")->isEnabled());
  TAnimatedScene reread;
  reread.LoadFromFile(path);
  ASSERT_EQ(reread.SpriteCount(), 3);
  EXPECT_EQ(reread.Sprite(1).Name, "A");
}

TEST_F(MainFormTreeFiles, AutosaveSavesOnlyANamedModifiedDocumentWhileNothingElseRuns) {
  TMainForm& form = StartShown();
  // The untitled document, modified: never asks for a name.
  {
    int index = 0;
    Editor(form).ActiveAnimationWindow()->Scene()->AddSprite(index);
  }
  ASSERT_TRUE(Editor(form).ActiveAnimationWindow()->Modified());
  Editor(form).Files().AutosaveTimerTimer();
  EXPECT_TRUE(ui_.fileRequests.empty());
  EXPECT_TRUE(Editor(form).ActiveAnimationWindow()->Modified());

  const std::string path = WriteThreeSprites("auto.GLM");
  TAnimationWindow* window = OpenThroughCommand(path);
  const std::string saved = TempDir::ReadFile(path);
  // Unmodified: the file stays as it is.
  Editor(form).Files().AutosaveTimerTimer();
  EXPECT_EQ(TempDir::ReadFile(path), saved);

  ClickNode(Node({"A"}));
  Command(form, "Sprite_Move_Up")->trigger();
  // A dialog is up: the tick waits.
  {
    QDialog dialog(&form);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    Editor(form).Files().AutosaveTimerTimer();
    EXPECT_TRUE(window->Modified());
  }
  // A long operation shows its progress: the tick waits.
  Editor(form).ShowProgress(0, 10);
  Editor(form).Files().AutosaveTimerTimer();
  EXPECT_TRUE(window->Modified());
  Editor(form).ShowProgress(10, 10);
  form.ProgressPercent = -1;
  Editor(form).Files().AutosaveTimerTimer();
  EXPECT_FALSE(window->Modified());
  EXPECT_NE(TempDir::ReadFile(path), saved);
}

// ---- Dropped files ---------------------------------------------------------------------------------------

TEST_F(MainFormTreeFiles, APictureDroppedOnADocumentBecomesASpriteAtTheDropPoint) {
  TMainForm& form = StartShown();
  TAnimationWindow* window = OpenThroughCommand(WriteThreeSprites("drop.GLM"));
  TAnimatedScene& scene = *window->Scene();
  const std::string picture = WriteBmp("dropped.bmp", 8, 6);
  const std::string other = WriteBmp("other.bmp", 5, 5);
  Drop(window, OverScene(*window, 30, 12), {picture, other});
  ASSERT_EQ(scene.SpriteCount(), 4);
  TSprite& sprite = scene.Sprite(3);
  // Only the first file is used.
  ASSERT_EQ(sprite.FrameCount(), 1);
  EXPECT_EQ(sprite.Frame(0).ImageWidth, 8);
  ASSERT_EQ(sprite.Motion().StepCount(), 1);
  EXPECT_EQ(static_cast<double>(sprite.Motion().Step(0).StartX), 30.0);
  EXPECT_EQ(static_cast<double>(sprite.Motion().Step(0).StartY), 12.0);
  // Its node comes first among the sprites; its new frame's node is selected.
  EXPECT_EQ(Captions(Root()), (std::vector<std::string>{"Background", sprite.Name, "C", "B", "A"}));
  EXPECT_EQ(Captions(Root()->child(1)), (std::vector<std::string>{"Pos./Size/Speed", "Opacity", "Shadow", "dropped.bmp"}));
  EXPECT_EQ(Tree().currentItem(), Root()->child(1)->child(3));
  EXPECT_EQ(Editor(form).CurrentFrame(), &sprite.Frame(0));
  EXPECT_EQ(Editor(form).CurrentSprite(), &sprite);
  EXPECT_FALSE(Editor(form).Tree().TreeChangeRunning());
  // One record takes the whole sprite back.
  EXPECT_EQ(UndoCaptions(*window->Undo()), (std::vector<std::string>{"Add Sprite"}));
  Command(form, "Edit_Undo")->trigger();
  Settle();
  EXPECT_EQ(scene.SpriteCount(), 3);
  EXPECT_EQ(Captions(Root()), (std::vector<std::string>{"Background", "C", "B", "A"}));
}

TEST_F(MainFormTreeFiles, AnUnreadablePictureLeavesNoSpriteNoRecordAndTheTreeWorking) {
  TMainForm& form = StartShown();
  TAnimationWindow* window = OpenThroughCommand(WriteThreeSprites("bad.GLM"));
  TAnimatedScene& scene = *window->Scene();
  const std::string broken = WriteBytes("broken.bmp", "BM not a picture");
  ui_.cursors.clear();
  Drop(window, OverScene(*window, 5, 5), {broken});
  EXPECT_EQ(scene.SpriteCount(), 3);
  EXPECT_TRUE(window->Undo()->Empty());
  EXPECT_FALSE(window->Modified());
  EXPECT_FALSE(Editor(form).Tree().TreeChangeRunning());
  EXPECT_EQ(Editor(form).CurrentSprite(), nullptr);
  EXPECT_EQ(Tree().currentItem(), Root());
  ASSERT_FALSE(ui_.cursors.empty());
  EXPECT_EQ(ui_.cursors.back(), crDefault);
  // The tree still drives the pages, and edits are recorded again.
  ClickNode(Node({"B", "Rectangle"}));
  EXPECT_EQ(Page(), ppFrame);
  EXPECT_EQ(Editor(form).CurrentSprite(), &scene.Sprite(1));
  Command(form, "Sprite_Move_Up")->trigger();
  EXPECT_EQ(UndoCaptions(*window->Undo()), (std::vector<std::string>{"Move Sprite Up"}));
}

TEST_F(MainFormTreeFiles, AProjectDroppedOnTheMainWindowOpensAndAPictureDoesNot) {
  TMainForm& form = StartShown();
  const std::string project = WriteThreeSprites("lower.glm");
  const std::string picture = WriteBmp("ignored.bmp", 4, 4);
  TAnimationWindow* untitled = Editor(form).ActiveAnimationWindow();
  Drop(&form, QPoint(100, 100), {picture});
  EXPECT_EQ(Child<QMdiArea>(form, "MdiArea")->subWindowList().size(), 1);
  EXPECT_EQ(untitled->Scene()->SpriteCount(), 0);

  // A lower-case extension opens too; only the first file is used.
  Drop(&form, QPoint(100, 100), {project, picture});
  EXPECT_EQ(Child<QMdiArea>(form, "MdiArea")->subWindowList().size(), 2);
  ASSERT_NE(Editor(form).ActiveAnimationWindow(), untitled);
  EXPECT_EQ(Editor(form).ActiveAnimationWindow()->Scene()->SpriteCount(), 3);
  EXPECT_EQ(Captions(Root()), (std::vector<std::string>{"Background", "C", "B", "A"}));

  // Dropped on a document, a project opens in a window of its own.
  Drop(Editor(form).ActiveAnimationWindow(), QPoint(40, 40), {project});
  EXPECT_EQ(Child<QMdiArea>(form, "MdiArea")->subWindowList().size(), 3);
}

// ---- The Window menu -------------------------------------------------------------------------------------

TEST_F(MainFormTreeFiles, TilingGivesRowsOrColumnsAndCascadeOverlaps) {
  TMainForm& form = StartShown();
  Command(form, "File_New")->trigger();
  Settle();
  const QList<QMdiSubWindow*> windows = Child<QMdiArea>(form, "MdiArea")->subWindowList(QMdiArea::CreationOrder);
  ASSERT_EQ(windows.size(), 2);
  const QSize area = Child<QMdiArea>(form, "MdiArea")->viewport()->size();
  const int h = area.height();
  const int w = area.width();

  Command(form, "Window_Tile_Horizontal")->trigger();
  EXPECT_EQ(windows[0]->geometry(), QRect(0, 0, w, h / 2));
  EXPECT_EQ(windows[1]->geometry(), QRect(0, h / 2, w, h - h / 2));

  // Columns narrower than the canvases grow to them, spread over the whole width.
  Command(form, "Window_Tile_Vertical")->trigger();
  for (QMdiSubWindow* window : windows) {
    const int canvas = static_cast<TAnimationWindow*>(window)->CanvasWindowSize().width();
    ASSERT_GT(canvas, w / 2) << "the workspace is too narrow for two columns";
    EXPECT_EQ(window->geometry().size(), QSize(std::min(canvas, w), h));
  }
  EXPECT_EQ(windows[0]->x(), 0);
  EXPECT_EQ(windows[1]->geometry().right(), w - 1);

  Command(form, "Window_Cascade")->trigger();
  EXPECT_LT(windows[0]->geometry().topLeft().x(), windows[1]->geometry().topLeft().x());
  EXPECT_LT(windows[0]->geometry().topLeft().y(), windows[1]->geometry().topLeft().y());
}

// ---- Docking -----------------------------------------------------------------------------------------------

TEST_F(MainFormTreeFiles, TheDockRulesSayWhichBarTakesWhat) {
  TMainForm& form = StartShown();
  EXPECT_TRUE(Editor(form).Files().CoolBarTopMainDockOver(Child<QToolBar>(form, "ToolBarTimeLine")));
  EXPECT_TRUE(Editor(form).Files().CoolBarTopMainDockOver(Child<QToolBar>(form, "ToolBar_Sprite_Buttons")));
  EXPECT_FALSE(Editor(form).Files().CoolBarTopMainDockOver(Child<QDockWidget>(form, "PanelProperties")));
  EXPECT_TRUE(Editor(form).Files().CoolBarLeftDockOver(Child<QToolBar>(form, "ToolBarMainButtons")));
  EXPECT_FALSE(Editor(form).Files().CoolBarLeftDockOver(Child<QToolBar>(form, "ToolBarTimeLine")));
  EXPECT_FALSE(Editor(form).Files().CoolBarLeftDockOver(Child<QDockWidget>(form, "PanelProperties")));
  EXPECT_TRUE(Editor(form).Files().CoolBarRightDockOver(Child<QDockWidget>(form, "PanelProperties")));
  EXPECT_FALSE(Editor(form).Files().CoolBarRightDockOver(Child<QToolBar>(form, "ToolBarMainButtons")));
  // The bars follow the rules.
  EXPECT_EQ(Child<QToolBar>(form, "ToolBarTimeLine")->allowedAreas(), Qt::TopToolBarArea);
  EXPECT_EQ(Child<QToolBar>(form, "ToolBarMainButtons")->allowedAreas(), Qt::TopToolBarArea | Qt::LeftToolBarArea);
  EXPECT_EQ(Child<QToolBar>(form, "ToolBar_Sprite_Buttons")->allowedAreas(), Qt::TopToolBarArea | Qt::LeftToolBarArea);
  EXPECT_EQ(Child<QDockWidget>(form, "PanelProperties")->allowedAreas(), Qt::RightDockWidgetArea);
}

TEST_F(MainFormTreeFiles, ThePropertiesPanelFloatsDocksClosesAndComesBack) {
  TMainForm& form = StartShown();
  ASSERT_NE(Child<QToolButton>(form, "DockPropertiesButton"), nullptr);
  EXPECT_TRUE(Child<QToolButton>(form, "DockPropertiesButton")->isChecked());
  QTest::mouseClick(Child<QToolButton>(form, "DockPropertiesButton"), Qt::LeftButton);
  Settle();
  EXPECT_TRUE(Child<QDockWidget>(form, "PanelProperties")->isFloating());
  EXPECT_FALSE(Child<QToolButton>(form, "DockPropertiesButton")->isChecked());
  QTest::mouseClick(Child<QToolButton>(form, "DockPropertiesButton"), Qt::LeftButton);
  Settle();
  EXPECT_FALSE(Child<QDockWidget>(form, "PanelProperties")->isFloating());
  EXPECT_EQ(form.dockWidgetArea(Child<QDockWidget>(form, "PanelProperties")), Qt::RightDockWidgetArea);
  EXPECT_TRUE(Child<QToolButton>(form, "DockPropertiesButton")->isChecked());

  QTest::mouseClick(Child<QToolButton>(form, "ToolButton_CloseProperties"), Qt::LeftButton);
  Settle();
  EXPECT_FALSE(Child<QDockWidget>(form, "PanelProperties")->isVisible());
  // A double click on the tree (or the canvas) shows it again.
  Editor(form).Tree().AnimationTreeDblClick();
  EXPECT_TRUE(Child<QDockWidget>(form, "PanelProperties")->isVisible());
  QTest::mouseClick(Child<QToolButton>(form, "ToolButton_CloseProperties"), Qt::LeftButton);
  Command(form, "Show_Properties_Window")->trigger();
  EXPECT_TRUE(Child<QDockWidget>(form, "PanelProperties")->isVisible());
  EXPECT_FALSE(Child<QDockWidget>(form, "PanelProperties")->isFloating());
}

TEST_F(MainFormTreeFiles, TheShowCommandsDockTheToolBarsBack) {
  TMainForm& form = StartShown();
  Child<QToolBar>(form, "ToolBarTimeLine")->hide();
  Child<QToolBar>(form, "ToolBar_Sprite_Buttons")->hide();
  form.addToolBar(Qt::TopToolBarArea, Child<QToolBar>(form, "ToolBar_Sprite_Buttons"));
  Command(form, "Show_TimeLine")->trigger();
  Command(form, "Show_Insert_Delete_Buttons")->trigger();
  Command(form, "Show_MainButtons")->trigger();
  EXPECT_TRUE(Child<QToolBar>(form, "ToolBarTimeLine")->isVisible());
  EXPECT_EQ(form.toolBarArea(Child<QToolBar>(form, "ToolBarTimeLine")), Qt::TopToolBarArea);
  EXPECT_TRUE(Child<QToolBar>(form, "ToolBar_Sprite_Buttons")->isVisible());
  EXPECT_EQ(form.toolBarArea(Child<QToolBar>(form, "ToolBar_Sprite_Buttons")), Qt::LeftToolBarArea);
  EXPECT_EQ(Child<QToolBar>(form, "ToolBar_Sprite_Buttons")->orientation(), Qt::Vertical);
  EXPECT_EQ(form.toolBarArea(Child<QToolBar>(form, "ToolBarMainButtons")), Qt::TopToolBarArea);
}

TEST_F(MainFormTreeFiles, DockedBarsKeepTheirLengthAndThePanelTakesTheDraggedWidth) {
  TMainForm& form = StartShown();
  QToolBar* inserts = Child<QToolBar>(form, "ToolBar_Sprite_Buttons");
  const int length = TFilesArea::ToolBarDockedSize(inserts);
  EXPECT_GT(length, 100);
  // At the left: a column of buttons, never shorter than the bar was made.
  EXPECT_EQ(inserts->minimumHeight(), length);
  EXPECT_EQ(inserts->maximumWidth(), inserts->sizeHint().width());
  // Moved to the top: a row, as long as the bar's length.
  form.addToolBar(Qt::TopToolBarArea, inserts);
  Editor(form).Files().ToolBarMainButtonsEndDock(inserts);
  EXPECT_EQ(inserts->orientation(), Qt::Horizontal);
  EXPECT_EQ(inserts->minimumWidth(), length);
  EXPECT_EQ(inserts->minimumHeight(), 0);
  EXPECT_EQ(inserts->maximumHeight(), inserts->sizeHint().height());

  // The properties panel takes a dragged width, never less than its minimum.
  int proposed = 10;
  Editor(form).Files().Splitter_PropertiesCanResize(proposed);
  EXPECT_EQ(proposed, Child<QDockWidget>(form, "PanelProperties")->minimumWidth());
  proposed = Child<QDockWidget>(form, "PanelProperties")->minimumWidth() + 40;
  Editor(form).Files().Splitter_PropertiesCanResize(proposed);
  Settle();
  EXPECT_EQ(Child<QDockWidget>(form, "PanelProperties")->width(), proposed);
}

TEST_F(MainFormTreeFiles, ALongCaptionDoesNotWidenThePanel) {
  TMainForm& form = StartShown();
  Settle();
  const int width = Child<QDockWidget>(form, "PanelProperties")->width();
  Child<QDockWidget>(form, "PanelProperties")->setWindowTitle("Properties: Scene [" + QString(300, 'x') + ".GLM]");
  Settle();
  EXPECT_EQ(Child<QDockWidget>(form, "PanelProperties")->width(), width);
  auto* title = Child<QDockWidget>(form, "PanelProperties")->findChild<QLabel*>("PanelPropertiesTitle");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->toolTip(), Child<QDockWidget>(form, "PanelProperties")->windowTitle());
}

}  // namespace
