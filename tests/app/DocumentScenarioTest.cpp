// A user's session with document windows, end to end through the real
// widgets: open a project, edit it on the canvas, undo, save with a backup,
// survive a failing save, reopen, and open a GIF and an AVI file.
#include "tests/app/DocumentWindowFixture.h"

#include "tests/support/AviTestFiles.h"
#include "tests/support/FullDisk.h"


using DocumentScenario = DocumentWindowTest;

TEST_F(DocumentScenario, OpenEditUndoSaveWithBackupSurviveAFailedSaveAndReopen) {
  host.settings.CreateBackup = true;
  const std::string path = WriteProject("scenario.GLM", [](TAnimatedScene& scene) {
    int index = 0;
    TSprite& held = *scene.AddSprite(index);
    held.Name = "Held";
    AddPictureFrame(held, 20, 10, clRed);
    held.Motion().AddStepWith(HoldAt(30, 20), &held);
    TSprite& moving = *scene.AddSprite(index);
    moving.Name = "Moving";
    AddPictureFrame(moving, 16, 8, clBlue);
    moving.Motion().AddStepWith(LineFrom(100, 60, 180, 80, 2), &moving);
  });
  const std::string original = TempDir::ReadFile(path);
  TAnimationWindow* window = OpenWindow(path);
  TAnimatedScene& scene = *window->Scene();
  const std::string opened = ProjectBytes(scene);

  // Drag the held sprite 20 pixels right, then widen it by 10.
  Click(window->PanelAnimation, OnCanvas(*window, 40, 25));
  TSelectionBox& box = *window->SpriteSelectionBox;
  Drag(&box, BoxMiddle(box), QPoint(20, 0));
  EXPECT_EQ(scene.Sprite(0).DrawnRect, Rect(50, 20, 70, 30));
  const std::string dragged = ProjectBytes(scene);
  Drag(&box, QPoint(box.Width() - 4, box.Height() / 2), QPoint(10, 0));
  EXPECT_EQ(scene.Sprite(0).DrawnRect, Rect(50, 20, 80, 30));
  const std::string resized = ProjectBytes(scene);

  // Move the begin point of the other sprite's line step.
  Click(window->PanelAnimation, OnCanvas(*window, 105, 62));
  ASSERT_EQ(host.CurrentSprite(), &scene.Sprite(1));
  TMotionPath& path1 = *window->MotionPath1;
  ASSERT_TRUE(path1.Visible());
  const TPoint handle = path1.BeginHandle();
  Drag(&path1, QPoint(handle.X + 4, handle.Y + 4), QPoint(-30, -20));
  EXPECT_EQ(static_cast<double>(scene.Sprite(1).Motion().Step(0).X1), 70.0);
  EXPECT_EQ(static_cast<double>(scene.Sprite(1).Motion().Step(0).Y1), 40.0);
  EXPECT_EQ(UndoCaptions(*window->Undo()),
            (std::vector<std::string>{"Change Motion", "Change Motion", "Change Motion"}));
  EXPECT_EQ(window->windowTitle(), QString("scenario.GLM *"));

  // Undo twice: the scene is exactly as after the drag.
  window->Undo()->Undo();
  EXPECT_EQ(ProjectBytes(scene), resized);
  window->Undo()->Undo();
  EXPECT_EQ(ProjectBytes(scene), dragged);
  EXPECT_EQ(host.Edit_Undo()->text(), QString("&Undo \"Change Motion\""));
  EXPECT_TRUE(window->Modified());
  window->Undo()->Undo();
  EXPECT_EQ(ProjectBytes(scene), opened);
  EXPECT_FALSE(window->Modified());
  EXPECT_EQ(window->windowTitle(), QString("scenario.GLM"));

  // Drag again and save: the new file, and the old one as the backup.
  Settle();
  Click(window->PanelAnimation, OnCanvas(*window, 40, 25));
  Drag(window->SpriteSelectionBox, BoxMiddle(*window->SpriteSelectionBox), QPoint(20, 0));
  const std::string saved = ProjectBytes(scene);
  ASSERT_TRUE(window->Save());
  EXPECT_TRUE(CheckFileChecksum(path, false));
  EXPECT_EQ(TempDir::ReadFile(dir.File("Backup_of_scenario.GLM")), original);
  EXPECT_FALSE(window->Modified());
  const std::string written = TempDir::ReadFile(path);

  // A save that runs out of space half-way leaves the saved file as it was.
  Drag(window->SpriteSelectionBox, BoxMiddle(*window->SpriteSelectionBox), QPoint(0, 30));
  {
    const FullDisk full(static_cast<rlim_t>(written.size() / 2));
    EXPECT_FALSE(window->Save());
  }
  EXPECT_EQ(TempDir::ReadFile(path), written);
  EXPECT_EQ(TempDir::ReadFile(dir.File("Backup_of_scenario.GLM")), original);
  EXPECT_TRUE(window->Modified());

  // Reopened, the file gives the scene as it was saved.
  TAnimationWindow* reopened = OpenWindow(path);
  EXPECT_EQ(ProjectBytes(*reopened->Scene()), saved);
}

TEST_F(DocumentScenario, AGifAndAnAviOpenIntoNewWindows) {
  const std::string gif = dir.File("anim.gif");
  MakeGif({clRed, clLime, clBlue}, {10, 20, 30})->SaveToFile(gif);
  AviTestFile clip;
  AviTestStream video;
  video.format = DibFormat(8, 6, 24);
  clip.streams = {video};
  for (int i = 0; i < 5; ++i)
    clip.chunks.push_back({"00db", Rows24(8, 6, [&](int, int) { return static_cast<std::uint32_t>(40 * (i + 1)); })});
  const std::string avi = dir.WriteFile("clip.avi", clip.Build());

  TAnimationWindow* first = OpenWindow(gif);
  forms.Expect("FramesIntervalForm").Fill("StepSpinEdit", 2).Fill("FirstStep", 4).Press("OkBtn");
  TAnimationWindow* second = OpenWindow(avi);

  EXPECT_EQ(area.subWindowList().size(), 2);
  EXPECT_EQ(first->Scene()->SpriteCount(), 3);
  EXPECT_EQ(first->windowTitle(), QString("anim.GLM"));
  ASSERT_EQ(second->Scene()->SpriteCount(), 1);
  ASSERT_EQ(second->Scene()->Sprite(0).FrameCount(), 2);
  EXPECT_EQ(second->Scene()->Sprite(0).Frame(0).Picture.Canvas().Pixel(0, 0), static_cast<TColor>(160 << 16));
  EXPECT_EQ(second->windowTitle(), QString("clip.GLM"));
  EXPECT_EQ(host.ActiveAnimationWindow(), second);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(host.recentFiles, (std::vector<std::string>{gif, avi}));
}
