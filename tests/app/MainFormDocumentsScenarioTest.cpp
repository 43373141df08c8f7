// A user's files and windows through the real main window: a project named
// with a lower-case extension is saved where it was opened, a Save As that
// cannot write changes nothing, opened and cascaded windows keep their frame
// and canvas size, and the window at rest does no work on any page.
#include "tests/app/MainFormTreeFixture.h"
#include "tests/support/FindChild.h"

#include "scene/SceneGlobals.h"
#include "tests/support/RepaintCounter.h"

#include <filesystem>
#include <set>

namespace {

std::set<std::string> FilesIn(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

class MainFormDocumentsScenario : public MainFormTreeTest {
 protected:
  // Clicks sprite B (a 30 x 20 rectangle) at a scene point on it, drags it
  // right on the canvas as the user does, and lets Save follow the mark.
  void DragSpriteB(TAnimationWindow& window, TPoint on, int dx) {
    QWindow* screen = Form().windowHandle();
    TSelectionBox& canvas = *window.PanelAnimation;
    const QPoint click = canvas.mapTo(&Form(), QPoint(on.X + canvas.BoxLeft() - canvas.Left(),
                                                      on.Y + canvas.BoxTop() - canvas.Top()));
    QTest::mouseMove(screen, click);
    QTest::mouseClick(screen, Qt::LeftButton, {}, click);
    Settle();
    ASSERT_TRUE(window.SpriteSelectionBox->Visible());
    TSelectionBox& box = *window.SpriteSelectionBox;
    const QPoint start = box.mapTo(&Form(), QPoint(box.BoxLeft() - box.Left() + box.BoxWidth() / 2,
                                                   box.BoxTop() - box.Top() + box.BoxHeight() / 2));
    QTest::mouseMove(screen, start);
    QTest::mousePress(screen, Qt::LeftButton, {}, start);
    QTest::mouseMove(screen, start + QPoint(dx, 0));
    QTest::mouseRelease(screen, Qt::LeftButton, {}, start + QPoint(dx, 0));
    Settle();
    Editor(Form()).RefreshCommandStates();
  }
  std::string MakeFolder(const std::string& name) {
    std::filesystem::create_directory(data_.File(name));
    return data_.File(name);
  }
};

TEST_F(MainFormDocumentsScenario, ALowerCaseProjectIsSavedInPlaceAndAFailedSaveAsChangesNothing) {
  TMainForm& form = StartShown();
  const std::string folder = MakeFolder("work");
  const std::string path = WriteThreeSprites("work/proj1.glm");
  TAnimationWindow* window = OpenThroughCommand(path);
  EXPECT_EQ(window->windowTitle(), QString("proj1.glm"));
  const std::string opened = TempDir::ReadFile(path);

  // Drag a sprite and press Ctrl+S: the file opened is the file written.
  DragSpriteB(*window, Point(55, 30), 20);
  EXPECT_EQ(window->Scene()->Sprite(1).DrawnRect, Rect(60, 20, 90, 40));
  CtrlKey(Qt::Key_S);
  EXPECT_FALSE(window->Modified());
  const std::string saved = TempDir::ReadFile(path);
  EXPECT_TRUE(saved != opened && CheckFileChecksum(path, false)) << "the file opened was written";
  EXPECT_EQ(FilesIn(folder), std::set<std::string>{"proj1.glm"}) << "no second file beside it";
  EXPECT_EQ(Editor(form).SettingsArea().RecentFiles().Entries(), std::vector<std::string>{path});

  // Save As below a regular file fails for any user: name, caption, version
  // and tree stay, and the next Save goes where the last one did.
  DragSpriteB(*window, Point(75, 30), 10);
  const QString treeCaption = Root()->text(0);
  ui_.fileAnswers.push_back(FileDialogResult{path + "/ro.glm", 1, {}});
  Command(form, "File_Save_As")->trigger();
  Settle();
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, "An error occured during writing to the file.\r" + path + "/ro.glm: Not a directory");
  EXPECT_EQ(window->FileName(), path);
  EXPECT_EQ(window->windowTitle(), QString("proj1.glm *"));
  EXPECT_EQ(SaveVersion, kNewestFormatVersion);
  EXPECT_EQ(Root()->text(0), treeCaption);
  EXPECT_TRUE(TempDir::ReadFile(path) == saved);
  CtrlKey(Qt::Key_S);
  EXPECT_FALSE(window->Modified());
  EXPECT_TRUE(TempDir::ReadFile(path) != saved);
  EXPECT_EQ(FilesIn(folder), std::set<std::string>{"proj1.glm"});
}

TEST_F(MainFormDocumentsScenario, OpenedAndCascadedWindowsKeepTheirFrameAndCanvasSize) {
  TMainForm& form = StartShown();
  const QRect room(QPoint(0, 0), Child<QMdiArea>(form, "MdiArea")->viewport()->size());
  // A new document wider than this workspace is capped to it.
  Child<QMdiArea>(form, "MdiArea")->closeAllSubWindows();
  Command(form, "File_New")->trigger();
  TAnimationWindow* untitled = Editor(form).ActiveAnimationWindow();
  ASSERT_GT(untitled->CanvasWindowSize().width(), room.width());
  EXPECT_EQ(untitled->size(), untitled->CanvasWindowSize().boundedTo(room.size()));
  untitled->close();
  Settle();

  MakeFolder("work");
  TAnimationWindow* first = OpenThroughCommand(WriteThreeSprites("work/first.GLM"));
  TAnimationWindow* second = OpenThroughCommand(WriteThreeSprites("work/second.GLM"));
  const QSize size = first->CanvasWindowSize();
  for (TAnimationWindow* window : {first, second}) {
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::FramelessWindowHint) || window->isMaximized());
    EXPECT_TRUE(room.contains(window->geometry()));
    EXPECT_EQ(window->size(), size) << "a 200 x 100 canvas fits this workspace";
  }
  EXPECT_FALSE(first->geometry().intersects(second->geometry()));

  // Cascade: down a diagonal at their own sizes, the active one in front.
  Command(form, "Window_Cascade")->trigger();
  EXPECT_EQ(first->geometry(), QRect(QPoint(0, 0), size));
  EXPECT_EQ(second->size(), size);
  EXPECT_TRUE(second->x() > 0 && second->x() == second->y());
  EXPECT_EQ(Child<QMdiArea>(form, "MdiArea")->subWindowList(QMdiArea::StackingOrder).last(), second);
}

// After each property page is shown and its events ran, nothing is painted,
// resized or laid out again.
TEST_F(MainFormDocumentsScenario, TheWindowAtRestPaintsAndResizesNothingOnAnyPage) {
  TMainForm& form = StartShown();
  MakeFolder("work");
  OpenThroughCommand(WriteThreeSprites("work/rest.GLM"));
  RepaintCounter counter(form);
  for (int page = 0; page < Child<QStackedWidget>(form, "Notebook_Properties")->count(); ++page) {
    Child<QStackedWidget>(form, "Notebook_Properties")->setCurrentIndex(page);
    EXPECT_EQ(counter.CountAfterSettling(400, 500), "") << "page " << page;
  }
}

}  // namespace
