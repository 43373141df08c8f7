#include "platform/Colors.h"
#include "platform/Graphics.h"

#include <gtest/gtest.h>

#include <random>

TEST(ColorValues, RedInTheLowByteAndSystemColoursThroughTheFixedTable) {
  EXPECT_EQ(RGB(0x12, 0x34, 0x56), 0x563412u);
  EXPECT_EQ(GetRValue(0x563412), 0x12);
  EXPECT_EQ(ColorToRGB(clBtnFace), RGB(212, 208, 200));
  EXPECT_EQ(ColorToRGB(clWindowText), clBlack);
  EXPECT_EQ(ColorToRGB(0x00123456), 0x00123456u);
  EXPECT_EQ(ColorToRGB(clSystemColor | 200), clBlack);
}

TEST(PaletteEntries, ReadAndWriteWithinTheCountOfAtMost256) {
  TPalette palette = CreatePalette({PaletteEntryOf(clRed), PaletteEntryOf(clLime), PaletteEntryOf(clBlue)});
  TPaletteEntry out[4] = {};
  EXPECT_EQ(GetPaletteEntries(palette, 1, 4, out), 2);
  EXPECT_EQ(out[1], PaletteEntryOf(clBlue));
  EXPECT_EQ(GetPaletteEntries(palette, 3, 1, out), 0);
  EXPECT_EQ(GetPaletteEntries(palette, -1, 1, out), 0);
  const TPaletteEntry white[2] = {PaletteEntryOf(clWhite), PaletteEntryOf(clWhite)};
  EXPECT_EQ(SetPaletteEntries(palette, 2, 2, white), 1);
  EXPECT_EQ(palette.Entry(2), PaletteEntryOf(clWhite));
  EXPECT_EQ(palette.Count(), 3);
  EXPECT_EQ(CreatePalette(std::vector<TPaletteEntry>(300, PaletteEntryOf(clRed))).Count(), 256);
  EXPECT_EQ(DefaultPalette(8).Entry(15), PaletteEntryOf(clWhite));
}

TEST(NearestColour, LeastDistanceLowestIndexOnTiesWithinTheStatedCount) {
  const std::vector<TPaletteEntry> entries = {{10, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {250, 250, 250, 0}};
  EXPECT_EQ(NearestColorIndex(entries.data(), 4, RGB(1, 0, 0)), 1);
  EXPECT_EQ(NearestColorIndex(entries.data(), 4, RGB(5, 0, 0)), 0);  // tie between 0 and 1
  EXPECT_EQ(NearestColorIndex(entries.data(), 1, clWhite), 0);
  EXPECT_EQ(NearestColorIndex(entries.data(), 0, clWhite), -1);
  EXPECT_EQ(NearestColorIndex(entries.data(), 4, clBtnFace), 3);  // system colours resolve first
  EXPECT_EQ(TNearestColorFinder(TPalette()).Find(clWhite), -1);
  EXPECT_EQ(GetNearestPaletteIndex(TPalette(), clWhite), -1);
}

TEST(NearestColour, TheFinderAgreesWithTheLinearSearchTiesIncluded) {
  std::mt19937 gen(5);
  for (int round = 0; round < 200; ++round) {
    // Few distinct channel values make many equal distances and duplicate entries.
    const int levels = round % 2 == 0 ? 4 : 256;
    std::uniform_int_distribution<int> channel(0, levels - 1);
    const int count = 1 + static_cast<int>(gen() % 256);
    std::vector<TPaletteEntry> entries;
    for (int i = 0; i < count; ++i) {
      const auto v = [&] { return static_cast<std::uint8_t>(channel(gen) * 255 / (levels - 1)); };
      entries.push_back({v(), v(), v(), 0});
    }
    const TNearestColorFinder finder(entries.data(), count);
    for (int k = 0; k < 200; ++k) {
      const TColor color = RGB(static_cast<std::uint8_t>(gen()), static_cast<std::uint8_t>(gen()),
                               static_cast<std::uint8_t>(gen()));
      ASSERT_EQ(finder.Find(color), NearestColorIndex(entries.data(), count, color)) << round << " " << k;
    }
  }
}
