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

// The bounding box of the pixels that are not white; empty when there are none.
TRect BoxOfNonWhite(const TBitmap& bitmap) {
  TRect box;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      if (bitmap.Pixel(x, y) != clWhite) {
        TRect pixel = Rect(x, y, x + 1, y + 1);
        UnionRect(box, box, pixel);
      }
  return box;
}

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

TEST_F(FrameDrawing, ANewFrameShowsThePlaceholderPicture) {
  TFrame frame(&sprite);
  EXPECT_EQ(frame.ImageWidth, 29);
  EXPECT_EQ(frame.ImageHeight, 29);
  EXPECT_EQ(frame.Kind, 0);
  EXPECT_EQ(frame.Duration(), 1);
  EXPECT_FALSE(frame.Transparent());
  EXPECT_EQ(frame.TextParams.BackgroundColor, 0xFFFFFF);
  EXPECT_EQ(frame.Picture.Pixel(0, 0), 0x808080u);
  EXPECT_EQ(frame.Picture.Pixel(1, 5), clBlack);
  EXPECT_EQ(frame.Picture.Pixel(27, 5), clWhite);
  EXPECT_EQ(frame.Picture.Pixel(5, 27), clWhite);
  EXPECT_EQ(frame.Picture.Pixel(14, 14), 0x000080u);
  EXPECT_EQ(frame.Picture.Pixel(14, 8), 0xC0C0C0u);
  EXPECT_EQ(frame.DisplayImage.Pixel(14, 14), 0x000080u);
  EXPECT_EQ(frame.DisplayImage.PixelFormat(), pf24bit);
}

TEST_F(FrameDrawing, OpacityAboveHundredDrawsFullyAndBelowZeroNotAtAll) {
  TFrame& frame = AddFrame(10, 10);
  frame.Draw(target, 0, 1, 1, 0, 100, 60, 150);
  EXPECT_EQ(target.Pixel(7, 7), clRed);
  frame.Draw(target, 20, 1, 1, 0, 100, 60, -5);
  EXPECT_EQ(target.Pixel(27, 7), clWhite);
  frame.Draw(target, 40, 1, 1, 0, 100, 60, 50);
  EXPECT_EQ(target.Pixel(47, 7), RGB(255, 127, 127));
}

TEST_F(FrameDrawing, NegativePositionsClipByTheWidthAndTheZoomedSizeCounts) {
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
}

TEST_F(FrameDrawing, NothingIsDrawnAtOrPastTheScenesRightAndBottomEdges) {
  TFrame& frame = AddFrame(10, 10);
  TBitmap wide;
  MakeSolid(wide, 200, 100, clWhite);
  frame.Draw(wide, 100, 1, 1, 0, 100, 60, 100);
  frame.Draw(wide, 0, 1, 1, 60, 100, 60, 100);
  EXPECT_EQ(BoxOfNonWhite(wide), TRect{});
  frame.Draw(wide, 100, 1, 1, 0, 0, 0, 100);  // no scene size: no limit
  EXPECT_EQ(wide.Pixel(107, 7), clRed);
}

TEST_F(FrameDrawing, SkipPaintingDrawsNothing) {
  TFrame& frame = AddFrame(10, 10);
  scene.SkipPainting = 1;
  frame.Draw(target, 0, 1, 1, 0, 100, 60, 100);
  EXPECT_EQ(target.Pixel(7, 7), clWhite);
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
  frame.Draw(target, 50, 1, 1, 0, 100, 60, 50);
  EXPECT_EQ(target.Pixel(52, 2), clWhite);
  EXPECT_EQ(target.Pixel(57, 7), RGB(255, 127, 127));
  frame.Draw(target, 70, 2, 2, 0, 100, 60, 50);
  EXPECT_EQ(target.Pixel(72, 2), clWhite);
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
  frame.PickTransparentColor(clRed, 7, 7);
  EXPECT_EQ(frame.PickPoint, Point(7, 7));
  EXPECT_EQ(frame.TransparentColor(), clRed);
  frame.PickTransparentColor(clBlue, 2, 3);
  EXPECT_EQ(frame.TransparentColor(), clBlue);  // the colour of the pixel picked
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
  TFrame& frame = AddFrame(30, 30, true);
  frame.Draw(target, 0, 100000, 100000, 0, 100, 60, 100);
  frame.Draw(target, 0, 100000, 100000, 0, 100, 60, 100);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Cannot draw stretched transparent image.");
  EXPECT_EQ(ui.messages[0].caption, "Error");
  EXPECT_EQ(ui.messages[0].flags & MB_ICONMASK, static_cast<unsigned>(MB_ICONERROR));
  TFrame& opaque = AddFrame(30, 30);
  opaque.Draw(target, 0, 100000, 100000, 0, 100, 60, 50);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1].text, "Cannot draw streatched non transparent image.");
}

TEST_F(FrameDrawing, AHardShadowPaintsTheColourUnderTheOpaquePixels) {
  TFrame& frame = AddFrame(10, 10, true, clBlue);
  TMoving motion(&scene);
  motion.ShadowBlur = 0;
  motion.ShadowColor = clBlack;
  motion.ShadowOpacity = 100;
  TBitmap image;
  MakeSolid(image, 10, 10, clBlue);
  frame.Draw(image, 0, 1, 1, 0, 100, 60, 100);
  frame.DrawShadow(target, image, motion, 30, 30, 100, 60);
  EXPECT_EQ(target.Pixel(32, 32), clWhite);  // under the transparent corner
  EXPECT_EQ(target.Pixel(37, 37), clBlack);
  EXPECT_EQ(target.Pixel(40, 40), clWhite);
}

TEST_F(FrameDrawing, ABlurredShadowGrowsByItsRadiusAndFadesOut) {
  TFrame& frame = AddFrame(10, 10);
  TMoving motion(&scene);
  motion.ShadowBlur = 3;
  motion.ShadowColor = clBlack;
  motion.ShadowOpacity = 100;
  TBitmap image;
  MakeSolid(image, 10, 10, clRed);
  frame.DrawShadow(target, image, motion, 30, 30, 100, 60);
  // The mask spans 16 x 16 from (30, 30): darkest in the middle, lighter at the rim.
  const TColor middle = target.Pixel(38, 38);
  const TColor rim = target.Pixel(30, 38);
  EXPECT_LT(GetRValue(middle), GetRValue(rim));
  EXPECT_LT(GetRValue(rim), 255);
  EXPECT_EQ(target.Pixel(46, 38), clWhite);
}

TEST_F(FrameDrawing, AShadowPartlyLeftOfTheSceneIsStillDrawn) {
  TFrame& frame = AddFrame(10, 10);
  TMoving motion(&scene);
  motion.ShadowBlur = 4;
  motion.ShadowColor = clBlack;
  motion.ShadowOpacity = 100;
  TBitmap image;
  MakeSolid(image, 10, 10, clRed);
  // The image is 10 wide but the mask 18: at -12 six columns of it show.
  frame.DrawShadow(target, image, motion, -12, 10, 100, 60);
  EXPECT_LT(GetRValue(target.Pixel(0, 19)), 255);
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
  for (const auto& record : undo.records) {
    EXPECT_EQ(record.objectKind, uokFrameInPlace);
    EXPECT_EQ(record.objectId, frame.Id);
    EXPECT_EQ(record.recordKind, 1);
    EXPECT_TRUE(record.hasWriter);
  }
  EXPECT_EQ(frame.Duration(), 3);
  EXPECT_TRUE(frame.Transparent());
  EXPECT_EQ(frame.TransparentColor(), clGreen);
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
  EXPECT_EQ(frame.Picture.Width(), 30);
  EXPECT_EQ(frame.DisplayImage.Pixel(15, 10), clBlue);
  EXPECT_EQ(frame.PickPoint, Point(0, 0));
  frame.Draw(target, 0, 1, 1, 0, 100, 60, 100);
  EXPECT_EQ(target.Pixel(0, 0), clWhite);
  EXPECT_EQ(target.Pixel(15, 10), clBlue);
}

TEST_F(FrameDrawing, AssignCopiesEverythingButTheId) {
  TFrame& source = AddFrame(12, 8, true, clBlue);
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
  EXPECT_EQ(copy.Duration(), 5);
  EXPECT_EQ(copy.Kind, fkText);
  EXPECT_EQ(copy.Text, "Hello");
  EXPECT_EQ(copy.TextParams, source.TextParams);
  EXPECT_EQ(copy.Shape, source.Shape);
  EXPECT_EQ(copy.StartState, source.StartState);
  EXPECT_EQ(copy.LineEnd, Point(3, 4));
  EXPECT_TRUE(copy.Transparent());
  EXPECT_EQ(copy.ImageWidth, 12);
  EXPECT_EQ(copy.DisplayImage.Pixel(8, 6), clRed);
}

TEST_F(FrameDrawing, ANewPictureDropsAKeptJpegSource) {
  TBitmap picture;
  MakeSolid(picture, 16, 16, clRed);
  TJPEGImage encoder;
  encoder.Bitmap().Assign(&picture);
  TMemoryStream bytes;
  encoder.SaveToStream(bytes);
  TJPEGImage jpeg;
  jpeg.LoadFromMemoryStream(&bytes);
  TFrame& frame = *sprite.AddFrame();
  frame.LoadJpegSource(jpeg, false, 0);
  EXPECT_EQ(frame.SourceKept, 1);
  EXPECT_EQ(frame.SourceKind, fskJpeg);
  EXPECT_EQ(frame.KeptStream.Size(), bytes.Size());
  EXPECT_EQ(frame.ImageWidth, 16);
  TFrame copy(&sprite);
  copy.Assign(frame);
  EXPECT_EQ(copy.SourceKept, 1);
  EXPECT_EQ(copy.KeptStream.Size(), bytes.Size());
  MakeSolid(picture, 4, 4, clBlue);
  frame.SetPicture(picture, false, 0, -1, -1);
  EXPECT_EQ(frame.SourceKept, 0);
  EXPECT_EQ(frame.KeptStream.Size(), 0);
}

TEST_F(FrameDrawing, ATextFrameDrawsItsTextIntoItsPicture) {
  TFrame& frame = *sprite.AddFrame();
  frame.Kind = fkText;
  frame.Text = "Word";
  frame.TextParams.Mode = tdmPlain;
  frame.TextParams.FontName = "Arial";
  frame.TextParams.FontHeight = -16;
  frame.TextParams.TextColor = static_cast<std::int32_t>(clBlack);
  frame.DrawTextImage();
  frame.UpdateDisplayImage();
  EXPECT_GT(frame.Picture.Width(), 30);
  bool inked = false;
  for (int y = 0; y < frame.DisplayImage.Height(); ++y)
    for (int x = 0; x < frame.DisplayImage.Width(); ++x) inked = inked || frame.DisplayImage.Pixel(x, y) == clBlack;
  EXPECT_TRUE(inked);
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

// A GIF of n images, image i filled with colour i, each with the delay.
std::unique_ptr<TGifFile> MakeGif(int images, int delay) {
  auto gif = std::make_unique<TGifFile>();
  const TColor colors[] = {clRed, clLime, clBlue, clYellow, clAqua, clFuchsia};
  for (int i = 0; i < images; ++i) {
    TBitmap image;
    image.SetPixelFormat(pf8bit);
    image.Canvas().Brush().Color = colors[i % 6];
    image.SetSize(8, 8);
    image.Canvas().FillRect(Rect(0, 0, 8, 8));
    gif->AddGraphic(image);
    gif->GetSubImage(gif->ImageCount())->SetDelay(delay);
  }
  return gif;
}

int ImagesShownIn(TFrame& frame, int steps) {
  int shown = 0;
  for (int i = 0; i < steps; ++i) {
    frame.AdvanceSource(-1);
    shown += frame.ImageChanged;
  }
  return shown;
}

TEST_F(FrameDrawing, AGifWithoutDelaysShowsOneImagePerFiftyMillisecondStep) {
  TFrame& frame = *sprite.AddFrame();
  TGifFilePtr gif(MakeGif(3, 0).release());
  frame.LoadGifSource(std::move(gif), false, 0);
  ASSERT_TRUE(frame.PlaysKeptSource());
  EXPECT_EQ(frame.DisplayImage.Pixel(3, 3), clRed);
  EXPECT_EQ(ImagesShownIn(frame, 8), 8);
}

TEST_F(FrameDrawing, AGifWithDelayTwentyShowsANewImageEveryFourSteps) {
  TFrame& frame = *sprite.AddFrame();
  TGifFilePtr gif(MakeGif(3, 20).release());
  frame.LoadGifSource(std::move(gif), false, 0);
  EXPECT_EQ(ImagesShownIn(frame, 12), 3);
  frame.AdvanceSource(2);
  EXPECT_EQ(frame.ImageChanged, 1);
  EXPECT_EQ(frame.DisplayImage.Pixel(3, 3), clLime);
}

TEST_F(FrameDrawing, AGifThatWrapsMovesItsSpriteToTheNextFrame) {
  TFrame& first = *sprite.AddFrame();
  TGifFilePtr gif(MakeGif(2, 0).release());
  first.LoadGifSource(std::move(gif), false, 0);
  sprite.AddFrame();
  EXPECT_FALSE(sprite.AdvanceFrame());
  first.AdvanceSource(-1);  // image 2
  first.AdvanceSource(-1);  // image 1 again: wrapped
  EXPECT_TRUE(sprite.AdvanceFrame());
  EXPECT_EQ(sprite.GetCurrentFrameIndex(), 1);
  EXPECT_EQ(first.GifSource()->FrameCounter(), 1);
}

}  // namespace
