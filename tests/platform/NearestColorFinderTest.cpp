#include "platform/Graphics.h"

#include <gtest/gtest.h>

#include <random>

TEST(NearestColour, LeastDistanceLowestIndexOnTiesWithinTheStatedCount) {
  const std::vector<TPaletteEntry> entries = {{10, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {250, 250, 250, 0}};
  EXPECT_EQ(NearestColorIndex(entries.data(), 4, RGB(1, 0, 0)), 1);
  EXPECT_EQ(NearestColorIndex(entries.data(), 4, RGB(5, 0, 0)), 0);  // tie between 0 and 1
  EXPECT_EQ(NearestColorIndex(entries.data(), 1, clWhite), 0);
  EXPECT_EQ(NearestColorIndex(entries.data(), 0, clWhite), -1);
  EXPECT_EQ(NearestColorIndex(entries.data(), 4, clBtnFace), 3);  // system colours resolve first
  EXPECT_EQ(TNearestColorFinder(TPalette()).Find(clWhite), -1);
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
