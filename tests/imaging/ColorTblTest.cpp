#include "imaging/ColorTbl.h"

#include <gtest/gtest.h>

TEST(ColorTableKinds, StartTablesHoldBlackWhiteOrGreys) {
  const TColorTable none(0), two(2), vga(16);
  TColorTable grey(256);
  EXPECT_EQ(std::tuple(none.Count(), two.Count(), vga.Count(), grey.Count()), std::tuple(0, 2, 16, 256));
  EXPECT_EQ(std::tuple(none.ColorOf(0), none.ColorOf(1), two.ColorOf(1), vga.ColorOf(9)),
            std::tuple(0u, 0xFFFFFFu, 0xFFFFFFu, RGB(255, 0, 0)));
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

TEST(ColorTableLookups, OnlyEntriesWithinTheCountAreFound) {
  TColorTable t(0);
  const TColor colours[] = {clRed, clBlue, clRed, clWhite};
  for (int i = 0; i < 4; ++i) t.SetColor(i, colours[i]);
  t.SetCount(3);  // white lies past the count
  EXPECT_EQ(std::tuple(t.IndexOf(clRed), t.IndexOf(clBlue), t.IndexOf(clWhite)), std::tuple(2, 1, -1));  // the highest match
  // The nearest entry: ties go to the lower index, and the high byte of the colour does not count.
  EXPECT_EQ(std::tuple(t.NearestIndex(RGB(255, 10, 0)), t.NearestIndex(RGB(10, 0, 255)), t.NearestIndex(clWhite),
                       t.NearestIndex(0x7FFF0000u)),
            std::tuple(0, 1, 0, 1));
  EXPECT_EQ(TColorTable(0).NearestIndex(clRed), 0);
  // Conversions between colours and triples stop at the count too.
  t.SetCount(1);
  t.SetColor(0, RGB(1, 2, 3));
  t.ColorsToTriples();
  EXPECT_EQ(std::pair(t.ColorOf(0), t.ColorOf(1)), std::pair(RGB(1, 2, 3), 0xFFFFFFu));  // 1: untouched
  t.SetTriple(0, 9, 8, 7);
  t.TriplesToColors();
  EXPECT_EQ(t.Color(0), RGB(9, 8, 7));
}
