#include "platform/CodePages.h"
#include "platform/Fonts.h"
#include "platform/Graphics.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

void Make(TBitmap& b, int w, int h, TPixelFormat f = pf24bit) {
  b.SetPixelFormat(f);
  b.SetSize(w, h);
}

struct Ink {
  int count = 0;
  TRect bounds{1 << 20, 1 << 20, -(1 << 20), -(1 << 20)};
};

Ink InkOf(const TBitmap& b, TColor background) {
  Ink ink;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) {
      if (b.Pixel(x, y) == background) continue;
      ++ink.count;
      ink.bounds.Left = std::min(ink.bounds.Left, x);
      ink.bounds.Top = std::min(ink.bounds.Top, y);
      ink.bounds.Right = std::max(ink.bounds.Right, x + 1);
      ink.bounds.Bottom = std::max(ink.bounds.Bottom, y + 1);
    }
  return ink;
}

}  // namespace

TEST(CanvasText, GlyphsLieInsideTheTextExtentFromTheTopLeftCorner) {
  for (const char* name : {"MS Sans Serif", "Times New Roman", "Courier New"}) {
    TBitmap b;
    Make(b, 200, 60);
    TCanvas& c = b.Canvas();
    c.Font().Name = name;
    c.Font().SetHeight(-16);
    c.Font().Color = clBlack;
    c.Brush().Style = bsClear;
    const TSize extent = c.TextExtent("Hello World");
    EXPECT_GT(extent.cx, 40) << name;
    EXPECT_GE(extent.cy, 16) << name;
    c.TextOut(10, 20, "Hello World");
    const Ink ink = InkOf(b, clWhite);
    EXPECT_GT(ink.count, 50) << name;
    EXPECT_GE(ink.bounds.Left, 10) << name;
    EXPECT_GE(ink.bounds.Top, 20) << name;
    EXPECT_LE(ink.bounds.Right, 10 + extent.cx) << name;
    EXPECT_LE(ink.bounds.Bottom, 20 + extent.cy) << name;
    EXPECT_EQ(c.PenPos(), Point(10 + extent.cx, 20));
  }
}

TEST(CanvasText, NoAntialiasingOnlyTheFontColourAppears) {
  TBitmap b;
  Make(b, 120, 40);
  b.Canvas().Font().Color = clRed;
  b.Canvas().Font().SetHeight(-20);
  b.Canvas().Brush().Color = clYellow;
  b.Canvas().TextOut(3, 4, "Quartz &");
  const TSize extent = b.Canvas().TextExtent("Quartz &");
  int red = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x) {
      const TColor c = b.Pixel(x, y);
      const bool inCell = x >= 3 && x < 3 + extent.cx && y >= 4 && y < 4 + extent.cy;
      if (c == clRed) {
        ++red;
      } else {
        EXPECT_EQ(c, inCell ? clYellow : clWhite) << x << "," << y;  // a solid brush fills the cell
      }
    }
  EXPECT_GT(red, 30);
}

TEST(CanvasText, WidthGrowsWithTheHeightAndAPositiveHeightIsTheCell) {
  TBitmap b;
  Make(b, 1, 1);
  TCanvas& c = b.Canvas();
  c.Font().SetHeight(-12);
  const int small = c.TextWidth("abcdef");
  c.Font().SetHeight(-24);
  EXPECT_GT(c.TextWidth("abcdef"), small);
  EXPECT_EQ(c.TextWidth(""), 0);
  c.Font().SetHeight(30);
  EXPECT_NEAR(c.TextHeight("x"), 30, 1);
}

TEST(CanvasText, CharsetPicksTheCodePage) {
  auto render = [](std::uint8_t charset) {
    TBitmap b;
    Make(b, 40, 30);
    b.Canvas().Font().Charset = charset;
    b.Canvas().Font().SetHeight(-20);
    b.Canvas().TextOut(2, 2, "\xE6");  // ae ligature in 1252, zhe in 1251
    std::vector<TColor> pixels;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x) pixels.push_back(b.Pixel(x, y));
    return pixels;
  };
  EXPECT_NE(render(ANSI_CHARSET), render(RUSSIAN_CHARSET));
  EXPECT_EQ(render(ANSI_CHARSET), render(DEFAULT_CHARSET));
}

TEST(CanvasText, PaletteBitmapsChangeOnlyUnderTheGlyphs) {
  const TPalette palette({PaletteEntryOf(clWhite), PaletteEntryOf(clBlack), PaletteEntryOf(clWhite)});
  TBitmap b;
  b.SetPixelFormat(pf8bit);
  b.SetPalette(palette);
  b.SetSize(60, 30);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 60; ++x) b.ScanLine(y)[x] = 2;  // the duplicate white
  b.Canvas().Brush().Style = bsClear;
  b.Canvas().Font().Color = clBlack;
  b.Canvas().TextOut(2, 2, "Ab");
  int glyphs = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 60; ++x) {
      const int index = b.ScanLine(y)[x];
      EXPECT_TRUE(index == 2 || index == 1);
      glyphs += index == 1;
    }
  EXPECT_GT(glyphs, 10);
}

TEST(CanvasText, ClipRegionCutsTheText) {
  TBitmap b;
  Make(b, 100, 30);
  b.Canvas().Brush().Style = bsClear;
  b.Canvas().Font().SetHeight(-20);
  b.Canvas().SetClipRegion(CreateRectRgn(0, 0, 12, 30));
  b.Canvas().TextOut(2, 2, "WWWWWW");
  const Ink ink = InkOf(b, clWhite);
  EXPECT_GT(ink.count, 0);
  EXPECT_LE(ink.bounds.Right, 12);
}

TEST(FontMapping, WindowsNamesBecomeInstalledFamilies) {
  const std::tuple<const char*, TFontPitch, const char*> cases[] = {
      {"MS Sans Serif", fpDefault, "Liberation Sans"}, {"arial", fpDefault, "Liberation Sans"},
      {"Times New Roman", fpDefault, "Liberation Serif"}, {"Courier New", fpDefault, "Liberation Mono"},
      {"DejaVu Serif", fpDefault, "DejaVu Serif"}, {"No Such Font", fpFixed, "Liberation Mono"},
      {"No Such Font", fpVariable, "Liberation Sans"}};
  for (const auto& [name, pitch, family] : cases) EXPECT_EQ(MapFontFamily(name, pitch), family) << name;
  EXPECT_EQ(ToQFont(TFont()).pixelSize(), 11);
  EXPECT_TRUE(ToQFont(TFont()).styleStrategy() & QFont::NoAntialias);
}
