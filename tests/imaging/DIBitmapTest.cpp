#include "imaging/DIBitmap.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

void Make(TBitmap& b, TPixelFormat f, int w, int h) {
  b.SetPixelFormat(f);
  b.SetSize(w, h);
}

}  // namespace

TEST(DIBHeader, BitCountAndSizesFollowTheColourCount) {
  TBitmap b;
  Make(b, pf32bit, 5, 3);
  TBitmapInfoHeader h;
  EXPECT_EQ(FillBitmapInfoHeader(b, h, 0), 3 * 16);
  EXPECT_EQ(std::tuple(h.biSize, h.biWidth, h.biHeight, h.biPlanes, h.biSizeImage), std::tuple(40u, 5, 3, 1, 48u));
  // {colours, row bytes times rows, bits, colours used}: 32 bits become 24.
  const std::tuple<int, int, int, unsigned> cases[] = {{0, 48, 24, 0}, {2, 12, 1, 2}, {16, 12, 4, 16}, {256, 24, 8, 256}};
  for (auto [colours, bytes, bits, used] : cases) {
    EXPECT_EQ(FillBitmapInfoHeader(b, h, colours), bytes) << colours;
    EXPECT_EQ(std::pair(static_cast<int>(h.biBitCount), static_cast<unsigned>(h.biClrUsed)), std::pair(bits, used)) << colours;
  }
  Make(b, pf8bit, 5, 3);
  EXPECT_EQ(FillBitmapInfoHeader(b, h, 0), 3 * 8);
  EXPECT_EQ(std::pair(static_cast<int>(h.biBitCount), static_cast<unsigned>(h.biClrUsed)), std::pair(8, 0u));
  // {colours, header with table, image} of a 3 x 2 picture.
  Make(b, pf24bit, 3, 2);
  for (auto [colours, wantHeader, wantImage] : {std::tuple{0, 40, 24}, {256, 40 + 1024, 8}, {16, 40 + 64, 8}}) {
    std::int64_t header = 0, image = 0;
    ComputeDIBSizes(b, colours, header, image);
    EXPECT_EQ(std::pair(header, image), std::pair(std::int64_t{wantHeader}, std::int64_t{wantImage})) << colours;
  }
}

TEST(DIBRows, BottomUpRowsInTheRequestedDepth) {
  TBitmap b;
  Make(b, pf24bit, 2, 2);
  b.SetPixel(0, 0, clRed);
  b.SetPixel(1, 1, clBlue);
  TBitmapInfo info;
  std::vector<std::uint8_t> bits(16, 0xAA);
  ASSERT_TRUE(ReadDIBits(b, nullptr, info, 0, bits.data(), bits.size()));
  // The bottom row comes first: white at (0, 1), blue at (1, 1), padding; then red at (0, 0), white at (1, 0).
  EXPECT_EQ(bits, (std::vector<std::uint8_t>{255, 255, 255, 255, 0, 0, 0, 0, 0, 0, 255, 255, 255, 255, 0, 0}));
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
  EXPECT_EQ(bits, (std::vector<std::uint8_t>{2, 1, 0, 0}));
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
