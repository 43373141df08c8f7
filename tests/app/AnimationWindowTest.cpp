// The document window: creation, caption, canvas layout, the scene's
// messages, dropped files, Esc and closing.
#include "tests/app/DocumentWindowFixture.h"

#include "controls/Image.h"

#include <QMimeData>
#include <QScrollArea>
#include <QScrollBar>
#include <QUrl>

using AnimationWindow = DocumentWindowTest;

TEST_F(AnimationWindow, ANewDocumentIsAnUntitledCanvasOf468By60ThatFitsWithoutScrollBars) {
  TAnimationWindow* window = NewWindow();
  EXPECT_EQ(window->windowTitle(), QString("Untitled"));
  EXPECT_EQ(window->objectName(), QString("AnimationWindow"));
  EXPECT_EQ(window->Scene()->Width, 468);
  EXPECT_EQ(window->Scene()->Height, 60);
  EXPECT_EQ(window->Scene()->StepCount, 100);
  EXPECT_EQ(window->Scene()->Timer().Interval(), 67);
  EXPECT_EQ(window->Scene()->SoundEnabled, 0);
  EXPECT_EQ(window->Scene()->NotifyWindow, window->Handle());
  EXPECT_EQ(window->PanelAnimation->BoxWidth(), 468);
  EXPECT_EQ(window->PanelAnimation->BoxHeight(), 60);
  EXPECT_EQ(window->PictureBackground->Width(), 468);
  EXPECT_EQ(window->PictureBackground->Height(), 60);
  EXPECT_EQ(window->Scene()->OutputBitmap, &window->PictureBackground->Bitmap());
  const QSize client = window->ScrollBoxAnimation->viewport()->size();
  EXPECT_GE(client.width(), window->PanelAnimation->Width());
  EXPECT_GE(client.height(), window->PanelAnimation->Height());
  EXPECT_FALSE(window->ScrollBoxAnimation->horizontalScrollBar()->isVisible());
  EXPECT_FALSE(window->Modified());
  EXPECT_FALSE(window->SpriteSelectionBox->Visible());
  EXPECT_FALSE(window->LineSelection->Visible());
  EXPECT_FALSE(window->MotionPath1->Visible());
  EXPECT_EQ(host.loopCounts.front(), -1);
  EXPECT_EQ(host.ActiveAnimationWindow(), window);
  EXPECT_EQ(CurrentUndo, window->Undo());
}

TEST_F(AnimationWindow, TheCaptionIsTheFileNameWithAStarWhileModified) {
  TAnimationWindow* window = NewWindow();
  window->SetModified(true);
  EXPECT_EQ(window->windowTitle(), QString("Untitled *"));
  EXPECT_TRUE(host.Edit_Undo()->isEnabled());
  window->SetFileName(dir.File("banner.GLM"));
  window->UpdateCaption();
  EXPECT_EQ(window->windowTitle(), QString("banner.GLM *"));
  window->SetModified(false);
  EXPECT_EQ(window->windowTitle(), QString("banner.GLM"));
  EXPECT_FALSE(host.Edit_Undo()->isEnabled());
}

TEST_F(AnimationWindow, TheCanvasIsCentredInTheScrollBoxAndNeverPlacedAboveOrLeftOfIt) {
  TAnimationWindow* window = NewWindow();
  window->resize(700, 500);
  Settle();
  window->LayoutCanvas();
  const QSize client = window->ScrollBoxAnimation->viewport()->size();
  EXPECT_EQ(window->PanelAnimation->Left(), (client.width() - window->PanelAnimation->Width()) / 2);
  EXPECT_EQ(window->PanelAnimation->Top(), (client.height() - window->PanelAnimation->Height()) / 2);
  EXPECT_EQ(window->PictureBackground->Left(), window->PanelAnimation->BoxLeft());
  EXPECT_EQ(window->PictureBackground->Top(), window->PanelAnimation->BoxTop());

  window->resize(160, 60);
  Settle();
  window->LayoutCanvas();
  EXPECT_EQ(window->PanelAnimation->Left(), 0);
  EXPECT_EQ(window->PanelAnimation->Top(), 0);
  EXPECT_GE(window->ScrollBoxAnimation->widget()->width(), window->PanelAnimation->Width());
}

TEST_F(AnimationWindow, ResizingTheCanvasFrameResizesTheSceneAndMarksTheDocument) {
  TAnimationWindow* window = NewWindow();
  window->PanelAnimation->SetBoxWidth(200);
  window->PanelAnimation->SetBoxHeight(100);
  window->PanelAnimationResized();
  EXPECT_EQ(window->Scene()->Width, 200);
  EXPECT_EQ(window->Scene()->Height, 100);
  EXPECT_EQ(window->Scene()->BackgroundBitmap.Width(), 200);
  EXPECT_EQ(window->PictureBackground->Bitmap().Width(), 200);
  ASSERT_FALSE(host.sceneSizes.empty());
  EXPECT_EQ(host.sceneSizes.back(), std::make_pair(200, 100));
  EXPECT_TRUE(window->Modified());
}

TEST_F(AnimationWindow, ACanvasSizeTheProjectReaderRefusesIsPutBackWithAMessage) {
  TAnimationWindow* window = NewWindow();
  window->SetCanvasSize(70000, 60);
  window->ResizeTimerTimer();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].text.find("70000"), std::string::npos);
  EXPECT_EQ(window->Scene()->Width, 468);
  EXPECT_EQ(window->PanelAnimation->BoxWidth(), 468);
  EXPECT_FALSE(window->Modified());
}

TEST_F(AnimationWindow, SetCanvasSizeLaysOutWhenTheResizeTimerFires) {
  TAnimationWindow* window = NewWindow();
  window->SetCanvasSize(300, 80);
  EXPECT_TRUE(window->ResizeTimer.Enabled());
  EXPECT_EQ(window->ResizeTimer.Interval(), 200);
  EXPECT_EQ(window->Scene()->Width, 468);
  window->ResizeTimerTimer();
  EXPECT_FALSE(window->ResizeTimer.Enabled());
  EXPECT_EQ(window->Scene()->Width, 300);
  EXPECT_EQ(window->Scene()->Height, 80);
}

TEST_F(AnimationWindow, RelaysLoadProgressAndShownStepsToTheHost) {
  TAnimationWindow* window = NewWindow();
  SendMessage(window->Handle(), WM_LOADPROGRESS, 3, 9);
  EXPECT_EQ(host.progress, (std::vector<std::pair<int, int>>{{3, 9}}));
  host.steps.clear();
  PostMessage(window->Handle(), WM_STEPCHANGED, 5, 7);
  PostMessage(window->Handle(), WM_MOTIONSTEPADDED, 0, 0);
  Settle();
  EXPECT_EQ(host.steps, (std::vector<std::pair<WPARAM, LPARAM>>{{5, 7}}));
}

TEST_F(AnimationWindow, EscSetsTheCancelFlag) {
  TAnimationWindow* window = NewWindow();
  window->PanelAnimation->setFocus();
  CancelFlag = 0;
  Key(Qt::Key_Escape);
  EXPECT_EQ(CancelFlag, 1);
}

TEST_F(AnimationWindow, DroppedFilesGoToTheHostWithTheScenePoint) {
  TAnimationWindow* window = NewWindow();
  const QPoint inWindow = window->PanelAnimation->parentWidget()->mapTo(
      window, QPoint(window->PanelAnimation->BoxLeft() + 12, window->PanelAnimation->BoxTop() + 5));
  window->WMDropFiles({"/pictures/a.bmp", "/pictures/b.bmp"}, inWindow);
  ASSERT_EQ(host.drops.size(), 1u);
  EXPECT_EQ(host.drops[0].first.size(), 2u);
  EXPECT_EQ(host.drops[0].second, Point(12, 5));
}

TEST_F(AnimationWindow, ClosingAModifiedUntitledDocumentAsksAndNoClosesWithoutWriting) {
  TAnimationWindow* window = NewWindow();
  window->SetModified(true);
  ui.messageAnswers = {IDNO};
  QPointer<TAnimationWindow> alive(window);
  window->close();
  Settle();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "File Untitled.GLM has been modified. Do you want to save it?");
  EXPECT_EQ(ui.messages[0].caption, ProgramName);
  EXPECT_EQ(ui.messages[0].flags, unsigned{MB_YESNOCANCEL | MB_ICONQUESTION});
  EXPECT_TRUE(ui.fileRequests.empty());
  EXPECT_TRUE(alive.isNull());
  EXPECT_EQ(host.ActiveAnimationWindow(), nullptr);
  EXPECT_EQ(CurrentUndo, nullptr);
}

TEST_F(AnimationWindow, CancelKeepsTheWindowAndYesClosesOnlyAfterASave) {
  TAnimationWindow* window = NewWindow();
  window->SetFileName(dir.File("kept.GLM"));
  window->SetModified(true);
  QPointer<TAnimationWindow> alive(window);
  ui.messageAnswers = {IDCANCEL};
  window->close();
  Settle();
  EXPECT_FALSE(alive.isNull());
  EXPECT_EQ(ui.messages.back().text, "File kept.GLM has been modified. Do you want to save it?");

  ui.messageAnswers = {IDYES};
  window->close();
  Settle();
  EXPECT_TRUE(alive.isNull());
  EXPECT_TRUE(CheckFileChecksum(dir.File("kept.GLM"), false));
}

TEST_F(AnimationWindow, AFailedSaveInTheCloseQueryKeepsTheWindowOpen) {
  TAnimationWindow* window = NewWindow();
  window->SetFileName(dir.File("no such folder/kept.GLM"));
  window->SetModified(true);
  QPointer<TAnimationWindow> alive(window);
  ui.messageAnswers = {IDYES};
  window->close();
  Settle();
  EXPECT_FALSE(alive.isNull());
  EXPECT_TRUE(window->Modified());
  EXPECT_EQ(ui.messages.back().text, "An error occured during writing to the file.\r" +
                                         dir.File("no such folder/kept.GLM") + ": No such file or directory");
}

TEST_F(AnimationWindow, ClosingADocumentThatIsNotActiveLeavesTheActiveOneAndFreesItsTree) {
  TAnimationWindow* first = NewWindow();
  TAnimationWindow* second = NewWindow();
  ASSERT_EQ(host.ActiveAnimationWindow(), second);
  QPointer<QTreeWidget> firstTree(first->Tree());
  ASSERT_FALSE(firstTree.isNull());
  first->close();
  Settle();
  EXPECT_TRUE(firstTree.isNull());
  EXPECT_EQ(host.ActiveAnimationWindow(), second);
  EXPECT_EQ(CurrentUndo, second->Undo());
}

TEST_F(AnimationWindow, ActivatingAWindowMakesItTheHostsDocumentWithItsUndoLog) {
  TAnimationWindow* first = NewWindow();
  TAnimationWindow* second = NewWindow();
  area.setActiveSubWindow(first);
  EXPECT_EQ(host.ActiveAnimationWindow(), first);
  EXPECT_EQ(CurrentUndo, first->Undo());
  area.setActiveSubWindow(second);
  EXPECT_EQ(host.ActiveAnimationWindow(), second);
  EXPECT_EQ(CurrentUndo, second->Undo());
}
