#include "platform/Graphics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

std::unique_ptr<TBitmap> Filled(int w, int h, TPixelFormat f = pf24bit, TColor fill = clWhite) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(f);
  b->Canvas().Brush().Color = fill;
  b->SetSize(w, h);
  return b;
}

// An 8-bit bitmap of the palette whose row 0 holds the indices.
std::unique_ptr<TBitmap> Indexed(const TPalette& palette, std::initializer_list<std::uint8_t> indices) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf8bit);
  b->SetPalette(palette);
  b->SetSize(static_cast<int>(indices.size()), 1);
  std::copy(indices.begin(), indices.end(), b->ScanLine(0));
  return b;
}

TColor G(int x, int y) { return RGB(static_cast<std::uint8_t>(10 * x), static_cast<std::uint8_t>(10 * y), 7); }

// A bitmap whose pixel (x, y) is G(x, y).
std::unique_ptr<TBitmap> Gradient(int w, int h) {
  auto b = Filled(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b->SetPixel(x, y, G(x, y));
  return b;
}

const TPalette kBlackWhiteRed({PaletteEntryOf(clBlack), PaletteEntryOf(clWhite), PaletteEntryOf(clRed)});

}  // namespace

TEST(CanvasDraw, PlacesTheTopLeftCornerAndClipsAtTheEdgesMarkingTheTargetChangedOnce) {
  auto source = Gradient(3, 2);
  auto target = Filled(4, 4);
  target->SetModified(false);
  int changes = 0;
  target->OnChange = [&](TBitmap&) { ++changes; };
  target->Canvas().Draw(2, 1, *source);
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(target->Modified());
  EXPECT_EQ(target->Pixel(1, 1), clWhite);
  EXPECT_EQ(target->Pixel(2, 1), G(0, 0));
  EXPECT_EQ(target->Pixel(3, 2), G(1, 1));
  EXPECT_EQ(target->Pixel(2, 3), clWhite);
  target->Canvas().Draw(-2, -1, *source);
  EXPECT_EQ(target->Pixel(0, 0), G(2, 1));
  EXPECT_EQ(target->Pixel(1, 0), clWhite);
}

TEST(CanvasDraw, LeavesOutTheTransparentColourAlsoWhenStretching) {
  auto source = Filled(3, 1, pf24bit, clLime);
  source->SetPixel(1, 0, clRed);
  source->SetTransparent(true);  // auto mode: the bottom-left pixel, lime
  auto target = Filled(3, 1, pf24bit, clBlue);
  target->Canvas().Draw(0, 0, *source);
  EXPECT_EQ(target->Pixel(0, 0), clBlue);
  EXPECT_EQ(target->Pixel(1, 0), clRed);
  EXPECT_EQ(target->Pixel(2, 0), clBlue);
  auto stretched = Filled(6, 2, pf24bit, clBlue);
  stretched->Canvas().StretchDraw(Rect(0, 0, 6, 2), *source);
  EXPECT_EQ(stretched->Pixel(1, 1), clBlue);
  EXPECT_EQ(stretched->Pixel(2, 1), clRed);

  source->SetTransparentColor(clRed);
  target->Canvas().Draw(0, 0, *source);
  EXPECT_EQ(target->Pixel(0, 0), clLime);
  EXPECT_EQ(target->Pixel(1, 0), clRed);  // unchanged from before

  source->SetTransparent(false);
  target = Filled(3, 1, pf24bit, clBlue);
  target->Canvas().Draw(0, 0, *source);
  EXPECT_EQ(target->Pixel(0, 0), clLime);

  // A palette source compares colours, not indices.
  auto indexed = Indexed(kBlackWhiteRed, {2, 1});
  indexed->SetTransparentColor(clWhite);
  indexed->SetTransparent(true);
  target->Canvas().Draw(0, 0, *indexed);
  EXPECT_EQ(target->Pixel(0, 0), clRed);
  EXPECT_EQ(target->Pixel(1, 0), clRed);  // still from before
}

TEST(CanvasDraw, PaletteTargetsTakeTheNearestEntryOrTheSameIndex) {
  auto source = Filled(2, 1);
  source->SetPixel(0, 0, RGB(250, 10, 10));
  source->SetPixel(1, 0, RGB(5, 5, 5));
  auto target = Indexed(kBlackWhiteRed, {1, 1});
  target->Canvas().Draw(0, 0, *source);
  EXPECT_EQ(target->ScanLine(0)[0], 2);
  EXPECT_EQ(target->ScanLine(0)[1], 0);

  // The same palette copies indices, even of duplicate entries.
  const TPalette duplicates({PaletteEntryOf(clBlack), PaletteEntryOf(clRed), PaletteEntryOf(clBlack)});
  auto indexed = Indexed(duplicates, {2, 1, 0});
  target = Indexed(duplicates, {1, 0, 1});
  target->Canvas().Draw(0, 0, *indexed);
  EXPECT_EQ(target->ScanLine(0)[0], 2);
  EXPECT_EQ(target->ScanLine(0)[1], 1);
  EXPECT_EQ(target->ScanLine(0)[2], 0);
}

TEST(CanvasDraw, HonoursTheClipRegion) {
  auto source = Filled(4, 4, pf24bit, clRed);
  auto target = Filled(4, 4, pf32bit);
  target->Canvas().SetClipRegion(CreateRectRgn(1, 1, 3, 3));
  target->Canvas().Draw(0, 0, *source);
  EXPECT_EQ(target->Pixel(0, 0), clWhite);
  EXPECT_EQ(target->Pixel(1, 1), clRed);
  EXPECT_EQ(target->Pixel(2, 2), clRed);
  EXPECT_EQ(target->Pixel(3, 2), clWhite);
}

TEST(CanvasStretch, NearestNeighbourThroughPixelCentres) {
  auto source = Gradient(4, 2);
  auto target = Filled(8, 4);
  target->Canvas().StretchDraw(Rect(0, 0, 8, 4), *source);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(target->Pixel(x, y), G(x / 2, y / 2)) << x << "," << y;
  // Halving takes the second pixel of every pair (the one under the centre).
  target = Filled(2, 1);
  target->Canvas().StretchDraw(Rect(0, 0, 2, 1), *source);
  EXPECT_EQ(target->Pixel(0, 0), G(1, 1));
  EXPECT_EQ(target->Pixel(1, 0), G(3, 1));
  // Three from four: centres 2/3, 2, 10/3 fall in pixels 0, 2 and 3.
  target = Filled(3, 1);
  target->Canvas().StretchDraw(Rect(0, 0, 3, 1), *source);
  EXPECT_EQ(target->Pixel(0, 0), G(0, 1));
  EXPECT_EQ(target->Pixel(1, 0), G(2, 1));
  EXPECT_EQ(target->Pixel(2, 0), G(3, 1));
  // A negative extent mirrors.
  source = Gradient(3, 1);
  target->Canvas().StretchDraw(Rect(3, 0, 0, 1), *source);
  EXPECT_EQ(target->Pixel(0, 0), G(2, 0));
  EXPECT_EQ(target->Pixel(2, 0), G(0, 0));
}

TEST(CanvasCopyRect, StretchesAPartWithTheCopyModeAndLeavesWhatLiesOutsideTheSource) {
  auto source = Gradient(4, 4);
  auto target = Filled(4, 4);
  target->Canvas().CopyRect(Rect(0, 0, 4, 4), source->Canvas(), Rect(2, 2, 4, 4));
  EXPECT_EQ(target->Pixel(0, 0), G(2, 2));
  EXPECT_EQ(target->Pixel(3, 3), G(3, 3));
  target->Canvas().SetCopyMode(DSTINVERT);
  target->Canvas().CopyRect(Rect(0, 0, 1, 1), source->Canvas(), Rect(0, 0, 1, 1));
  EXPECT_EQ(target->Pixel(0, 0), G(2, 2) ^ 0xFFFFFFu);

  source = Filled(2, 2, pf24bit, clRed);
  target = Filled(4, 1);
  target->Canvas().CopyRect(Rect(0, 0, 4, 1), source->Canvas(), Rect(-2, 0, 2, 1));
  EXPECT_EQ(target->Pixel(1, 0), clWhite);
  EXPECT_EQ(target->Pixel(2, 0), clRed);
}

TEST(CanvasBitBlt, RasterOperations) {
  const TColor src = RGB(0xF0, 0x0F, 0x33), dst = RGB(0xAA, 0x55, 0x0F), pat = RGB(0x12, 0x34, 0x56);
  const std::pair<std::uint32_t, TColor> cases[] = {
      {SRCCOPY, src},
      {SRCAND, src & dst},
      {SRCPAINT, src | dst},
      {SRCINVERT, src ^ dst},
      {SRCERASE, src & ~dst & 0xFFFFFFu},
      {NOTSRCCOPY, ~src & 0xFFFFFFu},
      {NOTSRCERASE, ~(src | dst) & 0xFFFFFFu},
      {MERGECOPY, src & pat},
      {MERGEPAINT, (~src | dst) & 0xFFFFFFu},
      {PATCOPY, pat},
      {PATPAINT, (pat | ~src | dst) & 0xFFFFFFu},
      {PATINVERT, pat ^ dst},
      {DSTINVERT, ~dst & 0xFFFFFFu},
      {BLACKNESS, 0},
      {WHITENESS, 0xFFFFFFu},
  };
  for (TPixelFormat f : {pf24bit, pf32bit}) {
    for (const auto& [rop, expected] : cases) {
      auto source = Filled(2, 2, pf24bit, src);
      auto target = Filled(3, 3, f, dst);
      target->Canvas().Brush().Color = pat;
      EXPECT_TRUE(BitBlt(target->Canvas(), 1, 1, 2, 2, source->Canvas(), 0, 0, rop));
      EXPECT_EQ(target->Pixel(1, 1), expected) << std::hex << rop;
      EXPECT_EQ(target->Pixel(2, 2), expected) << std::hex << rop;
      EXPECT_EQ(target->Pixel(0, 0), dst);
    }
  }
}

TEST(CanvasBitBlt, OverlappingCopyWithinOneBitmap) {
  auto b = Gradient(5, 1);
  BitBlt(b->Canvas(), 1, 0, 4, 1, b->Canvas(), 0, 0, SRCCOPY);
  for (int x = 1; x < 5; ++x) EXPECT_EQ(b->Pixel(x, 0), G(x - 1, 0));
  EXPECT_EQ(b->Pixel(0, 0), G(0, 0));
}

TEST(CanvasBitBlt, PaletteFormatsMapBackToTheNearestIndexAndMasksApply) {
  auto source = Filled(3, 1, pf4bit, clRed);
  auto target = Filled(3, 1, pf8bit, clWhite);
  BitBlt(target->Canvas(), 0, 0, 3, 1, source->Canvas(), 0, 0, SRCINVERT);  // red ^ white = aqua
  EXPECT_EQ(target->Pixel(0, 0), clAqua);
  auto mono = Filled(9, 1, pf1bit, clWhite);
  BitBlt(mono->Canvas(), 0, 0, 9, 1, source->Canvas(), 0, 0, SRCCOPY);  // red is nearer to black
  EXPECT_EQ(mono->Pixel(2, 0), clBlack);
  EXPECT_EQ(mono->Pixel(3, 0), clWhite);
  // A monochrome mask with SRCAND keeps what lies under white.
  mono->SetPixel(1, 0, clWhite);
  auto target24 = Filled(2, 1, pf24bit, clRed);
  BitBlt(target24->Canvas(), 0, 0, 2, 1, mono->Canvas(), 0, 0, SRCAND);
  EXPECT_EQ(target24->Pixel(0, 0), clBlack);
  EXPECT_EQ(target24->Pixel(1, 0), clRed);
}
