#include "platform/Messages.h"
#include "scene/Sounds.h"
#include "tests/scene/ProjectTestSupport.h"
#include "tests/support/AviTestFiles.h"
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

// A GIF file of 6 x 4 images, each in one colour.
std::string WriteGif(const TempDir& dir, const std::vector<GifImage>& images, const std::string& name = "anim.gif") {
  std::vector<TColor> colors;
  for (const GifImage& image : images) colors.push_back(image.color);
  TGifFilePtr gif = MakeGif(colors);
  for (int i = 0; i < static_cast<int>(images.size()); ++i) {
    const GifImage& wanted = images[static_cast<std::size_t>(i)];
    TGifSubImage& sub = *gif->GetSubImage(i + 1);
    sub.SetDelay(wanted.delay);
    sub.SetDisposal(wanted.disposal);
    sub.SetLeft(wanted.left);
    sub.SetTop(wanted.top);
    if (wanted.transparent) sub.SetTransparentColor(wanted.color);
  }
  gif->SaveToFile(dir.File(name));
  return dir.File(name);
}

// An AVI clip of 8 x 6 frames, frame i filled with red 20 * i, with a sound stream when asked.
std::string WriteClip(const TempDir& dir, int frames, int rate, bool audio) {
  AviTestFile f;
  AviTestStream video, sound;
  video.format = DibFormat(8, 6, 24);
  video.rate = static_cast<std::uint32_t>(rate);
  sound.type = "auds";
  sound.format = PcmFormat(1, 8000, 8);
  f.streams = audio ? std::vector{video, sound} : std::vector{video};
  for (int i = 0; i < frames; ++i) {
    f.chunks.push_back({"00db", Rows24(8, 6, [&](int, int) { return 0x010000u * static_cast<std::uint32_t>(20 * i); })});
    if (audio) f.chunks.push_back({"01wb", "abcd"});
  }
  return dir.WriteFile("clip.avi", f.Build());
}

class AnimationImport : public testing::Test {
 protected:
  AnimationImport() {
    CancelFlag = 0;
    scene.Timer().SetInterval(100);
    scene.NotifyWindow = window.Handle();
  }
  ~AnimationImport() override { CancelFlag = 0; }

  using P = std::pair<WPARAM, LPARAM>;
  ScriptedUiServices ui;
  TempDir dir;
  std::vector<P> progress;
  int cancelAt = -1;
  TWindowHandle window{[this](TMessage& m) {
    if (m.Msg != WM_LOADPROGRESS) return;
    progress.emplace_back(m.WParam, m.LParam);
    if (cancelAt >= 0 && static_cast<int>(m.WParam) == cancelAt && m.LParam != 1) CancelFlag = 1;
  }};
  TAnimatedScene scene;
};

// ---- GIF ----------------------------------------------------------------------------------------------------

TEST_F(AnimationImport, EachGifImageBecomesASpriteShownForItsOwnRunOfSteps) {
  const std::string path = WriteGif(dir, {{clRed, 10}, {clLime, 20}, {clBlue, 30}});
  scene.ImportAnimation(path, 0, 0);
  EXPECT_EQ(scene.Failed, 0);
  ASSERT_EQ(scene.SpriteCount(), 3);
  const std::pair<int, int> intervals[] = {{1, 2}, {3, 5}, {6, 9}};
  for (int i = 0; i < 3; ++i) {
    TSprite& sprite = scene.Sprite(i);
    ASSERT_EQ(sprite.FrameCount(), 1);
    EXPECT_EQ(sprite.Frame(0).Duration(), i + 1);
    EXPECT_EQ(sprite.Frame(0).Kind, fkPicture);
    EXPECT_EQ(sprite.Frame(0).FileName, path);
    ASSERT_EQ(sprite.IntervalCount(), 1);
    EXPECT_EQ(std::pair(sprite.Interval(0).StartStep, sprite.Interval(0).EndStep), intervals[i]);
    ASSERT_EQ(sprite.Motion().StepCount(), 1);
    EXPECT_EQ(sprite.Motion().Step(0).Kind, mskHold);
    EXPECT_EQ(sprite.Motion().Step(0).Duration, -1);
  }
  EXPECT_EQ(scene.StepCount, 9);
  EXPECT_EQ(std::pair(scene.Width, scene.Height), std::pair(6, 4));
  EXPECT_EQ(scene.BackgroundMode, bgmFillAndPicture);
  EXPECT_EQ(progress, (std::vector<P>{P{0, 1}, P{1, 2}, P{2, 2}, P{3, 2}}));
}

TEST_F(AnimationImport, ADelayBelowFiveCountsAsFiveAndAZeroDurationBecomesFour) {
  scene.ImportAnimation(WriteGif(dir, {{clRed, 0}, {clBlue, 3}}), 0, 0);
  ASSERT_EQ(scene.SpriteCount(), 2);
  EXPECT_EQ(scene.Sprite(0).Frame(0).Duration(), 4);
  EXPECT_EQ(scene.Sprite(1).Frame(0).Duration(), 4);
  TAnimatedScene other;
  other.Timer().SetInterval(0);
  other.ImportAnimation(WriteGif(dir, {{clRed, 50}}, "b.gif"), 0, 0);
  EXPECT_EQ(other.Sprite(0).Frame(0).Duration(), 1) << "without a step time the duration stays";
}

TEST_F(AnimationImport, ImagesNotRemovedStayUntilStep1000AndTheSceneCoversEveryOffsetPlusSize) {
  // The first image is also transparent: the background takes its colour.
  scene.ImportAnimation(WriteGif(dir, {{clLime, 10, 1, 0, 0, true}, {clBlue, 10, 2, 20, 5}}), 0, 0);
  ASSERT_EQ(scene.SpriteCount(), 2);
  EXPECT_EQ(scene.Sprite(0).Interval(0).EndStep, 1000);
  EXPECT_EQ(scene.Sprite(1).Interval(0).StartStep, 3);
  const TMovingStep& hold = scene.Sprite(1).Motion().Step(0);
  EXPECT_DOUBLE_EQ(hold.StartX, 20);
  EXPECT_DOUBLE_EQ(hold.StartY, 5);
  EXPECT_EQ(scene.Sprite(1).Motion().PositionUnits, 1);
  EXPECT_EQ(std::pair(scene.Width, scene.Height), std::pair(26, 9));
  EXPECT_TRUE(scene.Sprite(0).Frame(0).Transparent());
  EXPECT_EQ(scene.TransparentBackground, 1);
  EXPECT_EQ(std::tuple(scene.TransparentColor, scene.StartColor, scene.FinishColor), std::tuple(clLime, clLime, clLime));
}

TEST_F(AnimationImport, FirstAndCountChooseTheImages) {
  scene.ImportAnimation(WriteGif(dir, {{clRed, 10}, {clLime, 10}, {clBlue, 10}, {clYellow, 10}}), 2, 1);
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
  bitmap.SaveToFile(dir.File("picture.png"));
  const std::string emptyGif = Bytes().raw("GIF89a").u8(10).u8(0).u8(10).u8(0).u8(0).u8(0).u8(0).u8(0x3B).str();
  AviTestFile soundOnly;
  AviTestStream sound;
  sound.type = "auds";
  sound.format = PcmFormat(1, 8000, 8);
  soundOnly.streams = {sound};
  soundOnly.chunks = {{"00wb", "abcd"}};
  for (const std::string& path : {dir.File("picture.png"), dir.WriteFile("empty.gif", emptyGif),
                                  dir.WriteFile("sound.avi", soundOnly.Build())}) {
    TAnimatedScene failing;
    failing.ImportAnimation(path, 0, 1);
    EXPECT_EQ(failing.Failed, 1) << path;
    EXPECT_EQ(failing.LoadErrorText, "Cannot export animation.") << path;
  }
  TAnimatedScene missing;
  missing.ImportAnimation(dir.File("missing.gif"), 0, 0);
  EXPECT_EQ(missing.Failed, 1);
}

// ---- AVI -------------------------------------------------------------------------------------------------------

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
  EXPECT_EQ(std::pair(scene.Width, scene.Height), std::pair(8, 6));
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
  EXPECT_EQ(std::tuple(sound.Item(0).StartStep, sound.Item(0).StopStep, sound.Item(0).StopFlag), std::tuple(1, 0, 0));
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
  ui.messageAnswers = {IDNO, IDYES};
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
  scene.ImportAnimation(path, 0, 10);
  EXPECT_EQ(scene.Failed, 0);
  EXPECT_EQ(scene.Sprite(0).FrameCount(), 10);
}

}  // namespace
