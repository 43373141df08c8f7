#include "dialogs/core/ExportEngine.h"

#include "dialogs/core/ExportFrameList.h"
#include "dialogs/core/ExportProgress.h"
#include "imaging/AVIFileU.h"
#include "imaging/GifUnit.h"
#include "imaging/utils.h"
#include "platform/Messages.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"
#include "tests/dialogs/core/ExportTestSupport.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/support/ErrorText.h"
#include "tests/support/MotionSteps.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

namespace {

// The first pixel in which two 24-bit pictures differ, or "".
std::string FirstDifference(const TBitmap& a, const TBitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return "sizes differ";
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x)
      if (a.Pixel(x, y) != b.Pixel(x, y)) return "pixel " + std::to_string(x) + "," + std::to_string(y);
  return "";
}

class Recorder : public TExportProgress {
 public:
  void ShowLabel(const std::string& text) override { labels.push_back(text); }
  void SetProgress(int done, int total) override {
    calls.push_back({done, total});
    if (cancelAt && *cancelAt == static_cast<int>(calls.size())) CancelFlag = 1;
  }
  std::vector<std::string> labels;
  std::vector<std::pair<int, int>> calls;
  std::optional<int> cancelAt;  // sets the cancel flag at this call (1-based)
};

// A 60 x 20 white scene of 12 steps, 67 ms per step, with a red block moving
// right by 4 pixels a step and a blue block that stays.
class ExportScene : public testing::Test {
 protected:
  ExportScene() : engine(scene, settings) {
    CancelFlag = 0;
    scene.Width = 60;
    scene.Height = 20;
    scene.FillColor = clWhite;
    scene.SetBackground(false, bgmFillAndPicture, "", clWhite, clWhite, ppNone, nullptr);
    MakeSolid(output, 60, 20, clWhite);
    scene.OutputBitmap = &output;
    scene.StepCount = 12;
    scene.Timer().SetInterval(67);
    moving = &AddBlock(8, 8, clRed);
    moving->Motion().AddStepWith(LineFrom(0, 4, 56, 4, 4), moving);
    TSprite& still = AddBlock(6, 6, clBlue);
    still.Motion().AddStepWith(HoldAt(40, 12), &still);
    engine.OutputWidth = 60;
    engine.OutputHeight = 20;
    engine.Progress = &progress;
  }
  ~ExportScene() override { CancelFlag = 0; }

  TSprite& AddBlock(int w, int h, TColor color) {
    int index = 0;
    TSprite& sprite = *scene.AddSprite(index);
    TBitmap picture;
    MakeSolid(picture, w, h, color);
    sprite.AddFrame()->SetPicture(picture, false, 0, -1, -1);
    return sprite;
  }
  // What the scene shows at step s.
  void ShowStep(int s, TBitmap& picture) {
    scene.GotoFrame(s + 1);
    scene.BackgroundDrawn = 0;
    scene.NextFrame();
    picture.Assign(&output);
  }
  void ExportInterval(int first, int count) {
    settings.WholeAnimation = 0;
    settings.FirstStep = first;
    settings.NumberOfFrames = count;
  }
  std::vector<std::uint8_t> ReadFile(const std::string& name) {
    const std::string text = TempDir::ReadFile(name);
    return std::vector<std::uint8_t>(text.begin(), text.end());
  }
  // The GIF written from an interval, read back with our reader.
  std::unique_ptr<TGifFile> ExportGif(int first, int count) {
    engine.SetExportName(dir.File("out.gif"));
    ExportInterval(first, count);
    engine.BuildGifFrames(false);
    EXPECT_EQ(engine.SaveGif(), TExportOutcome::Done);
    return ReadGif(ReadFile(dir.File("out.gif")));
  }

  TempDir dir;
  TAnimatedScene scene;
  TBitmap output;
  TExportSettings settings;
  TExportEngine engine;
  Recorder progress;
  TSprite* moving = nullptr;
};

}  // namespace

// ---- The steps exported ----------------------------------------------------------------------------

TEST_F(ExportScene, AnIntervalExportsExactlyFirstStepToFirstStepPlusNMinusOneAndThePreviewsShowThem) {
  TBitmap step[13];
  for (int s = 1; s <= 12; ++s) ShowStep(s, step[s]);
  ASSERT_NE(FirstDifference(step[2], step[3]), "");
  ASSERT_NE(FirstDifference(step[5], step[6]), "");
  ExportInterval(3, 3);
  engine.CreateFrames();
  ASSERT_EQ(engine.Frames().size(), 3u);
  EXPECT_EQ(engine.Frames()[1]->Delay, 6);  // 67 ms
  EXPECT_EQ(progress.labels, std::vector<std::string>{"Creating Frames..."});
  EXPECT_EQ(progress.calls, (std::vector<std::pair<int, int>>{{0, 1}, {0, 2}, {1, 2}, {2, 2}}));
  EXPECT_EQ(FirstDifference(*engine.Frames()[0]->Bitmap, step[3]), "");
  EXPECT_EQ(FirstDifference(*engine.Frames()[2]->Bitmap, step[5]), "");
  TBitmap first, last;
  engine.PreviewFirstStep(first);
  engine.PreviewLastStep(last);
  EXPECT_EQ(FirstDifference(first, step[3]), "");
  EXPECT_EQ(FirstDifference(last, step[5]), "");
  settings.WholeAnimation = 1;  // from step 1, whatever the interval says
  engine.CreateFrames();
  ASSERT_EQ(engine.Frames().size(), 12u);
  EXPECT_EQ(FirstDifference(*engine.Frames()[0]->Bitmap, step[1]), "");
  EXPECT_EQ(FirstDifference(*engine.Frames()[11]->Bitmap, step[12]), "");
}

TEST_F(ExportScene, TheIntervalIsClampedToTheScenesSteps) {
  ExportInterval(40, 0);
  EXPECT_EQ(engine.FirstStep(), 12);
  EXPECT_EQ(engine.StepsToExport(), 1);
  engine.SetWholeAnimation(true);
  EXPECT_EQ(engine.FirstStep(), 1);
  EXPECT_EQ(engine.StepsToExport(), 12);
  EXPECT_EQ(settings.NumberOfFrames, 12);
}

TEST_F(ExportScene, FramesAreScaledToTheOutputSizeEitherWay) {
  ExportInterval(1, 1);
  engine.OutputWidth = 30;
  engine.OutputHeight = 10;
  for (int resample : {0, 1}) {
    settings.ResampleKind = static_cast<std::uint8_t>(resample);
    engine.CreateFrames();
    EXPECT_EQ(engine.Frames()[0]->Bitmap->Width(), 30);
    EXPECT_EQ(engine.Frames()[0]->Bitmap->Height(), 10);
    EXPECT_EQ(engine.Frames()[0]->Bitmap->Pixel(21, 7), clBlue);  // the still block, halved
  }
}

TEST_F(ExportScene, TheSceneIsPutBackAsItWasAndAFinishedPlayOnceStillExports) {
  int recomputes = 0;
  engine.RequestSceneRecompute = [&] { ++recomputes; };
  TBitmap step2, step6;
  ShowStep(2, step2);
  ShowStep(6, step6);  // leaves the scene at step 7 showing step 6
  const int step = scene.CurrentStep;
  scene.ResampledStretching = 0;
  scene.SetLoopCount(0);
  scene.LoopsLeft = 0;  // a finished play-once
  scene.NotifyWindow = 77;
  scene.Timer().SetEnabled(true);
  output.Canvas().Brush().Color = clBlack;
  output.Canvas().FillRect(Rect(0, 0, 60, 20));
  ExportInterval(2, 3);
  engine.CreateFrames();
  ASSERT_EQ(engine.Frames().size(), 3u);
  EXPECT_EQ(FirstDifference(*engine.Frames()[0]->Bitmap, step2), "");
  EXPECT_EQ(scene.CurrentStep, step);
  EXPECT_EQ(scene.OutputBitmap, &output);
  EXPECT_EQ(scene.ResampledStretching, 0);
  EXPECT_EQ(scene.LoopsLeft, 0);
  EXPECT_EQ(scene.NotifyWindow, 77);
  EXPECT_TRUE(scene.Timer().Enabled());
  EXPECT_EQ(recomputes, 1);
  EXPECT_EQ(FirstDifference(output, step6), "");  // drawn again
  scene.Timer().SetEnabled(false);
}

TEST_F(ExportScene, BmpAndJpegNamesStartWithOneFrame) {
  engine.SetExportName("/tmp/a/out.bmp");
  EXPECT_EQ(engine.Format(), efBmp);
  EXPECT_EQ(engine.StepsToExport(), 1);
  settings.WholeAnimation = 1;
  engine.SetExportName("out.JPG");
  EXPECT_EQ(engine.Format(), efJpg);
  EXPECT_EQ(engine.StepsToExport(), 1);
  ExportInterval(2, 5);
  engine.SetExportName("out.jpg");
  EXPECT_EQ(engine.StepsToExport(), 5);  // a chosen interval stays
  engine.SetExportName("out");
  EXPECT_EQ(engine.Format(), efGif);
  EXPECT_EQ(engine.ExportName(), "out.gif");
}

TEST_F(ExportScene, AStepThatCannotBeComposedEndsTheExportWithItsErrorAndWritesNothing) {
  // A sprite that the anti-aliased resampling cannot draw from step 3 on:
  // zoomed beyond any bitmap the program can hold.
  ScriptedUiServices ui;
  TSprite& huge = AddBlock(100, 100, clGreen);
  huge.Motion().AddStepWith(HoldAt(0, 0, 2), &huge);
  TMovingStepValues zoomed = HoldAt(0, 0);
  zoomed.ZoomXStart = zoomed.ZoomXEnd = zoomed.ZoomYStart = zoomed.ZoomYEnd = 800;
  huge.Motion().AddStepWith(zoomed, &huge);
  const std::string message = "Cannot draw streatched non transparent image.";
  settings.ResampleKind = 0;
  engine.SetExportName(dir.File("zoomed.gif"));
  ExportInterval(1, 5);
  EXPECT_EQ(ErrorText<Exception>([&] { engine.BuildGifFrames(false); }), message);
  EXPECT_EQ(progress.calls.back(), (std::pair<int, int>{1, 1}));
  EXPECT_EQ(scene.OutputBitmap, &output);
  engine.SetExportName(dir.File("zoomed.avi"));
  ui.videoCompressionAnswers.push_back(VideoCompression{0, 7500});
  EXPECT_EQ(ErrorText<Exception>([&] { engine.Finish(); }), message);
  engine.SetExportName(dir.File("zoomed.bmp"));
  ExportInterval(3, 1);
  EXPECT_EQ(ErrorText<Exception>([&] { engine.Finish(); }), message);
  EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{});
  EXPECT_EQ(scene.DrawFailure, "");  // the scene's own step was drawn again

  ExportInterval(1, 2);  // the steps before it export
  engine.SetExportName(dir.File("early.gif"));
  engine.BuildGifFrames(false);
  EXPECT_EQ(engine.Finish(), TExportOutcome::Done);
  settings.ResampleKind = 1;  // stretching draws only the part that shows
  engine.SetExportName(dir.File("stretched.bmp"));
  ExportInterval(3, 1);
  EXPECT_EQ(engine.Finish(), TExportOutcome::Done);
  TBitmap picture;
  picture.LoadFromFile(dir.File("stretched.bmp"));
  EXPECT_EQ(picture.Pixel(30, 10), clGreen);
}

// ---- GIF --------------------------------------------------------------------------------------------------

TEST_F(ExportScene, AGifExportWritesTheStepsAsChangedRectanglesAndItsEstimateFollowsChanges) {
  scene.ReservedSettings.GifComment() = {"made here", "second line"};
  engine.SetExportName(dir.File("banner"));
  settings.WholeAnimation = 1;
  const TGifSizeEstimate estimate = engine.BuildGifFrames(false);
  EXPECT_EQ(estimate.Outcome, TExportOutcome::Done);
  EXPECT_EQ(estimate.SizeText, GifSizeText(static_cast<double>(estimate.Bytes)));
  EXPECT_EQ(estimate.ChangeText, "0 ");
  EXPECT_EQ(estimate.TimeText, " less than 1 second");
  EXPECT_EQ(engine.Finish(), TExportOutcome::Done);

  const auto bytes = ReadFile(dir.File("banner.gif"));
  EXPECT_EQ(static_cast<std::int64_t>(bytes.size()), estimate.Bytes);
  const auto blocks = GifBlocks(bytes);
  EXPECT_EQ(blocks[blocks.size() - 2].data, "made here\r\nsecond line\r\n");
  auto gif = ReadGif(bytes);
  const auto images = GifImages(*gif);
  ASSERT_EQ(images.size(), 12u);
  EXPECT_EQ(gif->Version(), "89a");
  EXPECT_EQ(gif->ScreenWidth(), 60);
  EXPECT_EQ(images[0]->Width(), 60);
  EXPECT_EQ(images[0]->Height(), 20);
  EXPECT_EQ(images[0]->GetDelay(), 6);
  // Later images hold only the moving block's old and new places.
  EXPECT_LT(images[3]->Width(), 20);
  EXPECT_EQ(images[3]->Height(), 8);
  EXPECT_EQ(images[3]->Top(), 4);
  engine.Frames().pop_back();
  const TGifSizeEstimate smaller = engine.BuildGifFrames(true);
  EXPECT_LT(smaller.Bytes, estimate.Bytes);
  EXPECT_EQ(smaller.ChangeText, SizeChangeText(static_cast<double>(smaller.Bytes - estimate.Bytes)));
}

TEST_F(ExportScene, StepsThatChangeNothingBecomeOneImageWithTheirDelaysAddedAndNoLoopBlock) {
  moving->Motion().ChangeStep(0, HoldAt(0, 4), moving);
  auto gif = ExportGif(1, 5);
  const auto images = GifImages(*gif);
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0]->GetDelay(), 30);
  for (const auto& b : GifBlocks(ReadFile(dir.File("out.gif")))) EXPECT_NE(b.label, 0xFF);
}

TEST_F(ExportScene, ThePipelineReportsItsStepsAndNoFramesCannotMakeAGif) {
  settings.ReductionFlags = 7;
  engine.SetExportName("unused.gif");
  ExportInterval(1, 2);
  engine.BuildGifFrames(false);
  // The frames are cropped, keyed and dropped while they are created.
  EXPECT_EQ(progress.labels, (std::vector<std::string>{"Creating Frames...", "Calculating Palette...",
                                                       "Creating GIF image...", "Calculating result size..."}));
  engine.Frames().clear();
  try {
    engine.BuildGifFrames(true);
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Cannot create GIF file");
  }
  EXPECT_EQ(progress.calls.back(), (std::pair<int, int>{1, 1}));
}

TEST_F(ExportScene, RemovingIdenticalPixelsMakesLaterImagesTransparent) {
  settings.ReductionFlags = rfRemoveIdenticalPixels;
  auto gif = ExportGif(1, 3);
  const auto images = GifImages(*gif);
  ASSERT_EQ(images.size(), 3u);
  EXPECT_FALSE(images[0]->Transparent());
  for (int k = 1; k < 3; ++k) {
    ASSERT_TRUE(images[k]->Transparent());
    EXPECT_EQ(images[k]->Width(), 60);  // not cropped
    EXPECT_EQ(images[k]->Pixels()->Data()[14 * 60 + 42], images[k]->TransparentIndex());  // the still block
  }
}

TEST_F(ExportScene, ATransparentSceneKeepsTheFirstImageAndRestoresTheOthers) {
  scene.TransparentBackground = 1;
  scene.TransparentColor = clWhite;
  auto gif = ExportGif(1, 4);
  const auto images = GifImages(*gif);
  ASSERT_EQ(images.size(), 4u);
  for (int k = 0; k < 4; ++k) {
    EXPECT_TRUE(images[k]->Transparent()) << k;
    EXPECT_EQ(images[k]->GetTransparentColor(), clWhite);
    EXPECT_EQ(images[k]->Disposal(), k == 0 ? 1 : 2);
  }
  EXPECT_EQ(images[0]->Pixels()->Data()[0], images[0]->TransparentIndex());
}

TEST_F(ExportScene, ACropWithoutTheTransparentColourStaysOpaque) {
  // A transparent scene whose only change is inside an opaque block.
  scene.TransparentBackground = 1;
  scene.TransparentColor = clWhite;
  moving->Motion().ChangeStep(0, HoldAt(2, 2), moving);
  TBitmap green;
  MakeSolid(green, 8, 8, clGreen);
  moving->Frame(0).SetPicture(green, false, 0, -1, -1);
  green.SetPixel(3, 3, clYellow);
  moving->AddFrame()->SetPicture(green, false, 0, -1, -1);
  engine.SetExportName("unused.gif");
  ExportInterval(1, 2);
  engine.BuildGifFrames(false);
  ASSERT_EQ(engine.Frames().size(), 2u);
  EXPECT_EQ(engine.Frames()[1]->Bitmap->Width(), 2);
  EXPECT_EQ(engine.Frames()[1]->Transparent, 0);
  auto gif = engine.CreateGifFile();
  EXPECT_TRUE(GifImages(*gif)[0]->Transparent());
  EXPECT_FALSE(GifImages(*gif)[1]->Transparent());
}

TEST_F(ExportScene, FinishWritesTheFramesPageEditsAndCodesAgainOnlyWhatTheEditsChanged) {
  settings.ReductionFlags = rfRemoveIdenticalFrames;  // whole frames: every edit below is safe to make
  engine.SetExportName(dir.File("edited.gif"));
  ExportInterval(1, 8);
  engine.BuildGifFrames(false);
  TExportFrameList list(engine.Frames(), engine.Composition());
  ASSERT_EQ(list.Count(), 8);
  list.SetDelay(2, 55);
  list.SetLeft(3, 4);
  list.SetDisposal(1, 2);
  list.SetInterlaced(0, true);  // its rows go in another order: coded again
  list.SetFrameTransparency(4, clWhite, true, -1, -1, -1);
  list.MoveDown(5);
  list.Delete(7);
  ASSERT_EQ(engine.Finish(), TExportOutcome::Done);
  const auto bytes = ReadFile(dir.File("edited.gif"));
  // What coding every image afresh gives.
  EXPECT_EQ(bytes, GifBytes(*engine.CreateGifFile()));
  auto gif = ReadGif(bytes);
  const auto images = GifImages(*gif);
  ASSERT_EQ(images.size(), 7u);
  EXPECT_EQ(images[2]->GetDelay(), 55);
  EXPECT_EQ(images[3]->Left(), 4);
  EXPECT_EQ(images[1]->Disposal(), 2);
  EXPECT_TRUE(images[0]->Interlaced());
  EXPECT_TRUE(images[4]->Transparent());
  EXPECT_EQ(images[4]->GetTransparentColor(), clWhite);
  for (std::size_t k = 0; k < images.size(); ++k) {
    const TBitmap& frame = *engine.Frames()[k]->Bitmap;
    for (int y = 0; y < frame.Height(); y += 3)
      for (int x = 0; x < frame.Width(); x += 3)
        ASSERT_EQ(images[k]->ActiveTable().ColorOf(images[k]->Pixels()->Data()[y * frame.Width() + x]), frame.Pixel(x, y))
            << "image " << k << " at " << x << "," << y;
  }
}

TEST_F(ExportScene, ASlowFadeBelowTheThresholdEndsInTheGifWhereTheSceneEnds) {
  // A black block fading to 70 % over 30 steps: about 2.5 levels a step,
  // each below what counts as a change.
  scene.StepCount = 30;
  TSprite& fading = AddBlock(20, 10, clBlack);
  TMovingStepValues fade = HoldAt(30, 5, 30);
  fade.OpacityStart = 100;
  fade.OpacityEnd = 70;
  fading.Motion().AddStepWith(fade, &fading);
  moving->Motion().ChangeStep(0, HoldAt(0, 4), moving);
  TBitmap first, last;
  ShowStep(1, first);
  ShowStep(30, last);
  ASSERT_GT(GetRValue(last.Pixel(35, 8)), GetRValue(first.Pixel(35, 8)) + 60);
  settings.ReductionFlags = rfShrinkToSmallestRectangle | rfRemoveIdenticalPixels | rfRemoveIdenticalFrames;
  auto gif = ExportGif(1, 30);
  const auto images = GifImages(*gif);
  ASSERT_GT(images.size(), 1u);
  TBitmap shown;
  gif->GetFrameBitmap(gif->ImageCount(), shown);
  ASSERT_EQ(std::pair(shown.Width(), shown.Height()), std::pair(60, 20));
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 60; ++x)
      ASSERT_LE(ColorDifference(shown.ScanLine(y) + 3 * x, last.ScanLine(y) + 3 * x), kChangedPixelDifference)
          << x << "," << y;
}

// ---- Palette types ------------------------------------------------------------------------------------

namespace {

std::set<TColor> UsedColors(const TGifSubImage& image) {
  std::set<TColor> colors;
  const TByteArray2D& pixels = *image.Pixels();
  for (std::int64_t i = 0; i < pixels.Size(); ++i) colors.insert(image.ActiveTable().ColorOf(pixels.Data()[i]));
  return colors;
}

// Whether a colour belongs to the palette kind of the choice.
bool InPaletteOf(int type, TColor c) {
  const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
  switch (type) {
    case ptBrowser: return r % 42 == 0 && g % 51 == 0 && b % 51 == 0;
    case ptStandardVGA: {
      const TColorTable vga(16);
      for (int i = 0; i < 16; ++i)
        if (vga.ColorOf(i) == c) return true;
      return false;
    }
    case ptGrayscale: return r == g && g == b;
    case ptOptimized:
    case ptDifferentOptimized: return (r % 8 == 0 && g % 8 == 0 && b % 8 == 0) || c == clWhite;
    default: return c == clRed || c == clBlue || c == clWhite;  // adaptive: the scene's own colours
  }
}

}  // namespace

TEST_F(ExportScene, EveryPaletteTypeReducesToItsOwnColours) {
  for (int type : {ptBrowser, ptOptimized, ptAdaptive, ptStandardVGA, ptGrayscale, ptDifferentOptimized,
                   ptDifferentAdaptive}) {
    SCOPED_TRACE("palette type " + std::to_string(type));
    settings.PaletteType = type;
    settings.NumberOfColors = 16;
    auto gif = ExportGif(1, 3);
    const auto images = GifImages(*gif);
    ASSERT_EQ(images.size(), 3u);
    const std::set<TColor> used = UsedColors(*images[0]);
    // Background, red block and blue block (red and blue are one grey).
    EXPECT_EQ(used.size(), type == ptGrayscale ? 2u : 3u);
    for (TColor c : used) EXPECT_TRUE(InPaletteOf(type, c)) << std::hex << c;
    for (TGifSubImage* image : images) EXPECT_EQ(image->HasLocalTable(), UsesLocalColorTables(type));
  }
}

TEST_F(ExportScene, ACustomPaletteIsAllBlackUntilAFileGivesItsColours) {
  settings.PaletteType = ptCustom;
  EXPECT_EQ(UsedColors(*GifImages(*ExportGif(1, 1))[0]), (std::set<TColor>{clBlack}));
  const std::string palette =
      dir.WriteFile("mine.pal", "JASC-PAL\r\n0100\r\n4\r\n255 0 0\r\n0 0 255\r\n250 250 250\r\n9 9 9\r\n");
  engine.CustomPalette = TExportEngine::ReadPaletteFile(palette);
  EXPECT_EQ(engine.CustomPalette.palVersion, 0x300);
  EXPECT_EQ(engine.CustomPalette.palNumEntries, 256);
  // "0100" and "4" are no colour lines; white becomes the file's near white.
  EXPECT_EQ(UsedColors(*GifImages(*ExportGif(1, 2))[0]), (std::set<TColor>{clRed, clBlue, RGB(250, 250, 250)}));
}

// ---- Cancelling a GIF ----------------------------------------------------------------------------------

TEST_F(ExportScene, ACancelledGifExportReportsCancellationAndLeavesNoFile) {
  engine.SetExportName(dir.File("gone.gif"));
  ExportInterval(1, 6);
  progress.cancelAt = 3;  // while the frames are rendered
  EXPECT_EQ(engine.BuildGifFrames(false).Outcome, TExportOutcome::Cancelled);
  EXPECT_EQ(progress.calls.back(), (std::pair<int, int>{1, 1}));
  EXPECT_EQ(engine.Frames().size(), 2u);  // the frames made so far
  EXPECT_EQ(scene.OutputBitmap, &output);

  CancelFlag = 0;
  progress.cancelAt.reset();
  engine.BuildGifFrames(false);
  progress.calls.clear();
  progress.cancelAt = 3;  // while the GIF is assembled
  EXPECT_EQ(engine.SaveGif(), TExportOutcome::Cancelled);
  EXPECT_FALSE(FileExists(dir.File("gone.gif")));

  CancelFlag = 0;
  progress.cancelAt.reset();
  int messages = 0;
  TWindowHandle window([&](TMessage& m) {
    if (m.Msg == WM_IMAGEPROGRESS && ++messages == 3) CancelFlag = 1;
  });
  engine.ProgressWindow = window.Handle();  // while the file is written
  EXPECT_EQ(engine.SaveGif(), TExportOutcome::Cancelled);
  EXPECT_FALSE(FileExists(dir.File("gone.gif")));
  EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{});
}

// ---- Output files replace their targets only when complete --------------------------------------------

TEST_F(ExportScene, ACancelledOrFailedGifLeavesTheFileThatStoodThereAndNoTemporaryFile) {
  engine.SetExportName(dir.File("kept.gif"));
  ExportInterval(1, 6);
  engine.BuildGifFrames(false);
  ASSERT_EQ(engine.SaveGif(), TExportOutcome::Done);
  const auto good = ReadFile(dir.File("kept.gif"));
  engine.Frames().pop_back();  // an edit that changes the file
  int messages = 0;
  TWindowHandle window([&](TMessage& m) {
    if (m.Msg == WM_IMAGEPROGRESS && ++messages == 2) CancelFlag = 1;
  });
  engine.ProgressWindow = window.Handle();
  EXPECT_EQ(engine.SaveGif(), TExportOutcome::Cancelled);
  EXPECT_EQ(ReadFile(dir.File("kept.gif")), good);
  EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"kept.gif"});
  engine.ProgressWindow = 0;
  CancelFlag = 0;
  // A target that cannot be replaced (a folder of that name) fails the export.
  std::filesystem::create_directory(dir.File("folder.gif"));
  engine.SetExportName(dir.File("folder.gif"));
  EXPECT_THROW(engine.SaveGif(), EWriteError);
  EXPECT_EQ(FolderEntries(dir.Path()), (std::vector<std::string>{"folder.gif", "kept.gif"}));
  engine.SetExportName(dir.File("kept.gif"));
  ASSERT_EQ(engine.Finish(), TExportOutcome::Done);
  EXPECT_NE(ReadFile(dir.File("kept.gif")), good);
  EXPECT_EQ(FolderEntries(dir.Path()), (std::vector<std::string>{"folder.gif", "kept.gif"}));
}

TEST_F(ExportScene, SeriesFilesReplaceTheirTargetsOnlyWhenComplete) {
  dir.WriteFile("shot_002.bmp", "an older picture");
  engine.SetExportName(dir.File("shot.bmp"));
  ExportInterval(1, 3);
  progress.cancelAt = 6;  // four calls render, one starts the series, one follows its first file
  EXPECT_EQ(engine.Finish(), TExportOutcome::Cancelled);
  EXPECT_EQ(FolderEntries(dir.Path()), (std::vector<std::string>{"shot_001.bmp", "shot_002.bmp"}));
  EXPECT_EQ(TempDir::ReadFile(dir.File("shot_002.bmp")), "an older picture");
  progress.cancelAt.reset();
  CancelFlag = 0;
  engine.SetExportName(dir.File("missing-folder/pic.jpg"));
  ExportInterval(1, 1);
  engine.CreateFrames();
  EXPECT_THROW(engine.Finish(), EFCreateError);
  EXPECT_FALSE(DirectoryExists(dir.File("missing-folder")));
}

// ---- BMP and JPEG series --------------------------------------------------------------------------------

TEST_F(ExportScene, ABmpSeriesIsNumberedFrom001AndOneFrameHasNoNumber) {
  engine.SetExportName(dir.File("one.bmp"));
  ASSERT_EQ(engine.Finish(), TExportOutcome::Done);
  EXPECT_TRUE(FileExists(dir.File("one.bmp")));
  EXPECT_FALSE(FileExists(dir.File("one_001.bmp")));
  engine.SetExportName(dir.File("shot.bmp"));
  ExportInterval(2, 3);
  ASSERT_EQ(engine.Finish(), TExportOutcome::Done);
  EXPECT_FALSE(FileExists(dir.File("shot.bmp")));
  EXPECT_TRUE(FileExists(dir.File("shot_001.bmp")));
  EXPECT_TRUE(FileExists(dir.File("shot_003.bmp")));
  TBitmap step3, second;
  ShowStep(3, step3);
  second.LoadFromFile(dir.File("shot_002.bmp"));
  EXPECT_EQ(FirstDifference(second, step3), "");
}

TEST_F(ExportScene, JpegFilesAndTheEstimateUseQuality101MinusTheFactor) {
  // The first value of the first quantisation table.
  auto firstQuantValue = [&](const std::string& name) {
    const auto jpeg = ReadFile(dir.File(name));
    for (std::size_t i = 0; i + 5 < jpeg.size(); ++i)
      if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDB) return int{jpeg[i + 5]};
    return -1;
  };
  engine.SetExportName(dir.File("pic.jpg"));
  EXPECT_FALSE(engine.CalculateJpegSize().has_value());
  ExportInterval(1, 3);
  engine.CreateFrames();
  const std::optional<TJpegEstimate> estimate = engine.CalculateJpegSize();  // the first frame encoded
  ASSERT_TRUE(estimate.has_value());
  EXPECT_EQ(estimate->SizeText, JpegSizeText(static_cast<double>(estimate->Bytes)));
  EXPECT_EQ(estimate->TimeText, " less than 1 second");
  EXPECT_EQ(estimate->Preview->Width(), 60);
  settings.JpegFactor = 1;  // quality 100: every table value 1
  ASSERT_EQ(engine.Finish(), TExportOutcome::Done);
  EXPECT_EQ(firstQuantValue("pic_001.jpg"), 1);
  EXPECT_TRUE(FileExists(dir.File("pic_003.jpg")));
  settings.JpegFactor = 76;  // quality 25: 16 x 200 %
  ASSERT_EQ(engine.Finish(), TExportOutcome::Done);
  EXPECT_EQ(firstQuantValue("pic_002.jpg"), 32);
  // One frame at the session's first factor, 25: quality 76, 16 x 48 % rounded; no number.
  settings.JpegFactor = 25;
  engine.SetExportName(dir.File("single.jpg"));
  ExportInterval(4, 1);
  engine.CreateFrames();
  ASSERT_EQ(engine.Finish(), TExportOutcome::Done);
  EXPECT_EQ(firstQuantValue("single.jpg"), 8);
  EXPECT_FALSE(FileExists(dir.File("single_001.jpg")));
}

// ---- AVI ----------------------------------------------------------------------------------------------------

namespace {

// The number of frames of an AVI file.
int AviFrameCount(const std::string& name, int* frameRate = nullptr, std::unique_ptr<TBitmap>* second = nullptr) {
  TAVIObject reader;
  PAVIFILE file = reader.OpenAVIFile(name);
  PAVISTREAM stream = reader.OpenVideoStream(file);
  EXPECT_NE(stream, 0);
  const int count = reader.FrameCount();
  if (frameRate) *frameRate = reader.FrameRate();
  if (second) *second = reader.GetFrameBitmap(1);
  reader.CloseVideoStream(stream);
  AVIFileRelease(file);
  return count;
}

// The flags of the idx1 entries of an AVI file.
std::vector<std::uint32_t> IndexFlags(const std::vector<std::uint8_t>& avi) {
  std::vector<std::uint32_t> flags;
  const std::size_t at = std::string(avi.begin(), avi.end()).rfind("idx1");
  if (at == std::string::npos) return flags;
  auto get32 = [&](std::size_t p) {
    return std::uint32_t{avi[p]} | std::uint32_t{avi[p + 1]} << 8 | std::uint32_t{avi[p + 2]} << 16 |
           std::uint32_t{avi[p + 3]} << 24;
  };
  const std::uint32_t size = get32(at + 4);
  for (std::size_t e = at + 8; e + 16 <= at + 8 + size; e += 16) flags.push_back(get32(e + 4));
  return flags;
}

}  // namespace

TEST_F(ExportScene, AnAviHasTheStepsAsKeyFramesAtTheStepRate) {
  ScriptedUiServices ui;
  ui.videoCompressionAnswers.push_back(VideoCompression{0, 7500});
  engine.SetExportName(dir.File("movie.avi"));
  ExportInterval(3, 4);
  ASSERT_EQ(engine.Finish(), TExportOutcome::Done);
  int frameRate = 0;
  std::unique_ptr<TBitmap> second;
  EXPECT_EQ(AviFrameCount(dir.File("movie.avi"), &frameRate, &second), 4);
  EXPECT_EQ(frameRate, 17);
  TBitmap step4;
  ShowStep(4, step4);
  EXPECT_EQ(FirstDifference(*second, step4), "");
  const auto flags = IndexFlags(ReadFile(dir.File("movie.avi")));
  ASSERT_EQ(flags.size(), 4u);
  for (std::uint32_t f : flags) EXPECT_TRUE(f & 0x10);
  EXPECT_EQ(scene.OutputBitmap, &output);
}

TEST_F(ExportScene, ACancelledAviLeavesNoFileOrTheFileThatStoodThere) {
  ScriptedUiServices ui;  // answers no compressor first
  engine.SetExportName(dir.File("movie.avi"));
  EXPECT_EQ(engine.Finish(), TExportOutcome::Cancelled);
  EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{});
  ui.videoCompressionAnswers.push_back(VideoCompression{0, 7500});
  ExportInterval(1, 3);
  ASSERT_EQ(engine.Finish(), TExportOutcome::Done);
  const auto good = ReadFile(dir.File("movie.avi"));
  ui.videoCompressionAnswers.push_back(VideoCompression{0, 7500});
  ExportInterval(1, 8);
  progress.calls.clear();
  progress.cancelAt = 1;  // set after the first frame: the frame after it ends the export
  EXPECT_EQ(engine.Finish(), TExportOutcome::Cancelled);
  EXPECT_EQ(ReadFile(dir.File("movie.avi")), good);
  EXPECT_EQ(AviFrameCount(dir.File("movie.avi")), 3);
  EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"movie.avi"});
  // A folder that takes no file: the video writer's own message.
  engine.SetExportName(dir.File("missing-folder/movie.avi"));
  EXPECT_EQ(ErrorText<Exception>([&] { engine.Finish(); }), "Cannot write to the file. Probably file is busy.");
}

// ---- What the viewer shows after the reductions ---------------------------------------------------

namespace {

// Pixels of a picture whose largest channel difference from the other is above limit.
std::vector<bool> PixelsOff(const TBitmap& a, const TBitmap& b, int limit) {
  std::vector<bool> off(static_cast<std::size_t>(a.Width()) * static_cast<std::size_t>(a.Height()));
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) {
      const TColor p = a.Pixel(x, y), q = b.Pixel(x, y);
      const int d = std::max({std::abs(GetRValue(p) - GetRValue(q)), std::abs(GetGValue(p) - GetGValue(q)),
                              std::abs(GetBValue(p) - GetBValue(q))});
      off[static_cast<std::size_t>(y) * static_cast<std::size_t>(a.Width()) + static_cast<std::size_t>(x)] = d > limit;
    }
  return off;
}

}  // namespace

class ExportedPixels : public ExportScene {
 protected:
  using Pictures = std::vector<std::unique_ptr<TBitmap>>;
  // The steps as rendered, 24-bit.
  Pictures RenderedSteps(int count) {
    ExportInterval(1, count);
    engine.CreateFrames();
    Pictures steps;
    for (const auto& frame : engine.Frames()) {
      steps.push_back(std::make_unique<TBitmap>());
      steps.back()->Assign(frame->Bitmap.get());
      steps.back()->SetPixelFormat(pf24bit);
    }
    return steps;
  }
  // What a viewer shows at each step of the exported GIF (an image shows
  // for as many steps as its delay holds).
  Pictures ShownSteps(int count, int flags) {
    settings.ReductionFlags = flags;
    auto gif = ExportGif(1, count);
    Pictures shown;
    const int stepDelay = 67 / 10;
    for (int k = 1; k <= gif->ImageCount(); ++k) {
      if (gif->GetSubImage(k)->Pixels() == nullptr) continue;
      TBitmap picture;
      gif->GetFrameBitmap(k, picture);
      for (int n = 0; n < std::max(gif->GetSubImage(k)->GetDelay() / stepDelay, 1); ++n) {
        shown.push_back(std::make_unique<TBitmap>());
        shown.back()->Assign(&picture);
      }
    }
    return shown;
  }
  // A 6 x 5 magenta ellipse on the scene's white, moving right by 3 pixels a step.
  void AddMagentaSprite() {
    int index = 0;
    TSprite& sprite = *scene.AddSprite(index);
    TBitmap picture;
    MakeMagentaEllipse(picture);
    sprite.AddFrame()->SetPicture(picture, true, clWhite, -1, -1);
    sprite.Motion().AddStepWith(LineFrom(0, 12, 150, 12, 3), &sprite);
  }
  // A block of a thousand colours sliding by one pixel a step: most of its
  // pixels change a little, its edges a lot.
  void AddManyColouredBlock(int x) {
    int index = 0;
    TSprite& sprite = *scene.AddSprite(index);
    TBitmap picture;
    MakeThousandColours(picture);
    sprite.AddFrame()->SetPicture(picture, false, 0, -1, -1);
    sprite.Motion().AddStepWith(LineFrom(x, 0, x + 100, 0, 1), &sprite);
  }
  // A grey block with a few levels of noise sliding by one pixel a step: its
  // pixels change by as much as the threshold, some more and some less.
  void AddNoisyBlock() {
    int index = 0;
    TSprite& sprite = *scene.AddSprite(index);
    TBitmap picture;
    MakeSolid(picture, 40, 16, clWhite);
    std::uint32_t noise = 12345;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 40; ++x) {
        noise = noise * 1103515245u + 12345u;
        const auto level = static_cast<std::uint8_t>(120 + (noise >> 16) % 12);
        picture.SetPixel(x, y, RGB(level, level, level));
      }
    sprite.AddFrame()->SetPicture(picture, false, 0, -1, -1);
    sprite.Motion().AddStepWith(LineFrom(10, 2, 30, 2, 1), &sprite);
  }
};

TEST_F(ExportedPixels, AMagentaSpriteKeepsItsColourWithPerFramePalettesAndAllReductions) {
  scene.Width = 160;
  scene.Height = 30;
  scene.StepCount = 100;
  engine.OutputWidth = 160;
  engine.OutputHeight = 30;
  MakeSolid(output, 160, 30, clWhite);
  moving->Motion().ChangeStep(0, HoldAt(0, 22), moving);
  AddManyColouredBlock(60);
  AddMagentaSprite();
  settings.PaletteType = ptDifferentAdaptive;
  const Pictures rendered = RenderedSteps(100);
  const Pictures shown = ShownSteps(100, rfShrinkToSmallestRectangle | rfRemoveIdenticalPixels |
                                                         rfRemoveIdenticalFrames);
  ASSERT_EQ(shown.size(), rendered.size());
  for (std::size_t s = 0; s < shown.size(); ++s) {
    const std::vector<bool> off = PixelsOff(*shown[s], *rendered[s], 100);
    ASSERT_EQ(std::count(off.begin(), off.end(), true), 0) << "step " << s + 1;
  }
}

TEST_F(ExportedPixels, TheReductionsAddNoErrorOfTheirOwnWithAnyPalette) {
  // A yellow block fading in over 30 steps: its blue drifts by less than
  // what counts as a change from one step to the next.
  scene.StepCount = 30;
  int index = 0;
  TSprite& fading = *scene.AddSprite(index);
  TBitmap picture;
  MakeSolid(picture, 20, 10, RGB(200, 120, 0));
  fading.AddFrame()->SetPicture(picture, false, 0, -1, -1);
  TMovingStepValues fade = HoldAt(30, 5, 30);
  fade.OpacityStart = 100;
  fade.OpacityEnd = 40;
  fading.Motion().AddStepWith(fade, &fading);
  const Pictures rendered = RenderedSteps(30);
  for (int type : {ptBrowser, ptOptimized, ptAdaptive, ptStandardVGA, ptGrayscale, ptDifferentOptimized,
                   ptDifferentAdaptive}) {
    settings.PaletteType = type;
    const Pictures plain = ShownSteps(30, 0);
    for (int flags = 1; flags <= 7; ++flags) {
      SCOPED_TRACE("palette type " + std::to_string(type) + ", reductions " + std::to_string(flags));
      const Pictures reduced = ShownSteps(30, flags);
      ASSERT_EQ(reduced.size(), rendered.size());
      for (std::size_t s = 0; s < rendered.size(); ++s) {
        const std::vector<bool> plainOff = PixelsOff(*plain[s], *rendered[s], 60);
        const std::vector<bool> reducedOff = PixelsOff(*reduced[s], *rendered[s], 60);
        for (std::size_t p = 0; p < plainOff.size(); ++p)
          ASSERT_FALSE(reducedOff[p] && !plainOff[p]) << "step " << s + 1 << ", pixel " << p % 60 << "," << p / 60;
      }
    }
  }
}

TEST_F(ExportedPixels, CroppingChangesTheFileNeverTheSharedPalette) {
  AddManyColouredBlock(0);
  settings.NumberOfColors = 32;
  for (int type : {ptAdaptive, ptOptimized}) {
    SCOPED_TRACE("palette type " + std::to_string(type));
    settings.PaletteType = type;
    settings.ReductionFlags = 0;
    auto whole = ExportGif(1, 12);
    const std::int64_t wholeBytes = static_cast<std::int64_t>(ReadFile(dir.File("out.gif")).size());
    settings.ReductionFlags = rfShrinkToSmallestRectangle | rfRemoveIdenticalFrames;
    auto cropped = ExportGif(1, 12);
    EXPECT_LT(static_cast<std::int64_t>(ReadFile(dir.File("out.gif")).size()), wholeBytes);
    const TColorTable& a = whole->GlobalTable();
    const TColorTable& b = cropped->GlobalTable();
    ASSERT_EQ(a.Count(), b.Count());
    for (int i = 0; i < a.Count(); ++i) EXPECT_EQ(a.ColorOf(i), b.ColorOf(i)) << i;
  }
}

TEST_F(ExportedPixels, WithAFixedPaletteKeyingNeverMakesTheFileLarger) {
  AddNoisyBlock();
  for (int type : {ptBrowser, ptStandardVGA, ptGrayscale}) {
    SCOPED_TRACE("palette type " + std::to_string(type));
    settings.PaletteType = type;
    for (int flags : {0, static_cast<int>(rfShrinkToSmallestRectangle)}) {
      settings.ReductionFlags = flags;
      ExportGif(1, 12);
      const std::size_t unkeyed = ReadFile(dir.File("out.gif")).size();
      settings.ReductionFlags = flags | rfRemoveIdenticalPixels;
      ExportGif(1, 12);
      EXPECT_LE(ReadFile(dir.File("out.gif")).size(), unkeyed) << "reductions " << flags;
    }
  }
}

TEST_F(ExportScene, KeptFramesHoldOnlyTheirCodedImageUntilTheirPixelsAreUsed) {
  settings.ReductionFlags = 7;
  auto gif = ExportGif(1, 12);
  const auto images = GifImages(*gif);
  ASSERT_EQ(images.size(), engine.Frames().size());
  for (std::size_t k = 0; k < images.size(); ++k) {
    const TMinGDIBitmap& picture = *engine.Frames()[k]->Bitmap;
    EXPECT_FALSE(picture.HasImage()) << k;
    // Used, the pixels are those of the file's image.
    const TByteArray2D& pixels = *images[k]->Pixels();
    ASSERT_EQ(std::pair(picture.Width(), picture.Height()), std::pair(pixels.Width(), pixels.Height()));
    for (int y = 0; y < pixels.Height(); ++y)
      ASSERT_EQ(std::memcmp(picture.ScanLine(y), pixels.Data() + y * pixels.Width(), static_cast<std::size_t>(pixels.Width())), 0)
          << k << ", row " << y;
  }
  // A frame drawn on keeps its pixels, and the file follows the change.
  TMinGDIBitmap& edited = *engine.Frames()[0]->Bitmap;
  edited.ScanLine(0)[0] = static_cast<std::uint8_t>(edited.ScanLine(0)[0] ^ 1);
  ReleaseFramePicture(*engine.Frames()[0]);
  EXPECT_TRUE(edited.HasImage());
  ASSERT_EQ(engine.SaveGif(), TExportOutcome::Done);
  EXPECT_EQ(GifImages(*ReadGif(ReadFile(dir.File("out.gif"))))[0]->Pixels()->Data()[0], edited.ScanLine(0)[0]);
}

TEST_F(ExportedPixels, ImagesDecidedAtTakeBackAreWrittenAsCodingThePicturesAfreshWritesThem) {
  // Many colours in 32: palettes whose pictures map some indices onto
  // others when written, so that those images are mapped and coded anew.
  AddManyColouredBlock(0);
  settings.NumberOfColors = 32;
  for (int type : {ptAdaptive, ptOptimized, ptStandardVGA, ptDifferentAdaptive}) {
    SCOPED_TRACE("palette type " + std::to_string(type));
    settings.PaletteType = type;
    engine.SetExportName(dir.File("planned.gif"));
    ExportInterval(1, 6);
    engine.BuildGifFrames(false);
    ASSERT_EQ(engine.Finish(), TExportOutcome::Done);
    EXPECT_EQ(ReadFile(dir.File("planned.gif")), GifBytes(*engine.CreateGifFile()));
    // Without the first frame, the next one settles the global table.
    TExportFrameList list(engine.Frames(), engine.Composition());
    list.Delete(0);
    ASSERT_EQ(engine.Finish(), TExportOutcome::Done);
    EXPECT_EQ(ReadFile(dir.File("planned.gif")), GifBytes(*engine.CreateGifFile()));
  }
}
