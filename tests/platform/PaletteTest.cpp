#include "platform/Graphics.h"

#include <gtest/gtest.h>

TEST(PaletteEntries, ReadAndWriteWithinTheCount) {
  TPalette palette = CreatePalette({PaletteEntryOf(clRed), PaletteEntryOf(clLime), PaletteEntryOf(clBlue)});
  TPaletteEntry out[4] = {};
  EXPECT_EQ(GetPaletteEntries(palette, 1, 4, out), 2);
  EXPECT_EQ(out[0], PaletteEntryOf(clLime));
  EXPECT_EQ(out[1], PaletteEntryOf(clBlue));
  EXPECT_EQ(GetPaletteEntries(palette, 3, 1, out), 0);
  EXPECT_EQ(GetPaletteEntries(palette, -1, 1, out), 0);
  const TPaletteEntry white[2] = {PaletteEntryOf(clWhite), PaletteEntryOf(clWhite)};
  EXPECT_EQ(SetPaletteEntries(palette, 2, 2, white), 1);
  EXPECT_EQ(palette.Entry(2), PaletteEntryOf(clWhite));
  EXPECT_EQ(palette.Count(), 3);
  EXPECT_EQ(GetNearestPaletteIndex(palette, RGB(250, 250, 240)), 2);
  EXPECT_EQ(GetNearestPaletteIndex(TPalette(), clWhite), -1);
}

TEST(PaletteEntries, CopiesAreIndependentAndAtMost256Entries) {
  TPalette a = CreatePalette(std::vector<TPaletteEntry>(300, PaletteEntryOf(clRed)));
  EXPECT_EQ(a.Count(), 256);
  TPalette b = CopyPalette(a);
  b.SetEntry(0, PaletteEntryOf(clBlue));
  EXPECT_EQ(a.Entry(0), PaletteEntryOf(clRed));
  EXPECT_EQ(DefaultPalette(1).Count(), 2);
  EXPECT_EQ(DefaultPalette(4).Count(), 16);
  EXPECT_EQ(DefaultPalette(8).Count(), 256);
  EXPECT_EQ(DefaultPalette(8).Entry(15), PaletteEntryOf(clWhite));
}
