// 3D text frames rendering their sub-frames: through their own hidden view,
// through the shared output view when bitmap contexts cannot be made, and
// inside a scene's composition.
#include "platform/GLContext.h"
#include "scene/Frame.h"
#include "scene/Frame3DObjects.h"
#include "scene/Moving.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"
#include "tests/qel3d/QelTestSupport.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/support/ScriptedUiServices.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

namespace {

constexpr int kWidth = 230;
constexpr int kHeight = 80;

// "Hi" in front of a camera, no light switched on: every pixel of the text
// shows the material colour exactly (emission only, black ambient light).
T3DTextState TextState(TColor materialColor, TColor background = clWhite) {
  T3DTextState s;
  s.Text = "Hi";
  s.FontName = "Liberation Sans";
  s.FontStyle = fsBold;
  s.Charset = 0;
  s.Depth = 0.2;
  s.TextPositionX = -0.6;
  s.TextPositionY = -0.35;
  s.CameraPositionZ = 2;
  s.ViewAngle = 45;
  for (T3DLightState& light : s.Lights) {
    light.Enabled = 0;
    light.Color = clWhite;
    light.DirectionZ = -1;
    light.CutOff = 180;
    light.PositionZ = 4;
  }
  s.MaterialOn = 1;
  s.MaterialColor = materialColor;
  s.Shininess = 1;
  s.TextureOn = 0;
  s.TextureScaleX = s.TextureScaleY = 1;
  s.BackgroundColor = background;
  s.ImageWidth = kWidth;
  s.ImageHeight = kHeight;
  return s;
}

// The colours of the pixels that are not the background, with their counts.
std::map<TColor, int> ColorsOtherThan(const TBitmap& bitmap, TColor background) {
  std::map<TColor, int> colors;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      if (const TColor c = bitmap.Pixel(x, y); c != background) ++colors[c];
  return colors;
}

// Exactly one colour besides the background, on more than a few pixels.
::testing::AssertionResult ShowsTextIn(const TBitmap& bitmap, TColor color, TColor background = clWhite) {
  const std::map<TColor, int> colors = ColorsOtherThan(bitmap, background);
  if (colors.size() != 1 || colors.begin()->first != color || colors.begin()->second < 200) {
    auto failure = ::testing::AssertionFailure() << "colours besides the background:";
    for (const auto& [c, n] : colors) failure << " " << std::hex << c << std::dec << " x" << n;
    return failure;
  }
  return ::testing::AssertionSuccess();
}

class Text3DFrames : public QelTest {
 protected:
  void SetUp() override {
    QelTest::SetUp();
    SetShared3DOutputView(nullptr);
  }
  void TearDown() override {
    SetShared3DOutputView(nullptr);
    QelTest::TearDown();
  }

  // A 3D text frame of the sprite showing the editor's picture (plain white),
  // animated between the two states.
  static TFrame& AddTextFrame(TSprite& sprite, const T3DTextState& start, const T3DTextState& end, int subFrames,
                              bool loop) {
    TBitmap picture;
    MakeSolid(picture, kWidth, kHeight, clWhite);
    const int index = sprite.Add3DText(start, picture, false, 0);
    sprite.Set3DTextAnimation(index, start, end, subFrames, loop ? 1 : 0);
    return sprite.Frame(index);
  }

  // As rewinding does: the first sub-frame is due at once.
  static void StartAnimation(TFrame& frame) {
    frame.SubFrameCounter = 0;
    frame.Countdown = frame.Duration() + 1;
  }

  static TFrame3DView& ViewOf(TFrame& frame) { return *frame.Objects3D->ownView; }

  TAnimatedScene scene;
  TSprite sprite{&scene};
};

// ---- A frame's own view ---------------------------------------------------------------------------

TEST_F(Text3DFrames, AFramesViewBelongsToItsOwnSceneNotToTheLastSceneMade) {
  TFrame& first = *sprite.AddFrame();
  TAnimatedScene later;
  TSprite laterSprite(&later);
  TFrame& second = *sprite.AddFrame();
  TFrame& ofLater = *laterSprite.AddFrame();
  EXPECT_EQ(ViewOf(first).ParentScene(), &scene);
  EXPECT_EQ(ViewOf(second).ParentScene(), &scene);
  EXPECT_EQ(ViewOf(ofLater).ParentScene(), &later);
}

TEST_F(Text3DFrames, ASubFrameDrawsTheTextIntoTheDisplayImageAndLeavesThePicture) {
  TFrame& frame = AddTextFrame(sprite, TextState(clRed), TextState(clRed), 1, false);
  StartAnimation(frame);
  frame.RenderNext3D();
  EXPECT_TRUE(ShowsTextIn(frame.DisplayImage, clRed));
  EXPECT_EQ(CountPixelsOtherThan(frame.Picture, clWhite), 0);
  EXPECT_EQ(sprite.NeedsRedrawByte, 1);
}

TEST_F(Text3DFrames, TheTextShowsResolvedSystemColoursItsTextureAndWithAMissingFontTheDefaultFace) {
  const TColor highlight = ColorToRGB(clHighlight), face = ColorToRGB(clBtnFace);
  ASSERT_NE(highlight, clHighlight & 0xFFFFFF);
  T3DTextState background = TextState(clRed);
  // A system colour as the editor's signed colours store it; the background is the start state's.
  background.BackgroundColor = static_cast<double>(static_cast<std::int32_t>(clBtnFace));
  T3DTextState missingFont = TextState(clRed);
  missingFont.FontName = "No Such Face At All";
  TempDir dir;
  TBitmap lime;
  MakeSolid(lime, 30, 20, clLime);
  T3DTextState textured = TextState(clWhite);
  textured.TextureOn = 1;
  textured.TextureFileName = dir.File("lime.bmp");
  lime.SaveToFile(textured.TextureFileName);
  struct Case {
    T3DTextState start, end;
    TColor text, back;
  };
  for (const Case& c : {Case{background, TextState(clRed, clBlue), clRed, face},
                        Case{TextState(clHighlight), TextState(clHighlight), highlight, clWhite},
                        Case{missingFont, missingFont, clRed, clWhite},
                        Case{textured, textured, clLime, clWhite}}) {
    TFrame& frame = AddTextFrame(sprite, c.start, c.end, 2, false);
    StartAnimation(frame);
    for (int i = 0; i < 2; ++i) {
      frame.Countdown = frame.Duration() + 1;
      frame.RenderNext3D();
      EXPECT_TRUE(ShowsTextIn(frame.DisplayImage, c.text, c.back)) << std::hex << c.text << " sub-frame " << i;
    }
  }
}

// ---- Pacing ------------------------------------------------------------------------------------------

// Five sub-frames run at t = 0, .25, .5, .75 and 1.
TEST_F(Text3DFrames, FiveSubFramesRunInQuartersAndWithLoopTheSixthIsTheStartAgainWithoutTheLastStays) {
  T3DTextState start = TextState(clRed), end = TextState(clRed);
  start.TextPositionX = 0;
  end.TextPositionX = 4;
  for (bool loop : {true, false}) {
    TFrame& frame = AddTextFrame(sprite, start, end, 5, loop);
    StartAnimation(frame);
    std::vector<float> positions;
    for (int i = 0; i < 7; ++i) {
      frame.Countdown = frame.Duration();
      frame.RenderNext3D();
      positions.push_back(frame.Objects3D->text.Translation().X());
    }
    EXPECT_EQ(positions, loop ? (std::vector<float>{0, 1, 2, 3, 4, 0, 1}) : (std::vector<float>{0, 1, 2, 3, 4, 4, 4}));
    EXPECT_EQ(ViewOf(frame).RedrawCount(), loop ? 7 : 5);
    EXPECT_EQ(frame.SubFrameCounter, loop ? 2 : 5);
  }
}

TEST_F(Text3DFrames, WithDurationThreeANewSubFrameShowsEveryThirdStep) {
  TFrame& frame = AddTextFrame(sprite, TextState(clRed), TextState(clRed), 10, false);
  frame.StoreDuration(3);
  StartAnimation(frame);
  std::vector<int> renderedAt;
  for (int step = 0; step < 10; ++step) {
    const int before = ViewOf(frame).RedrawCount();
    // As the sprite does every step.
    frame.RenderNext3D();
    frame.Countdown = frame.Countdown + 1;
    if (ViewOf(frame).RedrawCount() > before) renderedAt.push_back(step);
  }
  EXPECT_EQ(renderedAt, (std::vector<int>{0, 3, 6, 9}));
}

TEST_F(Text3DFrames, OddCountsAndCountersStartAgainAtTheFirstSubFrame) {
  struct Case {
    int count, counter;
    bool loop;
    int counterAfter;
  };
  // Fewer than one sub-frame: one, shown again and again; a looping animation
  // shortened below its counter, and a negative counter, start again.
  for (const Case c : {Case{0, 0, true, 0}, Case{-3, 0, true, 0}, Case{3, 7, true, 1}, Case{3, -7, false, 1}}) {
    SCOPED_TRACE(testing::Message() << c.count << " " << c.counter);
    TFrame& frame = AddTextFrame(sprite, TextState(clBlue), TextState(clRed), c.count, c.loop);
    StartAnimation(frame);
    frame.SubFrameCounter = c.counter;
    frame.RenderNext3D();
    EXPECT_TRUE(ShowsTextIn(frame.DisplayImage, clBlue));
    EXPECT_EQ(frame.SubFrameCounter, c.counterAfter);
    if (c.count < 1) {
      frame.Countdown = frame.Duration();
      frame.RenderNext3D();
      EXPECT_EQ(ViewOf(frame).RedrawCount(), 2);
      EXPECT_TRUE(ShowsTextIn(frame.DisplayImage, clBlue));
    }
  }
}

TEST_F(Text3DFrames, AnEmptyDisplayImageRendersNothingAndRaisesNothing) {
  TBitmap empty;
  const int index = sprite.Add3DText(TextState(clRed), empty, false, 0);
  sprite.Set3DTextAnimation(index, TextState(clRed), TextState(clRed), 2, 1);
  TFrame& frame = sprite.Frame(index);
  StartAnimation(frame);
  frame.RenderNext3D();
  EXPECT_TRUE(frame.DisplayImage.Empty());
  EXPECT_EQ(frame.SubFrameCounter, 1);
  EXPECT_FALSE(QelReleaseFailed);
}

TEST_F(Text3DFrames, ANewTextBuildsTheGlyphsAgainAndTheSameTextDoesNot) {
  T3DTextState state = TextState(clRed);
  TFrame& frame = AddTextFrame(sprite, state, state, 3, true);
  StartAnimation(frame);
  frame.RenderNext3D();
  const TQelText& text = frame.Objects3D->text;
  const int built = text.GlyphsBuilt();
  EXPECT_EQ(built, 2);
  frame.Countdown = frame.Duration();
  frame.RenderNext3D();
  EXPECT_EQ(text.GlyphsBuilt(), built) << "the glyphs of the same text are kept";
  frame.StartState.Text = "iH";
  frame.Countdown = frame.Duration();
  frame.RenderNext3D();
  EXPECT_EQ(text.GlyphsBuilt(), built + 2);
  RebuildFrame3DText(frame, *frame.Objects3D);
  EXPECT_FALSE(text.IsBuilt('H')) << "rebuilding drops the glyphs";
}

TEST_F(Text3DFrames, HostileStateValuesReachTheObjectsTamed) {
  T3DTextState start = TextState(clRed);
  start.Depth = std::numeric_limits<double>::quiet_NaN();
  start.TextPositionX = 1e300;
  start.Charset = 1000;
  start.FontStyle = 0xFF;
  start.Lights[0].Kind = 7;
  start.Lights[0].Enabled = 1;
  start.Shininess = 1e12;
  start.ViewAngle = -std::numeric_limits<double>::infinity();
  TFrame& frame = AddTextFrame(sprite, start, start, 1, false);
  StartAnimation(frame);
  frame.RenderNext3D();
  const TFrame3DObjects& objects = *frame.Objects3D;
  EXPECT_EQ(objects.text.Depth(), 0.0f);
  EXPECT_EQ(objects.text.Translation().X(), std::numeric_limits<float>::max());
  EXPECT_EQ(objects.text.Font().Charset, 1);
  EXPECT_EQ(objects.text.Font().Style, fsBold | fsItalic | fsUnderline | fsStrikeOut);
  EXPECT_EQ(objects.lights[0].Kind(), lkPoint);
  EXPECT_EQ(frame.SubFrameCounter, 1);
  // Unchanged values are not taken as changes that build the glyphs again.
  const int built = objects.text.GlyphsBuilt();
  StartAnimation(frame);
  frame.RenderNext3D();
  EXPECT_EQ(objects.text.GlyphsBuilt(), built);
}

TEST_F(Text3DFrames, AFrameWithoutItsAnimationOnKeepsItsPicture) {
  TFrame& frame = AddTextFrame(sprite, TextState(clRed), TextState(clRed), 3, false);
  frame.Animation3D = 0;
  StartAnimation(frame);
  frame.RenderNext3D();
  EXPECT_EQ(CountPixelsOtherThan(frame.DisplayImage, clWhite), 0);
  EXPECT_FALSE(ViewOf(frame).HasContext());
}

// ---- In a scene ------------------------------------------------------------------------------------

// A scene of 300 x 120 on white with one sprite holding at (40, 20) whose
// 3D text frame loops from blue to red in three sub-frames.
void MakeTextScene(TAnimatedScene& scene, TBitmap& output) {
  scene.Width = 300;
  scene.Height = 120;
  scene.FillColor = clWhite;
  scene.StepCount = 100;
  scene.SetBackground(false, bgmFillAndPicture, "", clWhite, clWhite, ppNone, nullptr);
  int index = 0;
  TSprite& textSprite = *scene.AddSprite(index);
  TBitmap picture;
  MakeSolid(picture, kWidth, kHeight, clWhite);
  const int frame = textSprite.Add3DText(TextState(0x0000FF), picture, false, 0);
  textSprite.Set3DTextAnimation(frame, TextState(0x0000FF), TextState(0xFF0000), 3, 1);
  textSprite.Motion().AddStepWith(HoldAt(40, 20), &textSprite);
  MakeSolid(output, 300, 120, clBlack);
  scene.OutputBitmap = &output;
}

// The one colour besides white of each of the first steps after rewinding;
// black when a step shows another number of colours.
std::vector<TColor> ComposedTextColors(TAnimatedScene& scene, const TBitmap& output, int steps) {
  scene.Rewind();
  std::vector<TColor> shown;
  for (int step = 0; step < steps; ++step) {
    scene.NextFrame();
    const std::map<TColor, int> colors = ColorsOtherThan(output, clWhite);
    shown.push_back(colors.size() == 1 ? colors.begin()->first : clBlack);
  }
  return shown;
}

const std::vector<TColor> kComposedColors{0x0000FF, 0x80007F, 0xFF0000, 0x0000FF};

class Text3DFramesInFiles : public Text3DFrames {
 protected:
  // Saves the scene (coded or not) and loads it into loaded.
  void SaveAndLoad(TAnimatedScene& loaded, int compress) {
    TMemoryStream file;
    ASSERT_EQ(scene.SaveToStream(file, compress, 1024), 16);
    file.SetPosition(0);
    loaded.LoadFromStream(file);
    ASSERT_EQ(loaded.Failed, 0) << loaded.LoadErrorText;
    ASSERT_EQ(loaded.SpriteCount(), 1);
    ASSERT_EQ(loaded.Sprite(0).FrameCount(), 1);
  }

  ScriptedUiServices ui;
};

TEST_F(Text3DFramesInFiles, AFrameComposesItsSubFramesWhereTheSpriteIsAndSurvivesASaveAndLoad) {
  TBitmap output;
  MakeTextScene(scene, output);
  ASSERT_EQ(ComposedTextColors(scene, output, 4), kComposedColors);
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 300; ++x)
      if (output.Pixel(x, y) != clWhite) {
        ASSERT_TRUE(x >= 40 && x < 40 + kWidth && y >= 20 && y < 20 + kHeight) << x << "," << y;
      }
  for (int pass = 0; pass < 3; ++pass) {
    SCOPED_TRACE(pass);
    scene.OmitGeneratedImages = pass == 2 ? 1 : 0;
    TAnimatedScene loaded;
    SaveAndLoad(loaded, pass == 1 ? 1 : 0);
    const TFrame& original = scene.Sprite(0).Frame(0);
    TFrame& frame = loaded.Sprite(0).Frame(0);
    EXPECT_EQ(frame.StartState, original.StartState);
    EXPECT_EQ(frame.EndState, original.EndState);
    EXPECT_EQ(std::tie(frame.SubFrameCount, frame.Loop, frame.Animation3D), std::make_tuple(3, 1, 1));
    ASSERT_TRUE(frame.HasView());
    EXPECT_EQ(frame.Objects3D->ownView->ParentScene(), &loaded);
    if (pass == 2) {
      EXPECT_TRUE(ShowsTextIn(frame.Picture, 0x0000FF)) << "the picture is rendered again";
    }
    TBitmap loadedOutput;
    MakeSolid(loadedOutput, 300, 120, clBlack);
    loaded.OutputBitmap = &loadedOutput;
    EXPECT_EQ(ComposedTextColors(loaded, loadedOutput, 4), kComposedColors);
  }
}

// ---- Without bitmap contexts ------------------------------------------------------------------------

TEST_F(Text3DFrames, AFrameWhoseViewCannotMakeABitmapContextRendersThroughATemporaryOne) {
  GLFaultInjection().failBitmapContexts = true;
  TFrame& frame = AddTextFrame(sprite, TextState(clRed), TextState(clRed), 2, false);
  StartAnimation(frame);
  frame.RenderNext3D();
  EXPECT_TRUE(QelOffScreenFailed);
  EXPECT_FALSE(QelTempContextFailed);
  EXPECT_TRUE(ShowsTextIn(frame.DisplayImage, clRed));
  EXPECT_EQ(ViewOf(frame).TargetBitmap(), nullptr) << "the view lets go of the display image";
  frame.Countdown = frame.Duration();
  frame.RenderNext3D();
  EXPECT_TRUE(ShowsTextIn(frame.DisplayImage, clRed));
}

TEST_F(Text3DFrames, WithoutBitmapContextsFramesShareTheOutputViewAndWithoutOneRenderNoText) {
  QelOffScreenFailed = true;
  TFrame& alone = AddTextFrame(sprite, TextState(clRed), TextState(clRed), 2, false);
  EXPECT_FALSE(alone.HasView());
  StartAnimation(alone);
  alone.RenderNext3D();
  EXPECT_EQ(alone.SubFrameCounter, 0);
  EXPECT_EQ(CountPixelsOtherThan(alone.DisplayImage, clWhite), 0);

  TQelView output;
  TQelCamera camera;
  output.SetCamera(&camera);
  output.SetLighting(true);
  output.SetDithering(false);
  output.ColorAmbient().SetColor(clBlack);
  SetShared3DOutputView(&output);

  TFrame& first = AddTextFrame(sprite, TextState(clRed), TextState(clRed), 1, false);
  TFrame& second = AddTextFrame(sprite, TextState(clBlue), TextState(clBlue), 1, false);
  ASSERT_TRUE(first.HasView());
  EXPECT_TRUE(first.Objects3D->UsesSharedView());
  EXPECT_EQ(first.Objects3D->Camera(), &camera);
  EXPECT_FALSE(first.Objects3D->text.CacheLists());

  StartAnimation(first);
  first.RenderNext3D();
  EXPECT_EQ(output.TargetBitmap(), nullptr);
  EXPECT_FALSE(static_cast<bool>(output.OnRender));
  StartAnimation(second);
  second.RenderNext3D();
  EXPECT_TRUE(ShowsTextIn(first.DisplayImage, clRed));
  EXPECT_TRUE(ShowsTextIn(second.DisplayImage, clBlue));
  EXPECT_FLOAT_EQ(camera.Position().Z(), 2.0f) << "the frames set the shared view's camera";
  EXPECT_FALSE(QelTempContextFailed);

  // The main window's view goes: the frames render nothing more.
  SetShared3DOutputView(nullptr);
  first.Animation3D = 1;
  StartAnimation(first);
  first.StartState.MaterialColor = clLime;
  first.RenderNext3D();
  EXPECT_TRUE(ShowsTextIn(first.DisplayImage, clRed));
}

TEST_F(Text3DFrames, AFailedTemporaryContextFillsTheBackgroundAndEndsAllSubFrames) {
  QelOffScreenFailed = true;
  TQelView output;
  TQelCamera camera;
  output.SetCamera(&camera);
  SetShared3DOutputView(&output);
  TFrame& frame = AddTextFrame(sprite, TextState(clRed, clLime), TextState(clRed, clLime), 3, true);
  TFrame& other = AddTextFrame(sprite, TextState(clRed), TextState(clRed), 3, true);
  GLFaultInjection().failTemporaryContexts = true;

  StartAnimation(frame);
  frame.RenderNext3D();
  EXPECT_TRUE(QelTempContextFailed);
  EXPECT_EQ(CountPixelsOtherThan(frame.DisplayImage, clLime), 0);
  EXPECT_EQ(frame.SubFrameCounter, 1);
  EXPECT_EQ(output.TargetBitmap(), nullptr);

  // From now on no frame renders a sub-frame; each keeps what it shows.
  GLFaultInjection().failTemporaryContexts = false;
  frame.Countdown = frame.Duration();
  frame.RenderNext3D();
  EXPECT_EQ(frame.SubFrameCounter, 1);
  EXPECT_EQ(CountPixelsOtherThan(frame.DisplayImage, clLime), 0);
  StartAnimation(other);
  other.RenderNext3D();
  EXPECT_EQ(other.SubFrameCounter, 0);
  EXPECT_EQ(CountPixelsOtherThan(other.DisplayImage, clWhite), 0);
}

TEST_F(Text3DFrames, OnlyTheFramesRenderedLastKeepTheirContexts) {
  const int count = static_cast<int>(TFrame3DView::kMaxLiveContexts) + 4;
  std::vector<TFrame*> frames;
  for (int i = 0; i < count; ++i) {
    frames.push_back(&AddTextFrame(sprite, TextState(clRed), TextState(clBlue), 2, true));
    StartAnimation(*frames.back());
    frames.back()->RenderNext3D();
  }
  EXPECT_EQ(TFrame3DView::LiveContexts(), TFrame3DView::kMaxLiveContexts);
  for (int i = 0; i < count; ++i) EXPECT_EQ(ViewOf(*frames[i]).HasContext(), i >= 4) << i;

  // The first frame renders again with a new context and its glyphs built again.
  TFrame& first = *frames[0];
  const int built = first.Objects3D->text.GlyphsBuilt();
  first.Countdown = first.Duration();
  first.RenderNext3D();
  EXPECT_TRUE(ShowsTextIn(first.DisplayImage, clBlue));
  EXPECT_EQ(first.Objects3D->text.GlyphsBuilt(), built + 2);
  EXPECT_TRUE(ViewOf(first).HasContext());
  EXPECT_FALSE(ViewOf(*frames[4]).HasContext());
  EXPECT_EQ(TFrame3DView::LiveContexts(), TFrame3DView::kMaxLiveContexts);

  // Freed frames leave the list.
  while (sprite.FrameCount() > 2) sprite.DeleteFrameSilently(sprite.FrameCount() - 1);
  EXPECT_LE(TFrame3DView::LiveContexts(), 2u);
  EXPECT_FALSE(QelReleaseFailed);
}

TEST_F(Text3DFrames, FramesAreFreedWhileAnotherContextIsCurrentWithoutDisturbingIt) {
  TFrame& frame = AddTextFrame(sprite, TextState(clRed), TextState(clRed), 1, false);
  StartAnimation(frame);
  frame.RenderNext3D();
  ASSERT_GT(frame.Objects3D->text.GlyphsBuilt(), 0);
  std::unique_ptr<TGLContext> other = TGLContext::Create(TGLContextPurpose::Bitmap, 4, 4);
  ASSERT_NE(other, nullptr);
  ASSERT_TRUE(other->MakeCurrent());
  sprite.DeleteFrameSilently(frame.Index());
  EXPECT_EQ(TGLContext::Current(), other.get());
  EXPECT_FALSE(QelReleaseFailed);
  other->Release();
}

}  // namespace
