#include "dialogs/core/TemplateThumbnails.h"

#include "platform/Graphics.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace {

void MakeSolid(TBitmap& bitmap, int width, int height, TColor color) {
  bitmap.SetPixelFormat(pf24bit);
  bitmap.Canvas().Brush().Color = color;
  bitmap.SetSize(width, height);
  bitmap.Canvas().FillRect(Rect(0, 0, width, height));
}

TColor ButtonFace() { return ColorToRGB(clBtnFace) & 0xFFFFFF; }

// ---- Thumbnail placement -------------------------------------------------------------------------------

TEST(TemplateThumbnails, AWideBannerIsScaledToTheHeightAndBottomAligned) {
  const TRect r = TemplateThumbnailRect(468, 60, 400, 51);
  EXPECT_EQ(r, Rect(1, 0, 399, 51));
  EXPECT_EQ(TemplateThumbnailRect(400, 150, 400, 51), Rect(132, 0, 268, 51));
}

TEST(TemplateThumbnails, ASmallPictureIsCentredUnscaled) {
  EXPECT_EQ(TemplateThumbnailRect(100, 21, 400, 51), Rect(150, 15, 250, 36));
}

TEST(TemplateThumbnails, ATallSetScalesToTheWidth) {
  EXPECT_EQ(TemplateThumbnailRect(100, 300, 50, 60), Rect(0, -90, 50, 60));
  EXPECT_EQ(TemplateThumbnailRect(200, 100, 50, 60), Rect(0, 35, 50, 60));
}

// ---- Thumbnail bitmaps ---------------------------------------------------------------------------------

TEST(TemplateThumbnails, TheBitmapShowsThePictureOnTheButtonFace) {
  TBitmap picture;
  MakeSolid(picture, 468, 60, clRed);
  TBitmap thumbnail;
  MakeTemplateThumbnail(picture, 400, 51, thumbnail);
  EXPECT_EQ(thumbnail.Width(), 400);
  EXPECT_EQ(thumbnail.Height(), 51);
  EXPECT_EQ(thumbnail.Pixel(0, 25) & 0xFFFFFF, ButtonFace());
  EXPECT_EQ(thumbnail.Pixel(1, 50) & 0xFFFFFF, clRed);
  EXPECT_EQ(thumbnail.Pixel(398, 0) & 0xFFFFFF, clRed);
  EXPECT_EQ(thumbnail.Pixel(399, 0) & 0xFFFFFF, ButtonFace());
}

TEST(TemplateThumbnails, ASmallPictureKeepsItsPixels) {
  TBitmap picture;
  MakeSolid(picture, 100, 21, clBlue);
  picture.SetPixel(0, 0, clLime);
  TBitmap thumbnail;
  MakeTemplateThumbnail(picture, 400, 51, thumbnail);
  EXPECT_EQ(thumbnail.Pixel(150, 15) & 0xFFFFFF, clLime);
  EXPECT_EQ(thumbnail.Pixel(249, 35) & 0xFFFFFF, clBlue);
  EXPECT_EQ(thumbnail.Pixel(149, 15) & 0xFFFFFF, ButtonFace());
  EXPECT_EQ(thumbnail.Pixel(150, 36) & 0xFFFFFF, ButtonFace());
}

TEST(TemplateThumbnails, APictureReachingBeyondTheThumbnailShowsOnlyItsVisiblePart) {
  // Scaled to the height, 65535 x 1 would be 3.3 million pixels wide; only the
  // 400 x 51 that are seen are made.
  TBitmap picture;
  MakeSolid(picture, 65535, 1, clGreen);
  TBitmap thumbnail;
  MakeTemplateThumbnail(picture, 400, 51, thumbnail);
  EXPECT_EQ(thumbnail.Pixel(0, 0) & 0xFFFFFF, clGreen);
  EXPECT_EQ(thumbnail.Pixel(399, 50) & 0xFFFFFF, clGreen);
  // A tall picture in the logo set, scaled to the width: its bottom part shows.
  TBitmap tall;
  MakeSolid(tall, 100, 300, clYellow);
  tall.Canvas().Brush().Color = clNavy;
  tall.Canvas().FillRect(Rect(0, 250, 100, 300));
  MakeTemplateThumbnail(tall, 50, 60, thumbnail);
  EXPECT_EQ(thumbnail.Pixel(25, 59) & 0xFFFFFF, clNavy);
  EXPECT_EQ(thumbnail.Pixel(25, 0) & 0xFFFFFF, clYellow);
}

TEST(TemplateThumbnails, AnEmptyPictureLeavesTheButtonFace) {
  TBitmap empty;
  TBitmap thumbnail;
  MakeTemplateThumbnail(empty, 250, 40, thumbnail);
  EXPECT_EQ(thumbnail.Width(), 250);
  EXPECT_EQ(thumbnail.Pixel(125, 20) & 0xFFFFFF, ButtonFace());
}

// ---- Template folders ----------------------------------------------------------------------------------

TEST(TemplateFolders, ProjectFilesOfAnyCaseAreListedSorted) {
  TempDir temp;
  for (const char* name : {"b.GLM", "a.glm", "c.Glm", "d.gif", "e.glm.bak"}) temp.WriteFile(name, "x");
  EXPECT_EQ(ListProjectFiles(temp.Path()), (std::vector<std::string>{"a.glm", "b.GLM", "c.Glm"}));
  EXPECT_TRUE(ListProjectFiles(temp.File("missing")).empty());
}

}  // namespace
