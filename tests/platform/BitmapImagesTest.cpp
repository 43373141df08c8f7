#include "platform/BitmapImages.h"

#include <gtest/gtest.h>

namespace {

// A 3 x 2 picture (odd width: rows carry padding) of six distinct colours.
void FillSample(TBitmap& bitmap, TPixelFormat format) {
  bitmap.SetPixelFormat(format);
  bitmap.SetSize(3, 2);
  const TColor colors[6] = {clRed, clLime, clBlue, clYellow, clWhite, RGB(12, 34, 56)};
  for (int i = 0; i < 6; ++i) bitmap.SetPixel(i % 3, i / 3, colors[i]);
}

}  // namespace

TEST(BitmapToQImage, CopiesEveryPixelTopDown) {
  for (TPixelFormat format : {pf24bit, pf32bit}) {
    TBitmap bitmap;
    FillSample(bitmap, format);
    const QImage image = BitmapToQImage(bitmap);
    ASSERT_EQ(image.size(), QSize(3, 2));
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0)) << format;
    EXPECT_EQ(image.pixel(2, 0), qRgb(0, 0, 255)) << format;
    EXPECT_EQ(image.pixel(0, 1), qRgb(255, 255, 0)) << format;
    EXPECT_EQ(image.pixel(2, 1), qRgb(12, 34, 56)) << format;
  }
}

TEST(BitmapToQImage, ResolvesPaletteFormatsThroughThePalette) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf8bit);
  bitmap.SetPalette(TPalette({{10, 20, 30, 0}, {200, 100, 50, 0}}));
  bitmap.SetSize(2, 1);
  bitmap.ScanLine(0)[0] = 1;
  bitmap.ScanLine(0)[1] = 0;
  const QImage image = BitmapToQImage(bitmap);
  EXPECT_EQ(image.pixel(0, 0), qRgb(200, 100, 50));
  EXPECT_EQ(image.pixel(1, 0), qRgb(10, 20, 30));

  TBitmap mono;
  mono.SetPixelFormat(pf1bit);
  mono.SetSize(9, 1);
  mono.SetPixel(7, 0, clBlack);
  mono.SetPixel(8, 0, clWhite);
  const QImage monoImage = BitmapToQImage(mono);
  EXPECT_EQ(monoImage.pixel(7, 0), qRgb(0, 0, 0));
  EXPECT_EQ(monoImage.pixel(8, 0), qRgb(255, 255, 255));
}

TEST(QImageToBitmap, RoundTripsExactlyAndKeepsTransparencySettings) {
  TBitmap source;
  FillSample(source, pf24bit);
  TBitmap copy;
  copy.SetTransparent(true);
  copy.SetTransparentColor(clLime);
  QImageToBitmap(BitmapToQImage(source), copy);
  EXPECT_EQ(copy.PixelFormat(), pf24bit);
  ASSERT_EQ(copy.Width(), 3);
  ASSERT_EQ(copy.Height(), 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(copy.Pixel(x, y), source.Pixel(x, y)) << x << "," << y;
  EXPECT_TRUE(copy.Transparent());
  EXPECT_EQ(copy.TransparentColor(), clLime);
}

TEST(QImageToBitmap, DropsAlphaWithoutBlending) {
  QImage image(2, 1, QImage::Format_ARGB32);
  image.setPixel(0, 0, qRgba(200, 100, 50, 0));
  image.setPixel(1, 0, qRgba(1, 2, 3, 255));
  TBitmap bitmap;
  QImageToBitmap(image, bitmap);
  EXPECT_EQ(bitmap.Pixel(0, 0), RGB(200, 100, 50));
  EXPECT_EQ(bitmap.Pixel(1, 0), RGB(1, 2, 3));
}

TEST(QImageToBitmap, PaletteFormatsTakeTheNearestColours) {
  QImage image(2, 1, QImage::Format_RGB32);
  image.setPixel(0, 0, qRgb(250, 5, 5));
  image.setPixel(1, 0, qRgb(5, 5, 5));
  TBitmap bitmap;
  QImageToBitmap(image, bitmap, pf4bit);
  EXPECT_EQ(bitmap.PixelFormat(), pf4bit);
  EXPECT_EQ(bitmap.Pixel(0, 0), clRed);
  EXPECT_EQ(bitmap.Pixel(1, 0), clBlack);
}

TEST(QImageConversion, NullImagesAndEmptyBitmapsMeetEachOther) {
  TBitmap empty;
  EXPECT_TRUE(BitmapToQImage(empty).isNull());
  TBitmap bitmap;
  FillSample(bitmap, pf24bit);
  QImageToBitmap(QImage(), bitmap);
  EXPECT_TRUE(bitmap.Empty());
}
