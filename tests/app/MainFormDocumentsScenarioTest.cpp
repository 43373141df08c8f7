// A user's files and windows through the real main window: a project named
// with a lower-case extension is saved where it was opened, a Save As that
// cannot write changes nothing, opened and cascaded windows keep their frame
// and their canvas size, and the window at rest does no work.
#include "tests/app/MainFormTreeFixture.h"

#include "app/core/DocumentFiles.h"
#include "controls/MyCntrl.h"
#include "platform/SysUtils.h"
#include "scene/SceneGlobals.h"
#include "tests/support/RepaintCounter.h"

#include <QMdiSubWindow>
#include <QStackedWidget>

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

namespace {

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* d = ::opendir(folder.c_str())) {
    while (dirent* e = ::readdir(d)) {
      const std::string name = e->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

class MainFormDocumentsScenario : public MainFormTreeTest {
 protected:
  QPoint InForm(QWidget* widget, QPoint p) { return widget->mapTo(&Form(), p); }
  // Hovers, presses, moves by the offset and releases, as the user drags.
  void Drag(QWidget* widget, QPoint from, QPoint offset) {
    const QPoint start = InForm(widget, from);
    QWindow* window = Form().windowHandle();
    QTest::mouseMove(window, start);
    QTest::mousePress(window, Qt::LeftButton, {}, start);
    QTest::mouseMove(window, start + offset);
    QTest::mouseRelease(window, Qt::LeftButton, {}, start + offset);
    Settle();
  }
  void Click(QWidget* widget, QPoint p) {
    const QPoint at = InForm(widget, p);
    QTest::mouseMove(Form().windowHandle(), at);
    QTest::mouseClick(Form().windowHandle(), Qt::LeftButton, {}, at);
    Settle();
  }
  // The scene point (x, y) in the canvas frame's coordinates.
  static QPoint OnCanvas(TAnimationWindow& window, int x, int y) {
    return QPoint(x + window.PanelAnimation->BoxLeft() - window.PanelAnimation->Left(),
                  y + window.PanelAnimation->BoxTop() - window.PanelAnimation->Top());
  }
  static QPoint BoxMiddle(TSelectionBox& box) {
    return QPoint(box.BoxLeft() - box.Left() + box.BoxWidth() / 2, box.BoxTop() - box.Top() + box.BoxHeight() / 2);
  }
  // Selects sprite B (a 30 x 20 rectangle) by a click at a scene point on it and drags it right.
  void DragSpriteB(TAnimationWindow& window, TPoint on, int dx) {
    Click(window.PanelAnimation, OnCanvas(window, on.X, on.Y));
    ASSERT_TRUE(window.SpriteSelectionBox->Visible());
    Drag(window.SpriteSelectionBox, BoxMiddle(*window.SpriteSelectionBox), QPoint(dx, 0));
    // Save is enabled by the modified mark, which the drag set.
    Form().RefreshCommandStates();
  }
  void AnswerSaveDialog(const std::string& fileName) {
    FileDialogResult chosen;
    chosen.fileName = fileName;
    chosen.filterIndex = 1;
    ui_.fileAnswers.push_back(chosen);
  }
  std::string MakeFolder(const std::string& name) {
    const std::string folder = data_.File(name);
    ::mkdir(folder.c_str(), 0700);
    return folder;
  }
  static QRect Workspace(TMainForm& form) { return QRect(QPoint(0, 0), form.MdiArea->viewport()->size()); }
};

TEST_F(MainFormDocumentsScenario, ALowerCaseProjectIsSavedInPlaceAndAFailedSaveAsChangesNothing) {
  TMainForm& form = StartShown();
  const std::string folder = MakeFolder("work");
  const std::string path = WriteThreeSprites("work/proj1.glm");
  TAnimationWindow* window = OpenThroughCommand(path);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->FileName(), path);
  EXPECT_EQ(window->windowTitle(), QString("proj1.glm"));
  const std::string opened = TempDir::ReadFile(path);

  // Drag a sprite and press Ctrl+S: the file opened is the file written.
  DragSpriteB(*window, Point(55, 30), 20);
  EXPECT_EQ(window->Scene()->Sprite(1).DrawnRect, Rect(60, 20, 90, 40));
  EXPECT_TRUE(window->Modified());
  CtrlKey(Qt::Key_S);
  EXPECT_FALSE(window->Modified());
  EXPECT_EQ(window->windowTitle(), QString("proj1.glm"));
  const std::string saved = TempDir::ReadFile(path);
  EXPECT_TRUE(saved != opened) << "the file was written";
  EXPECT_TRUE(CheckFileChecksum(path, false));
  EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"proj1.glm"}) << "no second file beside it";
  EXPECT_EQ(form.RecentFiles.Entries(), std::vector<std::string>{path});
  EXPECT_TRUE(ui_.messages.empty());

  // Save As below a regular file cannot create the file (even for the
  // superuser): the document keeps its name, version, caption and mark.
  DragSpriteB(*window, Point(75, 30), 10);
  const std::string treeCaption = Root()->text(0).toStdString();
  const std::string target = path + "/ro.glm";
  AnswerSaveDialog(target);
  form.File_Save_As->trigger();
  Settle();
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, "An error occured during writing to the file.\r" + target + ": Not a directory");
  EXPECT_EQ(ui_.messages[0].caption, "Error");
  EXPECT_EQ(window->FileName(), path);
  EXPECT_EQ(window->windowTitle(), QString("proj1.glm *"));
  EXPECT_TRUE(window->Modified());
  EXPECT_EQ(SaveVersion, kNewestFormatVersion);
  EXPECT_EQ(Root()->text(0).toStdString(), treeCaption);
  EXPECT_TRUE(TempDir::ReadFile(path) == saved) << "the file is as it was";
  EXPECT_EQ(form.RecentFiles.Entries(), std::vector<std::string>{path});

  // The next Save aims where the document came from.
  CtrlKey(Qt::Key_S);
  EXPECT_FALSE(window->Modified());
  EXPECT_TRUE(TempDir::ReadFile(path) != saved) << "the file was written again";
  EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"proj1.glm"});
  EXPECT_EQ(ui_.messages.size(), 1u);
}

TEST_F(MainFormDocumentsScenario, OpenedAndCascadedWindowsKeepTheirFrameAndCanvasSize) {
  TMainForm& form = StartShown();
  const QRect room = Workspace(form);
  // A new document wider than this workspace is capped to it.
  for (QMdiSubWindow* window : form.MdiArea->subWindowList()) static_cast<TAnimationWindow*>(window)->close();
  form.File_New->trigger();
  Settle();
  TAnimationWindow* untitled = form.ActiveAnimationWindow();
  ASSERT_NE(untitled, nullptr);
  ASSERT_GT(untitled->CanvasWindowSize().width(), room.width());
  EXPECT_EQ(untitled->size(), untitled->CanvasWindowSize().boundedTo(room.size()));
  untitled->close();
  Settle();

  MakeFolder("work");
  TAnimationWindow* first = OpenThroughCommand(WriteThreeSprites("work/first.GLM"));
  TAnimationWindow* second = OpenThroughCommand(WriteThreeSprites("work/second.GLM"));
  ASSERT_NE(first, second);
  // Each window has its title bar, lies in the workspace, is as large as its
  // canvas needs, and the second does not cover the first.
  for (TAnimationWindow* window : {first, second}) {
    SCOPED_TRACE(window->windowTitle().toStdString());
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_FALSE(window->isMaximized());
    EXPECT_TRUE(room.contains(window->geometry()));
    EXPECT_EQ(window->size(), window->CanvasWindowSize()) << "a 200 x 100 canvas fits this workspace";
  }
  EXPECT_FALSE(first->geometry().intersects(second->geometry()));
  const QSize size = first->size();

  // Cascade: down a diagonal at their own sizes, the active one in front.
  form.Window_Cascade->trigger();
  Settle();
  EXPECT_EQ(first->geometry(), QRect(QPoint(0, 0), size));
  EXPECT_EQ(second->size(), size);
  EXPECT_GT(second->x(), 0);
  EXPECT_EQ(second->x(), second->y());
  EXPECT_EQ(form.MdiArea->subWindowList(QMdiArea::StackingOrder).last(), second);
  EXPECT_TRUE(room.contains(second->geometry()));

  // Tiled in rows, each row is at least as high as its canvas needs.
  form.Window_Tile_Horizontal->trigger();
  Settle();
  for (TAnimationWindow* window : {first, second}) {
    EXPECT_GE(window->height(), window->CanvasWindowSize().height());
    EXPECT_EQ(window->width(), room.width());
    EXPECT_TRUE(room.contains(window->geometry()));
  }
}

// The window at rest: after each property page is shown and the events
// settle, nothing is painted, resized or laid out again.
TEST_F(MainFormDocumentsScenario, TheWindowAtRestPaintsAndResizesNothingOnAnyPage) {
  TMainForm& form = StartShown();
  MakeFolder("work");
  OpenThroughCommand(WriteThreeSprites("work/rest.GLM"));
  RepaintCounter counter(form);
  QStackedWidget& pages = *form.Notebook_Properties;
  for (int page = 0; page < pages.count(); ++page) {
    pages.setCurrentIndex(page);
    counter.Settle(400);
    counter.Watch(500);
    EXPECT_EQ(counter.Total(), 0) << "page " << page << " '" << pages.widget(page)->objectName().toStdString()
                                  << "':\n"
                                  << counter.Report();
  }
}

}  // namespace
