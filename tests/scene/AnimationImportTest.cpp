#include "imaging/GifUnit.h"
#include "imaging/utils.h"
#include "platform/Messages.h"
#include "scene/Sounds.h"
#include "tests/scene/ProjectTestSupport.h"
#include "tests/support/AviTestFiles.h"
#include "tests/support/FakeSystemValues.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

struct GifImage {
  TColor color;
  int delay;
  int disposal = 2;
  int left = 0, top = 0;
  bool transparent = false;
};

std::string WriteGif(const TempDir& dir, const std::vector<GifImage>& images, const std::string& name = "anim.gif") {
  TGifFile gif;
  for (const GifImage& wanted : images) {
    TBitmap image;
    image.SetPixelFormat(pf8bit);
    image.Canvas().Brush().Color = wanted.color;
    image.SetSize(6, 4);
    image.Canvas().FillRect(Rect(0, 0, 6, 4));
    gif.AddGraphic(image);
    TGifSubImage& sub = *gif.GetSubImage(gif.ImageCount());
    sub.SetDelay(wanted.delay);
    sub.SetDisposal(wanted.disposal);
    sub.SetLeft(wanted.left);
    sub.SetTop(wanted.top);
    if (wanted.transparent) sub.SetTransparentColor(wanted.color);
  }
  const std::string path = dir.File(name);
  gif.SaveToFile(path);
  return path;
}

class AnimationImport : public testing::Test {
 protected:
  AnimationImport() {
    CancelFlag = 0;
    scene.Timer().SetInterval(100);
    window = std::make_unique<TWindowHandle>([this](TMessage& m) {
      if (m.Msg != WM_LOADPROGRESS) return;
      progress.emplace_back(m.WParam, m.LParam);
      if (cancelAt >= 0 && static_cast<int>(m.WParam) == cancelAt && m.LParam != 1) CancelFlag = 1;
    });
    scene.NotifyWindow = window->Handle();
  }
  ~AnimationImport() override { CancelFlag = 0; }

  using P = std::pair<WPARAM, LPARAM>;
  ScriptedUiServices ui;
  TempDir dir;
  TAnimatedScene scene;
  std::vector<P> progress;
  int cancelAt = -1;
  std::unique_ptr<TWindowHandle> window;
};

// ---- GIF ----------------------------------------------------------------------------------------------------

TEST_F(AnimationImport, EachGifImageBecomesASpriteShownForItsOwnRunOfSteps) {
  const std::string path = WriteGif(dir, {{clRed, 10}, {clLime, 20}, {clBlue, 30}});
  scene.ImportAnimation(path, 0, 0);
  EXPECT_EQ(scene.Failed, 0);
  ASSERT_EQ(scene.SpriteCount(), 3);
  const int durations[] = {1, 2, 3};
  const std::pair<int, int> intervals[] = {{1, 2}, {3, 5}, {6, 9}};
  for (int i = 0; i < 3; ++i) {
    TSprite& sprite = scene.Sprite(i);
    ASSERT_EQ(sprite.FrameCount(), 1);
    EXPECT_EQ(sprite.Frame(0).Duration(), durations[i]);
    EXPECT_EQ(sprite.Frame(0).Kind, fkPicture);
    EXPECT_EQ(sprite.Frame(0).FileName, path);
    ASSERT_EQ(sprite.IntervalCount(), 1);
    EXPECT_EQ(std::pair(sprite.Interval(0).StartStep, sprite.Interval(0).EndStep), intervals[i]);
    ASSERT_EQ(sprite.Motion().StepCount(), 1);
    EXPECT_EQ(sprite.Motion().Step(0).Kind, mskHold);
    EXPECT_EQ(sprite.Motion().Step(0).Duration, -1);
  }
  EXPECT_EQ(scene.StepCount, 9);
  EXPECT_EQ(scene.Width, 6);
  EXPECT_EQ(scene.Height, 4);
  EXPECT_EQ(scene.BackgroundMode, bgmFillAndPicture);
  EXPECT_EQ(progress, (std::vector<P>{P{0, 1}, P{1, 2}, P{2, 2}, P{3, 2}}));
}

TEST_F(AnimationImport, ADelayBelowFiveCountsAsFiveAndAZeroDurationBecomesFour) {
  scene.ImportAnimation(WriteGif(dir, {{clRed, 0}, {clBlue, 3}}), 0, 0);
  ASSERT_EQ(scene.SpriteCount(), 2);
  EXPECT_EQ(scene.Sprite(0).Frame(0).Duration(), 4);
  EXPECT_EQ(scene.Sprite(1).Frame(0).Duration(), 4);
  scene.Timer().SetInterval(0);
  TAnimatedScene other;
  other.Timer().SetInterval(0);
  other.ImportAnimation(WriteGif(dir, {{clRed, 50}}, "b.gif"), 0, 0);
  EXPECT_EQ(other.Sprite(0).Frame(0).Duration(), 1) << "without a step time the duration stays";
}

TEST_F(AnimationImport, AnImageThatIsNotRemovedStaysUntilStep1000) {
  scene.ImportAnimation(WriteGif(dir, {{clRed, 10, 1}, {clBlue, 10}}), 0, 0);
  ASSERT_EQ(scene.SpriteCount(), 2);
  EXPECT_EQ(scene.Sprite(0).Interval(0).EndStep, 1000);
  EXPECT_EQ(scene.Sprite(1).Interval(0).StartStep, 3);
}

TEST_F(AnimationImport, ImagesArePlacedAtTheirOffsetsAndTheSceneCoversThemAll) {
  scene.ImportAnimation(WriteGif(dir, {{clRed, 10}, {clBlue, 10, 2, 20, 5}}), 0, 0);
  ASSERT_EQ(scene.SpriteCount(), 2);
  const TMovingStep& hold = scene.Sprite(1).Motion().Step(0);
  EXPECT_DOUBLE_EQ(hold.StartX, 20);
  EXPECT_DOUBLE_EQ(hold.StartY, 5);
  EXPECT_EQ(scene.Sprite(1).Motion().PositionUnits, 1);
  EXPECT_EQ(scene.Width, 26);
  EXPECT_EQ(scene.Height, 9);
}

TEST_F(AnimationImport, ATransparentFirstImageMakesTheBackgroundTransparent) {
  scene.ImportAnimation(WriteGif(dir, {{clLime, 10, 2, 0, 0, true}, {clRed, 10}}), 0, 0);
  ASSERT_EQ(scene.SpriteCount(), 2);
  EXPECT_EQ(scene.TransparentBackground, 1);
  EXPECT_EQ(scene.TransparentColor, clLime);
  EXPECT_EQ(scene.StartColor, clLime);
  EXPECT_EQ(scene.FinishColor, clLime);
  EXPECT_TRUE(scene.Sprite(0).Frame(0).Transparent());
}

TEST_F(AnimationImport, FirstAndCountChooseTheImages) {
  const std::string path = WriteGif(dir, {{clRed, 10}, {clLime, 10}, {clBlue, 10}, {clYellow, 10}});
  scene.ImportAnimation(path, 2, 1);
  ASSERT_EQ(scene.SpriteCount(), 2);
  EXPECT_EQ(scene.Sprite(0).Frame(0).Picture.Pixel(1, 1), clLime);
  EXPECT_EQ(scene.Sprite(1).Frame(0).Picture.Pixel(1, 1), clBlue);
}

TEST_F(AnimationImport, TheCancelFlagStopsAfterTheCurrentImage) {
  cancelAt = 2;
  scene.ImportAnimation(WriteGif(dir, {{clRed, 10}, {clLime, 10}, {clBlue, 10}}), 0, 0);
  EXPECT_EQ(scene.Failed, 0);
  EXPECT_EQ(scene.SpriteCount(), 2);
  EXPECT_EQ(progress, (std::vector<P>{P{0, 1}, P{1, 2}, P{2, 2}, P{1, 1}}));
  EXPECT_EQ(scene.StepCount, 4);
}

TEST_F(AnimationImport, AFileOfAnotherKindOrWithoutImagesFails) {
  TBitmap bitmap;
  MakeSolid(bitmap, 2, 2, clRed);
  const std::string png = dir.File("picture.png");
  bitmap.SaveToFile(png);
  scene.ImportAnimation(png, 0, 0);
  EXPECT_EQ(scene.Failed, 1);
  EXPECT_EQ(scene.LoadErrorText, "Cannot export animation.");

  TAnimatedScene empty;
  Bytes gif;
  gif.raw("GIF89a").u8(10).u8(0).u8(10).u8(0).u8(0).u8(0).u8(0).u8(0x3B);
  empty.ImportAnimation(dir.WriteFile("empty.gif", gif.str()), 0, 0);
  EXPECT_EQ(empty.Failed, 1);
  EXPECT_EQ(empty.LoadErrorText, "Cannot export animation.");

  TAnimatedScene missing;
  missing.ImportAnimation(dir.File("missing.gif"), 0, 0);
  EXPECT_EQ(missing.Failed, 1);
}

// ---- AVI -------------------------------------------------------------------------------------------------------

std::string WriteClip(const TempDir& dir, int frames, int rate, bool audio) {
  AviTestFile f;
  AviTestStream video;
  video.format = DibFormat(8, 6, 24);
  video.rate = static_cast<std::uint32_t>(rate);
  f.streams.push_back(video);
  if (audio) {
    AviTestStream sound;
    sound.type = "auds";
    sound.format = PcmFormat(1, 8000, 8);
    f.streams.push_back(sound);
  }
  for (int i = 0; i < frames; ++i) {
    const std::uint32_t color = 0x010000u * static_cast<std::uint32_t>(20 * i);
    f.chunks.push_back({"00db", Rows24(8, 6, [&](int, int) { return color; })});
    if (audio) f.chunks.push_back({"01wb", "abcd"});
  }
  return dir.WriteFile("clip.avi", f.Build());
}

TEST_F(AnimationImport, AnAviBecomesOneSpriteOfClipFramesAndSetsTheStepTime) {
  scene.Timer().SetInterval(67);
  scene.ImportAnimation(WriteClip(dir, 10, 10, false), 0, 10);
  EXPECT_EQ(scene.Failed, 0);
  ASSERT_EQ(scene.SpriteCount(), 1);
  TSprite& sprite = scene.Sprite(0);
  ASSERT_EQ(sprite.FrameCount(), 10);
  EXPECT_EQ(sprite.Frame(0).Duration(), 1);
  EXPECT_EQ(sprite.Frame(3).Picture.Pixel(0, 0), RGB(60, 0, 0));
  EXPECT_FALSE(sprite.Frame(3).Transparent());
  EXPECT_EQ(sprite.Frame(3).TransparentColor(), 0xFFFFFFu);
  EXPECT_EQ(sprite.Motion().StepCount(), 1);
  EXPECT_EQ(scene.Timer().Interval(), 100);
  EXPECT_EQ(scene.StepCount, 11);
  EXPECT_EQ(scene.Width, 8);
  EXPECT_EQ(scene.Height, 6);
  EXPECT_TRUE(scene.Sounds.empty());
  EXPECT_EQ(progress.front(), P(0, 1));
  EXPECT_EQ(progress.back(), P(9, 9));
}

TEST_F(AnimationImport, AnAvisAudioBecomesTheScenesSoundWithoutUndo) {
  RecordingUndo undo;
  scene.ImportAnimation(WriteClip(dir, 3, 5, true), 0, 3);
  EXPECT_EQ(scene.Failed, 0);
  ASSERT_EQ(scene.Sounds.size(), 1u);
  TAudioFile& sound = *scene.Sounds[0];
  EXPECT_EQ(sound.FileName, dir.File("clip.avi"));
  EXPECT_EQ(sound.DeviceType, 1);
  ASSERT_EQ(sound.ItemCount(), 1);
  EXPECT_EQ(sound.Item(0).StartStep, 1);
  EXPECT_EQ(sound.Item(0).StopStep, 0);
  EXPECT_EQ(sound.Item(0).StopFlag, 0);
  for (const RecordedUndo& r : undo.records) EXPECT_NE(r.recordKind, urkSound);
  EXPECT_EQ(CurrentUndo, &undo);
}

TEST_F(AnimationImport, TheDefaultsTakeOneFrameAndCountsPastTheClipAreCut) {
  scene.ImportAnimation(WriteClip(dir, 4, 10, false), -1, -1);
  ASSERT_EQ(scene.SpriteCount(), 1);
  EXPECT_EQ(scene.Sprite(0).FrameCount(), 1);
  EXPECT_EQ(scene.Sprite(0).Frame(0).Picture.Pixel(0, 0), RGB(20, 0, 0));
  TAnimatedScene more;
  more.ImportAnimation(WriteClip(dir, 4, 10, false), 2, 1000000);
  ASSERT_EQ(more.SpriteCount(), 1);
  EXPECT_EQ(more.Sprite(0).FrameCount(), 2);
}

TEST_F(AnimationImport, AClipLargerThanTheMemoryAsksFirst) {
  FakeSystemValues system;
  system.physicalMemory = 1000;
  const std::string path = WriteClip(dir, 10, 10, false);
  ui.messageAnswers.push_back(IDNO);
  scene.ImportAnimation(path, 0, 10);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text,
            "Unsufficient memory to load AVI file. You need at least  MB of RAM to load whole file.\r"
            "Please try to load the file partially or add some physical memory into your computer.\r\r"
            "Do you want to proceed anyway?");
  EXPECT_EQ(ui.messages[0].caption, "Warning");
  EXPECT_EQ(ui.messages[0].flags, static_cast<unsigned>(MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION));
  EXPECT_EQ(ui.messages[0].owner, scene.NotifyWindow);
  EXPECT_EQ(scene.Failed, 1);
  EXPECT_EQ(scene.SpriteCount(), 0);
  ui.messageAnswers.push_back(IDYES);
  scene.ImportAnimation(path, 0, 10);
  EXPECT_EQ(scene.Failed, 0);
  EXPECT_EQ(scene.Sprite(0).FrameCount(), 10);
}

TEST_F(AnimationImport, AnAviWithoutVideoFails) {
  AviTestFile f;
  AviTestStream sound;
  sound.type = "auds";
  sound.format = PcmFormat(1, 8000, 8);
  f.streams = {sound};
  f.chunks = {{"00wb", "abcd"}};
  scene.ImportAnimation(dir.WriteFile("sound.avi", f.Build()), 0, 1);
  EXPECT_EQ(scene.Failed, 1);
  EXPECT_EQ(scene.LoadErrorText, "Cannot export animation.");
}

}  // namespace
