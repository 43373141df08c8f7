#include "platform/Colors.h"

#include <gtest/gtest.h>

TEST(ColorValues, RedInTheLowByteAndSystemColoursThroughTheFixedTable) {
  EXPECT_EQ(RGB(0x12, 0x34, 0x56), 0x563412u);
  EXPECT_EQ(GetRValue(0x563412), 0x12);
  EXPECT_EQ(GetBValue(clNavy), 0x80);
  EXPECT_EQ(ColorToRGB(clBtnFace), RGB(212, 208, 200));
  EXPECT_EQ(ColorToRGB(clWindow), clWhite);
  EXPECT_EQ(ColorToRGB(clWindowText), clBlack);
  EXPECT_EQ(ColorToRGB(0x00123456), 0x00123456u);
  EXPECT_EQ(ColorToRGB(clSystemColor | 200), clBlack);
}
