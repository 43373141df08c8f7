#include "imaging/MaxMin.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(MaxMin, LargestAndSmallest) {
  EXPECT_EQ(MaxValue({3.0L, -1.0L, 7.5L, 2.0L}), 7.5L);
  EXPECT_EQ(MinValue({3.0L, -1.0L, 7.5L, 2.0L}), -1.0L);
  EXPECT_EQ(MaxValue({}), 0.0L);
}

TEST(MaxMin, TheFirstOfEqualValuesWins) {
  // Zero and negative zero compare equal; the sign shows which one was kept.
  EXPECT_FALSE(std::signbit(MaxValue({0.0L, -0.0L})));
  EXPECT_TRUE(std::signbit(MaxValue({-0.0L, 0.0L})));
  EXPECT_TRUE(std::signbit(MinValue({-0.0L, 0.0L})));
  EXPECT_FALSE(std::signbit(MinValue({0.0L, -0.0L})));
}
