#include "imaging/DIBitmap.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

void Make(TBitmap& b, TPixelFormat f, int w, int h) {
  b.SetPixelFormat(f);
  b.SetSize(w, h);
}

}  // namespace

TEST(DIBHeader, BitCountFollowsTheColourCount) {
  TBitmap b;
  Make(b, pf32bit, 5, 3);
  TBitmapInfoHeader h;
  EXPECT_EQ(FillBitmapInfoHeader(b, h, 0), 3 * 16);
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biWidth, 5);
  EXPECT_EQ(h.biHeight, 3);
  EXPECT_EQ(h.biPlanes, 1);
  EXPECT_EQ(h.biBitCount, 24);  // 32 bits become 24
  EXPECT_EQ(h.biClrUsed, 0u);
  EXPECT_EQ(h.biSizeImage, 48u);
  EXPECT_EQ(FillBitmapInfoHeader(b, h, 2), 3 * 4);
  EXPECT_EQ(h.biBitCount, 1);
  EXPECT_EQ(h.biClrUsed, 2u);
  EXPECT_EQ(FillBitmapInfoHeader(b, h, 16), 3 * 4);
  EXPECT_EQ(h.biBitCount, 4);
  EXPECT_EQ(FillBitmapInfoHeader(b, h, 256), 3 * 8);
  EXPECT_EQ(h.biBitCount, 8);
  EXPECT_EQ(h.biClrUsed, 256u);
  Make(b, pf8bit, 5, 3);
  EXPECT_EQ(FillBitmapInfoHeader(b, h, 0), 3 * 8);
  EXPECT_EQ(h.biBitCount, 8);
  EXPECT_EQ(h.biClrUsed, 0u);
}

TEST(DIBHeader, SizesOfHeaderWithTableAndImage) {
  TBitmap b;
  Make(b, pf24bit, 3, 2);
  std::int64_t header = 0, image = 0;
  ComputeDIBSizes(b, 0, header, image);
  EXPECT_EQ(header, 40);
  EXPECT_EQ(image, 24);
  ComputeDIBSizes(b, 256, header, image);
  EXPECT_EQ(header, 40 + 1024);
  EXPECT_EQ(image, 8);
  ComputeDIBSizes(b, 16, header, image);
  EXPECT_EQ(header, 40 + 64);
}

TEST(DIBRows, BottomUpRowsInTheRequestedDepth) {
  TBitmap b;
  Make(b, pf24bit, 2, 2);
  b.SetPixel(0, 0, clRed);
  b.SetPixel(1, 1, clBlue);
  TBitmapInfo info;
  std::vector<std::uint8_t> bits(16, 0xAA);
  ASSERT_TRUE(ReadDIBits(b, nullptr, info, 0, bits.data(), bits.size()));
  // The first row in memory is the bottom one.
  EXPECT_EQ(bits[0], 255);  // white at (0, 1)
  EXPECT_EQ(bits[3], 255);  // blue at (1, 1): B first
  EXPECT_EQ(bits[4], 0);
  EXPECT_EQ(bits[8 + 2], 255);  // red at (0, 0): R third
  EXPECT_EQ(bits[8 + 0], 0);
}

TEST(DIBRows, PaletteDepthUsesTheGivenPaletteAndNearestEntries) {
  TBitmap b;
  Make(b, pf24bit, 3, 1);
  b.SetPixel(0, 0, RGB(250, 0, 0));
  b.SetPixel(1, 0, RGB(0, 0, 10));
  const TPalette palette({PaletteEntryOf(clWhite), PaletteEntryOf(clBlack), PaletteEntryOf(clRed)});
  TBitmapInfo info;
  std::vector<std::uint8_t> bits(4);
  ASSERT_TRUE(ReadDIBits(b, &palette, info, 256, bits.data(), bits.size()));
  EXPECT_EQ(info.bmiHeader.biBitCount, 8);
  EXPECT_EQ(info.bmiColors[2].rgbRed, 255);
  EXPECT_EQ(info.bmiColors[3].rgbRed, 0);
  EXPECT_EQ(bits[0], 2);
  EXPECT_EQ(bits[1], 1);
  EXPECT_EQ(bits[2], 0);
}

TEST(DIBRows, OwnPaletteAtOwnDepthKeepsIndices) {
  TBitmap b;
  b.SetPixelFormat(pf4bit);
  b.SetPalette(TPalette({PaletteEntryOf(clBlack), PaletteEntryOf(clGreen), PaletteEntryOf(clBlack)}));
  b.SetSize(3, 1);
  b.ScanLine(0)[0] = 0x21;
  TBitmapInfo info;
  std::vector<std::uint8_t> bits(4);
  ASSERT_TRUE(ReadDIBits(b, nullptr, info, 0, bits.data(), bits.size()));
  EXPECT_EQ(bits[0], 0x21);
  EXPECT_EQ(info.bmiColors[1].rgbGreen, 128);
}

TEST(DIBRows, RefusesTooSmallBuffersAndEmptyBitmaps) {
  TBitmap b;
  TBitmapInfo info;
  std::vector<std::uint8_t> bits(100);
  EXPECT_FALSE(ReadDIBits(b, nullptr, info, 0, bits.data(), bits.size()));
  Make(b, pf24bit, 10, 10);
  EXPECT_FALSE(ReadDIBits(b, nullptr, info, 0, bits.data(), bits.size()));
  EXPECT_EQ(info.bmiHeader.biSizeImage, 320u);
}
