#include "platform/Numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(Round(0.5), 0);
  EXPECT_EQ(Round(1.5), 2);
  EXPECT_EQ(Round(2.5), 2);
  EXPECT_EQ(Round(-0.5), 0);
  EXPECT_EQ(Round(-1.5), -2);
  EXPECT_EQ(Round(-2.5), -2);
  EXPECT_EQ(Round(2.4999), 2);
  EXPECT_EQ(Round(2.5001), 3);
}

TEST(Rounding, SaturatesInsteadOfOverflowing) {
  EXPECT_EQ(Round(1e300), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(Round(-1e300), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(Round(std::nan("")), 0);
  EXPECT_EQ(Round(INFINITY), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(Round(2147483647.4), 2147483647);
  EXPECT_EQ(Round(2147483648.0), 2147483647);
  EXPECT_EQ(Round64(9.3e18), std::numeric_limits<std::int64_t>::max());
}

TEST(Rounding, TruncFloorCeil) {
  EXPECT_EQ(Trunc(-2.7), -2);
  EXPECT_EQ(Trunc(2.7), 2);
  EXPECT_EQ(Floor(-2.1), -3);
  EXPECT_EQ(Ceil(2.1), 3);
  EXPECT_EQ(Trunc(-1e20), std::numeric_limits<std::int32_t>::min());
}

TEST(MulDivTest, RoundsHalvesAwayFromZero) {
  EXPECT_EQ(MulDiv(3, 1, 2), 2);
  EXPECT_EQ(MulDiv(-3, 1, 2), -2);
  EXPECT_EQ(MulDiv(5, 1, 4), 1);
  EXPECT_EQ(MulDiv(1, 2, 3), 1);
  EXPECT_EQ(MulDiv(1, 1, 3), 0);
  EXPECT_EQ(MulDiv(7, -1, 2), -4);
}

TEST(MulDivTest, UsesA64BitProduct) {
  EXPECT_EQ(MulDiv(100000, 100000, 100000), 100000);
  EXPECT_EQ(MulDiv(2147483647, 2, 2), 2147483647);
}

TEST(MulDivTest, DivisorZeroAndOverflowGiveMinusOne) {
  EXPECT_EQ(MulDiv(5, 5, 0), -1);
  EXPECT_EQ(MulDiv(2147483647, 2, 1), -1);
  EXPECT_EQ(MulDiv(-2147483647 - 1, 1, 1), -2147483647 - 1);
}

TEST(SaturatingCastTest, ClampsWideIntegers) {
  EXPECT_EQ(SaturatingCast<std::int32_t>(std::int64_t{1} << 40), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(SaturatingCast<std::uint8_t>(-5), 0);
  EXPECT_EQ(SaturatingCast<std::int16_t>(1234), 1234);
}
