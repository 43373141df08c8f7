#include "scene/Frame.h"

#include "imaging/GifUnit.h"
#include "imaging/JpgImg.h"
#include "platform/Streams.h"
#include "scene/Moving.h"
#include "scene/Sprite.h"
#include "scene/SpriteU.h"
#include "tests/scene/SceneTestSupport.h"
#include "tests/support/ScriptedUiServices.h"

#include <gtest/gtest.h>

namespace {

class FrameDrawing : public testing::Test {
 protected:
  FrameDrawing() : sprite(&scene) {
    scene.Width = 100;
    scene.Height = 60;
    MakeSolid(target, 100, 60, clWhite);
    ResetShownDrawingFailures();
  }

  // A frame of w x h: red, with a blue square at its top left.
  TFrame& AddFrame(int w, int h, bool transparent = false, TColor key = clBlue) {
    TBitmap picture;
    MakeSolid(picture, w, h, clRed);
    picture.Canvas().Brush().Color = clBlue;
    picture.Canvas().FillRect(Rect(0, 0, 5, 5));
    TFrame& frame = *sprite.AddFrame();
    frame.SetPicture(picture, transparent, key, -1, -1);
    return frame;
  }

  TAnimatedScene scene;
  TSprite sprite;
  TBitmap target;
};

TEST_F(FrameDrawing, OpacityAboveHundredDrawsFullyAndBelowZeroOrWhileSkippingNotAtAll) {
  TFrame& frame = AddFrame(10, 10);
  frame.Draw(target, 0, 1, 1, 0, 100, 60, 150);
  EXPECT_EQ(target.Pixel(7, 7), clRed);
  frame.Draw(target, 20, 1, 1, 0, 100, 60, -5);
  EXPECT_EQ(target.Pixel(27, 7), clWhite);
  frame.Draw(target, 40, 1, 1, 0, 100, 60, 50);
  EXPECT_EQ(target.Pixel(47, 7), RGB(255, 127, 127));
  scene.SkipPainting = 1;
  frame.Draw(target, 60, 1, 1, 0, 100, 60, 100);
  EXPECT_EQ(target.Pixel(67, 7), clWhite);
}

TEST_F(FrameDrawing, ClippingAtTheLeftCountsTheZoomedSizeAndNothingShowsPastTheRightOrBottom) {
  TFrame& frame = AddFrame(30, 10);
  frame.Draw(target, -40, 1, 1, 0, 100, 60, 100);
  EXPECT_EQ(target.Pixel(0, 7), clWhite);
  frame.Draw(target, -20, 1, 1, 0, 100, 60, 100);
  EXPECT_EQ(target.Pixel(9, 7), clRed);
  EXPECT_EQ(target.Pixel(10, 7), clWhite);
  // Zoomed to 60 wide, the same frame at -40 still shows its last 20 columns.
  MakeSolid(target, 100, 60, clWhite);
  frame.Draw(target, -40, 2, 1, 20, 100, 60, 100);
  EXPECT_EQ(target.Pixel(19, 27), clRed);
  EXPECT_EQ(target.Pixel(20, 27), clWhite);
  TBitmap wide;
  MakeSolid(wide, 200, 100, clWhite);
  frame.Draw(wide, 100, 1, 1, 0, 100, 60, 100);
  frame.Draw(wide, 0, 1, 1, 60, 100, 60, 100);
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 200; ++x) ASSERT_EQ(wide.Pixel(x, y), clWhite) << x << "," << y;
  frame.Draw(wide, 100, 1, 1, 0, 0, 0, 100);  // no scene size: no limit
  EXPECT_EQ(wide.Pixel(107, 7), clRed);
}

TEST_F(FrameDrawing, ATransparentFrameLeavesItsKeyColourOutAtAnyZoomAndOpacity) {
  TFrame& frame = AddFrame(10, 10, true, clBlue);
  EXPECT_EQ(frame.PickPoint, Point(0, 0));
  frame.Draw(target, 0, 1, 1, 0, 100, 60, 100);
  EXPECT_EQ(target.Pixel(2, 2), clWhite);
  EXPECT_EQ(target.Pixel(7, 7), clRed);
  frame.Draw(target, 20, 2, 2, 0, 100, 60, 100);
  EXPECT_EQ(target.Pixel(24, 4), clWhite);
  EXPECT_EQ(target.Pixel(35, 15), clRed);
  frame.Draw(target, 70, 2, 2, 0, 100, 60, 50);
  EXPECT_EQ(target.Pixel(72, 2), clWhite);
  EXPECT_EQ(target.Pixel(87, 17), RGB(255, 127, 127));
  scene.ResampledStretching = 1;
  frame.Draw(target, 0, 3, 3, 20, 100, 60, 100);
  EXPECT_EQ(target.Pixel(3, 23), clWhite);
  EXPECT_EQ(target.Pixel(25, 45), clRed);
}

TEST_F(FrameDrawing, ATransparentFrameWithoutAPickPointUsesItsStoredColour) {
  TFrame& frame = AddFrame(10, 10, true, clGreen);  // no pixel is green
  EXPECT_EQ(frame.PickPoint, Point(-1, -1));
  frame.Draw(target, 0, 1, 1, 0, 100, 60, 100);
  EXPECT_EQ(target.Pixel(2, 2), clBlue);
  frame.SetTransparentColor(clBlue);
  frame.Draw(target, 20, 1, 1, 0, 100, 60, 100);
  EXPECT_EQ(target.Pixel(22, 2), clWhite);
  EXPECT_EQ(target.Pixel(27, 7), clRed);
}

TEST_F(FrameDrawing, PickingAPointOutsideTheImageSearchesByColourColumnByColumn) {
  TFrame& frame = AddFrame(10, 10);
  frame.DisplayImage.SetPixel(6, 3, clGreen);
  frame.DisplayImage.SetPixel(6, 1, clGreen);
  frame.DisplayImage.SetPixel(8, 0, clGreen);
  frame.PickTransparentColor(clGreen, 50, 50);
  EXPECT_EQ(frame.PickPoint, Point(6, 1));
  EXPECT_EQ(frame.TransparentColor(), clGreen);
  frame.PickTransparentColor(clRed, 2, 3);
  EXPECT_EQ(frame.PickPoint, Point(2, 3));
  EXPECT_EQ(frame.TransparentColor(), clBlue) << "the colour of the pixel picked";
}

TEST_F(FrameDrawing, OnAPaletteTargetTheKeyIsComparedAsTheTargetShowsIt) {
  TBitmap picture;
  MakeSolid(picture, 10, 10, clRed);
  picture.Canvas().Brush().Color = RGB(250, 0, 250);  // shows as magenta on the palette
  picture.Canvas().FillRect(Rect(0, 0, 5, 10));
  picture.SetPixel(9, 9, RGB(255, 0, 255));
  TFrame& frame = *sprite.AddFrame();
  frame.SetPicture(picture, true, RGB(255, 0, 255), 9, 9);
  TBitmap palette;
  palette.SetPixelFormat(pf8bit);
  palette.Canvas().Brush().Color = clWhite;
  palette.SetSize(20, 20);
  palette.Canvas().FillRect(Rect(0, 0, 20, 20));
  frame.Draw(palette, 0, 1, 1, 0, 20, 20, 100);
  EXPECT_EQ(palette.Pixel(2, 2), clWhite);
  EXPECT_EQ(palette.Pixel(7, 2), clRed);
  EXPECT_EQ(frame.ResolvedColor, RGB(255, 0, 255));
}

TEST_F(FrameDrawing, ADrawingFailureIsShownOnceInAnErrorBox) {
  ScriptedUiServices ui;
  const int shownBefore = ShownDrawingFailureCount();
  TFrame& frame = AddFrame(30, 30, true);
  frame.Draw(target, 0, 100000, 100000, 0, 100, 60, 100);
  frame.Draw(target, 0, 100000, 100000, 0, 100, 60, 100);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ShownDrawingFailureCount(), shownBefore + 1);
  EXPECT_EQ(ui.messages[0].text, "Cannot draw stretched transparent image.");
  EXPECT_EQ(ui.messages[0].caption, "Error");
  EXPECT_EQ(ui.messages[0].flags & MB_ICONMASK, static_cast<unsigned>(MB_ICONERROR));
  TFrame& opaque = AddFrame(30, 30);
  opaque.Draw(target, 0, 100000, 100000, 0, 100, 60, 50);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1].text, "Cannot draw streatched non transparent image.");
  EXPECT_EQ(ShownDrawingFailureCount(), shownBefore + 2);
}

TEST_F(FrameDrawing, AHardShadowFollowsTheOpaquePixelsAndABlurredOneGrowsByItsRadiusAndFades) {
  TFrame& frame = AddFrame(10, 10, true, clBlue);
  TMoving motion(&scene);
  motion.ShadowBlur = 0;
  motion.ShadowColor = clBlack;
  motion.ShadowOpacity = 100;
  TBitmap image;
  MakeSolid(image, 10, 10, clBlue);
  frame.Draw(image, 0, 1, 1, 0, 100, 60, 100);
  frame.DrawShadow(target, image, motion, 30, 0, 100, 60);
  EXPECT_EQ(target.Pixel(32, 2), clWhite);  // under the transparent corner
  EXPECT_EQ(target.Pixel(37, 7), clBlack);
  EXPECT_EQ(target.Pixel(40, 10), clWhite);

  motion.ShadowBlur = 3;
  MakeSolid(image, 10, 10, clRed);
  frame.DrawShadow(target, image, motion, 30, 30, 100, 60);
  // The mask spans 16 x 16 from (30, 30): darkest in the middle, lighter at the rim.
  const TColor middle = target.Pixel(38, 38);
  const TColor rim = target.Pixel(30, 38);
  EXPECT_LT(GetRValue(middle), GetRValue(rim));
  EXPECT_LT(GetRValue(rim), 255);
  EXPECT_EQ(target.Pixel(46, 38), clWhite);
  // At -12 the last four columns of the mask show.
  frame.DrawShadow(target, image, motion, -12, 30, 100, 60);
  EXPECT_LT(GetRValue(target.Pixel(0, 38)), 255);
}

TEST_F(FrameDrawing, AShadowDrawnAgainFollowsEveryChangeOfPictureBlurAndKey) {
  TFrame& reused = AddFrame(10, 10, true, clBlue);
  TMoving motion(&scene);
  motion.ShadowColor = clBlack;
  motion.ShadowOpacity = 80;
  struct Case {
    int blur;
    TRect keyed;  // the part of the picture in the key colour
  };
  const Case cases[] = {{3, Rect(0, 0, 5, 5)}, {3, Rect(2, 3, 9, 6)}, {3, Rect(2, 3, 9, 6)},
                        {2, Rect(2, 3, 9, 6)}, {0, Rect(2, 3, 9, 6)}, {3, Rect(0, 0, 5, 5)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.blur);
    TBitmap image;
    MakeSolid(image, 10, 10, clRed);
    image.Canvas().Brush().Color = clBlue;
    image.Canvas().FillRect(c.keyed);
    TBitmap alone;
    MakeSolid(alone, 100, 60, clWhite);
    MakeSolid(target, 100, 60, clWhite);
    motion.ShadowBlur = c.blur;
    // The frame that drew the cases before draws what a new frame draws.
    TBitmap copy;
    copy.Assign(&image);
    reused.DrawShadow(target, image, motion, 20, 20, 100, 60);
    AddFrame(10, 10, true, clBlue).DrawShadow(alone, copy, motion, 20, 20, 100, 60);
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 100; ++x) ASSERT_EQ(target.Pixel(x, y), alone.Pixel(x, y)) << x << "," << y;
  }
}

TEST_F(FrameDrawing, AZoomedFrameDrawnAgainFollowsEveryChangeOfPictureSizeKeyAndScaling) {
  TFrame& reused = AddFrame(10, 10, true, clBlue);
  struct Case {
    double zoom;
    TRect spot;  // a green spot that tells the pictures apart
    TColor key;
    std::uint8_t resampled;
    int opacity;
  };
  const Case cases[] = {{1.5, Rect(6, 6, 9, 9), clBlue, 0, 100}, {1.5, Rect(6, 6, 9, 9), clBlue, 0, 100},
                        {1.5, Rect(1, 6, 4, 9), clBlue, 0, 100}, {2.0, Rect(1, 6, 4, 9), clBlue, 0, 100},
                        {2.0, Rect(1, 6, 4, 9), clBlue, 1, 100}, {2.0, Rect(1, 6, 4, 9), clRed, 1, 60},
                        {1.5, Rect(6, 6, 9, 9), clBlue, 0, 100}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.zoom);
    TBitmap picture;
    MakeSolid(picture, 10, 10, clRed);
    picture.Canvas().Brush().Color = clBlue;
    picture.Canvas().FillRect(Rect(0, 0, 5, 5));
    picture.Canvas().Brush().Color = clLime;
    picture.Canvas().FillRect(c.spot);
    reused.SetPicture(picture, true, c.key, -1, -1);
    scene.ResampledStretching = c.resampled;
    MakeSolid(target, 100, 60, clWhite);
    reused.Draw(target, 20, c.zoom, c.zoom, 10, 100, 60, c.opacity);
    // A new frame with the same picture draws the same pixels.
    TBitmap alone;
    MakeSolid(alone, 100, 60, clWhite);
    TFrame& fresh = *sprite.AddFrame();
    fresh.SetPicture(picture, true, c.key, -1, -1);
    fresh.Draw(alone, 20, c.zoom, c.zoom, 10, 100, 60, c.opacity);
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 100; ++x) ASSERT_EQ(target.Pixel(x, y), alone.Pixel(x, y)) << x << "," << y;
  }
}

// ---- Settings, pictures and copies ----------------------------------------------------------------

TEST_F(FrameDrawing, SettersRecordUndoOnlyWhenTheValueChanges) {
  TFrame& frame = AddFrame(10, 10);
  RecordingUndo undo;
  frame.SetDuration(1);
  frame.SetDuration(3);
  frame.SetTransparent(false);
  frame.SetTransparent(true);
  frame.SetTransparentColor(frame.TransparentColor());
  frame.SetTransparentColor(clGreen);
  EXPECT_EQ(undo.Captions(),
            (std::vector<std::string>{"Change Duration", "Change Transparency", "Change Transparent Color"}));
}

TEST_F(FrameDrawing, RebuildingAShapePicksItsTransparentColourByColour) {
  TFrame& frame = *sprite.AddFrame();
  frame.Kind = fkEllipse;
  frame.ImageWidth = 30;
  frame.ImageHeight = 20;
  frame.Shape.BackgroundColor = static_cast<std::int32_t>(clLime);
  frame.Shape.FillColor1 = frame.Shape.FillColor2 = static_cast<std::int32_t>(clBlue);
  frame.StoreTransparency(true, clLime);
  frame.RebuildImage();
  EXPECT_EQ(frame.PickPoint, Point(0, 0));
  frame.Draw(target, 0, 1, 1, 0, 100, 60, 100);
  EXPECT_EQ(target.Pixel(0, 0), clWhite);
  EXPECT_EQ(target.Pixel(15, 10), clBlue);
}

TEST_F(FrameDrawing, AssignCopiesEverythingButTheIdAndANewPictureDropsAKeptJpeg) {
  TBitmap picture;
  MakeSolid(picture, 16, 16, clRed);
  TMemoryStream bytes;
  TJPEGImage jpeg;
  EncodeJpeg(picture, bytes, jpeg);
  TFrame& source = *sprite.AddFrame();
  source.LoadJpegSource(jpeg, true, clBlue);
  source.StoreDuration(5);
  source.Kind = fkText;
  source.Text = "Hello";
  source.TextParams.Mode = tdmShadow;
  source.Shape.CornerSize = 4;
  source.StartState.Text = "3D";
  source.LineEnd = Point(3, 4);
  TFrame copy(&sprite);
  copy.Assign(source);
  EXPECT_NE(copy.Id, source.Id);
  EXPECT_EQ(std::tie(copy.Kind, copy.Text, copy.TextParams, copy.Shape, copy.StartState, copy.LineEnd),
            std::tie(source.Kind, source.Text, source.TextParams, source.Shape, source.StartState, source.LineEnd));
  EXPECT_EQ(copy.Duration(), 5);
  EXPECT_TRUE(copy.Transparent());
  EXPECT_EQ(copy.ImageWidth, 16);
  EXPECT_EQ(std::tie(copy.SourceKept, copy.SourceKind), std::make_tuple(1, std::int32_t{fskJpeg}));
  EXPECT_EQ(copy.KeptStream.Size(), bytes.Size());
  MakeSolid(picture, 4, 4, clBlue);
  source.SetPicture(picture, false, 0, -1, -1);
  EXPECT_EQ(source.SourceKept, 0);
  EXPECT_EQ(source.KeptStream.Size(), 0);
}

TEST_F(FrameDrawing, ThreeDAnimationRendersNothingWithoutAView) {
  TFrame& frame = AddFrame(10, 10);
  frame.Objects3D.reset();  // as when its 3D objects could not be made
  frame.Animation3D = 1;
  frame.SubFrameCount = 5;
  frame.Countdown = 10;
  frame.RenderNext3D();
  EXPECT_EQ(frame.SubFrameCounter, 0);
  EXPECT_EQ(frame.Countdown, 10);
}

// ---- Kept GIF sources ---------------------------------------------------------------------------------

// Images shown in a row of steps of 50 ms, against each image's delay.
TEST_F(FrameDrawing, AKeptGifShowsItsImagesAtTheirDelaysAndAnImageWithoutADelayEveryStep) {
  for (auto [delay, steps, shown] : {std::tuple{0, 8, 8}, {20, 12, 3}}) {
    TFrame& frame = *sprite.AddFrame();
    frame.LoadGifSource(MakeGif({clRed, clLime, clBlue}, {delay, delay, delay}), false, 0);
    ASSERT_TRUE(frame.PlaysKeptSource());
    EXPECT_EQ(frame.DisplayImage.Pixel(3, 3), clRed);
    int changes = 0;
    for (int i = 0; i < steps; ++i) {
      frame.AdvanceSource(-1);
      changes += frame.ImageChanged;
    }
    EXPECT_EQ(changes, shown) << "delay " << delay;
  }
  // A given image index is shown at once.
  sprite.Frame(1).AdvanceSource(2);
  EXPECT_EQ(sprite.Frame(1).ImageChanged, 1);
  EXPECT_EQ(sprite.Frame(1).DisplayImage.Pixel(3, 3), clLime);
}

TEST_F(FrameDrawing, AGifThatWrapsMovesItsSpriteToTheNextFrame) {
  TFrame& first = *sprite.AddFrame();
  first.LoadGifSource(MakeGif({clRed, clLime}), false, 0);
  sprite.AddFrame();
  EXPECT_FALSE(sprite.AdvanceFrame());
  first.AdvanceSource(-1);  // image 2
  first.AdvanceSource(-1);  // image 1 again: wrapped
  EXPECT_TRUE(sprite.AdvanceFrame());
  EXPECT_EQ(sprite.GetCurrentFrameIndex(), 1);
  EXPECT_EQ(first.GifSource()->FrameCounter(), 1);
}

}  // namespace
