#include "platform/Numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
}  // namespace

TEST(Rounding, HalvesGoToTheEvenNeighbourAndLargeValuesAndWideIntegersSaturate) {
  const std::pair<double, std::int32_t> cases[] = {
      {0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2}, {2.4999, 2}, {2.5001, 3}, {1e300, kMax},
      {-1e300, kMin}, {NAN, 0}, {INFINITY, kMax}, {2147483647.4, kMax}, {2147483648.0, kMax}};
  for (const auto& [value, rounded] : cases) EXPECT_EQ(Round(value), rounded) << value;
  EXPECT_EQ(Round64(9.3e18), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(Trunc(-2.7), -2);
  EXPECT_EQ(Trunc(2.7), 2);
  EXPECT_EQ(Floor(-2.1), -3);
  EXPECT_EQ(Ceil(2.1), 3);
  EXPECT_EQ(Trunc(-1e20), kMin);
  EXPECT_EQ(SaturatingCast<std::int32_t>(std::int64_t{1} << 40), kMax);
  EXPECT_EQ(SaturatingCast<std::uint8_t>(-5), 0);
}

TEST(MulDivTest, RoundsHalvesAwayFromZeroOverA64BitProduct) {
  // {a, b, c, a * b / c}; a zero divisor or a result beyond 32 bits gives -1.
  const std::int32_t cases[][4] = {{3, 1, 2, 2},       {-3, 1, 2, -2}, {5, 1, 4, 1},     {1, 2, 3, 1},
                                   {1, 1, 3, 0},       {7, -1, 2, -4}, {100000, 100000, 100000, 100000},
                                   {kMax, 2, 2, kMax}, {5, 5, 0, -1},  {kMax, 2, 1, -1}, {kMin, 1, 1, kMin}};
  for (const auto& c : cases) EXPECT_EQ(MulDiv(c[0], c[1], c[2]), c[3]) << c[0] << "*" << c[1] << "/" << c[2];
}
