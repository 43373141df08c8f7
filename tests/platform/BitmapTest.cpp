#include "platform/Graphics.h"
#include "tests/support/ErrorText.h"

#include <gtest/gtest.h>

namespace {
TBitmap* Make(TBitmap& b, int w, int h, TPixelFormat f) {
  b.SetPixelFormat(f);
  b.SetSize(w, h);
  return &b;
}
}  // namespace

TEST(BitmapLayout, RowsArePaddedToFourBytes) {
  // {width, bits, bytes per row}
  const int cases[][3] = {{1, 1, 4}, {33, 1, 8}, {3, 4, 4}, {5, 8, 8}, {3, 24, 12}, {5, 24, 16}, {2, 32, 8}};
  for (const auto& c : cases) EXPECT_EQ(BytesPerScanline(c[0], c[1]), c[2]) << c[0] << " " << c[1];
}

TEST(BitmapLayout, ScanLineAddressesRowsFromTheTopInBgrOrderAndChecksTheIndex) {
  TBitmap b;
  Make(b, 2, 2, pf24bit);
  b.SetPixel(1, 0, RGB(10, 20, 30));
  const std::uint8_t* row = static_cast<const TBitmap&>(b).ScanLine(0);
  EXPECT_EQ(row[3], 30);
  EXPECT_EQ(row[4], 20);
  EXPECT_EQ(row[5], 10);
  EXPECT_EQ(ErrorText<EInvalidGraphicOperation>([&] { b.ScanLine(2); }), "Scan line index out of range");
  EXPECT_THROW(b.ScanLine(-1), EInvalidGraphicOperation);
}

TEST(BitmapPixels, OutsideReadsAllOnesAndPaletteFormatsStoreTheNearestIndex) {
  TBitmap b;
  Make(b, 3, 3, pf24bit);
  EXPECT_EQ(b.Pixel(3, 0), 0xFFFFFFFFu);
  EXPECT_EQ(b.Pixel(-1, 0), 0xFFFFFFFFu);
  b.SetPixel(5, 5, clRed);  // ignored
  EXPECT_EQ(b.Pixel(1, 1), clWhite);

  b.SetPixelFormat(pf8bit);
  b.SetPalette(TPalette({PaletteEntryOf(clBlack), PaletteEntryOf(RGB(200, 0, 0)), PaletteEntryOf(clWhite)}));
  b.SetSize(2, 1);
  b.SetPixel(0, 0, RGB(180, 20, 10));
  EXPECT_EQ(b.ScanLine(0)[0], 1);
  EXPECT_EQ(b.Pixel(0, 0), RGB(200, 0, 0));
}

TEST(BitmapSizing, NewAreaTakesTheBrushColourAndOldContentStays) {
  TBitmap b;
  Make(b, 2, 2, pf24bit);
  b.SetPixel(1, 1, clRed);
  b.Canvas().Brush().Color = clBlue;
  b.SetSize(4, 3);
  EXPECT_EQ(b.Pixel(1, 1), clRed);
  EXPECT_EQ(b.Pixel(0, 0), clWhite);
  EXPECT_EQ(b.Pixel(3, 0), clBlue);
  EXPECT_EQ(b.Pixel(0, 2), clBlue);
  b.SetSize(1, 1);
  EXPECT_EQ(b.Width(), 1);
  EXPECT_EQ(b.Pixel(0, 0), clWhite);
  // Sub-byte pixels survive too.
  b.Canvas().Brush().Color = clWhite;
  Make(b, 9, 2, pf1bit);
  b.SetPixel(8, 1, clWhite);
  b.SetPixel(0, 0, clBlack);
  b.SetSize(17, 3);
  EXPECT_EQ(b.Pixel(8, 1), clWhite);
  EXPECT_EQ(b.Pixel(0, 0), clBlack);
}

TEST(BitmapFormats, ConversionKeepsColoursThePaletteCanHold) {
  TBitmap b;
  Make(b, 3, 1, pf24bit);
  b.SetPixel(0, 0, clRed);
  b.SetPixel(1, 0, clNavy);
  b.SetPixel(2, 0, RGB(51, 102, 153));
  b.SetPixelFormat(pf8bit);
  EXPECT_EQ(b.PixelFormat(), pf8bit);
  EXPECT_EQ(b.Pixel(0, 0), clRed);
  EXPECT_EQ(b.Pixel(1, 0), clNavy);
  EXPECT_EQ(b.Pixel(2, 0), RGB(51, 102, 153));  // a cube colour
  b.SetPixelFormat(pf32bit);
  EXPECT_EQ(b.Pixel(1, 0), clNavy);
  b.SetPixelFormat(pf16bit);
  EXPECT_EQ(b.PixelFormat(), pf24bit);
  EXPECT_EQ(b.Pixel(0, 0), clRed);
}

TEST(BitmapFormats, IndexedToIndexedKeepsIndicesWithTheSamePalette) {
  TBitmap b;
  b.SetPixelFormat(pf4bit);
  b.SetPalette(TPalette({PaletteEntryOf(clBlack), PaletteEntryOf(clWhite), PaletteEntryOf(clWhite)}));
  b.SetSize(3, 1);
  b.ScanLine(0)[0] = 0x21;  // pixels 2, 1
  b.SetPixelFormat(pf8bit);
  EXPECT_EQ(b.ScanLine(0)[0], 2);
  EXPECT_EQ(b.ScanLine(0)[1], 1);
}

TEST(BitmapCopies, AssignIsDeep) {
  TBitmap a;
  Make(a, 2, 2, pf8bit);
  a.SetPixel(1, 1, clRed);
  a.SetTransparent(true);
  TBitmap b;
  b.Assign(&a);
  a.SetPixel(1, 1, clBlue);
  EXPECT_EQ(b.Pixel(1, 1), clRed);
  EXPECT_EQ(b.PixelFormat(), pf8bit);
  EXPECT_TRUE(b.Transparent());
  EXPECT_EQ(b.Palette(), a.Palette());
}
