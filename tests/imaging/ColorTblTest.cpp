#include "imaging/ColorTbl.h"

#include <gtest/gtest.h>

TEST(ColorTableKinds, StartTablesHoldTheStandardColours) {
  TColorTable none(0);
  EXPECT_EQ(none.Count(), 0);
  EXPECT_EQ(none.ColorOf(0), 0x000000u);
  EXPECT_EQ(none.ColorOf(1), 0xFFFFFFu);
  TColorTable two(2);
  EXPECT_EQ(two.Count(), 2);
  EXPECT_EQ(two.ColorOf(1), 0xFFFFFFu);
  TColorTable vga(16);
  EXPECT_EQ(vga.Count(), 16);
  EXPECT_EQ(vga.ColorOf(1), RGB(128, 0, 0));
  EXPECT_EQ(vga.ColorOf(8), RGB(192, 192, 192));
  EXPECT_EQ(vga.ColorOf(9), RGB(255, 0, 0));
  EXPECT_EQ(vga.ColorOf(12), RGB(0, 0, 255));
  EXPECT_EQ(vga.ColorOf(15), 0xFFFFFFu);
  TColorTable grey(256);
  EXPECT_EQ(grey.Count(), 256);
  EXPECT_EQ(grey.ColorOf(100), RGB(100, 100, 100));
  // Red is in the low byte of a colour value.
  grey.SetTriple(3, 1, 2, 3);
  EXPECT_EQ(grey.ColorOf(3), 0x030201u);
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
  EXPECT_EQ(t.IndexOf(clRed), 2);
  EXPECT_EQ(t.IndexOf(clBlue), 1);
  EXPECT_EQ(t.IndexOf(clLime), -1);
}

TEST(ColorTableLookups, NearestIndexStaysWithinTheTablesOwnEntries) {
  TColorTable t(0);
  t.SetColor(0, RGB(250, 0, 0));
  t.SetColor(1, RGB(0, 0, 250));
  t.SetColor(2, RGB(255, 255, 255));  // past the count: never a result
  t.SetCount(2);
  EXPECT_EQ(t.NearestIndex(RGB(255, 10, 0)), 0);
  EXPECT_EQ(t.NearestIndex(RGB(10, 0, 255)), 1);
  EXPECT_EQ(t.NearestIndex(RGB(255, 255, 255)), 0);  // equally far from both: the lower index
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
