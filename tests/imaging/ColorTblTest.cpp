#include "imaging/ColorTbl.h"

#include <gtest/gtest.h>

TEST(ColorTableKinds, StartTablesHoldTheStandardColours) {
  const TColorTable none(0), two(2), vga(16);
  TColorTable grey(256);
  EXPECT_EQ(std::tuple(none.Count(), two.Count(), vga.Count(), grey.Count()), std::tuple(0, 2, 16, 256));
  EXPECT_EQ(std::tuple(none.ColorOf(0), none.ColorOf(1), two.ColorOf(1)), std::tuple(0u, 0xFFFFFFu, 0xFFFFFFu));
  EXPECT_EQ((std::vector<TColor>{vga.ColorOf(1), vga.ColorOf(8), vga.ColorOf(9), vga.ColorOf(12), vga.ColorOf(15)}),
            (std::vector<TColor>{RGB(128, 0, 0), RGB(192, 192, 192), RGB(255, 0, 0), RGB(0, 0, 255), 0xFFFFFF}));
  EXPECT_EQ(grey.ColorOf(100), RGB(100, 100, 100));
  grey.SetTriple(3, 1, 2, 3);
  EXPECT_EQ(grey.ColorOf(3), 0x030201u);  // red is in the low byte of a colour value
}

TEST(ColorTableRounding, CountsRoundUpToPowersOfTwoFromFour) {
  const std::pair<int, int> cases[] = {{0, 0}, {1, 4}, {3, 4}, {4, 4}, {5, 8}, {9, 16}, {17, 32},
                                       {33, 64}, {65, 128}, {128, 128}, {129, 256}, {255, 256}, {256, 256}};
  for (auto [from, to] : cases) {
    TColorTable t(0);
    t.SetCount(from);
    t.RoundCount();
    EXPECT_EQ(t.Count(), to) << from;
  }
}

TEST(ColorTableLookups, IndexOfFindsTheHighestMatchWithinTheCount) {
  TColorTable t(0);
  t.SetColor(0, clRed);
  t.SetColor(1, clBlue);
  t.SetColor(2, clRed);
  t.SetColor(3, clRed);  // past the count
  t.SetCount(3);
  EXPECT_EQ(std::tuple(t.IndexOf(clRed), t.IndexOf(clBlue), t.IndexOf(clLime)), std::tuple(2, 1, -1));
}

TEST(ColorTableLookups, NearestIndexStaysWithinTheTablesOwnEntries) {
  TColorTable t(0);
  t.SetColor(0, RGB(250, 0, 0));
  t.SetColor(1, RGB(0, 0, 250));
  t.SetColor(2, RGB(255, 255, 255));  // past the count: never a result
  t.SetCount(2);
  // White is equally far from both: the lower index.
  EXPECT_EQ(std::tuple(t.NearestIndex(RGB(255, 10, 0)), t.NearestIndex(RGB(10, 0, 255)), t.NearestIndex(clWhite)),
            std::tuple(0, 1, 0));
  // The high byte of the colour does not count.
  EXPECT_EQ(t.NearestIndex(0x7F0000FAu), 0);
  EXPECT_EQ(TColorTable(0).NearestIndex(clRed), 0);
}

TEST(ColorTableLookups, ColoursAndTriplesConvertBothWays) {
  TColorTable t(0);
  t.SetColor(0, RGB(1, 2, 3));
  t.SetColor(1, RGB(4, 5, 6));
  t.SetCount(1);
  t.ColorsToTriples();
  EXPECT_EQ(t.ColorOf(0), RGB(1, 2, 3));
  EXPECT_EQ(t.ColorOf(1), 0xFFFFFFu);  // past the count: untouched
  t.SetTriple(0, 9, 8, 7);
  t.TriplesToColors();
  EXPECT_EQ(t.Color(0), RGB(9, 8, 7));
}
