#include "scene/Text3DFrame.h"

#include <gtest/gtest.h>

namespace {

TEST(ColourBlend, HalfwayBetweenRedAndBlueRoundsEachHalfToEven) {
  // Red 255 + round(-127.5) = 127, blue round(127.5) = 128.
  EXPECT_EQ(InterpolateColor(0x0000FF, 0xFF0000, 0.5), 0x80007Fu);
  EXPECT_EQ(InterpolateColor(0x102030, 0x405060, 0.0), 0x102030u);
  EXPECT_EQ(InterpolateColor(0x102030, 0x405060, 1.0), 0x405060u);
}

TEST(ColourBlend, OnlyTheLowEightBitsOfEachChannelCount) {
  EXPECT_EQ(InterpolateColor(0x80000000u | 0x0000FF, 0x0000FF, 0.5), 0x0000FFu);
}

}  // namespace
