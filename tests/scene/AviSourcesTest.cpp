#include "imaging/AVIFileU.h"
#include "platform/Messages.h"
#include "scene/Frame.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/support/FakeSystemValues.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

// Writes an AVI file of count frames (frame i filled with colour i) at the rate.
std::string WriteAvi(const TempDir& dir, int count, int rate) {
  const TColor colors[] = {clRed, clLime, clBlue, clYellow, clAqua, clFuchsia};
  const std::string name = dir.File("clip.avi");
  TAVIObject avi;
  avi.SetOptionsChosen(true);
  const PAVIFILE file = avi.CreateAVIFile(name, rate);
  TBitmap frame;
  MakeSolid(frame, 8, 6, clRed);
  const PAVISTREAM stream = avi.CreateVideoStream(file, frame);
  for (int i = 0; i < count; ++i) {
    MakeSolid(frame, 8, 6, colors[i % 6]);
    avi.WriteFrame(file, stream, frame, i, 16);
  }
  avi.ReleaseStream(stream);
  avi.CloseAVIFile(file);
  return name;
}

class AviPictures : public testing::Test {
 protected:
  AviPictures() : sprite(&scene) { scene.Width = 100, scene.Height = 60; }

  TempDir dir;
  TAnimatedScene scene;
  TSprite sprite;
};

TEST_F(AviPictures, AClipOfTwentyFiveFramesASecondInAFortyMillisecondSceneGivesDurationOne) {
  const std::string name = WriteAvi(dir, 5, 25);
  scene.Timer().SetInterval(40);
  std::vector<std::pair<WPARAM, LPARAM>> progress;
  TWindowHandle window([&](TMessage& m) { progress.emplace_back(m.WParam, m.LParam); });
  scene.NotifyWindow = window.Handle();
  RecordingUndo undo;
  EXPECT_EQ(sprite.AddPictureFile(name, false, 0, 1, 3, false), 2);
  ASSERT_EQ(sprite.FrameCount(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(sprite.Frame(i).Duration(), 1);
    EXPECT_EQ(sprite.Frame(i).Kind, fkPicture);
    EXPECT_EQ(sprite.Frame(i).FileName, name);
  }
  EXPECT_EQ(sprite.Frame(0).DisplayImage.Pixel(3, 3), clLime);
  EXPECT_EQ(undo.Captions(), std::vector<std::string>{"Add .AVI Frame"});
  EXPECT_EQ(progress.front(), (std::pair<WPARAM, LPARAM>{0, 1}));
  EXPECT_EQ(progress.back(), (std::pair<WPARAM, LPARAM>{1, 1}));
}

TEST_F(AviPictures, NotEnoughMemoryAsksAndNoEndsTheImport) {
  const std::string name = WriteAvi(dir, 4, 10);
  FakeSystemValues system;
  system.physicalMemory = 100;
  ScriptedUiServices ui;
  ui.messageAnswers.push_back(IDNO);
  EXPECT_EQ(sprite.AddPictureFile(name, false, 0, 0, 4, false), -1);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].caption, "Warning");
  EXPECT_EQ(ui.messages[0].text,
            "Unsufficient memory to load AVI file. You need at least  MB of RAM to load whole file.\r"
            "Please try to load the file partially or add some physical memory into your computer.\r"
            "Do you want to proceed anyway?");
  EXPECT_EQ(ui.messages[0].flags & (MB_TYPEMASK | MB_DEFMASK), static_cast<unsigned>(MB_YESNO | MB_DEFBUTTON2));
  EXPECT_EQ(sprite.FrameCount(), 1);  // only the empty frame that every sprite keeps
}

TEST_F(AviPictures, AKeptClipShowsFrame1PlaysByTimeStartsAgainPastItsEndAndIsCopiedWithItsFrame) {
  FakeSystemValues system;
  system.micros = 5'000'000;
  const std::string name = WriteAvi(dir, 3, 10);  // 100 ms a frame
  ASSERT_EQ(sprite.AddPictureFile(name, false, 0, -1, -1, true), 0);
  ASSERT_EQ(sprite.FrameCount(), 1);
  TFrame& frame = sprite.Frame(0);
  EXPECT_EQ(frame.SourceKind, fskAvi);
  EXPECT_TRUE(frame.PlaysKeptSource());
  // Clip frames count from the stream's first frame, 0; a kept clip starts at frame 1.
  EXPECT_EQ(frame.DisplayImage.Pixel(3, 3), clLime);
  system.AdvanceMilliseconds(210);
  frame.AdvanceSource(-1);
  EXPECT_EQ(frame.ImageChanged, 1);
  EXPECT_EQ(frame.DisplayImage.Pixel(3, 3), clBlue);
  frame.AdvanceSource(-1);
  EXPECT_EQ(frame.ImageChanged, 0) << "the frame due is the one shown";
  system.AdvanceMilliseconds(1000);
  frame.AdvanceSource(-1);
  EXPECT_EQ(frame.DisplayImage.Pixel(3, 3), clLime);
  EXPECT_TRUE(frame.TakeSourceWrap());
  EXPECT_FALSE(frame.TakeSourceWrap());
  frame.AdvanceSource(2);
  EXPECT_EQ(frame.ImageChanged, 1);
  EXPECT_EQ(frame.DisplayImage.Pixel(3, 3), clBlue);
  TFrame copy(&sprite);
  copy.Assign(frame);
  EXPECT_EQ(copy.SourceKept, 1);
  EXPECT_NE(copy.AviSource(), nullptr);
}

TEST_F(AviPictures, AnAviBackgroundShowsTheFirstFrame) {
  const std::string name = WriteAvi(dir, 2, 10);
  scene.SetBackground(false, bgmFillAndPicture, name, clWhite, clWhite, ppStretched, nullptr);
  EXPECT_EQ(scene.BackgroundBitmap.Pixel(50, 30), clRed);
}

}  // namespace
