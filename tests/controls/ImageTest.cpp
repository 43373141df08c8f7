// The picture control: its bitmap at the top-left corner or stretched.
#include "controls/Image.h"

#include <gtest/gtest.h>

#include <QWidget>

namespace {

// A 2 x 1 bitmap: red on the left, blue on the right.
void MakeRedBlue(TBitmap& bitmap) {
  bitmap.SetPixelFormat(pf24bit);
  bitmap.SetSize(2, 1);
  bitmap.Canvas().SetPixel(0, 0, clRed);
  bitmap.Canvas().SetPixel(1, 0, clBlue);
}

}  // namespace

TEST(Image, ShowsItsBitmapAtTheTopLeftCorner) {
  QWidget parent;
  TImage image(&parent);
  image.SetBounds(0, 0, 4, 2);
  MakeRedBlue(image.Bitmap());
  TBitmap shown;
  shown.Assign(&image.PaintPicture(clWhite));
  EXPECT_EQ(shown.Canvas().Pixel(0, 0), clRed);
  EXPECT_EQ(shown.Canvas().Pixel(1, 0), clBlue);
  EXPECT_EQ(shown.Canvas().Pixel(2, 0), clWhite);
  EXPECT_EQ(shown.Canvas().Pixel(0, 1), clWhite);
}

TEST(Image, StretchesItsBitmapOverTheControl) {
  QWidget parent;
  TImage image(&parent);
  image.SetBounds(0, 0, 4, 2);
  MakeRedBlue(image.Bitmap());
  image.SetStretch(true);
  TBitmap shown;
  shown.Assign(&image.PaintPicture(clWhite));
  EXPECT_EQ(shown.Canvas().Pixel(1, 1), clRed);
  EXPECT_EQ(shown.Canvas().Pixel(2, 0), clBlue);
  EXPECT_EQ(shown.Canvas().Pixel(3, 1), clBlue);
}

TEST(Image, TheScreenShowsTheBitmapItself) {
  QWidget parent;
  parent.resize(10, 10);
  TImage image(&parent);
  image.SetBounds(0, 0, 2, 1);
  MakeRedBlue(image.Bitmap());
  const QImage grabbed = image.grab().toImage();
  EXPECT_EQ(grabbed.pixelColor(0, 0), QColor(255, 0, 0));
  EXPECT_EQ(grabbed.pixelColor(1, 0), QColor(0, 0, 255));
}
