// The document's undo log: the Undo command's caption and state, and the
// modified mark following the log.
#include "tests/app/DocumentWindowFixture.h"

#include "tests/support/FakeSystemValues.h"

using WindowUndo = DocumentWindowTest;

namespace {

TSprite& AddSpriteTo(TAnimationWindow& window) {
  int index = 0;
  return *window.Scene()->AddSprite(index);
}

}  // namespace

TEST_F(WindowUndo, ARecordEnablesUndoWithItsCaptionWithoutAcceleratorAndMarksTheDocument) {
  TAnimationWindow* window = NewWindow();
  TSprite& sprite = AddSpriteTo(*window);
  sprite.Motion().AddStepWith(HoldAt(1, 2), &sprite);
  sprite.Motion().ChangeStep(0, HoldAt(5, 6), &sprite);
  QAction& undo = *host.Edit_Undo();
  EXPECT_TRUE(undo.isEnabled());
  EXPECT_EQ(undo.text(), QString("Undo \"Change Motion\""));
  EXPECT_EQ(undo.toolTip(), QString("Undo \"Change Motion\""));
  EXPECT_EQ(undo.statusTip(), QString("Undo \"Change Motion\""));
  EXPECT_TRUE(window->Modified());
  EXPECT_EQ(window->windowTitle(), QString("Untitled *"));
}

TEST_F(WindowUndo, UndoingTheSecondOfTwoShowsTheFirstWithTheAcceleratorAndTheLastClearsTheMark) {
  TAnimationWindow* window = NewWindow();
  const std::string empty = ProjectBytes(*window->Scene());
  TSprite& sprite = AddSpriteTo(*window);
  const std::string withSprite = ProjectBytes(*window->Scene());
  sprite.Motion().AddStep();
  ASSERT_EQ(UndoCaptions(*window->Undo()), (std::vector<std::string>{"Add Sprite", "Add Motion"}));

  window->Undo()->Undo();
  QAction& undo = *host.Edit_Undo();
  EXPECT_EQ(undo.text(), QString("&Undo \"Add Sprite\""));
  EXPECT_EQ(undo.toolTip(), QString("Undo \"Add Sprite\""));
  EXPECT_TRUE(undo.isEnabled());
  EXPECT_TRUE(window->Modified());
  EXPECT_EQ(ProjectBytes(*window->Scene()), withSprite);

  window->Undo()->Undo();
  EXPECT_FALSE(undo.isEnabled());
  EXPECT_EQ(undo.statusTip(), QString(""));
  EXPECT_FALSE(window->Modified());
  EXPECT_EQ(window->windowTitle(), QString("Untitled"));
  EXPECT_EQ(ProjectBytes(*window->Scene()), empty);
  EXPECT_GE(host.treeRebuilds, 2);
}

TEST_F(WindowUndo, UndoingASpriteListRecordForgetsTheCurrentSprite) {
  TAnimationWindow* window = NewWindow();
  TSprite& sprite = AddSpriteTo(*window);
  host.SetCurrentSprite(&sprite);
  window->Scene()->DeleteSprite(0);
  window->Undo()->Undo();
  ASSERT_EQ(window->Scene()->SpriteCount(), 1);
  EXPECT_EQ(host.CurrentSprite(), nullptr);
}

TEST_F(WindowUndo, WithUndoOffEveryEditStillMarksTheDocument) {
  host.settings.UndoEnabled = false;
  TAnimationWindow* window = NewWindow();
  AddSpriteTo(*window);
  EXPECT_TRUE(window->Undo()->Empty());
  EXPECT_TRUE(window->Modified());
}

TEST_F(WindowUndo, AnEditWhileRecordingIsPausedNeitherRecordsNorMarks) {
  TAnimationWindow* window = NewWindow();
  {
    const TUndoRecordingPause pause;
    AddSpriteTo(*window);
  }
  EXPECT_TRUE(window->Undo()->Empty());
  EXPECT_FALSE(window->Modified());
}

TEST_F(WindowUndo, UndoingBackToTheSavedStateClearsTheMark) {
  TAnimationWindow* window = NewWindow();
  window->SetFileName(dir.File("x.GLM"));
  AddSpriteTo(*window);
  ASSERT_TRUE(window->Save());
  AddSpriteTo(*window);
  ASSERT_TRUE(window->Modified());
  window->Undo()->Undo();
  EXPECT_FALSE(window->Modified());
}

TEST_F(WindowUndo, SwitchingUndoOffDropsTheHistoryButNotTheUnsavedChanges) {
  TAnimationWindow* window = NewWindow();
  AddSpriteTo(*window);
  window->Undo()->SetEnabled(0);
  EXPECT_TRUE(window->Undo()->Empty());
  EXPECT_TRUE(window->Modified());
  EXPECT_FALSE(host.Edit_Undo()->isEnabled());
  // With undo on again, undoing every new record does not give the saved state.
  window->Undo()->SetEnabled(1);
  AddSpriteTo(*window);
  window->Undo()->Undo();
  EXPECT_TRUE(window->Undo()->Empty());
  EXPECT_TRUE(window->Modified());
}

TEST_F(WindowUndo, AnEditThatWentUnrecordedKeepsTheMarkAfterUndoingTheRest) {
  host.settings.UndoEnabled = false;
  TAnimationWindow* window = NewWindow();
  AddSpriteTo(*window);
  window->Undo()->SetEnabled(1);
  AddSpriteTo(*window);
  window->Undo()->Undo();
  EXPECT_EQ(window->Scene()->SpriteCount(), 1);
  EXPECT_TRUE(window->Modified());
}

TEST_F(WindowUndo, ALogThatOutgrewItsMemoryShareNoLongerReachesTheSavedState) {
  TAnimationWindow* window = NewWindow();
  TSprite& sprite = AddSpriteTo(*window);
  AddPictureFrame(sprite, 40, 40, clRed);
  FakeSystemValues system;
  system.physicalMemory = 8 * 1024;  // the log may hold 1 KB
  window->Scene()->DeleteSprite(0);  // a snapshot larger than that
  AddSpriteTo(*window);              // empties the log before it is stored
  ASSERT_EQ(UndoCaptions(*window->Undo()), std::vector<std::string>{"Add Sprite"});
  window->Undo()->Undo();
  EXPECT_TRUE(window->Undo()->Empty());
  EXPECT_TRUE(window->Modified());
}

TEST_F(WindowUndo, ClearingALogMarksItsOwnDocumentAndLeavesTheActiveOnesUndoCommand) {
  TAnimationWindow* first = NewWindow();
  first->SetFileName(dir.File("first.GLM"));
  AddSpriteTo(*first);
  TAnimationWindow* second = NewWindow();
  AddSpriteTo(*second);
  ASSERT_EQ(host.ActiveAnimationWindow(), second);
  ASSERT_TRUE(first->Modified());

  ASSERT_TRUE(first->Save());
  EXPECT_FALSE(first->Modified());
  EXPECT_TRUE(second->Modified());
  EXPECT_TRUE(host.Edit_Undo()->isEnabled());
  EXPECT_EQ(host.Edit_Undo()->text(), QString("Undo \"Add Sprite\""));
  EXPECT_EQ(CurrentUndo, second->Undo());
}
